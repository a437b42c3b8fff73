#include "Nuv_complex/complex_compare.h"

#include <cmath>

namespace nuv {

bool CpxIsEqual(const TComplex& a, const TComplex& b) { return a.re == b.re && a.im == b.im; }

bool CpxIsNearEqual(const TComplex& a, const TComplex& b) {
  const Extended tol = CpxNearZero;
  return std::fabs(a.re - b.re) < tol && std::fabs(a.im - b.im) < tol;
}

bool CpxIsZero(const TComplex& a) {
  const Extended tol = CpxNearZero;
  const bool reZero = a.re == 0.0L || std::fabs(a.re) < tol;
  const bool imZero = a.im == 0.0L || std::fabs(a.im) < tol;
  return reZero && imZero;
}

}  // namespace nuv
