#include "Nuv_complex/complex_arith.h"

#include <cfloat>
#include <cmath>

namespace nuv {

namespace {

bool Finite(const TComplex& z) { return std::isfinite(z.re) && std::isfinite(z.im); }

}  // namespace

TComplex Cpx(Extended re, Extended im) { return TComplex{re, im}; }

Extended CpxAbs(const TComplex& a) {
  const Extended s = a.re * a.re + a.im * a.im;
  if (s >= LDBL_MIN && s <= LDBL_MAX) return std::sqrt(s);
  // Squares out of range, zero, NaN or infinite parts: hypot sorts them out.
  return std::hypot(a.re, a.im);
}

Extended CpxAbsSqr(const TComplex& a) { return a.re * a.re + a.im * a.im; }

TComplex CpxAdd(const TComplex& a, const TComplex& b) { return {a.re + b.re, a.im + b.im}; }

TComplex CpxSub(const TComplex& a, const TComplex& b) { return {a.re - b.re, a.im - b.im}; }

TComplex CpxNeg(const TComplex& a) { return {-a.re, -a.im}; }

TComplex CpxConj(const TComplex& a) { return {a.re, -a.im}; }

TComplex CpxMult(const TComplex& a, const TComplex& b) {
  return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

TComplex CpxDiv(const TComplex& a, const TComplex& b) {
  const Extended d = b.re * b.re + b.im * b.im;
  if (d == 0.0L) RaiseFunctionError<ENUVComplexError>("CpxDiv", "division by zero");
  const TComplex q{(a.re * b.re + a.im * b.im) / d, (a.im * b.re - a.re * b.im) / d};
  // Finite operands whose quotient is not finite overflowed on the way: the
  // floating-point failure is reported, never returned as a number.
  if (!Finite(q) && Finite(a) && Finite(b)) {
    RaiseFunctionError<ENUVComplexError>("CpxDiv", "division by zero");
  }
  return q;
}

}  // namespace nuv
