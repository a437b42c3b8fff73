// The kernel sum compiled for AVX2 (four doubles per vector), x86 only.
#include "Nuv_statis/density_kernel.h"

#include <cstdint>
#include <cstring>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))

// clang knows no "#pragma GCC target": it takes the same instruction set
// as an attribute of every function in the region.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

#define NUV_DENSITY_NS avx2
#include "Nuv_statis/density_kernel_impl.h"
#undef NUV_DENSITY_NS

namespace nuv::detail {
TKernelSumFn KernelSumAvx2() { return &avx2::Sum; }
}  // namespace nuv::detail

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#else

namespace nuv::detail {
TKernelSumFn KernelSumAvx2() { return nullptr; }
}  // namespace nuv::detail

#endif
