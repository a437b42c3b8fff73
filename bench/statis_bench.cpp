// Costs of the Nuv_statis distribution functions. Arguments cycle through a
// small table so that the branch predictor cannot learn one path.
#include <benchmark/benchmark.h>

#include <cmath>

#include "Nuv_statis/Nuv_statis.h"

namespace {

constexpr double kX[8] = {-3.1, -1.2, -0.4, 0.05, 0.7, 1.6, 2.4, 5.3};
constexpr double kP[8] = {1e-12, 0.003, 0.07, 0.31, 0.5002, 0.77, 0.96, 1 - 1e-9};

template <class F>
void Cycle(benchmark::State& state, const double (&args)[8], F f) {
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(f(args[i & 7]));
    ++i;
  }
}

void BM_nDistriIntegral(benchmark::State& s) { Cycle(s, kX, [](double x) { return nuv::nDistriIntegral(x); }); }
void BM_Erf(benchmark::State& s) { Cycle(s, kX, [](double x) { return nuv::Erf(x); }); }
void BM_ErfApprox(benchmark::State& s) { Cycle(s, kX, [](double x) { return nuv::ErfApprox(x); }); }
void BM_StdErfc(benchmark::State& s) { Cycle(s, kX, [](double x) { return std::erfc(x); }); }
void BM_LnGamma(benchmark::State& s) { Cycle(s, kX, [](double x) { return nuv::LnGamma(x + 6); }); }
void BM_nDistriQuantile(benchmark::State& s) { Cycle(s, kP, [](double p) { return nuv::nDistriQuantile(p); }); }

void BM_chi2DistriIntegral(benchmark::State& s) {
  const int32_t df = static_cast<int32_t>(s.range(0));
  Cycle(s, kX, [df](double x) { return nuv::chi2DistriIntegral(df * (1 + 0.1 * x), df); });
}
void BM_chi2DistriQuantile(benchmark::State& s) {
  const int32_t df = static_cast<int32_t>(s.range(0));
  Cycle(s, kP, [df](double p) { return nuv::chi2DistriQuantile(p, df); });
}
void BM_tDistriIntegral(benchmark::State& s) {
  const int32_t df = static_cast<int32_t>(s.range(0));
  Cycle(s, kX, [df](double x) { return nuv::tDistriIntegral(x, df); });
}
void BM_tDistriQuantile(benchmark::State& s) {
  const int32_t df = static_cast<int32_t>(s.range(0));
  Cycle(s, kP, [df](double p) { return nuv::tDistriQuantile(p, df); });
}
void BM_FDistriIntegral(benchmark::State& s) {
  const int32_t df = static_cast<int32_t>(s.range(0));
  Cycle(s, kX, [df](double x) { return nuv::FDistriIntegral(1 + 0.1 * x, df, df); });
}
void BM_FDistriQuantile(benchmark::State& s) {
  const int32_t df = static_cast<int32_t>(s.range(0));
  Cycle(s, kP, [df](double p) { return nuv::FDistriQuantile(p, df, df); });
}

// First call of a new size counts the distribution; the rest read the cache.
void BM_UDistriCount(benchmark::State& s) {
  const int32_t n = static_cast<int32_t>(s.range(0));
  int32_t flip = 0;
  for (auto _ : s) {
    benchmark::DoNotOptimize(nuv::UDistriIntegral(n * n / 3, n, n + (flip ^= 1)));
  }
}

}  // namespace

BENCHMARK(BM_nDistriIntegral);
BENCHMARK(BM_Erf);
BENCHMARK(BM_ErfApprox);
BENCHMARK(BM_StdErfc);
BENCHMARK(BM_LnGamma);
BENCHMARK(BM_nDistriQuantile);
BENCHMARK(BM_chi2DistriIntegral)->Arg(3)->Arg(100)->Arg(10000)->Arg(1000000);
BENCHMARK(BM_chi2DistriQuantile)->Arg(3)->Arg(100)->Arg(10000)->Arg(1000000);
BENCHMARK(BM_tDistriIntegral)->Arg(3)->Arg(100)->Arg(10000)->Arg(1000000);
BENCHMARK(BM_tDistriQuantile)->Arg(3)->Arg(100)->Arg(10000)->Arg(1000000);
BENCHMARK(BM_FDistriIntegral)->Arg(3)->Arg(100)->Arg(10000)->Arg(1000000);
BENCHMARK(BM_FDistriQuantile)->Arg(3)->Arg(100)->Arg(10000)->Arg(1000000);
BENCHMARK(BM_UDistriCount)->Arg(10)->Arg(30)->Arg(70);

// The exact Kolmogorov-Smirnov p-value multiplies matrices of order 2 n d + 1.
static void BM_KSPValue(benchmark::State& state) {
  const auto n = static_cast<int32_t>(state.range(0));
  const double d = 1.3 / std::sqrt(static_cast<double>(n));  // n d^2 = 1.69: the exact branch
  for (auto _ : state) benchmark::DoNotOptimize(nuv::KSPValue(n, d));
}
BENCHMARK(BM_KSPValue)->Arg(20)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
