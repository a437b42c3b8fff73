// The transform's loops compiled for AVX2 (four doubles per vector), x86 only.
#include "Nuv_fourier/fft_kernels.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))

#pragma GCC push_options
#pragma GCC target("avx2")

#define NUV_FFT_NS avx2
#include "Nuv_fourier/fft_kernels_impl.h"
#undef NUV_FFT_NS

namespace nuv::detail {

const TFftKernels* FftKernelsAvx2() {
  static const TFftKernels k = {"AVX2", &avx2::Run};
  return &k;
}

}  // namespace nuv::detail

#pragma GCC pop_options

#else

namespace nuv::detail {
const TFftKernels* FftKernelsAvx2() { return nullptr; }
}  // namespace nuv::detail

#endif
