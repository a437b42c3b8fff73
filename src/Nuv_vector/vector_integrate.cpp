// Integration of the elements as unit-spaced samples: sample i stands at x = i.
#include <cmath>

#include "Nuv_vector/vector.h"

namespace nuv {

double TVector::Integrate(double BoundLow, double BoundHigh, TIntegMethod Method) const {
  const double n = FNElem;
  auto clip = [n](double b) { return !(b >= 1) ? 1.0 : (b > n ? n : b); };
  double lo = clip(BoundLow), hi = clip(BoundHigh);
  if (hi < lo) std::swap(lo, hi);
  const double w = hi - lo;
  const int32_t a = static_cast<int32_t>(std::ceil(lo));
  const int32_t b = static_cast<int32_t>(std::floor(hi));
  const double* p = FVec.data();
  auto Y = [p](int32_t i) { return p[i - 1]; };  // sample i is element i

  // Linear interpolation inside the sample interval that holds x.
  auto yAt = [&](double x, int32_t left) { return Y(left) + (x - left) * (Y(left + 1) - Y(left)); };
  // Trapezoids from lo up to the first sample and from the last sample up to hi.
  auto head = [&]() { return a > lo ? (a - lo) * (yAt(lo, a - 1) + Y(a)) / 2 : 0.0; };
  auto tail = [&]() { return hi > b ? (hi - b) * (Y(b) + yAt(hi, b)) / 2 : 0.0; };
  auto trapezoidal = [&]() {
    if (b < a) return w * (yAt(lo, a - 1) + yAt(hi, a - 1)) / 2;
    double s = head() + tail();
    for (int32_t i = a; i < b; ++i) s += (Y(i) + Y(i + 1)) / 2;
    return s;
  };

  switch (Method) {
    case imSimple: {
      if (b < a) return w * (Y(a - 1) + Y(a)) / 2;
      double s = 0;
      for (int32_t i = a; i <= b; ++i) s += Y(i);
      return w * s / (b - a + 1);
    }
    case imTrapezoidal:
      return trapezoidal();
    case imSimpson: {
      const int32_t m = b - a;
      if (m < 2) return trapezoidal();
      const double ends = head() + tail();
      if (m == 2) return ends + (Y(a) + 4 * Y(a + 1) + Y(a + 2)) / 3;
      if (m == 3) return ends + 3 * (Y(a) + 3 * Y(a + 1) + 3 * Y(a + 2) + Y(a + 3)) / 8;
      if (m == 4)
        return ends + 2 * (7 * Y(a) + 32 * Y(a + 1) + 12 * Y(a + 2) + 32 * Y(a + 3) + 7 * Y(a + 4)) / 45;
      // Extended Simpson rule with corrected end weights.
      double s = 3.0 / 8 * Y(a) + 7.0 / 6 * Y(a + 1) + 23.0 / 24 * Y(a + 2);
      for (int32_t i = a + 3; i <= b - 3; ++i) s += Y(i);
      s += 23.0 / 24 * Y(b - 2) + 7.0 / 6 * Y(b - 1) + 3.0 / 8 * Y(b);
      return ends + s;
    }
  }
  return 0.0;
}

}  // namespace nuv
