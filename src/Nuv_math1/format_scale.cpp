#include "Nuv_math1/format_scale.h"

#include <cmath>

namespace nuv {

namespace {

enum class TRound125 { Nearest, Up, Down };

// s for the mantissa m in [1, 10), with the comparisons of each direction:
// strict bounds select the lower step only when m lies below it.
double Step125(double m, bool Inclusive) {
  if (Inclusive) {
    if (m <= 1) return 1;
    if (m <= 2) return 2;
    if (m <= 5) return 5;
    return 10;
  }
  if (m < 2) return 1;
  if (m < 5) return 2;
  if (m < 10) return 5;
  return 10;
}

double Round125Impl(double x, TRound125 Mode) {
  if (x == 0.0 || !std::isfinite(x)) return x;
  double L = std::log10(std::fabs(x));
  const double r = std::nearbyint(L);
  if (std::fabs(L - r) < 1e-14) L = r;
  const double E = std::floor(L);
  const double m = std::pow(10.0, L - E);
  double s;
  switch (Mode) {
    case TRound125::Nearest:
      s = m < 1.5 ? 1 : (m < 3 ? 2 : (m < 8 ? 5 : 10));
      break;
    case TRound125::Up:
      s = Step125(m, x > 0);
      break;
    default:
      s = Step125(m, x < 0);
      break;
  }
  // The power is formed in extended range so that results near the ends of
  // the double range (denormals, 1e308) are not lost to an intermediate 0 or inf.
  const Extended v = static_cast<Extended>(s) * std::pow(10.0L, static_cast<Extended>(E));
  return static_cast<double>(x < 0 ? -v : v);
}

// Far more than the two or three steps a representable range needs; reached
// only when the tick distance is below the resolution of the start value.
constexpr int kMaxAdvance = 1000;

void Advance(Extended RangeLow, Extended sgn, Extended TickDist, Extended& StartTick) {
  const Extended slack = 0.001L * std::fabs(TickDist);
  for (int i = 0; i < kMaxAdvance && sgn * (RangeLow - StartTick) > slack; ++i) {
    const Extended next = StartTick + TickDist;
    if (next == StartTick) break;
    StartTick = next;
  }
}

}  // namespace

double Round125(double x) { return Round125Impl(x, TRound125::Nearest); }

double RoundPos125(double x) { return Round125Impl(x, TRound125::Up); }

double RoundNeg125(double x) { return Round125Impl(x, TRound125::Down); }

void CalcScalePars(int32_t NTicks, Extended RangeLow, Extended RangeHigh, Extended& StartTick,
                   Extended& TickDist, uint16_t& NSubTicks) {
  const Extended R = std::fabs(RangeHigh - RangeLow);
  if (RangeLow == RangeHigh || !std::isfinite(R)) {
    StartTick = RangeLow;
    TickDist = 0;
    NSubTicks = 1;
    return;
  }
  const Extended sgn = RangeLow < RangeHigh ? 1.0L : -1.0L;

  if (NTicks <= 0) {
    TickDist = 1;
    StartTick = std::trunc(RangeLow) - 1;
    Advance(RangeLow, sgn, TickDist, StartTick);
    NSubTicks = R > 10 ? 1 : 5;
    return;
  }

  const Extended step = R / static_cast<Extended>(NTicks);
  if (!(step > 0)) {  // the range is too small to divide into NTicks steps
    StartTick = RangeLow;
    TickDist = 0;
    NSubTicks = 1;
    return;
  }
  Extended g = std::log10(step);
  Extended h = g - std::trunc(g);
  if (std::fabs(h) < 1e-10L || std::fabs(h) > 0.9999999999L) {
    h = 0;
    g = std::round(g);
  }
  if (g < 0 && h != 0) g -= 1;
  if (h < 0) h += 1;
  const Extended log2 = std::log10(2.0L) + 1e-10L;
  const Extended log5 = std::log10(5.0L) + 1e-10L;
  // 10^(Int(g) + log10 s) is formed as s * 10^Int(g), which is exact for the
  // decades a double axis uses instead of 19.99... for 20.
  Extended mantissa;
  if (h < log2) {
    mantissa = 1;
    NSubTicks = 5;
  } else if (h < log5) {
    mantissa = 2;
    NSubTicks = 4;
  } else {
    mantissa = 5;
    NSubTicks = 5;
  }
  TickDist = sgn * mantissa * std::pow(10.0L, std::trunc(g));
  if (!std::isfinite(TickDist) || TickDist == 0) {
    StartTick = RangeLow;
    TickDist = 0;
    NSubTicks = 1;
    return;
  }
  StartTick = (std::trunc(RangeLow / TickDist) - 1) * TickDist;
  Advance(RangeLow, sgn, TickDist, StartTick);
}

}  // namespace nuv
