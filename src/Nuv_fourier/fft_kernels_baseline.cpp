// The transform's loops for the baseline instruction set of the target (SSE2 on x86-64,
// the vector unit the target guarantees elsewhere), and the choice among the variants.
#include "Nuv_fourier/fft_kernels.h"

#define NUV_FFT_NS baseline
#include "Nuv_fourier/fft_kernels_impl.h"
#undef NUV_FFT_NS

namespace nuv::detail {

const TFftKernels& FftKernelsBaseline() {
  static const TFftKernels k = {"baseline", &baseline::Run};
  return k;
}

namespace {

const TFftKernels& ChooseFftKernels() {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2"))
    if (const TFftKernels* k = FftKernelsAvx2()) return *k;
#endif
  return FftKernelsBaseline();
}

}  // namespace

const TFftKernels& FftKernels() {
  static const TFftKernels& k = ChooseFftKernels();
  return k;
}

}  // namespace nuv::detail
