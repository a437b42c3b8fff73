// test: the analyses of one column at a time (Shapiro-Wilk, Kolmogorov-Smirnov
// and Lilliefors, Grubbs and Dixon, runs), each over the column's cells that hold
// a number, copied once into a work vector the library may reorder.
#include <cmath>

#include "Nuv_statis/Nuv_statis.h"
#include "errors.h"
#include "input_text.h"
#include "progress.h"
#include "test_common.h"

namespace nuvstat {

namespace {

// Calls Test(column index, its values) for each tested column with at least Least values.
template <class TestFn>
void ForEachColumn(const DataSet& Data, const std::string& What, int32_t Least, TestFn Test) {
  const nuv::TMatrix& all = Data.AllRows();
  nuv::TVector x;
  for (int32_t k : TestedColumns(Data, 0, What)) {
    const int32_t n = GatherValues(all.ColData(k + 1), all.NrOfRows(), nullptr, 0, x);
    RequireValues(Data, n, Least, What, ColumnPlace(Data, k));
    Test(k, x);
    CheckInterrupted();
  }
}

void AddRow(Table& T, std::string Group, std::string Label, std::vector<Cell> Cells,
            std::string Text) {
  if (!T.GroupHeader.empty()) T.Groups.push_back(std::move(Group));
  T.Texts.push_back(std::move(Text));
  T.AddRow(std::move(Label), std::move(Cells));
}

bool IsConstant(const nuv::TVector& V) {
  double mn = 0.0, mx = 0.0;
  V.MinMax(0, 0, mn, mx);
  return !(mn < mx);
}

// The data row (from 1) of the Position-th value (from 1) of a column.
int32_t DataRowOf(const DataSet& Data, int32_t K, int32_t Position) {
  const nuv::TMatrix& all = Data.AllRows();
  const double* x = all.ColData(K + 1);
  for (int32_t r = 0, seen = 0; r < all.NrOfRows(); ++r)
    if (!std::isnan(x[r]) && ++seen == Position) return r + 1;
  return 0;
}

// The level of Dixon's table that --alpha names.
nuv::TSignifLevelEx DixonLevel(const DataSet& Data, double Alpha) {
  for (int i = 0; i < 9; ++i)
    if (std::fabs(Alpha - nuv::NumericSigLevel[i]) <= 1e-9 * nuv::NumericSigLevel[i])
      return static_cast<nuv::TSignifLevelEx>(i);
  throw ToolError(Data.Source + ": --alpha " + RoundTripText(Alpha) +
                  ": Dixon's table has the levels 0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1, "
                  "0.2 and 0.5 (or use --method grubbs)");
}

}  // namespace

Report RunShapiro(const DataSet& Data, const Options& Opt) {
  Report report = StartTestReport(Data, Opt, "Shapiro-Wilk test",
                                  "the column comes from a normal distribution");
  Table t = TestTable("Shapiro-Wilk test", "column", {"n", "left out", "W", "p value"}, 3);
  ForEachColumn(Data, "shapiro", 3, [&](int32_t K, const nuv::TVector& X) {
    const int32_t n = X.NrOfElem();
    if (n > 5000)
      throw ToolError(Data.Source + ": shapiro takes at most 5000 values, " + ColumnPlace(Data, K) +
                      " has " + std::to_string(n) + " (test normality instead)");
    double w = 0.0;
    const double p = nuv::ShapiroWilkTest(&X, w);
    // All values equal (-2): W is 0/0, no test.
    const Cell pc = p >= 0.0 ? Cell::Number(p) : Cell::Missing();
    AddRow(t, {}, Data.Names[static_cast<size_t>(K)],
           {Count(n), Count(Data.FileRows - n), p >= 0.0 ? Cell::Number(w) : Cell::Missing(), pc},
           Decision(pc, Opt.Alpha));
  });
  report.Tables.push_back(std::move(t));
  return report;
}

Report RunNormality(const DataSet& Data, const Options& Opt) {
  const std::string normal = "N(" + RoundTripText(Opt.Mu) + ", " + RoundTripText(Opt.Sd) + "^2)";
  Report report =
      StartTestReport(Data, Opt, "Kolmogorov-Smirnov test against " + normal + ", Lilliefors test",
                      "the column comes from " + normal +
                          " (Kolmogorov-Smirnov), from a normal distribution "
                          "(Lilliefors)");
  Table t = TestTable("Tests of normality", "test", {"n", "left out", "D", "p value"}, 3);
  t.GroupHeader = "column";
  ForEachColumn(Data, "normality", 3, [&](int32_t K, nuv::TVector& X) {
    const int32_t n = X.NrOfElem();
    const std::string& name = Data.Names[static_cast<size_t>(K)];
    const bool constant = IsConstant(X);
    // Against N(mu, sd^2): the distance of (x - mu)/sd to the standard normal.
    if (Opt.Mu != 0.0 || Opt.Sd != 1.0) {
      double* x = X.Data();
      for (int32_t i = 0; i < n; ++i) x[i] = (x[i] - Opt.Mu) / Opt.Sd;
    }
    const double dKs = nuv::PerformKSNormalityTest(&X, false);
    const Cell pKs = Cell::Number(nuv::KSPValue(n, dKs));
    AddRow(t, name, "Kolmogorov-Smirnov",
           {Count(n), Count(Data.FileRows - n), Cell::Number(dKs), pKs}, Decision(pKs, Opt.Alpha));
    // The vector is sorted now; standardizing keeps the order. A constant column
    // has no standard deviation to standardize by.
    Cell dL = Cell::Missing(), pL = Cell::Missing();
    if (!constant) {
      dL = Cell::Number(nuv::PerformLillieforsTest(&X, true));
      if (n > 5) pL = Cell::Number(nuv::LillieforsPValue(n, dL.Value));
    }
    AddRow(t, name, "Lilliefors", {Count(n), Count(Data.FileRows - n), dL, pL},
           Decision(pL, Opt.Alpha));
  });
  report.Tables.push_back(std::move(t));
  return report;
}

Report RunOutliers(const DataSet& Data, const Options& Opt) {
  const bool grubbs = Opt.Outliers != "dixon";
  const bool dixon = Opt.Outliers != "grubbs";
  const nuv::TSignifLevelEx level = dixon ? DixonLevel(Data, Opt.Alpha) : nuv::Dot050;
  Report report = StartTestReport(Data, Opt,
                                  grubbs && dixon ? "Grubbs' test, Dixon's test"
                                  : grubbs        ? "Grubbs' test (two-sided)"
                                                  : "Dixon's test",
                                  "the column has no outlier");
  Table t = TestTable("Outlier tests", "test",
                      {"n", "left out", "statistic", "critical value", "suspect", "row"}, 0);
  t.PColumns.clear();
  t.GroupHeader = "column";
  // Dixon's test reads 3 values, Grubbs' 4.
  ForEachColumn(Data, "outliers", grubbs ? 4 : 3, [&](int32_t K, const nuv::TVector& X) {
    const int32_t n = X.NrOfElem();
    const std::string& name = Data.Names[static_cast<size_t>(K)];
    auto add = [&](const char* Test, double Statistic, double Critical, int32_t Position) {
      const bool found = Position > 0;
      AddRow(t, name, Test,
             {Count(n), Count(Data.FileRows - n), Cell::Number(Statistic), Cell::Number(Critical),
              found ? Cell::Number(X.GetVal(Position)) : Cell::Missing(),
              found ? Count(DataRowOf(Data, K, Position)) : Cell::Missing()},
             found ? "outlier" : "no outlier");
    };
    if (grubbs) {
      double g = 0.0;
      const int32_t pos = nuv::GrubbsTest(&X, Opt.Alpha, g);
      add("Grubbs", g, nuv::GrubbsCriticalValues(n, Opt.Alpha, true), pos);
    }
    if (dixon) {
      if (n > 100)
        throw ToolError(Data.Source + ": Dixon's test takes 3 to 100 values, " +
                        ColumnPlace(Data, K) + " has " + std::to_string(n) +
                        (grubbs ? " (use --method grubbs)" : " (use --method grubbs instead)"));
      double r = 0.0;
      const int32_t pos = nuv::DeanDixonTest(&X, level, r);
      add("Dixon", r, nuv::DeanDixonCriticalValues(n, level), pos);
    }
  });
  report.Tables.push_back(std::move(t));
  return report;
}

Report RunRuns(const DataSet& Data, const Options& Opt) {
  Report report = StartTestReport(Data, Opt, "runs test above and below the median",
                                  "the values above the median and the others come in random "
                                  "order");
  Table t = TestTable("Runs test", "column",
                      {"n", "left out", "above", "below", "runs", "expected runs", "p value"}, 6);
  ForEachColumn(Data, "runs", 2, [&](int32_t K, const nuv::TVector& X) {
    const int32_t n = X.NrOfElem();
    double q1 = 0.0, median = 0.0, q3 = 0.0;
    X.Quartiles(0, 0, q1, median, q3);
    // The library's rule: a value counts as above when it exceeds the median.
    const double* x = X.Data();
    int32_t above = 0, runs = 1;
    for (int32_t i = 0; i < n; ++i) {
      above += x[i] > median ? 1 : 0;
      if (i > 0 && (x[i] > median) != (x[i - 1] > median)) ++runs;
    }
    const int32_t below = n - above;
    // With one kind only there is nothing to test (the library would report p = 0).
    Cell p = Cell::Missing();
    if (above > 0 && below > 0) {
      double pv = 0.0;
      nuv::RunsTestSerial(&X, pv);
      p = Cell::Number(pv);
    }
    const double expected = 2.0 * above * below / n + 1.0;
    AddRow(t, {}, Data.Names[static_cast<size_t>(K)],
           {Count(n), Count(Data.FileRows - n), Count(above), Count(below), Count(runs),
            Cell::Number(expected), p},
           Decision(p, Opt.Alpha));
  });
  report.Tables.push_back(std::move(t));
  return report;
}

}  // namespace nuvstat
