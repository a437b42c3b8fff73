// Probability density estimation by a Gaussian kernel sum whose kernel widths
// follow the local spacing of the data.
#pragma once

#include <cstdint>
#include <functional>

#include "Nuv_vector/vector.h"
#include "foundation/nuv_export.h"

namespace nuv {

/// Progress procedure of EstimateProbDensity: (Sender, always absent; the number of steps
/// done; the percentage done). An empty function is no procedure.
using TDensityFeedbackProc =
    std::function<void(TObject* Sender, double StepsDone, double PercentDone)>;

/// Density of the values of Data at NumSteps + 1 points t_i = Low + i (High - Low)/NumSteps,
/// i = 0..NumSteps (NumSteps clamped to 10..10000), as
/// uc_sqrt2pitom1 sum_j exp(-((t - x_j)/sigma_j)^2/2)/(sigma_j n). The caller's Data is
/// sorted ascending in place (SortElems: OnSortExchange per exchange, then OnChange).
/// Kernel widths: w_j is the mean spacing between neighbouring values met by two walks from
/// x_j that continue while the values stay closer than Window to x_j: one down from
/// x_(j+1), one up from x_(j-1), so the two spacings next to x_j count twice; the walks
/// count only spacings between values that exist and skip the positions beyond the ends.
/// w_j = Window/count when all spacings met are 0, Window when none is met.
/// sigma_j = WidthFactor w_j (WidthFactor <= 0 or NaN counts as 1), or WidthFactor where
/// that product is not positive (a Window <= 0 gives every value that width).
/// Density is resized to NumSteps + 1 and fires OnChange once when filled. MaxIdx and MinIdx
/// receive the 1-based positions of the largest and smallest density (the first of equal
/// ones, compared strictly from 0 and uc_MaxDouble; a position never improved leaves its
/// argument untouched). Feedback, when given, is called after each of the n width steps and
/// the NumSteps + 1 density steps with the steps done and 100 steps/(n + NumSteps + 1).
/// Nothing happens for an absent Data or Density. Raises ENUVVectorError "not enough memory"
/// when the density vector cannot be resized.
NUV_API void EstimateProbDensity(TVector* Data, TVector* Density, double Low, double High,
                                 double WidthFactor, double Window, int32_t NumSteps,
                                 int32_t& MaxIdx, int32_t& MinIdx,
                                 const TDensityFeedbackProc& Feedback);

}  // namespace nuv
