// Kernels in plain C++ for targets without x86 vector instructions: an 8 x 4
// tile of C held in a local array, short fixed loops that the compiler turns
// into the target's vectors (two doubles per NEON register on aarch64). The
// product and the sum are rounded apart, as in the SSE2 kernels, so both give
// the same bits.
#include <cstddef>
#include <cstdint>
#include <new>

#include "Nuv_matrix/matrix_kernels.h"

#define NUV_KERNEL_NS portable_kernels
#define NUV_KERNEL_FUSED 0
#include "Nuv_matrix/matrix_kernels_impl.h"
#undef NUV_KERNEL_NS
#undef NUV_KERNEL_FUSED

namespace nuv::detail::portable_kernels {
namespace {

/// Two lanes: the width of the narrowest vector units (SSE2, NEON).
struct TVec {
  struct T {
    double v[2];
  };
  static constexpr int L = 2;
  static T Load(const double* p) { return T{{p[0], p[1]}}; }
  static void Store(double* p, T a) {
    p[0] = a.v[0];
    p[1] = a.v[1];
  }
  static T Set1(double x) { return T{{x, x}}; }
  static T Zero() { return T{{0.0, 0.0}}; }
  static T Fma(T a, T b, T c) { return T{{c.v[0] + a.v[0] * b.v[0], c.v[1] + a.v[1] * b.v[1]}}; }
  static T Fnma(T a, T b, T c) { return T{{c.v[0] - a.v[0] * b.v[0], c.v[1] - a.v[1] * b.v[1]}}; }
  static T Div(T a, T b) { return T{{a.v[0] / b.v[0], a.v[1] / b.v[1]}}; }
};

struct TMicro {
  static constexpr int MR = 8;
  static constexpr int NR = 4;
  static constexpr int64_t KC = 256;
  static constexpr int64_t MC = 128;
  static constexpr int64_t NC = 2048;

  static void Run(int64_t kc, const double* ap, const double* bp, double* c, int64_t ldc,
                  bool load) {
    double acc[NR][MR];
    for (int j = 0; j < NR; ++j)
      for (int i = 0; i < MR; ++i) acc[j][i] = load ? c[j * ldc + i] : 0.0;
    for (int64_t p = 0; p < kc; ++p) {
      for (int j = 0; j < NR; ++j) {
        const double b = bp[j];
        for (int i = 0; i < MR; ++i) acc[j][i] = acc[j][i] + ap[i] * b;
      }
      ap += MR;
      bp += NR;
    }
    for (int j = 0; j < NR; ++j)
      for (int i = 0; i < MR; ++i) c[j * ldc + i] = acc[j][i];
  }
};

}  // namespace
}  // namespace nuv::detail::portable_kernels

namespace nuv::detail {

const TMatKernels& MatKernelsPortable() {
  static const TMatKernels k =
      portable_kernels::MakeKernels<portable_kernels::TMicro, portable_kernels::TVec, 6>("portable");
  return k;
}

}  // namespace nuv::detail
