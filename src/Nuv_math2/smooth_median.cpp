// Moving median: the window is kept sorted while it slides, so each step removes the
// outgoing value and inserts the incoming one by one shift of the values between them,
// instead of selecting the median of every window afresh. The values are those of the
// vector's quartiles: the middle order statistic, NaN ordered after every number.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "Nuv_math2/smooth.h"
#include "Nuv_math2/smooth_window.h"

namespace nuv {

namespace {

/// Strict weak order with NaN after every number and equal to another NaN.
inline bool NaNLast(double a, double b) { return a < b || (std::isnan(b) && !std::isnan(a)); }

inline bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

/// Position of a value equal to Old, bit for bit (so that +0 and -0 keep their counts).
size_t FindInSorted(const double* Win, size_t W, double Old) {
  size_t p = static_cast<size_t>(std::lower_bound(Win, Win + W, Old, NaNLast) - Win);
  while (p + 1 < W && !SameBits(Win[p], Old) && !NaNLast(Old, Win[p + 1])) ++p;
  return p;
}

void SlidingMedian(const double* X, size_t Count, size_t W, double* Out) {
  std::vector<double> win(X, X + W);
  double* s = win.data();
  std::sort(s, s + W, NaNLast);
  const size_t h = W / 2;
  Out[0] = s[h];
  for (size_t i = 1; i < Count; ++i) {
    const double old = X[i - 1];
    const double v = X[i + W - 1];
    const size_t p = FindInSorted(s, W, old);
    if (NaNLast(v, s[p])) {
      // The new value belongs before the freed slot: shift the values in between up.
      const size_t q = static_cast<size_t>(std::upper_bound(s, s + p, v, NaNLast) - s);
      std::memmove(s + q + 1, s + q, (p - q) * sizeof(double));
      s[q] = v;
    } else {
      const size_t r = static_cast<size_t>(std::upper_bound(s + p + 1, s + W, v, NaNLast) - s);
      std::memmove(s + p, s + p + 1, (r - p - 1) * sizeof(double));
      s[r - 1] = v;
    }
    Out[i] = s[h];
  }
}

}  // namespace

void MovingMedianSmooth(const TVector* SourceVec, int32_t LowElem, int32_t HighElem,
                        TVector* DestVec, int32_t WinWidth) {
  detail::SmoothByWindow(detail::SmoothingWindowRules("MovingMedianSmooth"), SourceVec, LowElem,
                         HighElem, DestVec, WinWidth,
                         [WinWidth](const double* x, size_t n, double* out) {
                           SlidingMedian(x, n, static_cast<size_t>(WinWidth), out);
                         });
}

}  // namespace nuv
