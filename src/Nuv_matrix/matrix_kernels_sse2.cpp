// Baseline kernels for every x86-64 CPU (SSE2, also 32-bit x86 built with
// SSE2): a 4 x 4 register tile; the product and the sum are rounded apart, as
// without fused multiply-add. Other targets build none of this.
#include <cstddef>
#include <cstdint>
#include <new>

#include "Nuv_matrix/matrix_kernels.h"

#if defined(__SSE2__) || defined(_M_X64)

#include <emmintrin.h>

#define NUV_KERNEL_NS sse2_kernels
#define NUV_KERNEL_FUSED 0
#include "Nuv_matrix/matrix_kernels_impl.h"
#undef NUV_KERNEL_NS
#undef NUV_KERNEL_FUSED

namespace nuv::detail::sse2_kernels {
namespace {

/// Without fused multiply-add the product is rounded before the sum.
struct TVec {
  using T = __m128d;
  static constexpr int L = 2;
  static T Load(const double* p) { return _mm_loadu_pd(p); }
  static void Store(double* p, T v) { _mm_storeu_pd(p, v); }
  static T Set1(double x) { return _mm_set1_pd(x); }
  static T Zero() { return _mm_setzero_pd(); }
  static T Fma(T a, T b, T c) { return _mm_add_pd(c, _mm_mul_pd(a, b)); }
  static T Fnma(T a, T b, T c) { return _mm_sub_pd(c, _mm_mul_pd(a, b)); }
  static T Div(T a, T b) { return _mm_div_pd(a, b); }
};

struct TMicro {
  static constexpr int MR = 4;
  static constexpr int NR = 4;
  static constexpr int64_t KC = 256;
  static constexpr int64_t MC = 128;
  static constexpr int64_t NC = 2048;

  static void Run(int64_t kc, const double* ap, const double* bp, double* c, int64_t ldc,
                  bool load) {
    __m128d c0[NR], c1[NR];
    for (int j = 0; j < NR; ++j) {
      c0[j] = load ? _mm_loadu_pd(c + j * ldc) : _mm_setzero_pd();
      c1[j] = load ? _mm_loadu_pd(c + j * ldc + 2) : _mm_setzero_pd();
    }
    for (int64_t p = 0; p < kc; ++p) {
      const __m128d a0 = _mm_load_pd(ap);
      const __m128d a1 = _mm_load_pd(ap + 2);
      for (int j = 0; j < NR; ++j) {
        const __m128d bj = _mm_set1_pd(bp[j]);
        c0[j] = _mm_add_pd(c0[j], _mm_mul_pd(a0, bj));
        c1[j] = _mm_add_pd(c1[j], _mm_mul_pd(a1, bj));
      }
      ap += MR;
      bp += NR;
    }
    for (int j = 0; j < NR; ++j) {
      _mm_storeu_pd(c + j * ldc, c0[j]);
      _mm_storeu_pd(c + j * ldc + 2, c1[j]);
    }
  }
};

}  // namespace
}  // namespace nuv::detail::sse2_kernels

namespace nuv::detail {

const TMatKernels* MatKernelsSse2() {
  static const TMatKernels k = sse2_kernels::MakeKernels<sse2_kernels::TMicro, sse2_kernels::TVec, 6>("SSE2");
  return &k;
}

}  // namespace nuv::detail

#else

namespace nuv::detail {
const TMatKernels* MatKernelsSse2() { return nullptr; }
}  // namespace nuv::detail

#endif
