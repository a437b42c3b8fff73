// Costs of the density estimate and the tests that have scipy peers; the peers are timed
// on the same data by bench/hyptest_peers.py.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "Nuv_statis/Nuv_statis.h"

namespace {

// The data of hyptest_peers.py: standard normal deviates from hashed uniforms
// (Box-Muller on ((i * 2654435761 + salt * 40503) mod 2^32) / 2^32).
double HashUnit(uint64_t i, uint64_t salt) {
  return static_cast<double>((i * 2654435761u + salt * 40503u) & 0xFFFFFFFFu) / 4294967296.0;
}

std::vector<double> Normals(int64_t n, uint64_t salt) {
  std::vector<double> v(static_cast<size_t>(n));
  for (int64_t i = 0; i < n; ++i) {
    const double u1 = 1 - HashUnit(static_cast<uint64_t>(i), salt);
    const double u2 = HashUnit(static_cast<uint64_t>(i), salt + 1);
    v[static_cast<size_t>(i)] = std::sqrt(-2 * std::log(u1)) * std::cos(6.283185307179586 * u2);
  }
  return v;
}

void Fill(nuv::TVector& v, const std::vector<double>& x) {
  v.Resize(static_cast<int32_t>(x.size()));
  for (size_t i = 0; i < x.size(); ++i) v.Data()[i] = x[i];
}

// 10^4 values on a grid of 10^4 steps over -4..4; width factor 5 on the mean spacing of a
// window of 0.5 gives widths near scipy's Scott bandwidth of the same data.
void BM_EstimateProbDensity(benchmark::State& state) {
  nuv::TVector data, dens;
  Fill(data, Normals(10000, 1));
  int32_t maxIdx = 0, minIdx = 0;
  for (auto _ : state)
    nuv::EstimateProbDensity(&data, &dens, -4.0, 4.0, 5.0, 0.5, 10000, maxIdx, minIdx, nullptr);
  state.counters["value[1]"] = dens.GetVal(5001);
}
BENCHMARK(BM_EstimateProbDensity)->Unit(benchmark::kMillisecond);

void BM_ShapiroWilkTest5000(benchmark::State& state) {
  nuv::TVector data, other;
  Fill(data, Normals(5000, 3));
  Fill(other, Normals(4999, 3));
  double W;
  for (auto _ : state) {
    // Alternating sizes make every call compute its coefficients anew.
    if (state.range(0) != 0) benchmark::DoNotOptimize(nuv::ShapiroWilkTest(&other, W));
    benchmark::DoNotOptimize(nuv::ShapiroWilkTest(&data, W));
  }
}
BENCHMARK(BM_ShapiroWilkTest5000)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_MannWhitney1e5(benchmark::State& state) {
  nuv::TVector a, b;
  Fill(a, Normals(100000, 5));
  std::vector<double> y = Normals(100000, 7);
  for (double& v : y) v += 0.01;
  Fill(b, y);
  double U, z;
  for (auto _ : state) benchmark::DoNotOptimize(nuv::PerformMannWhitneyUTest(&a, &b, U, z));
}
BENCHMARK(BM_MannWhitney1e5)->Unit(benchmark::kMillisecond);

}  // namespace
