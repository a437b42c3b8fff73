// Linear interpolation in tables of equally spaced or explicit abscissae.
#pragma once

#include "foundation/frame.h"

namespace nuv {

/// Table holds values at equally spaced abscissae from FirstX (entry 0) to LastX
/// (last entry); LastX may lie below FirstX. Outside the range the first or last
/// segment is extrapolated. A NaN x or range gives NaN.
/// Raises ENUVMath1Error with fewer than 2 entries or when LastX = FirstX.
NUV_API double InterpolTable(double x, double FirstX, double LastX, const TDoubleArray& Table);
/// The same for integer entries, computed in floating point.
NUV_API double InterpolTable(double x, double FirstX, double LastX, const TIntArray& Table);

/// Table[0] holds ascending abscissae, Table[1] the ordinates; columns of
/// different lengths are read up to the shorter one. Outside the abscissae the
/// first or last segment is extrapolated; a NaN x gives NaN.
/// Raises ENUVMath1Error with fewer than 2 rows or not exactly 2 columns.
NUV_API double InterpolXYTable(double x, const TDouble2DArray& Table);

/// Bilinear interpolation: A := Z1 + (Z3 - Z1)*Fy, B := Z2 + (Z4 - Z2)*Fy, result A + (B - A)*Fx.
NUV_API double InterpolZofXYRect(double Z1, double Z2, double Z3, double Z4, double Fy, double Fx);

}  // namespace nuv
