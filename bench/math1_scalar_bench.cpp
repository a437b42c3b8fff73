// Scalar functions and complex arithmetic: primes near 2^31, fractions,
// factorials, deviates, table interpolation.
#include <benchmark/benchmark.h>

#include "Nuv_complex/Nuv_complex.h"
#include "Nuv_math1/scalar.h"

using namespace nuv;

namespace {

void BM_IsPrimeM31(benchmark::State& s) {
  int32_t n = 2147483647;
  for (auto _ : s) {
    benchmark::DoNotOptimize(n);
    benchmark::DoNotOptimize(IsPrime(n));
  }
}
void BM_FindPrimeFactorsM31(benchmark::State& s) {
  int32_t n = 2147483647;
  for (auto _ : s) {
    benchmark::DoNotOptimize(n);
    benchmark::DoNotOptimize(FindPrimeFactors(n));
  }
}
void BM_FindPrimeFactors2147483646(benchmark::State& s) {
  int32_t n = 2147483646;
  for (auto _ : s) {
    benchmark::DoNotOptimize(n);
    benchmark::DoNotOptimize(FindPrimeFactors(n));
  }
}
void BM_CancelFractionLarge(benchmark::State& s) {
  for (auto _ : s) {
    int32_t a = 2147483646, b = 1073741822;
    benchmark::DoNotOptimize(a);
    CancelFraction(a, b);
    benchmark::DoNotOptimize(b);
  }
}
void BM_Factorial1000(benchmark::State& s) {
  int32_t n = 1000;
  for (auto _ : s) {
    benchmark::DoNotOptimize(n);
    benchmark::DoNotOptimize(Factorial(n));
  }
}
void BM_GRandom(benchmark::State& s) {
  for (auto _ : s) benchmark::DoNotOptimize(GRandom());
}
void BM_LongRand(benchmark::State& s) {
  for (auto _ : s) benchmark::DoNotOptimize(LongRand(0));
}
void BM_InterpolTable(benchmark::State& s) {
  TDoubleArray t(1000);
  for (size_t i = 0; i < t.size(); ++i) t[i] = double(i) * 0.5;
  double x = 0.1234;
  for (auto _ : s) {
    x += 0.37;
    if (x > 10) x -= 10;
    benchmark::DoNotOptimize(InterpolTable(x, 0, 10, t));
  }
}
void BM_CpxDiv(benchmark::State& s) {
  TComplex a = Cpx(1, 2), b = Cpx(3, 4);
  for (auto _ : s) {
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(CpxDiv(a, b));
  }
}
void BM_CpxAbs(benchmark::State& s) {
  TComplex a = Cpx(1, 2);
  for (auto _ : s) {
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(CpxAbs(a));
  }
}

}  // namespace

BENCHMARK(BM_IsPrimeM31);
BENCHMARK(BM_FindPrimeFactorsM31);
BENCHMARK(BM_FindPrimeFactors2147483646);
BENCHMARK(BM_CancelFractionLarge);
BENCHMARK(BM_Factorial1000);
BENCHMARK(BM_GRandom);
BENCHMARK(BM_LongRand);
BENCHMARK(BM_InterpolTable);
BENCHMARK(BM_CpxDiv);
BENCHMARK(BM_CpxAbs);
