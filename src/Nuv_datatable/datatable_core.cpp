// The table's storage, cells, cell states and events.
#include <cmath>
#include <exception>

#include "Nuv_datatable/datatable_internal.h"

namespace nuv {

namespace {
const TNominalIDStr kNoLabel;
}  // namespace

// --- TVTypeSpec ---------------------------------------------------------------

const TNominalIDStr& TVTypeSpec::ID(int32_t Slot) const {
  if (Slot < 1 || Slot > static_cast<int32_t>(IDs.size())) return kNoLabel;
  return IDs[static_cast<size_t>(Slot - 1)];
}

void TVTypeSpec::SetID(int32_t Slot, const TNominalIDStr& Label) {
  if (Slot < 1 || Slot > MaxNominalIDs) return;
  const auto s = static_cast<size_t>(Slot);
  if (Label.empty()) {
    if (s > IDs.size()) return;
    IDs[s - 1].clear();
    while (!IDs.empty() && IDs.back().empty()) IDs.pop_back();
    return;
  }
  if (s > IDs.size()) IDs.resize(s);
  IDs[s - 1] = Label;
}

// --- messages of the import infos ------------------------------------------------

namespace {
std::string PositionedMessage(int32_t Line, int32_t Column, const std::string& Text) {
  if (Text.empty()) return std::string();
  std::string where;
  if (Line > 0) where = "line " + std::to_string(Line);
  if (Column > 0) where += (where.empty() ? "column " : ", column ") + std::to_string(Column);
  return where.empty() ? Text : where + ": " + Text;
}
}  // namespace

std::string TCSVImportInfo::ErrorMessage() const {
  return PositionedMessage(ErrorLine, ErrorColumn, ErrorText);
}

std::string TASCImportInfo::ErrorMessage() const {
  return PositionedMessage(ErrorLine, ErrorColumn, ErrorText);
}

// --- helpers -------------------------------------------------------------------------

namespace detail {

std::string TCRC8::Text() const {
  std::string text;
  text.reserve(64);
  static const char kHex[] = "0123456789ABCDEF";
  for (uint32_t r : R) {
    const uint32_t v = ~r;
    for (int shift = 28; shift >= 0; shift -= 4) text += kHex[(v >> shift) & 0xF];
  }
  return text;
}

double RoundCategory(double v) { return std::nearbyint(v); }

std::string WriteTextFile(const TComponent* Owner, const std::string& FileName,
                          const std::string& Text) {
  try {
    TTextWriter w(FileName);
    w.Write(Text);
    w.Close();
  } catch (const EInOutError& e) {
    return e.Message();
  } catch (const std::bad_alloc&) {
    return ComponentMessage(Owner, "not enough memory on heap");
  }
  return std::string();
}

bool ReadWholeFile(const std::string& FileName, TMemoryStream& Out, std::string& Error) {
  try {
    Out.LoadFromFile(FileName);
  } catch (const EInOutError& e) {
    Error = e.Message();
    return false;
  }
  return true;
}

std::string ShortestText(double v, char Decimal) {
  char buf[32];
  char* e = FormatDoubleText(buf, buf + sizeof buf, v, 0, -1);
  if (Decimal != '.')
    for (char* p = buf; p < e; ++p)
      if (*p == '.') *p = Decimal;
  return std::string(buf, e);
}

}  // namespace detail

// --- construction -----------------------------------------------------------------

TDataTable::TDataTable(TComponent* AOwner) : TComponent(AOwner) {
  try {
    NumericData = new TMatrix(nullptr);
    FRowAtt.assign(1, 0);
    FColAtt.assign(1, 0);
    FVType.assign(1, TVTypeSpec());
    FCState.assign(1, 0);
    FColName.assign(1, detail::DefaultName('C', 1));
    FRowName.assign(1, detail::DefaultName('R', 1));
  } catch (const std::exception&) {
    delete NumericData;
    NumericData = nullptr;
    RaiseComponentError<ENUVDataTableError>(this, "failed to initialize (out of memory)");
  }
  AttachMatrix(NumericData);
}

TDataTable::~TDataTable() {
  if (NumericData == nullptr) return;
  if (FExtMatAssigned) {
    NumericData->SetOnChange(nullptr);
    NumericData->SetOnSortExchange(nullptr);
  } else {
    delete NumericData;
  }
}

void TDataTable::AttachMatrix(TMatrix* M) {
  M->SetOnChange([this](TObject* Sender) { DataHasChanged(Sender); });
  M->SetOnSortExchange([this](TObject* Sender, uint8_t What, int32_t i1, int32_t i2, int32_t f,
                              int32_t l) { ExchangeDuringSort(Sender, What, i1, i2, f, l); });
}

void TDataTable::RaiseNoHeap() const {
  RaiseComponentError<ENUVDataTableError>(this, "not enough memory on heap");
}

void TDataTable::SetNrCols(int32_t NrCols) { Resize(NrCols, FNrOfRows); }

void TDataTable::SetNrRows(int32_t NrRows) { Resize(FNrOfCols, NrRows); }

// --- cells ------------------------------------------------------------------------

bool TDataTable::IsCategorial(int32_t c) const {
  const TMScaleType t = FVType[static_cast<size_t>(c - 1)].MScaleType;
  return t == stNominal || t == stOrdinal;
}

bool TDataTable::IsNumericCol(int32_t c) const {
  const TMScaleType t = FVType[static_cast<size_t>(c - 1)].MScaleType;
  return t == stInterval || t == stRatio;
}

double TDataTable::GetElem(int32_t ACol, int32_t ARow) const {
  if (!Inside(ACol, ARow)) return 0.0;
  const double v = NumericData->GetVal(ACol, ARow);
  return IsCategorial(ACol) ? detail::RoundCategory(v) : v;
}

void TDataTable::SetElem(int32_t ACol, int32_t ARow, double Value) {
  if (!Inside(ACol, ARow)) return;
  NumericData->SetVal(ACol, ARow, Value);
  ChangedData();
}

TNominalIDStr TDataTable::GetElemNominal(int32_t ACol, int32_t ARow) const {
  if (!Inside(ACol, ARow) || !IsCategorial(ACol)) return TNominalIDStr();
  const double b = detail::RoundCategory(NumericData->GetVal(ACol, ARow));
  // A value that is not a number has no slot and no decimal text.
  if (!std::isfinite(b)) return TNominalIDStr();
  if (b >= 1 && b <= MaxNominalIDs)
    return FVType[static_cast<size_t>(ACol - 1)].ID(static_cast<int32_t>(b));
  return detail::CutLabel(detail::ShortestText(b == 0 ? 0.0 : b));
}

int32_t TDataTable::FindLabelSlot(int32_t Col, const TNominalIDStr& Label) const {
  const TNominalIDStr id = UTF8LowerCase(detail::CutLabel(Label));
  if (id.empty()) return 0;
  const TVTypeSpec& vt = FVType[static_cast<size_t>(Col - 1)];
  for (int32_t k = 1; k <= vt.UsedSlots(); ++k) {
    const TNominalIDStr& s = vt.ID(k);
    if (s.size() == id.size() && UTF8LowerCase(s) == id) return k;
  }
  return 0;
}

// A label found in any slot is reused whatever the scale type, so that labels
// given to a column that is not (yet) nominal never fill the slots with copies.
int32_t TDataTable::AddLabel(int32_t Col, const TNominalIDStr& Label) {
  const TNominalIDStr id = detail::CutLabel(Label);
  if (id.empty()) return 0;
  const int32_t found = FindLabelSlot(Col, id);
  if (found > 0) return found;
  TVTypeSpec& vt = FVType[static_cast<size_t>(Col - 1)];
  for (int32_t k = 1; k <= MaxNominalIDs; ++k) {
    if (vt.ID(k).empty()) {
      vt.SetID(k, id);
      return -k;  // new: the caller fires its events
    }
  }
  RaiseComponentError<ENUVDataTableError>(this, "number of available nominal values exceeded");
}

void TDataTable::SetElemNominal(int32_t ACol, int32_t ARow, const TNominalIDStr& Value) {
  if (!Inside(ACol, ARow)) return;
  const int32_t slot = AddLabel(ACol, Value);
  NumericData->SetVal(ACol, ARow, static_cast<double>(slot < 0 ? -slot : slot));
  ChangedData();
}

uint8_t TDataTable::GetCellState(int32_t ACol, int32_t ARow) const {
  return Inside(ACol, ARow) ? FCState[StateIx(ACol, ARow)] : 0;
}

void TDataTable::SetCellState(int32_t ACol, int32_t ARow, uint8_t Value) {
  if (!Inside(ACol, ARow)) return;
  uint8_t& s = FCState[StateIx(ACol, ARow)];
  if (s == Value) return;
  s = Value;
  ChangedCellStates();
}

void TDataTable::SetIsEmpty(int32_t ACol, int32_t ARow, bool Value) {
  if (!Inside(ACol, ARow)) return;
  const uint8_t s = GetCellState(ACol, ARow);
  SetCellState(ACol, ARow, static_cast<uint8_t>(Value ? (s | 2) : (s & ~2)));
  ChangedData();
}

bool TDataTable::GetIsNumber(int32_t ACol, int32_t ARow) const {
  return Inside(ACol, ARow) && (FCState[StateIx(ACol, ARow)] & 3) == 0;
}

void TDataTable::SetIsImputed(int32_t ACol, int32_t ARow, bool Value) {
  if (!Inside(ACol, ARow)) return;
  const uint8_t s = GetCellState(ACol, ARow);
  SetCellState(ACol, ARow, static_cast<uint8_t>(Value ? (s | 32) : (s & ~32)));
  ChangedData();
}

// --- the lent matrix -----------------------------------------------------------

void TDataTable::AssignAnotherDataMatrix(TMatrix* NewDMat) {
  if (NewDMat == nullptr) return;
  const int32_t oldCols = FNrOfCols, oldRows = FNrOfRows;
  // A matrix without rows or columns gets the one cell the table needs.
  const int32_t nc = NewDMat->NrOfColumns() < 1 ? 1 : NewDMat->NrOfColumns();
  const int32_t nr = NewDMat->NrOfRows() < 1 ? 1 : NewDMat->NrOfRows();
  if (NewDMat->NrOfColumns() != nc || NewDMat->NrOfRows() != nr) {
    detail::TMatrixChangeOff off(NewDMat);
    NewDMat->Resize(nc, nr);
  }
  // Only the table's own arrays take the new size: the matrix given up is
  // either freed or the application's, which the table must not change.
  if (nc != FNrOfCols || nr != FNrOfRows) {
    ResizeStorage(nc, nr, nullptr);
    FireResize(oldCols, oldRows);
  }
  if (NewDMat != NumericData) {
    if (FExtMatAssigned) {
      NumericData->SetOnChange(nullptr);
      NumericData->SetOnSortExchange(nullptr);
    } else {
      delete NumericData;
    }
    NumericData = NewDMat;
  }
  AttachMatrix(NumericData);
  for (TVTypeSpec& vt : FVType) vt.MScaleType = stInterval;
  FExtMatAssigned = true;
  FireResize(oldCols, oldRows);
  ChangedData();
  ChangedSetup();
  ChangedNames();
  ChangedAttrib();
  ChangedCellStates();
}

// --- notifications ------------------------------------------------------------

void TDataTable::ChangedData() {
  if (FOnChange) FOnChange(this);
}
void TDataTable::ChangedSetup() {
  if (FOnChangeSetup) FOnChangeSetup(this);
}
void TDataTable::ChangedNames() {
  if (FOnChangeNames) FOnChangeNames(this);
}
void TDataTable::ChangedAttrib() {
  if (FOnChangeAttrib) FOnChangeAttrib(this);
}
void TDataTable::ChangedCellStates() {
  if (FOnChangeCellSt) FOnChangeCellSt(this);
}

void TDataTable::DataHasChanged(TObject*) { ChangedData(); }

void TDataTable::PercDone(TObject*, int32_t Percent) {
  if (FOnPercentDone) FOnPercentDone(this, Percent);
}

void TDataTable::FireResize(int32_t OldCols, int32_t OldRows) {
  if (FOnResize) FOnResize(this, OldCols, OldRows, FNrOfCols, FNrOfRows);
}

void TDataTable::FireAllChanges() {
  ChangedData();
  ChangedCellStates();
  ChangedSetup();
  ChangedNames();
  ChangedAttrib();
}

}  // namespace nuv
