// Copies between tables, the check sums of names and states, and the
// serialization of a table into a long list.
#include <algorithm>
#include <cstring>
#include <exception>
#include <limits>

#include "Nuv_datatable/datatable_internal.h"

namespace nuv {

namespace {

/// Suspends the five change events for the lifetime of the guard.
class TChangeEventsOff {
 public:
  TChangeEventsOff(TNotifyEvent& a, TNotifyEvent& b, TNotifyEvent& c, TNotifyEvent& d,
                   TNotifyEvent& e)
      : FRef{&a, &b, &c, &d, &e} {
    for (int i = 0; i < 5; ++i) {
      FSaved[i] = std::move(*FRef[i]);
      *FRef[i] = nullptr;
    }
  }
  ~TChangeEventsOff() {
    for (int i = 0; i < 5; ++i) *FRef[i] = std::move(FSaved[i]);
  }
  TChangeEventsOff(const TChangeEventsOff&) = delete;
  TChangeEventsOff& operator=(const TChangeEventsOff&) = delete;

 private:
  TNotifyEvent* FRef[5];
  TNotifyEvent FSaved[5];
};

// Clips a source bound into 1..Count (Count >= 1).
int32_t ClipBound(int32_t v, int32_t Count) { return v < 1 ? 1 : (v > Count ? Count : v); }

}  // namespace

void TDataTable::CopyContentsFrom(const TDataTable* ExtTab) {
  if (ExtTab == nullptr) return;
  const int32_t oldCols = FNrOfCols, oldRows = FNrOfRows;
  const int32_t nc = ExtTab->FNrOfCols, nr = ExtTab->FNrOfRows;
  // Everything is taken from the source before this table changes, so a copy
  // that fails for memory leaves it as it was, and a copy from itself works.
  std::vector<TDTNameStr> colName, rowName;
  std::vector<int32_t> colAtt, rowAtt;
  std::vector<TVTypeSpec> vtype;
  std::vector<uint8_t> states;
  std::string comment;
  try {
    colName = ExtTab->FColName;
    rowName = ExtTab->FRowName;
    colAtt = ExtTab->FColAtt;
    rowAtt = ExtTab->FRowAtt;
    vtype = ExtTab->FVType;
    states = ExtTab->FCState;
    comment = ExtTab->FComment;
  } catch (const std::exception&) {
    RaiseNoHeap();
  }
  // Labels are copied as GetNominalID reads them: columns of other scales have none.
  for (TVTypeSpec& vt : vtype)
    if (vt.MScaleType != stNominal && vt.MScaleType != stOrdinal) vt.IDs.clear();
  {
    TChangeEventsOff off(FOnChange, FOnChangeSetup, FOnChangeNames, FOnChangeAttrib,
                         FOnChangeCellSt);
    Resize(nc, nr);
    if (ExtTab != this) {
      detail::TMatrixChangeOff matOff(NumericData);
      for (int32_t c = 1; c <= nc; ++c) {
        const double* src = ExtTab->NumericData->ColData(c);
        std::copy(src, src + nr, NumericData->ColData(c));
      }
    }
    for (int32_t c = 1; c <= nc; ++c) {
      if (!ExtTab->IsCategorial(c)) continue;
      double* p = NumericData->ColData(c);
      for (int32_t r = 0; r < nr; ++r) p[r] = detail::RoundCategory(p[r]);
    }
    FComment.swap(comment);
    FColName.swap(colName);
    FRowName.swap(rowName);
    FColAtt.swap(colAtt);
    FRowAtt.swap(rowAtt);
    FVType.swap(vtype);
    FCState.swap(states);
  }
  ChangedData();
  ChangedCellStates();
  ChangedSetup();
  ChangedNames();
  ChangedAttrib();
  FireResize(oldCols, oldRows);
}

bool TDataTable::CopyCellStatesFrom(const TDataTable* ExtTab) {
  if (ExtTab == nullptr || ExtTab->FNrOfCols != FNrOfCols || ExtTab->FNrOfRows != FNrOfRows)
    return false;
  if (ExtTab != this) FCState = ExtTab->FCState;
  ChangedCellStates();
  return true;
}

void TDataTable::CopyFrom(const TDataTable* ExtTab, int32_t SourceColLo, int32_t SourceRowLo,
                          int32_t SourceColHi, int32_t SourceRowHi, int32_t DestCol,
                          int32_t DestRow) {
  if (ExtTab == nullptr) return;
  int32_t c1 = ClipBound(SourceColLo, ExtTab->FNrOfCols);
  int32_t c2 = ClipBound(SourceColHi, ExtTab->FNrOfCols);
  int32_t r1 = ClipBound(SourceRowLo, ExtTab->FNrOfRows);
  int32_t r2 = ClipBound(SourceRowHi, ExtTab->FNrOfRows);
  if (c2 < c1) std::swap(c1, c2);
  if (r2 < r1) std::swap(r1, r2);
  // The part of the block that lands inside this table, in source indices.
  const int64_t dc = int64_t{DestCol} - c1, dr = int64_t{DestRow} - r1;
  const int64_t sc1 = std::max<int64_t>(c1, 1 - dc), sc2 = std::min<int64_t>(c2, FNrOfCols - dc);
  const int64_t sr1 = std::max<int64_t>(r1, 1 - dr), sr2 = std::min<int64_t>(r2, FNrOfRows - dr);
  if (sc1 <= sc2 && sr1 <= sr2) {
    const auto rows = static_cast<size_t>(sr2 - sr1 + 1);
    const auto cols = static_cast<size_t>(sc2 - sc1 + 1);
    // The block is read out first, so that an overlapping copy within one
    // table reads the original values.
    std::vector<double> v;
    std::vector<uint8_t> st;
    if (!TryAllocate(v, rows * cols) || !TryAllocate(st, rows * cols, uint8_t{0})) RaiseNoHeap();
    for (size_t j = 0; j < cols; ++j) {
      const auto c = static_cast<int32_t>(sc1 + static_cast<int64_t>(j));
      const double* src = ExtTab->NumericData->ColData(c) + (sr1 - 1);
      const bool round = ExtTab->IsCategorial(c);
      for (size_t i = 0; i < rows; ++i)
        v[j * rows + i] = round ? detail::RoundCategory(src[i]) : src[i];
      std::memcpy(st.data() + j * rows, ExtTab->ColStates(c) + (sr1 - 1), rows);
    }
    for (size_t j = 0; j < cols; ++j) {
      const auto c = static_cast<int32_t>(sc1 + dc + static_cast<int64_t>(j));
      const auto r0 = static_cast<size_t>(sr1 + dr - 1);
      std::copy_n(v.data() + j * rows, rows, NumericData->ColData(c) + r0);
      std::memcpy(ColStates(c) + r0, st.data() + j * rows, rows);
    }
  }
  ChangedData();
  ChangedCellStates();
}

std::string TDataTable::CRCofNamesAndAttributes() const {
  detail::TCRC8 crc;
  int64_t k = 0;
  ForEachUTF16Unit(FComment, [&](uint16_t u) { crc.Feed(static_cast<uint8_t>(u), ++k); });
  for (const TDTNameStr& n : FColName) crc.FeedText(n);
  for (size_t c = 0; c < FColAtt.size(); ++c)
    crc.Feed(static_cast<uint8_t>(FColAtt[c]), static_cast<int64_t>(c) + 1);
  for (const TDTNameStr& n : FRowName) crc.FeedText(n);
  for (size_t r = 0; r < FRowAtt.size(); ++r)
    crc.Feed(static_cast<uint8_t>(FRowAtt[r]), static_cast<int64_t>(r) + 1);
  for (size_t c = 0; c < FVType.size(); ++c)
    crc.Feed(static_cast<uint8_t>(FVType[c].MScaleType), static_cast<int64_t>(c) + 1);
  for (const TVTypeSpec& vt : FVType)
    for (const TNominalIDStr& id : vt.IDs) crc.FeedText(id);
  return crc.Text();
}

std::string TDataTable::CRCofCellStates() const {
  detail::TCRC8 crc;
  const auto rows = static_cast<size_t>(FNrOfRows);
  for (int32_t c = 1; c <= FNrOfCols; ++c) {
    const uint8_t* s = ColStates(c);
    for (size_t r = 0; r < rows; ++r) crc.Feed(s[r], static_cast<int64_t>(r) + 1);
  }
  return crc.Text();
}

void TDataTable::Serialize(bool ColHeadsAsVar, bool IncludeColRowNumbers) {
  const int32_t C = FNrOfCols, R = FNrOfRows;
  const int64_t n64 = int64_t{C} * R;
  if (n64 > std::numeric_limits<int32_t>::max()) RaiseNoHeap();
  // Every column label must find a slot; a wider table is refused before
  // anything changes.
  if (ColHeadsAsVar && C > MaxNominalIDs)
    RaiseComponentError<ENUVDataTableError>(this, "number of available nominal values exceeded");
  const auto n = static_cast<size_t>(n64);
  const int32_t k = 1 + (ColHeadsAsVar ? 1 : 0) + (IncludeColRowNumbers ? 2 : 0);
  const TMScaleType s = FindHighestMLevel(0, 0);
  const int32_t oldCols = FNrOfCols, oldRows = FNrOfRows;

  std::vector<double> data;
  std::vector<uint8_t> dataStates;
  std::vector<TDTNameStr> rowName;
  std::vector<int32_t> rowAtt;
  TVTypeSpec heads;
  if (!TryAllocate(data, n) || !TryAllocate(dataStates, n, uint8_t{0})) RaiseNoHeap();
  try {
    rowName.reserve(n);
    rowAtt.reserve(n);
    for (int32_t c = 1; c <= C; ++c) {
      const double* p = NumericData->ColData(c);
      const bool round = IsCategorial(c);
      const size_t base = static_cast<size_t>(c - 1) * static_cast<size_t>(R);
      for (int32_t r = 0; r < R; ++r)
        data[base + static_cast<size_t>(r)] = round ? detail::RoundCategory(p[r]) : p[r];
      std::memcpy(dataStates.data() + base, ColStates(c), static_cast<size_t>(R));
      rowName.insert(rowName.end(), FRowName.begin(), FRowName.end());
      rowAtt.insert(rowAtt.end(), FRowAtt.begin(), FRowAtt.end());
    }
    if (ColHeadsAsVar) {
      // The column number always fits: only the name is cut, so the labels stay distinct.
      heads.MScaleType = stNominal;
      for (int32_t c = 1; c <= C; ++c) {
        const std::string suffix = ":" + std::to_string(c);
        const std::string name(CutUTF8(FColName[static_cast<size_t>(c - 1)],
                                       static_cast<size_t>(MaxNominalIDLength) - suffix.size()));
        heads.SetID(c, name + suffix);
      }
    }
  } catch (const std::exception&) {
    RaiseNoHeap();
  }

  detail::TMatrixChangeOff matOff(NumericData);
  ResizeStorage(k, static_cast<int32_t>(n), NumericData);
  FireResize(oldCols, oldRows);
  FRowName.swap(rowName);
  FRowAtt.swap(rowAtt);
  // The index columns hold computed, valid numbers: no states or labels of
  // the columns that stood there before.
  for (int32_t c = 1; c < k; ++c) {
    std::memset(ColStates(c), 0, n);
    FVType[static_cast<size_t>(c - 1)] = TVTypeSpec();
  }
  int32_t col = 1;
  if (ColHeadsAsVar) {
    FVType[0] = std::move(heads);
    FColName[0] = "(column)";
    double* p = NumericData->ColData(1);
    for (size_t i = 0; i < n; ++i) p[i] = static_cast<double>(i / static_cast<size_t>(R) + 1);
    ++col;
  }
  if (IncludeColRowNumbers) {
    FColName[static_cast<size_t>(col - 1)] = "(col. index)";
    FColName[static_cast<size_t>(col)] = "(row index)";
    double* pc = NumericData->ColData(col);
    double* pr = NumericData->ColData(col + 1);
    for (size_t i = 0; i < n; ++i) {
      pc[i] = static_cast<double>(i / static_cast<size_t>(R) + 1);
      pr[i] = static_cast<double>(i % static_cast<size_t>(R) + 1);
    }
  }
  FColName[static_cast<size_t>(k - 1)] = "(data)";
  FVType[static_cast<size_t>(k - 1)].MScaleType = s;
  std::copy(data.begin(), data.end(), NumericData->ColData(k));
  std::memcpy(ColStates(k), dataStates.data(), n);
  ChangedSetup();
  ChangedNames();
  ChangedAttrib();
  ChangedCellStates();
  ChangedData();
}

namespace detail {

void ReplaceContent(TDataTable& T, TTableContent& C) {
  const int32_t oldCols = T.NrOfColumns(), oldRows = T.NrOfRows();
  {
    // The work storage becomes the matrix's: nothing is allocated or copied.
    TMatrixChangeOff off(T.NumericData);
    if (!T.NumericData->SwapStorage(C.Data, C.Cols, C.Rows)) TDataTableAccess::RaiseNoHeap(T);
  }
  TDataTableAccess::States(T).swap(C.States);
  TDataTableAccess::ColNames(T).swap(C.ColNames);
  TDataTableAccess::RowNames(T).swap(C.RowNames);
  TDataTableAccess::ColAtt(T).swap(C.ColAtt);
  TDataTableAccess::RowAtt(T).swap(C.RowAtt);
  TDataTableAccess::VTypes(T).swap(C.VType);
  TDataTableAccess::Comment(T).swap(C.Comment);
  TDataTableAccess::SetSize(T, C.Cols, C.Rows);
  if (oldCols != C.Cols || oldRows != C.Rows) TDataTableAccess::FireResize(T, oldCols, oldRows);
  TDataTableAccess::FireAllChanges(T);
}

}  // namespace detail

}  // namespace nuv
