// spectrum: the power spectrum of one column by Welch's method with the library's
// FFT and weighting windows.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "Nuv_fourier/Nuv_fourier.h"
#include "commands.h"
#include "errors.h"
#include "progress.h"
#include "series.h"

namespace nuvstat {

namespace {

nuv::TFastFourierWgtWin WindowOf(const std::string& Name) {
  if (Name == "rectangle") return nuv::fwRectangle;
  if (Name == "triangle") return nuv::fwTriangle;
  if (Name == "hamming") return nuv::fwHamming;
  if (Name == "blackman") return nuv::fwBlackman;
  if (Name == "blackman-harris") return nuv::fwBlkmHarris;
  if (Name == "blackman-nuttall") return nuv::fwBlkmNuttall;
  if (Name == "gauss") return nuv::fwGauss;
  return nuv::fwCos2;
}

}  // namespace

Report RunSpectrum(const DataSet& Data, const Options& Opt) {
  nuv::TVector src;
  const int32_t k = SeriesColumn(Data, Opt.Column, true, "spectrum", src);
  const std::string& name = Data.Names[static_cast<size_t>(k)];
  const int32_t n = src.NrOfElem();
  if (n < 8)
    throw ToolError(Data.Source + ": too few rows: spectrum needs at least 8, the series has " +
                    std::to_string(n));
  int64_t len = Opt.Segment;
  if (len == 0)
    for (len = 1; 2 * len <= n;) len *= 2;
  if (len > n)
    throw ToolError(Data.Source + ": --segment " + std::to_string(len) +
                    " is longer than the series (" + std::to_string(n) + " rows)");
  const auto N = static_cast<int32_t>(len);
  const int32_t half = N / 2;

  nuv::TFastFourier fft;
  fft.SetNumData(N);
  fft.SetWgtWin(WindowOf(Opt.Window));
  // The window's sum and sum of squares, from the transform of a constant 1: line 0
  // holds (sum w)^2 / N and the RMS over all lines is sqrt(sum w^2 / N).
  for (int32_t j = 1; j <= N; ++j) fft.SetRealVal(j, 1.0);
  fft.Transform();
  const double sumW = std::sqrt(N * fft.GetPowerSpec(0));
  const double rms = fft.RMS(0, half);
  const double sumW2 = N * rms * rms;
  if (!(sumW2 > 0)) throw ToolError("the window \"" + Opt.Window + "\" has no weight");

  // Welch: blocks of N that overlap by half, each less its mean.
  std::vector<double> power(static_cast<size_t>(half) + 1, 0.0);
  int32_t blocks = 0;
  int64_t start = 0;
  const double* x = src.Data();
  SetProgressLabel("spectrum");
  for (; start + N <= n; start += half) {
    const double* seg = x + start;
    double mean = 0.0;
    for (int32_t j = 0; j < N; ++j) mean += seg[j];
    mean /= N;
    fft.ClearImag();
    for (int32_t j = 0; j < N; ++j) fft.SetRealVal(j + 1, seg[j] - mean);
    fft.Transform();
    for (int32_t l = 0; l <= half; ++l) power[static_cast<size_t>(l)] += fft.GetPowerSpec(l);
    ++blocks;
    CheckInterrupted();
  }
  const int64_t used = start - half + N;
  const double rate = Opt.Rate > 0 ? Opt.Rate : 1.0;
  // The library's line power is (|X_k|^2 + |X_(N-k)|^2) / N, one-sided already.
  const double toDensity = N / (rate * sumW2) / blocks;
  const double toPower = N / (sumW * sumW) / blocks;

  Report report = StartReport("spectrum", Data, false);
  report.Info.emplace_back("column", Fact::Str(name));
  report.Info.emplace_back("window", Fact::Str(Opt.Window));
  report.Info.emplace_back("segment", Fact::Number(N));
  report.Info.emplace_back("segments", Fact::Number(blocks));
  if (used < n) report.Info.emplace_back("rows after the last segment left out",
                                         Fact::Number(static_cast<double>(n - used)));
  report.Info.emplace_back("frequency unit",
                           Fact::Str(Opt.Rate > 0 ? "cycles per unit of time (--rate " +
                                                        RoundTripText(Opt.Rate) + ")"
                                                  : "cycles per row"));
  Table t;
  t.Name = "spectrum";
  t.Title = "Power spectrum";
  t.KeyHeader = "line";
  t.Columns = {"frequency", "density", "power"};
  t.RowLabels.reserve(static_cast<size_t>(half) + 1);
  t.Rows.reserve(static_cast<size_t>(half) + 1);
  for (int32_t l = 0; l <= half; ++l) {
    const double p = power[static_cast<size_t>(l)];
    t.AddRow(std::to_string(l), {Cell::Number(fft.FreqOfLine(l, 1.0 / rate)),
                                 Cell::Number(p * toDensity), Cell::Number(p * toPower)});
  }

  if (!Opt.PlotFile.empty()) {
    std::vector<double> f, db;
    f.reserve(t.Rows.size());
    db.reserve(t.Rows.size());
    for (const auto& row : t.Rows) {
      f.push_back(row[0].Value);
      // A line without power has no level in decibels: the curve breaks there.
      db.push_back(row[1].Value > 0 ? 10.0 * std::log10(row[1].Value) : std::nan(""));
    }
    WriteCurvePlot(Opt.PlotFile,
                   "Power spectrum of " + name + " (" + Opt.Window + " window, " +
                       std::to_string(blocks) + (blocks == 1 ? " segment" : " segments") +
                       " of " + std::to_string(N) + ")",
                   Opt.Rate > 0 ? "frequency" : "frequency (cycles per row)",
                   "power density (dB)", std::move(f), std::move(db), false);
  }
  report.Tables.push_back(std::move(t));
  return report;
}

}  // namespace nuvstat
