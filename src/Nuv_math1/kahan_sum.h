// Compensated (Kahan) summation.
#pragma once

#include "foundation/frame.h"

namespace nuv {

/// Running sum with Kahan compensation: Sum carries the compensated sum, cps
/// the rounding error still to be subtracted. Add is inline, straight-line
/// code; the library is never built with re-associating floating-point
/// options, which would remove the compensation.
class NUV_API TKahanSum : public TComponent {
 public:
  /// Owned by AOwner when given; starts reset.
  explicit TKahanSum(TComponent* AOwner = nullptr);
  ~TKahanSum() override;

  double cps = 0.0;
  double Sum = 0.0;

  /// cps := 0, Sum := 0.
  void Reset() {
    cps = 0.0;
    Sum = 0.0;
  }

  /// Adds ANumber; every intermediate is rounded to double.
  void Add(double ANumber) {
    const double y = ANumber - cps;
    const double t = Sum + y;
    cps = (t - Sum) - y;
    Sum = t;
  }
};

}  // namespace nuv
