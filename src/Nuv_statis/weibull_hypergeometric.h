// The Weibull density and the hypergeometric probability.
#pragma once

#include <cstdint>

#include "foundation/exceptions.h"
#include "foundation/nuv_export.h"

namespace nuv {

/// exp(-(x/lambda)^k) k x^(k-1) / lambda^k. 0 if x <= 0 or lambda <= 0; k is
/// not checked.
NUV_API double WeibullDensity(double x, double k, double lambda);

/// Probability of k successes in a sample of nsample drawn without replacement
/// from npop items of which round(npop p) are successes. Raises
/// ENUVStatisError for p outside [0, 1] (NaN included), npop < 1, npop <
/// nsample, nsample < 1, checked in that order. 0 for impossible k.
NUV_API double HyperGeoDistriDensity(double p, int32_t npop, int32_t nsample, int32_t k);

}  // namespace nuv
