// Clustering and neighbours: AgglomClustering (distances included) by every
// merge rule, k-means from the first k rows, and the nearest-neighbour search
// against a plain distance loop over the same rows. The Python peers
// (fastcluster, scipy, scikit-learn) time the same data in cluster_peers.py.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "cluster_data.h"

using namespace nuv;

namespace {

void Fill(TMatrix& m, int cols, int rows, double (*f)(uint64_t, uint64_t)) {
  m.Resize(cols, rows);
  for (int c = 0; c < cols; ++c) {
    double* col = m.ColData(c + 1);
    for (int r = 0; r < rows; ++r) col[r] = f(static_cast<uint64_t>(r), static_cast<uint64_t>(c));
  }
}

void BM_AgglomClustering(benchmark::State& state) {
  const auto method = static_cast<TClusterMethod>(state.range(0));
  const int n = static_cast<int>(state.range(1));
  TMatrix data;
  Fill(data, 5, n, nuv_bench::UniformX);
  // Ward's method works on squared Euclidean distances.
  const TDistMode mode = method == cmWard ? dmEuclidSqr : dmEuclid;
  TIntMatrix dendrogram;
  TVector merge, xpos;
  for (auto _ : state)
    benchmark::DoNotOptimize(AgglomClustering(nullptr, &data, mode, method, 0.625, &dendrogram,
                                              &merge, &xpos, nullptr, nullptr));
  state.SetLabel(ClusterMethodID[method]);
}
BENCHMARK(BM_AgglomClustering)
    ->ArgsProduct({{cmSingleLink, cmCompleteLink, cmWard, cmAvgLink, cmFlexLink, cmUpgma}, {2000}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AgglomClustering)
    ->ArgsProduct({{cmSingleLink, cmCompleteLink, cmWard, cmUpgma}, {10000}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_kMeansClustering(benchmark::State& state) {
  const int n = 100000, k = 8;
  TMatrix data, centers;
  Fill(data, 10, n, nuv_bench::GroupedX);
  TIntVector assign, sizes;
  double passes = 0;
  for (auto _ : state) {
    assign.Fill(0);
    const double before = ProcStat;
    benchmark::DoNotOptimize(kMeansClustering(&data, 0, 0, k, 0, &centers, &assign, &sizes));
    passes = ProcStat - before;
  }
  state.counters["passes"] = passes;
}
BENCHMARK(BM_kMeansClustering)->Unit(benchmark::kMillisecond);

constexpr int kNnRows = 1000000, kNnCols = 10;

void BM_FindNearestNeighbors(benchmark::State& state) {
  TMatrix data, list;
  Fill(data, kNnCols, kNnRows, nuv_bench::UniformX);
  TVector query;
  query.Resize(kNnCols);
  query.Fill(0.5);
  list.Resize(2, 10);
  for (auto _ : state) {
    FindNearestNeighbors(10, &data, 1, kNnRows, &query, &list, nullptr);
    benchmark::DoNotOptimize(list.GetVal(2, 1));
  }
}
BENCHMARK(BM_FindNearestNeighbors)->Unit(benchmark::kMillisecond);

// The peer: each row's Euclidean distance to the query, row by row, into an array.
void BM_PlainDistanceLoop(benchmark::State& state) {
  TMatrix data;
  Fill(data, kNnCols, kNnRows, nuv_bench::UniformX);
  std::vector<double> q(kNnCols, 0.5), dist(kNnRows);
  const double* base = data.ColData(1);
  const size_t stride = static_cast<size_t>(data.ColStride());
  for (auto _ : state) {
    for (int r = 0; r < kNnRows; ++r) {
      double s = 0;
      for (int c = 0; c < kNnCols; ++c) {
        const double t = base[c * stride + r] - q[c];
        s += t * t;
      }
      dist[r] = std::sqrt(s);
    }
    benchmark::DoNotOptimize(dist.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PlainDistanceLoop)->Unit(benchmark::kMillisecond);

}  // namespace
