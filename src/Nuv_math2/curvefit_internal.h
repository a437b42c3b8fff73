// Internal helpers of TCurveFit shared by its source files; not installed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace nuv {
namespace detail {

/// Knots and results of the two splines of a TCurveFit.
struct TCurveFitSplineCache {
  bool KnotsValid = false;
  bool KnotsFinite = true;       ///< false when a pair holds a non-finite value
  std::vector<double> SplSortedX;  ///< distinct x, ascending
  std::vector<double> SplSortedY;  ///< mean y of each knot
  std::vector<double> Weights;     ///< number of pairs at each knot
  double SSWithin = 0.0;           ///< sum of squares of y about the means of their knots
  double TSS = 0.0;                ///< sum of squares of y about their mean
  std::vector<double> Spl2Deriv;   ///< second derivatives of the interpolating spline
  std::vector<double> PenFitted;   ///< penalised spline at the knots
  std::vector<double> Pen2Deriv;   ///< its second derivatives
};

/// Maps a double to an unsigned key with the same order (-0 and +0 share one key). NaN
/// must be left out by the caller.
inline uint64_t OrderedKey(double v) {
  if (v == 0.0) v = 0.0;
  uint64_t u;
  static_assert(sizeof u == sizeof v, "double is 64 bits");
  std::memcpy(&u, &v, sizeof u);
  return (u >> 63) != 0 ? ~u : (u | (uint64_t{1} << 63));
}

/// Sorts Keys ascending by a least-significant-digit radix sort and applies the same
/// permutation to Index; stable. Digits in which all keys agree are skipped.
/// Raises std::bad_alloc.
void RadixSortKeys(std::vector<uint64_t>& Keys, std::vector<uint32_t>& Index);

/// Second derivatives M of the interpolating cubic spline through (x, y) (n >= 2 knots,
/// x strictly ascending): each end natural (M = 0) or clamped to the slope given.
void InterpolatingSpline2Deriv(const double* x, const double* y, std::size_t n, bool Natural1,
                               double Deriv1, bool NaturalN, double DerivN, double* M);

/// Value at t of the cubic spline with knot values y and second derivatives M; linear
/// beyond the end knots with the end slopes.
double EvalCubicSpline(const double* x, const double* y, const double* M, std::size_t n,
                       double t);

/// Penalised spline of weighted data: minimises sum w (y - g)^2 + Lambda * int g''^2.
/// x strictly ascending, weights positive, n >= 1, Lambda >= 0 (infinity gives the
/// weighted least-squares line). Writes the spline values g and second derivatives M at
/// the knots. Raises std::bad_alloc.
void PenalizedSplineCore(const double* x, const double* y, const double* w, std::size_t n,
                         double Lambda, double* g, double* M);

}  // namespace detail
}  // namespace nuv
