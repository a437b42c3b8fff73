#include "Nuv_math2/block_copy.h"

#include <algorithm>

#include "foundation/memory.h"

namespace nuv {
namespace detail {

bool CopyBlock(const TMatrix* M, int32_t LowCol, int32_t HighCol, int32_t LowRow,
               int32_t HighRow, std::vector<double>& Out) {
  const int64_t nc = int64_t{HighCol} - LowCol + 1;
  const int64_t nr = int64_t{HighRow} - LowRow + 1;
  if (nc <= 0 || nr <= 0) {
    Out.clear();
    return true;
  }
  if (!ByteCountFits(static_cast<size_t>(nc), static_cast<size_t>(nr)) ||
      !TryAllocate(Out, static_cast<size_t>(nc) * static_cast<size_t>(nr), 0.0))
    return false;
  // Only the part inside the matrix is copied; the rest stays 0.
  const int64_t r0 = std::max<int64_t>(LowRow, 1);
  const int64_t r1 = std::min<int64_t>(HighRow, M->NrOfRows());
  if (r1 < r0) return true;
  for (int64_t c = std::max<int64_t>(LowCol, 1); c <= std::min<int64_t>(HighCol, M->NrOfColumns());
       ++c) {
    const double* src = M->ColData(static_cast<int32_t>(c)) + (r0 - 1);
    double* dst = Out.data() + static_cast<size_t>(c - LowCol) * static_cast<size_t>(nr) +
                  static_cast<size_t>(r0 - LowRow);
    std::copy(src, src + (r1 - r0 + 1), dst);
  }
  return true;
}

}  // namespace detail
}  // namespace nuv
