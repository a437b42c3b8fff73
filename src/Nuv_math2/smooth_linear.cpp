// The linear moving-window functions: mean, triangular weights and the quadratic
// Savitzky-Golay fits. Each output is a weighted sum of its window, summed in the
// documented order; the loops run over blocks of outputs so that every tap is one
// contiguous multiply-add sweep the compiler vectorises.
#include <cstddef>
#include <vector>

#include "Nuv_math2/smooth.h"
#include "Nuv_math2/smooth_window.h"

namespace nuv {

namespace {

using detail::kWindowBlock;

/// Out[i] = (c0 x[c] + sum over d = 1 .. h of cd (x[c + d] + x[c - d])) / N, with c = i + h
/// and the weights and divisor N taken from a row of a Savitzky-Golay table.
void SymmetricWindowSum(const double* X, size_t Count, const int32_t (&Row)[14], size_t h,
                        double* Out) {
  double acc[kWindowBlock];
  const double divisor = Row[0];
  for (size_t i0 = 0; i0 < Count; i0 += kWindowBlock) {
    const size_t m = Count - i0 < kWindowBlock ? Count - i0 : kWindowBlock;
    const double* c = X + i0 + h;
    const double c0 = Row[1];
    for (size_t j = 0; j < m; ++j) acc[j] = c0 * c[j];
    for (size_t d = 1; d <= h; ++d) {
      const double cd = Row[1 + d];
      const double* up = c + d;
      const double* down = c - d;
      for (size_t j = 0; j < m; ++j) acc[j] += cd * (up[j] + down[j]);
    }
    for (size_t j = 0; j < m; ++j) Out[i0 + j] = acc[j] / divisor;
  }
}

detail::TSmoothWindowRules GolayRules(const char* Func, const char* RangeText) {
  return {
      Func, RangeText, "length of polynomial is out of range", "length of polynomial must be odd",
      5,    25};
}

/// The smoothing or second-derivative fit with the weights of a Savitzky-Golay table.
void GolaySmooth(const char* Func, const int32_t (&Table)[11][14], const TVector* SourceVec,
                 int32_t LowElem, int32_t HighElem, TVector* DestVec, int32_t WinWidth) {
  const detail::TSmoothWindowRules rules = GolayRules(
      Func, "specified range for smoothing is smaller than the length of the polynomial");
  detail::SmoothByWindow(rules, SourceVec, LowElem, HighElem, DestVec, WinWidth,
                         [&Table, WinWidth](const double* x, size_t n, double* out) {
                           const size_t h = static_cast<size_t>(WinWidth / 2);
                           SymmetricWindowSum(x, n, Table[h - 2], h, out);
                         });
}

}  // namespace

void MovingAverageSmooth(const TVector* SourceVec, int32_t LowElem, int32_t HighElem,
                         TVector* DestVec, int32_t WinWidth) {
  detail::SmoothByWindow(detail::SmoothingWindowRules("MovingAverageSmooth"), SourceVec, LowElem,
                         HighElem, DestVec, WinWidth,
                         [WinWidth](const double* x, size_t n, double* out) {
                           const std::vector<double> ones(static_cast<size_t>(WinWidth), 1.0);
                           detail::WindowSum(x, n, ones, WinWidth, out);
                         });
}

void WeightedAverageSmooth(const TVector* SourceVec, int32_t LowElem, int32_t HighElem,
                           TVector* DestVec, int32_t WinWidth) {
  detail::SmoothByWindow(detail::SmoothingWindowRules("WeightedAverageSmooth"), SourceVec, LowElem,
                         HighElem, DestVec, WinWidth,
                         [WinWidth](const double* x, size_t n, double* out) {
                           const int32_t h = WinWidth / 2;
                           std::vector<double> w(static_cast<size_t>(WinWidth));
                           for (int32_t k = -h; k <= h; ++k)
                             w[static_cast<size_t>(k + h)] = h + 1 - (k < 0 ? -k : k);
                           // sum * 4 / (WinWidth + 1)^2 rounds to the same value as
                           // sum / (h + 1)^2, whose scaling cannot overflow.
                           const double h1 = h + 1.0;
                           detail::WindowSum(x, n, w, h1 * h1, out);
                         });
}

void PolynomialSmooth(const TVector* SourceVec, int32_t LowElem, int32_t HighElem, TVector* DestVec,
                      int32_t WinWidth) {
  GolaySmooth("PolynomialSmooth", GolayPoly, SourceVec, LowElem, HighElem, DestVec, WinWidth);
}

void SecondDeriv(const TVector* SourceVec, int32_t LowElem, int32_t HighElem, TVector* DestVec,
                 int32_t WinWidth) {
  GolaySmooth("SecondDeriv", Golay2ndDeriv, SourceVec, LowElem, HighElem, DestVec, WinWidth);
}

void FirstDeriv(const TVector* SourceVec, int32_t LowElem, int32_t HighElem, TVector* DestVec,
                int32_t WinWidth) {
  detail::SmoothByWindow(
      GolayRules("FirstDeriv",
                 "specified range for calculation is smaller than the length of the polynomial"),
      SourceVec, LowElem, HighElem, DestVec, WinWidth,
      [WinWidth](const double* x, size_t n, double* out) {
        const int32_t h = WinWidth / 2;
        std::vector<double> w(static_cast<size_t>(WinWidth));
        for (int32_t k = -h; k <= h; ++k) w[static_cast<size_t>(k + h)] = k;
        detail::WindowSum(x, n, w, Golay1stDerivDiv[h - 2], out);
      });
}

}  // namespace nuv
