// The library's typical request: fill a matrix of 5 columns and 200 rows,
// standardize its columns, compute their covariance matrix (which is then the
// correlation matrix) with progress reports, and read the eigenvalues and
// eigenvectors that CalcEigVec leaves in the eigen store.
#include <cmath>
#include <cstdio>

#include "Nuv_math1/Nuv_math1.h"
#include "Nuv_math2/Nuv_math2.h"
#include "Nuv_matrix/Nuv_matrix.h"

int main() {
  constexpr int32_t kCols = 5;
  constexpr int32_t kRows = 200;

  // Five measurements of 200 objects that share one hidden factor in
  // different strengths, plus noise of their own.
  nuv::SetRandSeed(2026);
  nuv::TMatrix data;
  data.SetName("Measurements");
  int changes = 0;
  data.SetOnChange([&](nuv::TObject*) { ++changes; });
  data.Resize(kCols, kRows);
  const double strength[kCols] = {1.0, 0.8, 0.6, 0.3, 0.0};
  for (int32_t r = 1; r <= kRows; ++r) {
    const double factor = nuv::GRandom();
    for (int32_t c = 1; c <= kCols; ++c)
      data.SetVal(c, r, 10.0 * c + strength[c - 1] * factor + 0.5 * nuv::GRandom());
  }
  std::printf("%s: %d columns x %d rows, %d change events\n", data.Name().c_str(),
              data.NrOfColumns(), data.NrOfRows(), changes);

  nuv::TVector means, sds;
  means.SetVecSize(kCols);
  sds.SetVecSize(kCols);
  data.StandardizeColumns(&means, &sds);
  std::printf("column 1 had mean %.3f and standard deviation %.3f\n", means.GetVal(1),
              sds.GetVal(1));

  // CalcCovar adds to ProcStat per row and per element and calls the hook each time.
  int reports = 0;
  nuv::MathFeedBackProc = [&](double) { ++reports; };
  nuv::TMatrix cov;
  cov.Resize(kCols, kCols);
  const bool covOk = nuv::CalcCovar(&data, &cov, 0, 0, 0, 0, 1);
  std::printf("CalcCovar: %s, %d progress reports\n", covOk ? "done" : "failed", reports);

  // CalcEigVec overwrites the upper triangle of its argument: keep the matrix.
  nuv::TMatrix work;
  work.Clone(&cov);
  reports = 0;
  const bool eigOk = nuv::CalcEigVec(&work);
  nuv::MathFeedBackProc = nullptr;
  std::printf("CalcEigVec: %s, %d progress reports\n", eigOk ? "done" : "failed", reports);

  // Each eigenpair must satisfy C v = lambda v; the eigenvalues of a correlation
  // matrix add up to its trace, the number of columns.
  double sum = 0.0, worst = 0.0;
  for (int32_t k = 1; k <= nuv::GetEigenSize(); ++k) {
    const double lambda = nuv::GetEigenResult(k, 0);
    sum += lambda;
    std::printf("eigenvalue %d: %8.5f  vector:", k, lambda);
    for (int32_t i = 1; i <= kCols; ++i) std::printf(" %8.5f", nuv::GetEigenResult(k, i));
    std::printf("\n");
    for (int32_t i = 1; i <= kCols; ++i) {
      double cv = 0.0;
      for (int32_t j = 1; j <= kCols; ++j) cv += cov.GetVal(j, i) * nuv::GetEigenResult(k, j);
      worst = std::fmax(worst, std::fabs(cv - lambda * nuv::GetEigenResult(k, i)));
    }
  }
  std::printf("sum of eigenvalues %.12f, largest residual |Cv - lambda v| %.2e\n", sum, worst);
  return covOk && eigOk && std::fabs(sum - kCols) < 1e-10 && worst < 1e-12 ? 0 : 1;
}
