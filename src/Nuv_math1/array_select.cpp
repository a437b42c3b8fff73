#include <algorithm>

#include "Nuv_math1/array_stats.h"
#include "Nuv_math1/sort_comb.h"

namespace nuv {

// Selection is introselect (std::nth_element: median-of-three partitioning
// with a heap fallback) rather than a plain middle-pivot partition, which
// degrades to quadratic time on many equal values. Only the returned value and
// the reordering within the range are promised, so the result is the same.
double QuickSelect(std::vector<double>& Data, int32_t K, int32_t LowIx, int32_t HighIx) {
  if (HighIx < LowIx) return 0.0;
  const int64_t last = static_cast<int64_t>(Data.size()) - 1;
  const int64_t lo = LowIx < 0 ? 0 : LowIx;
  const int64_t hi = HighIx > last ? last : HighIx;
  if (hi < lo) return 0.0;
  const int64_t k = K < lo ? lo : (K > hi ? hi : K);

  double* first = Data.data() + lo;
  double* end = Data.data() + hi + 1;
  const double v0 = *first;
  const double* p = first + 1;
  if (v0 == v0) {
    while (p != end && *p == v0) ++p;
  } else {
    while (p != end && *p != *p) ++p;
  }
  if (p == end) return v0;

  double* nth = Data.data() + k;
  if (detail::CombHasNaN(first, static_cast<int32_t>(end - first))) {
    std::nth_element(first, nth, end, [](double a, double b) { return detail::CombBefore(a, b); });
  } else {
    std::nth_element(first, nth, end);
  }
  return *nth;
}

}  // namespace nuv
