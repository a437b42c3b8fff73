// Plots as SVG files written by nuvstat itself: one or more panels, each with
// axes whose ticks come from the library's CalcScalePars, axis labels, a title,
// a legend, and any mix of points, lines, bars and tree links. The picture is
// 800 x 600 pixels; the panels share it in a grid.
#pragma once

#include <string>
#include <vector>

namespace nuvstat {

/// One set of data in a panel, drawn in the colour of its place in the panel.
struct PlotSeries {
  enum Kind { kPoints, kLine, kBars };
  Kind What = kPoints;
  std::string Name;       ///< shown in the legend; unnamed series are not listed
  std::vector<double> X;  ///< kBars: the left edge of each bar
  std::vector<double> Y;  ///< kBars: the height of each bar (from 0)
  double BarWidth = 0.0;  ///< kBars only, in x units
  /// kPoints only: the colour index of each point (groups); empty for the series colour.
  std::vector<int> Group;
};

/// A straight link between two points in data coordinates (the dendrogram's).
struct PlotLink {
  double X1 = 0.0, Y1 = 0.0, X2 = 0.0, Y2 = 0.0;
};

struct PlotPanel {
  std::string Title;
  std::string XLabel;
  std::string YLabel;
  std::vector<PlotSeries> Series;
  std::vector<PlotLink> Links;               ///< drawn in the first colour
  /// Texts placed under the x axis at the given positions in place of numeric ticks.
  std::vector<std::pair<double, std::string>> XCategories;
  std::vector<std::string> GroupNames;       ///< legend of the point groups
  bool YFromZero = false;                    ///< the y axis includes 0 (bars, eigenvalues)
};

struct Plot {
  std::string Title;  ///< above all panels; may be empty
  std::vector<PlotPanel> Panels;
};

inline constexpr int kPlotWidth = 800;
inline constexpr int kPlotHeight = 600;

/// The plot as a complete SVG document. Labels are escaped for XML; bytes that are
/// not valid UTF-8 or are control characters become '?'. NaN and infinite values
/// are left out; an axis over a single value spans one unit around it.
std::string RenderSvg(const Plot& P);

/// Writes the SVG document to File; raises ToolError naming the file when it cannot
/// be written.
void WritePlot(const Plot& P, const std::string& File);

/// Text safe inside an XML element or attribute value.
std::string XmlText(const std::string& Text);

}  // namespace nuvstat
