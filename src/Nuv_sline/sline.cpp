#include "Nuv_sline/sline.h"

#include <cmath>

namespace nuv {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Stands in for a zero A or B when SubstituteInf is on.
constexpr double kTinyDivisor = 1e-100;

[[noreturn]] void Raise(const char* Text) { throw ENUVSLineError(Text); }

}  // namespace

TSLine::TSLine(TComponent* AOwner) : TComponent(AOwner) {}

void TSLine::SetParA(double Value) {
  if (Value == 0.0 && FParB == 0.0) Raise("parameter A and B must not both be zero");
  FParA = Value;
}

void TSLine::SetParB(double Value) {
  if (Value == 0.0 && FParA == 0.0) Raise("parameter A and B must not both be zero");
  FParB = Value;
}

void TSLine::SetParC(double Value) { FParC = Value; }

bool TSLine::LineFrom2Points(double P1X, double P1Y, double P2X, double P2Y) {
  if (P1X == P2X && P1Y == P2Y) return false;
  FParA = P1Y - P2Y;
  FParB = P2X - P1X;
  FParC = P1X * P2Y - P2X * P1Y;
  return true;
}

void TSLine::LineThroughPoint(double px, double py, double angle) {
  FParA = -std::sin(angle);
  FParB = std::cos(angle);
  FParC = -FParA * px - FParB * py;
}

void TSLine::LineFromSlopeIcpt(double k, double d) {
  FParA = k;
  FParB = -1.0;
  FParC = d;
}

// Both read the other line's coefficients before writing, so OtherLine may
// be this line.
void TSLine::NormalLine(double px, double py, const TSLine* OtherLine) {
  if (OtherLine == nullptr) return;
  const double a = -OtherLine->FParB;
  const double b = OtherLine->FParA;
  FParA = a;
  FParB = b;
  FParC = -a * px - b * py;
}

void TSLine::ParallelLine(double px, double py, const TSLine* OtherLine) {
  if (OtherLine == nullptr) return;
  const double a = OtherLine->FParA;
  const double b = OtherLine->FParB;
  FParA = a;
  FParB = b;
  FParC = -a * px - b * py;
}

bool TSLine::InterSection(const TSLine* OtherLine, double& x, double& y) const {
  if (OtherLine == nullptr) return false;
  const TSLine& o = *OtherLine;
  const double den = FParA * o.FParB - o.FParA * FParB;
  if (den == 0.0) return false;
  x = (FParB * o.FParC - o.FParB * FParC) / den;
  y = (o.FParA * FParC - FParA * o.FParC) / den;
  return true;
}

double TSLine::AngleBetweenLines(const TSLine* OtherLine) const {
  if (OtherLine == nullptr) return 0.0;
  const TSLine& o = *OtherLine;
  const double g = FParA * o.FParA + FParB * o.FParB;
  if (g == 0.0) return 0.5 * kPi;
  return std::fabs(std::atan((FParA * o.FParB - o.FParA * FParB) / g));
}

double TSLine::Distance(double px, double py) const {
  // hypot: sqrt(A^2 + B^2) without overflow or underflow of the squares.
  return std::fabs(FParA * px + FParB * py + FParC) / std::hypot(FParA, FParB);
}

void TSLine::CalcKDForm(double& k, double& d) const {
  if (FParB == 0.0) Raise("cannot convert to k-d-form if ParB is zero");
  k = -FParA / FParB;
  d = -FParC / FParB;
}

double TSLine::XOfY(double y, bool Substitute) const {
  double a = FParA;
  if (a == 0.0) {
    if (!Substitute) Raise("cannot calculate x");
    a = kTinyDivisor;
  }
  return (-y * FParB - FParC) / a;
}

double TSLine::YOfX(double x, bool Substitute) const {
  double b = FParB;
  if (b == 0.0) {
    if (!Substitute) Raise("cannot calculate y");
    b = kTinyDivisor;
  }
  return (-x * FParA - FParC) / b;
}

double TSLine::CalcX(double y) const { return XOfY(y, FSubstInf); }

double TSLine::CalcY(double x) const { return YOfX(x, FSubstInf); }

double TSLine::GetDirect() const {
  double a;
  if (FParB != 0.0) {
    a = std::atan(-FParA / FParB);
  } else {
    a = FParA <= 0.0 ? -0.5 * kPi : 0.5 * kPi;
  }
  if (FParB <= 0.0) return a + kPi;
  return FParA <= 0.0 ? a : a + 2.0 * kPi;
}

double TSLine::GetSlope() const {
  if (FParB == 0.0) Raise("slope is infinite");
  return -FParA / FParB;
}

double TSLine::GetIntercept() const {
  if (FParB == 0.0) Raise("cannot calculate intercept (line is parallel to y axis)");
  return -FParC / FParB;
}

bool TSLine::ClipBox(double bllx, double blly, double burx, double bury, double& x1, double& y1,
                     double& x2, double& y2) const {
  double px[4], py[4];
  px[0] = bllx;
  py[0] = YOfX(bllx, true);
  px[1] = burx;
  py[1] = YOfX(burx, true);
  px[2] = XOfY(blly, true);
  py[2] = blly;
  px[3] = XOfY(bury, true);
  py[3] = bury;
  const bool accepted[4] = {blly <= py[0] && py[0] <= bury, blly <= py[1] && py[1] <= bury,
                            bllx <= px[2] && px[2] <= burx, bllx <= px[3] && px[3] <= burx};
  double* outX[2] = {&x1, &x2};
  double* outY[2] = {&y1, &y2};
  int found = 0;
  for (int i = 0; i < 4 && found < 2; ++i) {
    if (!accepted[i]) continue;
    *outX[found] = px[i];
    *outY[found] = py[i];
    ++found;
  }
  for (int i = found; i < 2; ++i) *outX[i] = *outY[i] = 0.0;
  return found > 0;
}

}  // namespace nuv
