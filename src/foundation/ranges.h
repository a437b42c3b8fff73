// Clipping of 1-based element ranges, shared by every container class, and
// of rounded numbers into the range of a 32-bit index or count.
#pragma once

#include <cmath>
#include <cstdint>
#include <utility>

namespace nuv {

/// Makes (Low, High) a valid 1-based range of a dimension with Count elements:
/// (0, 0) means all; each bound is clipped into 1..Count; a reversed range is
/// exchanged. Returns false, with Low = 1 and High = 0, when Count < 1.
inline bool MakeValidRange(int32_t& Low, int32_t& High, int32_t Count) {
  if (Count < 1) {
    Low = 1;
    High = 0;
    return false;
  }
  if (Low == 0 && High == 0) {
    Low = 1;
    High = Count;
    return true;
  }
  if (Low < 1) Low = 1;
  if (Low > Count) Low = Count;
  if (High < 1) High = 1;
  if (High > Count) High = Count;
  if (High < Low) std::swap(Low, High);
  return true;
}

/// X rounded to the nearest integer (halves to even), clipped into the 32-bit
/// range; NaN gives INT32_MIN.
inline int32_t RoundToInt32(double X) {
  const double r = std::nearbyint(X);
  if (!(r > -2147483648.0)) return INT32_MIN;
  if (!(r < 2147483647.0)) return INT32_MAX;
  return static_cast<int32_t>(r);
}

}  // namespace nuv
