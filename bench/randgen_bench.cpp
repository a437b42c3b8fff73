// Cost of one TRandGen draw against two ways of drawing normal deviates: the
// standard library's normal_distribution and a plain inverse-CDF lookup in a
// table of the same 500 bins. And the bookkeeping of TCrossValidator around
// handlers that do nothing.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "Nuv_statis/Nuv_statis.h"

namespace {

constexpr int32_t kBins = 500;
constexpr double kLow = -4, kHigh = 4;

// The normal shape on -4..4 (acceptance about 0.31, so about 3.2 attempts per draw).
void BM_RandGen_Normal500(benchmark::State& state) {
  nuv::TRandGen g;
  g.SetLowBorder(kLow);
  g.SetHighBorder(kHigh);
  g.SetResolution(kBins);
  g.NormalDistri(0, 1);
  nuv::SetRandSeed(1);
  for (auto _ : state) benchmark::DoNotOptimize(g.GetRandNum());
}
BENCHMARK(BM_RandGen_Normal500);

// All ones: every attempt but those in the last bin is accepted, so this is the
// cost of one attempt.
void BM_RandGen_Uniform500(benchmark::State& state) {
  nuv::TRandGen g;
  g.SetLowBorder(kLow);
  g.SetHighBorder(kHigh);
  nuv::SetRandSeed(1);
  for (auto _ : state) benchmark::DoNotOptimize(g.GetRandNum());
}
BENCHMARK(BM_RandGen_Uniform500);

void BM_StdNormalDistribution(benchmark::State& state) {
  std::mt19937_64 engine(1);
  std::normal_distribution<double> dist(0.0, 1.0);
  for (auto _ : state) benchmark::DoNotOptimize(dist(engine));
}
BENCHMARK(BM_StdNormalDistribution);

// Inverse CDF of the same table, taken as piecewise constant: a binary search in
// the cumulative sums with the library's uniform generator, then a position
// inside the bin.
void BM_InverseCdfTable(benchmark::State& state) {
  std::vector<double> cdf(kBins + 1, 0.0);
  const double w = (kHigh - kLow) / kBins;
  for (int32_t i = 1; i <= kBins; ++i) {
    const double x = kLow + (i - 1) * w;
    cdf[static_cast<size_t>(i)] = cdf[static_cast<size_t>(i - 1)] + std::exp(-0.5 * x * x);
  }
  for (double& c : cdf) c /= cdf.back();
  nuv::SetRandSeed(1);
  for (auto _ : state) {
    const double u = nuv::Random();
    const auto k = static_cast<size_t>(std::upper_bound(cdf.begin() + 1, cdf.end(), u) - cdf.begin());
    const size_t bin = std::min(k, cdf.size() - 1);
    const double f = (u - cdf[bin - 1]) / (cdf[bin] - cdf[bin - 1]);
    benchmark::DoNotOptimize(kLow + (static_cast<double>(bin - 1) + f) * w);
  }
}
BENCHMARK(BM_InverseCdfTable);

// A whole run over N objects in rounds of 10 with handlers that do nothing.
void BM_CrossValidatorExecute(benchmark::State& state) {
  const auto n = static_cast<int32_t>(state.range(0));
  nuv::TMatrix x, y;
  x.Resize(4, n);
  y.Resize(1, n);
  x.FillRandomUniform(0, 1);
  y.FillRandomUniform(0, 1);
  nuv::TCrossValidator cv;
  cv.SetXMat(&x);
  cv.SetYMat(&y);
  cv.SetTestSize(10);
  cv.SetOnModelCreateRequest([](nuv::TObject*, int32_t, const std::vector<int32_t>&, bool& ok) { ok = true; });
  cv.SetOnModelApplyRequest([](nuv::TObject*, int32_t, const std::vector<double>& p, std::vector<double>& r) {
    r[0] = p[0];
  });
  for (auto _ : state) benchmark::DoNotOptimize(cv.Execute());
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_CrossValidatorExecute)->Arg(1000)->Arg(10000);

}  // namespace
