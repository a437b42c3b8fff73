// Pins the public signatures of TDataTable (column before row everywhere, var
// scalars by reference, objects by pointer), its enumerations and constant
// tables. Taking each member's address also makes the test link against every
// out-of-line member, which fails when one is not exported.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "Nuv_datatable/Nuv_datatable.h"
#include "common/pin_member.h"

namespace nuv {
namespace {

using i32 = int32_t;

TEST(DataTableInterface, SignaturesOfTDataTable) {
  std::vector<const void*> pins;
  PIN(TDataTable, NrOfColumns, i32() const);
  PIN(TDataTable, NrOfRows, i32() const);
  PIN(TDataTable, SetNrCols, void(i32));
  PIN(TDataTable, SetNrRows, void(i32));
  PIN(TDataTable, GetElem, double(i32, i32) const);
  PIN(TDataTable, SetElem, void(i32, i32, double));
  PIN(TDataTable, GetElemNominal, TNominalIDStr(i32, i32) const);
  PIN(TDataTable, SetElemNominal, void(i32, i32, const TNominalIDStr&));
  PIN(TDataTable, GetCellState, uint8_t(i32, i32) const);
  PIN(TDataTable, SetCellState, void(i32, i32, uint8_t));
  PIN(TDataTable, GetIsEmpty, bool(i32, i32) const);
  PIN(TDataTable, SetIsEmpty, void(i32, i32, bool));
  PIN(TDataTable, GetIsNumber, bool(i32, i32) const);
  PIN(TDataTable, GetIsImputed, bool(i32, i32) const);
  PIN(TDataTable, SetIsImputed, void(i32, i32, bool));
  PIN(TDataTable, AssignAnotherDataMatrix, void(TMatrix*));
  PIN(TDataTable, Comment, const std::string&() const);
  PIN(TDataTable, SetFComment, void(const std::string&));
  PIN(TDataTable, GetColName, TDTNameStr(i32) const);
  PIN(TDataTable, GetRowName, TDTNameStr(i32) const);
  PIN(TDataTable, SetColName, void(i32, const std::string&));
  PIN(TDataTable, SetRowName, void(i32, const std::string&));
  PIN(TDataTable, MaxColNameLength, i32() const);
  PIN(TDataTable, MaxRowNameLength, i32() const);
  PIN(TDataTable, FindColIndex, i32(const std::string&) const);
  PIN(TDataTable, FindRowIndex, i32(const std::string&) const);
  PIN(TDataTable, GetColAttrib, i32(i32) const);
  PIN(TDataTable, GetRowAttrib, i32(i32) const);
  PIN(TDataTable, SetColAttrib, void(i32, i32));
  PIN(TDataTable, SetRowAttrib, void(i32, i32));
  PIN(TDataTable, SetColAttributes, void(i32));
  PIN(TDataTable, SetColAttributes, void(i32, i32));
  PIN(TDataTable, SetRowAttributes, void(i32));
  PIN(TDataTable, SetRowAttributes, void(i32, i32));
  PIN(TDataTable, MaxColAttrib, i32(i32, i32, i32&) const);
  PIN(TDataTable, MinColAttrib, i32(i32, i32, i32&) const);
  PIN(TDataTable, MaxRowAttrib, i32(i32, i32, i32&) const);
  PIN(TDataTable, MinRowAttrib, i32(i32, i32, i32&) const);
  PIN(TDataTable, ColAttribLevels, i32() const);
  PIN(TDataTable, RowAttribLevels, i32() const);
  PIN(TDataTable, GetMScaleType, TMScaleType(i32) const);
  PIN(TDataTable, SetMScaleType, void(i32, TMScaleType));
  PIN(TDataTable, FindHighestMLevel, TMScaleType(i32, i32) const);
  PIN(TDataTable, FindLowestMLevel, TMScaleType(i32, i32) const);
  PIN(TDataTable, ListOfCategorialVars, TIntArray() const);
  PIN(TDataTable, OrdinalOfNominalID, i32(i32, const TNominalIDStr&, bool) const);
  PIN(TDataTable, AddNominalID, i32(i32, const TNominalIDStr&));
  PIN(TDataTable, GetNominalID, TNominalIDStr(i32, i32) const);
  PIN(TDataTable, SetNominalID, void(i32, i32, const TNominalIDStr&));
  PIN(TDataTable, ClearNominalIDs, void(i32));
  PIN(TDataTable, Resize, void(i32, i32));
  PIN(TDataTable, InsertRow, void(i32));
  PIN(TDataTable, RemoveRow, void(i32));
  PIN(TDataTable, InsertColumn, void(i32));
  PIN(TDataTable, RemoveColumn, void(i32));
  PIN(TDataTable, Clear, void());
  PIN(TDataTable, CopyContentsFrom, void(const TDataTable*));
  PIN(TDataTable, CopyCellStatesFrom, bool(const TDataTable*));
  PIN(TDataTable, CopyFrom, void(const TDataTable*, i32, i32, i32, i32, i32, i32));
  PIN(TDataTable, CRCofNamesAndAttributes, std::string() const);
  PIN(TDataTable, CRCofCellStates, std::string() const);
  PIN(TDataTable, Serialize, void(bool, bool));
  PIN(TDataTable, ChangedData, void());
  PIN(TDataTable, ChangedSetup, void());
  PIN(TDataTable, ChangedNames, void());
  PIN(TDataTable, ChangedAttrib, void());
  PIN(TDataTable, ChangedCellStates, void());
  PIN(TDataTable, DataHasChanged, void(TObject*));
  PIN(TDataTable, PercDone, void(TObject*, i32));
  PIN(TDataTable, MakeValidColRange, void(i32&, i32&) const);
  PIN(TDataTable, MakeValidRowRange, void(i32&, i32&) const);
  PIN(TDataTable, CountNumCells, i32(i32, i32, i32, i32) const);
  PIN(TDataTable, CountValidCells, i32(i32, i32, i32, i32) const);
  PIN(TDataTable, CountEmptyCells, i32(i32, i32, i32, i32) const);
  PIN(TDataTable, CountImputedCells, i32(i32, i32, i32, i32) const);
  PIN(TDataTable, SumOfNumCells, double(i32, i32, i32, i32, i32&) const);
  PIN(TDataTable, SumOfMarkedCells, double(i32, i32, i32, i32, uint8_t, i32&) const);
  PIN(TDataTable, MeanVarOfNumCells, i32(i32, i32, i32, i32, double&, double&) const);
  PIN(TDataTable, MeanVarOfMarkedCells, i32(i32, i32, i32, i32, uint8_t, double&, double&) const);
  PIN(TDataTable, MinMaxOfNumCells, i32(i32, i32, i32, i32, double&, double&) const);
  PIN(TDataTable, MinMaxOfMarkedCells, i32(i32, i32, i32, i32, uint8_t, double&, double&) const);
  PIN(TDataTable, MinMaxOfValidCells, i32(i32, i32, i32, i32, double&, double&) const);
  PIN(TDataTable, GeometricMeanOfNumCells, double(i32, i32, i32, i32, i32&) const);
  PIN(TDataTable, HarmonicMeanOfNumCells, double(i32, i32, i32, i32, i32&) const);
  PIN(TDataTable, QuartilesOfNumCells,
      bool(i32, i32, i32, i32, double&, double&, double&, i32&) const);
  PIN(TDataTable, PercentileOfNumCells, double(double, i32, i32, i32, i32, i32&) const);
  PIN(TDataTable, PercentileOfMarkedCells, double(double, i32, i32, i32, i32, uint8_t, i32&) const);
  PIN(TDataTable, CopyCellsToVector, i32(i32, i32, i32, i32, uint8_t, TVector*) const);
  PIN(TDataTable, CalcCovar, bool(TMatrix*, i32, i32, i32, i32, i32));
  PIN(TDataTable, StandardizeNumCellColumns, void(TVector*, TVector*));
  PIN(TDataTable, StandardizeNumCellRows, void(TVector*, TVector*));
  PIN(TDataTable, MeanCenterNumCellColumns, void(TVector*));
  PIN(TDataTable, MeanCenterNumCellRows, void(TVector*));
  PIN(TDataTable, CheckDichotomousColumn, bool(i32, double&, double&) const);
  PIN(TDataTable, IsConstantColumn, bool(i32) const);
  PIN(TDataTable, IfRowHasCellState, bool(i32, uint8_t) const);
  PIN(TDataTable, IfColHasCellState, bool(i32, uint8_t) const);
  PIN(TDataTable, CountMarkedCellsInRow, i32(i32, uint8_t) const);
  PIN(TDataTable, CountMarkedCellsInColumn, i32(i32, uint8_t) const);
  PIN(TDataTable, FillMarkedCells, i32(double, uint8_t));
  PIN(TDataTable, SetAllCellStates, void(uint8_t));
  PIN(TDataTable, UnmarkAllCells, void());
  PIN(TDataTable, InvertCellStates, void(uint8_t));
  PIN(TDataTable, ExchangeMarkings, void());
  PIN(TDataTable, ExchangeColumns, void(i32, i32));
  PIN(TDataTable, ExchangeRows, void(i32, i32));
  PIN(TDataTable, MirrorColumns, void());
  PIN(TDataTable, MirrorRows, void());
  PIN(TDataTable, SortCols, void(i32, bool, i32, i32, i32, i32, bool));
  PIN(TDataTable, SortRows, void(i32, bool, i32, i32, i32, i32, bool));
  PIN(TDataTable, SortColAttributes, void(bool, i32, i32, i32, i32));
  PIN(TDataTable, SortRowAttributes, void(bool, i32, i32, i32, i32));
  PIN(TDataTable, SortColNames, void(bool, bool, i32, i32, i32, i32));
  PIN(TDataTable, SortColNames, void(bool, i32, i32, i32, i32));
  PIN(TDataTable, SortRowNames, void(bool, bool, i32, i32, i32, i32));
  PIN(TDataTable, SortRowNames, void(bool, i32, i32, i32, i32));
  PIN(TDataTable, ExchangeDuringSort, void(TObject*, uint8_t, i32, i32, i32, i32));
  PIN(TDataTable, ImportFromCSV,
      bool(const std::string&, const TCSVImportOptions&, TCSVImportInfo&));
  PIN(TDataTable, ImportFromCSV, bool(const std::string&, TCSVDelimiters));
  PIN(TDataTable, ImportFromCSVText,
      bool(std::string_view, const TCSVImportOptions&, TCSVImportInfo&));
  PIN(TDataTable, ExportAsCSV, std::string(const std::string&, const TCSVExportOptions&) const);
  PIN(TDataTable, ExportAsCSVText, std::string(const TCSVExportOptions&) const);
  PIN(TDataTable, ExportAsASC, std::string(const std::string&, i32) const);
  PIN(TDataTable, ImportASC, i32(const std::string&));
  PIN(TDataTable, ImportASC, i32(const std::string&, TASCImportInfo&));
  PIN(TDataTable, ReadFromASC, i32(TStream*, TASCImportInfo&));
  PIN(TDataTable, OnChange, const TNotifyEvent&() const);
  PIN(TDataTable, SetOnChange, void(TNotifyEvent));
  PIN(TDataTable, OnChangeSetup, const TNotifyEvent&() const);
  PIN(TDataTable, SetOnChangeSetup, void(TNotifyEvent));
  PIN(TDataTable, OnChangeNames, const TNotifyEvent&() const);
  PIN(TDataTable, SetOnChangeNames, void(TNotifyEvent));
  PIN(TDataTable, OnChangeAttrib, const TNotifyEvent&() const);
  PIN(TDataTable, SetOnChangeAttrib, void(TNotifyEvent));
  PIN(TDataTable, OnChangeCellState, const TNotifyEvent&() const);
  PIN(TDataTable, SetOnChangeCellState, void(TNotifyEvent));
  PIN(TDataTable, OnPercentDone, const TOnPercentDoneEvent&() const);
  PIN(TDataTable, SetOnPercentDone, void(TOnPercentDoneEvent));
  PIN(TDataTable, OnResize, const TDataTableResizeEvent&() const);
  PIN(TDataTable, SetOnResize, void(TDataTableResizeEvent));
  PIN(TDataTable, OnSortExchange, const TSortExchgEvent&() const);
  PIN(TDataTable, SetOnSortExchange, void(TSortExchgEvent));
  // XML
  PIN(TDataTable, SaveAsXMLFile, bool(const std::string&) const);
  PIN(TDataTable, WriteToOpenXMLFile, void(TTextWriter*, bool) const);
  PIN(TDataTable, WriteToXMLStream, void(TStream*, bool) const);
  PIN(TDataTable, LoadFromXMLFile, bool(const std::string&, TXmlReadInfo*));
  PIN(TDataTable, ReadFromOpenXMLFile, bool(TTextReader*, bool, TXmlReadInfo*));
  PIN(TDataTable, ReadFromXMLStream, bool(TStream*, bool, TXmlReadInfo*));
  PIN(TDataTable, WriteXMLElement, void(TXmlWriter&) const);
  PIN(TDataTable, ReadFromXMLString, bool(const std::string&, TXmlReadInfo*));
  EXPECT_EQ(pins.size(), 150u);
}

TEST(DataTableInterface, EnumerationsAndTables) {
  EXPECT_EQ(stUnknown, 0);
  EXPECT_EQ(stNominal, 1);
  EXPECT_EQ(stOrdinal, 2);
  EXPECT_EQ(stInterval, 3);
  EXPECT_EQ(stRatio, 4);
  EXPECT_EQ(std::string(MScaleTypeNames[stUnknown]), "Unknown");
  EXPECT_EQ(std::string(MScaleTypeNames[stNominal]), "Nominal");
  EXPECT_EQ(std::string(MScaleTypeNames[stOrdinal]), "Ordinal");
  EXPECT_EQ(std::string(MScaleTypeNames[stInterval]), "Interval");
  EXPECT_EQ(std::string(MScaleTypeNames[stRatio]), "Ratio");
  EXPECT_EQ(csvComma, 0);
  EXPECT_EQ(csvColon, 1);
  EXPECT_EQ(csvSemicolon, 2);
  EXPECT_EQ(csvTab, 3);
  EXPECT_EQ(csvUnknown, 4);
  EXPECT_EQ(std::string_view(CSVDelimiters, 5), std::string_view(",:;\t\0", 5));
  const TDTxmlTags tags[] = {xmlDataTableId, xmlDataTableEndId, xmlComment,   xmlSize,
                             xmlColNames,    xmlRowNames,       xmlColAttrib, xmlRowAttrib,
                             xmlColId,       xmlRowId,          xmlDataCells, xmlCellID,
                             xmlVarType,     xmlVarIdentifier,  TDTxmlTags::xmlInvalid};
  for (int k = 0; k < 15; ++k) EXPECT_EQ(tags[k], k);
  EXPECT_EQ(xmlInvalid, 7);  // the matrices' tag keeps the plain name
  TDTxmlTags (*process)(std::string_view) = &TDataTable::ProcessXmlTag;
  EXPECT_EQ(process(DTxmlTagNames[xmlVarIdentifier]), xmlVarIdentifier);
  EXPECT_EQ(MaxDTNameLength, 50);
  EXPECT_EQ(MaxNominalIDLength, 10);
  EXPECT_EQ(MaxNominalIDs, 150);
  static_assert(
      std::is_same_v<TDataTableResizeEvent, std::function<void(TObject*, i32, i32, i32, i32)>>);
  static_assert(std::is_same_v<decltype(TDataTable::NumericData), TMatrix*>);
  static_assert(std::is_base_of_v<TComponent, TDataTable>);
  static_assert(std::is_base_of_v<ENUVError, ENUVDataTableError>);
}

}  // namespace
}  // namespace nuv
