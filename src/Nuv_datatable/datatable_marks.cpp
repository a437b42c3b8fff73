// Counting and bulk setting of cell states.
#include <algorithm>

#include "Nuv_datatable/datatable_internal.h"

namespace nuv {

bool TDataTable::IfRowHasCellState(int32_t row, uint8_t CellState) const {
  if (row < 1 || row > FNrOfRows) return false;
  uint8_t any = 0;
  for (int32_t c = 1; c <= FNrOfCols; ++c) any |= FCState[StateIx(c, row)];
  return (any & CellState) != 0;
}

bool TDataTable::IfColHasCellState(int32_t col, uint8_t CellState) const {
  if (col < 1 || col > FNrOfCols) return false;
  const uint8_t* s = ColStates(col);
  uint8_t any = 0;
  for (int32_t r = 0; r < FNrOfRows; ++r) any |= s[r];
  return (any & CellState) != 0;
}

int32_t TDataTable::CountMarkedCellsInRow(int32_t Row, uint8_t StateMask) const {
  if (Row < 1 || Row > FNrOfRows) return 0;
  int32_t n = 0;
  for (int32_t c = 1; c <= FNrOfCols; ++c) n += (FCState[StateIx(c, Row)] & StateMask) != 0;
  return n;
}

int32_t TDataTable::CountMarkedCellsInColumn(int32_t Col, uint8_t StateMask) const {
  if (Col < 1 || Col > FNrOfCols) return 0;
  const uint8_t* s = ColStates(Col);
  int32_t n = 0;
  for (int32_t r = 0; r < FNrOfRows; ++r) n += (s[r] & StateMask) != 0;
  return n;
}

int32_t TDataTable::FillMarkedCells(double Value, uint8_t StateMask) {
  int64_t n = 0;
  for (int32_t c = 1; c <= FNrOfCols; ++c) {
    double* p = NumericData->ColData(c);
    const uint8_t* s = ColStates(c);
    for (int32_t r = 0; r < FNrOfRows; ++r) {
      if ((s[r] & StateMask) == 0) continue;
      p[r] = Value;
      ++n;
    }
  }
  if (n > 0) ChangedData();
  return static_cast<int32_t>(n);
}

void TDataTable::SetAllCellStates(uint8_t CellState) {
  std::fill(FCState.begin(), FCState.end(), CellState);
  ChangedCellStates();
}

void TDataTable::UnmarkAllCells() {
  for (uint8_t& s : FCState) s &= 0x3F;
  ChangedCellStates();
}

void TDataTable::InvertCellStates(uint8_t StateMask) {
  for (uint8_t& s : FCState) s ^= StateMask;
  ChangedCellStates();
}

void TDataTable::ExchangeMarkings() {
  for (uint8_t& s : FCState)
    s = static_cast<uint8_t>((s & 0x3F) | ((s & 64) << 1) | ((s & 128) >> 1));
  ChangedCellStates();
}

}  // namespace nuv
