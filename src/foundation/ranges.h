// Clipping of 1-based element ranges, shared by every container class.
#pragma once

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

}  // namespace nuv
