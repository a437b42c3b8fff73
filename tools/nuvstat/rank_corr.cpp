#include "rank_corr.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "Nuv_statis/Nuv_statis.h"
#include "errors.h"
#include "progress.h"

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

// Two-sided p of tau-b Tau over n rows whose columns have the tie sums Tx and Ty.
double KendallPFromTies(int32_t n, double Tau, const TieSums& tx, const TieSums& ty) {
  if (n < 3) return std::nan("");
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

int64_t TiedPairs(int64_t t) { return t * (t - 1) / 2; }

// Number of pairs i < j with Seq[i] > Seq[j] (equal values are none); sorts Seq,
// Buf is work space. Bottom-up merge sort.
int64_t CountInversions(std::vector<uint32_t>& Seq, std::vector<uint32_t>& Buf) {
  const size_t n = Seq.size();
  Buf.resize(n);
  int64_t inv = 0;
  for (size_t width = 1; width < n; width *= 2) {
    for (size_t lo = 0; lo < n; lo += 2 * width) {
      const size_t mid = std::min(n, lo + width), hi = std::min(n, lo + 2 * width);
      size_t i = lo, j = mid, k = lo;
      while (i < mid && j < hi) {
        if (Seq[j] < Seq[i]) {
          inv += static_cast<int64_t>(mid - i);
          Buf[k++] = Seq[j++];
        } else {
          Buf[k++] = Seq[i++];
        }
      }
      while (i < mid) Buf[k++] = Seq[i++];
      while (j < hi) Buf[k++] = Seq[j++];
    }
    Seq.swap(Buf);
  }
  return inv;
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
  return KendallPFromTies(n, Tau, tx, ty);
}

RankedColumns::RankedColumns(const nuv::TMatrix& X, bool ForSpearman, bool ForKendall)
    : Rows_(X.NrOfRows()), Cols_(X.NrOfColumns()) {
  const size_t n = static_cast<size_t>(Rows_), p = static_cast<size_t>(Cols_);
  Full_.assign(p, 0);
  TiePairs_.assign(p, 0.0);
  TieTriples_.assign(p, 0.0);
  TieVar_.assign(p, 0.0);
  if (ForKendall) Ranked_.resize(p);
  nuv::TMatrix ranks;
  if (ForSpearman) ranks.Resize(Cols_, Rows_);
  std::vector<std::pair<double, uint32_t>> work(n);
  for (int32_t c = 1; c <= Cols_; ++c) {
    const size_t ci = static_cast<size_t>(c - 1);
    const double* v = X.ColData(c);
    bool full = true;
    for (size_t r = 0; r < n && full; ++r) full = !std::isnan(v[r]);
    CheckInterrupted();
    if (!full) continue;  // its rank column stays 0: never read
    Full_[ci] = 1;
    for (size_t r = 0; r < n; ++r) work[r] = {v[r], static_cast<uint32_t>(r)};
    std::sort(work.begin(), work.end());
    double* rank = ForSpearman ? ranks.ColData(c) : nullptr;
    Column* col = ForKendall ? &Ranked_[ci] : nullptr;
    if (col) {
      col->Order.resize(n);
      col->Dense.resize(n);
    }
    uint32_t dense = 0;
    for (size_t lo = 0; lo < n; ++dense) {
      size_t hi = lo + 1;
      while (hi < n && work[hi].first == work[lo].first) ++hi;
      const double mid = (static_cast<double>(lo + 1) + static_cast<double>(hi)) / 2;
      for (size_t k = lo; k < hi; ++k) {
        const uint32_t row = work[k].second;
        if (rank) rank[row] = mid;
        if (col) {
          col->Order[k] = row;
          col->Dense[row] = dense;
        }
      }
      const double t = static_cast<double>(hi - lo);
      TiePairs_[ci] += t * (t - 1);
      TieTriples_[ci] += t * (t - 1) * (t - 2);
      TieVar_[ci] += t * (t - 1) * (2 * t + 5);
      lo = hi;
    }
  }
  if (ForSpearman && Rows_ >= 3) {
    Rho_.Resize(Cols_, Cols_);
    if (!nuv::CalcCovar(&ranks, &Rho_, 1, Cols_, 1, Rows_, 2))
      throw ToolError("the rank correlation matrix could not be computed");
    CheckInterrupted();
  }
}

bool RankedColumns::Varies(int32_t C) const {
  // A constant column's tie sum is n(n - 1).
  const double n = Rows_;
  return TiePairs_[static_cast<size_t>(C - 1)] != n * (n - 1);
}

double RankedColumns::Spearman(int32_t I, int32_t J) const {
  // The fitter gives 0 for a constant column.
  if (Rows_ < 3 || !Varies(I) || !Varies(J)) return 0.0;
  return Rho_.GetVal(I, J);
}

RankFigures RankedColumns::Rank(int32_t I, int32_t J) const {
  const size_t n = static_cast<size_t>(Rows_);
  const Column& cx = Ranked_[static_cast<size_t>(I - 1)];
  const Column& cy = Ranked_[static_cast<size_t>(J - 1)];
  // The y ranks in (x, y) order: an inversion is a pair with x rising and y falling.
  Seq_.resize(n);
  int64_t tiesX = 0, tiesXY = 0;
  for (size_t lo = 0; lo < n;) {
    size_t hi = lo + 1;
    const uint32_t xr = cx.Dense[cx.Order[lo]];
    while (hi < n && cx.Dense[cx.Order[hi]] == xr) ++hi;
    for (size_t k = lo; k < hi; ++k) Seq_[k] = cy.Dense[cx.Order[k]];
    if (hi - lo > 1) {
      std::sort(Seq_.begin() + static_cast<std::ptrdiff_t>(lo),
                Seq_.begin() + static_cast<std::ptrdiff_t>(hi));
      tiesX += TiedPairs(static_cast<int64_t>(hi - lo));
      for (size_t a = lo; a < hi;) {
        size_t b = a + 1;
        while (b < hi && Seq_[b] == Seq_[a]) ++b;
        tiesXY += TiedPairs(static_cast<int64_t>(b - a));
        a = b;
      }
    }
    lo = hi;
  }
  const int64_t tiesY = static_cast<int64_t>(TiePairs_[static_cast<size_t>(J - 1)] / 2);
  const int64_t discord = CountInversions(Seq_, Buf_);
  const int64_t concord = TiedPairs(static_cast<int64_t>(n)) - tiesX - tiesY + tiesXY - discord;
  // tau-b and gamma with the fitter's expressions.
  const nuv::Extended c = concord, d = discord;
  const nuv::Extended den = std::sqrt((c + d + (tiesY - tiesXY)) * (c + d + (tiesX - tiesXY)));
  RankFigures f;
  f.N = Rows_;
  f.Spearman = Rho_.NrOfColumns() > 0 ? Spearman(I, J) : 0.0;
  f.SpearmanP = PFromT(f.Spearman, f.N);
  f.Kendall = den == 0 ? 0.0 : static_cast<double>((c - d) / den);
  const auto ties = [this](int32_t k) {
    const size_t i = static_cast<size_t>(k - 1);
    return TieSums{TiePairs_[i], TieTriples_[i], TieVar_[i]};
  };
  f.KendallP = KendallPFromTies(f.N, f.Kendall, ties(I), ties(J));
  const int64_t cd = concord + discord;
  f.Gamma = cd == 0 ? 0.0 : static_cast<double>(static_cast<nuv::Extended>(concord - discord) / cd);
  return f;
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
