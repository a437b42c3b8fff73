// The fast symmetric eigensolver CalcSymEigen against the cyclic Jacobi of
// CalcEigVec (where the two cross over), LAPACK dsyevd (divide and conquer,
// what numpy.linalg.eigh calls) and Eigen's SelfAdjointEigenSolver (implicit
// QL), all computing eigenvalues and eigenvectors of the same random
// symmetric matrix; peers single-threaded, as the library is.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"

#include "peer_lapack.h"
#include "random_symmetric.h"

#if defined(NUV_BENCH_EIGEN)
#include <Eigen/Dense>
#endif

using namespace nuv;

namespace {

std::vector<double> RandomSymmetric(int n) { return nuv_bench::RandomSymmetric(n, 4711); }

void ToMatrix(const std::vector<double>& a, int n, TMatrix& m) {
  m.Resize(n, n);
  for (int c = 0; c < n; ++c)
    std::copy(a.begin() + static_cast<std::ptrdiff_t>(c) * n,
              a.begin() + static_cast<std::ptrdiff_t>(c + 1) * n, m.ColData(c + 1));
}

void BM_CalcSymEigen(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  TMatrix m;
  ToMatrix(RandomSymmetric(n), n, m);
  for (auto _ : state) benchmark::DoNotOptimize(CalcSymEigen(&m));
}
BENCHMARK(BM_CalcSymEigen)
    ->Arg(5)
    ->Arg(10)
    ->Arg(20)
    ->Arg(50)
    ->Arg(100)
    ->Arg(200)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond);

// CalcEigVec overwrites the upper triangle: a fresh copy each round.
void BM_CalcEigVec(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  TMatrix src, m;
  ToMatrix(RandomSymmetric(n), n, src);
  m.Resize(n, n);
  for (auto _ : state) {
    std::copy(src.ColData(1), src.ColData(1) + static_cast<size_t>(n) * n, m.ColData(1));
    benchmark::DoNotOptimize(CalcEigVec(&m));
  }
}
BENCHMARK(BM_CalcEigVec)
    ->Arg(5)
    ->Arg(10)
    ->Arg(20)
    ->Arg(50)
    ->Arg(100)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond);

#if defined(NUV_BENCH_LAPACK)
void BM_dsyevd(benchmark::State& state) {
  nuv_bench::SingleThreadedPeers();
  int n = static_cast<int>(state.range(0));
  const std::vector<double> a = RandomSymmetric(n);
  std::vector<double> work(a), w(static_cast<size_t>(n));
  int lwork = -1, liwork = -1, info = 0, iquery = 0;
  double query = 0;
  dsyevd_("V", "U", &n, work.data(), &n, w.data(), &query, &lwork, &iquery, &liwork, &info);
  lwork = static_cast<int>(query);
  liwork = iquery;
  std::vector<double> scratch(static_cast<size_t>(lwork));
  std::vector<int> iscratch(static_cast<size_t>(liwork));
  for (auto _ : state) {
    work = a;
    dsyevd_("V", "U", &n, work.data(), &n, w.data(), scratch.data(), &lwork, iscratch.data(),
            &liwork, &info);
    benchmark::DoNotOptimize(w.data());
  }
}
BENCHMARK(BM_dsyevd)->Arg(20)->Arg(50)->Arg(200)->Arg(500)->Arg(1000)->Arg(2000)->Unit(
    benchmark::kMillisecond);
#endif

#if defined(NUV_BENCH_EIGEN)
void BM_EigenSelfAdjoint(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<double> a = RandomSymmetric(n);
  const Eigen::MatrixXd m = Eigen::Map<const Eigen::MatrixXd>(a.data(), n, n);
  Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(n);
  for (auto _ : state) {
    solver.compute(m);
    benchmark::DoNotOptimize(solver.eigenvalues().data());
  }
}
BENCHMARK(BM_EigenSelfAdjoint)
    ->Arg(20)
    ->Arg(50)
    ->Arg(200)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond);
#endif

}  // namespace
