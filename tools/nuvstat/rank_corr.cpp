#include "rank_corr.h"

#include <cmath>

#include "Nuv_statis/Nuv_statis.h"

namespace nuvstat {

void EnterPairs(nuv::TCurveFit& Fit, const double* X, const double* Y, int32_t Rows) {
  Fit.Init();
  for (int32_t r = 0; r < Rows; ++r)
    if (!std::isnan(X[r]) && !std::isnan(Y[r])) Fit.EnterStatValue(X[r], Y[r]);
}

double PFromT(double r, int32_t n) {
  if (n < 3) return std::nan("");
  if (std::fabs(r) >= 1.0) return 0.0;
  const double t = r * std::sqrt((n - 2) / ((1.0 - r) * (1.0 + r)));
  return 2.0 * nuv::tDistriIntegral(-std::fabs(t), n - 2);
}

double KendallP(double Tau, int32_t n) {
  if (n < 3) return std::nan("");
  // The fitter's own p comes from a quick error function (about 1e-7 absolute); the
  // same approximation through the accurate tail keeps small p values.
  const double nn = n;
  const double sigma = std::sqrt((4 * nn + 10) / (9 * nn * (nn - 1)));
  return 2.0 * nuv::nDistriIntegral(-std::fabs(Tau) / sigma);
}

RankFigures RankStatistics(const nuv::TCurveFit& Fit) {
  RankFigures f;
  f.N = Fit.NumData();
  f.Spearman = Fit.GetSpearman();
  f.SpearmanP = PFromT(f.Spearman, f.N);
  double quickP = 0.0;
  f.Kendall = Fit.KendallsTau(quickP);
  f.KendallP = KendallP(f.Kendall, f.N);
  f.Gamma = Fit.GetKruskalGamma();
  return f;
}

}  // namespace nuvstat
