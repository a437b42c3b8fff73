// test: the hypothesis tests of the library on the columns. This file holds the
// tests that compare samples (t tests, Mann-Whitney, one-way analysis of
// variance) and the dispatch; the tests of one column at a time are in
// test_columns.cpp.
#include <algorithm>
#include <cmath>

#include "Nuv_statis/Nuv_statis.h"
#include "commands.h"
#include "errors.h"
#include "input_text.h"
#include "progress.h"
#include "test_common.h"

namespace nuvstat {

namespace {

// The rows of a --by column with exactly two groups.
struct TwoGroups {
  int32_t ByCol = 0;
  std::vector<int32_t> Group;
  std::vector<std::string> Names;
};

std::string GroupList(const std::vector<std::string>& Names) {
  std::string list;
  for (size_t g = 0; g < Names.size() && g < 5; ++g) list += (g == 0 ? "" : ", ") + Names[g];
  if (Names.size() > 5) list += ", ...";
  return list;
}

TwoGroups SplitInTwo(const DataSet& Data, const Options& Opt) {
  TwoGroups s;
  s.ByCol = FindTableColumn(Data, Opt.By, "--by");
  s.Group = GroupRows(Data, s.ByCol, s.Names);
  if (s.Names.size() != 2)
    throw ToolError(Data.Source + ": --by: column " +
                    Quoted(Data.TableNames[static_cast<size_t>(s.ByCol - 1)]) + " has " +
                    std::to_string(s.Names.size()) + " groups" +
                    (s.Names.empty() ? "" : " (" + GroupList(s.Names) + ")") + ": " + Opt.Sub +
                    " compares two");
  return s;
}

// The two columns of a two-sample test without --by.
std::pair<int32_t, int32_t> TwoColumns(const DataSet& Data, const Options& Opt) {
  const std::vector<int32_t> cols = TestedColumns(Data, 0, Opt.Sub);
  if (cols.size() != 2) {
    std::string names;
    for (int32_t k : cols)
      names += (names.empty() ? "" : ", ") + Data.Names[static_cast<size_t>(k)];
    throw ToolError(
        Data.Source + ": " + Opt.Sub + " compares two columns, the data has " +
        std::to_string(cols.size()) + " (" + names + "): choose two with --columns a,b" +
        (Opt.Sub == "ttest" ? ", or give --mu M or --by COLUMN" : ", or give --by COLUMN"));
  }
  return {cols[0], cols[1]};
}

// The rows where both X and Y hold a number, as two vectors; returns their count.
int32_t GatherPairs(const double* X, const double* Y, int32_t Rows, nuv::TVector& A,
                    nuv::TVector& B) {
  int32_t n = 0;
  for (int32_t r = 0; r < Rows; ++r) n += !std::isnan(X[r]) && !std::isnan(Y[r]) ? 1 : 0;
  if (n == 0) return 0;
  A.Resize(n);
  B.Resize(n);
  double* a = A.Data();
  double* b = B.Data();
  for (int32_t r = 0; r < Rows; ++r)
    if (!std::isnan(X[r]) && !std::isnan(Y[r])) {
      *a++ = X[r];
      *b++ = Y[r];
    }
  A.SetIsEmpty(false);
  B.SetIsEmpty(false);
  return n;
}

double MeanOf(const nuv::TVector& V) {
  double mean = 0.0, var = 0.0;
  V.MeanVar(0, 0, mean, var);
  return mean;
}

// t, degrees of freedom and p value of the library's t test. Equal samples without
// scatter leave t undefined (0/0): n/a, as is the decision.
std::vector<Cell> TCells(const nuv::TVector& A, const nuv::TVector& B, nuv::TtTestVersion V) {
  double t = 0.0, df = 0.0;
  const double p = nuv::Perform2SampleTTest(&A, &B, V, t, df);
  CheckInterrupted();
  if (p == -4.0) return {Cell::Missing(), Cell::Number(df), Cell::Missing()};
  // The callers have checked the sizes the test needs, so other codes cannot occur.
  if (p < 0.0) throw ToolError("the t test failed (code " + RoundTripText(p) + ")");
  return {Cell::Number(t), Cell::Number(df), Cell::Number(p)};
}

void AddTestRow(Table& T, std::string Label, std::vector<Cell> Cells, double Alpha) {
  T.Texts.push_back(Decision(Cells[T.PColumns[0]], Alpha));
  T.AddRow(std::move(Label), std::move(Cells));
}

void Append(std::vector<Cell>& To, const std::vector<Cell>& More) {
  To.insert(To.end(), More.begin(), More.end());
}

// One column at a time against the mean --mu: the paired test of the column against
// a vector of mu is the one-sample test (differences x - mu, n - 1 degrees of freedom).
Report OneSampleTTest(const DataSet& Data, const Options& Opt) {
  Report report = StartTestReport(Data, Opt, "one-sample t test",
                                  "the mean of the column is " + RoundTripText(Opt.Mu));
  Table t = TestTable("One-sample t test against mu = " + RoundTripText(Opt.Mu), "column",
                      {"n", "left out", "mean", "t", "df", "p value"}, 5);
  const nuv::TMatrix& all = Data.AllRows();
  nuv::TVector x, mu;
  for (int32_t k : TestedColumns(Data, 0, "ttest")) {
    const int32_t n = GatherValues(all.ColData(k + 1), all.NrOfRows(), nullptr, 0, x);
    RequireValues(Data, n, 2, "ttest --mu", ColumnPlace(Data, k));
    mu.Resize(n);
    std::fill(mu.Data(), mu.Data() + n, Opt.Mu);
    mu.SetIsEmpty(false);
    std::vector<Cell> cells = {Count(n), Count(Data.FileRows - n), Cell::Number(MeanOf(x))};
    Append(cells, TCells(x, mu, nuv::ttPaired));
    AddTestRow(t, Data.Names[static_cast<size_t>(k)], std::move(cells), Opt.Alpha);
  }
  report.Tables.push_back(std::move(t));
  return report;
}

Report PairedTTest(const DataSet& Data, const Options& Opt) {
  const auto [ka, kb] = TwoColumns(Data, Opt);
  const std::string& na = Data.Names[static_cast<size_t>(ka)];
  const std::string& nb = Data.Names[static_cast<size_t>(kb)];
  Report report = StartTestReport(Data, Opt, "paired t test",
                                  "the mean difference " + na + " - " + nb + " is 0");
  Table t = TestTable("Paired t test", "pair",
                      {"n", "left out", "mean difference", "t", "df", "p value"}, 5);
  const nuv::TMatrix& all = Data.AllRows();
  nuv::TVector a, b;
  const int32_t n = GatherPairs(all.ColData(ka + 1), all.ColData(kb + 1), all.NrOfRows(), a, b);
  RequireValues(Data, n, 2, "ttest --paired",
                "the pair " + Quoted(na) + ", " + Quoted(nb) + " (rows where both hold a number)");
  std::vector<Cell> cells = {Count(n), Count(Data.FileRows - n),
                             Cell::Number(MeanOf(a) - MeanOf(b))};
  Append(cells, TCells(a, b, nuv::ttPaired));
  AddTestRow(t, na + " - " + nb, std::move(cells), Opt.Alpha);
  report.Tables.push_back(std::move(t));
  return report;
}

// The two samples of each tested row: two columns, or each column split by --by.
struct SamplePlan {
  bool ByGroups = false;
  TwoGroups Split;
  std::vector<int32_t> Columns;  // by groups: the columns split; else the two columns
};

SamplePlan PlanSamples(const DataSet& Data, const Options& Opt) {
  SamplePlan plan;
  if (!Opt.By.empty()) {
    plan.ByGroups = true;
    plan.Split = SplitInTwo(Data, Opt);
    plan.Columns = TestedColumns(Data, plan.Split.ByCol, Opt.Sub);
  } else {
    const auto [a, b] = TwoColumns(Data, Opt);
    plan.Columns = {a, b};
  }
  return plan;
}

// Calls Test(label, first sample, second sample, cells left out, the samples' place in
// messages) for each row of the plan.
template <class TestFn>
void ForEachSamplePair(const DataSet& Data, const SamplePlan& Plan, const std::string& What,
                       int32_t Least, TestFn Test) {
  const nuv::TMatrix& all = Data.AllRows();
  const int32_t rows = all.NrOfRows();
  nuv::TVector a, b;
  if (!Plan.ByGroups) {
    const int32_t ka = Plan.Columns[0], kb = Plan.Columns[1];
    const int32_t n1 = GatherValues(all.ColData(ka + 1), rows, nullptr, 0, a);
    RequireValues(Data, n1, Least, What, ColumnPlace(Data, ka));
    const int32_t n2 = GatherValues(all.ColData(kb + 1), rows, nullptr, 0, b);
    RequireValues(Data, n2, Least, What, ColumnPlace(Data, kb));
    Test(Data.Names[static_cast<size_t>(ka)] + " vs " + Data.Names[static_cast<size_t>(kb)], a, b,
         2 * static_cast<int64_t>(Data.FileRows) - n1 - n2,
         "columns " + Quoted(Data.Names[static_cast<size_t>(ka)]) + " and " +
             Quoted(Data.Names[static_cast<size_t>(kb)]) + " together have");
    return;
  }
  for (int32_t k : Plan.Columns) {
    const double* x = all.ColData(k + 1);
    int32_t n[2];
    nuv::TVector* v[2] = {&a, &b};
    for (int32_t g = 0; g < 2; ++g) {
      n[g] = GatherValues(x, rows, &Plan.Split.Group, g, *v[g]);
      RequireValues(
          Data, n[g], Least, What,
          ColumnPlace(Data, k) + " in group " + Quoted(Plan.Split.Names[static_cast<size_t>(g)]));
    }
    Test(Data.Names[static_cast<size_t>(k)], a, b,
         static_cast<int64_t>(Data.FileRows) - n[0] - n[1],
         ColumnPlace(Data, k) + " has in its two groups");
  }
}

void AddGroupFacts(Report& R, const DataSet& Data, const SamplePlan& Plan) {
  if (!Plan.ByGroups) return;
  R.Info.emplace_back("by", Fact::Str(Data.TableNames[static_cast<size_t>(Plan.Split.ByCol - 1)]));
  R.Info.emplace_back("group 1", Fact::Str(Plan.Split.Names[0]));
  R.Info.emplace_back("group 2", Fact::Str(Plan.Split.Names[1]));
}

Report TwoSampleTTest(const DataSet& Data, const Options& Opt) {
  const SamplePlan plan = PlanSamples(Data, Opt);
  const std::string kind = Opt.Welch ? "separate variances (Welch)" : "pooled variance (Student)";
  Report report = StartTestReport(
      Data, Opt, "two-sample t test, " + kind,
      plan.ByGroups ? "the two groups have equal means" : "the two columns have equal means");
  AddGroupFacts(report, Data, plan);
  Table t = TestTable("Two-sample t test, " + kind, plan.ByGroups ? "column" : "columns",
                      {"n1", "n2", "left out", "mean1", "mean2", "t", "df", "p value"}, 7);
  const nuv::TtTestVersion version = Opt.Welch ? nuv::ttHeteroScedastic : nuv::ttHomoScedastic;
  const std::string what = Opt.Welch ? "ttest --welch" : "ttest";
  ForEachSamplePair(Data, plan, what, Opt.Welch ? 2 : 1,
                    [&](std::string Label, const nuv::TVector& A, const nuv::TVector& B,
                        int64_t LeftOut, const std::string& Where) {
                      const int32_t n1 = A.NrOfElem(), n2 = B.NrOfElem();
                      // The pooled variance needs one degree of freedom from either sample.
                      if (!Opt.Welch && n1 + n2 < 3)
                        throw ToolError(Data.Source +
                                        ": too few values: ttest needs at least 3 "
                                        "in the two samples together, " +
                                        Where + " " + std::to_string(n1 + n2));
                      std::vector<Cell> cells = {Count(n1), Count(n2), Count(LeftOut),
                                                 Cell::Number(MeanOf(A)), Cell::Number(MeanOf(B))};
                      Append(cells, TCells(A, B, version));
                      AddTestRow(t, std::move(Label), std::move(cells), Opt.Alpha);
                    });
  report.Tables.push_back(std::move(t));
  return report;
}

Report RunTTest(const DataSet& Data, const Options& Opt) {
  if (Opt.HaveMu) return OneSampleTTest(Data, Opt);
  if (Opt.Paired) return PairedTTest(Data, Opt);
  return TwoSampleTTest(Data, Opt);
}

Report RunMannWhitney(const DataSet& Data, const Options& Opt) {
  const SamplePlan plan = PlanSamples(Data, Opt);
  Report report = StartTestReport(Data, Opt, "Mann-Whitney U test (Wilcoxon rank sum), two-sided",
                                  "the two samples come from one distribution");
  AddGroupFacts(report, Data, plan);
  Table t = TestTable("Mann-Whitney U test", plan.ByGroups ? "column" : "columns",
                      {"n1", "n2", "left out", "U", "z", "p value"}, 5);
  ForEachSamplePair(Data, plan, "mannwhitney", 1,
                    [&](std::string Label, const nuv::TVector& A, const nuv::TVector& B,
                        int64_t LeftOut, const std::string&) {
                      double u = 0.0, z = 0.0;
                      const double p = nuv::PerformMannWhitneyUTest(&A, &B, u, z);
                      CheckInterrupted();
                      AddTestRow(t, std::move(Label),
                                 {Count(A.NrOfElem()), Count(B.NrOfElem()), Count(LeftOut),
                                  Cell::Number(u), Cell::Number(z), Cell::Number(p)},
                                 Opt.Alpha);
                    });
  report.Tables.push_back(std::move(t));
  return report;
}

Report RunAnova(const DataSet& Data, const Options& Opt) {
  const int32_t byCol = FindTableColumn(Data, Opt.By, "--by");
  std::vector<std::string> names;
  const std::vector<int32_t> group = GroupRows(Data, byCol, names);
  const std::string byName = Data.TableNames[static_cast<size_t>(byCol - 1)];
  Report report =
      StartTestReport(Data, Opt, "one-way analysis of variance", "the groups have equal means");
  report.Info.emplace_back("by", Fact::Str(byName));
  report.Info.emplace_back("groups", Fact::Number(static_cast<double>(names.size())));
  Table t = TestTable("One-way analysis of variance by " + byName, "column",
                      {"groups", "n", "left out", "SS between", "SS within", "F", "df between",
                       "df within", "p value"},
                      8);
  const nuv::TMatrix& all = Data.AllRows();
  const int32_t rows = all.NrOfRows();
  nuv::TVector values;
  nuv::TIntVector groups;
  std::vector<uint8_t> seen;
  for (int32_t k : TestedColumns(Data, byCol, "anova")) {
    const double* x = all.ColData(k + 1);
    int32_t n = 0;
    for (int32_t r = 0; r < rows; ++r) n += !std::isnan(x[r]) && group[static_cast<size_t>(r)] >= 0;
    // k groups with values among N values: the test needs k >= 2 and N > k.
    seen.assign(names.size(), 0);
    if (n > 0) {
      values.Resize(n);
      groups.Resize(n);
      double* v = values.Data();
      int32_t* g = groups.Data();
      for (int32_t r = 0; r < rows; ++r) {
        const int32_t gr = group[static_cast<size_t>(r)];
        if (std::isnan(x[r]) || gr < 0) continue;
        *v++ = x[r];
        *g++ = gr;
        seen[static_cast<size_t>(gr)] = 1;
      }
      values.SetIsEmpty(false);
      groups.SetIsEmpty(false);
    }
    const auto kGroups = static_cast<int32_t>(std::count(seen.begin(), seen.end(), 1));
    if (kGroups < 2)
      throw ToolError(Data.Source + ": anova compares at least two groups, " +
                      ColumnPlace(Data, k) + " has values in " + std::to_string(kGroups) +
                      " group" + (kGroups == 1 ? "" : "s") + " of " + Quoted(byName));
    RequireValues(Data, n, kGroups + 1, "anova of " + std::to_string(kGroups) + " groups",
                  ColumnPlace(Data, k));
    double ssb = 0.0, ssw = 0.0, sst = 0.0, f = 0.0;
    int32_t dfb = 0, dfw = 0, dft = 0;
    const double p = nuv::Anova1F(&values, &groups, ssb, ssw, sst, dfb, dfw, dft, f);
    CheckInterrupted();
    // No variation at all leaves F undefined (0/0).
    const bool undefined = p == -3.0;
    if (p < 0.0 && !undefined)
      throw ToolError("the analysis of variance failed (code " + RoundTripText(p) + ")");
    AddTestRow(t, Data.Names[static_cast<size_t>(k)],
               {Count(kGroups), Count(n), Count(Data.FileRows - n), Cell::Number(ssb),
                Cell::Number(ssw), undefined ? Cell::Missing() : Cell::Number(f), Count(dfb),
                Count(dfw), undefined ? Cell::Missing() : Cell::Number(p)},
               Opt.Alpha);
  }
  report.Tables.push_back(std::move(t));
  return report;
}

}  // namespace

Report RunTest(const DataSet& Data, const Options& Opt) {
  SetProgressLabel(Opt.Sub);
  if (Opt.Sub == "ttest") return RunTTest(Data, Opt);
  if (Opt.Sub == "mannwhitney") return RunMannWhitney(Data, Opt);
  if (Opt.Sub == "anova") return RunAnova(Data, Opt);
  if (Opt.Sub == "shapiro") return RunShapiro(Data, Opt);
  if (Opt.Sub == "normality") return RunNormality(Data, Opt);
  if (Opt.Sub == "outliers") return RunOutliers(Data, Opt);
  return RunRuns(Data, Opt);
}

}  // namespace nuvstat
