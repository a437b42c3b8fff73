// Runs tests of randomness: the exact distribution of the number of runs of
// two kinds of items, the test on a sequence of bits (normal approximation for
// long sequences) and the test of a series against its median.
#pragma once

#include <cstdint>

#include "Nuv_vector/vector.h"
#include "foundation/bitfld.h"
#include "foundation/nuv_export.h"

namespace nuv {

/// P(R <= Runs) for the number of runs R of n1 items of one kind and n2 of another in
/// random order, summed term by term over R = 2..Runs from the binomial coefficients of
/// the runs distribution, which are formed in logarithms (accurate to about 1e-13 for any
/// n1, n2; the terms beyond 2 min(n1, n2) + 1 are 0 and not summed). Clipped to 0..1.
/// 0 when Runs < 2 or either count is 0 or negative (one kind only forms a single run,
/// which the sum does not count).
NUV_API double ExactRunsTest(int32_t n1, int32_t n2, int32_t Runs);

/// Runs test on the bits 0..Bits->Size(): n1 ones, n0 zeros, runs = changes + 1. With more
/// than 25 of either kind the normal approximation: z = (runs - 2 n1 n0/N - 1)/sigma,
/// sigma^2 = S (S - N)/(N^2 (N - 1)), S = 2 n1 n0, and p = Phi(-|z|) (the tail beyond z);
/// sigma = 0 gives p = 0. Otherwise p = ExactRunsTest(n1, n0, runs). Returns p < 0.05, so
/// all bits equal give p = 0 and true. An absent field gives p = -1 and false.
NUV_API bool RunsTest(const TBitFld* Bits, double& p);

/// RunsTest on the n elements of Data as n bits: bit i - 1 tells whether element i lies
/// above the median (TVector::Quartiles). p = -1 and false for an absent vector.
NUV_API bool RunsTestSerial(const TVector* Data, double& p);

}  // namespace nuv
