// Names, attributes, scale types, labels and the comment.
#include <algorithm>

#include "Nuv_datatable/datatable_internal.h"

namespace nuv {

void TDataTable::SetFComment(const std::string& Text) {
  FComment = RemoveControlChars(Text);
  ChangedSetup();
}

TDTNameStr TDataTable::GetColName(int32_t ColNr) const {
  if (ColNr < 1 || ColNr > FNrOfCols) return TDTNameStr();
  return FColName[static_cast<size_t>(ColNr - 1)];
}

TDTNameStr TDataTable::GetRowName(int32_t RowNr) const {
  if (RowNr < 1 || RowNr > FNrOfRows) return TDTNameStr();
  return FRowName[static_cast<size_t>(RowNr - 1)];
}

void TDataTable::SetColName(int32_t ColNr, const std::string& HLine) {
  if (ColNr < 1 || ColNr > FNrOfCols) return;
  FColName[static_cast<size_t>(ColNr - 1)] = detail::CutName(HLine);
  ChangedNames();
}

void TDataTable::SetRowName(int32_t RowNr, const std::string& HLine) {
  if (RowNr < 1 || RowNr > FNrOfRows) return;
  FRowName[static_cast<size_t>(RowNr - 1)] = detail::CutName(HLine);
  ChangedNames();
}

namespace {

int32_t LongestName(const std::vector<TDTNameStr>& Names) {
  int32_t m = 0;
  for (const TDTNameStr& n : Names) m = std::max(m, UTF8Length(n));
  return m;
}

int32_t FindName(const std::vector<TDTNameStr>& Names, const std::string& ID) {
  const std::string key = UTF8UpperCase(TrimBlanks(ID));
  for (size_t i = 0; i < Names.size(); ++i)
    if (UTF8UpperCase(TrimBlanks(Names[i])) == key) return static_cast<int32_t>(i) + 1;
  return 0;
}

// The extreme of Att over the clipped 1-based range [Lo, Hi] and the first index holding it.
template <class Better>
int32_t ExtremeAttrib(const std::vector<int32_t>& Att, int32_t Lo, int32_t Hi, int32_t& Ix,
                      Better&& B) {
  Ix = Lo;
  int32_t best = Att[static_cast<size_t>(Lo - 1)];
  for (int32_t i = Lo + 1; i <= Hi; ++i) {
    const int32_t a = Att[static_cast<size_t>(i - 1)];
    if (B(a, best)) {
      best = a;
      Ix = i;
    }
  }
  return best;
}

int32_t DistinctCount(std::vector<int32_t> Values) {
  std::sort(Values.begin(), Values.end());
  return static_cast<int32_t>(std::unique(Values.begin(), Values.end()) - Values.begin());
}

}  // namespace

int32_t TDataTable::MaxColNameLength() const { return LongestName(FColName); }

int32_t TDataTable::MaxRowNameLength() const { return LongestName(FRowName); }

int32_t TDataTable::FindColIndex(const std::string& ColID) const {
  return FindName(FColName, ColID);
}

int32_t TDataTable::FindRowIndex(const std::string& RowID) const {
  return FindName(FRowName, RowID);
}

int32_t TDataTable::GetColAttrib(int32_t ColNr) const {
  return ColNr >= 1 && ColNr <= FNrOfCols ? FColAtt[static_cast<size_t>(ColNr - 1)] : 0;
}

int32_t TDataTable::GetRowAttrib(int32_t RowNr) const {
  return RowNr >= 1 && RowNr <= FNrOfRows ? FRowAtt[static_cast<size_t>(RowNr - 1)] : 0;
}

void TDataTable::SetColAttrib(int32_t ColNr, int32_t Value) {
  if (ColNr < 1 || ColNr > FNrOfCols) return;
  FColAtt[static_cast<size_t>(ColNr - 1)] = Value;
  ChangedAttrib();
}

void TDataTable::SetRowAttrib(int32_t RowNr, int32_t Value) {
  if (RowNr < 1 || RowNr > FNrOfRows) return;
  FRowAtt[static_cast<size_t>(RowNr - 1)] = Value;
  ChangedAttrib();
}

void TDataTable::SetColAttributes(int32_t Attrib) {
  std::fill(FColAtt.begin(), FColAtt.end(), Attrib);
  ChangedAttrib();
}

void TDataTable::SetColAttributes(int32_t Attrib, int32_t Mask) {
  for (int32_t& a : FColAtt) a = (a & ~Mask) | (Attrib & Mask);
  ChangedAttrib();
}

void TDataTable::SetRowAttributes(int32_t Attrib) {
  std::fill(FRowAtt.begin(), FRowAtt.end(), Attrib);
  ChangedAttrib();
}

void TDataTable::SetRowAttributes(int32_t Attrib, int32_t Mask) {
  for (int32_t& a : FRowAtt) a = (a & ~Mask) | (Attrib & Mask);
  ChangedAttrib();
}

int32_t TDataTable::MaxColAttrib(int32_t FirstCol, int32_t LastCol, int32_t& Col) const {
  MakeValidColRange(FirstCol, LastCol);
  return ExtremeAttrib(FColAtt, FirstCol, LastCol, Col, [](int32_t a, int32_t b) { return a > b; });
}

int32_t TDataTable::MinColAttrib(int32_t FirstCol, int32_t LastCol, int32_t& Col) const {
  MakeValidColRange(FirstCol, LastCol);
  return ExtremeAttrib(FColAtt, FirstCol, LastCol, Col, [](int32_t a, int32_t b) { return a < b; });
}

int32_t TDataTable::MaxRowAttrib(int32_t FirstRow, int32_t LastRow, int32_t& Row) const {
  MakeValidRowRange(FirstRow, LastRow);
  return ExtremeAttrib(FRowAtt, FirstRow, LastRow, Row, [](int32_t a, int32_t b) { return a > b; });
}

int32_t TDataTable::MinRowAttrib(int32_t FirstRow, int32_t LastRow, int32_t& Row) const {
  MakeValidRowRange(FirstRow, LastRow);
  return ExtremeAttrib(FRowAtt, FirstRow, LastRow, Row, [](int32_t a, int32_t b) { return a < b; });
}

int32_t TDataTable::ColAttribLevels() const { return DistinctCount(FColAtt); }

int32_t TDataTable::RowAttribLevels() const { return DistinctCount(FRowAtt); }

TMScaleType TDataTable::GetMScaleType(int32_t ColNr) const {
  if (ColNr < 1 || ColNr > FNrOfCols) return stUnknown;
  return FVType[static_cast<size_t>(ColNr - 1)].MScaleType;
}

void TDataTable::SetMScaleType(int32_t ColNr, TMScaleType MScaleType) {
  if (ColNr < 1 || ColNr > FNrOfCols) return;
  FVType[static_cast<size_t>(ColNr - 1)].MScaleType = MScaleType;
  ChangedSetup();
}

TMScaleType TDataTable::FindHighestMLevel(int32_t FirstCol, int32_t LastCol) const {
  MakeValidColRange(FirstCol, LastCol);
  TMScaleType best = stNominal;
  for (int32_t c = FirstCol; c <= LastCol; ++c)
    best = std::max(best, FVType[static_cast<size_t>(c - 1)].MScaleType);
  return best;
}

TMScaleType TDataTable::FindLowestMLevel(int32_t FirstCol, int32_t LastCol) const {
  MakeValidColRange(FirstCol, LastCol);
  TMScaleType best = stRatio;
  for (int32_t c = FirstCol; c <= LastCol; ++c)
    best = std::min(best, FVType[static_cast<size_t>(c - 1)].MScaleType);
  return best;
}

TIntArray TDataTable::ListOfCategorialVars() const {
  TIntArray list;
  for (int32_t c = 1; c <= FNrOfCols; ++c)
    if (IsCategorial(c)) list.push_back(c);
  return list;
}

int32_t TDataTable::OrdinalOfNominalID(int32_t Col, const TNominalIDStr& ID,
                                       bool IgnoreCase) const {
  if (Col < 1 || Col > FNrOfCols || !IsCategorial(Col)) return 0;
  const TNominalIDStr id = detail::CutLabel(ID);
  if (id.empty()) return 0;
  if (IgnoreCase) return FindLabelSlot(Col, id);
  const TVTypeSpec& vt = FVType[static_cast<size_t>(Col - 1)];
  for (int32_t k = 1; k <= vt.UsedSlots(); ++k)
    if (vt.ID(k) == id) return k;
  return 0;
}

int32_t TDataTable::AddNominalID(int32_t Col, const TNominalIDStr& MScaleID) {
  if (Col < 1 || Col > FNrOfCols) return 0;
  const int32_t slot = AddLabel(Col, MScaleID);
  if (slot == 0 || (slot > 0 && IsCategorial(Col))) return slot;
  // A new label, or one found among the labels of a column of another scale:
  // the column becomes nominal.
  FVType[static_cast<size_t>(Col - 1)].MScaleType = stNominal;
  ChangedSetup();
  return slot < 0 ? -slot : slot;
}

TNominalIDStr TDataTable::GetNominalID(int32_t ColIx, int32_t OrdVal) const {
  if (ColIx < 1 || ColIx > FNrOfCols || !IsCategorial(ColIx)) return TNominalIDStr();
  return FVType[static_cast<size_t>(ColIx - 1)].ID(OrdVal);
}

void TDataTable::SetNominalID(int32_t ColIx, int32_t OrdVal, const TNominalIDStr& MScaleID) {
  if (ColIx < 1 || ColIx > FNrOfCols || OrdVal < 1 || OrdVal > MaxNominalIDs) return;
  const TNominalIDStr id = detail::CutLabel(MScaleID);
  if (id.empty() || IsCategorial(ColIx)) FVType[static_cast<size_t>(ColIx - 1)].SetID(OrdVal, id);
  ChangedSetup();
}

void TDataTable::ClearNominalIDs(int32_t Col) {
  if (Col < 1 || Col > FNrOfCols) return;
  FVType[static_cast<size_t>(Col - 1)].IDs.clear();
  ChangedSetup();
}

}  // namespace nuv
