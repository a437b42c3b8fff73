// CalcImgCorrelation in every mode against a direct two-pass computation on
// the same pixels, its special results and the refused areas.
#include <cmath>
#include <cstdint>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol2;

namespace {

const TImgCompareMode kModes[] = {icmRed,       icmBlue,       icmGreen,     icmHue,
                                  icmLightness, icmSaturation, icmGrayValues};

// r of a value near 0 is a difference of nearly equal sums: absolute floor.
constexpr double kNearZeroFloor = 1e-13;

void FillRandom(TBitmap& b, int32_t w, int32_t h, uint32_t seed) {
  SetRandSeed(seed);
  std::vector<TColor> px(static_cast<size_t>(w) * h);
  for (TColor& c : px) c = static_cast<TColor>(Random(1 << 24));
  b.LoadFromMemory(px.data(), w, h);
}

// The compared value of a pixel, taken apart by hand: red in bits 0..7,
// green 8..15, blue 16..23.
double ValueOf(TColor c, TImgCompareMode m) {
  const uint8_t r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  double hue, sat, in;
  RGBtoHSI(r, g, b, hue, sat, in);
  switch (m) {
    case icmRed:
      return r;
    case icmGreen:
      return g;
    case icmBlue:
      return b;
    case icmHue:
      return hue;
    case icmSaturation:
      return sat;
    case icmLightness:
      return in;
    case icmGrayValues:
      return RGBtoGray(r, g, b);
  }
  return 0;
}

// Pearson's r by two passes in extended precision.
double DirectR(TBitmap& a, TBitmap& b, const TRect& r1, const TRect& r2, TImgCompareMode m) {
  std::vector<long double> u, v;
  for (int32_t x = r1.Left; x <= r1.Right; ++x)
    for (int32_t y = r1.Top; y <= r1.Bottom; ++y) {
      u.push_back(ValueOf(a.GetCanvas()->Pixels(x, y), m));
      v.push_back(ValueOf(b.GetCanvas()->Pixels(x + r2.Left - r1.Left, y + r2.Top - r1.Top), m));
    }
  long double mu = 0, mv = 0;
  for (size_t i = 0; i < u.size(); ++i) mu += u[i], mv += v[i];
  mu /= u.size();
  mv /= v.size();
  long double suu = 0, svv = 0, suv = 0;
  for (size_t i = 0; i < u.size(); ++i) {
    suu += (u[i] - mu) * (u[i] - mu);
    svv += (v[i] - mv) * (v[i] - mv);
    suv += (u[i] - mu) * (v[i] - mv);
  }
  return static_cast<double>(suv / std::sqrt(suu * svv));
}

}  // namespace

TEST(CalcImgCorrelation, EveryModeAgreesWithADirectComputationAndWithTCurveFit) {
  TBitmap a, b;
  FillRandom(a, 23, 17, 3);
  FillRandom(b, 19, 21, 4);
  // b partly copies a, so that the areas correlate in every mode.
  for (int32_t y = 0; y < 12; ++y)
    for (int32_t x = 0; x < 15; ++x)
      if ((x * 7 + y * 3) % 5 != 0)
        b.GetCanvas()->SetPixel(x + 2, y + 5, a.GetCanvas()->Pixels(x + 6, y + 1));
  const TRect r1{6, 1, 20, 12}, r2{2, 5, 16, 16};
  for (TImgCompareMode m : kModes) {
    const double got = CalcImgCorrelation(&a, &b, r1, r2, m);
    const double want = DirectR(a, b, r1, r2, m);
    EXPECT_GT(want, 0.5) << int(m);
    EXPECT_REL_NEAR_FLOOR(got, want, kTol2, kNearZeroFloor) << int(m);
    // The pairs entered into a curve fitter give the same coefficient.
    TCurveFit fit;
    for (int32_t x = r1.Left; x <= r1.Right; ++x)
      for (int32_t y = r1.Top; y <= r1.Bottom; ++y)
        fit.EnterStatValue(ValueOf(a.GetCanvas()->Pixels(x, y), m),
                           ValueOf(b.GetCanvas()->Pixels(x - 4, y + 4), m));
    EXPECT_REL_NEAR_FLOOR(got, fit.GetRxy(), kTol2, kNearZeroFloor) << int(m);
  }
  // Unrelated areas: r near 0, still as computed directly.
  const TRect q1{0, 0, 18, 16}, q2{0, 4, 18, 20};
  for (TImgCompareMode m : kModes)
    EXPECT_REL_NEAR_FLOOR(CalcImgCorrelation(&a, &b, q1, q2, m), DirectR(a, b, q1, q2, m), kTol2,
                          kNearZeroFloor)
        << int(m);
}

TEST(CalcImgCorrelation, ChannelsComeFromTheirBits) {
  // Image 2 keeps the red ramp of image 1, reverses its blue ramp and has a
  // green ramp of its own: +1 in red, -1 in blue, the ramps' r in green.
  TBitmap a, b;
  a.SetSize(8, 8);
  b.SetSize(8, 8);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 8; ++x) {
      const uint8_t v = static_cast<uint8_t>(30 * x + 3 * y);
      a.GetCanvas()->SetPixel(x, y, RGBToColor(v, static_cast<uint8_t>(10 * y), v));
      b.GetCanvas()->SetPixel(
          x, y, RGBToColor(v, static_cast<uint8_t>(7 * x), static_cast<uint8_t>(255 - v)));
    }
  const TRect all{0, 0, 7, 7};
  EXPECT_EQ(CalcImgCorrelation(&a, &b, all, all, icmRed), 1.0);
  EXPECT_EQ(CalcImgCorrelation(&a, &b, all, all, icmBlue), -1.0);
  EXPECT_EQ(CalcImgCorrelation(&a, &b, all, all, icmGreen), 0.0);  // 10y against 7x
}

TEST(CalcImgCorrelation, AnAreaWithItselfGivesOneOrZeroWhenUniform) {
  TBitmap a;
  FillRandom(a, 12, 10, 9);
  const TRect r{2, 3, 9, 8};
  EXPECT_EQ(CalcImgCorrelation(&a, &a, r, r, icmGrayValues), 1.0);
  for (TImgCompareMode m : kModes) EXPECT_REL_NEAR(CalcImgCorrelation(&a, &a, r, r, m), 1.0, kTol2);
  // A uniform area: 0 in every mode, also in those of fractional values.
  for (int32_t y = 0; y < 10; ++y)
    for (int32_t x = 0; x < 12; ++x) a.GetCanvas()->SetPixel(x, y, RGBToColor(91, 17, 200));
  for (TImgCompareMode m : kModes) EXPECT_EQ(CalcImgCorrelation(&a, &a, r, r, m), 0.0) << int(m);
  // Fewer than three pixels, and an area without pixels: 0.
  TBitmap b;
  FillRandom(b, 12, 10, 10);
  EXPECT_EQ(CalcImgCorrelation(&a, &b, {0, 0, 1, 0}, {4, 4, 5, 4}, icmRed), 0.0);
  EXPECT_EQ(CalcImgCorrelation(&a, &b, {5, 0, 4, 3}, {3, 0, 2, 3}, icmRed), 0.0);
}

TEST(CalcImgCorrelation, RefusesAreasOfOtherSizesOrOutsideTheirBitmaps) {
  TBitmap a, b;
  FillRandom(a, 30, 20, 1);
  FillRandom(b, 30, 20, 2);
  const char* size = "image ranges to compare are not of equal size";
  const char* outside = "image range to compare lies outside the bitmap";
  EXPECT_THROW_MSG(CalcImgCorrelation(&a, &b, {0, 0, 9, 5}, {0, 0, 10, 5}, icmRed), ENUVMath2Error,
                   size);
  // Equal widths, different heights: Img2 would be read below its area.
  EXPECT_THROW_MSG(CalcImgCorrelation(&a, &b, {0, 0, 9, 9}, {0, 0, 9, 4}, icmRed), ENUVMath2Error,
                   size);
  EXPECT_THROW_MSG(CalcImgCorrelation(&a, &b, {-1, 0, 8, 5}, {0, 0, 9, 5}, icmRed), ENUVMath2Error,
                   outside);
  EXPECT_THROW_MSG(CalcImgCorrelation(&a, &b, {0, 0, 9, 5}, {21, 0, 30, 5}, icmHue), ENUVMath2Error,
                   outside);
  EXPECT_THROW_MSG(CalcImgCorrelation(&a, &b, {0, 15, 9, 20}, {0, 0, 9, 5}, icmRed), ENUVMath2Error,
                   outside);
  EXPECT_THROW_MSG(CalcImgCorrelation(&a, nullptr, {0, 0, 9, 5}, {0, 0, 9, 5}, icmRed),
                   ENUVMath2Error, outside);
  // The widest areas whose differences overflow 32 bits are still only of another size.
  EXPECT_THROW_MSG(CalcImgCorrelation(&a, &b, {INT32_MIN, 0, INT32_MAX, 5}, {0, 0, 9, 5}, icmRed),
                   ENUVMath2Error, size);
  EXPECT_THROW_MSG(CalcImgCorrelation(&a, &b, {INT32_MIN, 0, INT32_MAX, 5},
                                      {INT32_MIN, 0, INT32_MAX, 5}, icmRed),
                   ENUVMath2Error, outside);
  // The whole bitmap is allowed.
  EXPECT_NO_THROW(CalcImgCorrelation(&a, &b, {0, 0, 29, 19}, {0, 0, 29, 19}, icmRed));
}
