// The SVG plots of nuvstat: well-formed XML (xmllint), rendered without errors
// (rsvg-convert), and the rendered pixels show what the data say. The external
// checks are skipped where xmllint, rsvg-convert or zlib are not installed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "errors.h"
#include "svg_plot.h"

#ifdef NUVSTAT_HAVE_ZLIB
#include <zlib.h>
#endif

namespace {

using nuvstat::Plot;
using nuvstat::PlotLink;
using nuvstat::PlotPanel;
using nuvstat::PlotSeries;

bool HaveProgram(const char* Name) {
  return std::system(("command -v " + std::string(Name) + " >/dev/null 2>&1").c_str()) == 0;
}

std::string TempPath(const std::string& Name) { return ::testing::TempDir() + "nuvstat_" + Name; }

std::string WriteSvg(const Plot& P, const std::string& Name) {
  const std::string path = TempPath(Name + ".svg");
  nuvstat::WritePlot(P, path);
  return path;
}

// xmllint's verdict on the file; true when xmllint is absent.
void ExpectWellFormed(const std::string& Path) {
  if (!HaveProgram("xmllint")) return;
  EXPECT_EQ(std::system(("xmllint --noout '" + Path + "'").c_str()), 0) << Path;
}

struct Image {
  int Width = 0, Height = 0;
  std::vector<unsigned char> Rgba;
  const unsigned char* At(int x, int y) const {
    return &Rgba[(static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)) * 4];
  }
};

uint32_t BigEndian(const unsigned char* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

#ifdef NUVSTAT_HAVE_ZLIB
// The 8-bit RGB or RGBA, non-interlaced PNG that rsvg-convert writes, as RGBA.
bool DecodePng(const std::string& Path, Image& Img) {
  std::ifstream in(Path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  if (bytes.size() < 8 + 25) return false;
  std::vector<unsigned char> idat;
  size_t channels = 0;
  for (size_t at = 8; at + 12 <= bytes.size();) {
    const uint32_t len = BigEndian(p + at);
    const std::string type(bytes, at + 4, 4);
    if (at + 12 + len > bytes.size()) return false;
    const unsigned char* data = p + at + 8;
    if (type == "IHDR") {
      Img.Width = static_cast<int>(BigEndian(data));
      Img.Height = static_cast<int>(BigEndian(data + 4));
      if (data[8] != 8 || (data[9] != 2 && data[9] != 6) || data[12] != 0) return false;
      channels = data[9] == 6 ? 4 : 3;
    } else if (type == "IDAT") {
      idat.insert(idat.end(), data, data + len);
    }
    at += 12 + len;
  }
  if (channels == 0 || Img.Width <= 0 || Img.Height <= 0) return false;
  const size_t stride = static_cast<size_t>(Img.Width) * channels;
  std::vector<unsigned char> raw((stride + 1) * static_cast<size_t>(Img.Height));
  uLongf rawLen = static_cast<uLongf>(raw.size());
  if (uncompress(raw.data(), &rawLen, idat.data(), static_cast<uLong>(idat.size())) != Z_OK ||
      rawLen != raw.size())
    return false;
  std::vector<unsigned char> pixels(stride * static_cast<size_t>(Img.Height), 0);
  for (int y = 0; y < Img.Height; ++y) {
    const unsigned char* src = &raw[static_cast<size_t>(y) * (stride + 1)];
    unsigned char* row = &pixels[static_cast<size_t>(y) * stride];
    const unsigned char* up = y > 0 ? row - stride : nullptr;
    for (size_t i = 0; i < stride; ++i) {
      const int a = i >= channels ? row[i - channels] : 0, b = up ? up[i] : 0;
      const int c = (up && i >= channels) ? up[i - channels] : 0;
      int v = src[1 + i];
      switch (src[0]) {
        case 1: v += a; break;
        case 2: v += b; break;
        case 3: v += (a + b) / 2; break;
        case 4: {
          const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
          v += (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
          break;
        }
        default: break;
      }
      row[i] = static_cast<unsigned char>(v);
    }
  }
  const size_t count = static_cast<size_t>(Img.Width) * static_cast<size_t>(Img.Height);
  Img.Rgba.assign(count * 4, 255);
  for (size_t k = 0; k < count; ++k)
    for (size_t ch = 0; ch < channels; ++ch) Img.Rgba[k * 4 + ch] = pixels[k * channels + ch];
  return true;
}
#endif

// Renders the SVG file with rsvg-convert; false (and the test skipped) where it cannot.
bool Render(const std::string& Svg, Image& Img) {
#ifdef NUVSTAT_HAVE_ZLIB
  if (!HaveProgram("rsvg-convert")) return false;
  const std::string png = Svg + ".png";
  const std::string err = Svg + ".err";
  EXPECT_EQ(std::system(("rsvg-convert -o '" + png + "' '" + Svg + "' 2>'" + err + "'").c_str()), 0);
  std::ifstream e(err);
  std::stringstream messages;
  messages << e.rdbuf();
  EXPECT_EQ(messages.str(), "") << "rsvg-convert complained about " << Svg;
  if (!DecodePng(png, Img)) {
    ADD_FAILURE() << "cannot decode " << png;
    return false;
  }
  EXPECT_EQ(Img.Width, nuvstat::kPlotWidth);
  EXPECT_EQ(Img.Height, nuvstat::kPlotHeight);
  return Img.Width == nuvstat::kPlotWidth && Img.Height == nuvstat::kPlotHeight;
#else
  (void)Svg;
  (void)Img;
  return false;
#endif
}

// The first colour of the palette, #1f77b4, in the pixel's core (not antialiased).
bool IsFirstColour(const unsigned char* px) {
  return std::abs(px[0] - 0x1f) < 12 && std::abs(px[1] - 0x77) < 12 && std::abs(px[2] - 0xb4) < 12 &&
         px[3] > 240;
}

// Connected groups of first-colour pixels.
int CountBlobs(const Image& Img) {
  std::vector<char> seen(static_cast<size_t>(Img.Width) * static_cast<size_t>(Img.Height), 0);
  int blobs = 0;
  std::vector<std::pair<int, int>> stack;
  for (int y = 0; y < Img.Height; ++y)
    for (int x = 0; x < Img.Width; ++x) {
      const size_t k = static_cast<size_t>(y) * static_cast<size_t>(Img.Width) + static_cast<size_t>(x);
      if (seen[k] || !IsFirstColour(Img.At(x, y))) continue;
      ++blobs;
      stack.assign(1, {x, y});
      seen[k] = 1;
      while (!stack.empty()) {
        const auto [cx, cy] = stack.back();
        stack.pop_back();
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const int nx = cx + dx, ny = cy + dy;
            if (nx < 0 || ny < 0 || nx >= Img.Width || ny >= Img.Height) continue;
            const size_t nk = static_cast<size_t>(ny) * static_cast<size_t>(Img.Width) + static_cast<size_t>(nx);
            if (!seen[nk] && IsFirstColour(Img.At(nx, ny))) {
              seen[nk] = 1;
              stack.emplace_back(nx, ny);
            }
          }
      }
    }
  return blobs;
}

TEST(SvgPlot, LabelsAreEscapedAndInvalidBytesReplaced) {
  EXPECT_EQ(nuvstat::XmlText("a<b & \"c\" 'd'>"), "a&lt;b &amp; &quot;c&quot; &apos;d&apos;&gt;");
  // Valid UTF-8 passes; a lone continuation byte, a truncated sequence, an overlong
  // form, a surrogate and a control character do not.
  EXPECT_EQ(nuvstat::XmlText("\xc3\xa9t\xc3\xa9"), "\xc3\xa9t\xc3\xa9");
  EXPECT_EQ(nuvstat::XmlText("x\x80y\xc3"), "x?y?");
  EXPECT_EQ(nuvstat::XmlText("\xc0\xaf|\xe0\x80\xaf|\xed\xa0\x80|\x01"), "??|???|???|?");

  Plot p;
  p.Title = "<&> \x01\xff title";
  PlotPanel panel;
  panel.XLabel = "x ]]> </text>";
  panel.YLabel = "y \"quoted\"";
  panel.Series.push_back({PlotSeries::kPoints, "a & b", {1, 2}, {3, 4}, 0.0, {}});
  p.Panels.push_back(panel);
  const std::string svg = nuvstat::RenderSvg(p);
  EXPECT_NE(svg.find("x ]]&gt; &lt;/text&gt;"), std::string::npos);
  ExpectWellFormed(WriteSvg(p, "escaped"));
}

TEST(SvgPlot, ScatterShowsOneMarkPerRow) {
  // A 6 x 4 lattice: marks 100 pixels apart never touch.
  Plot p;
  PlotPanel panel;
  panel.Title = "scatter";
  PlotSeries s;
  for (int i = 0; i < 6; ++i)
    for (int j = 0; j < 4; ++j) s.X.push_back(i), s.Y.push_back(j * 10.0);
  panel.Series.push_back(s);
  p.Panels.push_back(panel);
  const std::string path = WriteSvg(p, "scatter");
  ExpectWellFormed(path);
  Image img;
  if (!Render(path, img)) GTEST_SKIP() << "rsvg-convert or zlib not installed";
  EXPECT_EQ(CountBlobs(img), 24);
}

TEST(SvgPlot, DendrogramLeavesSpanTheWidthAndBarsScale) {
  // Eight leaves at 1..8 joined pairwise, then in fours, then all.
  Plot p;
  PlotPanel tree;
  for (int i = 1; i <= 8; ++i) tree.XCategories.emplace_back(i, "leaf " + std::to_string(i));
  for (int i = 1; i <= 8; i += 2) {
    tree.Links.push_back({double(i), 0, double(i), 1});
    tree.Links.push_back({double(i + 1), 0, double(i + 1), 1});
    tree.Links.push_back({double(i), 1, double(i + 1), 1});
  }
  tree.Links.push_back({1.5, 1, 1.5, 3});
  tree.Links.push_back({3.5, 1, 3.5, 3});
  tree.Links.push_back({1.5, 3, 3.5, 3});
  tree.Links.push_back({5.5, 1, 5.5, 3});
  tree.Links.push_back({7.5, 1, 7.5, 3});
  tree.Links.push_back({5.5, 3, 7.5, 3});
  tree.Links.push_back({2.5, 3, 2.5, 6});
  tree.Links.push_back({6.5, 3, 6.5, 6});
  tree.Links.push_back({2.5, 6, 6.5, 6});
  tree.YFromZero = true;
  p.Panels.push_back(tree);
  const std::string path = WriteSvg(p, "dendrogram");
  ExpectWellFormed(path);
  Image img;
  if (!Render(path, img)) GTEST_SKIP() << "rsvg-convert or zlib not installed";
  int lo = img.Width, hi = -1, top = img.Height;
  for (int y = 0; y < img.Height; ++y)
    for (int x = 0; x < img.Width; ++x)
      if (IsFirstColour(img.At(x, y))) lo = std::min(lo, x), hi = std::max(hi, x), top = std::min(top, y);
  // The plot area is 62..786; the leaves fill it but for the 8 % margins.
  EXPECT_LT(lo, 62 + 80);
  EXPECT_GT(hi, 786 - 80);
  // The root link at height 6 of an axis that starts at 0: near the top of the frame.
  EXPECT_LT(top, 28 + 60);
  EXPECT_EQ(CountBlobs(img), 1);  // one tree

  // Bars of heights 1 and 3 side by side: three times as tall, sharing the baseline.
  Plot h;
  PlotPanel bars;
  bars.Series.push_back({PlotSeries::kBars, "", {0, 1}, {1, 3}, 1.0, {}});
  h.Panels.push_back(bars);
  const std::string hpath = WriteSvg(h, "bars");
  ExpectWellFormed(hpath);
  Image him;
  ASSERT_TRUE(Render(hpath, him));
  auto column = [&](int x) {
    int first = -1, last = -1;
    for (int y = 0; y < him.Height; ++y)
      if (IsFirstColour(him.At(x, y))) {
        if (first < 0) first = y;
        last = y;
      }
    return std::make_pair(first, last);
  };
  // Columns of pixels well inside the first and the second bar.
  const auto left = column(62 + (786 - 62) * 3 / 10), right = column(62 + (786 - 62) * 7 / 10);
  ASSERT_GT(left.first, 0);
  ASSERT_GT(right.first, 0);
  EXPECT_NEAR(left.second, right.second, 1);
  EXPECT_NEAR(3.0 * (left.second - left.first), right.second - right.first, 4);
}

TEST(SvgPlot, DegenerateDataStillMakeAValidPicture) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  Plot p;
  p.Title = "degenerate";
  p.Panels.emplace_back();  // nothing at all
  PlotPanel one;
  one.Series.push_back({PlotSeries::kPoints, "one", {5}, {5}, 0.0, {}});
  p.Panels.push_back(one);
  PlotPanel wild;
  wild.Series.push_back({PlotSeries::kLine, "wide", {-1.7e308, 0, nan, 1.7e308}, {1e-300, inf, 2, -1e-300}, 0.0, {}});
  wild.Series.push_back({PlotSeries::kPoints, "", {1, 2, 3}, {1, 2}, 0.0, {0, 1, 2}});  // unequal lengths
  wild.GroupNames = {"g1", "g2", "g3"};
  p.Panels.push_back(wild);
  PlotPanel tiny;
  tiny.Series.push_back({PlotSeries::kLine, "", {1, 1 + 1e-15}, {0, 1e-15}, 0.0, {}});
  p.Panels.push_back(tiny);
  const std::string svg = nuvstat::RenderSvg(p);
  // Ticks 2e-16 apart near 1 keep the digits that tell them apart.
  EXPECT_NE(svg.find(">1.0000000000000002<"), std::string::npos);
  EXPECT_EQ(svg.find("nan"), std::string::npos);
  EXPECT_EQ(svg.find("inf"), std::string::npos);
  EXPECT_THROW(nuvstat::WritePlot(p, TempPath("no/such/dir/x.svg")), nuvstat::ToolError);
  const std::string path = WriteSvg(p, "degenerate");
  ExpectWellFormed(path);
  Image img;
  if (!Render(path, img)) GTEST_SKIP() << "rsvg-convert or zlib not installed";
}

}  // namespace
