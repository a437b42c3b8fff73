// TDataTable: construction, cells and labels, states and their events, names
// and attributes, resizing, insertion and removal, copies, check sums and
// serialization.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Nuv_datatable/Nuv_datatable.h"
#include "common/memory_limit.h"
#include "common/test_util.h"

using namespace nuv;

namespace {

/// Counts of every event a table fires.
struct TEventLog {
  int Change = 0, Setup = 0, Names = 0, Attrib = 0, CellSt = 0, Resize = 0;
  std::vector<std::vector<int32_t>> ResizeArgs;

  void Attach(TDataTable& t) {
    t.SetOnChange([this](TObject*) { ++Change; });
    t.SetOnChangeSetup([this](TObject*) { ++Setup; });
    t.SetOnChangeNames([this](TObject*) { ++Names; });
    t.SetOnChangeAttrib([this](TObject*) { ++Attrib; });
    t.SetOnChangeCellState([this](TObject*) { ++CellSt; });
    t.SetOnResize([this](TObject*, int32_t oc, int32_t orr, int32_t nc, int32_t nr) {
      ++Resize;
      ResizeArgs.push_back({oc, orr, nc, nr});
    });
  }
  int Total() const { return Change + Setup + Names + Attrib + CellSt + Resize; }
};

/// A 3 x 4 table whose cell (c, r) holds 10 c + r, with state c r, names,
/// attributes, a nominal column 2 with labels and an interval column 3 with a
/// stale label.
void Fill(TDataTable& t) {
  t.Resize(3, 4);
  for (int32_t c = 1; c <= 3; ++c) {
    t.SetColName(c, "col" + std::to_string(c));
    t.SetColAttrib(c, 100 + c);
    for (int32_t r = 1; r <= 4; ++r) {
      t.SetElem(c, r, 10.0 * c + r);
      t.SetCellState(c, r, static_cast<uint8_t>(c * r));
    }
  }
  for (int32_t r = 1; r <= 4; ++r) {
    t.SetRowName(r, "row" + std::to_string(r));
    t.SetRowAttrib(r, 200 + r);
  }
  t.SetMScaleType(2, stNominal);
  t.SetNominalID(2, 1, "one");
  t.SetNominalID(2, 21, "x21");
  t.SetNominalID(3, 5, "stale");  // not written: column 3 is interval
}

/// Everything a table holds, for comparing two tables cell by cell.
std::string Dump(const TDataTable& t) {
  std::string s = std::to_string(t.NrOfColumns()) + "x" + std::to_string(t.NrOfRows()) + "|";
  for (int32_t c = 1; c <= t.NrOfColumns(); ++c) {
    s += t.GetColName(c) + "/" + std::to_string(t.GetColAttrib(c)) + "/" +
         MScaleTypeNames[t.GetMScaleType(c)] + "/";
    for (int32_t k = 1; k <= MaxNominalIDs; ++k)
      if (!t.GetNominalID(c, k).empty()) s += std::to_string(k) + "=" + t.GetNominalID(c, k) + ",";
    for (int32_t r = 1; r <= t.NrOfRows(); ++r)
      s += std::to_string(t.NumericData->GetVal(c, r)) + ":" +
           std::to_string(t.GetCellState(c, r)) + " ";
    s += "|";
  }
  for (int32_t r = 1; r <= t.NrOfRows(); ++r)
    s += t.GetRowName(r) + "/" + std::to_string(t.GetRowAttrib(r)) + " ";
  return s;
}

}  // namespace

TEST(DataTableCore, NewTable) {
  TDataTable t;
  EXPECT_EQ(t.NrOfColumns(), 1);
  EXPECT_EQ(t.NrOfRows(), 1);
  EXPECT_EQ(t.GetElem(1, 1), 0.0);
  EXPECT_EQ(t.GetColName(1), "C-1");
  EXPECT_EQ(t.GetRowName(1), "R-1");
  EXPECT_EQ(t.GetMScaleType(1), stInterval);
  EXPECT_TRUE(t.GetIsNumber(1, 1));
  EXPECT_TRUE(t.Comment().empty());
  EXPECT_TRUE(t.ListOfCategorialVars().empty());
  EXPECT_EQ(t.NumericData->NrOfColumns(), 1);
  // Outside the table: 0 or empty text, and writes fire nothing.
  TEventLog log;
  log.Attach(t);
  t.SetElem(2, 1, 5);
  t.SetCellState(0, 1, 3);
  t.SetColName(2, "x");
  t.SetElemNominal(1, 2, "a");
  EXPECT_EQ(log.Total(), 0);
  EXPECT_EQ(t.GetElem(0, 1), 0.0);
  EXPECT_EQ(t.GetCellState(1, 2), 0);
  EXPECT_EQ(t.GetColName(2), "");
  EXPECT_EQ(t.GetMScaleType(2), stUnknown);
}

TEST(DataTableCore, ResizeEventsAndNames) {
  TDataTable t;
  TEventLog log;
  log.Attach(t);
  t.Resize(3, 2);
  ASSERT_EQ(log.Resize, 1);
  EXPECT_EQ(log.ResizeArgs[0], (std::vector<int32_t>{1, 1, 3, 2}));
  EXPECT_EQ(log.Total(), 1);  // no other event
  EXPECT_EQ(t.GetColName(2), "C-2");
  EXPECT_EQ(t.GetColName(3), "C-3");
  EXPECT_EQ(t.GetRowName(2), "R-2");
  t.Resize(3, 2);
  EXPECT_EQ(log.Total(), 1);
  // Sizes below 1 keep one row and one column.
  t.Resize(0, -4);
  EXPECT_EQ(t.NrOfColumns(), 1);
  EXPECT_EQ(t.NrOfRows(), 1);
  EXPECT_EQ(t.NumericData->NrOfRows(), 1);
  t.SetNrRows(0);
  EXPECT_EQ(t.NrOfRows(), 1);
}

TEST(DataTableCore, HugeResizeRaisesAndKeepsTable) {
  NUV_SKIP_WITHOUT_MEMORY_LIMIT();
  TDataTable t;
  t.Resize(2, 2);
  t.SetElem(2, 2, 7);
  {
    nuv_test::ScopedAddressSpaceLimit cap(4ull << 30);
    EXPECT_THROW_MSG(t.Resize(INT32_MAX, INT32_MAX), ENUVDataTableError,
                     "Component \"\": not enough memory on heap");
    EXPECT_THROW_MSG(t.Resize(2, 400000000), ENUVDataTableError,
                     "Component \"\": not enough memory on heap");
  }
  EXPECT_EQ(t.NrOfColumns(), 2);
  EXPECT_EQ(t.NrOfRows(), 2);
  EXPECT_EQ(t.NumericData->NrOfRows(), 2);
  EXPECT_EQ(t.GetElem(2, 2), 7.0);
}

TEST(DataTableCore, ResizeKeepsOverlap) {
  TDataTable t;
  Fill(t);
  t.Resize(2, 6);
  EXPECT_EQ(t.GetElem(2, 4), 24.0);
  EXPECT_EQ(t.GetCellState(2, 4), 8);
  EXPECT_EQ(t.GetColName(2), "col2");
  EXPECT_EQ(t.GetNominalID(2, 21), "x21");
  EXPECT_EQ(t.GetRowAttrib(4), 204);
  EXPECT_EQ(t.GetRowName(6), "R-6");
  EXPECT_EQ(t.GetElem(1, 6), 0.0);
  EXPECT_EQ(t.GetCellState(1, 6), 0);
}

TEST(DataTableCore, SetElemFiresTwiceAndNominalCellsRound) {
  TDataTable t;
  t.Resize(2, 2);
  TEventLog log;
  log.Attach(t);
  t.SetElem(1, 1, 2.5);
  EXPECT_EQ(log.Change, 2);  // through the matrix, then itself
  EXPECT_EQ(t.GetElem(1, 1), 2.5);
  t.SetMScaleType(1, stNominal);
  EXPECT_EQ(t.GetElem(1, 1), 2.0);  // halves to even
  t.SetElem(1, 2, 3.5);
  EXPECT_EQ(t.GetElem(1, 2), 4.0);
  t.SetMScaleType(1, stOrdinal);
  EXPECT_EQ(t.GetElem(1, 2), 4.0);
}

TEST(DataTableCore, NominalLabels) {
  TDataTable t;
  t.Resize(2, 3);
  t.SetMScaleType(1, stNominal);
  TEventLog log;
  log.Attach(t);
  t.SetElemNominal(1, 1, "red");
  t.SetElemNominal(1, 2, "RED");
  EXPECT_EQ(t.GetElem(1, 1), 1.0);
  EXPECT_EQ(t.GetElem(1, 2), 1.0);
  EXPECT_EQ(t.GetElemNominal(1, 2), "red");
  EXPECT_EQ(t.OrdinalOfNominalID(1, "RED", true), 1);
  EXPECT_EQ(t.OrdinalOfNominalID(1, "RED", false), 0);
  EXPECT_EQ(t.OrdinalOfNominalID(2, "red", true), 0);  // interval column
  // Labels are cut to 10 bytes, a UTF-8 character is never split.
  t.SetElemNominal(1, 3, "abcdefghijklm");
  EXPECT_EQ(t.GetElemNominal(1, 3), "abcdefghij");
  EXPECT_EQ(t.AddNominalID(1, "abcdefghijXYZ"), 2);
  EXPECT_EQ(t.AddNominalID(1, "abcdefghi\xC3\xA9"), 3);  // 11 bytes: the é does not fit
  EXPECT_EQ(t.GetNominalID(1, 3), "abcdefghi");
  // Lower case beyond ASCII.
  EXPECT_EQ(t.AddNominalID(1, "\xC3\x89t\xC3\xA9"), 4);  // Été
  EXPECT_EQ(t.OrdinalOfNominalID(1, "\xC3\xA9T\xC3\x89", true), 4);
  // A slot beyond 150 or not a number reads as text of the value.
  t.SetElem(1, 1, 151);
  EXPECT_EQ(t.GetElemNominal(1, 1), "151");
  t.SetElem(1, 1, 2.5);
  EXPECT_EQ(t.GetElemNominal(1, 1), "abcdefghij");  // 2.5 rounds to slot 2
  t.SetElem(1, 1, -12345678901.0);
  EXPECT_EQ(t.GetElemNominal(1, 1), "-123456789");
  t.SetElem(1, 1, std::nan(""));
  EXPECT_EQ(t.GetElemNominal(1, 1), "");
  EXPECT_EQ(t.GetElemNominal(2, 1), "");  // interval column
  EXPECT_GT(log.Setup, 0);
}

TEST(DataTableCore, LabelsNeverDuplicateOrVanish) {
  TDataTable t;
  t.Resize(1, 3);
  // On an interval column the label is still found again, not copied into a new slot.
  t.SetElemNominal(1, 1, "a");
  t.SetElemNominal(1, 2, "a");
  EXPECT_EQ(t.NumericData->GetVal(1, 2), 1.0);
  EXPECT_EQ(t.AddNominalID(1, "A"), 1);
  EXPECT_EQ(t.GetMScaleType(1), stNominal);
  // An empty label takes no slot (a later label would rename the cell).
  t.SetElemNominal(1, 3, "");
  EXPECT_EQ(t.NumericData->GetVal(1, 3), 0.0);
  EXPECT_EQ(t.AddNominalID(1, ""), 0);
  EXPECT_EQ(t.AddNominalID(1, "b"), 2);
  // The 151st label raises and changes nothing.
  for (int k = 3; k <= MaxNominalIDs; ++k) t.AddNominalID(1, "L" + std::to_string(k));
  const std::string crc = t.CRCofNamesAndAttributes();
  EXPECT_THROW_MSG(t.SetElemNominal(1, 1, "new"), ENUVDataTableError,
                   "Component \"\": number of available nominal values exceeded");
  EXPECT_THROW(t.AddNominalID(1, "new"), ENUVDataTableError);
  EXPECT_EQ(t.CRCofNamesAndAttributes(), crc);
  EXPECT_EQ(t.NumericData->GetVal(1, 1), 1.0);
  // SetNominalID writes non-empty labels only into nominal or ordinal columns.
  t.SetMScaleType(1, stInterval);
  t.SetNominalID(1, 2, "zz");
  t.SetMScaleType(1, stNominal);
  EXPECT_EQ(t.GetNominalID(1, 2), "b");
  t.SetNominalID(1, 2, "");
  EXPECT_EQ(t.GetNominalID(1, 2), "");
  t.ClearNominalIDs(1);
  EXPECT_EQ(t.GetNominalID(1, 1), "");
}

TEST(DataTableCore, CellStatesAndTheirEvents) {
  TDataTable t;
  TEventLog log;
  log.Attach(t);
  t.SetCellState(1, 1, 0);
  EXPECT_EQ(log.Total(), 0);
  t.SetIsEmpty(1, 1, true);
  EXPECT_EQ(t.GetCellState(1, 1), 2);
  EXPECT_EQ(log.CellSt, 1);
  EXPECT_EQ(log.Change, 1);
  EXPECT_FALSE(t.GetIsNumber(1, 1));
  EXPECT_TRUE(t.GetIsEmpty(1, 1));
  t.SetIsImputed(1, 1, true);
  EXPECT_EQ(t.GetCellState(1, 1), 34);
  EXPECT_TRUE(t.GetIsImputed(1, 1));
  t.SetIsEmpty(1, 1, false);
  EXPECT_TRUE(t.GetIsNumber(1, 1));
  t.SetCellState(1, 1, 1);
  EXPECT_FALSE(t.GetIsNumber(1, 1));
}

TEST(DataTableCore, NamesAttributesScales) {
  TDataTable t;
  t.Resize(3, 3);
  t.SetColName(2, std::string(60, 'n'));
  EXPECT_EQ(t.GetColName(2).size(), 50u);
  EXPECT_EQ(t.MaxColNameLength(), 50);
  t.SetRowName(1, "\xC3\xA9t\xC3\xA9");  // été: 3 characters
  EXPECT_EQ(t.MaxRowNameLength(), 3);
  EXPECT_EQ(t.FindColIndex("  c-3 "), 3);
  EXPECT_EQ(t.FindColIndex("c-2"), 0);
  EXPECT_EQ(t.FindRowIndex("\xC3\x89T\xC3\x89"), 1);
  // Attribute extremes: (5, 9, 9) gives 9 at column 2.
  t.SetColAttrib(1, 5);
  t.SetColAttrib(2, 9);
  t.SetColAttrib(3, 9);
  int32_t col = 0;
  EXPECT_EQ(t.MaxColAttrib(0, 0, col), 9);
  EXPECT_EQ(col, 2);
  EXPECT_EQ(t.MinColAttrib(3, 1, col), 5);
  EXPECT_EQ(col, 1);
  EXPECT_EQ(t.ColAttribLevels(), 2);
  // Attributes outside 0..255 are counted as the values they are.
  t.SetRowAttributes(-7);
  t.SetRowAttrib(2, 300);
  t.SetRowAttrib(3, 44);
  EXPECT_EQ(t.RowAttribLevels(), 3);
  int32_t row = 0;
  EXPECT_EQ(t.MinRowAttrib(0, 0, row), -7);
  t.SetRowAttributes(0xF0, 0x30);  // keep the other bits
  EXPECT_EQ(t.GetRowAttrib(3), (44 & ~0x30) | 0x30);
  t.SetColAttributes(1);
  EXPECT_EQ(t.ColAttribLevels(), 1);
  // Scale levels.
  t.SetMScaleType(1, stUnknown);
  t.SetMScaleType(2, stOrdinal);
  t.SetMScaleType(3, stRatio);
  EXPECT_EQ(t.FindHighestMLevel(0, 0), stRatio);
  EXPECT_EQ(t.FindHighestMLevel(1, 1), stNominal);  // stUnknown never wins
  EXPECT_EQ(t.FindLowestMLevel(2, 3), stOrdinal);
  EXPECT_EQ(t.ListOfCategorialVars(), (TIntArray{2}));
  t.SetFComment("a\r\nb\tc");
  EXPECT_EQ(t.Comment(), "abc");
}

TEST(DataTableCore, InsertAndRemoveKeepEveryCell) {
  // With and without event handlers (setter path and bulk path) the result is the same.
  for (int handlers = 0; handlers < 2; ++handlers) {
    SCOPED_TRACE(handlers);
    TDataTable t, ref;
    Fill(t);
    Fill(ref);
    TEventLog log;
    if (handlers == 1) log.Attach(t);
    t.SetElem(2, 3, 2.5);  // a nominal cell moved through GetElem is rounded
    t.InsertRow(2);
    ASSERT_EQ(t.NrOfRows(), 5);
    EXPECT_EQ(t.GetRowName(2), "");
    EXPECT_EQ(t.GetRowAttrib(2), 0);
    EXPECT_EQ(t.GetElem(3, 2), 0.0);
    EXPECT_EQ(t.GetCellState(3, 2), 0);
    EXPECT_EQ(t.GetElem(3, 3), 32.0);
    EXPECT_EQ(t.GetCellState(3, 3), 6);
    EXPECT_EQ(t.GetRowName(5), "row4");
    EXPECT_EQ(t.GetRowAttrib(5), 204);
    EXPECT_EQ(t.NumericData->GetVal(2, 4), 2.0);
    EXPECT_EQ(t.GetElem(1, 1), 11.0);
    t.RemoveRow(2);
    t.SetElem(2, 3, 23);
    EXPECT_EQ(Dump(t), Dump(ref));
    EXPECT_EQ(t.CRCofNamesAndAttributes(), ref.CRCofNamesAndAttributes());

    t.InsertColumn(1);
    ASSERT_EQ(t.NrOfColumns(), 4);
    EXPECT_EQ(t.GetColName(1), "");
    EXPECT_EQ(t.GetMScaleType(1), stInterval);
    EXPECT_EQ(t.GetColName(3), "col2");
    EXPECT_EQ(t.GetMScaleType(3), stNominal);
    EXPECT_EQ(t.GetNominalID(3, 21), "x21");
    EXPECT_EQ(t.GetCellState(4, 4), 12);
    EXPECT_EQ(t.GetColAttrib(4), 103);
    t.RemoveColumn(1);
    // Equal but for the labels the interval column 3 leaves behind when the
    // nominal column moves back over it.
    EXPECT_EQ(Dump(t), Dump(ref));
    EXPECT_NE(t.CRCofNamesAndAttributes(), ref.CRCofNamesAndAttributes());
    // Appending and the limits.
    t.InsertRow(t.NrOfRows() + 1);
    EXPECT_EQ(t.NrOfRows(), 5);
    EXPECT_EQ(t.GetRowName(5), "");
    t.InsertRow(7);
    t.InsertRow(0);
    EXPECT_EQ(t.NrOfRows(), 5);
    if (handlers == 1) {
      EXPECT_EQ(log.Resize, 5);
      EXPECT_GT(log.Change, 0);
    }
  }
  TDataTable one;
  one.RemoveRow(1);
  one.RemoveColumn(1);
  EXPECT_EQ(one.NrOfRows(), 1);
  EXPECT_EQ(one.NrOfColumns(), 1);
}

TEST(DataTableCore, RemovingAColumnMovesLabelsOnlyOfNominalColumns) {
  for (int handlers = 0; handlers < 2; ++handlers) {
    SCOPED_TRACE(handlers);
    TDataTable t;
    TEventLog log;
    if (handlers == 1) log.Attach(t);
    t.Resize(3, 1);
    t.SetMScaleType(1, stNominal);
    t.SetNominalID(1, 1, "one");
    t.SetMScaleType(3, stOrdinal);
    t.SetNominalID(3, 2, "three");
    t.RemoveColumn(1);
    // The interval column moved onto column 1 leaves that column's labels in place.
    EXPECT_EQ(t.GetMScaleType(1), stInterval);
    EXPECT_EQ(t.GetNominalID(1, 1), "");
    t.SetMScaleType(1, stNominal);
    EXPECT_EQ(t.GetNominalID(1, 1), "one");
    // The ordinal column takes its labels along.
    EXPECT_EQ(t.GetMScaleType(2), stOrdinal);
    EXPECT_EQ(t.GetNominalID(2, 2), "three");
  }
}

TEST(DataTableCore, ClearAndEventOrder) {
  TDataTable t;
  Fill(t);
  std::string order;
  t.SetOnChange([&](TObject*) { order += "D"; });
  t.SetOnChangeSetup([&](TObject*) { order += "S"; });
  t.SetOnChangeNames([&](TObject*) { order += "N"; });
  t.SetOnChangeAttrib([&](TObject*) { order += "A"; });
  t.SetOnChangeCellState([&](TObject*) { order += "C"; });
  t.Clear();
  EXPECT_EQ(order, "DNACS");
  EXPECT_EQ(t.NrOfColumns(), 3);
  EXPECT_EQ(t.GetColName(2), "C-2");
  EXPECT_EQ(t.GetRowName(4), "R-4");
  EXPECT_EQ(t.GetElem(3, 4), 0.0);
  EXPECT_EQ(t.GetCellState(3, 4), 0);
  EXPECT_EQ(t.GetMScaleType(2), stInterval);
  EXPECT_EQ(t.GetNominalID(2, 1), "");
  TDataTable fresh;
  fresh.Resize(3, 4);
  EXPECT_EQ(t.CRCofNamesAndAttributes(), fresh.CRCofNamesAndAttributes());
}

TEST(DataTableCore, CopiesAndCheckSums) {
  TDataTable a, b;
  Fill(a);
  a.SetFComment("comment");
  TEventLog log;
  log.Attach(b);
  b.CopyContentsFrom(&a);
  EXPECT_EQ(Dump(b), Dump(a));
  EXPECT_EQ(b.CRCofCellStates(), a.CRCofCellStates());
  EXPECT_EQ(b.Comment(), "comment");
  EXPECT_EQ(log.Resize, 2);  // the resize, and once more at the end
  EXPECT_EQ(log.ResizeArgs[1], (std::vector<int32_t>{1, 1, 3, 4}));
  EXPECT_EQ(log.Change, 1);
  EXPECT_EQ(log.Names, 1);
  b.CopyContentsFrom(&b);
  EXPECT_EQ(Dump(b), Dump(a));

  // The check sums depend on the data they cover, not on the rest.
  const std::string names = a.CRCofNamesAndAttributes();
  const std::string states = a.CRCofCellStates();
  EXPECT_EQ(names.size(), 64u);
  EXPECT_EQ(names.find_first_not_of("0123456789ABCDEF"), std::string::npos);
  a.SetElem(1, 1, 99);
  EXPECT_EQ(a.CRCofNamesAndAttributes(), names);
  a.SetRowAttrib(2, 7);
  EXPECT_NE(a.CRCofNamesAndAttributes(), names);
  a.SetCellState(3, 3, 0);
  EXPECT_NE(a.CRCofCellStates(), states);
  // States all 0: the sum depends only on the size. An empty byte stream
  // leaves every register at its start, complemented to 00000000.
  TDataTable z1, z2;
  z1.Resize(2, 3);
  z2.Resize(3, 2);
  EXPECT_NE(z1.CRCofCellStates(), z2.CRCofCellStates());
  z2.Resize(2, 3);
  EXPECT_EQ(z1.CRCofCellStates(), z2.CRCofCellStates());
  // One state byte 0x61 ('a') in register 1: zlib.crc32(b"a") = 0xE8B7BE43.
  TDataTable one;
  one.SetCellState(1, 1, 0x61);
  EXPECT_EQ(one.CRCofCellStates(), "00000000E8B7BE43" + std::string(48, '0'));

  EXPECT_FALSE(b.CopyCellStatesFrom(&z1));
  TDataTable c;
  c.Resize(3, 4);
  EXPECT_TRUE(c.CopyCellStatesFrom(&b));
  EXPECT_EQ(c.CRCofCellStates(), b.CRCofCellStates());
}

TEST(DataTableCore, CopyFromBlock) {
  TDataTable a, b;
  Fill(a);
  b.Resize(3, 3);
  TEventLog log;
  log.Attach(b);
  // Source block columns 2..3, rows 3..4, to (2, 2): (3, 4) lands outside and is dropped.
  b.CopyFrom(&a, 3, 4, 2, 3, 2, 2);
  EXPECT_EQ(b.GetElem(2, 2), 23.0);
  EXPECT_EQ(b.GetCellState(2, 2), 6);
  EXPECT_EQ(b.GetElem(3, 3), 34.0);
  EXPECT_EQ(b.GetElem(1, 1), 0.0);
  EXPECT_EQ(log.Change, 1);
  EXPECT_EQ(log.CellSt, 1);
  // (0, 0) is (1, 1); a copy within one table reads the original values.
  a.CopyFrom(&a, 1, 1, 2, 2, 2, 2);
  EXPECT_EQ(a.GetElem(2, 2), 11.0);
  EXPECT_EQ(a.GetElem(3, 3), 22.0);
  b.CopyFrom(&a, 0, 0, 0, 0, 1, 1);
  EXPECT_EQ(b.GetElem(1, 1), 11.0);
  b.CopyFrom(nullptr, 1, 1, 1, 1, 1, 1);
}

TEST(DataTableCore, Serialize) {
  TDataTable t;
  t.Resize(2, 3);
  for (int32_t c = 1; c <= 2; ++c)
    for (int32_t r = 1; r <= 3; ++r) t.SetElem(c, r, 10.0 * c + r);
  t.SetColName(1, "alpha");
  t.SetColName(2, "averylongname");
  t.SetRowAttrib(1, 17);
  t.SetRowName(1, "first");
  t.SetCellState(2, 1, 64);
  t.SetCellState(1, 1, 2);  // a stale state must not reach the index columns
  t.SetMScaleType(2, stRatio);
  t.Serialize(true, true);
  ASSERT_EQ(t.NrOfColumns(), 4);
  ASSERT_EQ(t.NrOfRows(), 6);
  EXPECT_EQ(t.GetColName(1), "(column)");
  EXPECT_EQ(t.GetColName(2), "(col. index)");
  EXPECT_EQ(t.GetColName(3), "(row index)");
  EXPECT_EQ(t.GetColName(4), "(data)");
  EXPECT_EQ(t.GetElem(1, 4), 2.0);
  EXPECT_EQ(t.GetElem(2, 4), 2.0);
  EXPECT_EQ(t.GetElem(3, 4), 1.0);
  EXPECT_EQ(t.GetElem(4, 4), 21.0);
  EXPECT_EQ(t.GetRowName(4), "first");
  EXPECT_EQ(t.GetRowAttrib(4), 17);
  EXPECT_EQ(t.GetCellState(4, 4), 64);
  EXPECT_EQ(t.GetCellState(4, 1), 2);
  EXPECT_EQ(t.GetCellState(1, 1), 0);
  EXPECT_EQ(t.GetMScaleType(1), stNominal);
  EXPECT_EQ(t.GetMScaleType(4), stRatio);
  EXPECT_EQ(t.GetElemNominal(1, 1), "alpha:1");
  // The column number is kept whole, so the labels stay distinct.
  EXPECT_EQ(t.GetElemNominal(1, 4), "averylon:2");
  TDataTable plain;
  plain.Resize(2, 2);
  plain.Serialize(false, false);
  EXPECT_EQ(plain.NrOfColumns(), 1);
  EXPECT_EQ(plain.NrOfRows(), 4);
  EXPECT_EQ(plain.GetColName(1), "(data)");
  TDataTable wide;
  wide.Resize(151, 1);
  EXPECT_THROW(wide.Serialize(true, false), ENUVDataTableError);
  EXPECT_EQ(wide.NrOfColumns(), 151);
}

TEST(DataTableCore, LentMatrix) {
  TMatrix* m = new TMatrix;
  m->Resize(3, 2);
  m->SetVal(3, 2, 7.5);
  {
    TDataTable t;
    t.SetMScaleType(1, stNominal);
    TEventLog log;
    log.Attach(t);
    t.AssignAnotherDataMatrix(m);
    EXPECT_EQ(t.NumericData, m);
    EXPECT_EQ(t.NrOfColumns(), 3);
    EXPECT_EQ(t.NrOfRows(), 2);
    EXPECT_EQ(t.GetElem(3, 2), 7.5);
    EXPECT_EQ(t.GetMScaleType(1), stInterval);
    EXPECT_EQ(log.Resize, 2);
    EXPECT_EQ(log.Change, 1);
    EXPECT_EQ(log.CellSt, 1);
    t.SetElem(1, 1, 4);
    EXPECT_EQ(log.Change, 3);
    TMatrix other;
    t.AssignAnotherDataMatrix(&other);  // the lent one is let go, not freed
    EXPECT_FALSE(m->OnChange());
    EXPECT_EQ(m->GetVal(1, 1), 4.0);
    t.AssignAnotherDataMatrix(m);
  }
  // The table is gone; the matrix lives on without its handlers.
  EXPECT_FALSE(m->OnChange());
  EXPECT_FALSE(m->OnSortExchange());
  m->SetVal(1, 1, 1);
  delete m;
}

TEST(DataTableCore, OwnerDestroysTableAndNamesMessages) {
  TComponent owner;
  auto* t = new TDataTable(&owner);
  t->SetName("tab");
  EXPECT_EQ(owner.ComponentCount(), 1);
  for (int k = 0; k < MaxNominalIDs; ++k) t->AddNominalID(1, "n" + std::to_string(k));
  EXPECT_THROW_MSG(t->AddNominalID(1, "one more"), ENUVDataTableError,
                   "Component \"tab\": number of available nominal values exceeded");
}
