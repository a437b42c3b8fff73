#include "summary_plots.h"

#include <algorithm>
#include <cmath>

#include "Nuv_vector/Nuv_vector.h"
#include "errors.h"
#include "progress.h"
#include "svg_plot.h"

namespace nuvstat {

namespace {

// The bars of one column's histogram: Sturges' bin count over its range.
PlotPanel Histogram(const nuv::TVector& Col, int32_t N, const std::string& Name) {
  PlotPanel panel;
  panel.Title = Name + " (n = " + std::to_string(N) + ")";
  panel.XLabel = Name;
  panel.YLabel = "count";
  panel.YFromZero = true;
  PlotSeries bars;
  bars.What = PlotSeries::kBars;
  if (N > 0) {
    double mn = 0.0, mx = 0.0;
    Col.MinMax(1, N, mn, mx);
    const int32_t bins =
        mn < mx ? std::min(50, 1 + static_cast<int32_t>(std::ceil(std::log2(N)))) : 1;
    // A constant column gets one bar a unit wide around its value.
    const double width = mn < mx ? (mx - mn) / bins : 1.0;
    const double first = mn < mx ? mn : mn - 0.5;
    nuv::TIntVector counts;
    int32_t under = 0, over = 0, most = 0;
    if (Col.Histogram(1, N, first, first + bins * width, width, &counts, under, over, most)) {
      // The largest value lies at the end of the last bin, which counts it as overflow.
      for (int32_t b = 0; b < counts.NrOfElem(); ++b) {
        double c = counts.GetVal(b + 1);
        if (b == counts.NrOfElem() - 1) c += over;
        bars.X.push_back(first + b * width);
        bars.Y.push_back(c);
      }
      bars.BarWidth = width;
    }
  }
  panel.Series.push_back(std::move(bars));
  return panel;
}

}  // namespace

void WriteHistograms(const DataSet& Data, int32_t ByCol, const std::string& File) {
  Plot plot;
  plot.Title = "Histograms of " + Data.Source;
  const nuv::TDataTable& tab = *Data.Table;
  nuv::TVector col;
  for (size_t k = 0; k < Data.TableCols.size(); ++k) {
    const int32_t c = Data.TableCols[k];
    if (c == ByCol) continue;
    const int32_t n = tab.CopyCellsToVector(c, 1, c, tab.NrOfRows(), 255, &col);
    plot.Panels.push_back(Histogram(col, n, Data.Names[k]));
    CheckInterrupted();
  }
  WritePlot(plot, File);
}

void WritePcaPlot(const DataSet& Data, const std::vector<double>& Eigen,
                  const nuv::TMatrix& Scores, const std::string& By, const std::string& File) {
  Plot plot;
  PlotPanel scree;
  scree.Title = "Scree plot";
  scree.XLabel = "component";
  scree.YLabel = "eigenvalue";
  scree.YFromZero = true;
  PlotSeries bars;
  bars.What = PlotSeries::kBars;
  bars.BarWidth = 0.8;
  for (size_t e = 0; e < Eigen.size(); ++e) {
    bars.X.push_back(static_cast<double>(e) + 1 - 0.4);
    bars.Y.push_back(Eigen[e]);
    scree.XCategories.emplace_back(static_cast<double>(e) + 1, "PC" + std::to_string(e + 1));
  }
  scree.Series.push_back(std::move(bars));
  plot.Panels.push_back(std::move(scree));

  PlotPanel sc;
  const int32_t n = Scores.NrOfRows();
  const bool two = Scores.NrOfColumns() >= 2;
  sc.Title = "Scores";
  sc.XLabel = two ? "PC1" : "row";
  sc.YLabel = two ? "PC2" : "PC1";
  PlotSeries pts;
  pts.What = PlotSeries::kPoints;
  pts.X.resize(static_cast<size_t>(n));
  pts.Y.resize(static_cast<size_t>(n));
  const double* pc1 = Scores.ColData(1);
  const double* pc2 = two ? Scores.ColData(2) : nullptr;
  for (int32_t r = 0; r < n; ++r) {
    pts.X[static_cast<size_t>(r)] = two ? pc1[r] : r + 1;
    pts.Y[static_cast<size_t>(r)] = two ? pc2[r] : pc1[r];
  }
  if (!By.empty()) {
    const int32_t byCol = FindTableColumn(Data, By, "--by");
    std::vector<std::string> names;
    const std::vector<int32_t> group = GroupRows(Data, byCol, names);
    // The scores belong to the complete rows, in file order.
    const nuv::TMatrix& all = Data.AllRows();
    const int32_t p = all.NrOfColumns();
    const auto none = static_cast<int32_t>(names.size());
    bool anyNone = false;
    pts.Group.reserve(static_cast<size_t>(n));
    for (int32_t r = 0; r < all.NrOfRows(); ++r) {
      bool complete = true;
      for (int32_t c = 1; c <= p && complete; ++c) complete = !std::isnan(all.ColData(c)[r]);
      if (!complete) continue;
      const int32_t g = group[static_cast<size_t>(r)];
      anyNone = anyNone || g < 0;
      pts.Group.push_back(g < 0 ? none : g);
    }
    if (anyNone) names.push_back("(missing)");
    sc.GroupNames = std::move(names);
    sc.Title += " by " + Data.TableNames[static_cast<size_t>(byCol - 1)];
  }
  sc.Series.push_back(std::move(pts));
  plot.Panels.push_back(std::move(sc));
  WritePlot(plot, File);
}

}  // namespace nuvstat
