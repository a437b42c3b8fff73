// TSLine: a straight line A x + B y + C = 0 as a component.
#pragma once

#include "foundation/frame.h"

namespace nuv {

/// A straight line in the plane. A new line is the x axis (A = 0, B = 1,
/// C = 0) with SubstituteInf false. The setters of A and B never leave both
/// zero. Every error is an ENUVSLineError with a plain message; a refused
/// value leaves the line unchanged. An absent other line changes nothing
/// (and InterSection returns false, AngleBetweenLines 0).
class NUV_API TSLine : public TComponent {
 public:
  explicit TSLine(TComponent* AOwner = nullptr);

  double ParA() const { return FParA; }
  double ParB() const { return FParB; }
  double ParC() const { return FParC; }
  /// Raises "parameter A and B must not both be zero" when Value is 0 and B is 0.
  void SetParA(double Value);
  /// Raises "parameter A and B must not both be zero" when Value is 0 and A is 0.
  void SetParB(double Value);
  void SetParC(double Value);
  /// When true, CalcX and CalcY divide by 1e-100 instead of a zero A or B.
  bool SubstituteInf() const { return FSubstInf; }
  void SetSubstituteInf(bool Value) { FSubstInf = Value; }

  /// The line through both points: A = P1Y - P2Y, B = P2X - P1X,
  /// C = P1X P2Y - P2X P1Y. False, the line unchanged, when the points coincide.
  bool LineFrom2Points(double P1X, double P1Y, double P2X, double P2Y);
  /// The line through (px, py) at angle (radians) to the x axis.
  void LineThroughPoint(double px, double py, double angle);
  /// The line y = k x + d: A = k, B = -1, C = d.
  void LineFromSlopeIcpt(double k, double d);
  /// The perpendicular to OtherLine through (px, py); OtherLine may be this line.
  void NormalLine(double px, double py, const TSLine* OtherLine);
  /// The parallel to OtherLine through (px, py); OtherLine may be this line.
  void ParallelLine(double px, double py, const TSLine* OtherLine);

  /// The common point of both lines in (x, y); false, x and y unchanged, for
  /// parallel lines (A B_o - A_o B = 0).
  bool InterSection(const TSLine* OtherLine, double& x, double& y) const;
  /// The acute angle between the lines in radians, 0 ... pi/2.
  double AngleBetweenLines(const TSLine* OtherLine) const;
  /// Distance of (px, py) from the line: |A px + B py + C| / sqrt(A^2 + B^2).
  double Distance(double px, double py) const;
  /// The form y = k x + d. Raises "cannot convert to k-d-form if ParB is zero"
  /// (k and d unchanged).
  void CalcKDForm(double& k, double& d) const;
  /// x of the point with ordinate y. Raises "cannot calculate x" when A is 0,
  /// unless SubstituteInf.
  double CalcX(double y) const;
  /// y of the point with abscissa x. Raises "cannot calculate y" when B is 0,
  /// unless SubstituteInf.
  double CalcY(double x) const;
  /// Angle of the direction vector (B, -A), 0 <= angle < 2 pi.
  double GetDirect() const;
  /// -A/B. Raises "slope is infinite" when B is 0.
  double GetSlope() const;
  /// -C/B. Raises "cannot calculate intercept (line is parallel to y axis)" when B is 0.
  double GetIntercept() const;
  /// The points where the line meets the box with the lower left corner
  /// (bllx, blly) and the upper right corner (burx, bury): the first two
  /// accepted of (bllx, y), (burx, y), (x, blly), (x, bury), each accepted when
  /// its other coordinate lies within the box, borders included; (x1, y1)
  /// gets the first, (x2, y2) the second, 0 where there is none. A line
  /// through a corner can be accepted twice at that corner. Returns true when
  /// a point was accepted. The coordinates are computed as with SubstituteInf
  /// on, so vertical and horizontal lines raise nothing.
  bool ClipBox(double bllx, double blly, double burx, double bury, double& x1, double& y1,
               double& x2, double& y2) const;

 private:
  double XOfY(double y, bool Substitute) const;
  double YOfX(double x, bool Substitute) const;

  double FParA = 0.0;
  double FParB = 1.0;
  double FParC = 0.0;
  bool FSubstInf = false;
};

}  // namespace nuv
