// Internal: the checks, edge filling and storing that the moving-window smoothing
// functions share, around a kernel that computes the interior values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "Nuv_vector/vector.h"

namespace nuv::detail {

/// The messages of one moving-window function and its admissible window widths.
struct TSmoothWindowRules {
  const char* Func;       ///< name that begins every message
  const char* RangeText;  ///< range narrower than the window
  const char* WidthText;  ///< window width outside MinWidth..MaxWidth
  const char* OddText;    ///< even window width
  int32_t MinWidth;
  int32_t MaxWidth;
};

/// The rules of the mean, triangular and median smoothing: any odd width from 3 up.
TSmoothWindowRules SmoothingWindowRules(const char* Func);

/// Out[i] is the value of the window X[i] .. X[i + WinWidth - 1], i = 0 .. Count - 1.
using TWindowKernel = std::function<void(const double* X, size_t Count, double* Out)>;

/// Checks the arguments in the documented order, runs Kernel over the clipped range,
/// fills the edges, stores the result in DestVec and fires its OnChange once. Raises
/// ENUVMath2Error "<Func>: not enough memory" when work storage cannot be had (also when
/// Kernel throws std::bad_alloc).
void SmoothByWindow(const TSmoothWindowRules& Rules, const TVector* SourceVec, int32_t LowElem,
                    int32_t HighElem, TVector* DestVec, int32_t WinWidth,
                    const TWindowKernel& Kernel);

/// Outputs per block of the window sums: small enough for the accumulators to stay in L1.
inline constexpr size_t kWindowBlock = 256;

/// Out[i] = (sum over k = 0 .. W - 1 of Weights[k] X[i + k], in ascending k) / Divisor,
/// i = 0 .. Count - 1, with W = Weights.size().
void WindowSum(const double* X, size_t Count, const std::vector<double>& Weights, double Divisor,
               double* Out);

/// Clips each bound into 1..Count and orders the pair (no "0 means all" rule).
inline void ClipSignalRange(int32_t& LowElem, int32_t& HighElem, int32_t Count) {
  if (LowElem < 1) LowElem = 1;
  if (LowElem > Count) LowElem = Count;
  if (HighElem < 1) HighElem = 1;
  if (HighElem > Count) HighElem = Count;
  if (HighElem < LowElem) std::swap(LowElem, HighElem);
}

}  // namespace nuv::detail
