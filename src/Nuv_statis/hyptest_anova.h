// One-way analysis of variance.
#pragma once

#include <cstdint>

#include "Nuv_vector/intvector.h"
#include "Nuv_vector/vector.h"
#include "foundation/nuv_export.h"

namespace nuv {

/// One-way analysis of variance of Data in the groups given by Groups (element i of Data
/// belongs to group Groups[i]; groups are numbered freely and taken in the order of their
/// first appearance; values beyond the end of the shorter vector take no part). The sums
/// of squares are formed from the centred values (group means and the grand mean), so data
/// with a large mean keep their accuracy: SSbetween = sum_j n_j (mean_j - mean)^2,
/// SSwithin = sum (x - mean_j)^2, SStotal = sum (x - mean)^2; dfBetween = k - 1,
/// dfWithin = N - k, dfTotal = N - 1; F = (SSbetween/dfBetween)/(SSwithin/dfWithin).
/// Returns the p-value P(F' >= F) (computed in the upper tail), or a code:
/// -1 for fewer than two groups (or an absent vector), -2 for k >= N (the out values are
/// then untouched); with SSwithin = 0: -3 and F = 0 when SSbetween = 0 too, otherwise
/// F = uc_MaxReal and 0. NaN values give NaN sums and p-value.
NUV_API double Anova1F(const TVector* Data, const TIntVector* Groups, double& SSbetween,
                       double& SSwithin, double& SStotal, int32_t& dfBetween, int32_t& dfWithin,
                       int32_t& dfTotal, double& F);

}  // namespace nuv
