// The correlation is Pearson's r of the pixel pairs, computed from sums of the
// values' offsets from the first pixel of each area: for the channel and gray
// modes the sums are exact integers, and a uniform area gives offsets of 0
// exactly, so it is recognised without rounding in every mode.
#include "Nuv_math2/imgcorr.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace nuv {

namespace {

[[noreturn]] void Raise(const char* Text) { throw ENUVMath2Error(Text); }

struct Sums {
  long double n = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
};

// Pearson's r from the sums of offsets; 0 below three pairs or without variance.
double Pearson(const Sums& s) {
  if (s.n < 3 || s.sxx == 0 || s.syy == 0) return 0.0;
  const long double cxx = s.n * s.sxx - s.sx * s.sx;
  const long double cyy = s.n * s.syy - s.sy * s.sy;
  if (cxx <= 0 || cyy <= 0) return 0.0;
  const long double r = (s.n * s.sxy - s.sx * s.sy) / std::sqrt(cxx * cyy);
  return static_cast<double>(std::clamp(r, -1.0L, 1.0L));
}

// The pixel rows of the two areas, row by row.
struct AreaRows {
  const TBitmap* Img1;
  const TBitmap* Img2;
  int32_t Left1, Left2, Top1, Top2, Width, Height;
  const TColor* Row1(int32_t y) const { return Img1->ScanLine(Top1 + y) + Left1; }
  const TColor* Row2(int32_t y) const { return Img2->ScanLine(Top2 + y) + Left2; }
};

// Integer values of 0..255: offsets in -255..255, so blocks of 2^15 pixels
// sum in 32-bit integers, which the compiler vectorises.
template <class Value>
Sums IntegerSums(const AreaRows& a, Value value) {
  constexpr int32_t kBlock = 1 << 15;
  const int32_t ref1 = value(a.Row1(0)[0]);
  const int32_t ref2 = value(a.Row2(0)[0]);
  int64_t sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
  for (int32_t y = 0; y < a.Height; ++y) {
    const TColor* r1 = a.Row1(y);
    const TColor* r2 = a.Row2(y);
    for (int32_t x0 = 0; x0 < a.Width; x0 += kBlock) {
      const int32_t x1 = a.Width - x0 < kBlock ? a.Width : x0 + kBlock;
      int32_t bx = 0, by = 0, bxx = 0, byy = 0, bxy = 0;
      for (int32_t x = x0; x < x1; ++x) {
        const int32_t u = value(r1[x]) - ref1;
        const int32_t v = value(r2[x]) - ref2;
        bx += u;
        by += v;
        bxx += u * u;
        byy += v * v;
        bxy += u * v;
      }
      sx += bx;
      sy += by;
      sxx += bxx;
      syy += byy;
      sxy += bxy;
    }
  }
  Sums s;
  s.n = static_cast<long double>(a.Width) * a.Height;
  s.sx = static_cast<long double>(sx);
  s.sy = static_cast<long double>(sy);
  s.sxx = static_cast<long double>(sxx);
  s.syy = static_cast<long double>(syy);
  s.sxy = static_cast<long double>(sxy);
  return s;
}

// One attribute of RGBtoHSI: 0 hue, 1 saturation, 2 intensity.
template <int Which>
double HSIValue(TColor c) {
  double h, s, i;
  RGBtoHSI(ColorRed(c), ColorGreen(c), ColorBlue(c), h, s, i);
  return Which == 0 ? h : (Which == 1 ? s : i);
}

// Rows are summed in doubles (at most 2^31 offsets below 360 each) and the
// rows' sums added in extended precision.
template <int Which>
Sums HSISums(const AreaRows& a) {
  const double ref1 = HSIValue<Which>(a.Row1(0)[0]);
  const double ref2 = HSIValue<Which>(a.Row2(0)[0]);
  Sums s;
  for (int32_t y = 0; y < a.Height; ++y) {
    const TColor* r1 = a.Row1(y);
    const TColor* r2 = a.Row2(y);
    double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    for (int32_t x = 0; x < a.Width; ++x) {
      const double u = HSIValue<Which>(r1[x]) - ref1;
      const double v = HSIValue<Which>(r2[x]) - ref2;
      sx += u;
      sy += v;
      sxx += u * u;
      syy += v * v;
      sxy += u * v;
    }
    s.sx += sx;
    s.sy += sy;
    s.sxx += sxx;
    s.syy += syy;
    s.sxy += sxy;
  }
  s.n = static_cast<long double>(a.Width) * a.Height;
  return s;
}

bool AreaInside(const TBitmap* Img, const TRect& A) {
  return Img != nullptr && A.Left >= 0 && A.Top >= 0 && A.Right < Img->Width() &&
         A.Bottom < Img->Height();
}

}  // namespace

double CalcImgCorrelation(const TBitmap* Img1, const TBitmap* Img2, const TRect& Area1,
                          const TRect& Area2, TImgCompareMode Mode) {
  const int64_t w = static_cast<int64_t>(Area1.Right) - Area1.Left + 1;
  const int64_t h = static_cast<int64_t>(Area1.Bottom) - Area1.Top + 1;
  if (w != static_cast<int64_t>(Area2.Right) - Area2.Left + 1 ||
      h != static_cast<int64_t>(Area2.Bottom) - Area2.Top + 1)
    Raise("image ranges to compare are not of equal size");
  if (w <= 0 || h <= 0) return 0.0;
  if (!AreaInside(Img1, Area1) || !AreaInside(Img2, Area2))
    Raise("image range to compare lies outside the bitmap");
  const AreaRows a{Img1,
                   Img2,
                   Area1.Left,
                   Area2.Left,
                   Area1.Top,
                   Area2.Top,
                   static_cast<int32_t>(w),
                   static_cast<int32_t>(h)};
  switch (Mode) {
    case icmRed:
      return Pearson(IntegerSums(a, [](TColor c) { return int32_t{ColorRed(c)}; }));
    case icmGreen:
      return Pearson(IntegerSums(a, [](TColor c) { return int32_t{ColorGreen(c)}; }));
    case icmBlue:
      return Pearson(IntegerSums(a, [](TColor c) { return int32_t{ColorBlue(c)}; }));
    case icmGrayValues:
      return Pearson(IntegerSums(a, [](TColor c) {
        return int32_t{RGBtoGray(ColorRed(c), ColorGreen(c), ColorBlue(c))};
      }));
    case icmHue:
      return Pearson(HSISums<0>(a));
    case icmSaturation:
      return Pearson(HSISums<1>(a));
    case icmLightness:
      return Pearson(HSISums<2>(a));
  }
  return 0.0;  // a Mode outside the enumeration
}

}  // namespace nuv
