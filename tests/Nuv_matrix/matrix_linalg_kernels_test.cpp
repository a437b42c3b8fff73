// Every instruction-set path of the matrix kernels, whichever one this CPU
// would choose: the kernel sources are compiled into this test, and each path
// the CPU can run is checked bit for bit against the plain loops in the same
// rounding (fused multiply-add on AVX2 and AVX-512, separate rounding on SSE2
// and in the portable kernels). Holds on every target.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "../../src/Nuv_matrix/matrix_kernels_avx2.cpp"
#include "../../src/Nuv_matrix/matrix_kernels_avx512.cpp"
#include "../../src/Nuv_matrix/matrix_kernels_portable.cpp"
#include "../../src/Nuv_matrix/matrix_kernels_sse2.cpp"

using nuv::detail::TMatKernels;

namespace {

struct TPath {
  const TMatKernels* K;
  bool Fused;
};

std::vector<TPath> Paths() {
  std::vector<TPath> p{{&nuv::detail::MatKernelsPortable(), false}};
  if (nuv::detail::MatKernelsSse2() != nullptr) p.push_back({nuv::detail::MatKernelsSse2(), false});
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma") &&
      nuv::detail::MatKernelsAvx2() != nullptr)
    p.push_back({nuv::detail::MatKernelsAvx2(), true});
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
      __builtin_cpu_supports("avx512dq") && nuv::detail::MatKernelsAvx512() != nullptr)
    p.push_back({nuv::detail::MatKernelsAvx512(), true});
#endif
  return p;
}

std::vector<double> Random(size_t n, uint32_t seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::vector<double> v(n);
  for (double& x : v) x = u(gen);
  return v;
}

double MulAdd(bool fused, double a, double b, double c) {
  return fused ? std::fma(a, b, c) : c + a * b;
}

}  // namespace

TEST(MatrixKernels, GemmMatchesThePlainLoop) {
  struct TCase {
    int64_t m, n, k;
    bool ta, tb;
    int32_t flags;
    int64_t diag;
  };
  const TCase cases[] = {
      {150, 21, 300, false, false, 0, 0},
      {7, 130, 33, true, false, 0, 0},
      {61, 9, 520, false, true, nuv::detail::kGemmLoadC | nuv::detail::kGemmNegA, 0},
      {45, 45, 17, true, false, nuv::detail::kGemmUpper, 0},
      {80, 30, 5, true, false, nuv::detail::kGemmUpper, 40},
      {5, 3, 0, false, false, 0, 0},
  };
  for (const TPath& path : Paths()) {
    for (const TCase& t : cases) {
      const int64_t lda = (t.ta ? t.k : t.m) + 3;
      const int64_t ldb = (t.tb ? t.n : t.k) + 1;
      const int64_t ldc = t.m + 2;
      const std::vector<double> a = Random(static_cast<size_t>(lda * (t.ta ? t.m : t.k)), 1);
      const std::vector<double> b = Random(static_cast<size_t>(ldb * (t.tb ? t.k : t.n)), 2);
      std::vector<double> c = Random(static_cast<size_t>(ldc * t.n), 3);
      std::vector<double> want = c;
      const int64_t ars = t.ta ? lda : 1, acs = t.ta ? 1 : lda;
      const int64_t brs = t.tb ? ldb : 1, bcs = t.tb ? 1 : ldb;
      const double sign = (t.flags & nuv::detail::kGemmNegA) != 0 ? -1.0 : 1.0;
      for (int64_t j = 0; j < t.n; ++j)
        for (int64_t i = 0; i < t.m; ++i) {
          if ((t.flags & nuv::detail::kGemmUpper) != 0 && i > j + t.diag) continue;
          double s = (t.flags & nuv::detail::kGemmLoadC) != 0 ? want[j * ldc + i] : 0.0;
          for (int64_t p = 0; p < t.k; ++p)
            s = MulAdd(path.Fused, sign * a[i * ars + p * acs], b[p * brs + j * bcs], s);
          want[j * ldc + i] = s;
        }
      path.K->Gemm(t.m, t.n, t.k, a.data(), ars, acs, b.data(), brs, bcs, c.data(), ldc, t.flags,
                   t.diag);
      for (int64_t j = 0; j < t.n; ++j)
        for (int64_t i = 0; i < ldc; ++i) {
          if ((t.flags & nuv::detail::kGemmUpper) != 0 && i > j + t.diag && i < t.m) continue;
          ASSERT_EQ(c[j * ldc + i], want[j * ldc + i])
              << path.K->Name << " m=" << t.m << " n=" << t.n << " k=" << t.k << " at " << i
              << "," << j;
        }
    }
  }
}

TEST(MatrixKernels, VectorKernelsMatchThePlainLoops) {
  for (const TPath& path : Paths()) {
    const TMatKernels& K = *path.K;
    const int64_t m = 77, k = 41, lda = 80;
    const std::vector<double> a = Random(static_cast<size_t>(lda * k), 4);
    const std::vector<double> x = Random(static_cast<size_t>(m), 5);
    std::vector<double> y(static_cast<size_t>(m), 9.0), yt(static_cast<size_t>(k), 9.0);
    K.Gemv(m, k, a.data(), lda, x.data(), y.data());
    K.GemvT(m, k, a.data(), lda, x.data(), yt.data());
    for (int64_t i = 0; i < m; ++i) {
      double s = 0.0;
      for (int64_t p = 0; p < k; ++p) s = MulAdd(path.Fused, a[p * lda + i], x[p], s);
      ASSERT_EQ(y[i], s) << K.Name << " row " << i;
    }
    for (int64_t j = 0; j < k; ++j) {
      double s = 0.0;
      for (int64_t p = 0; p < m; ++p) s = MulAdd(path.Fused, a[j * lda + p], x[p], s);
      ASSERT_EQ(yt[j], s) << K.Name << " column " << j;
    }
    std::vector<double> z = Random(static_cast<size_t>(m), 6), zw = z;
    K.FmsAxpy(m, 0.375, x.data(), z.data());
    for (int64_t i = 0; i < m; ++i) ASSERT_EQ(z[i], MulAdd(path.Fused, -0.375, x[i], zw[i]));
  }
}

TEST(MatrixKernels, SubstitutionsMatchThePlainLoops) {
  for (const TPath& path : Paths()) {
    const TMatKernels& K = *path.K;
    const int64_t n = 37, W = K.SubstLanes, first = 5;
    std::vector<double> t = Random(static_cast<size_t>(n * n), 7);
    for (int64_t i = 0; i < n; ++i) t[i * n + i] += 4.0;
    const std::vector<double> x0 = Random(static_cast<size_t>(n * W), 8);
    std::vector<double> fwd = x0, bwd = x0, wf = x0, wb = x0;
    K.SubstForward(n, t.data(), fwd.data(), first);
    K.SubstBackward(n, t.data(), bwd.data(), 0);
    for (int64_t l = 0; l < W; ++l) {
      for (int64_t i = first; i < n; ++i) {
        double s = wf[i * W + l];
        for (int64_t j = first; j < i; ++j) s = MulAdd(path.Fused, -t[i * n + j], wf[j * W + l], s);
        wf[i * W + l] = s;
      }
      for (int64_t i = n - 1; i >= 0; --i) {
        double s = wb[i * W + l];
        for (int64_t j = i + 1; j < n; ++j) s = MulAdd(path.Fused, -t[i * n + j], wb[j * W + l], s);
        wb[i * W + l] = s / t[i * n + i];
      }
    }
    for (size_t q = 0; q < fwd.size(); ++q) {
      ASSERT_EQ(fwd[q], wf[q]) << K.Name << " forward " << q;
      ASSERT_EQ(bwd[q], wb[q]) << K.Name << " backward " << q;
    }
  }
}
