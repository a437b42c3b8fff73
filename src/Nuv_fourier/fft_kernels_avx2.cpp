// The transform's loops compiled for AVX2 (four doubles per vector), x86 only.
#include "Nuv_fourier/fft_kernels.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))

// clang knows no "#pragma GCC target": it takes the same instruction set
// as an attribute of every function in the region.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

#define NUV_FFT_NS avx2
#include "Nuv_fourier/fft_kernels_impl.h"
#undef NUV_FFT_NS

namespace nuv::detail {

const TFftKernels* FftKernelsAvx2() {
  static const TFftKernels k = {"AVX2", &avx2::Run};
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
const TFftKernels* FftKernelsAvx2() { return nullptr; }
}  // namespace nuv::detail

#endif
