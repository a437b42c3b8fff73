// corr and cov: Pearson correlations and covariances through the library's
// covariance routines, Spearman and Kendall through the curve fitter's rank
// statistics (ranks computed once per column where a pair has no missing cell); each pair of columns over the rows where both hold a number
// (or over the complete rows with --complete).
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "Nuv_datatable/Nuv_datatable.h"
#include "Nuv_math2/Nuv_math2.h"
#include "Nuv_statis/Nuv_statis.h"
#include "Nuv_vector/Nuv_vector.h"
#include "commands.h"
#include "errors.h"
#include "progress.h"
#include "rank_corr.h"

namespace nuvstat {

namespace {

// CalcCovar's kinds of matrix.
constexpr int32_t kCovariance = 1;
constexpr int32_t kCorrelation = 2;

// What the rows common to a pair of columns allow: their number, and whether
// either column is constant over them (no correlation then).
struct PairRows {
  int32_t N = 0;
  bool Constant = true;
};

PairRows CommonRows(const double* X, const double* Y, int32_t Rows) {
  PairRows p;
  double x0 = 0.0, y0 = 0.0;
  bool xVaries = false, yVaries = false;
  for (int32_t r = 0; r < Rows; ++r) {
    if (std::isnan(X[r]) || std::isnan(Y[r])) continue;
    if (p.N++ == 0) {
      x0 = X[r];
      y0 = Y[r];
    }
    xVaries = xVaries || X[r] != x0;
    yVaries = yVaries || Y[r] != y0;
  }
  p.Constant = !(xVaries && yVaries);
  return p;
}

// The common rows of every pair, the upper triangle filled (row <= column). With
// complete rows every pair has all of them and only the columns' own spread counts,
// which keeps wide data at O(p n) here.
std::vector<PairRows> AllPairs(const nuv::TMatrix& X, bool Complete) {
  const int32_t p = X.NrOfColumns();
  const int32_t n = X.NrOfRows();
  std::vector<PairRows> pairs(static_cast<size_t>(p) * static_cast<size_t>(p));
  std::vector<bool> constant(static_cast<size_t>(p));
  if (Complete)
    for (int32_t c = 1; c <= p; ++c)
      constant[static_cast<size_t>(c - 1)] = CommonRows(X.ColData(c), X.ColData(c), n).Constant;
  for (int32_t r = 1; r <= p; ++r) {
    for (int32_t c = r; c <= p; ++c) {
      PairRows& pr =
          pairs[static_cast<size_t>(r - 1) * static_cast<size_t>(p) + static_cast<size_t>(c - 1)];
      if (Complete) {
        pr.N = n;
        pr.Constant = constant[static_cast<size_t>(r - 1)] || constant[static_cast<size_t>(c - 1)];
      } else {
        pr = CommonRows(X.ColData(r), X.ColData(c), n);
      }
    }
    CheckInterrupted();
  }
  return pairs;
}

// Correlations do not change when a column is scaled: a power of two per column
// brings values near 1e300 (whose squares overflow) or 1e-300 to order 1, exactly.
void ScaleColumns(nuv::TMatrix& M) {
  for (int32_t c = 1; c <= M.NrOfColumns(); ++c) {
    double* col = M.ColData(c);
    double big = 0.0;
    for (int32_t r = 0; r < M.NrOfRows(); ++r)
      if (!std::isnan(col[r])) big = std::fmax(big, std::fabs(col[r]));
    if (big == 0.0) continue;
    int e = 0;
    std::frexp(big, &e);
    for (int32_t r = 0; r < M.NrOfRows(); ++r) col[r] = std::ldexp(col[r], -e);
  }
}

// Pearson or covariance over each pair's common rows: a table of the analysed
// columns, missing cells marked, through the data table's pairwise CalcCovar.
bool PairwiseCovar(nuv::TMatrix& X, nuv::TMatrix& Result, int32_t Mode) {
  nuv::TDataTable t;
  t.AssignAnotherDataMatrix(&X);
  for (int32_t c = 1; c <= X.NrOfColumns(); ++c) {
    const double* col = X.ColData(c);
    for (int32_t r = 0; r < X.NrOfRows(); ++r)
      if (std::isnan(col[r])) t.SetCellState(c, r + 1, 2);
  }
  return t.CalcCovar(&Result, 1, X.NrOfColumns(), 1, X.NrOfRows(), Mode);
}

// A rank correlation and its two-sided p value over the common rows of a pair.
double RankCorrelation(nuv::TCurveFit& Fit, const double* X, const double* Y, int32_t Rows,
                       Method M, double& P) {
  EnterPairs(Fit, X, Y, Rows);
  P = std::nan("");
  if (M != Method::Kendall) return Fit.GetSpearman();
  double quickP = 0.0;
  const double tau = Fit.KendallsTau(quickP);
  P = KendallP(Fit, tau);
  return tau;
}

const char* MethodName(Method M) {
  switch (M) {
    case Method::Spearman: return "Spearman";
    case Method::Kendall: return "Kendall (tau-b)";
    case Method::Pearson: break;
  }
  return "Pearson";
}

Table SquareTable(const DataSet& Data, const std::string& Name, const std::string& Title) {
  Table t;
  t.Name = Name;
  t.Title = Title;
  t.KeyHeader = "variable";
  t.Columns = Data.Names;
  return t;
}

Report RunCovarKind(const DataSet& Data, const Options& Opt, const std::string& Command,
                    int32_t CovType) {
  const bool corr = CovType == kCorrelation;
  const Method method = corr ? Opt.CorrMethod : Method::Pearson;
  const bool complete = Opt.Complete || !Data.AnyMissing();
  if (complete || Data.FileRows < 2) RequireRows(Data, 2, Command);
  const int32_t p = Data.NCols();
  nuv::TMatrix x;
  x.Assign(complete || !Data.All ? Data.Mat.get() : Data.All.get());
  const int32_t n = x.NrOfRows();
  if (corr) ScaleColumns(x);

  SetProgressLabel(corr ? "correlation matrix" : "covariance matrix");
  nuv::TMatrix cm;
  cm.Resize(p, p);
  std::vector<double> pv(static_cast<size_t>(p) * static_cast<size_t>(p), std::nan(""));
  if (method == Method::Pearson) {
    const bool ok = complete ? nuv::CalcCovar(&x, &cm, 1, p, 1, n, CovType)
                             : PairwiseCovar(x, cm, CovType);
    CheckInterrupted();
    if (!ok) throw ToolError("the " + Command + " matrix could not be computed");
  } else {
    // Pairs of columns without a missing cell come from ranks computed once per column.
    const bool kendall = method == Method::Kendall;
    const RankedColumns ranked(x, !kendall, kendall);
    nuv::TCurveFit fit;
    for (int32_t i = 1; i <= p; ++i) {
      for (int32_t j = i; j <= p; ++j) {
        double pij = std::nan("");
        double r = 1.0;
        if (i != j && ranked.Full(i) && ranked.Full(j)) {
          if (kendall) {
            const RankFigures f = ranked.Rank(i, j);
            r = f.Kendall;
            pij = f.KendallP;
          } else {
            r = ranked.Spearman(i, j);
          }
        } else if (i != j) {
          r = RankCorrelation(fit, x.ColData(i), x.ColData(j), n, method, pij);
        }
        cm.SetVal(i, j, r);
        cm.SetVal(j, i, r);
        pv[static_cast<size_t>(i - 1) * static_cast<size_t>(p) + static_cast<size_t>(j - 1)] = pij;
      }
      CheckInterrupted();
    }
  }

  Report report = StartReport(Command, Data, complete);
  if (!complete)
    report.Info.emplace_back(
        "missing values", Fact::Str("each pair uses the rows where both columns hold a number"));
  Table t = SquareTable(Data, corr ? "correlation" : "covariance",
                        corr ? std::string("Correlation matrix (") + MethodName(method) + ")"
                             : "Covariance matrix (divisor n - 1)");
  t.ZeroNoise = true;
  Table counts = SquareTable(Data, "n", "Rows used by each pair");
  Table pt = SquareTable(Data, "p", "Two-sided p values");
  pt.PColumns.resize(static_cast<size_t>(p));
  for (size_t c = 0; c < pt.PColumns.size(); ++c) pt.PColumns[c] = c;
  const std::vector<PairRows> pairs = AllPairs(x, complete);
  // With complete rows every count is n: the table is built only when asked for.
  const bool wantCounts = !complete || Opt.TableName == "n";
  bool countsDiffer = false;
  int32_t firstCount = -1;
  for (int32_t r = 1; r <= p; ++r) {
    std::vector<Cell> cells, ns, ps;
    for (int32_t c = 1; c <= p; ++c) {
      const PairRows& pr = pairs[static_cast<size_t>(std::min(r, c) - 1) * static_cast<size_t>(p) +
                                 static_cast<size_t>(std::max(r, c) - 1)];
      if (firstCount < 0) firstCount = pr.N;
      countsDiffer = countsDiffer || pr.N != firstCount;
      if (wantCounts) ns.push_back(Cell::Number(pr.N));
      const double v = cm.GetVal(c, r);
      // Too few rows, or a constant column: no figure (CalcCovar would show 0).
      const bool na = pr.N < (method == Method::Pearson ? 2 : 3) || (corr && pr.Constant) ||
                      std::isnan(v);
      cells.push_back(na ? Cell::Missing() : Cell::Number(v));
      double pval = std::nan("");
      if (Opt.PValues && !na && r != c)
        pval = method == Method::Kendall
                   ? pv[static_cast<size_t>(std::min(r, c) - 1) * static_cast<size_t>(p) +
                        static_cast<size_t>(std::max(r, c) - 1)]
                   : PFromT(v, pr.N);
      if (Opt.PValues) ps.push_back(std::isnan(pval) ? Cell::Missing() : Cell::Number(pval));
    }
    const std::string& name = Data.Names[static_cast<size_t>(r - 1)];
    t.AddRow(name, std::move(cells));
    if (wantCounts) counts.AddRow(name, std::move(ns));
    if (Opt.PValues) pt.AddRow(name, std::move(ps));
    CheckInterrupted();
  }
  counts.Hidden = !countsDiffer;
  report.Tables.push_back(std::move(t));
  if (wantCounts) report.Tables.push_back(std::move(counts));
  if (corr && Opt.PValues) report.Tables.push_back(std::move(pt));
  return report;
}

}  // namespace

Report RunCorr(const DataSet& Data, const Options& Opt) {
  return RunCovarKind(Data, Opt, "corr", kCorrelation);
}

Report RunCov(const DataSet& Data, const Options& Opt) {
  return RunCovarKind(Data, Opt, "cov", kCovariance);
}

}  // namespace nuvstat
