// corr and cov: the library's covariance matrix of all columns.
#include <string>

#include "Nuv_math2/Nuv_math2.h"
#include "Nuv_vector/Nuv_vector.h"
#include "commands.h"
#include "errors.h"
#include "progress.h"

namespace nuvstat {

namespace {

// CalcCovar's kinds of matrix.
constexpr int32_t kCovariance = 1;
constexpr int32_t kCorrelation = 2;

// A constant column has no correlation with anything; CalcCovar would show 0 (and 1 on
// the diagonal) for it.
std::vector<bool> ConstantColumns(const DataSet& Data) {
  std::vector<bool> constant(static_cast<size_t>(Data.NCols()));
  nuv::TVector col;
  col.Resize(Data.NRows());
  for (int32_t c = 1; c <= Data.NCols(); ++c) {
    Data.Mat->CopyColToVec(&col, c, 1, Data.NRows());
    double mn = 0.0, mx = 0.0;
    col.MinMax(0, 0, mn, mx);
    constant[static_cast<size_t>(c - 1)] = !(mn < mx);
  }
  return constant;
}

Report RunCovarKind(const DataSet& Data, const std::string& Command, int32_t CovType) {
  RequireRows(Data, 2, Command);
  const int32_t p = Data.NCols();
  nuv::TMatrix cm;
  cm.Resize(p, p);
  SetProgressLabel(CovType == kCorrelation ? "correlation matrix" : "covariance matrix");
  const bool ok = nuv::CalcCovar(Data.Mat.get(), &cm, 1, p, 1, Data.NRows(), CovType);
  CheckInterrupted();
  if (!ok) throw ToolError("the " + Command + " matrix could not be computed");

  std::vector<bool> undefined(static_cast<size_t>(p), false);
  if (CovType == kCorrelation) undefined = ConstantColumns(Data);

  Report report = StartReport(Command, Data);
  Table t;
  t.Name = CovType == kCorrelation ? "correlation" : "covariance";
  t.Title = CovType == kCorrelation ? "Correlation matrix (Pearson)"
                                    : "Covariance matrix (divisor n - 1)";
  t.KeyHeader = "variable";
  t.ZeroNoise = true;
  t.Columns = Data.Names;
  for (int32_t r = 1; r <= p; ++r) {
    std::vector<Cell> cells;
    for (int32_t c = 1; c <= p; ++c) {
      const bool na = undefined[static_cast<size_t>(r - 1)] || undefined[static_cast<size_t>(c - 1)];
      cells.push_back(na ? Cell::Missing() : Cell::Number(cm.GetVal(c, r)));
    }
    t.AddRow(Data.Names[static_cast<size_t>(r - 1)], std::move(cells));
  }
  report.Tables.push_back(std::move(t));
  return report;
}

}  // namespace

Report RunCorr(const DataSet& Data, const Options&) {
  return RunCovarKind(Data, "corr", kCorrelation);
}

Report RunCov(const DataSet& Data, const Options&) {
  return RunCovarKind(Data, "cov", kCovariance);
}

}  // namespace nuvstat
