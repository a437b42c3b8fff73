#include "foundation/colors.h"

#include <algorithm>
#include <cmath>

namespace nuv {

uint8_t RGBtoGray(uint8_t r, uint8_t g, uint8_t b) {
  // Integer weights in thousandths keep the rounding exact.
  const uint32_t s = 299u * r + 587u * g + 114u * b;
  uint32_t q = s / 1000u;
  const uint32_t rest = s % 1000u;
  if (rest > 500u || (rest == 500u && (q & 1u) != 0)) ++q;
  return static_cast<uint8_t>(q);
}

void RGBtoHSI(uint8_t r, uint8_t g, uint8_t b, double& Hue, double& Sat, double& Intens) {
  const int sum = r + g + b;
  Intens = sum / (3.0 * 255.0);
  if (sum == 0) {
    Hue = 0.0;
    Sat = 0.0;
    return;
  }
  const int lo = std::min({r, g, b});
  Sat = 1.0 - 3.0 * lo / sum;
  const int rg = r - g, rb = r - b, gb = g - b;
  // (r-g)^2 + (r-b)(g-b) is 0 only for r = g = b.
  const int d2 = rg * rg + rb * gb;
  if (d2 == 0) {
    Hue = 0.0;
    return;
  }
  double c = 0.5 * (rg + rb) / std::sqrt(static_cast<double>(d2));
  c = std::clamp(c, -1.0, 1.0);
  const double theta = std::acos(c) * (180.0 / 3.14159265358979323846);
  Hue = b <= g ? theta : 360.0 - theta;
  if (Hue >= 360.0) Hue = 0.0;
}

}  // namespace nuv
