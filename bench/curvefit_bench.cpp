// Curve fitter: entering pairs, the rank correlations and a polynomial fit. The peers
// (scipy.stats.kendalltau, scipy.stats.spearmanr, numpy.polyfit) are timed on the same
// data by curvefit_peers.py.
#include <benchmark/benchmark.h>

#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "curvefit_data.h"

using namespace nuv;
using namespace nuv_bench;

namespace {

// Lets the benchmark drop the cached Kendall counts between runs.
class TBenchFit : public TCurveFit {
 public:
  void ForgetCounts() { FKendallValid = false; }
};

template <class FX, class FY>
void Fill(TCurveFit& f, int n, FX fx, FY fy) {
  f.Init();
  for (int i = 0; i < n; ++i) f.EnterStatValue(fx(i), fy(i));
}

// Positive pairs, so that every logarithmic sum is formed. Range 1: 1 re-fills a fitter
// that kept its capacity after Init, 0 a new fitter that grows as the pairs come.
void BM_EnterStatValue(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const bool keep = state.range(1) != 0;
  std::vector<double> x(n), y(n);
  for (int i = 0; i < n; ++i) {
    x[i] = SmoothX(i) + 0.5;
    y[i] = SmoothY(i) + 0.5;
  }
  TCurveFit kept;
  for (int i = 0; i < n; ++i) kept.EnterStatValue(x[i], y[i]);
  for (auto _ : state) {
    TCurveFit fresh;
    TCurveFit& f = keep ? kept : fresh;
    f.Init();
    for (int i = 0; i < n; ++i) f.EnterStatValue(x[i], y[i]);
    benchmark::DoNotOptimize(f.GetMeanX());
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_EnterStatValue)->Args({10000000, 1})->Args({10000000, 0})->Unit(benchmark::kMillisecond);

void BM_KendallsTau(benchmark::State& state) {
  TBenchFit f;
  Fill(f, static_cast<int>(state.range(0)), TiedX, TiedY);
  double p;
  for (auto _ : state) {
    f.ForgetCounts();
    benchmark::DoNotOptimize(f.KendallsTau(p));
  }
}
BENCHMARK(BM_KendallsTau)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_GetSpearman(benchmark::State& state) {
  TCurveFit f;
  Fill(f, static_cast<int>(state.range(0)), SmoothX, SmoothY);
  for (auto _ : state) benchmark::DoNotOptimize(f.GetSpearman());
}
BENCHMARK(BM_GetSpearman)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_CalcPolyFit(benchmark::State& state) {
  TCurveFit f;
  Fill(f, static_cast<int>(state.range(0)), PolyX, PolyY);
  std::vector<double> k;
  double q;
  bool ns;
  for (auto _ : state) benchmark::DoNotOptimize(f.CalcPolyFit(6, k, q, ns));
}
BENCHMARK(BM_CalcPolyFit)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
