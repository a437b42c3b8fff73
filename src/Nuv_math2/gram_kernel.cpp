#include "Nuv_math2/gram_kernel.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace nuv {
namespace detail {

namespace {

// A 4 x 2 block of sums: a[0..3] against b[0..1], eight independent
// accumulators so that the adds of consecutive rows do not wait on each other.
template <bool SqDiff>
void Block4x2(const double* const a[4], const double* const b[2], size_t n, double out[4][2]) {
  size_t r = 0;
#if defined(__SSE2__)
  __m128d acc[4][2];
  for (auto& row : acc)
    for (auto& x : row) x = _mm_setzero_pd();
  for (; r + 2 <= n; r += 2) {
    const __m128d b0 = _mm_loadu_pd(b[0] + r);
    const __m128d b1 = _mm_loadu_pd(b[1] + r);
    for (int k = 0; k < 4; ++k) {
      const __m128d x = _mm_loadu_pd(a[k] + r);
      if (SqDiff) {
        const __m128d d0 = _mm_sub_pd(x, b0);
        const __m128d d1 = _mm_sub_pd(x, b1);
        acc[k][0] = _mm_add_pd(acc[k][0], _mm_mul_pd(d0, d0));
        acc[k][1] = _mm_add_pd(acc[k][1], _mm_mul_pd(d1, d1));
      } else {
        acc[k][0] = _mm_add_pd(acc[k][0], _mm_mul_pd(x, b0));
        acc[k][1] = _mm_add_pd(acc[k][1], _mm_mul_pd(x, b1));
      }
    }
  }
  for (int k = 0; k < 4; ++k)
    for (int l = 0; l < 2; ++l) {
      double lanes[2];
      _mm_storeu_pd(lanes, acc[k][l]);
      out[k][l] = lanes[0] + lanes[1];
    }
#else
  for (int k = 0; k < 4; ++k) out[k][0] = out[k][1] = 0.0;
#endif
  for (; r < n; ++r)
    for (int k = 0; k < 4; ++k)
      for (int l = 0; l < 2; ++l) {
        const double x = a[k][r], y = b[l][r];
        out[k][l] += SqDiff ? (x - y) * (x - y) : x * y;
      }
}

template <bool SqDiff>
void Panel(const double* W, size_t N, int64_t I0, int64_t I1, const double* Zero, double* G,
           size_t LdG) {
  for (int64_t i0 = I0; i0 < I1; i0 += 4) {
    const double* a[4];
    for (int k = 0; k < 4; ++k)
      a[k] = i0 + k < I1 ? W + static_cast<size_t>(i0 + k) * N : Zero;
    const int64_t jEnd = (i0 + 3 < I1 ? i0 + 3 : I1 - 1);  // largest i of the block
    for (int64_t j0 = 0; j0 <= jEnd; j0 += 2) {
      const double* b[2];
      for (int l = 0; l < 2; ++l) b[l] = j0 + l <= jEnd ? W + static_cast<size_t>(j0 + l) * N : Zero;
      double out[4][2];
      Block4x2<SqDiff>(a, b, N, out);
      for (int k = 0; k < 4; ++k) {
        const int64_t i = i0 + k;
        if (i >= I1) break;
        for (int l = 0; l < 2; ++l) {
          const int64_t j = j0 + l;
          if (j <= i) G[static_cast<size_t>(i - I0) * LdG + static_cast<size_t>(j)] = out[k][l];
        }
      }
    }
  }
}

}  // namespace

void GramPanel(const double* W, size_t N, int64_t I0, int64_t I1, bool SqDiff, const double* Zero,
               double* G, size_t LdG) {
  if (SqDiff)
    Panel<true>(W, N, I0, I1, Zero, G, LdG);
  else
    Panel<false>(W, N, I0, I1, Zero, G, LdG);
}

}  // namespace detail
}  // namespace nuv
