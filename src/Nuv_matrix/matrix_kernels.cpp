// Run-time choice of the matrix kernels by CPU features.
#include "Nuv_matrix/matrix_kernels.h"

namespace nuv::detail {

namespace {

const TMatKernels& ChooseKernels() {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
      __builtin_cpu_supports("avx512dq")) {
    if (const TMatKernels* k = MatKernelsAvx512()) return *k;
  }
  if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) {
    if (const TMatKernels* k = MatKernelsAvx2()) return *k;
  }
#endif
  if (const TMatKernels* k = MatKernelsSse2()) return *k;
  return MatKernelsPortable();
}

}  // namespace

const TMatKernels& MatKernels() {
  static const TMatKernels& k = ChooseKernels();
  return k;
}

}  // namespace nuv::detail
