// Walking the cells of a block of a data table column by column, with the
// spans of values and states that the statistics scan. Private to the unit.
#pragma once

#include <cstdint>

#include "Nuv_datatable/datatable.h"

namespace nuv {
namespace detail {

/// Which cells of a block an operation takes.
struct TCellSel {
  bool NumericColsOnly;  ///< only columns of scale stInterval or stRatio
  uint8_t MarkMask;      ///< 0: every valid cell; else cells sharing a bit of this (4..128)
};

/// A column segment of a block: Len values and their states.
struct TSegment {
  int32_t Col;
  const double* Values;
  const uint8_t* States;
  int64_t Len;
};

/// True when the state selects the cell: valid (bits 1 and 2 clear) and, with
/// a mark mask, sharing one of its bits.
inline bool Selected(uint8_t s, uint8_t MarkMask) {
  return (s & 3) == 0 && (MarkMask == 0 || (s & MarkMask) != 0);
}

/// True when every cell of the segment is selected (the common case of a
/// table without missing values and without a mark mask).
inline bool AllSelected(const TSegment& S, uint8_t MarkMask) {
  if (MarkMask != 0) return false;
  uint8_t any = 0;
  for (int64_t i = 0; i < S.Len; ++i) any |= S.States[i];
  return (any & 3) == 0;
}

/// The mark mask of a CellState argument: bits 1 and 2 do not mark.
inline uint8_t MarkBits(uint8_t CellState) { return static_cast<uint8_t>(CellState & 0xFC); }

}  // namespace detail
}  // namespace nuv
