// Multivariate unit: the cyclic Jacobi against the same method written plainly
// and against LAPACK dsyev; the covariance types against centring plus dsyrk;
// the pseudo-inverse and the SVD least-squares solver against dgesvd.
#include <benchmark/benchmark.h>

#include <vector>

#include "plain_jacobi.h"
#include "Nuv_math2/Nuv_math2.h"

#if defined(NUV_HAVE_OPENBLAS)
#include <cblas.h>
#include <lapacke.h>
#endif

using namespace nuv;

namespace {

// A symmetric matrix with entries uniform in [-1, 1), row-major.
std::vector<double> RandomSymmetric(int n) {
  SetRandSeed(12345);
  std::vector<double> a(static_cast<size_t>(n) * n);
  for (int i = 0; i < n; ++i)
    for (int j = i; j < n; ++j) a[i * n + j] = a[j * n + i] = 2 * Random() - 1;
  return a;
}

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

#if defined(NUV_HAVE_OPENBLAS)
void BM_dgesvd(benchmark::State& state) {
  TMatrix a;
  FillSvdData(a);
  const std::vector<double> src(a.ColData(1), a.ColData(1) + kSvdRows * kSvdCols);
  std::vector<double> work, s(kSvdCols), u(kSvdRows * kSvdCols), vt(kSvdCols * kSvdCols),
      superb(kSvdCols);
  for (auto _ : state) {
    work = src;
    benchmark::DoNotOptimize(LAPACKE_dgesvd(LAPACK_COL_MAJOR, 'S', 'A', kSvdRows, kSvdCols,
                                            work.data(), kSvdRows, s.data(), u.data(), kSvdRows,
                                            vt.data(), kSvdCols, superb.data()));
  }
}
BENCHMARK(BM_dgesvd)->Unit(benchmark::kMillisecond);

void BM_dsyev(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<double> a = RandomSymmetric(n);
  std::vector<double> w(n), work;
  for (auto _ : state) {
    work = a;
    benchmark::DoNotOptimize(LAPACKE_dsyev(LAPACK_COL_MAJOR, 'V', 'U', n, work.data(), n, w.data()));
  }
}
BENCHMARK(BM_dsyev)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);

void BM_CenterDsyrk(benchmark::State& state) {
  TMatrix data;
  FillCovData(data);
  std::vector<double> x(static_cast<size_t>(kCovRows) * kCovCols), c(kCovCols * kCovCols);
  for (auto _ : state) {
    for (int j = 0; j < kCovCols; ++j) {
      const double* col = data.ColData(j + 1);
      double s = 0;
      for (int r = 0; r < kCovRows; ++r) s += col[r];
      const double m = s / kCovRows;
      for (int r = 0; r < kCovRows; ++r) x[static_cast<size_t>(j) * kCovRows + r] = col[r] - m;
    }
    cblas_dsyrk(CblasColMajor, CblasUpper, CblasTrans, kCovCols, kCovRows, 1.0 / (kCovRows - 1),
                x.data(), kCovRows, 0.0, c.data(), kCovCols);
    benchmark::DoNotOptimize(c.data());
  }
}
BENCHMARK(BM_CenterDsyrk)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace
