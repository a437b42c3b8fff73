// TIntMatrix against its references in the same run: sparse filling in list
// order against appending to a std::vector and in random order against a
// std::map keyed by (column, row); dense statistics, sorting and products
// against the TMatrix operations on the same sizes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"

namespace {

constexpr int32_t kAppend = 1000000;
constexpr int32_t kRandom = 100000;
constexpr int32_t kSide = 2000;
constexpr int32_t kSortRows = 100000;
constexpr int32_t kSortCols = 20;
constexpr int32_t kProd = 400;

std::vector<std::pair<int32_t, int32_t>> RandomPositions() {
  std::mt19937 gen(7);
  std::uniform_int_distribution<int32_t> d(1, 1000000);
  std::vector<std::pair<int32_t, int32_t>> p(kRandom);
  for (auto& x : p) x = {d(gen), d(gen)};
  return p;
}

void BM_SparseAppendInOrder(benchmark::State& s) {
  for (auto _ : s) {
    std::unique_ptr<nuv::TIntMatrix> m(nuv::TIntMatrix::CreateSparse(nullptr, 1000));
    for (int32_t i = 0; i < kAppend; ++i) m->SetVal(i / 1000 + 1, i % 1000 + 1, i);
    benchmark::DoNotOptimize(m->SparseNumElem());
  }
}
BENCHMARK(BM_SparseAppendInOrder)->Unit(benchmark::kMillisecond);

void BM_VectorPushBack(benchmark::State& s) {
  for (auto _ : s) {
    std::vector<nuv::TSpMatElemInt> v;
    for (int32_t i = 0; i < kAppend; ++i) v.push_back({i / 1000 + 1, i % 1000 + 1, i});
    benchmark::DoNotOptimize(v.data());
  }
}
BENCHMARK(BM_VectorPushBack)->Unit(benchmark::kMillisecond);

void BM_SparseRandomOrder(benchmark::State& s) {
  const auto pos = RandomPositions();
  for (auto _ : s) {
    std::unique_ptr<nuv::TIntMatrix> m(nuv::TIntMatrix::CreateSparse(nullptr, 1000));
    for (size_t i = 0; i < pos.size(); ++i)
      m->SetVal(pos[i].first, pos[i].second, static_cast<int32_t>(i));
    benchmark::DoNotOptimize(m->SparseNumElem());
  }
}
BENCHMARK(BM_SparseRandomOrder)->Unit(benchmark::kMillisecond);

void BM_MapRandomOrder(benchmark::State& s) {
  const auto pos = RandomPositions();
  for (auto _ : s) {
    std::map<std::pair<int32_t, int32_t>, int32_t> m;
    for (size_t i = 0; i < pos.size(); ++i) m[pos[i]] = static_cast<int32_t>(i);
    benchmark::DoNotOptimize(m.size());
  }
}
BENCHMARK(BM_MapRandomOrder)->Unit(benchmark::kMillisecond);

struct Fixture {
  nuv::TIntMatrix im, isort, ia, ib, ires;
  nuv::TMatrix dm, dsort, da, db, dres;
  Fixture() {
    std::mt19937 gen(1);
    std::uniform_int_distribution<int32_t> d(-1000, 1000);
    auto fill = [&](nuv::TIntMatrix& i, nuv::TMatrix& m, int32_t nc, int32_t nr) {
      i.Resize(nc, nr);
      m.Resize(nc, nr);
      for (int32_t c = 1; c <= nc; ++c)
        for (int32_t r = 1; r <= nr; ++r) {
          const int32_t v = d(gen);
          i.ColData(c)[r - 1] = v;
          m.ColData(c)[r - 1] = v;
        }
    };
    fill(im, dm, kSide, kSide);
    fill(isort, dsort, kSortCols, kSortRows);
    fill(ia, da, kProd, kProd);
    fill(ib, db, kProd, kProd);
  }
};

Fixture& Data() {
  static Fixture f;
  return f;
}

template <class M>
M& Big();
template <>
nuv::TIntMatrix& Big() { return Data().im; }
template <>
nuv::TMatrix& Big() { return Data().dm; }

template <class M>
void BM_Sum(benchmark::State& s) {
  for (auto _ : s) benchmark::DoNotOptimize(Big<M>().Sum(0, 0, 0, 0));
}
BENCHMARK_TEMPLATE(BM_Sum, nuv::TIntMatrix)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Sum, nuv::TMatrix)->Unit(benchmark::kMillisecond);

template <class M>
void BM_MinMax(benchmark::State& s) {
  for (auto _ : s) {
    decltype(Big<M>().GetVal(1, 1)) mn, mx;
    Big<M>().MinMax(0, 0, 0, 0, mn, mx);
    benchmark::DoNotOptimize(mn + mx);
  }
}
BENCHMARK_TEMPLATE(BM_MinMax, nuv::TIntMatrix)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_MinMax, nuv::TMatrix)->Unit(benchmark::kMillisecond);

template <class M>
void BM_MeanVar(benchmark::State& s) {
  for (auto _ : s) {
    double m, v;
    Big<M>().MeanVar(0, 0, 0, 0, m, v);
    benchmark::DoNotOptimize(m + v);
  }
}
BENCHMARK_TEMPLATE(BM_MeanVar, nuv::TIntMatrix)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_MeanVar, nuv::TMatrix)->Unit(benchmark::kMillisecond);

template <class M>
void BM_SkewKurt(benchmark::State& s) {
  for (auto _ : s) {
    double a, b;
    Big<M>().SkewKurt(0, 0, 0, 0, a, b);
    benchmark::DoNotOptimize(a + b);
  }
}
BENCHMARK_TEMPLATE(BM_SkewKurt, nuv::TIntMatrix)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_SkewKurt, nuv::TMatrix)->Unit(benchmark::kMillisecond);

template <class M>
void BM_Quartiles(benchmark::State& s) {
  for (auto _ : s) {
    double a, b, c;
    Big<M>().Quartiles(0, 0, 0, 0, a, b, c);
    benchmark::DoNotOptimize(a + b + c);
  }
}
BENCHMARK_TEMPLATE(BM_Quartiles, nuv::TIntMatrix)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Quartiles, nuv::TMatrix)->Unit(benchmark::kMillisecond);

template <class M>
void BM_CRCofData(benchmark::State& s) {
  for (auto _ : s) benchmark::DoNotOptimize(Big<M>().CRCofData());
}
BENCHMARK_TEMPLATE(BM_CRCofData, nuv::TIntMatrix)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_CRCofData, nuv::TMatrix)->Unit(benchmark::kMillisecond);

template <class M>
M& Sortable();
template <>
nuv::TIntMatrix& Sortable() { return Data().isort; }
template <>
nuv::TMatrix& Sortable() { return Data().dsort; }

template <class M>
void BM_SortRows(benchmark::State& s) {
  M work;
  for (auto _ : s) {
    s.PauseTiming();
    work.Clone(&Sortable<M>());
    s.ResumeTiming();
    work.SortRows(1, true, 0, 0, 0, 0);
  }
}
BENCHMARK_TEMPLATE(BM_SortRows, nuv::TIntMatrix)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_SortRows, nuv::TMatrix)->Unit(benchmark::kMillisecond);

void BM_MultiplyInt(benchmark::State& s) {
  for (auto _ : s) Data().ia.Multiply(&Data().ib, &Data().ires);
}
BENCHMARK(BM_MultiplyInt)->Unit(benchmark::kMillisecond);

void BM_MultiplyDouble(benchmark::State& s) {
  for (auto _ : s) Data().da.Multiply(&Data().db, &Data().dres);
}
BENCHMARK(BM_MultiplyDouble)->Unit(benchmark::kMillisecond);

}  // namespace
