// PercentileOfArray: selection of one order statistic of an array range.
#include "Nuv_statis/hyptest_percentile.h"

#include <cmath>

#include "Nuv_math1/array_stats.h"

namespace nuv {

int32_t PercentileOfArray(TDoubleArray& Data, double Percent, int32_t Low, int32_t High,
                          double& Value) {
  Value = 0;
  int32_t code = 0;
  const int64_t last = static_cast<int64_t>(Data.size()) - 1;
  if (Low < 0 || Low > last || High < 0 || High > last) code = -1;
  if (High < Low) code = -3;
  if (!(Percent >= 0 && Percent <= 100)) code = -2;
  if (code != 0) return code;
  // The position counts from Low, so that it stays inside the range the selection orders.
  const double offset = std::nearbyint(Percent / 100 * (static_cast<double>(High) - Low + 1));
  const int32_t k =
      offset >= static_cast<double>(High) - Low ? High : Low + static_cast<int32_t>(offset);
  Value = QuickSelect(Data, k, Low, High);
  return 0;
}

}  // namespace nuv
