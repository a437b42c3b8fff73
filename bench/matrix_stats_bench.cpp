// Matrix statistics, sorting and distances against plain loops in the same
// run: block statistics against a four-accumulator read of the same memory,
// Percentile against one nth_element on a copy, SortRows against std::sort of
// the key column alone, CalcDistMat against a double loop over the upper
// triangle.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"

namespace {

constexpr int32_t kSide = 3000;
constexpr int32_t kSortRows = 100000;
constexpr int32_t kSortCols = 20;
constexpr int32_t kObjects = 2000;
constexpr int32_t kAttrs = 10;

std::vector<double> RandomData(size_t n, uint32_t seed) {
  std::mt19937_64 gen(seed);
  std::uniform_real_distribution<double> u(-1000.0, 1000.0);
  std::vector<double> d(n);
  for (double& x : d) x = u(gen);
  return d;
}

// Fills a matrix column after column from d.
void Load(nuv::TMatrix& m, int32_t nc, int32_t nr, const std::vector<double>& d) {
  m.Resize(nc, nr);
  for (int32_t c = 1; c <= nc; ++c)
    std::copy(d.begin() + static_cast<ptrdiff_t>(c - 1) * nr,
              d.begin() + static_cast<ptrdiff_t>(c) * nr, m.ColData(c));
}

struct Fixture {
  std::vector<double> big = RandomData(static_cast<size_t>(kSide) * kSide, 1);
  std::vector<double> sortData = RandomData(static_cast<size_t>(kSortRows) * kSortCols, 2);
  std::vector<double> objects = RandomData(static_cast<size_t>(kObjects) * kAttrs, 3);
  nuv::TMatrix square, rows, obj, dist;
  Fixture() {
    Load(square, kSide, kSide, big);
    Load(rows, kSortCols, kSortRows, sortData);
    Load(obj, kAttrs, kObjects, objects);
    dist.Resize(kObjects, kObjects);
  }
};

Fixture& Data() {
  static Fixture f;
  return f;
}

void BM_PlainRead(benchmark::State& s) {
  const std::vector<double>& d = Data().big;
  for (auto _ : s) {
    double a0 = 0, a1 = 0, a2 = 0, a3 = 0;
    for (size_t i = 0; i + 4 <= d.size(); i += 4) {
      a0 += d[i];
      a1 += d[i + 1];
      a2 += d[i + 2];
      a3 += d[i + 3];
    }
    benchmark::DoNotOptimize((a0 + a1) + (a2 + a3));
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * static_cast<int64_t>(d.size() * 8));
}

void BM_Sum(benchmark::State& s) {
  Fixture& d = Data();
  for (auto _ : s) benchmark::DoNotOptimize(d.square.Sum(0, 0, 0, 0));
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * kSide * kSide * 8);
}

void BM_MeanVar(benchmark::State& s) {
  Fixture& d = Data();
  double mean, var;
  for (auto _ : s) {
    d.square.MeanVar(0, 0, 0, 0, mean, var);
    benchmark::DoNotOptimize(mean + var);
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * kSide * kSide * 8);
}

void BM_MinMax(benchmark::State& s) {
  Fixture& d = Data();
  double mn, mx;
  for (auto _ : s) {
    d.square.MinMax(0, 0, 0, 0, mn, mx);
    benchmark::DoNotOptimize(mn + mx);
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * kSide * kSide * 8);
}

// A block that is not whole columns: one span per column.
void BM_SumInnerBlock(benchmark::State& s) {
  Fixture& d = Data();
  for (auto _ : s) benchmark::DoNotOptimize(d.square.Sum(1, 2, kSide, kSide - 1));
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * kSide * (kSide - 2) * 8);
}

// The copy is fresh memory each time, as Percentile's work copy is.
void BM_NthElementOnCopy(benchmark::State& s) {
  const std::vector<double>& d = Data().big;
  for (auto _ : s) {
    std::vector<double> w(d.begin(), d.end());
    const auto k = static_cast<ptrdiff_t>(std::nearbyint(0.37 * static_cast<double>(w.size())));
    std::nth_element(w.begin(), w.begin() + k, w.end());
    benchmark::DoNotOptimize(w[static_cast<size_t>(k)]);
  }
}

// The same into a buffer kept between calls (no page faults on the copy).
void BM_NthElementOnKeptBuffer(benchmark::State& s) {
  const std::vector<double>& d = Data().big;
  std::vector<double> w;
  for (auto _ : s) {
    w.assign(d.begin(), d.end());
    const auto k = static_cast<ptrdiff_t>(std::nearbyint(0.37 * static_cast<double>(w.size())));
    std::nth_element(w.begin(), w.begin() + k, w.end());
    benchmark::DoNotOptimize(w[static_cast<size_t>(k)]);
  }
}

void BM_Percentile(benchmark::State& s) {
  Fixture& d = Data();
  for (auto _ : s) benchmark::DoNotOptimize(d.square.Percentile(37, 0, 0, 0, 0));
}

void BM_StdSortKeyColumn(benchmark::State& s) {
  Fixture& d = Data();
  std::vector<double> key(kSortRows);
  for (auto _ : s) {
    s.PauseTiming();
    std::copy(d.sortData.begin(), d.sortData.begin() + kSortRows, key.begin());
    s.ResumeTiming();
    std::sort(key.begin(), key.end());
    benchmark::DoNotOptimize(key[0]);
  }
}

void BM_SortRows(benchmark::State& s) {
  Fixture& d = Data();
  for (auto _ : s) {
    s.PauseTiming();
    Load(d.rows, kSortCols, kSortRows, d.sortData);
    s.ResumeTiming();
    d.rows.SortRows(1, true, 0, 0, 0, 0);
  }
}

void BM_PlainDistanceLoop(benchmark::State& s) {
  Fixture& d = Data();
  // Row-major objects, as a plain loop would hold them.
  std::vector<double> x(static_cast<size_t>(kObjects) * kAttrs);
  for (int32_t i = 0; i < kObjects; ++i)
    for (int32_t k = 0; k < kAttrs; ++k)
      x[static_cast<size_t>(i) * kAttrs + k] = d.objects[static_cast<size_t>(k) * kObjects + i];
  std::vector<double> out(static_cast<size_t>(kObjects) * kObjects);
  for (auto _ : s) {
    for (int32_t i = 0; i < kObjects; ++i) {
      const double* a = &x[static_cast<size_t>(i) * kAttrs];
      for (int32_t j = i + 1; j < kObjects; ++j) {
        const double* b = &x[static_cast<size_t>(j) * kAttrs];
        double acc = 0;
        for (int32_t k = 0; k < kAttrs; ++k) acc += (a[k] - b[k]) * (a[k] - b[k]);
        out[static_cast<size_t>(i) * kObjects + j] = std::sqrt(acc);
      }
    }
    benchmark::DoNotOptimize(out.data());
  }
}

void BM_CalcDistMat(benchmark::State& s) {
  Fixture& d = Data();
  for (auto _ : s) benchmark::DoNotOptimize(d.obj.CalcDistMat(nuv::dmEuclid, &d.dist));
}

}  // namespace

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sum)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeanVar)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MinMax)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SumInnerBlock)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NthElementOnCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NthElementOnKeptBuffer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Percentile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdSortKeyColumn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainDistanceLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalcDistMat)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
