// density: the library's Gaussian kernel density estimate of one column on a grid.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "Nuv_statis/Nuv_statis.h"
#include "commands.h"
#include "errors.h"
#include "progress.h"
#include "series.h"

namespace nuvstat {

Report RunDensity(const DataSet& Data, const Options& Opt) {
  nuv::TVector values;
  const int32_t k = SeriesColumn(Data, Opt.Column, false, "density", values);
  const std::string& name = Data.Names[static_cast<size_t>(k)];
  const int32_t n = values.NrOfElem();
  const int64_t missing = Data.Missing[static_cast<size_t>(k)];
  double mn = 0.0, mx = 0.0;
  values.MinMax(0, 0, mn, mx);
  if (n < 2 || !(mn < mx))
    throw ToolError(Data.Source + ": column \"" + name + "\": density needs at least 2 values " +
                    "that are not all equal, the column has " + std::to_string(n) +
                    (n >= 2 ? " equal ones" : ""));

  // A fixed width is the library's estimate with every kernel that wide (window 0);
  // the adaptive one takes its widths from the local spacing within the window.
  const bool adaptive = Opt.LocalWindow > 0;
  double width = Opt.Bandwidth;
  if (!adaptive && !(width > 0)) {
    double mean = 0.0, var = 0.0;
    values.MeanVar(0, 0, mean, var);
    // Scott's rule; MeanVar's variance has the divisor n - 1 from three values on.
    if (n < 3) var = (mx - mn) * (mx - mn) / 2;
    width = std::sqrt(var) * std::pow(static_cast<double>(n), -0.2);
  }
  // The grid's default ends lie three widths beyond the extremes (the largest adaptive
  // width is the window times the factor: a spacing met within the window is shorter).
  const double reach = adaptive ? Opt.Factor * Opt.LocalWindow : width;
  const double lo = std::isnan(Opt.From) ? mn - 3 * reach : Opt.From;
  const double hi = std::isnan(Opt.To) ? mx + 3 * reach : Opt.To;
  if (!(lo < hi))
    throw ToolError(Data.Source + ": --from " + ShortText(lo) + " and --to " + ShortText(hi) +
                    ": the grid needs its start below its end");

  nuv::TVector density;
  int32_t maxIdx = 0, minIdx = 0;
  SetProgressLabel("density");
  nuv::EstimateProbDensity(&values, &density, lo, hi, adaptive ? Opt.Factor : width,
                           adaptive ? Opt.LocalWindow : 0.0, Opt.Grid - 1, maxIdx, minIdx, {});
  CheckInterrupted();

  Report report = StartReport("density", Data, false);
  report.Info.emplace_back("column", Fact::Str(name));
  report.Info.emplace_back("values", Fact::Number(n));
  if (missing > 0)
    report.Info.emplace_back("missing values left out", Fact::Number(static_cast<double>(missing)));
  if (adaptive) {
    report.Info.emplace_back("kernel widths", Fact::Str("local spacing"));
    report.Info.emplace_back("window", Fact::Number(Opt.LocalWindow));
    report.Info.emplace_back("factor", Fact::Number(Opt.Factor));
  } else {
    report.Info.emplace_back("kernel width", Fact::Number(width));
    if (!(Opt.Bandwidth > 0)) report.Info.emplace_back("width rule", Fact::Str("Scott"));
  }
  const int32_t points = density.NrOfElem();
  const double step = (hi - lo) / (points - 1);
  report.Info.emplace_back("mode", Fact::Number(lo + (maxIdx - 1) * step));

  Table t;
  t.Name = "density";
  t.Title = "Density estimate";
  t.KeyHeader = "point";
  t.Columns = {"x", "density"};
  const double* d = density.Data();
  for (int32_t i = 0; i < points; ++i)
    t.AddRow(std::to_string(i + 1), {Cell::Number(i == points - 1 ? hi : lo + i * step),
                                     Cell::Number(d[i])});

  if (!Opt.PlotFile.empty()) {
    std::vector<double> x, y;
    x.reserve(t.Rows.size());
    y.reserve(t.Rows.size());
    for (const auto& row : t.Rows) {
      x.push_back(row[0].Value);
      y.push_back(row[1].Value);
    }
    WriteCurvePlot(Opt.PlotFile, "Density of " + name + " (" + std::to_string(n) + " values)",
                   name, "density", std::move(x), std::move(y), true);
  }
  report.Tables.push_back(std::move(t));
  return report;
}

}  // namespace nuvstat
