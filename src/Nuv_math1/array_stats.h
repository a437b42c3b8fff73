// Plain-array statistics and selection; includes the sorting, polynomial,
// exchange and compensated-summation parts of the array toolkit.
#pragma once

#include <vector>

#include "Nuv_math1/array_exchange.h"
#include "Nuv_math1/array_poly.h"
#include "Nuv_math1/kahan_sum.h"
#include "Nuv_math1/sort_array.h"
#include "foundation/frame.h"

namespace nuv {

/// Smallest and largest value of Data[LowIx..HighIx] and their first indices.
/// The outputs start as uc_MaxDouble, -uc_MaxDouble and 0; NaN is never taken.
/// Returns -1 (outputs as initialized) when LowIx or HighIx lies outside the
/// array; a range with HighIx < LowIx scans nothing and returns 0.
NUV_API int32_t MinMaxOfArray(const TDoubleArray& Data, int32_t LowIx, int32_t HighIx,
                              double& Minimum, double& Maximum, int32_t& MinIx, int32_t& MaxIx);

/// Rectangle form: first index LowIx1..HighIx1 (outer loop), second index
/// LowIx2..HighIx2 checked against the length of row 0. A scanned row shorter
/// than row 0 also gives -1.
NUV_API int32_t MinMaxOfArray(const TDouble2DArray& Data, int32_t LowIx1, int32_t LowIx2,
                              int32_t HighIx1, int32_t HighIx2, double& Minimum, double& Maximum,
                              int32_t& MinIx1, int32_t& MinIx2, int32_t& MaxIx1, int32_t& MaxIx2);

/// Mean and sample variance of Data[LowIx..HighIx] from the running sums of v
/// and v^2. Two values or fewer give variance 1; a negative variance from
/// rounding gives 0. Bad ranges return -1 with both outputs 0; an empty range
/// returns 0 with mean 0 and variance 1.
NUV_API int32_t MeanVarOfArray(const TDoubleArray& Data, int32_t LowIx, int32_t HighIx,
                               double& Mean, double& Variance);

/// Rectangle form with the range rules of the rectangle MinMaxOfArray.
NUV_API int32_t MeanVarOfArray(const TDouble2DArray& Data, int32_t LowIx1, int32_t LowIx2,
                               int32_t HighIx1, int32_t HighIx2, double& Mean, double& Variance);

/// The value that would stand at index K if Data[LowIx..HighIx] were sorted
/// ascending (NaN counting as larger than every number). Reorders only that
/// range; a range whose values all equal Data[LowIx] is left as it is.
/// HighIx < LowIx gives 0. LowIx and HighIx are clipped into the array (an
/// empty result gives 0) and K into LowIx..HighIx.
NUV_API double QuickSelect(std::vector<double>& Data, int32_t K, int32_t LowIx, int32_t HighIx);

}  // namespace nuv
