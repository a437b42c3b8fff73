// Convex hull and image correlation against plain loops on the same data: a
// monotone-chain hull (std::sort and double cross products) and a correlation
// loop that converts each pixel the same way and sums in doubles.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"

using namespace nuv;

namespace {

std::vector<TPointDouble> RandomPoints(int n, bool Disc) {
  SetRandSeed(42);
  std::vector<TPointDouble> p;
  p.reserve(static_cast<size_t>(n));
  while (static_cast<int>(p.size()) < n) {
    const double x = Random() - 0.5, y = Random() - 0.5;
    if (!Disc || x * x + y * y <= 0.25) p.push_back({x, y});
  }
  return p;
}

double Cross(const TPointDouble& o, const TPointDouble& a, const TPointDouble& b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Andrew's monotone chain in plain doubles, on a copy it may sort.
std::vector<TPointDouble> MonotoneChain(std::vector<TPointDouble> s) {
  std::sort(s.begin(), s.end(), [](const TPointDouble& a, const TPointDouble& b) {
    return a.x < b.x || (a.x == b.x && a.y < b.y);
  });
  std::vector<TPointDouble> h(2 * s.size());
  size_t k = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    while (k >= 2 && Cross(h[k - 2], h[k - 1], s[i]) <= 0) --k;
    h[k++] = s[i];
  }
  for (size_t i = s.size() - 1, t = k + 1; i-- > 0;) {
    while (k >= t && Cross(h[k - 2], h[k - 1], s[i]) <= 0) --k;
    h[k++] = s[i];
  }
  h.resize(k - 1);
  return h;
}

// Range 0: points; range 1: 1 for a disc (more corners), 0 for a square.
void BM_Convex2DHull(benchmark::State& state) {
  const std::vector<TPointDouble> p =
      RandomPoints(static_cast<int>(state.range(0)), state.range(1) != 0);
  std::vector<TPointDouble> hull;
  for (auto _ : state) {
    Convex2DHull(p, hull);
    benchmark::DoNotOptimize(hull.data());
  }
  state.counters["corners"] = static_cast<double>(hull.size());
}
BENCHMARK(BM_Convex2DHull)->Args({1000000, 0})->Args({1000000, 1})->Unit(benchmark::kMillisecond);

void BM_PlainMonotoneChain(benchmark::State& state) {
  const std::vector<TPointDouble> p =
      RandomPoints(static_cast<int>(state.range(0)), state.range(1) != 0);
  std::vector<TPointDouble> hull;
  for (auto _ : state) {
    hull = MonotoneChain(p);
    benchmark::DoNotOptimize(hull.data());
  }
  state.counters["corners"] = static_cast<double>(hull.size());
}
BENCHMARK(BM_PlainMonotoneChain)
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Unit(benchmark::kMillisecond);

// Two 1100 x 1100 bitmaps of smooth colour patterns; the areas are 1000 x 1000.
struct Images {
  TBitmap a, b;
  Images() {
    const int32_t n = 1100;
    std::vector<TColor> pa(static_cast<size_t>(n) * n), pb(pa.size());
    for (int32_t y = 0; y < n; ++y)
      for (int32_t x = 0; x < n; ++x) {
        const auto c = [](double v) { return static_cast<uint8_t>(127.5 + 127.5 * std::sin(v)); };
        pa[static_cast<size_t>(y) * n + x] =
            RGBToColor(c(0.05 * x), c(0.07 * y), c(0.03 * (x + y)));
        pb[static_cast<size_t>(y) * n + x] =
            RGBToColor(c(0.05 * x + 0.2), c(0.07 * y), c(0.031 * (x + y)));
      }
    a.LoadFromMemory(pa.data(), n, n);
    b.LoadFromMemory(pb.data(), n, n);
  }
};

const Images& TestImages() {
  static const Images im;
  return im;
}

const TRect kArea1{10, 20, 1009, 1019};
const TRect kArea2{50, 60, 1049, 1059};

void BM_CalcImgCorrelation(benchmark::State& state) {
  const Images& im = TestImages();
  const auto mode = static_cast<TImgCompareMode>(state.range(0));
  for (auto _ : state)
    benchmark::DoNotOptimize(CalcImgCorrelation(&im.a, &im.b, kArea1, kArea2, mode));
  state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(BM_CalcImgCorrelation)
    ->Arg(icmRed)
    ->Arg(icmGrayValues)
    ->Arg(icmHue)
    ->Unit(benchmark::kMillisecond);

double PlainValue(TColor c, TImgCompareMode mode) {
  switch (mode) {
    case icmRed:
      return ColorRed(c);
    case icmGrayValues:
      return RGBtoGray(ColorRed(c), ColorGreen(c), ColorBlue(c));
    default: {
      double h, s, i;
      RGBtoHSI(ColorRed(c), ColorGreen(c), ColorBlue(c), h, s, i);
      return h;
    }
  }
}

// The textbook loop: one pass of double sums over the pixel pairs.
void BM_PlainCorrelationLoop(benchmark::State& state) {
  const Images& im = TestImages();
  const auto mode = static_cast<TImgCompareMode>(state.range(0));
  for (auto _ : state) {
    double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    for (int32_t y = 0; y < 1000; ++y) {
      const TColor* r1 = im.a.ScanLine(kArea1.Top + y) + kArea1.Left;
      const TColor* r2 = im.b.ScanLine(kArea2.Top + y) + kArea2.Left;
      for (int32_t x = 0; x < 1000; ++x) {
        const double u = PlainValue(r1[x], mode), v = PlainValue(r2[x], mode);
        sx += u;
        sy += v;
        sxx += u * u;
        syy += v * v;
        sxy += u * v;
      }
    }
    const double n = 1e6;
    benchmark::DoNotOptimize((n * sxy - sx * sy) /
                             std::sqrt((n * sxx - sx * sx) * (n * syy - sy * sy)));
  }
  state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(BM_PlainCorrelationLoop)
    ->Arg(icmRed)
    ->Arg(icmGrayValues)
    ->Arg(icmHue)
    ->Unit(benchmark::kMillisecond);

}  // namespace
