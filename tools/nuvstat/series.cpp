#include "series.h"

#include <cmath>

#include "errors.h"
#include "svg_plot.h"

namespace nuvstat {

int32_t SeriesColumn(const DataSet& Data, const std::string& NameOrNumber, bool Whole,
                     const std::string& What, nuv::TVector& Vec) {
  const int32_t k = FindColumn(Data, NameOrNumber);
  const nuv::TMatrix& all = Data.AllRows();
  const int32_t n = all.NrOfRows();
  const double* x = all.ColData(k + 1);
  const std::string& name = Data.Names[static_cast<size_t>(k)];
  int32_t kept = 0;
  Vec.Resize(n > 0 ? n : 1);
  double* dst = Vec.Data();
  for (int32_t r = 0; r < n; ++r) {
    if (!std::isnan(x[r])) {
      dst[kept++] = x[r];
      continue;
    }
    // A gap in a series would join values that are not neighbours: refused.
    if (Whole)
      throw ToolError(Data.Source + ", data row " + std::to_string(r + 1) + ", column \"" + name +
                      "\": missing value: " + What +
                      " needs a number in every row of the series (fill the gap or cut the file)");
  }
  if (kept == 0)
    throw ToolError(Data.Source + ": column \"" + name + "\" holds no number: " + What +
                    " needs values");
  if (kept < n) Vec.Resize(kept);
  Vec.SetIsEmpty(false);
  return k;
}

Table SeriesTable(const std::string& Name, const std::string& Title,
                  const std::string& ValueName, const nuv::TVector& Values,
                  const std::string& ResultName, const nuv::TVector& Results) {
  Table t;
  t.Name = Name;
  t.Title = Title;
  t.KeyHeader = "row";
  t.Columns = {ValueName, ResultName};
  const int32_t n = Values.NrOfElem();
  t.RowLabels.reserve(static_cast<size_t>(n));
  t.Rows.reserve(static_cast<size_t>(n));
  const double* v = Values.Data();
  const double* res = Results.Data();
  for (int32_t r = 0; r < n; ++r)
    t.AddRow(std::to_string(r + 1), {Cell::Number(v[r]), Cell::Number(res[r])});
  return t;
}

void WriteCurvePlot(const std::string& File, const std::string& Title, const std::string& XLabel,
                    const std::string& YLabel, std::vector<double> X, std::vector<double> Y,
                    bool YFromZero) {
  Plot plot;
  PlotPanel panel;
  panel.Title = Title;
  panel.XLabel = XLabel;
  panel.YLabel = YLabel;
  panel.YFromZero = YFromZero;
  PlotSeries s;
  s.What = PlotSeries::kLine;
  s.X = std::move(X);
  s.Y = std::move(Y);
  panel.Series.push_back(std::move(s));
  plot.Panels.push_back(std::move(panel));
  WritePlot(plot, File);
}

}  // namespace nuvstat
