// The kernel sum for the baseline instruction set of the target (SSE2 on x86-64), and the
// choice among the variants.
#include "Nuv_statis/density_kernel.h"

#define NUV_DENSITY_NS baseline
#include "Nuv_statis/density_kernel_impl.h"
#undef NUV_DENSITY_NS

namespace nuv::detail {

TKernelSumFn KernelSumBaseline() { return &baseline::Sum; }

namespace {

TKernelSumFn ChooseKernelSum() {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2"))
    if (const TKernelSumFn f = KernelSumAvx2()) return f;
#endif
  return KernelSumBaseline();
}

}  // namespace

TKernelSumFn KernelSum() {
  static const TKernelSumFn f = ChooseKernelSum();
  return f;
}

}  // namespace nuv::detail
