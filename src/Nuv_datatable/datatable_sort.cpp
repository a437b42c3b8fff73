// Exchanging, mirroring and sorting rows and columns with their names,
// attributes, scale descriptions and cell states.
//
// The matrix sorts report every exchange to ExchangeDuringSort, which keeps
// the states and headers in step. When nobody listens to the table's
// OnSortExchange, the keys are sorted with a permutation instead (the
// matrix's comb sort with exactly the same comparisons) and every line is
// moved once: the same arrangement, ties included.
#include <algorithm>
#include <cstring>

#include "Nuv_datatable/datatable_internal.h"
#include "Nuv_math1/sort_comb.h"
#include "Nuv_matrix/matrix_sort_comb.h"

namespace nuv {

namespace {

/// Applies a permutation (line j receives old line Perm[j]) to N items read
/// and written by Get(i) / Set(i, v).
template <class T, class Get, class Set>
void Permute(const std::vector<int32_t>& Perm, std::vector<T>& Tmp, Get&& G, Set&& S) {
  const size_t n = Perm.size();
  Tmp.resize(n);
  for (size_t j = 0; j < n; ++j) Tmp[j] = G(static_cast<size_t>(Perm[j]));
  for (size_t j = 0; j < n; ++j) S(j, std::move(Tmp[j]));
}

template <class T>
void PermuteStrided(T* Base, size_t Stride, const std::vector<int32_t>& Perm, std::vector<T>& Tmp) {
  Permute(
      Perm, Tmp, [&](size_t i) { return Base[i * Stride]; },
      [&](size_t j, T v) { Base[j * Stride] = v; });
}

template <class T>
void PermuteVector(std::vector<T>& V, size_t First, const std::vector<int32_t>& Perm) {
  std::vector<T> tmp;
  Permute(
      Perm, tmp, [&](size_t i) { return std::move(V[First + i]); },
      [&](size_t j, T v) { V[First + j] = std::move(v); });
}

}  // namespace

// --- exchanging and mirroring --------------------------------------------------

// Indices outside the table exchange nothing and fire nothing.
void TDataTable::ExchangeColumns(int32_t c1, int32_t c2) {
  if (c1 < 1 || c1 > FNrOfCols || c2 < 1 || c2 > FNrOfCols) return;
  {
    detail::TMatrixChangeOff off(NumericData);
    NumericData->ExchangeColumns(c1, c2);
  }
  if (c1 != c2) {
    const auto a = static_cast<size_t>(c1 - 1), b = static_cast<size_t>(c2 - 1);
    std::swap(FColAtt[a], FColAtt[b]);
    std::swap(FColName[a], FColName[b]);
    std::swap(FVType[a], FVType[b]);
    std::swap_ranges(ColStates(c1), ColStates(c1) + FNrOfRows, ColStates(c2));
  }
  ChangedData();
  ChangedCellStates();
  ChangedAttrib();
  ChangedNames();
  ChangedSetup();
}

void TDataTable::ExchangeRows(int32_t r1, int32_t r2) {
  if (r1 < 1 || r1 > FNrOfRows || r2 < 1 || r2 > FNrOfRows) return;
  {
    detail::TMatrixChangeOff off(NumericData);
    NumericData->ExchangeRows(r1, r2);
  }
  if (r1 != r2) {
    const auto a = static_cast<size_t>(r1 - 1), b = static_cast<size_t>(r2 - 1);
    std::swap(FRowAtt[a], FRowAtt[b]);
    std::swap(FRowName[a], FRowName[b]);
    for (int32_t c = 1; c <= FNrOfCols; ++c)
      std::swap(FCState[StateIx(c, r1)], FCState[StateIx(c, r2)]);
  }
  ChangedData();
  ChangedCellStates();
  ChangedAttrib();
  ChangedNames();
  ChangedSetup();
}

void TDataTable::MirrorColumns() {
  for (int32_t a = 1, b = FNrOfCols; a < b; ++a, --b) ExchangeColumns(a, b);
  FireAllChanges();
}

void TDataTable::MirrorRows() {
  for (int32_t a = 1, b = FNrOfRows; a < b; ++a, --b) ExchangeRows(a, b);
  FireAllChanges();
}

// --- sorting by a key row or column -------------------------------------------

void TDataTable::ExchangeDuringSort(TObject*, uint8_t ExchgWhat, int32_t Index1, int32_t Index2,
                                    int32_t First, int32_t Last) {
  if (ExchgWhat == 1) {
    if (Index1 >= 1 && Index1 <= FNrOfCols && Index2 >= 1 && Index2 <= FNrOfCols) {
      const auto a = static_cast<size_t>(Index1 - 1), b = static_cast<size_t>(Index2 - 1);
      if (FSortIncludeHd) {
        std::swap(FColAtt[a], FColAtt[b]);
        std::swap(FVType[a], FVType[b]);
        std::swap(FColName[a], FColName[b]);
      }
      const int32_t lo = std::max(First, 1), hi = std::min(Last, FNrOfRows);
      if (lo <= hi)
        std::swap_ranges(ColStates(Index1) + (lo - 1), ColStates(Index1) + hi,
                         ColStates(Index2) + (lo - 1));
    }
  } else if (Index1 >= 1 && Index1 <= FNrOfRows && Index2 >= 1 && Index2 <= FNrOfRows) {
    const auto a = static_cast<size_t>(Index1 - 1), b = static_cast<size_t>(Index2 - 1);
    if (FSortIncludeHd) {
      std::swap(FRowAtt[a], FRowAtt[b]);
      std::swap(FRowName[a], FRowName[b]);
    }
    const int32_t lo = std::max(First, 1), hi = std::min(Last, FNrOfCols);
    for (int32_t c = lo; c <= hi; ++c)
      std::swap(FCState[StateIx(c, Index1)], FCState[StateIx(c, Index2)]);
  }
  if (FOnSortExchange) FOnSortExchange(this, ExchgWhat, Index1, Index2, First, Last);
}

void TDataTable::SortRows(int32_t SortColIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                          int32_t HighCol, int32_t HighRow, bool IncludeHeaders) {
  FSortIncludeHd = IncludeHeaders;
  int32_t c1 = LowCol, c2 = HighCol, r1 = LowRow, r2 = HighRow;
  NumericData->MakeValidColRange(c1, c2);
  NumericData->MakeValidRowRange(r1, r2);
  const bool keyInMatrix = SortColIx >= 1 && SortColIx <= NumericData->NrOfColumns();
  const bool inStep =
      NumericData->NrOfColumns() == FNrOfCols && NumericData->NrOfRows() == FNrOfRows;
  if (FOnSortExchange || !inStep || !keyInMatrix || r2 - r1 <= 0) {
    NumericData->SortRows(SortColIx, Ascending, LowCol, LowRow, HighCol, HighRow);
  } else {
    const int32_t n = r2 - r1 + 1;
    std::vector<double> key, tmp;
    std::vector<int32_t> perm;
    if (!TryAllocate(key, static_cast<size_t>(n)) || !TryAllocate(perm, static_cast<size_t>(n)))
      RaiseNoHeap();
    double* keyCol = NumericData->ColData(SortColIx) + (r1 - 1);
    std::copy(keyCol, keyCol + n, key.begin());
    detail::CombSortPerm(key.data(), perm.data(), n, Ascending);
    std::vector<uint8_t> stmp;
    for (int32_t c = c1; c <= c2; ++c) {
      PermuteStrided(NumericData->ColData(c) + (r1 - 1), 1, perm, tmp);
      PermuteStrided(ColStates(c) + (r1 - 1), 1, perm, stmp);
    }
    if (SortColIx < c1 || SortColIx > c2) std::copy(key.begin(), key.end(), keyCol);
    if (IncludeHeaders) {
      PermuteVector(FRowAtt, static_cast<size_t>(r1 - 1), perm);
      PermuteVector(FRowName, static_cast<size_t>(r1 - 1), perm);
    }
    NumericData->Changed();
  }
  if (IncludeHeaders) {
    ChangedNames();
    ChangedAttrib();
  }
}

void TDataTable::SortCols(int32_t SortRowIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                          int32_t HighCol, int32_t HighRow, bool IncludeHeaders) {
  FSortIncludeHd = IncludeHeaders;
  int32_t c1 = LowCol, c2 = HighCol, r1 = LowRow, r2 = HighRow;
  NumericData->MakeValidColRange(c1, c2);
  NumericData->MakeValidRowRange(r1, r2);
  const bool keyInMatrix = SortRowIx >= 1 && SortRowIx <= NumericData->NrOfRows();
  const bool inStep =
      NumericData->NrOfColumns() == FNrOfCols && NumericData->NrOfRows() == FNrOfRows;
  if (FOnSortExchange || !inStep || !keyInMatrix || c2 - c1 <= 0) {
    NumericData->SortCols(SortRowIx, Ascending, LowCol, LowRow, HighCol, HighRow);
  } else {
    const int32_t n = c2 - c1 + 1;
    const auto stride = static_cast<size_t>(NumericData->ColStride());
    const auto rows = static_cast<size_t>(FNrOfRows);
    std::vector<double> key, tmp;
    std::vector<int32_t> perm;
    if (!TryAllocate(key, static_cast<size_t>(n)) || !TryAllocate(perm, static_cast<size_t>(n)))
      RaiseNoHeap();
    double* keyRow = NumericData->ColData(c1) + (SortRowIx - 1);
    for (size_t j = 0; j < key.size(); ++j) key[j] = keyRow[j * stride];
    detail::CombSortPerm(key.data(), perm.data(), n, Ascending);
    std::vector<uint8_t> stmp;
    for (int32_t r = r1; r <= r2; ++r) {
      PermuteStrided(NumericData->ColData(c1) + (r - 1), stride, perm, tmp);
      PermuteStrided(ColStates(c1) + (r - 1), rows, perm, stmp);
    }
    if (SortRowIx < r1 || SortRowIx > r2)
      for (size_t j = 0; j < key.size(); ++j) keyRow[j * stride] = key[j];
    if (IncludeHeaders) {
      const auto first = static_cast<size_t>(c1 - 1);
      PermuteVector(FColAtt, first, perm);
      PermuteVector(FColName, first, perm);
      PermuteVector(FVType, first, perm);
    }
    NumericData->Changed();
  }
  if (IncludeHeaders) {
    ChangedNames();
    ChangedAttrib();
  }
}

// --- comb sorts of names and attributes -----------------------------------------

template <class Key>
bool TDataTable::SortByHeader(bool Rows, bool Ascending, int32_t LowCol, int32_t LowRow,
                              int32_t HighCol, int32_t HighRow, std::vector<Key>& Keys) {
  // Keys holds the key of every row (column) of the table; the sort runs over
  // the clipped range of that dimension and moves the other range's cells.
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  const int32_t lo = Rows ? LowRow : LowCol, hi = Rows ? HighRow : HighCol;
  if (hi - lo <= 0) return false;
  const auto key = [&](int32_t i) -> const Key& { return Keys[static_cast<size_t>(i - 1)]; };
  int32_t gap = hi - lo;
  for (;;) {
    gap = detail::CombNextGap(gap);
    bool any = false;
    for (int32_t k = lo; k + gap <= hi; ++k) {
      const bool swap = Ascending ? key(k + gap) < key(k) : key(k) < key(k + gap);
      if (!swap) continue;
      any = true;
      const int32_t k2 = k + gap;
      std::swap(Keys[static_cast<size_t>(k - 1)], Keys[static_cast<size_t>(k2 - 1)]);
      const auto a = static_cast<size_t>(k - 1), b = static_cast<size_t>(k2 - 1);
      if (Rows) {
        std::swap(FRowAtt[a], FRowAtt[b]);
        std::swap(FRowName[a], FRowName[b]);
        for (int32_t c = LowCol; c <= HighCol; ++c) {
          double* p = NumericData->ColData(c);
          std::swap(p[a], p[b]);
          std::swap(FCState[StateIx(c, k)], FCState[StateIx(c, k2)]);
        }
        if (FOnSortExchange) FOnSortExchange(this, 2, k, k2, LowCol, HighCol);
      } else {
        std::swap(FColAtt[a], FColAtt[b]);
        std::swap(FColName[a], FColName[b]);
        std::swap(FVType[a], FVType[b]);
        const auto r0 = static_cast<size_t>(LowRow - 1),
                   len = static_cast<size_t>(HighRow - LowRow + 1);
        std::swap_ranges(NumericData->ColData(k) + r0, NumericData->ColData(k) + r0 + len,
                         NumericData->ColData(k2) + r0);
        std::swap_ranges(ColStates(k) + r0, ColStates(k) + r0 + len, ColStates(k2) + r0);
        if (FOnSortExchange) FOnSortExchange(this, 1, k, k2, LowRow, HighRow);
      }
    }
    if (gap == 1 && !any) break;
  }
  ChangedData();
  return true;
}

void TDataTable::SortColAttributes(bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                   int32_t HighRow) {
  std::vector<int32_t> keys(FColAtt);
  if (SortByHeader(false, Ascending, LowCol, LowRow, HighCol, HighRow, keys)) ChangedAttrib();
}

void TDataTable::SortRowAttributes(bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                   int32_t HighRow) {
  std::vector<int32_t> keys(FRowAtt);
  if (SortByHeader(true, Ascending, LowCol, LowRow, HighCol, HighRow, keys)) ChangedAttrib();
}

namespace {
std::vector<std::string> NameKeys(const std::vector<TDTNameStr>& Names, bool IgnoreCase) {
  std::vector<std::string> keys;
  keys.reserve(Names.size());
  for (const TDTNameStr& n : Names) keys.push_back(IgnoreCase ? UTF8LowerCase(n) : n);
  return keys;
}
}  // namespace

void TDataTable::SortColNames(bool Ascending, bool IgnoreCase, int32_t LowCol, int32_t LowRow,
                              int32_t HighCol, int32_t HighRow) {
  std::vector<std::string> keys = NameKeys(FColName, IgnoreCase);
  if (SortByHeader(false, Ascending, LowCol, LowRow, HighCol, HighRow, keys)) ChangedNames();
}

void TDataTable::SortColNames(bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                              int32_t HighRow) {
  SortColNames(Ascending, false, LowCol, LowRow, HighCol, HighRow);
}

void TDataTable::SortRowNames(bool Ascending, bool IgnoreCase, int32_t LowCol, int32_t LowRow,
                              int32_t HighCol, int32_t HighRow) {
  std::vector<std::string> keys = NameKeys(FRowName, IgnoreCase);
  if (SortByHeader(true, Ascending, LowCol, LowRow, HighCol, HighRow, keys)) ChangedNames();
}

void TDataTable::SortRowNames(bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                              int32_t HighRow) {
  SortRowNames(Ascending, false, LowCol, LowRow, HighCol, HighRow);
}

}  // namespace nuv
