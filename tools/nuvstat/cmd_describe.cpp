// describe: the vector statistics of every numeric column over its cells that
// hold a number (missing cells are skipped and counted), and a list of the
// columns left out.
#include <cmath>

#include "Nuv_vector/Nuv_vector.h"
#include "commands.h"
#include "progress.h"

namespace nuvstat {

Report RunDescribe(const DataSet& Data, const Options&) {
  Report report = StartReport("describe", Data, false);
  Table t;
  t.Name = "describe";
  t.Title = "Column statistics";
  t.KeyHeader = "column";
  t.Columns = {"n",      "missing", "mean", "sd",       "min",     "q1",
               "median", "q3",      "max",  "skewness", "kurtosis"};
  const nuv::TDataTable& tab = *Data.Table;
  nuv::TVector col;
  for (size_t k = 0; k < Data.TableCols.size(); ++k) {
    const int32_t c = Data.TableCols[k];
    // The cells that hold a number: neither empty nor invalid.
    const int32_t n = tab.CopyCellsToVector(c, 1, c, tab.NrOfRows(), 255, &col);
    const Cell missing = Cell::Number(static_cast<double>(Data.Missing[k]));
    if (n == 0) {
      std::vector<Cell> cells(t.Columns.size(), Cell::Missing());
      cells[0] = Cell::Number(0);
      cells[1] = missing;
      t.AddRow(Data.Names[k], std::move(cells));
      continue;
    }
    double mean = 0.0, var = 0.0, mn = 0.0, mx = 0.0, q1 = 0.0, q2 = 0.0, q3 = 0.0;
    double skew = 0.0, kurt = 0.0;
    col.MeanVar(0, 0, mean, var);
    col.MinMax(0, 0, mn, mx);
    col.Quartiles(0, 0, q1, q2, q3);
    col.SkewKurtSample(0, 0, skew, kurt);
    CheckInterrupted();
    // The vector's MeanVar reports a variance of 1 for fewer than three values
    // and SkewKurtSample zeros for fewer than four: those are not figures of the data.
    const Cell sd = n >= 3 ? Cell::Number(std::sqrt(var)) : Cell::Missing();
    // A constant column has no shape (SkewKurtSample leaves zeros there too).
    const bool shaped = n >= 4 && mn < mx;
    const Cell sk = shaped ? Cell::Number(skew) : Cell::Missing();
    const Cell ku = shaped ? Cell::Number(kurt) : Cell::Missing();
    t.AddRow(Data.Names[k],
             {Cell::Number(n), missing, Cell::Number(mean), sd, Cell::Number(mn), Cell::Number(q1),
              Cell::Number(q2), Cell::Number(q3), Cell::Number(mx), sk, ku});
  }
  report.Tables.push_back(std::move(t));
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
