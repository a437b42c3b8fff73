// Integer products: the left factor is packed in panels of contiguous
// columns, and tiles of the result are accumulated in eight-lane registers
// over a panel's depth. Built for AVX2 and for the baseline, the better one
// chosen at load time where the toolchain supports it.
#include "Nuv_matrix/intmatrix_kernels.h"

#include "foundation/cpu_clones.h"

#include <algorithm>
#include <cstring>
#include <vector>


namespace nuv::detail {

namespace {

constexpr int64_t kPanelRows = 512;
constexpr int64_t kPanelDepth = 128;

/// Eight 32-bit lanes (a compiler vector type: one AVX2 register, two SSE2 ones).
typedef uint32_t TLanes8 __attribute__((vector_size(32)));

/// C(:, j) += panel times B(:, j) for the n columns of C: the panel is mi rows by kp
/// columns, column p contiguous at ap + p mi. Tiles of 16 rows by 4 columns are kept
/// in registers over the whole depth; the rest goes column by column.
NUV_AVX2_CLONES
void PanelTimesColumns(int64_t mi, int64_t kp, const uint32_t* ap, const int32_t* b, int64_t brs,
                       int64_t bcs, int64_t n, uint32_t* c, int64_t ldc) {
  uint32_t bpack[kPanelDepth * 4];
  int64_t j = 0;
  for (; j + 4 <= n; j += 4) {
    for (int64_t p = 0; p < kp; ++p)
      for (int64_t q = 0; q < 4; ++q)
        bpack[p * 4 + q] = static_cast<uint32_t>(b[p * brs + (j + q) * bcs]);
    int64_t i = 0;
    for (; i + 16 <= mi; i += 16) {
      TLanes8 acc[4][2] = {};
      for (int64_t p = 0; p < kp; ++p) {
        TLanes8 a0, a1;
        std::memcpy(&a0, ap + p * mi + i, sizeof a0);
        std::memcpy(&a1, ap + p * mi + i + 8, sizeof a1);
        for (int q = 0; q < 4; ++q) {
          const TLanes8 bq = TLanes8{} + bpack[p * 4 + q];
          acc[q][0] += a0 * bq;
          acc[q][1] += a1 * bq;
        }
      }
      for (int q = 0; q < 4; ++q) {
        uint32_t* cq = c + (j + q) * ldc + i;
        TLanes8 lo, hi;
        std::memcpy(&lo, cq, sizeof lo);
        std::memcpy(&hi, cq + 8, sizeof hi);
        lo += acc[q][0];
        hi += acc[q][1];
        std::memcpy(cq, &lo, sizeof lo);
        std::memcpy(cq + 8, &hi, sizeof hi);
      }
    }
    for (; i < mi; ++i)
      for (int64_t q = 0; q < 4; ++q) {
        uint32_t s = 0;
        for (int64_t p = 0; p < kp; ++p) s += ap[p * mi + i] * bpack[p * 4 + q];
        c[(j + q) * ldc + i] += s;
      }
  }
  for (; j < n; ++j) {
    uint32_t* cj = c + j * ldc;
    const int32_t* bj = b + j * bcs;
    for (int64_t p = 0; p < kp; ++p) {
      const uint32_t bp = static_cast<uint32_t>(bj[p * brs]);
      const uint32_t* a0 = ap + p * mi;
      for (int64_t i = 0; i < mi; ++i) cj[i] += a0[i] * bp;
    }
  }
}

NUV_AVX2_CLONES
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

NUV_AVX2_CLONES
void IntMinMax(const int32_t* p, int64_t n, int32_t& Mn, int32_t& Mx) {
  // Eight independent lanes, so that the compiler keeps them in one register each.
  int32_t mn[8], mx[8];
  for (int j = 0; j < 8; ++j) {
    mn[j] = Mn;
    mx[j] = Mx;
  }
  int64_t i = 0;
  for (; i + 8 <= n; i += 8)
    for (int j = 0; j < 8; ++j) {
      mn[j] = p[i + j] < mn[j] ? p[i + j] : mn[j];
      mx[j] = p[i + j] > mx[j] ? p[i + j] : mx[j];
    }
  for (int j = 0; i < n; ++i, ++j) {
    mn[j] = p[i] < mn[j] ? p[i] : mn[j];
    mx[j] = p[i] > mx[j] ? p[i] : mx[j];
  }
  for (int j = 0; j < 8; ++j) {
    Mn = mn[j] < Mn ? mn[j] : Mn;
    Mx = mx[j] > Mx ? mx[j] : Mx;
  }
}

void IntGemvT(int64_t k, int64_t n, const int32_t* a, int64_t lda, const int32_t* x, int32_t* y) {
  ColumnDots(k, n, a, lda, x, y);
}

}  // namespace nuv::detail
