// Comb sort and selection against the standard library on the same data, and
// the per-term cost of compensated summation and polynomial evaluation.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "Nuv_math1/array_stats.h"

namespace {

std::vector<double> RandomDoubles(size_t n) {
  std::mt19937_64 gen(20261208);
  std::uniform_real_distribution<double> dist(-1000.0, 1000.0);
  std::vector<double> v(n);
  for (double& x : v) x = dist(gen);
  return v;
}

std::vector<int32_t> RandomInts(size_t n) {
  std::mt19937 gen(20261208);
  std::uniform_int_distribution<int32_t> dist(-1000000, 1000000);
  std::vector<int32_t> v(n);
  for (int32_t& x : v) x = dist(gen);
  return v;
}

template <class T, class Sort>
void RunSort(benchmark::State& state, const std::vector<T>& src, Sort sort) {
  std::vector<T> work(src.size());
  for (auto _ : state) {
    state.PauseTiming();
    work = src;
    state.ResumeTiming();
    sort(work);
    benchmark::DoNotOptimize(work.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(src.size()));
}

void BM_SortArray_Double(benchmark::State& state) {
  const auto src = RandomDoubles(static_cast<size_t>(state.range(0)));
  RunSort(state, src, [](std::vector<double>& v) { nuv::SortArray(v, true); });
}

void BM_StdSort_Double(benchmark::State& state) {
  const auto src = RandomDoubles(static_cast<size_t>(state.range(0)));
  RunSort(state, src, [](std::vector<double>& v) { std::sort(v.begin(), v.end()); });
}

void BM_SortArray_Int(benchmark::State& state) {
  const auto src = RandomInts(static_cast<size_t>(state.range(0)));
  RunSort(state, src, [](std::vector<int32_t>& v) { nuv::SortArray(v, true); });
}

void BM_StdSort_Int(benchmark::State& state) {
  const auto src = RandomInts(static_cast<size_t>(state.range(0)));
  RunSort(state, src, [](std::vector<int32_t>& v) { std::sort(v.begin(), v.end()); });
}

void BM_QuickSelect(benchmark::State& state) {
  const auto src = RandomDoubles(static_cast<size_t>(state.range(0)));
  const auto k = static_cast<int32_t>(src.size() / 3);
  RunSort(state, src, [k](std::vector<double>& v) {
    benchmark::DoNotOptimize(nuv::QuickSelect(v, k, 0, static_cast<int32_t>(v.size()) - 1));
  });
}

void BM_StdNthElement(benchmark::State& state) {
  const auto src = RandomDoubles(static_cast<size_t>(state.range(0)));
  const auto k = static_cast<std::ptrdiff_t>(src.size() / 3);
  RunSort(state, src, [k](std::vector<double>& v) {
    std::nth_element(v.begin(), v.begin() + k, v.end());
    benchmark::DoNotOptimize(v[static_cast<size_t>(k)]);
  });
}

void BM_MinMaxOfArray(benchmark::State& state) {
  const auto src = RandomDoubles(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    double mn, mx;
    int32_t imn, imx;
    nuv::MinMaxOfArray(src, 0, static_cast<int32_t>(src.size()) - 1, mn, mx, imn, imx);
    benchmark::DoNotOptimize(imn + imx);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The same answer by the plain strict-comparison scan.
void BM_MinMaxScan(benchmark::State& state) {
  const auto src = RandomDoubles(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    double mn = nuv::uc_MaxDouble, mx = -nuv::uc_MaxDouble;
    int32_t imn = 0, imx = 0;
    for (size_t i = 0; i < src.size(); ++i) {
      if (src[i] < mn) mn = src[i], imn = static_cast<int32_t>(i);
      if (src[i] > mx) mx = src[i], imx = static_cast<int32_t>(i);
    }
    benchmark::DoNotOptimize(imn + imx);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_KahanAdd(benchmark::State& state) {
  const auto src = RandomDoubles(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    nuv::TKahanSum ks;
    for (double x : src) ks.Add(x);
    benchmark::DoNotOptimize(ks.Sum);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_PlainSum(benchmark::State& state) {
  const auto src = RandomDoubles(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    double s = 0.0;
    for (double x : src) s += x;
    benchmark::DoNotOptimize(s);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Polynomial(benchmark::State& state) {
  std::vector<double> c(static_cast<size_t>(state.range(0)) + 1, 0.5);
  const auto order = static_cast<int32_t>(state.range(0));
  double x = 0.999;
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(nuv::Polynomial(c, order, x));
  }
  state.SetItemsProcessed(state.iterations() * (state.range(0) + 1));
}

}  // namespace

BENCHMARK(BM_SortArray_Double)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdSort_Double)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortArray_Int)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdSort_Int)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuickSelect)->Arg(10000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdNthElement)->Arg(10000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MinMaxOfArray)->Arg(100000);
BENCHMARK(BM_MinMaxScan)->Arg(100000);
BENCHMARK(BM_KahanAdd)->Arg(100000);
BENCHMARK(BM_PlainSum)->Arg(100000);
BENCHMARK(BM_Polynomial)->Arg(10)->Arg(1000);
