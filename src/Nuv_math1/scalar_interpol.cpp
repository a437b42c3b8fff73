#include "Nuv_math1/scalar_interpol.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace nuv {

namespace {

template <class T>
double InterpolEquallySpaced(double x, double FirstX, double LastX, const std::vector<T>& Table) {
  const size_t n = Table.size();
  if (n < 2) {
    RaiseFunctionError<ENUVMath1Error>("InterpolTable", "pivot array must contain at least 2 values");
  }
  if (LastX == FirstX) {
    RaiseFunctionError<ENUVMath1Error>("InterpolTable", "specified range of pivot array is zero");
  }
  const double t = (x - FirstX) / (LastX - FirstX);
  if (std::isnan(t)) return std::numeric_limits<double>::quiet_NaN();
  const double segs = static_cast<double>(n - 1);
  if (t < 0.0) {
    const double y0 = static_cast<double>(Table[0]);
    return y0 + (static_cast<double>(Table[1]) - y0) * t * segs;
  }
  if (t > 1.0) {
    const double yl = static_cast<double>(Table[n - 1]);
    return yl + (yl - static_cast<double>(Table[n - 2])) * (t - 1.0) * segs;
  }
  if (t == 1.0) return static_cast<double>(Table[n - 1]);
  const double pos = t * segs;
  // t < 1 may still round pos up to n - 1: stay on the last segment.
  const size_t k = std::min(static_cast<size_t>(pos), n - 2);
  const double f = pos - static_cast<double>(k);
  const double yk = static_cast<double>(Table[k]);
  return yk + (static_cast<double>(Table[k + 1]) - yk) * f;
}

double Segment(double x, double x0, double y0, double x1, double y1) {
  return y0 + (y1 - y0) * (x - x0) / (x1 - x0);
}

}  // namespace

double InterpolTable(double x, double FirstX, double LastX, const TDoubleArray& Table) {
  return InterpolEquallySpaced(x, FirstX, LastX, Table);
}

double InterpolTable(double x, double FirstX, double LastX, const TIntArray& Table) {
  return InterpolEquallySpaced(x, FirstX, LastX, Table);
}

double InterpolXYTable(double x, const TDouble2DArray& Table) {
  size_t n = Table.empty() ? 0 : Table[0].size();
  if (Table.size() >= 2) n = std::min(n, Table[1].size());
  if (n < 2) {
    RaiseFunctionError<ENUVMath1Error>("InterpolXYTable", "pivot array must contain at least 2 rows");
  }
  if (Table.size() != 2) {
    RaiseFunctionError<ENUVMath1Error>("InterpolXYTable", "pivot array must contain 2 columns");
  }
  const double* X = Table[0].data();
  const double* Y = Table[1].data();
  if (x < X[0]) return Segment(x, X[0], Y[0], X[1], Y[1]);
  if (x > X[n - 1]) return Segment(x, X[n - 2], Y[n - 2], X[n - 1], Y[n - 1]);
  if (x == X[0]) return Y[0];
  // A linear scan keeps "the first abscissa not below x" also for unsorted tables.
  for (size_t i = 1; i < n; ++i) {
    if (x <= X[i]) return Segment(x, X[i - 1], Y[i - 1], X[i], Y[i]);
  }
  return std::numeric_limits<double>::quiet_NaN();
}

double InterpolZofXYRect(double Z1, double Z2, double Z3, double Z4, double Fy, double Fx) {
  const double A = Z1 + (Z3 - Z1) * Fy;
  const double B = Z2 + (Z4 - Z2) * Fy;
  return A + (B - A) * Fx;
}

}  // namespace nuv
