// TWavelet1D (extended precision, periodic extension) against GSL's Daubechies-4 periodic
// wavelet transform (doubles) on 2^20 values, all levels: a forward transform, and a
// forward plus inverse pair.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "Nuv_wavelet/Nuv_wavelet.h"

#if defined(NUV_BENCH_GSL)
#include <gsl/gsl_wavelet.h>
#endif

namespace {

constexpr int32_t kN = 1 << 20;

std::vector<double> RandomSignal() {
  std::mt19937_64 gen(3);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::vector<double> d(kN);
  for (double& x : d) x = u(gen);
  return d;
}

void Load(nuv::TWavelet1D& w) {
  const std::vector<double> d = RandomSignal();
  w.SetNumData(kN);
  w.SetOrder(2);
  for (int32_t k = 0; k < kN; ++k) w.SetDataVal(k + 1, d[static_cast<size_t>(k)]);
}

void BM_WaveletTransform(benchmark::State& s) {
  nuv::TWavelet1D w;
  Load(w);
  w.Transform(20);  // the work array is allocated outside the timed loop
  w.InverseTransform(20);
  for (auto _ : s) {
    w.Transform(20);
    s.PauseTiming();
    w.InverseTransform(20);
    s.ResumeTiming();
  }
  s.SetItemsProcessed(s.iterations() * kN);
}

void BM_WaveletPair(benchmark::State& s) {
  nuv::TWavelet1D w;
  Load(w);
  for (auto _ : s) {
    w.Transform(20);
    w.InverseTransform(20);
  }
  s.SetItemsProcessed(s.iterations() * kN);
}

BENCHMARK(BM_WaveletTransform)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaveletPair)->Unit(benchmark::kMillisecond);

#if defined(NUV_BENCH_GSL)
struct TGslData {
  TGslData()
      : w(gsl_wavelet_alloc(gsl_wavelet_daubechies, 4)),
        work(gsl_wavelet_workspace_alloc(kN)),
        d(RandomSignal()) {}
  ~TGslData() {
    gsl_wavelet_free(w);
    gsl_wavelet_workspace_free(work);
  }
  TGslData(const TGslData&) = delete;
  TGslData& operator=(const TGslData&) = delete;
  gsl_wavelet* w;
  gsl_wavelet_workspace* work;
  std::vector<double> d;
};

void BM_GslDaub4Forward(benchmark::State& s) {
  TGslData g;
  for (auto _ : s) {
    gsl_wavelet_transform_forward(g.w, g.d.data(), 1, kN, g.work);
    s.PauseTiming();
    gsl_wavelet_transform_inverse(g.w, g.d.data(), 1, kN, g.work);
    s.ResumeTiming();
  }
  s.SetItemsProcessed(s.iterations() * kN);
}

void BM_GslDaub4Pair(benchmark::State& s) {
  TGslData g;
  for (auto _ : s) {
    gsl_wavelet_transform_forward(g.w, g.d.data(), 1, kN, g.work);
    gsl_wavelet_transform_inverse(g.w, g.d.data(), 1, kN, g.work);
  }
  s.SetItemsProcessed(s.iterations() * kN);
}

BENCHMARK(BM_GslDaub4Forward)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GslDaub4Pair)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
