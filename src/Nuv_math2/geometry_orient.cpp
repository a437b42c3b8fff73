#include "Nuv_math2/geometry_orient.h"

#include <algorithm>
#include <cmath>

namespace nuv {
namespace detail {

namespace {

// Error-free transformations (Knuth, Dekker): a + b = s + e and a * b = p + e
// exactly, barring overflow and underflow. The library is compiled without
// value-changing optimisations, so the compiler keeps these as written.
inline void TwoSum(double a, double b, double& s, double& e) {
  s = a + b;
  const double bv = s - a;
  const double av = s - bv;
  e = (a - av) + (b - bv);
}

inline void TwoDiff(double a, double b, double& s, double& e) {
  s = a - b;
  const double bv = a - s;
  const double av = s + bv;
  e = (a - av) + (bv - b);
}

inline void TwoProduct(double a, double b, double& p, double& e) {
  p = a * b;
  e = std::fma(a, b, -p);
}

// Appends the four exact partial products of (a1 + a0) * (b1 + b0) times Sign.
inline void AddProducts(double a1, double a0, double b1, double b0, double Sign, double* Out) {
  TwoProduct(a1, b1, Out[0], Out[1]);
  TwoProduct(a1, b0, Out[2], Out[3]);
  TwoProduct(a0, b1, Out[4], Out[5]);
  TwoProduct(a0, b0, Out[6], Out[7]);
  for (int i = 0; i < 8; ++i) Out[i] *= Sign;
}

}  // namespace

int OrientSignExact(double ax, double ay, double bx, double by, double cx, double cy) {
  double v[6] = {ax, ay, bx, by, cx, cy};
  double big = 0.0;
  for (double c : v) {
    if (!std::isfinite(c)) return 0;
    big = std::max(big, std::fabs(c));
  }
  if (big == 0.0) return 0;
  // Scaling by a power of two keeps the sign and every bit: the largest
  // coordinate becomes about 2^450, so differences stay below 2^451, products
  // below 2^902 and the sum of sixteen of them far from overflow.
  int e = 0;
  std::frexp(big, &e);
  for (double& c : v) c = std::ldexp(c, 450 - e);

  double acx1, acx0, bcy1, bcy0, acy1, acy0, bcx1, bcx0;
  TwoDiff(v[0], v[4], acx1, acx0);
  TwoDiff(v[3], v[5], bcy1, bcy0);
  TwoDiff(v[1], v[5], acy1, acy0);
  TwoDiff(v[2], v[4], bcx1, bcx0);
  double terms[16];
  AddProducts(acx1, acx0, bcy1, bcy0, 1.0, terms);
  AddProducts(acy1, acy0, bcx1, bcx0, -1.0, terms + 8);

  // Grow an expansion term by term (Shewchuk's Grow-Expansion): its
  // components stay non-overlapping and increasing in magnitude, so the
  // largest non-zero one carries the sign of the exact sum.
  double h[16];
  int n = 0;
  for (double b : terms) {
    double q = b;
    for (int i = 0; i < n; ++i) {
      double s, err;
      TwoSum(q, h[i], s, err);
      h[i] = err;
      q = s;
    }
    h[n++] = q;
  }
  for (int i = n - 1; i >= 0; --i) {
    if (h[i] > 0.0) return 1;
    if (h[i] < 0.0) return -1;
  }
  return 0;
}

}  // namespace detail
}  // namespace nuv
