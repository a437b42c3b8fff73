// AVX-512 kernels: a 24 x 8 register tile (24 of the 32 zmm registers hold C).
#include <cstddef>
#include <cstdint>
#include <new>

#include "Nuv_matrix/matrix_kernels.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))

#include <immintrin.h>

// clang knows no "#pragma GCC target": it takes the same instruction sets
// as an attribute of every function in the region.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f,avx512vl,avx512dq,avx2,fma"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f,avx512vl,avx512dq,avx2,fma")
#endif

#define NUV_KERNEL_NS avx512_kernels
#define NUV_KERNEL_FUSED 1
#include "Nuv_matrix/matrix_kernels_impl.h"
#undef NUV_KERNEL_NS
#undef NUV_KERNEL_FUSED

namespace nuv::detail::avx512_kernels {
namespace {

struct TVec {
  using T = __m512d;
  static constexpr int L = 8;
  static T Load(const double* p) { return _mm512_loadu_pd(p); }
  static void Store(double* p, T v) { _mm512_storeu_pd(p, v); }
  static T Set1(double x) { return _mm512_set1_pd(x); }
  static T Zero() { return _mm512_setzero_pd(); }
  static T Fma(T a, T b, T c) { return _mm512_fmadd_pd(a, b, c); }
  static T Fnma(T a, T b, T c) { return _mm512_fnmadd_pd(a, b, c); }
  static T Div(T a, T b) { return _mm512_div_pd(a, b); }
};

struct TMicro {
  static constexpr int MR = 24;
  static constexpr int NR = 8;
  static constexpr int64_t KC = 256;
  static constexpr int64_t MC = 144;
  static constexpr int64_t NC = 2048;

  static void Run(int64_t kc, const double* ap, const double* bp, double* c, int64_t ldc,
                  bool load) {
    __m512d c0[NR], c1[NR], c2[NR];
    if (load) {
#pragma GCC unroll 8
      for (int j = 0; j < NR; ++j) {
        c0[j] = _mm512_loadu_pd(c + j * ldc);
        c1[j] = _mm512_loadu_pd(c + j * ldc + 8);
        c2[j] = _mm512_loadu_pd(c + j * ldc + 16);
      }
    } else {
#pragma GCC unroll 8
      for (int j = 0; j < NR; ++j) {
        c0[j] = _mm512_setzero_pd();
        c1[j] = _mm512_setzero_pd();
        c2[j] = _mm512_setzero_pd();
      }
    }
    for (int64_t p = 0; p < kc; ++p) {
      const __m512d a0 = _mm512_load_pd(ap);
      const __m512d a1 = _mm512_load_pd(ap + 8);
      const __m512d a2 = _mm512_load_pd(ap + 16);
#pragma GCC unroll 8
      for (int j = 0; j < NR; ++j) {
        const __m512d bj = _mm512_set1_pd(bp[j]);
        c0[j] = _mm512_fmadd_pd(a0, bj, c0[j]);
        c1[j] = _mm512_fmadd_pd(a1, bj, c1[j]);
        c2[j] = _mm512_fmadd_pd(a2, bj, c2[j]);
      }
      ap += MR;
      bp += NR;
    }
#pragma GCC unroll 8
    for (int j = 0; j < NR; ++j) {
      _mm512_storeu_pd(c + j * ldc, c0[j]);
      _mm512_storeu_pd(c + j * ldc + 8, c1[j]);
      _mm512_storeu_pd(c + j * ldc + 16, c2[j]);
    }
  }
};

}  // namespace
}  // namespace nuv::detail::avx512_kernels

namespace nuv::detail {

const TMatKernels* MatKernelsAvx512() {
  static const TMatKernels k = avx512_kernels::MakeKernels<avx512_kernels::TMicro, avx512_kernels::TVec, 8>(
      "AVX-512");
  return &k;
}

}  // namespace nuv::detail

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#else

namespace nuv::detail {
const TMatKernels* MatKernelsAvx512() { return nullptr; }
}  // namespace nuv::detail

#endif
