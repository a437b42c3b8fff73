// The kernel sum compiled for AVX2 (four doubles per vector), x86 only.
#include "Nuv_statis/density_kernel.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))

#pragma GCC push_options
#pragma GCC target("avx2")

#define NUV_DENSITY_NS avx2
#include "Nuv_statis/density_kernel_impl.h"
#undef NUV_DENSITY_NS

namespace nuv::detail {
TKernelSumFn KernelSumAvx2() { return &avx2::Sum; }
}  // namespace nuv::detail

#pragma GCC pop_options

#else

namespace nuv::detail {
TKernelSumFn KernelSumAvx2() { return nullptr; }
}  // namespace nuv::detail

#endif
