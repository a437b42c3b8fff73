#include "pca_eigen.h"

#include <cstdio>
#include <string>

#include "Nuv_math2/Nuv_math2.h"
#include "errors.h"
#include "progress.h"

namespace nuvstat {

namespace {

// The p x p matrices of the fast path (the covariance, the solver's work, the store) take
// about six times p^2 doubles.
std::string MemoryMessage(int32_t p) {
  char gb[32];
  std::snprintf(gb, sizeof gb, "%.1f", 6.0 * 8.0 * p * static_cast<double>(p) / 1e9);
  return "not enough memory: pca on " + std::to_string(p) + " columns needs about " + gb +
         " GB for its " + std::to_string(p) + " x " + std::to_string(p) + " matrices";
}

}  // namespace

void DecomposeForPca(const DataSet& Data, int32_t CovType) {
  const int32_t p = Data.NCols();
  const int32_t n = Data.NRows();
  if (p < kFastEigenColumns) {
    SetProgressLabel("principal components");
    const bool ok = nuv::CalcPrincComp(Data.Mat.get(), 1, p, 1, n, CovType, false);
    CheckInterrupted();
    if (!ok) throw ToolError("the eigen decomposition did not converge");
    return;
  }
  // The steps each stage reports: the covariance n for the means and n per element of its
  // lower triangle, the solver p per stage.
  const double rows = n, cols = p;
  SetProgressStages("principal components", {{"covariance", rows + rows * cols * (cols + 1) / 2},
                                             {"tridiagonal form", cols},
                                             {"eigenvalues", cols},
                                             {"eigenvectors", cols}});
  bool ok = false;
  try {
    nuv::TMatrix cov(nullptr);
    if (!cov.Resize(p, p)) throw ToolError(MemoryMessage(p));
    ok = nuv::CalcCovar(Data.Mat.get(), &cov, 1, p, 1, n, CovType);
    CheckInterrupted();
    ok = ok && nuv::CalcSymEigen(&cov);
  } catch (const nuv::ENUVError& e) {
    if (std::string(e.what()).find("not enough memory") == std::string::npos) throw;
    throw ToolError(MemoryMessage(p));
  }
  CheckInterrupted();
  if (!ok)
    throw ToolError(
        "the eigen decomposition failed: the covariance matrix is not finite "
        "(the values overflow when squared)");
}

}  // namespace nuvstat
