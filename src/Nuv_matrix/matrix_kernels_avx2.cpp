// AVX2 + FMA kernels: a 12 x 4 register tile (12 of the 16 ymm registers hold C).
#include <cstddef>
#include <cstdint>
#include <new>

#include "Nuv_matrix/matrix_kernels.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))

#include <immintrin.h>

// clang knows no "#pragma GCC target": it takes the same instruction sets
// as an attribute of every function in the region.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2,fma"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2,fma")
#endif

#define NUV_KERNEL_NS avx2_kernels
#define NUV_KERNEL_FUSED 1
#include "Nuv_matrix/matrix_kernels_impl.h"
#undef NUV_KERNEL_NS
#undef NUV_KERNEL_FUSED

namespace nuv::detail::avx2_kernels {
namespace {

struct TVec {
  using T = __m256d;
  static constexpr int L = 4;
  static T Load(const double* p) { return _mm256_loadu_pd(p); }
  static void Store(double* p, T v) { _mm256_storeu_pd(p, v); }
  static T Set1(double x) { return _mm256_set1_pd(x); }
  static T Zero() { return _mm256_setzero_pd(); }
  static T Fma(T a, T b, T c) { return _mm256_fmadd_pd(a, b, c); }
  static T Fnma(T a, T b, T c) { return _mm256_fnmadd_pd(a, b, c); }
  static T Div(T a, T b) { return _mm256_div_pd(a, b); }
};

struct TMicro {
  static constexpr int MR = 12;
  static constexpr int NR = 4;
  static constexpr int64_t KC = 256;
  static constexpr int64_t MC = 192;
  static constexpr int64_t NC = 2048;

  static void Run(int64_t kc, const double* ap, const double* bp, double* c, int64_t ldc,
                  bool load) {
    __m256d c0[NR], c1[NR], c2[NR];
    if (load) {
#pragma GCC unroll 4
      for (int j = 0; j < NR; ++j) {
        c0[j] = _mm256_loadu_pd(c + j * ldc);
        c1[j] = _mm256_loadu_pd(c + j * ldc + 4);
        c2[j] = _mm256_loadu_pd(c + j * ldc + 8);
      }
    } else {
#pragma GCC unroll 4
      for (int j = 0; j < NR; ++j) {
        c0[j] = _mm256_setzero_pd();
        c1[j] = _mm256_setzero_pd();
        c2[j] = _mm256_setzero_pd();
      }
    }
    for (int64_t p = 0; p < kc; ++p) {
      const __m256d a0 = _mm256_load_pd(ap);
      const __m256d a1 = _mm256_load_pd(ap + 4);
      const __m256d a2 = _mm256_load_pd(ap + 8);
#pragma GCC unroll 4
      for (int j = 0; j < NR; ++j) {
        const __m256d bj = _mm256_broadcast_sd(bp + j);
        c0[j] = _mm256_fmadd_pd(a0, bj, c0[j]);
        c1[j] = _mm256_fmadd_pd(a1, bj, c1[j]);
        c2[j] = _mm256_fmadd_pd(a2, bj, c2[j]);
      }
      ap += MR;
      bp += NR;
    }
#pragma GCC unroll 4
    for (int j = 0; j < NR; ++j) {
      _mm256_storeu_pd(c + j * ldc, c0[j]);
      _mm256_storeu_pd(c + j * ldc + 4, c1[j]);
      _mm256_storeu_pd(c + j * ldc + 8, c2[j]);
    }
  }
};

}  // namespace
}  // namespace nuv::detail::avx2_kernels

namespace nuv::detail {

const TMatKernels* MatKernelsAvx2() {
  static const TMatKernels k = avx2_kernels::MakeKernels<avx2_kernels::TMicro, avx2_kernels::TVec, 8>(
      "AVX2+FMA");
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
const TMatKernels* MatKernelsAvx2() { return nullptr; }
}  // namespace nuv::detail

#endif
