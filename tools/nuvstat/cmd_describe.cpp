// describe: the vector statistics of every numeric column over its cells that
// hold a number (missing cells are skipped and counted), per group of a column
// with --by, and a list of the columns left out.
#include <algorithm>
#include <cmath>

#include "Nuv_vector/Nuv_vector.h"
#include "commands.h"
#include "errors.h"
#include "progress.h"
#include "summary_plots.h"

namespace nuvstat {

namespace {

const std::vector<std::string> kStatColumns = {"n",      "missing", "mean", "sd",
                                               "min",    "q1",      "median", "q3",
                                               "max",    "skewness", "kurtosis"};

// The figures of one column's N values in Col, with its Missing count.
std::vector<Cell> Describe(const nuv::TVector& Col, int32_t N, int64_t Missing) {
  const Cell missing = Cell::Number(static_cast<double>(Missing));
  if (N == 0) {
    std::vector<Cell> cells(kStatColumns.size(), Cell::Missing());
    cells[0] = Cell::Number(0);
    cells[1] = missing;
    return cells;
  }
  double mean = 0.0, var = 0.0, mn = 0.0, mx = 0.0, q1 = 0.0, q2 = 0.0, q3 = 0.0;
  double skew = 0.0, kurt = 0.0;
  Col.MeanVar(0, 0, mean, var);
  Col.MinMax(0, 0, mn, mx);
  Col.Quartiles(0, 0, q1, q2, q3);
  Col.SkewKurtSample(0, 0, skew, kurt);
  CheckInterrupted();
  // The vector's MeanVar reports a variance of 1 for fewer than three values
  // and SkewKurtSample zeros for fewer than four: those are not figures of the data.
  const Cell sd = N >= 3 ? Cell::Number(std::sqrt(var)) : Cell::Missing();
  // A constant column has no shape (SkewKurtSample leaves zeros there too).
  const bool shaped = N >= 4 && mn < mx;
  const Cell sk = shaped ? Cell::Number(skew) : Cell::Missing();
  const Cell ku = shaped ? Cell::Number(kurt) : Cell::Missing();
  return {Cell::Number(N),    missing,           Cell::Number(mean), sd,
          Cell::Number(mn),   Cell::Number(q1),  Cell::Number(q2),   Cell::Number(q3),
          Cell::Number(mx),   sk,                ku};
}

Table StatTable() {
  Table t;
  t.Name = "describe";
  t.Title = "Column statistics";
  t.KeyHeader = "column";
  t.Columns = kStatColumns;
  return t;
}

Table Grouped(const DataSet& Data, const Options& Opt) {
  const int32_t byCol = FindTableColumn(Data, Opt.By, "--by");
  std::vector<std::string> names;
  const std::vector<int32_t> group = GroupRows(Data, byCol, names);
  Table t = StatTable();
  t.Title = "Column statistics by " + Data.TableNames[static_cast<size_t>(byCol - 1)];
  t.GroupHeader = Data.TableNames[static_cast<size_t>(byCol - 1)];
  nuv::TVector col;
  std::vector<double> values;
  const nuv::TMatrix& all = Data.AllRows();
  const int32_t rows = all.NrOfRows();
  for (size_t g = 0; g < names.size(); ++g) {
    for (int32_t k = 1; k <= Data.NCols(); ++k) {
      if (Data.TableCols[static_cast<size_t>(k - 1)] == byCol) continue;
      const double* x = all.ColData(k);
      values.clear();
      int64_t missing = 0;
      for (int32_t r = 0; r < rows; ++r) {
        if (group[static_cast<size_t>(r)] != static_cast<int32_t>(g)) continue;
        if (std::isnan(x[r])) ++missing;
        else values.push_back(x[r]);
      }
      const auto n = static_cast<int32_t>(values.size());
      col.Resize(n > 0 ? n : 1);
      std::copy(values.begin(), values.end(), col.Data());
      col.SetIsEmpty(n == 0);
      t.Groups.push_back(names[g]);
      t.AddRow(Data.Names[static_cast<size_t>(k - 1)], Describe(col, n, missing));
    }
  }
  return t;
}

}  // namespace

Report RunDescribe(const DataSet& Data, const Options& Opt) {
  Report report = StartReport("describe", Data, false);
  if (!Opt.PlotFile.empty())
    WriteHistograms(Data, Opt.By.empty() ? 0 : FindTableColumn(Data, Opt.By, "--by"),
                    Opt.PlotFile);
  if (!Opt.By.empty()) {
    report.Tables.push_back(Grouped(Data, Opt));
  } else {
    Table t = StatTable();
    const nuv::TDataTable& tab = *Data.Table;
    nuv::TVector col;
    for (size_t k = 0; k < Data.TableCols.size(); ++k) {
      const int32_t c = Data.TableCols[k];
      // The cells that hold a number: neither empty nor invalid.
      const int32_t n = tab.CopyCellsToVector(c, 1, c, tab.NrOfRows(), 255, &col);
      t.AddRow(Data.Names[k], Describe(col, n, Data.Missing[k]));
    }
    report.Tables.push_back(std::move(t));
  }
  if (!Data.Others.empty()) {
    Table o;
    o.Name = "other_columns";
    o.Title = "Columns left out (nominal: labels; text: too many or clashing labels)";
    o.KeyHeader = "column";
    o.Columns = {"labels", "missing"};
    for (const OtherColumn& c : Data.Others)
      o.AddRow(c.Name + " (" + c.Kind + ")", {Cell::Number(static_cast<double>(c.Labels)),
                                              Cell::Number(static_cast<double>(c.Missing))});
    report.Tables.push_back(std::move(o));
  }
  return report;
}

}  // namespace nuvstat
