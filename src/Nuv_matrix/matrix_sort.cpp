// Sorting rows by a key column and columns by a key row, mirroring and
// exchanging whole columns and rows.
#include <algorithm>
#include <vector>

#include "Nuv_matrix/matrix_core.h"
#include "Nuv_matrix/matrix_sort_comb.h"

namespace nuv {

// Key indices outside the matrix read as 0.0 like any element outside it, so
// every key is equal and nothing moves; the sort then only fires OnChange.
// With an OnSortExchange handler each exchange happens in the matrix and is
// reported at once; without one the keys are sorted with a permutation and the
// rows are moved once, which ends in the same arrangement.
void TMatrix::SortRows(int32_t SortColIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                       int32_t HighCol, int32_t HighRow) {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  if (HighRow - LowRow <= 0) return;
  const int32_t n = HighRow - LowRow + 1;
  const bool keyInMatrix = SortColIx >= 1 && SortColIx <= FNCol;
  const bool keyOutside = keyInMatrix && (SortColIx < LowCol || SortColIx > HighCol);
  if (!keyInMatrix) {
    Changed();
    return;
  }
  if (FOnSortExchange) {
    const double* data = FMat.data();
    const int32_t nc = FNCol, nr = FNRow;
    const size_t stride = static_cast<size_t>(FRowsAlloc);
    const size_t keyBase = Index(SortColIx, LowRow);
    detail::CombSortLines(
        n, Ascending, [&](int32_t i) { return FMat[keyBase + static_cast<size_t>(i)]; },
        [&](int32_t i, int32_t j) {
          double* a = FMat.data() + Index(LowCol, LowRow + i);
          double* b = a + (j - i);
          for (int32_t c = LowCol; c <= HighCol; ++c, a += stride, b += stride) std::swap(*a, *b);
          if (keyOutside)
            std::swap(FMat[keyBase + static_cast<size_t>(i)],
                      FMat[keyBase + static_cast<size_t>(j)]);
          SortExchange(2, LowRow + i, LowRow + j, LowCol, HighCol);
          return FMat.data() == data && FNCol == nc && FNRow == nr;
        });
    Changed();
    return;
  }
  std::vector<double> key, tmp;
  std::vector<int32_t> perm;
  if (!TryAllocate(key, static_cast<size_t>(n)) || !TryAllocate(tmp, static_cast<size_t>(n)) ||
      !TryAllocate(perm, static_cast<size_t>(n)))
    RaiseNoHeap();
  double* keyCol = FMat.data() + Index(SortColIx, LowRow);
  std::copy(keyCol, keyCol + n, key.begin());
  detail::CombSortPerm(key.data(), perm.data(), n, Ascending);
  for (int32_t c = LowCol; c <= HighCol; ++c) {
    double* p = FMat.data() + Index(c, LowRow);
    for (int32_t j = 0; j < n; ++j) tmp[static_cast<size_t>(j)] = p[perm[static_cast<size_t>(j)]];
    std::copy(tmp.begin(), tmp.end(), p);
  }
  // The sorted keys are the key elements in their final order.
  if (keyOutside) std::copy(key.begin(), key.end(), keyCol);
  Changed();
}

void TMatrix::SortCols(int32_t SortRowIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                       int32_t HighCol, int32_t HighRow) {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  if (HighCol - LowCol <= 0) return;
  const int32_t n = HighCol - LowCol + 1;
  const bool keyInMatrix = SortRowIx >= 1 && SortRowIx <= FNRow;
  const bool keyOutside = keyInMatrix && (SortRowIx < LowRow || SortRowIx > HighRow);
  if (!keyInMatrix) {
    Changed();
    return;
  }
  const size_t stride = static_cast<size_t>(FRowsAlloc);
  const int32_t segLen = HighRow >= LowRow ? HighRow - LowRow + 1 : 0;
  if (FOnSortExchange) {
    const double* data = FMat.data();
    const int32_t nc = FNCol, nr = FNRow;
    const size_t keyBase = Index(LowCol, SortRowIx);
    detail::CombSortLines(
        n, Ascending, [&](int32_t i) { return FMat[keyBase + static_cast<size_t>(i) * stride]; },
        [&](int32_t i, int32_t j) {
          double* a = FMat.data() + Index(LowCol + i, LowRow);
          double* b = FMat.data() + Index(LowCol + j, LowRow);
          std::swap_ranges(a, a + segLen, b);
          if (keyOutside)
            std::swap(FMat[keyBase + static_cast<size_t>(i) * stride],
                      FMat[keyBase + static_cast<size_t>(j) * stride]);
          SortExchange(1, LowCol + i, LowCol + j, LowRow, HighRow);
          return FMat.data() == data && FNCol == nc && FNRow == nr;
        });
    Changed();
    return;
  }
  std::vector<double> key, tmp;
  std::vector<int32_t> perm;
  std::vector<char> done;
  if (!TryAllocate(key, static_cast<size_t>(n)) || !TryAllocate(tmp, static_cast<size_t>(segLen)) ||
      !TryAllocate(perm, static_cast<size_t>(n)) || !TryAllocate(done, static_cast<size_t>(n)))
    RaiseNoHeap();
  double* keyRow = FMat.data() + Index(LowCol, SortRowIx);
  for (size_t j = 0; j < key.size(); ++j) key[j] = keyRow[j * stride];
  detail::CombSortPerm(key.data(), perm.data(), n, Ascending);
  // Column segment j receives the old segment perm[j]; each cycle of the
  // permutation is walked with one saved segment.
  auto seg = [&](int32_t j) { return FMat.data() + Index(LowCol + j, LowRow); };
  for (int32_t s = 0; s < n; ++s) {
    if (done[static_cast<size_t>(s)] || perm[static_cast<size_t>(s)] == s) continue;
    std::copy(seg(s), seg(s) + segLen, tmp.begin());
    int32_t j = s;
    for (;;) {
      done[static_cast<size_t>(j)] = 1;
      const int32_t k = perm[static_cast<size_t>(j)];
      if (k == s) {
        std::copy(tmp.begin(), tmp.end(), seg(j));
        break;
      }
      std::copy(seg(k), seg(k) + segLen, seg(j));
      j = k;
    }
  }
  if (keyOutside)
    for (size_t j = 0; j < key.size(); ++j) keyRow[j * stride] = key[j];
  Changed();
}

void TMatrix::MirrorColumns() {
  const size_t rows = static_cast<size_t>(FNRow);
  for (int32_t a = 1, b = FNCol; a < b; ++a, --b)
    std::swap_ranges(ColData(a), ColData(a) + rows, ColData(b));
  Changed();
}

void TMatrix::MirrorRows() {
  for (int32_t c = 1; c <= FNCol; ++c) std::reverse(ColData(c), ColData(c) + FNRow);
  Changed();
}

// Indices outside the matrix exchange nothing and fire nothing.
void TMatrix::ExchangeColumns(int32_t c1, int32_t c2) {
  if (c1 < 1 || c1 > FNCol || c2 < 1 || c2 > FNCol) return;
  if (c1 != c2) std::swap_ranges(ColData(c1), ColData(c1) + FNRow, ColData(c2));
  Changed();
}

void TMatrix::ExchangeRows(int32_t r1, int32_t r2) {
  if (r1 < 1 || r1 > FNRow || r2 < 1 || r2 > FNRow) return;
  if (r1 != r2)
    for (int32_t c = 1; c <= FNCol; ++c) std::swap(FMat[Index(c, r1)], FMat[Index(c, r2)]);
  Changed();
}

}  // namespace nuv
