// The matrix kernels side by side, whichever this CPU runs: the portable ones
// (the only ones built on targets other than x86, here compiled for x86-64's
// baseline) against SSE2, AVX2+FMA and AVX-512. The portable/SSE2 ratio tells
// how well the compiler vectorises the plain loops. Products report GFlop/s.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "../src/Nuv_matrix/matrix_kernels_avx2.cpp"
#include "../src/Nuv_matrix/matrix_kernels_avx512.cpp"
#include "../src/Nuv_matrix/matrix_kernels_portable.cpp"
#include "../src/Nuv_matrix/matrix_kernels_sse2.cpp"

namespace {

using nuv::detail::TMatKernels;

std::vector<double> RandomData(size_t n, uint32_t seed) {
  std::mt19937_64 gen(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::vector<double> d(n);
  for (double& x : d) x = u(gen);
  return d;
}

/// Kernel set by index: 0 portable, 1 SSE2, 2 AVX2, 3 AVX-512; null where not runnable.
const TMatKernels* Kernels(int64_t Which) {
  switch (Which) {
    case 0:
      return &nuv::detail::MatKernelsPortable();
    case 1:
      return nuv::detail::MatKernelsSse2();
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    case 2:
      return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")
                 ? nuv::detail::MatKernelsAvx2()
                 : nullptr;
    case 3:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
                     __builtin_cpu_supports("avx512dq")
                 ? nuv::detail::MatKernelsAvx512()
                 : nullptr;
#endif
    default:
      return nullptr;
  }
}

void BM_Gemm(benchmark::State& state) {
  const TMatKernels* k = Kernels(state.range(0));
  if (k == nullptr) {
    state.SkipWithError("not runnable here");
    return;
  }
  const int64_t n = state.range(1);
  const std::vector<double> a = RandomData(static_cast<size_t>(n * n), 1);
  const std::vector<double> b = RandomData(static_cast<size_t>(n * n), 2);
  std::vector<double> c(static_cast<size_t>(n * n));
  for (auto _ : state) {
    k->Gemm(n, n, n, a.data(), 1, n, b.data(), 1, n, c.data(), n, 0, 0);
    benchmark::DoNotOptimize(c.data());
  }
  state.SetLabel(k->Name);
  state.counters["GFlop/s"] = benchmark::Counter(2.0 * n * n * n, benchmark::Counter::kIsIterationInvariantRate,
                                                 benchmark::Counter::kIs1000);
}
BENCHMARK(BM_Gemm)->ArgsProduct({{0, 1, 2, 3}, {64, 300}})->Unit(benchmark::kMicrosecond);

void BM_Gemv(benchmark::State& state) {
  const TMatKernels* k = Kernels(state.range(0));
  if (k == nullptr) {
    state.SkipWithError("not runnable here");
    return;
  }
  const int64_t n = state.range(1);
  const std::vector<double> a = RandomData(static_cast<size_t>(n * n), 3);
  const std::vector<double> x = RandomData(static_cast<size_t>(n), 4);
  std::vector<double> y(static_cast<size_t>(n));
  for (auto _ : state) {
    k->Gemv(n, n, a.data(), n, x.data(), y.data());
    benchmark::DoNotOptimize(y.data());
  }
  state.SetLabel(k->Name);
  state.counters["GFlop/s"] = benchmark::Counter(2.0 * n * n, benchmark::Counter::kIsIterationInvariantRate,
                                                 benchmark::Counter::kIs1000);
}
BENCHMARK(BM_Gemv)->ArgsProduct({{0, 1, 2, 3}, {500}})->Unit(benchmark::kMicrosecond);

void BM_SubstForward(benchmark::State& state) {
  const TMatKernels* k = Kernels(state.range(0));
  if (k == nullptr) {
    state.SkipWithError("not runnable here");
    return;
  }
  const int64_t n = state.range(1);
  const int64_t w = k->SubstLanes;
  std::vector<double> t = RandomData(static_cast<size_t>(n * n), 5);
  for (double& v : t) v /= static_cast<double>(n);  // no growth towards overflow
  const std::vector<double> x0 = RandomData(static_cast<size_t>(n * w), 6);
  std::vector<double> x = x0;
  for (auto _ : state) {
    x = x0;
    k->SubstForward(n, t.data(), x.data(), 0);
    benchmark::DoNotOptimize(x.data());
  }
  state.SetLabel(k->Name);
  state.counters["GFlop/s"] = benchmark::Counter(static_cast<double>(n) * n * w,
                                                 benchmark::Counter::kIsIterationInvariantRate,
                                                 benchmark::Counter::kIs1000);
}
BENCHMARK(BM_SubstForward)->ArgsProduct({{0, 1, 2, 3}, {300}})->Unit(benchmark::kMicrosecond);

}  // namespace
