#include "svg_plot.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "Nuv_math1/Nuv_math1.h"
#include "errors.h"

namespace nuvstat {

namespace {

// Colours that stay apart for the colour-blind and on grey print.
const char* const kPalette[] = {"#1f77b4", "#d62728", "#2ca02c", "#ff7f0e",
                                "#9467bd", "#8c564b", "#e377c2", "#17becf"};
constexpr int kPaletteSize = sizeof(kPalette) / sizeof(kPalette[0]);
const char* Colour(int Index) {
  return kPalette[((Index % kPaletteSize) + kPaletteSize) % kPaletteSize];
}

// Length of the valid UTF-8 sequence starting at s[i], 0 if it is not one.
size_t Utf8Length(const std::string& s, size_t i) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  size_t n = 0;
  unsigned lowest = 0;
  if (c >= 0xC2 && c <= 0xDF) n = 2, lowest = 0x80;
  else if (c >= 0xE0 && c <= 0xEF) n = 3, lowest = 0x800;
  else if (c >= 0xF0 && c <= 0xF4) n = 4, lowest = 0x10000;
  else return 0;
  if (i + n > s.size()) return 0;
  unsigned code = c & (0x3F >> (n - 1));
  for (size_t k = 1; k < n; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (b(i + k) & 0x3F);
  }
  // Overlong forms, surrogates and code points beyond Unicode are not characters.
  if (code < lowest || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
  // U+FFFE and U+FFFF are not allowed in XML.
  if (code == 0xFFFE || code == 0xFFFF) return 0;
  return n;
}

std::string Num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", v);
  return buf;
}

// A data interval mapped onto a pixel interval; the halves keep the span finite
// for ranges as wide as double allows.
struct Axis {
  double Lo = 0.0, Hi = 1.0;
  double P0 = 0.0, P1 = 1.0;  ///< pixels of Lo and Hi
  double Map(double v) const {
    const double span = Hi / 2 - Lo / 2;
    return P0 + (v / 2 - Lo / 2) / span * (P1 - P0);
  }
};

struct Range {
  double Lo = HUGE_VAL, Hi = -HUGE_VAL;
  void Add(double v) {
    if (!std::isfinite(v)) return;
    Lo = std::min(Lo, v);
    Hi = std::max(Hi, v);
  }
  // A margin of 4 % so that marks on the extremes stay inside the frame.
  void Finish() {
    if (Lo > Hi) Lo = 0.0, Hi = 1.0;
    if (Lo == Hi) {
      const double d = std::max(0.5, std::fabs(Lo) * 0.05);
      Lo -= d, Hi += d;
    }
    const double pad = (Hi / 2 - Lo / 2) * 0.08;
    Lo = std::max(-1.7e308, Lo - pad);
    Hi = std::min(1.7e308, Hi + pad);
  }
};

std::vector<double> Ticks(double Lo, double Hi) {
  nuv::Extended start = 0, dist = 0;
  uint16_t sub = 1;
  nuv::CalcScalePars(5, Lo, Hi, start, dist, sub);
  std::vector<double> ticks;
  if (!(dist > 0) || !std::isfinite(static_cast<double>(dist))) return ticks;
  for (int k = 0; k < 60; ++k) {
    const long double t = start + k * dist;
    if (t > Hi) break;
    if (t < Lo) continue;
    // A tick that is zero up to rounding is shown as 0, not as 1e-17.
    ticks.push_back(std::fabs(static_cast<double>(t)) < static_cast<double>(dist) * 1e-9
                        ? 0.0
                        : static_cast<double>(t));
  }
  return ticks;
}

// Six significant digits, or as many as it takes to tell neighbouring ticks apart
// (ticks 2e-16 apart near 1 need 17).
std::vector<std::string> TickTexts(const std::vector<double>& Ticks) {
  double largest = 0.0;
  for (double v : Ticks) largest = std::max(largest, std::fabs(v));
  int digits = 6;
  if (Ticks.size() > 1) {
    const double step = std::fabs(Ticks[1] - Ticks[0]);
    if (step > 0 && largest > 0)
      digits = std::max(6, std::min(17, static_cast<int>(std::ceil(std::log10(largest / step))) + 2));
  }
  std::vector<std::string> texts;
  for (double v : Ticks) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.*g", digits, v);
    texts.emplace_back(buf);
  }
  return texts;
}

void Text(std::string& Out, double X, double Y, const std::string& S, const char* Anchor,
          int Size, const std::string& Extra = "") {
  Out += "<text x=\"" + Num(X) + "\" y=\"" + Num(Y) + "\" text-anchor=\"" + Anchor +
         "\" font-size=\"" + std::to_string(Size) + "\"" + Extra + ">" + XmlText(S) + "</text>\n";
}

void DrawPanel(std::string& Out, const PlotPanel& P, double Left, double Top, double W,
               double H) {
  // Plot area inside the panel: room for tick labels, axis labels and the title.
  const double l = Left + 62, r = Left + W - 14, t = Top + 28, b = Top + H - 44;
  Range xr, yr;
  for (const PlotSeries& s : P.Series) {
    for (size_t i = 0; i < s.X.size() && i < s.Y.size(); ++i) {
      xr.Add(s.X[i]);
      yr.Add(s.Y[i]);
      if (s.What == PlotSeries::kBars) xr.Add(s.X[i] + s.BarWidth), yr.Add(0.0);
    }
  }
  for (const PlotLink& k : P.Links) xr.Add(k.X1), xr.Add(k.X2), yr.Add(k.Y1), yr.Add(k.Y2);
  for (const auto& c : P.XCategories) xr.Add(c.first);
  if (P.YFromZero) yr.Add(0.0);
  xr.Finish();
  yr.Finish();
  const Axis xa{xr.Lo, xr.Hi, l, r};
  const Axis ya{yr.Lo, yr.Hi, b, t};

  Out += "<g>\n";
  Out += "<rect x=\"" + Num(l) + "\" y=\"" + Num(t) + "\" width=\"" + Num(r - l) +
         "\" height=\"" + Num(b - t) + "\" fill=\"none\" stroke=\"#444\"/>\n";
  if (P.XCategories.empty()) {
    const std::vector<double> ticks = Ticks(xr.Lo, xr.Hi);
    const std::vector<std::string> texts = TickTexts(ticks);
    for (size_t i = 0; i < ticks.size(); ++i) {
      const double x = xa.Map(ticks[i]);
      Out += "<line x1=\"" + Num(x) + "\" y1=\"" + Num(b) + "\" x2=\"" + Num(x) + "\" y2=\"" +
             Num(b + 5) + "\" stroke=\"#444\"/>\n";
      Text(Out, x, b + 18, texts[i], "middle", 11);
    }
  } else if (P.XCategories.size() <= 60) {
    // Many names are turned upright so that they do not overlap.
    const bool upright = P.XCategories.size() > 12;
    for (const auto& c : P.XCategories) {
      const double x = xa.Map(c.first);
      if (upright)
        Text(Out, x + 3, b + 6, c.second, "end", 9,
             " transform=\"rotate(-90 " + Num(x + 3) + " " + Num(b + 6) + ")\"");
      else
        Text(Out, x, b + 16, c.second, "middle", 11);
    }
  }
  const std::vector<double> yTicks = Ticks(yr.Lo, yr.Hi);
  const std::vector<std::string> yTexts = TickTexts(yTicks);
  for (size_t i = 0; i < yTicks.size(); ++i) {
    const double y = ya.Map(yTicks[i]);
    Out += "<line x1=\"" + Num(l - 5) + "\" y1=\"" + Num(y) + "\" x2=\"" + Num(l) + "\" y2=\"" +
           Num(y) + "\" stroke=\"#444\"/>\n";
    Text(Out, l - 8, y + 4, yTexts[i], "end", 11);
  }
  Text(Out, (l + r) / 2, Top + 18, P.Title, "middle", 14, " font-weight=\"bold\"");
  Text(Out, (l + r) / 2, Top + H - 8, P.XLabel, "middle", 12);
  const double yMid = (t + b) / 2;
  Text(Out, Left + 14, yMid, P.YLabel, "middle", 12,
       " transform=\"rotate(-90 " + Num(Left + 14) + " " + Num(yMid) + ")\"");

  for (size_t si = 0; si < P.Series.size(); ++si) {
    const PlotSeries& s = P.Series[si];
    const char* col = Colour(static_cast<int>(si));
    const size_t n = std::min(s.X.size(), s.Y.size());
    if (s.What == PlotSeries::kLine) {
      std::string pts;
      auto flush = [&]() {
        if (!pts.empty())
          Out += "<polyline fill=\"none\" stroke=\"" + std::string(col) +
                 "\" stroke-width=\"2\" points=\"" + pts + "\"/>\n";
        pts.clear();
      };
      for (size_t i = 0; i < n; ++i) {
        // A missing value breaks the line rather than joining across it.
        if (!std::isfinite(s.X[i]) || !std::isfinite(s.Y[i])) {
          flush();
          continue;
        }
        if (!pts.empty()) pts += ' ';
        pts += Num(xa.Map(s.X[i])) + "," + Num(ya.Map(s.Y[i]));
      }
      flush();
    } else if (s.What == PlotSeries::kBars) {
      for (size_t i = 0; i < n; ++i) {
        if (!std::isfinite(s.X[i]) || !std::isfinite(s.Y[i])) continue;
        const double x0 = xa.Map(s.X[i]), x1 = xa.Map(s.X[i] + s.BarWidth);
        const double y0 = ya.Map(0.0), y1 = ya.Map(s.Y[i]);
        Out += "<rect x=\"" + Num(std::min(x0, x1)) + "\" y=\"" + Num(std::min(y0, y1)) +
               "\" width=\"" + Num(std::fabs(x1 - x0)) + "\" height=\"" + Num(std::fabs(y1 - y0)) +
               "\" fill=\"" + col + "\" stroke=\"white\" stroke-width=\"0.5\"/>\n";
      }
    } else {
      for (size_t i = 0; i < n; ++i) {
        if (!std::isfinite(s.X[i]) || !std::isfinite(s.Y[i])) continue;
        const char* c = i < s.Group.size() ? Colour(s.Group[i]) : col;
        Out += "<circle cx=\"" + Num(xa.Map(s.X[i])) + "\" cy=\"" + Num(ya.Map(s.Y[i])) +
               "\" r=\"3\" fill=\"" + c + "\"/>\n";
      }
    }
  }
  for (const PlotLink& k : P.Links) {
    if (!std::isfinite(k.X1) || !std::isfinite(k.X2) || !std::isfinite(k.Y1) ||
        !std::isfinite(k.Y2))
      continue;
    Out += "<line x1=\"" + Num(xa.Map(k.X1)) + "\" y1=\"" + Num(ya.Map(k.Y1)) + "\" x2=\"" +
           Num(xa.Map(k.X2)) + "\" y2=\"" + Num(ya.Map(k.Y2)) + "\" stroke=\"" + Colour(0) +
           "\" stroke-width=\"2\" stroke-linecap=\"square\"/>\n";
  }

  // The legend: named series, then the point groups, in the top right corner.
  std::vector<std::pair<std::string, int>> entries;
  for (size_t si = 0; si < P.Series.size(); ++si)
    if (!P.Series[si].Name.empty()) entries.emplace_back(P.Series[si].Name, static_cast<int>(si));
  for (size_t g = 0; g < P.GroupNames.size(); ++g)
    entries.emplace_back(P.GroupNames[g], static_cast<int>(g));
  if (!entries.empty()) {
    size_t longest = 0;
    for (const auto& e : entries) longest = std::max(longest, e.first.size());
    const double w = 30 + 6.5 * static_cast<double>(std::min<size_t>(longest, 30));
    const double x = r - w - 6, y = t + 6;
    Out += "<rect x=\"" + Num(x) + "\" y=\"" + Num(y) + "\" width=\"" + Num(w) + "\" height=\"" +
           Num(16.0 * static_cast<double>(entries.size()) + 6) +
           "\" fill=\"white\" fill-opacity=\"0.85\" stroke=\"#999\"/>\n";
    for (size_t i = 0; i < entries.size(); ++i) {
      const double ey = y + 14 + 16.0 * static_cast<double>(i);
      Out += "<rect x=\"" + Num(x + 6) + "\" y=\"" + Num(ey - 9) +
             "\" width=\"12\" height=\"10\" fill=\"" + Colour(entries[i].second) + "\"/>\n";
      Text(Out, x + 24, ey, entries[i].first.substr(0, 30), "start", 11);
    }
  }
  Out += "</g>\n";
}

}  // namespace

std::string XmlText(const std::string& Text) {
  std::string out;
  out.reserve(Text.size());
  for (size_t i = 0; i < Text.size();) {
    const unsigned char c = static_cast<unsigned char>(Text[i]);
    if (c >= 0x80) {
      const size_t n = Utf8Length(Text, i);
      if (n == 0) {
        out += '?';
        ++i;
      } else {
        out.append(Text, i, n);
        i += n;
      }
      continue;
    }
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c < 0x20 || c == 0x7F ? '?' : static_cast<char>(c);
    }
    ++i;
  }
  return out;
}

std::string RenderSvg(const Plot& P) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
      std::to_string(kPlotWidth) + "\" height=\"" + std::to_string(kPlotHeight) +
      "\" viewBox=\"0 0 " + std::to_string(kPlotWidth) + " " + std::to_string(kPlotHeight) +
      "\" font-family=\"DejaVu Sans, Arial, sans-serif\">\n"
      "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  double top = 0;
  if (!P.Title.empty()) {
    Text(out, kPlotWidth / 2.0, 20, P.Title, "middle", 16, " font-weight=\"bold\"");
    top = 26;
  }
  const size_t n = std::max<size_t>(1, P.Panels.size());
  const size_t cols = static_cast<size_t>(std::ceil(std::sqrt(static_cast<double>(n))));
  const size_t rows = (n + cols - 1) / cols;
  const double w = kPlotWidth / static_cast<double>(cols);
  const double h = (kPlotHeight - top) / static_cast<double>(rows);
  for (size_t i = 0; i < P.Panels.size(); ++i)
    DrawPanel(out, P.Panels[i], w * static_cast<double>(i % cols),
              top + h * static_cast<double>(i / cols), w, h);
  out += "</svg>\n";
  return out;
}

void WritePlot(const Plot& P, const std::string& File) {
  const std::string svg = RenderSvg(P);
  std::FILE* f = std::fopen(File.c_str(), "wb");
  if (f == nullptr)
    throw ToolError(File + ": cannot write the plot: " + std::strerror(errno));
  const bool written = std::fwrite(svg.data(), 1, svg.size(), f) == svg.size();
  const int err = errno;
  if (std::fclose(f) != 0 || !written)
    throw ToolError(File + ": cannot write the plot: " + std::strerror(written ? errno : err));
}

}  // namespace nuvstat
