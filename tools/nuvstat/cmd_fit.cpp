// fit: a curve y = f(x) through the library's curve fitter, over the rows where
// both columns hold a number; the data and the fitted curve drawn with --plot.
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "commands.h"
#include "errors.h"
#include "progress.h"
#include "svg_plot.h"

namespace nuvstat {

namespace {

struct Coefficient {
  std::string Name;
  double Value;
};

// A fitted model: its coefficients, R^2 (NaN where it has none) and its curve.
struct Fitted {
  std::vector<Coefficient> Coefficients;
  double R2 = std::nan("");
  std::string R2Label = "R^2";  ///< empty for a model without R^2
  std::function<double(double)> At;
  std::vector<std::pair<std::string, double>> Extra;  ///< more rows of the fit table
};

std::string ModelText(const Options& Opt) {
  return Opt.Model == "poly" ? "poly " + std::to_string(Opt.Degree) : Opt.Model;
}

// 1 - residual / total sum of squares of the curve at the pairs; NaN when y is constant.
double RSquared(const nuv::TCurveFit& Fit, const std::function<double(double)>& F) {
  const int32_t n = Fit.NumData();
  const double my = Fit.GetMeanY();
  double ss = 0.0, res = 0.0;
  for (int32_t i = 1; i <= n; ++i) {
    const double y = Fit.GetDataY(i);
    const double e = y - F(Fit.GetDataX(i));
    ss += (y - my) * (y - my);
    res += e * e;
  }
  return ss > 0 ? 1.0 - res / ss : std::nan("");
}

Fitted FitModel(const nuv::TCurveFit& Fit, const Options& Opt, const std::string& Source,
                Report& R) {
  const std::string& m = Opt.Model;
  const int32_t n = Fit.NumData();
  const int32_t needs = m == "poly"       ? Opt.Degree + 1
                        : m == "parabola" ? 3
                        : m == "circle"   ? 3
                        : m == "spline"   ? 1
                                          : 2;
  if (n < needs)
    throw ToolError(Source + ": too few rows: fit --model " + ModelText(Opt) + " needs at least " +
                    std::to_string(needs) + " rows where both columns hold a number, the data has " +
                    std::to_string(n));
  const bool xConstant = !(Fit.MinX() < Fit.MaxX());
  if (xConstant && m != "circle" && m != "spline")
    throw ToolError(Source + ": the x column is constant: no curve y = f(x) can be fitted");
  const nuv::TCurveFitErrors err = Fit.ErrIndic();
  auto refuse = [&](bool Bad, const std::string& What) {
    if (Bad) throw ToolError(Source + ": fit --model " + m + " needs " + What);
  };
  Fitted f;
  if (m == "line") {
    double k = 0, d = 0;
    Fit.CalcLinFit(k, d, f.R2);
    f.Coefficients = {{"intercept", d}, {"slope", k}};
    f.At = [k, d](double x) { return d + k * x; };
  } else if (m == "parabola") {
    double k0 = 0, k1 = 0, k2 = 0;
    Fit.CalcParabolFit(k0, k1, k2, f.R2);
    f.Coefficients = {{"a0", k0}, {"a1", k1}, {"a2", k2}};
    f.At = [k0, k1, k2](double x) { return k0 + (k1 + k2 * x) * x; };
  } else if (m == "poly") {
    std::vector<double> a;
    bool nearSingular = false;
    SetProgressLabel("polynomial fit");
    const bool ok = Fit.CalcPolyFit(static_cast<uint8_t>(Opt.Degree), a, f.R2, nearSingular);
    CheckInterrupted();
    if (!ok) throw ToolError(Source + ": the polynomial could not be fitted");
    if (nearSingular)
      R.Info.emplace_back("note", Fact::Str("the design is nearly singular (too few distinct x "
                                            "for the degree): the coefficients are not unique"));
    a.resize(static_cast<size_t>(Opt.Degree) + 1);
    for (size_t i = 0; i < a.size(); ++i) f.Coefficients.push_back({"a" + std::to_string(i), a[i]});
    f.At = [a](double x) {
      double y = 0.0;
      for (size_t i = a.size(); i-- > 0;) y = y * x + a[i];
      return y;
    };
  } else if (m == "exp" || m == "power" || m == "log") {
    double p1 = 0, p2 = 0;
    bool ok = false;
    if (m == "exp") {
      refuse(err.Contains(nuv::cfeYLE0), "every y above 0");
      ok = Fit.CalcExponentialFit(p1, p2, f.R2);
      f.At = [p1, p2](double x) { return p1 * std::exp(p2 * x); };
    } else if (m == "power") {
      refuse(err.Contains(nuv::cfeXLE0) || err.Contains(nuv::cfeYLE0), "every x and y above 0");
      ok = Fit.CalcPowerFit(p1, p2, f.R2);
      f.At = [p1, p2](double x) { return x > 0 ? p1 * std::pow(x, p2) : std::nan(""); };
    } else {
      refuse(err.Contains(nuv::cfeXLE0), "every x above 0");
      // The fitter's y = k ln x + d, shown as y = a + b ln x.
      double k = 0, d = 0;
      ok = Fit.CalcLogFit(k, d, f.R2);
      p1 = d, p2 = k;
      f.At = [k, d](double x) { return x > 0 ? d + k * std::log(x) : std::nan(""); };
    }
    if (!ok) throw ToolError(Source + ": fit --model " + m + ": the fit is not defined for these data");
    f.Coefficients = {{"a", p1}, {"b", p2}};
    f.R2Label = "R^2 of the transformed data";
  } else if (m == "circle") {
    double r = 0, cx = 0, cy = 0;
    try {
      Fit.CalcCircleFit(r, cx, cy);
    } catch (const std::exception&) {
      throw ToolError(Source + ": fit --model circle: the points lie on a straight line");
    }
    f.Coefficients = {{"centre x", cx}, {"centre y", cy}, {"radius", r}};
    f.R2Label.clear();
    double ss = 0.0;
    for (int32_t i = 1; i <= n; ++i) {
      const double e = std::hypot(Fit.GetDataX(i) - cx, Fit.GetDataY(i) - cy) - r;
      ss += e * e;
    }
    f.Extra.emplace_back("rms radial residual", std::sqrt(ss / n));
    // The upper half as a function; the plot and --at show both halves.
    f.At = [r, cx, cy](double x) {
      const double h = r * r - (x - cx) * (x - cx);
      return h >= 0 ? cy + std::sqrt(h) : std::nan("");
    };
  } else {
    if (Opt.Smooth >= 0) {
      double fq = 0;
      bool valid = false;
      Fit.SmoothedSpline(Fit.GetDataX(1), fq, valid);
      if (!valid) throw ToolError(Source + ": the smoothing spline could not be computed");
      f.R2 = fq;
      f.At = [&Fit](double x) {
        double q = 0;
        bool v = false;
        return Fit.SmoothedSpline(x, q, v);
      };
      f.Extra.emplace_back("smoothing factor", Opt.Smooth);
    } else {
      f.At = [&Fit](double x) { return Fit.CubicSpline(x); };
      f.R2 = RSquared(Fit, f.At);
    }
  }
  return f;
}

Plot FitPlot(const nuv::TCurveFit& Fit, const Fitted& F, const Options& Opt,
             const std::string& XName, const std::string& YName) {
  PlotPanel panel;
  panel.Title = "fit --model " + ModelText(Opt) + ": " + YName + " on " + XName;
  panel.XLabel = XName;
  panel.YLabel = YName;
  PlotSeries data;
  data.Name = "data";
  const int32_t n = Fit.NumData();
  data.X.reserve(static_cast<size_t>(n));
  data.Y.reserve(static_cast<size_t>(n));
  for (int32_t i = 1; i <= n; ++i) data.X.push_back(Fit.GetDataX(i)), data.Y.push_back(Fit.GetDataY(i));
  PlotSeries curve;
  curve.What = PlotSeries::kLine;
  curve.Name = "fitted";
  constexpr int kSteps = 400;
  if (Opt.Model == "circle") {
    const double cx = F.Coefficients[0].Value, cy = F.Coefficients[1].Value;
    const double r = F.Coefficients[2].Value;
    for (int i = 0; i <= kSteps; ++i) {
      const double t = 2 * M_PI * i / kSteps;
      curve.X.push_back(cx + r * std::cos(t));
      curve.Y.push_back(cy + r * std::sin(t));
    }
  } else {
    const double lo = Fit.MinX(), hi = Fit.MaxX();
    for (int i = 0; i <= kSteps; ++i) {
      const double x = lo + (hi - lo) * i / kSteps;
      curve.X.push_back(x);
      curve.Y.push_back(F.At(x));
    }
  }
  // The curve first, so that the points stay visible on it.
  panel.Series.push_back(std::move(curve));
  panel.Series.push_back(std::move(data));
  Plot plot;
  plot.Panels.push_back(std::move(panel));
  return plot;
}

}  // namespace

Report RunFit(const DataSet& Data, const Options& Opt) {
  const int32_t xc = FindColumn(Data, Opt.XColumn) + 1;
  const int32_t yc = FindColumn(Data, Opt.YColumn) + 1;
  const std::string& xName = Data.Names[static_cast<size_t>(xc - 1)];
  const std::string& yName = Data.Names[static_cast<size_t>(yc - 1)];
  const nuv::TMatrix& all = Data.AllRows();
  nuv::TCurveFit fit;
  const double* x = all.ColData(xc);
  const double* y = all.ColData(yc);
  for (int32_t r = 0; r < all.NrOfRows(); ++r)
    if (!std::isnan(x[r]) && !std::isnan(y[r])) fit.EnterStatValue(x[r], y[r]);
  CheckInterrupted();
  const int32_t n = fit.NumData();

  Report report = StartReport("fit", Data, false);
  report.Info.emplace_back("model", Fact::Str(ModelText(Opt)));
  report.Info.emplace_back("x", Fact::Str(xName));
  report.Info.emplace_back("y", Fact::Str(yName));
  report.Info.emplace_back("rows used", Fact::Number(n));
  if (Data.FileRows > n)
    report.Info.emplace_back("rows with a missing x or y left out",
                             Fact::Number(Data.FileRows - n));
  if (Opt.Smooth >= 0) fit.SetSplineSmoothingFactor(Opt.Smooth);
  const Fitted f = FitModel(fit, Opt, Data.Source, report);

  if (!f.Coefficients.empty()) {
    Table ct;
    ct.Name = "coefficients";
    ct.Title = "Coefficients";
    ct.KeyHeader = "term";
    ct.Columns = {"estimate"};
    for (const Coefficient& c : f.Coefficients) ct.AddRow(c.Name, {Cell::Number(c.Value)});
    report.Tables.push_back(std::move(ct));
  }
  Table ft;
  ft.Name = "fit";
  ft.Title = "Fit";
  ft.KeyHeader = "statistic";
  ft.Columns = {"value"};
  if (!f.R2Label.empty())
    ft.AddRow(f.R2Label, {std::isnan(f.R2) ? Cell::Missing() : Cell::Number(f.R2)});
  for (const auto& e : f.Extra) ft.AddRow(e.first, {Cell::Number(e.second)});
  ft.AddRow("rows", {Cell::Number(n)});
  report.Tables.push_back(std::move(ft));

  if (!Opt.At.empty()) {
    Table vt;
    vt.Name = "values";
    vt.Title = "Fitted values";
    vt.KeyHeader = "x";
    const bool circle = Opt.Model == "circle";
    vt.Columns = {circle ? "y upper" : "y"};
    if (circle) vt.Columns.push_back("y lower");
    for (double at : Opt.At) {
      const double v = f.At(at);
      std::vector<Cell> cells = {std::isfinite(v) ? Cell::Number(v) : Cell::Missing()};
      if (circle)
        cells.push_back(std::isfinite(v) ? Cell::Number(2 * f.Coefficients[1].Value - v)
                                         : Cell::Missing());
      vt.AddRow(RoundTripText(at), std::move(cells));
    }
    report.Tables.push_back(std::move(vt));
  }
  if (!Opt.PlotFile.empty()) WritePlot(FitPlot(fit, f, Opt, xName, yName), Opt.PlotFile);
  return report;
}

}  // namespace nuvstat
