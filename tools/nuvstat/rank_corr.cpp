#include "rank_corr.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

namespace {

// Sums over the groups of equal values (t values each) of t(t-1), t(t-1)(t-2) and
// t(t-1)(2t+5): the terms ties add to the variance of Kendall's S.
struct TieSums {
  double Pairs = 0.0;
  double Triples = 0.0;
  double Var = 0.0;
};

// Work holds the values of one column; it is sorted here.
TieSums TiesOf(std::vector<double>& Work) {
  const int32_t n = static_cast<int32_t>(Work.size());
  std::sort(Work.begin(), Work.end());
  TieSums s;
  for (int32_t i = 0; i < n;) {
    int32_t j = i + 1;
    while (j < n && Work[static_cast<size_t>(j)] == Work[static_cast<size_t>(i)]) ++j;
    const double t = j - i;
    s.Pairs += t * (t - 1);
    s.Triples += t * (t - 1) * (t - 2);
    s.Var += t * (t - 1) * (2 * t + 5);
    i = j;
  }
  return s;
}

}  // namespace

double KendallP(const nuv::TCurveFit& Fit, double Tau) {
  const int32_t n = Fit.NumData();
  if (n < 3) return std::nan("");
  std::vector<double> work(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) work[static_cast<size_t>(i)] = Fit.GetDataX(i + 1);
  const TieSums tx = TiesOf(work);
  for (int32_t i = 0; i < n; ++i) work[static_cast<size_t>(i)] = Fit.GetDataY(i + 1);
  const TieSums ty = TiesOf(work);
  // S = C - D back from tau-b = S / sqrt((n0 - n1)(n0 - n2)), and the variance of S
  // under independence with both columns' ties (the statistic of R's cor.test and
  // scipy's kendalltau). The fitter's own p comes from a quick error function (about
  // 1e-7 absolute); the accurate normal tail keeps small p values.
  const double nn = n;
  const double n0 = nn * (nn - 1) / 2;
  const double s = Tau * std::sqrt((n0 - tx.Pairs / 2) * (n0 - ty.Pairs / 2));
  const double var = (nn * (nn - 1) * (2 * nn + 5) - tx.Var - ty.Var) / 18 +
                     tx.Pairs * ty.Pairs / (2 * nn * (nn - 1)) +
                     tx.Triples * ty.Triples / (9 * nn * (nn - 1) * (nn - 2));
  if (!(var > 0)) return std::nan("");
  return 2.0 * nuv::nDistriIntegral(-std::fabs(s) / std::sqrt(var));
}

RankFigures RankStatistics(const nuv::TCurveFit& Fit) {
  RankFigures f;
  f.N = Fit.NumData();
  f.Spearman = Fit.GetSpearman();
  f.SpearmanP = PFromT(f.Spearman, f.N);
  double quickP = 0.0;
  f.Kendall = Fit.KendallsTau(quickP);
  f.KendallP = KendallP(Fit, f.Kendall);
  f.Gamma = Fit.GetKruskalGamma();
  return f;
}

}  // namespace nuvstat
