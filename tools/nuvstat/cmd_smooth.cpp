// smooth and derivative: the library's moving-window smoothing and Savitzky-Golay
// derivatives of one column taken as a series in file order.
#include <cmath>
#include <cstdint>
#include <string>

#include "Nuv_math2/Nuv_math2.h"
#include "commands.h"
#include "errors.h"
#include "progress.h"
#include "series.h"

namespace nuvstat {

namespace {

// The library raises for these too; checked here so that the message names the option.
void CheckWindow(const DataSet& Data, const std::string& Command, int32_t Width, int32_t Least,
                 int32_t Most, int32_t Rows) {
  if (Width % 2 == 0)
    throw UsageError("--width needs an odd number, not " + std::to_string(Width), Command);
  if (Width < Least || Width > Most)
    throw UsageError("--width must lie between " + std::to_string(Least) + " and " +
                         std::to_string(Most) + " here, not " + std::to_string(Width),
                     Command);
  if (Rows <= Width)
    throw ToolError(Data.Source + ": too few rows: " + Command + " with --width " +
                    std::to_string(Width) + " needs at least " + std::to_string(Width + 1) +
                    ", the series has " + std::to_string(Rows));
}

// The spacing of an abscissa that rises or falls in equal steps; ToolError otherwise.
double EqualStep(const DataSet& Data, const std::string& Column, const std::string& Command) {
  nuv::TVector x;
  const std::string& name =
      Data.Names[static_cast<size_t>(SeriesColumn(Data, Column, true, Command + " --x", x))];
  const int32_t n = x.NrOfElem();
  const double* v = x.Data();
  const double h = (v[n - 1] - v[0]) / (n - 1);
  if (!(h != 0) || !std::isfinite(h))
    throw ToolError(Data.Source + ": --x: column \"" + name + "\" does not change");
  for (int32_t r = 1; r < n; ++r)
    if (std::fabs(v[r] - v[r - 1] - h) > 1e-6 * std::fabs(h))
      throw ToolError(Data.Source + ", data row " + std::to_string(r + 1) + ": --x: column \"" +
                      name + "\" is not equally spaced (step " + ShortText(v[r] - v[r - 1]) +
                      " where the mean step is " + ShortText(h) +
                      "); derivative needs equal steps");
  return h;
}

}  // namespace

Report RunSmooth(const DataSet& Data, const Options& Opt) {
  nuv::TVector src;
  const int32_t k = SeriesColumn(Data, Opt.Column, true, "smooth", src);
  const std::string& name = Data.Names[static_cast<size_t>(k)];
  const int32_t n = src.NrOfElem();
  const std::string& method = Opt.SmoothMethod;
  const bool savgol = method == "savgol";
  const int32_t width = Opt.Width > 0 ? Opt.Width : 5;
  CheckWindow(Data, "smooth", width, savgol ? 5 : 3, savgol ? 25 : INT32_MAX, n);

  nuv::TVector dst;
  dst.Resize(n);
  SetProgressLabel("smoothing");
  if (method == "mean") nuv::MovingAverageSmooth(&src, 1, n, &dst, width);
  else if (method == "triangle") nuv::WeightedAverageSmooth(&src, 1, n, &dst, width);
  else if (method == "median") nuv::MovingMedianSmooth(&src, 1, n, &dst, width);
  else nuv::PolynomialSmooth(&src, 1, n, &dst, width);
  CheckInterrupted();

  Report report = StartReport("smooth", Data, false);
  report.Info.emplace_back("column", Fact::Str(name));
  report.Info.emplace_back("method", Fact::Str(method));
  report.Info.emplace_back("width", Fact::Number(width));
  report.Info.emplace_back("edge rows repeating the nearest smoothed value",
                           Fact::Number(2 * (width / 2)));
  report.Tables.push_back(
      SeriesTable("smooth", "Smoothed series", name, src, name + "_" + method, dst));
  return report;
}

Report RunDerivative(const DataSet& Data, const Options& Opt) {
  nuv::TVector src;
  const int32_t k = SeriesColumn(Data, Opt.Column, true, "derivative", src);
  const std::string& name = Data.Names[static_cast<size_t>(k)];
  const int32_t n = src.NrOfElem();
  const int32_t width = Opt.Width > 0 ? Opt.Width : 5;
  CheckWindow(Data, "derivative", width, 5, 25, n);
  const double step = !Opt.SeriesX.empty() ? EqualStep(Data, Opt.SeriesX, "derivative")
                                           : (Opt.Step > 0 ? Opt.Step : 1.0);

  nuv::TVector dst;
  dst.Resize(n);
  SetProgressLabel("derivative");
  if (Opt.Order == 1) nuv::FirstDeriv(&src, 1, n, &dst, width);
  else nuv::SecondDeriv(&src, 1, n, &dst, width);
  CheckInterrupted();
  // The library's results are per sampling step (squared for the second derivative).
  const double scale = Opt.Order == 1 ? 1.0 / step : 1.0 / (step * step);
  if (scale != 1.0) {
    double* d = dst.Data();
    for (int32_t r = 0; r < n; ++r) d[r] *= scale;
  }

  Report report = StartReport("derivative", Data, false);
  report.Info.emplace_back("column", Fact::Str(name));
  report.Info.emplace_back("order", Fact::Number(Opt.Order));
  report.Info.emplace_back("width", Fact::Number(width));
  report.Info.emplace_back("step", Fact::Number(step));
  if (!Opt.SeriesX.empty()) report.Info.emplace_back("step from", Fact::Str(Opt.SeriesX));
  report.Info.emplace_back("edge rows repeating the nearest computed value",
                           Fact::Number(2 * (width / 2)));
  report.Tables.push_back(SeriesTable("derivative",
                                      Opt.Order == 1 ? "First derivative" : "Second derivative",
                                      name, src, name + "_d" + std::to_string(Opt.Order), dst));
  return report;
}

}  // namespace nuvstat
