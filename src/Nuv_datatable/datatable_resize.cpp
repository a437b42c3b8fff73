// Size and structure: Resize, insertion and removal of rows and columns, Clear.
//
// Insertion and removal move data through the element, name, attribute,
// scale-type, label and state setters, which fire their own events as they
// go. When none of the five change events is assigned nobody can tell, and
// the data are moved in bulk with the same result.
#include <algorithm>
#include <cstring>
#include <exception>

#include "Nuv_datatable/datatable_internal.h"

namespace nuv {

namespace {

/// The per-row and per-column arrays of a table of a new size, built before
/// anything of the table is changed.
struct TNewArrays {
  std::vector<uint8_t> States;
  std::vector<TDTNameStr> ColName, RowName;
  std::vector<int32_t> ColAtt, RowAtt;
  std::vector<TVTypeSpec> VType;
};

}  // namespace

void TDataTable::Resize(int32_t NrCols, int32_t NrRows) {
  // The table never has fewer than one row and one column.
  NrCols = NrCols < 1 ? 1 : NrCols;
  NrRows = NrRows < 1 ? 1 : NrRows;
  if (NrCols == FNrOfCols && NrRows == FNrOfRows) return;
  const int32_t oldCols = FNrOfCols, oldRows = FNrOfRows;
  ResizeStorage(NrCols, NrRows, NumericData);
  FireResize(oldCols, oldRows);
}

void TDataTable::ResizeStorage(int32_t NrCols, int32_t NrRows, TMatrix* Mat) {
  const int32_t oldCols = FNrOfCols, oldRows = FNrOfRows;
  const auto nc = static_cast<size_t>(NrCols), nr = static_cast<size_t>(NrRows);
  const auto keepC = static_cast<size_t>(std::min(NrCols, oldCols));
  const auto keepR = static_cast<size_t>(std::min(NrRows, oldRows));
  TNewArrays a;
  if (!ByteCountFits(nc, nr)) RaiseNoHeap();
  try {
    a.States.assign(nc * nr, 0);
    for (size_t c = 0; c < keepC; ++c)
      std::memcpy(a.States.data() + c * nr, FCState.data() + c * static_cast<size_t>(oldRows),
                  keepR);
    a.ColName.reserve(nc);
    a.ColAtt.assign(nc, 0);
    a.VType.reserve(nc);
    for (size_t c = 0; c < nc; ++c) {
      if (c < keepC) {
        a.ColName.push_back(FColName[c]);
        a.ColAtt[c] = FColAtt[c];
        a.VType.push_back(FVType[c]);
      } else {
        a.ColName.push_back(detail::DefaultName('C', static_cast<int64_t>(c) + 1));
        a.VType.emplace_back();
      }
    }
    a.RowName.reserve(nr);
    a.RowAtt.assign(nr, 0);
    for (size_t r = 0; r < nr; ++r) {
      if (r < keepR) {
        a.RowName.push_back(FRowName[r]);
        a.RowAtt[r] = FRowAtt[r];
      } else {
        a.RowName.push_back(detail::DefaultName('R', static_cast<int64_t>(r) + 1));
      }
    }
  } catch (const std::exception&) {
    RaiseNoHeap();
  }
  if (Mat != nullptr) {
    detail::TMatrixChangeOff off(Mat);
    try {
      Mat->Resize(NrCols, NrRows);
    } catch (const ENUVMatrixError&) {
      RaiseNoHeap();
    }
  }
  FCState.swap(a.States);
  FColName.swap(a.ColName);
  FRowName.swap(a.RowName);
  FColAtt.swap(a.ColAtt);
  FRowAtt.swap(a.RowAtt);
  FVType.swap(a.VType);
  FNrOfCols = NrCols;
  FNrOfRows = NrRows;
}

namespace {

bool AnyChangeEvent(const TDataTable& T) {
  return T.OnChange() || T.OnChangeSetup() || T.OnChangeNames() || T.OnChangeAttrib() ||
         T.OnChangeCellState();
}

// Row r (0-based) of column p takes row r + d: the value as GetElem reads it.
void MoveColumnValues(double* p, size_t From, size_t To, ptrdiff_t Shift, bool Round) {
  // Shift > 0: rows From..To-1 take the values of rows From-Shift.. (moving down),
  // walked backwards; Shift < 0: walked forwards.
  if (Shift > 0) {
    for (size_t r = To; r-- > From;) {
      const double v = p[static_cast<ptrdiff_t>(r) - Shift];
      p[r] = Round ? detail::RoundCategory(v) : v;
    }
  } else {
    for (size_t r = From; r < To; ++r) {
      const double v = p[static_cast<ptrdiff_t>(r) - Shift];
      p[r] = Round ? detail::RoundCategory(v) : v;
    }
  }
}

}  // namespace

void TDataTable::InsertRow(int32_t ix) {
  if (ix < 1 || ix > FNrOfRows + 1) return;
  detail::TMatrixChangeOff off(NumericData);
  SetNrRows(FNrOfRows + 1);
  const int32_t last = FNrOfRows;
  if (AnyChangeEvent(*this)) {
    for (int32_t r = last; r > ix; --r) {
      SetRowAttrib(r, GetRowAttrib(r - 1));
      SetRowName(r, GetRowName(r - 1));
      for (int32_t c = 1; c <= FNrOfCols; ++c) {
        SetElem(c, r, GetElem(c, r - 1));
        SetCellState(c, r, GetCellState(c, r - 1));
      }
    }
    SetRowAttrib(ix, 0);
    SetRowName(ix, "");
    for (int32_t c = 1; c <= FNrOfCols; ++c) {
      SetElem(c, ix, 0.0);
      SetCellState(c, ix, 0);
    }
  } else {
    const auto i = static_cast<size_t>(ix - 1), n = static_cast<size_t>(last);
    std::move_backward(FRowAtt.begin() + i, FRowAtt.end() - 1, FRowAtt.end());
    std::move_backward(FRowName.begin() + i, FRowName.end() - 1, FRowName.end());
    FRowAtt[i] = 0;
    FRowName[i].clear();
    for (int32_t c = 1; c <= FNrOfCols; ++c) {
      double* p = NumericData->ColData(c);
      MoveColumnValues(p, i + 1, n, 1, IsCategorial(c));
      p[i] = 0.0;
      uint8_t* s = ColStates(c);
      std::memmove(s + i + 1, s + i, n - i - 1);
      s[i] = 0;
    }
  }
  ChangedSetup();
}

void TDataTable::RemoveRow(int32_t ix) {
  if (ix < 1 || ix > FNrOfRows || FNrOfRows < 2) return;
  detail::TMatrixChangeOff off(NumericData);
  const int32_t last = FNrOfRows;
  if (AnyChangeEvent(*this)) {
    for (int32_t r = ix; r < last; ++r) {
      SetRowAttrib(r, GetRowAttrib(r + 1));
      SetRowName(r, GetRowName(r + 1));
      for (int32_t c = 1; c <= FNrOfCols; ++c) {
        SetElem(c, r, GetElem(c, r + 1));
        SetCellState(c, r, GetCellState(c, r + 1));
      }
    }
  } else {
    const auto i = static_cast<size_t>(ix - 1), n = static_cast<size_t>(last);
    std::move(FRowAtt.begin() + i + 1, FRowAtt.end(), FRowAtt.begin() + i);
    std::move(FRowName.begin() + i + 1, FRowName.end(), FRowName.begin() + i);
    for (int32_t c = 1; c <= FNrOfCols; ++c) {
      MoveColumnValues(NumericData->ColData(c), i, n - 1, -1, IsCategorial(c));
      uint8_t* s = ColStates(c);
      std::memmove(s + i, s + i + 1, n - i - 1);
    }
  }
  SetNrRows(last - 1);
  ChangedSetup();
}

namespace {

// Column Dst takes what the setters move of column Src: attribute, name,
// scale type, labels (when Labels), values through GetElem and states.
void MoveColumnBySetters(TDataTable& T, int32_t Dst, int32_t Src, bool Labels) {
  T.SetColAttrib(Dst, T.GetColAttrib(Src));
  T.SetColName(Dst, T.GetColName(Src));
  T.SetMScaleType(Dst, T.GetMScaleType(Src));
  if (Labels)
    for (int32_t k = 1; k <= MaxNominalIDs; ++k) T.SetNominalID(Dst, k, T.GetNominalID(Src, k));
  for (int32_t r = 1; r <= T.NrOfRows(); ++r) {
    T.SetElem(Dst, r, T.GetElem(Src, r));
    T.SetCellState(Dst, r, T.GetCellState(Src, r));
  }
}

}  // namespace

void TDataTable::InsertColumn(int32_t ix) {
  if (ix < 1 || ix > FNrOfCols + 1) return;
  detail::TMatrixChangeOff off(NumericData);
  SetNrCols(FNrOfCols + 1);
  const int32_t last = FNrOfCols;
  if (AnyChangeEvent(*this)) {
    for (int32_t c = last; c > ix; --c) MoveColumnBySetters(*this, c, c - 1, true);
    SetColAttrib(ix, 0);
    SetColName(ix, "");
    SetMScaleType(ix, stInterval);
    ClearNominalIDs(ix);
    for (int32_t r = 1; r <= FNrOfRows; ++r) {
      SetElem(ix, r, 0.0);
      SetCellState(ix, r, 0);
    }
  } else {
    const auto rows = static_cast<size_t>(FNrOfRows);
    for (int32_t c = last; c > ix; --c) {
      const auto d = static_cast<size_t>(c - 1);
      FColAtt[d] = FColAtt[d - 1];
      FColName[d] = std::move(FColName[d - 1]);
      // Labels move only with a nominal or ordinal column (GetNominalID reads
      // no labels of the other scales), so an interval column arrives without any.
      FVType[d].MScaleType = FVType[d - 1].MScaleType;
      if (IsCategorial(c - 1))
        FVType[d].IDs = std::move(FVType[d - 1].IDs);
      else
        FVType[d].IDs.clear();
      const double* src = NumericData->ColData(c - 1);
      double* dst = NumericData->ColData(c);
      const bool round = IsCategorial(c - 1);
      for (size_t r = 0; r < rows; ++r) dst[r] = round ? detail::RoundCategory(src[r]) : src[r];
      std::memcpy(ColStates(c), ColStates(c - 1), rows);
    }
    const auto i = static_cast<size_t>(ix - 1);
    FColAtt[i] = 0;
    FColName[i].clear();
    FVType[i] = TVTypeSpec();
    std::fill_n(NumericData->ColData(ix), rows, 0.0);
    std::memset(ColStates(ix), 0, rows);
  }
  ChangedSetup();
}

void TDataTable::RemoveColumn(int32_t ix) {
  if (ix < 1 || ix > FNrOfCols || FNrOfCols < 2) return;
  detail::TMatrixChangeOff off(NumericData);
  const int32_t last = FNrOfCols;
  if (AnyChangeEvent(*this)) {
    for (int32_t c = ix; c < last; ++c) MoveColumnBySetters(*this, c, c + 1, IsCategorial(c + 1));
  } else {
    const auto rows = static_cast<size_t>(FNrOfRows);
    for (int32_t c = ix; c < last; ++c) {
      const auto d = static_cast<size_t>(c - 1);
      FColAtt[d] = FColAtt[d + 1];
      FColName[d] = std::move(FColName[d + 1]);
      // A moved interval or ratio column leaves the destination's labels in place.
      const bool labels = IsCategorial(c + 1);
      FVType[d].MScaleType = FVType[d + 1].MScaleType;
      if (labels) FVType[d].IDs = FVType[d + 1].IDs;
      const double* src = NumericData->ColData(c + 1);
      double* dst = NumericData->ColData(c);
      for (size_t r = 0; r < rows; ++r) dst[r] = labels ? detail::RoundCategory(src[r]) : src[r];
      std::memcpy(ColStates(c), ColStates(c + 1), rows);
    }
  }
  SetNrCols(last - 1);
  ChangedSetup();
}

void TDataTable::Clear() {
  for (int32_t c = 1; c <= FNrOfCols; ++c)
    FColName[static_cast<size_t>(c - 1)] = detail::DefaultName('C', c);
  for (int32_t r = 1; r <= FNrOfRows; ++r)
    FRowName[static_cast<size_t>(r - 1)] = detail::DefaultName('R', r);
  std::fill(FCState.begin(), FCState.end(), uint8_t{0});
  std::fill(FColAtt.begin(), FColAtt.end(), 0);
  std::fill(FRowAtt.begin(), FRowAtt.end(), 0);
  for (TVTypeSpec& vt : FVType) vt = TVTypeSpec();
  FComment.clear();
  NumericData->Fill(0.0);
  ChangedNames();
  ChangedAttrib();
  ChangedCellStates();
  ChangedSetup();
}

}  // namespace nuv
