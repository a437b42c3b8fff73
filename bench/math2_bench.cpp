// Multivariate unit: the cyclic Jacobi against the same method written plainly
// and against LAPACK dsyev; the covariance types against centring plus dsyrk;
// the pseudo-inverse and the SVD least-squares solver against dgesvd.
#include <benchmark/benchmark.h>

#include <vector>

#include "plain_jacobi.h"
#include "random_symmetric.h"
#include "Nuv_math2/Nuv_math2.h"

#include "peer_lapack.h"

using namespace nuv;

namespace {

std::vector<double> RandomSymmetric(int n) { return nuv_bench::RandomSymmetric(n, 12345); }

void BM_CalcEigVec(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<double> a = RandomSymmetric(n);
  TMatrix src, m;
  src.Resize(n, n);
  for (int c = 0; c < n; ++c)
    for (int r = 0; r < n; ++r) src.ColData(c + 1)[r] = a[r * n + c];
  m.Resize(n, n);
  for (auto _ : state) {
    std::copy(src.ColData(1), src.ColData(1) + static_cast<size_t>(n) * n, m.ColData(1));
    benchmark::DoNotOptimize(CalcEigVec(&m));
  }
}
BENCHMARK(BM_CalcEigVec)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);

void BM_PlainJacobi(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<double> a = RandomSymmetric(n);
  std::vector<double> w, d, v;
  for (auto _ : state) {
    w = a;
    benchmark::DoNotOptimize(nuv_test::PlainJacobi(w, n, d, v));
  }
}
BENCHMARK(BM_PlainJacobi)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);

constexpr int kCovRows = 10000, kCovCols = 20;

void FillCovData(TMatrix& m) {
  SetRandSeed(99);
  m.Resize(kCovCols, kCovRows);
  m.FillRandomUniform(-3, 5);
}

void BM_CalcCovar(benchmark::State& state) {
  TMatrix data, cov;
  FillCovData(data);
  cov.Resize(kCovCols, kCovCols);
  const int32_t type = static_cast<int32_t>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(CalcCovar(&data, &cov, 0, 0, 0, 0, type));
}
BENCHMARK(BM_CalcCovar)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

constexpr int kSvdRows = 300, kSvdCols = 200;

void FillSvdData(TMatrix& m) {
  SetRandSeed(2718);
  m.Resize(kSvdCols, kSvdRows);
  m.FillRandomUniform(-1, 1);
}

void BM_PseudoInverse(benchmark::State& state) {
  TMatrix a;
  FillSvdData(a);
  TMatrix* p = new TMatrix;
  for (auto _ : state) benchmark::DoNotOptimize(PseudoInverse(&a, p, 0));
  delete p;
}
BENCHMARK(BM_PseudoInverse)->Unit(benchmark::kMillisecond);

void BM_SingValEquSolve(benchmark::State& state) {
  TMatrix a;
  FillSvdData(a);
  TVector b, x, se;
  b.Resize(kSvdRows);
  b.FillRandomUniform(-1, 1);
  bool near = false;
  for (auto _ : state) benchmark::DoNotOptimize(SingValEquSolve(&a, &b, &x, &se, near));
}
BENCHMARK(BM_SingValEquSolve)->Unit(benchmark::kMillisecond);

#if defined(NUV_BENCH_LAPACK)
void BM_dgesvd(benchmark::State& state) {
  TMatrix a;
  FillSvdData(a);
  const std::vector<double> src(a.ColData(1), a.ColData(1) + kSvdRows * kSvdCols);
  nuv_bench::SingleThreadedPeers();
  const int m = kSvdRows, n = kSvdCols;
  std::vector<double> work, s(n), u(static_cast<size_t>(m) * n), vt(static_cast<size_t>(n) * n);
  int lwork = -1, info = 0;
  double query = 0;
  dgesvd_("S", "A", &m, &n, work.data(), &m, s.data(), u.data(), &m, vt.data(), &n, &query,
          &lwork, &info);
  lwork = static_cast<int>(query);
  std::vector<double> scratch(static_cast<size_t>(lwork));
  for (auto _ : state) {
    work = src;
    dgesvd_("S", "A", &m, &n, work.data(), &m, s.data(), u.data(), &m, vt.data(), &n,
            scratch.data(), &lwork, &info);
    benchmark::DoNotOptimize(info);
  }
}
BENCHMARK(BM_dgesvd)->Unit(benchmark::kMillisecond);

void BM_dsyev(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<double> a = RandomSymmetric(n);
  nuv_bench::SingleThreadedPeers();
  std::vector<double> w(n), work = a;
  int lwork = -1, info = 0;
  double query = 0;
  dsyev_("V", "U", &n, work.data(), &n, w.data(), &query, &lwork, &info);
  lwork = static_cast<int>(query);
  std::vector<double> scratch(static_cast<size_t>(lwork));
  for (auto _ : state) {
    work = a;
    dsyev_("V", "U", &n, work.data(), &n, w.data(), scratch.data(), &lwork, &info);
    benchmark::DoNotOptimize(info);
  }
}
BENCHMARK(BM_dsyev)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);

void BM_CenterDsyrk(benchmark::State& state) {
  TMatrix data;
  FillCovData(data);
  nuv_bench::SingleThreadedPeers();
  std::vector<double> x(static_cast<size_t>(kCovRows) * kCovCols), c(kCovCols * kCovCols);
  const int n = kCovCols, k = kCovRows;
  const double alpha = 1.0 / (kCovRows - 1), beta = 0.0;
  for (auto _ : state) {
    for (int j = 0; j < kCovCols; ++j) {
      const double* col = data.ColData(j + 1);
      double s = 0;
      for (int r = 0; r < kCovRows; ++r) s += col[r];
      const double m = s / kCovRows;
      for (int r = 0; r < kCovRows; ++r) x[static_cast<size_t>(j) * kCovRows + r] = col[r] - m;
    }
    dsyrk_("U", "T", &n, &k, &alpha, x.data(), &k, &beta, c.data(), &n);
    benchmark::DoNotOptimize(c.data());
  }
}
BENCHMARK(BM_CenterDsyrk)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace
