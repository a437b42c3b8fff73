// regress: multiple linear regression of one column on all the others.
#include <cmath>
#include <string>

#include "Nuv_math2/Nuv_math2.h"
#include "Nuv_statis/Nuv_statis.h"
#include "Nuv_vector/Nuv_vector.h"
#include "commands.h"
#include "errors.h"
#include "progress.h"

namespace nuvstat {

namespace {

bool IsConstant(const nuv::TVector& v) {
  double mn = 0.0, mx = 0.0;
  v.MinMax(0, 0, mn, mx);
  return !(mn < mx);
}

}  // namespace

Report RunRegress(const DataSet& Data, const Options& Opt) {
  const int32_t p = Data.NCols();
  const int32_t n = Data.NRows();
  const int32_t yc = FindColumn(Data, Opt.YColumn) + 1;
  const std::string& yName = Data.Names[static_cast<size_t>(yc - 1)];
  if (p < 2)
    throw ToolError(Data.Source + ": regress needs at least one column besides the response");
  // p parameters (intercept and p - 1 slopes) and at least one residual degree of freedom.
  RequireRows(Data, p + 1, "regress with " + std::to_string(p) + " coefficients");

  // The predictors are every column but the response, in their order.
  nuv::TMatrix x;
  x.Resize(p - 1, n);
  if (yc > 1) x.CopyFrom(Data.Mat.get(), 1, 1, yc - 1, n, 1, 1);
  if (yc < p) x.CopyFrom(Data.Mat.get(), yc + 1, 1, p, n, yc, 1);
  std::vector<std::string> xNames;
  for (int32_t c = 1; c <= p; ++c)
    if (c != yc) xNames.push_back(Data.Names[static_cast<size_t>(c - 1)]);
  nuv::TVector y, column;
  y.Resize(n);
  column.Resize(n);
  Data.Mat->CopyColToVec(&y, yc, 1, n);
  // A constant predictor is the intercept over again: its slope is not determined.
  for (int32_t c = 1; c < p; ++c) {
    x.CopyColToVec(&column, c, 1, n);
    if (IsConstant(column))
      throw ToolError(Data.Source + ": column \"" + xNames[static_cast<size_t>(c - 1)] +
                      "\" is constant: its coefficient cannot be told from the intercept");
  }

  nuv::TVector coeffs, stdErrs, residuals;
  double r2 = 0.0;
  SetProgressLabel("regression");
  const bool ok = nuv::MultiLinReg(&x, &y, true, &coeffs, &stdErrs, r2, &residuals);
  CheckInterrupted();
  if (!ok) throw ToolError("the least-squares solution could not be computed");

  const int32_t df = n - p;
  const double rss = residuals.DotProduct(&residuals);
  const double sigma = std::sqrt(rss / df);
  // R^2 of a constant response is 0/0: not a figure of the data.
  const bool yVaries = !IsConstant(y);

  Report report = StartReport("regress", Data);
  report.Info.emplace_back("response", Fact::Str(yName));
  Table co;
  co.Name = "coefficients";
  co.Title = "Coefficients";
  co.KeyHeader = "term";
  co.Columns = {"estimate", "std error", "t value", "p value", "2.5 %", "97.5 %"};
  co.PColumns = {3};
  // Half-width of the 95 % interval: the 97.5 % point of t with df degrees of freedom.
  const double tq = nuv::tDistriQuantile(0.975, df);
  for (int32_t k = 0; k < p; ++k) {
    const double b = coeffs.GetVal(k + 1);
    const double se = stdErrs.GetVal(k + 1);
    // An exact fit leaves no scatter: t and its probability are then undefined.
    Cell t = Cell::Missing(), pv = Cell::Missing();
    if (se > 0) {
      const double tv = b / se;
      t = Cell::Number(tv);
      pv = Cell::Number(2.0 * nuv::tDistriIntegral(-std::fabs(tv), df));
    }
    co.AddRow(k == 0 ? "(intercept)" : xNames[static_cast<size_t>(k - 1)],
              {Cell::Number(b), Cell::Number(se), t, pv, Cell::Number(b - tq * se),
               Cell::Number(b + tq * se)});
  }
  report.Tables.push_back(std::move(co));

  Table fit;
  fit.Name = "fit";
  fit.Title = "Fit";
  fit.KeyHeader = "statistic";
  fit.Columns = {"value"};
  fit.AddRow("R^2", {yVaries ? Cell::Number(r2) : Cell::Missing()});
  fit.AddRow("adjusted R^2",
             {yVaries ? Cell::Number(1.0 - (1.0 - r2) * (n - 1) / df) : Cell::Missing()});
  fit.AddRow("residual standard error", {Cell::Number(sigma)});
  fit.AddRow("residual degrees of freedom", {Cell::Number(df)});
  fit.AddRow("observations", {Cell::Number(n)});
  // Overall F test of all slopes against the intercept alone: F = ((TSS - RSS)/(p-1)) /
  // (RSS/df); its upper tail is the lower tail of 1/F with the degrees swapped,
  // which keeps small p values.
  double yMean = 0.0, yVar = 0.0;
  y.MeanVar(0, 0, yMean, yVar);
  const double tss = yVar * (n - 1);
  const bool fDefined = yVaries && rss > 0;
  const double f = fDefined ? std::fmax(tss - rss, 0.0) / (p - 1) / (rss / df) : 0.0;
  fit.AddRow("F statistic", {fDefined ? Cell::Number(f) : Cell::Missing()});
  fit.AddRow("F numerator degrees of freedom", {Cell::Number(p - 1)});
  fit.AddRow("F denominator degrees of freedom", {Cell::Number(df)});
  fit.PRows = {fit.Rows.size()};
  const double fp = f > 0 ? nuv::FDistriIntegral(1.0 / f, df, p - 1) : 1.0;
  fit.AddRow("F p value", {fDefined ? Cell::Number(fp) : Cell::Missing()});
  report.Tables.push_back(std::move(fit));
  return report;
}

}  // namespace nuvstat
