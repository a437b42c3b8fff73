// Colour conversions of 8-bit RGB channels.
#pragma once

#include <cstdint>

#include "foundation/nuv_export.h"

namespace nuv {

/// Luma of ITU-R BT.601: 0.299 r + 0.587 g + 0.114 b, rounded to the nearest
/// integer (halves to even); 0..255.
NUV_API uint8_t RGBtoGray(uint8_t r, uint8_t g, uint8_t b);

/// The HSI model (Gonzalez and Woods): Intens = (r + g + b) / (3 * 255) in
/// 0..1; Sat = 1 - min(r, g, b) / mean(r, g, b) in 0..1, 0 for black;
/// Hue in degrees 0 <= Hue < 360 measured from red towards green
/// (red 0, green 120, blue 240), 0 for greys, where it is undefined.
NUV_API void RGBtoHSI(uint8_t r, uint8_t g, uint8_t b, double& Hue, double& Sat, double& Intens);

}  // namespace nuv
