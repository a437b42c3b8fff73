// Integer products: the left factor is packed in panels of contiguous
// columns, and each result column takes four scaled panel columns per sweep,
// a loop the compiler vectorises. Built for AVX2 and for the baseline, the
// better one chosen at load time where the toolchain supports it.
#include "Nuv_matrix/intmatrix_kernels.h"

#include <algorithm>
#include <vector>

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__)
#define NUV_INT_KERNEL_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define NUV_INT_KERNEL_CLONES
#endif

namespace nuv::detail {

namespace {

constexpr int64_t kPanelRows = 512;
constexpr int64_t kPanelDepth = 128;

NUV_INT_KERNEL_CLONES
void PanelTimesColumns(int64_t mi, int64_t kp, const uint32_t* ap, const int32_t* b, int64_t brs,
                       int64_t bcs, int64_t n, uint32_t* c, int64_t ldc) {
  for (int64_t j = 0; j < n; ++j) {
    uint32_t* cj = c + j * ldc;
    const int32_t* bj = b + j * bcs;
    int64_t p = 0;
    for (; p + 4 <= kp; p += 4) {
      const uint32_t b0 = static_cast<uint32_t>(bj[p * brs]);
      const uint32_t b1 = static_cast<uint32_t>(bj[(p + 1) * brs]);
      const uint32_t b2 = static_cast<uint32_t>(bj[(p + 2) * brs]);
      const uint32_t b3 = static_cast<uint32_t>(bj[(p + 3) * brs]);
      const uint32_t* a0 = ap + p * mi;
      const uint32_t* a1 = a0 + mi;
      const uint32_t* a2 = a1 + mi;
      const uint32_t* a3 = a2 + mi;
      for (int64_t i = 0; i < mi; ++i) cj[i] += a0[i] * b0 + a1[i] * b1 + a2[i] * b2 + a3[i] * b3;
    }
    for (; p < kp; ++p) {
      const uint32_t bp = static_cast<uint32_t>(bj[p * brs]);
      const uint32_t* a0 = ap + p * mi;
      for (int64_t i = 0; i < mi; ++i) cj[i] += a0[i] * bp;
    }
  }
}

NUV_INT_KERNEL_CLONES
void ColumnDots(int64_t k, int64_t n, const int32_t* a, int64_t lda, const int32_t* x,
                int32_t* y) {
  for (int64_t j = 0; j < n; ++j) {
    const int32_t* col = a + j * lda;
    uint32_t s = 0;
    for (int64_t p = 0; p < k; ++p)
      s += static_cast<uint32_t>(col[p]) * static_cast<uint32_t>(x[p]);
    y[j] = static_cast<int32_t>(s);
  }
}

}  // namespace

void IntGemm(int64_t m, int64_t n, int64_t k, const int32_t* a, int64_t ars, int64_t acs,
             const int32_t* b, int64_t brs, int64_t bcs, int32_t* c, int64_t ldc) {
  for (int64_t j = 0; j < n; ++j) std::fill(c + j * ldc, c + j * ldc + m, 0);
  if (m <= 0 || n <= 0 || k <= 0) return;
  std::vector<uint32_t> pack(static_cast<size_t>(std::min(m, kPanelRows) *
                                                 std::min(k, kPanelDepth)));
  auto* cu = reinterpret_cast<uint32_t*>(c);
  for (int64_t i0 = 0; i0 < m; i0 += kPanelRows) {
    const int64_t mi = std::min(kPanelRows, m - i0);
    for (int64_t p0 = 0; p0 < k; p0 += kPanelDepth) {
      const int64_t kp = std::min(kPanelDepth, k - p0);
      for (int64_t p = 0; p < kp; ++p) {
        const int32_t* src = a + i0 * ars + (p0 + p) * acs;
        uint32_t* dst = pack.data() + p * mi;
        for (int64_t i = 0; i < mi; ++i) dst[i] = static_cast<uint32_t>(src[i * ars]);
      }
      PanelTimesColumns(mi, kp, pack.data(), b + p0 * brs, brs, bcs, n, cu + i0, ldc);
    }
  }
}

void IntGemvT(int64_t k, int64_t n, const int32_t* a, int64_t lda, const int32_t* x, int32_t* y) {
  ColumnDots(k, n, a, lda, x, y);
}

}  // namespace nuv::detail
