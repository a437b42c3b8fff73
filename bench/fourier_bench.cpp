// TFastFourier against FFTW (planned with FFTW_ESTIMATE, single-threaded, in place) on
// 2^10, 2^16 and 2^20 complex samples: a forward transform, and a forward plus inverse
// pair (the pair keeps the magnitudes bounded over many iterations).
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "Nuv_fourier/Nuv_fourier.h"

#if defined(NUV_BENCH_FFTW)
#include <fftw3.h>
#endif

namespace {

std::vector<double> RandomSamples(size_t n) {
  std::mt19937_64 gen(11);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::vector<double> d(2 * n);
  for (double& x : d) x = u(gen);
  return d;
}

void Load(nuv::TFastFourier& f, const std::vector<double>& d) {
  const int32_t n = static_cast<int32_t>(d.size() / 2);
  f.SetNumData(n);
  for (int32_t k = 0; k < n; ++k) {
    f.SetRealVal(k + 1, d[2 * static_cast<size_t>(k)]);
    f.SetImagVal(k + 1, d[2 * static_cast<size_t>(k) + 1]);
  }
}

void BM_Transform(benchmark::State& s) {
  nuv::TFastFourier f;
  Load(f, RandomSamples(static_cast<size_t>(s.range(0))));
  f.Transform();  // tables built outside the timed loop
  f.InverseTransform();
  for (auto _ : s) {
    f.Transform();
    s.PauseTiming();
    f.InverseTransform();
    s.ResumeTiming();
  }
  s.SetItemsProcessed(s.iterations() * s.range(0));
}

void BM_TransformPair(benchmark::State& s) {
  nuv::TFastFourier f;
  Load(f, RandomSamples(static_cast<size_t>(s.range(0))));
  for (auto _ : s) {
    f.Transform();
    f.InverseTransform();
  }
  s.SetItemsProcessed(s.iterations() * s.range(0));
}

BENCHMARK(BM_Transform)->Arg(1 << 10)->Arg(1 << 16)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TransformPair)
    ->Arg(1 << 10)
    ->Arg(1 << 16)
    ->Arg(1 << 20)
    ->Unit(benchmark::kMicrosecond);

#if defined(NUV_BENCH_FFTW)
struct TFftwData {
  explicit TFftwData(size_t n)
      : a(static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * n))),
        fwd(fftw_plan_dft_1d(static_cast<int>(n), a, a, FFTW_BACKWARD, FFTW_ESTIMATE)),
        inv(fftw_plan_dft_1d(static_cast<int>(n), a, a, FFTW_FORWARD, FFTW_ESTIMATE)),
        n(n) {
    const std::vector<double> d = RandomSamples(n);
    for (size_t k = 0; k < n; ++k) a[k][0] = d[2 * k], a[k][1] = d[2 * k + 1];
  }
  ~TFftwData() {
    fftw_destroy_plan(fwd);
    fftw_destroy_plan(inv);
    fftw_free(a);
  }
  TFftwData(const TFftwData&) = delete;
  TFftwData& operator=(const TFftwData&) = delete;
  fftw_complex* a;
  fftw_plan fwd, inv;
  size_t n;
};

// FFTW's FFTW_BACKWARD has the positive exponent, as TFastFourier::Transform.
void BM_FftwEstimate(benchmark::State& s) {
  TFftwData d(static_cast<size_t>(s.range(0)));
  for (auto _ : s) {
    fftw_execute(d.fwd);
    s.PauseTiming();
    fftw_execute(d.inv);
    for (size_t k = 0; k < d.n; ++k) d.a[k][0] /= d.n, d.a[k][1] /= d.n;
    s.ResumeTiming();
  }
  s.SetItemsProcessed(s.iterations() * s.range(0));
}

void BM_FftwEstimatePair(benchmark::State& s) {
  TFftwData d(static_cast<size_t>(s.range(0)));
  const double scale = 1.0 / static_cast<double>(d.n);
  for (auto _ : s) {
    fftw_execute(d.fwd);
    fftw_execute(d.inv);
    for (size_t k = 0; k < d.n; ++k) d.a[k][0] *= scale, d.a[k][1] *= scale;
  }
  s.SetItemsProcessed(s.iterations() * s.range(0));
}

BENCHMARK(BM_FftwEstimate)->Arg(1 << 10)->Arg(1 << 16)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FftwEstimatePair)
    ->Arg(1 << 10)
    ->Arg(1 << 16)
    ->Arg(1 << 20)
    ->Unit(benchmark::kMicrosecond);
#endif

}  // namespace
