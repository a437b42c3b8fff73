// Outlier tests: Dixon's ratio test with its table of critical values at
// nine significance levels, and Grubbs' test.
#pragma once

#include <cstdint>

#include "Nuv_vector/vector.h"
#include "foundation/nuv_export.h"

namespace nuv {

/// Significance levels of the Dixon table: alpha = 0.001 ... 0.5.
enum TSignifLevelEx : uint8_t {
  Dot001,
  Dot002,
  Dot005,
  Dot010,
  Dot020,
  Dot050,
  Dot100,
  Dot200,
  Dot500
};

/// alpha of each TSignifLevelEx, in its order.
inline constexpr double NumericSigLevel[9] = {0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.5};

/// Critical value of Dixon's ratio for n values at Level, from the table (three decimals;
/// r10 for n = 3..7, r11 for 8..10, r21 for 11..13, r22 for 14..100). -1 for n outside
/// 3..100 or a level outside the enumeration.
NUV_API double DeanDixonCriticalValues(int32_t n, TSignifLevelEx Level);

/// Dixon's test for one outlier at either end of Data (read only; an absent vector has no
/// values). Statistic receives the larger of the low and high ratios of the sorted values
/// (the low one on a tie; a ratio with a zero denominator is 0). Returns the 1-based
/// position of the first element equal to the suspect value when Statistic exceeds the
/// critical value, otherwise 0. Raises ENUVStatisError "DeanDixonTest: number of data
/// points is too low" (n < 3) or "... is too high" (n > 100).
NUV_API int32_t DeanDixonTest(const TVector* Data, TSignifLevelEx Level, double& Statistic);

/// Critical value of Grubbs' G for n values at significance Alpha, two-sided (Alpha shared by
/// both ends) or one-sided: ((n - 1)/sqrt n) sqrt(t^2/(n - 2 + t^2)) with t the Student
/// quantile at 1 - Alpha/(d n), d = 2 or 1, n - 2 degrees of freedom. -1 unless
/// 0 < Alpha < 1 (NaN included) and n > 2.
NUV_API double GrubbsCriticalValues(int32_t n, double Alpha, bool TwoSided);

/// Grubbs' two-sided test for one outlier in Data: G = max |x - mean|/s over the elements
/// (mean and sample variance as TVector::MeanVar gives them; the first maximal position
/// wins). Returns that position when G exceeds GrubbsCriticalValues(n, Alpha, true),
/// otherwise 0; G = 0 and result 0 when s is not positive. Raises ENUVStatisError
/// "GrubbsTest: invalid level of significance" (Alpha outside (0, 1)), then "GrubbsTest:
/// number of data points is too low" (fewer than 4 values).
NUV_API int32_t GrubbsTest(const TVector* Data, double Alpha, double& G);

}  // namespace nuv
