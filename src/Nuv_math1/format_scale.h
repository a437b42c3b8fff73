// Rounding to 1-2-5 steps and the choice of axis ticks.
#pragma once

#include "foundation/frame.h"

namespace nuv {

/// x rounded to the nearest of 1, 2, 5, 10 times a power of ten (0 gives 0;
/// NaN and infinities are returned unchanged).
NUV_API double Round125(double x);

/// x rounded towards plus infinity to 1, 2, 5, 10 times a power of ten
/// (0 gives 0; NaN and infinities are returned unchanged; results beyond the
/// range of double give infinity).
NUV_API double RoundPos125(double x);

/// x rounded towards minus infinity to 1, 2, 5, 10 times a power of ten
/// (0 gives 0; NaN and infinities are returned unchanged; results beyond the
/// range of double give infinity).
NUV_API double RoundNeg125(double x);

/// Ticks of an axis from RangeLow to RangeHigh (either direction): the first
/// tick, the signed tick distance (1, 2 or 5 times a power of ten; 1 when
/// NTicks <= 0) and the number of sub-intervals per tick. An empty range, a NaN
/// or infinite bound, or a range whose tick distance is not representable
/// gives StartTick = RangeLow, TickDist = 0, NSubTicks = 1.
NUV_API void CalcScalePars(int32_t NTicks, Extended RangeLow, Extended RangeHigh,
                           Extended& StartTick, Extended& TickDist, uint16_t& NSubTicks);

}  // namespace nuv
