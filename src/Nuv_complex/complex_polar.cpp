#include "Nuv_complex/complex_polar.h"

#include <cmath>

#include "Nuv_complex/complex_arith.h"

namespace nuv {

namespace {

constexpr Extended kPi = 3.141592653589793238462643383279502884L;

}  // namespace

TComplexPolar ConvertRectToPolar(const TComplex& a) {
  Extended phi = std::atan2(a.im, a.re);
  // atan2 gives -pi for a negative zero imaginary part; the range ends at +pi.
  if (a.im == 0.0L && a.re < 0.0L) phi = kPi;
  return TComplexPolar{CpxAbs(a), phi};
}

TComplex ConvertPolarToRect(const TComplexPolar& p) {
  return TComplex{p.r * std::cos(p.phi), p.r * std::sin(p.phi)};
}

}  // namespace nuv
