// TDataTable as XML: a <TDataTable> element whose children are named by
// TDTxmlTags (docs/formats.md). Reading builds a TTableContent and replaces
// the table's contents with it only when the whole element was sound.
#include <limits>
#include <new>

#include "Nuv_datatable/datatable_internal.h"
#include "Nuv_matrix/matrix_xml.h"

namespace nuv {

namespace {

const char* TagName(TDTxmlTags T) { return DTxmlTagNames[T]; }

/// <Names> with one <Id> element per name.
void WriteNames(TXmlWriter& W, TDTxmlTags Names, TDTxmlTags Id,
                const std::vector<TDTNameStr>& List) {
  W.BeginElement(TagName(Names));
  W.EndAttributes();
  for (const TDTNameStr& n : List) W.TextElement(TagName(Id), n);
  W.EndElement(TagName(Names));
}

void WriteVarType(TXmlWriter& W, int32_t Col, const TVTypeSpec& V) {
  W.BeginElement(TagName(xmlVarType));
  W.Attribute("col", Col);
  W.Attribute("scale", MScaleTypeNames[V.MScaleType]);
  if (V.UsedSlots() == 0) {
    W.EndEmptyElement();
    return;
  }
  W.EndAttributes();
  for (int32_t slot = 1; slot <= V.UsedSlots(); ++slot) {
    if (V.ID(slot).empty()) continue;
    W.BeginElement(TagName(xmlVarIdentifier));
    W.Attribute("slot", slot);
    W.EndAttributes();
    W.Text(V.ID(slot));
    W.EndElement(TagName(xmlVarIdentifier));
  }
  W.EndElement(TagName(xmlVarType));
}

constexpr std::size_t kAnyLength = std::numeric_limits<std::size_t>::max();

/// The parse of one <TDataTable> element into a table content.
class TTableXmlParser {
 public:
  TTableXmlParser(TXmlReader& R, detail::TTableContent& C) : FR(R), FC(C) {}
  void Run();

 private:
  void Size();
  void Names(TDTxmlTags Id, std::vector<TDTNameStr>& Out, int32_t Count);
  void VarType();
  void States();
  void Once(TDTxmlTags T);

  TXmlReader& FR;
  detail::TTableContent& FC;
  bool FSeen[xmlVarType] = {};
  std::vector<bool> FTypeSeen;
};

void TTableXmlParser::Once(TDTxmlTags T) {
  if (FSeen[T]) FR.Fail("<" + std::string(TagName(T)) + "> is given twice");
  FSeen[T] = true;
}

void TTableXmlParser::Run() {
  FR.OnlyAttributes({"version"});
  FR.CheckVersion();
  FR.Enter();
  if (!FR.NextChild() || TDataTable::ProcessXmlTag(FR.Name()) != xmlSize)
    FR.Fail("<TDataTable> must start with <Size>");
  Size();
  while (FR.NextChild()) {
    const TDTxmlTags t = TDataTable::ProcessXmlTag(FR.Name());
    switch (t) {
      case xmlComment:
        Once(t);
        FR.OnlyAttributes({});
        FC.Comment = RemoveControlChars(FR.ReadText(kAnyLength));
        break;
      case xmlColNames:
        Once(t);
        Names(xmlColId, FC.ColNames, FC.Cols);
        break;
      case xmlRowNames:
        Once(t);
        Names(xmlRowId, FC.RowNames, FC.Rows);
        break;
      case xmlColAttrib:
        Once(t);
        detail::ReadXmlList(FR, FC.Cols, FC.ColAtt);
        break;
      case xmlRowAttrib:
        Once(t);
        detail::ReadXmlList(FR, FC.Rows, FC.RowAtt);
        break;
      case xmlDataCells:
        Once(t);
        detail::ReadXmlList(FR, int64_t{FC.Cols} * FC.Rows, FC.Data);
        break;
      case xmlCellID:
        Once(t);
        States();
        break;
      case xmlVarType:
        VarType();
        break;
      default:
        FR.Fail("unexpected element <" + FR.Name() + "> in <TDataTable>");
    }
  }
  for (TDTxmlTags t : {xmlColNames, xmlRowNames, xmlColAttrib, xmlRowAttrib, xmlDataCells,
                       xmlCellID})
    if (!FSeen[t]) FR.Fail("<TDataTable> has no <" + std::string(TagName(t)) + ">");
}

void TTableXmlParser::Size() {
  FR.OnlyAttributes({"columns", "rows"});
  FC.Cols = static_cast<int32_t>(FR.IntAttribute("columns", 1, INT32_MAX));
  FC.Rows = static_cast<int32_t>(FR.IntAttribute("rows", 1, INT32_MAX));
  // The cells must follow, so the per-column and per-row storage allocated
  // from here on stays within a fixed multiple of the document's size.
  if (!FR.InputCanHold(int64_t{FC.Cols} * FC.Rows, 2))
    FR.Fail("<Size> claims more cells than the rest of the document can hold");
  FR.Enter();
  if (FR.NextChild()) FR.Fail("unexpected element <" + FR.Name() + "> in <Size>");
  FC.VType.resize(static_cast<std::size_t>(FC.Cols));
  FTypeSeen.assign(static_cast<std::size_t>(FC.Cols), false);
}

void TTableXmlParser::Names(TDTxmlTags Id, std::vector<TDTNameStr>& Out, int32_t Count) {
  FR.OnlyAttributes({});
  FR.Enter();
  const std::string parent = FR.Name();
  while (FR.NextChild()) {
    if (TDataTable::ProcessXmlTag(FR.Name()) != Id)
      FR.Fail("unexpected element <" + FR.Name() + "> in <" + parent + ">");
    if (static_cast<int64_t>(Out.size()) >= Count)
      FR.Fail("more than " + std::to_string(Count) + " names in <" + parent + ">");
    FR.OnlyAttributes({});
    Out.push_back(detail::CutName(FR.ReadText(kAnyLength)));
  }
  if (static_cast<int64_t>(Out.size()) != Count)
    FR.Fail("<" + parent + "> holds " + std::to_string(Out.size()) + " names where " +
            std::to_string(Count) + " are expected");
}

void TTableXmlParser::VarType() {
  FR.OnlyAttributes({"col", "scale"});
  const int32_t col = static_cast<int32_t>(FR.IntAttribute("col", 1, FC.Cols));
  if (FTypeSeen[static_cast<std::size_t>(col - 1)])
    FR.Fail("<VarType> of column " + std::to_string(col) + " is given twice");
  FTypeSeen[static_cast<std::size_t>(col - 1)] = true;
  TVTypeSpec& v = FC.VType[static_cast<std::size_t>(col - 1)];
  const std::string scale = FR.TextAttribute("scale", MScaleTypeNames[stInterval]);
  bool known = false;
  for (int k = stUnknown; k <= stRatio; ++k)
    if (scale == MScaleTypeNames[k]) {
      v.MScaleType = static_cast<TMScaleType>(k);
      known = true;
    }
  if (!known) FR.Fail("unknown scale type \"" + scale + "\"");
  FR.Enter();
  while (FR.NextChild()) {
    if (TDataTable::ProcessXmlTag(FR.Name()) != xmlVarIdentifier)
      FR.Fail("unexpected element <" + FR.Name() + "> in <VarType>");
    FR.OnlyAttributes({"slot"});
    const int32_t slot = static_cast<int32_t>(FR.IntAttribute("slot", 1, MaxNominalIDs));
    if (!v.ID(slot).empty()) FR.Fail("label slot " + std::to_string(slot) + " is given twice");
    v.SetID(slot, detail::CutLabel(FR.ReadText(kAnyLength)));
  }
}

void TTableXmlParser::States() {
  const int64_t count = int64_t{FC.Cols} * FC.Rows;
  std::vector<int32_t> states;
  detail::ReadXmlList(FR, count, states);
  if (!TryReserve(FC.States, static_cast<std::size_t>(count))) throw std::bad_alloc();
  for (int32_t s : states) {
    if (s < 0 || s > 255) FR.Fail("a cell state outside 0..255: " + std::to_string(s));
    FC.States.push_back(static_cast<uint8_t>(s));
  }
}

}  // namespace

TDTxmlTags TDataTable::ProcessXmlTag(std::string_view TagName) {
  for (int k = xmlDataTableId; k < TDTxmlTags::xmlInvalid; ++k)
    if (TagName == DTxmlTagNames[k]) return static_cast<TDTxmlTags>(k);
  return TDTxmlTags::xmlInvalid;
}

void TDataTable::WriteXMLElement(TXmlWriter& W) const {
  W.BeginElement(TagName(xmlDataTableId));
  W.Attribute("version", XmlSchemeVersion);
  W.EndAttributes();
  W.BeginElement(TagName(xmlSize));
  W.Attribute("columns", FNrOfCols);
  W.Attribute("rows", FNrOfRows);
  W.EndEmptyElement();
  W.TextElement(TagName(xmlComment), FComment);
  WriteNames(W, xmlColNames, xmlColId, FColName);
  WriteNames(W, xmlRowNames, xmlRowId, FRowName);
  detail::WriteXmlList(W, TagName(xmlColAttrib), FColAtt.data(), 1, FNrOfCols, FNrOfCols);
  detail::WriteXmlList(W, TagName(xmlRowAttrib), FRowAtt.data(), 1, FNrOfRows, FNrOfRows);
  for (int32_t c = 1; c <= FNrOfCols; ++c) {
    const TVTypeSpec& v = FVType[static_cast<std::size_t>(c - 1)];
    if (v.MScaleType != stInterval || v.UsedSlots() > 0) WriteVarType(W, c, v);
  }
  // The stored values: a nominal cell writes its slot number as it is kept.
  detail::WriteXmlList(W, TagName(xmlDataCells), NumericData->ColData(1), FNrOfCols, FNrOfRows,
                       NumericData->ColStride());
  detail::WriteXmlList(W, TagName(xmlCellID), FCState.data(), FNrOfCols, FNrOfRows, FNrOfRows);
  W.EndElement(TagName(xmlDataTableId));
}

bool TDataTable::SaveAsXMLFile(const std::string& FileName) const {
  return SaveXmlFile(FileName, [this](TXmlWriter& W) { WriteXMLElement(W); });
}

void TDataTable::WriteToOpenXMLFile(TTextWriter* OutFile, bool CreateHeader) const {
  WriteXmlText(OutFile, CreateHeader, [this](TXmlWriter& W) { WriteXMLElement(W); });
}

void TDataTable::WriteToXMLStream(TStream* OutStream, bool CreateHeader) const {
  WriteXmlStream(OutStream, CreateHeader, [this](TXmlWriter& W) { WriteXMLElement(W); });
}

namespace {

/// Runs a read form and, after a parse without fault, replaces the table's
/// contents (which allocates nothing).
template <class F>
bool ReadTable(TDataTable& T, TXmlReadInfo* Info, F&& Form) {
  detail::TTableContent c;
  if (!Form([&c](TXmlReader& R) {
        R.FindObject(TagName(xmlDataTableId), std::string());
        TTableXmlParser(R, c).Run();
      }))
    return false;
  try {
    detail::ReplaceContent(T, c);  // all or nothing
  } catch (const std::exception&) {
    if (Info != nullptr) *Info = TXmlReadInfo{0, 0, "not enough memory"};
    return false;
  }
  return true;
}

}  // namespace

bool TDataTable::LoadFromXMLFile(const std::string& FileName, TXmlReadInfo* Info) {
  return ReadTable(*this, Info, [&](const auto& Read) { return LoadXmlFile(FileName, Info, Read); });
}

bool TDataTable::ReadFromXMLString(const std::string& XmlText, TXmlReadInfo* Info) {
  return ReadTable(*this, Info, [&](const auto& Read) { return ReadXmlString(XmlText, Info, Read); });
}

bool TDataTable::ReadFromOpenXMLFile(TTextReader* InFile, bool FromCurrentPos,
                                     TXmlReadInfo* Info) {
  return ReadTable(*this, Info, [&](const auto& Read) {
    return ReadXmlText(InFile, FromCurrentPos, Info, Read);
  });
}

bool TDataTable::ReadFromXMLStream(TStream* InStream, bool FromCurrentPos, TXmlReadInfo* Info) {
  return ReadTable(*this, Info, [&](const auto& Read) {
    return ReadXmlStream(InStream, FromCurrentPos, Info, Read);
  });
}

}  // namespace nuv
