#include "Nuv_math2/smooth_window.h"

#include <algorithm>
#include <new>
#include <vector>

namespace nuv::detail {

TSmoothWindowRules SmoothingWindowRules(const char* Func) {
  return {Func,
          "specified range for smoothing is smaller than the length of the smoothing windows",
          "length of smoothing window is out of range",
          "length of smoothing window must be odd",
          3,
          INT32_MAX};
}

void WindowSum(const double* X, size_t Count, const std::vector<double>& Weights, double Divisor,
               double* Out) {
  double acc[kWindowBlock];
  const size_t w = Weights.size();
  for (size_t i0 = 0; i0 < Count; i0 += kWindowBlock) {
    const size_t m = Count - i0 < kWindowBlock ? Count - i0 : kWindowBlock;
    const double* x = X + i0;
    const double w0 = Weights[0];
    for (size_t j = 0; j < m; ++j) acc[j] = w0 * x[j];
    for (size_t k = 1; k < w; ++k) {
      const double wk = Weights[k];
      const double* xk = x + k;
      for (size_t j = 0; j < m; ++j) acc[j] += wk * xk[j];
    }
    for (size_t j = 0; j < m; ++j) Out[i0 + j] = acc[j] / Divisor;
  }
}

void SmoothByWindow(const TSmoothWindowRules& Rules, const TVector* SourceVec, int32_t LowElem,
                    int32_t HighElem, TVector* DestVec, int32_t WinWidth,
                    const TWindowKernel& Kernel) {
  auto raise = [&](const char* Text) { RaiseFunctionError<ENUVMath2Error>(Rules.Func, Text); };
  if (SourceVec == nullptr || DestVec == nullptr) raise("either SourceVec or DestVec is undefined");
  ClipSignalRange(LowElem, HighElem, SourceVec->NrOfElem());
  if (HighElem - LowElem < WinWidth) raise(Rules.RangeText);
  if (WinWidth < Rules.MinWidth || WinWidth > Rules.MaxWidth) raise(Rules.WidthText);
  if (WinWidth % 2 == 0) raise(Rules.OddText);

  const size_t n = static_cast<size_t>(HighElem - LowElem) + 1;
  const size_t h = static_cast<size_t>(WinWidth / 2);
  const size_t destCount = static_cast<size_t>(DestVec->NrOfElem());
  // The result goes straight into DestVec unless it is the source itself or too short.
  const bool direct = DestVec != SourceVec && destCount >= n;
  std::vector<double> scratch;
  if (!direct && !TryAllocate(scratch, n)) raise("not enough memory");
  double* out = direct ? DestVec->Data() : scratch.data();

  try {
    Kernel(SourceVec->Data() + (LowElem - 1), n - 2 * h, out + h);
  } catch (const std::bad_alloc&) {
    raise("not enough memory");
  }
  std::fill(out, out + h, out[h]);
  std::fill(out + (n - h), out + n, out[n - h - 1]);
  if (!direct) std::copy(out, out + std::min(n, destCount), DestVec->Data());
  DestVec->SetIsEmpty(false);
  DestVec->Changed();
}

}  // namespace nuv::detail
