// Image correlation: the correlation coefficient of two equally sized areas
// of two bitmaps, compared by a colour channel, a derived colour attribute or
// the gray value.
#pragma once

#include <cstdint>

#include "foundation/frame.h"

namespace nuv {

/// What CalcImgCorrelation compares: a channel (0..255), the hue (degrees),
/// intensity or saturation (0..1) of RGBtoHSI, or the RGBtoGray value.
enum TImgCompareMode : uint8_t {
  icmRed,
  icmBlue,
  icmGreen,
  icmHue,
  icmLightness,
  icmSaturation,
  icmGrayValues
};

/// Pearson's r between the values of pixel (x, y) of Area1 in Img1 and pixel
/// (x + dx, y + dy) of Img2, (dx, dy) being the offset of Area2 from Area1;
/// Right and Bottom are part of an area. 0 for fewer than three pixels, when
/// all values of an image are 0 or when a variance is 0; an area with
/// Right < Left or Bottom < Top has no pixels.
/// Raises ENUVMath2Error "image ranges to compare are not of equal size" when
/// the widths or the heights differ, and "image range to compare lies outside
/// the bitmap" when a pixel of an area is not in its bitmap (or the bitmap is
/// absent).
NUV_API double CalcImgCorrelation(const TBitmap* Img1, const TBitmap* Img2, const TRect& Area1,
                                  const TRect& Area2, TImgCompareMode Mode);

}  // namespace nuv
