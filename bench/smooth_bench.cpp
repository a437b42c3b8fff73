// Smoothing and filters on 10^6 values, width 25: the Savitzky-Golay functions, the
// moving mean and median, and an 8-pole Chebyshev filter applied forward and backward.
// The scipy figures of the same tasks come from bench/scipy_smooth.py.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"

namespace {

constexpr int32_t kN = 1000000;
constexpr int32_t kWidth = 25;

struct Fixture {
  nuv::TVector src, dst;
  nuv::TMatrix cheb;
  double a0 = 0;
  Fixture() {
    std::mt19937_64 gen(7);
    std::uniform_real_distribution<double> u(-1000.0, 1000.0);
    src.Resize(kN);
    dst.Resize(kN);
    std::generate(src.Data(), src.Data() + kN, [&] { return u(gen); });
    nuv::CalcChebFilterCoeffs(8, false, 0.1, 0.5, a0, &cheb);
  }
};

Fixture& Data() {
  static Fixture f;
  return f;
}

using TSmoothFn = void (*)(const nuv::TVector*, int32_t, int32_t, nuv::TVector*, int32_t);

void RunSmooth(benchmark::State& s, TSmoothFn fn) {
  Fixture& d = Data();
  for (auto _ : s) fn(&d.src, 1, kN, &d.dst, kWidth);
  s.SetItemsProcessed(s.iterations() * kN);
}

void BM_PolynomialSmooth(benchmark::State& s) { RunSmooth(s, nuv::PolynomialSmooth); }
void BM_FirstDeriv(benchmark::State& s) { RunSmooth(s, nuv::FirstDeriv); }
void BM_SecondDeriv(benchmark::State& s) { RunSmooth(s, nuv::SecondDeriv); }
void BM_MovingAverageSmooth(benchmark::State& s) { RunSmooth(s, nuv::MovingAverageSmooth); }
void BM_MovingMedianSmooth(benchmark::State& s) { RunSmooth(s, nuv::MovingMedianSmooth); }

void BM_ChebychevFilter8(benchmark::State& s) {
  Fixture& d = Data();
  for (auto _ : s) nuv::ChebychevFilter(&d.src, 1, kN, &d.dst, d.a0, &d.cheb);
  s.SetItemsProcessed(s.iterations() * kN);
}

BENCHMARK(BM_PolynomialSmooth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstDeriv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SecondDeriv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MovingAverageSmooth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MovingMedianSmooth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChebychevFilter8)->Unit(benchmark::kMillisecond);

}  // namespace
