// TMatrix linear algebra against its peers in the same run, single-threaded:
// BLAS/LAPACK (dgemm, dgetrf + dgetri, dgesvd; OpenBLAS when installed, else the
// reference LAPACK) and Eigen, each when found by the bench preset.
// Products report GFlop/s (2 m n k, or m n (n + 1) for the symmetric Square).
// Run the OpenBLAS figures twice: as installed, and with
// OPENBLAS_CORETYPE=SkylakeX to force its AVX-512 kernels.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"

#if defined(NUV_BENCH_EIGEN)
#include <Eigen/Dense>
#endif

#include "peer_lapack.h"

namespace {

std::vector<double> RandomData(size_t n, uint32_t seed) {
  std::mt19937_64 gen(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::vector<double> d(n);
  for (double& x : d) x = u(gen);
  return d;
}

/// A diagonally dominant n x n matrix (well conditioned: every inversion succeeds).
std::vector<double> Dominant(int n, uint32_t seed) {
  std::vector<double> d = RandomData(static_cast<size_t>(n) * n, seed);
  for (int i = 0; i < n; ++i) d[static_cast<size_t>(i) * n + i] += n;
  return d;
}

void Load(nuv::TMatrix& m, int nc, int nr, const std::vector<double>& d) {
  m.Resize(nc, nr);
  std::memcpy(m.ColData(1), d.data(), d.size() * sizeof(double));
}

void SetFlops(benchmark::State& state, double flops) {
  state.counters["GFlop/s"] =
      benchmark::Counter(flops, benchmark::Counter::kIsIterationInvariantRate,
                         benchmark::Counter::kIs1000);
}

// --- products --------------------------------------------------------------

void BM_NuvMultiply(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  nuv::TMatrix a, b, c;
  Load(a, n, n, RandomData(static_cast<size_t>(n) * n, 1));
  Load(b, n, n, RandomData(static_cast<size_t>(n) * n, 2));
  for (auto _ : state) a.Multiply(&b, &c);
  SetFlops(state, 2.0 * n * n * n);
}
BENCHMARK(BM_NuvMultiply)->Arg(128)->Arg(512)->Unit(benchmark::kMillisecond);

void BM_NuvMultiplyTransposed(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  nuv::TMatrix a, b, c;
  Load(a, n, n, RandomData(static_cast<size_t>(n) * n, 1));
  Load(b, n, n, RandomData(static_cast<size_t>(n) * n, 2));
  for (auto _ : state) a.MultiplyTransposed(&b, &c);
  SetFlops(state, 2.0 * n * n * n);
}
BENCHMARK(BM_NuvMultiplyTransposed)->Arg(512)->Unit(benchmark::kMillisecond);

void BM_NuvTransposeAndMultiply(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  nuv::TMatrix a, b, c;
  Load(a, n, n, RandomData(static_cast<size_t>(n) * n, 1));
  Load(b, n, n, RandomData(static_cast<size_t>(n) * n, 2));
  for (auto _ : state) a.TransposeAndMultiply(&b, &c);
  SetFlops(state, 2.0 * n * n * n);
}
BENCHMARK(BM_NuvTransposeAndMultiply)->Arg(512)->Unit(benchmark::kMillisecond);

void BM_NuvSquare(benchmark::State& state) {
  // 512 columns of 1024 rows: half of the 512 x 512 result is formed, the other mirrored.
  const int n = static_cast<int>(state.range(0));
  const int m = 2 * n;
  nuv::TMatrix a, c;
  Load(a, n, m, RandomData(static_cast<size_t>(n) * m, 3));
  for (auto _ : state) a.Square(&c, 1.0);
  SetFlops(state, 1.0 * m * n * (n + 1));
}
BENCHMARK(BM_NuvSquare)->Arg(512)->Unit(benchmark::kMillisecond);

void BM_NuvMultiplyVector(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  nuv::TMatrix a;
  Load(a, n, n, RandomData(static_cast<size_t>(n) * n, 1));
  nuv::TVector x, y;
  x.Resize(n);
  x.Fill(0.5);
  for (auto _ : state) a.Multiply(&x, &y);
  SetFlops(state, 2.0 * n * n);
}
BENCHMARK(BM_NuvMultiplyVector)->Arg(1024)->Unit(benchmark::kMicrosecond);

#if defined(NUV_BENCH_LAPACK)
void BM_BlasDgemm(benchmark::State& state) {
  nuv_bench::SingleThreadedPeers();
  const int n = static_cast<int>(state.range(0));
  std::vector<double> a = RandomData(static_cast<size_t>(n) * n, 1);
  std::vector<double> b = RandomData(static_cast<size_t>(n) * n, 2);
  std::vector<double> c(static_cast<size_t>(n) * n);
  const double one = 1.0, zero = 0.0;
  for (auto _ : state) {
    dgemm_("N", "N", &n, &n, &n, &one, a.data(), &n, b.data(), &n, &zero, c.data(), &n);
    benchmark::DoNotOptimize(c.data());
  }
  SetFlops(state, 2.0 * n * n * n);
}
BENCHMARK(BM_BlasDgemm)->Arg(128)->Arg(512)->Unit(benchmark::kMillisecond);
#endif

#if defined(NUV_BENCH_EIGEN)
void BM_EigenMultiply(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<double> da = RandomData(static_cast<size_t>(n) * n, 1);
  std::vector<double> db = RandomData(static_cast<size_t>(n) * n, 2);
  Eigen::MatrixXd a = Eigen::Map<Eigen::MatrixXd>(da.data(), n, n);
  Eigen::MatrixXd b = Eigen::Map<Eigen::MatrixXd>(db.data(), n, n);
  Eigen::MatrixXd c(n, n);
  for (auto _ : state) {
    c.noalias() = a * b;
    benchmark::DoNotOptimize(c.data());
  }
  SetFlops(state, 2.0 * n * n * n);
}
BENCHMARK(BM_EigenMultiply)->Arg(128)->Arg(512)->Unit(benchmark::kMillisecond);
#endif

// --- inversion and determinant ----------------------------------------------

void BM_NuvInvert(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<double> d = Dominant(n, 5);
  nuv::TMatrix a;
  Load(a, n, n, d);
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(a.ColData(1), d.data(), d.size() * sizeof(double));
    state.ResumeTiming();
    if (!a.Invert()) state.SkipWithError("Invert failed");
  }
}
BENCHMARK(BM_NuvInvert)->Arg(256)->Arg(512)->Unit(benchmark::kMillisecond);

void BM_NuvDeterminant(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  nuv::TMatrix a;
  Load(a, n, n, Dominant(n, 5));
  for (auto _ : state) benchmark::DoNotOptimize(a.Determinant());
}
BENCHMARK(BM_NuvDeterminant)->Arg(256)->Arg(512)->Unit(benchmark::kMillisecond);

#if defined(NUV_BENCH_LAPACK)
void BM_LapackGetrfGetri(benchmark::State& state) {
  nuv_bench::SingleThreadedPeers();
  const int n = static_cast<int>(state.range(0));
  const std::vector<double> d = Dominant(n, 5);
  std::vector<double> a(d.size());
  std::vector<int> ipiv(static_cast<size_t>(n));
  int info = 0;
  int lwork = -1;
  double query = 0.0;
  dgetri_(&n, a.data(), &n, ipiv.data(), &query, &lwork, &info);
  lwork = static_cast<int>(query);
  std::vector<double> work(static_cast<size_t>(lwork));
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(a.data(), d.data(), d.size() * sizeof(double));
    state.ResumeTiming();
    dgetrf_(&n, &n, a.data(), &n, ipiv.data(), &info);
    dgetri_(&n, a.data(), &n, ipiv.data(), work.data(), &lwork, &info);
    benchmark::DoNotOptimize(a.data());
  }
}
BENCHMARK(BM_LapackGetrfGetri)->Arg(256)->Arg(512)->Unit(benchmark::kMillisecond);

void BM_LapackGetrf(benchmark::State& state) {
  nuv_bench::SingleThreadedPeers();
  const int n = static_cast<int>(state.range(0));
  const std::vector<double> d = Dominant(n, 5);
  std::vector<double> a(d.size());
  std::vector<int> ipiv(static_cast<size_t>(n));
  int info = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(a.data(), d.data(), d.size() * sizeof(double));
    state.ResumeTiming();
    dgetrf_(&n, &n, a.data(), &n, ipiv.data(), &info);
    benchmark::DoNotOptimize(a.data());
  }
}
BENCHMARK(BM_LapackGetrf)->Arg(256)->Arg(512)->Unit(benchmark::kMillisecond);
#endif

#if defined(NUV_BENCH_EIGEN)
void BM_EigenInverse(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<double> d = Dominant(n, 5);
  Eigen::MatrixXd a = Eigen::Map<Eigen::MatrixXd>(d.data(), n, n);
  Eigen::MatrixXd inv(n, n);
  for (auto _ : state) {
    inv = a.partialPivLu().inverse();
    benchmark::DoNotOptimize(inv.data());
  }
}
BENCHMARK(BM_EigenInverse)->Arg(256)->Arg(512)->Unit(benchmark::kMillisecond);
#endif

// --- spectral norm ---------------------------------------------------------

void BM_NuvNormSpectral(benchmark::State& state) {
  nuv::TMatrix a;
  Load(a, 200, 300, RandomData(300 * 200, 7));
  for (auto _ : state) benchmark::DoNotOptimize(a.Norm(nuv::ntSpectral));
}
BENCHMARK(BM_NuvNormSpectral)->Unit(benchmark::kMillisecond);

#if defined(NUV_BENCH_LAPACK)
void BM_LapackGesvdValues(benchmark::State& state) {
  nuv_bench::SingleThreadedPeers();
  const int m = 300, n = 200;
  const std::vector<double> d = RandomData(static_cast<size_t>(m) * n, 7);
  std::vector<double> a(d.size()), s(static_cast<size_t>(n));
  int info = 0, lwork = -1, one = 1;
  double query = 0.0, dummy = 0.0;
  dgesvd_("N", "N", &m, &n, a.data(), &m, s.data(), &dummy, &one, &dummy, &one, &query, &lwork,
          &info);
  lwork = static_cast<int>(query);
  std::vector<double> work(static_cast<size_t>(lwork));
  for (auto _ : state) {
    std::memcpy(a.data(), d.data(), d.size() * sizeof(double));
    dgesvd_("N", "N", &m, &n, a.data(), &m, s.data(), &dummy, &one, &dummy, &one, work.data(),
            &lwork, &info);
    benchmark::DoNotOptimize(s.data());
  }
}
BENCHMARK(BM_LapackGesvdValues)->Unit(benchmark::kMillisecond);
#endif

// --- transposition ---------------------------------------------------------

void BM_NuvTranspose(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  nuv::TMatrix a;
  Load(a, n, n, RandomData(static_cast<size_t>(n) * n, 9));
  for (auto _ : state) a.Transpose();
  state.SetBytesProcessed(state.iterations() * 2 * int64_t(n) * n * 8);
}
BENCHMARK(BM_NuvTranspose)->Arg(4000)->Unit(benchmark::kMillisecond);

void BM_NuvTransposeTall(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  nuv::TMatrix a;
  Load(a, n / 2, 2 * n, RandomData(static_cast<size_t>(n) * n, 9));
  for (auto _ : state) a.Transpose();
  state.SetBytesProcessed(state.iterations() * 2 * int64_t(n) * n * 8);
}
BENCHMARK(BM_NuvTransposeTall)->Arg(4000)->Unit(benchmark::kMillisecond);

/// The yardstick: the same bytes moved by a tile-by-tile copy between two buffers.
void BM_BlockedCopy(benchmark::State& state) {
  const size_t n = static_cast<size_t>(state.range(0));
  std::vector<double> src = RandomData(n * n, 9), dst(n * n);
  constexpr size_t T = 32;
  for (auto _ : state) {
    for (size_t c0 = 0; c0 < n; c0 += T)
      for (size_t r0 = 0; r0 < n; r0 += T)
        for (size_t c = c0; c < c0 + T && c < n; ++c) {
          const size_t len = r0 + T < n ? T : n - r0;
          std::memcpy(dst.data() + c * n + r0, src.data() + c * n + r0, len * sizeof(double));
        }
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * 2 * int64_t(n) * n * 8);
}
BENCHMARK(BM_BlockedCopy)->Arg(4000)->Unit(benchmark::kMillisecond);

}  // namespace
