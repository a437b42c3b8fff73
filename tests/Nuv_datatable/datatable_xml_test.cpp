// TDataTable XML: a round trip of everything the table holds, the table and
// its matrix in one document, and refused documents that leave it unchanged.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "Nuv_datatable/Nuv_datatable.h"

using namespace nuv;

namespace {

std::string TmpFile(const std::string& Name) {
  return std::string(NUV_TEST_TMP_DIR) + "/xml_" + Name;
}

/// Everything a table holds, as text (values bit for bit).
std::string Everything(const TDataTable& t) {
  std::string s = t.Comment() + "|" + t.CRCofNamesAndAttributes() + "|" + t.CRCofCellStates() +
                  "|" + t.NumericData->CRCofData() + "|";
  for (int32_t c = 1; c <= t.NrOfColumns(); ++c) {
    s += t.GetColName(c) + ";" + MScaleTypeNames[t.GetMScaleType(c)] + ";" +
         std::to_string(t.GetColAttrib(c)) + ";";
    for (int32_t k = 1; k <= MaxNominalIDs; ++k)
      if (!t.GetNominalID(c, k).empty())
        s += std::to_string(k) + "=" + t.GetNominalID(c, k) + ",";
  }
  for (int32_t r = 1; r <= t.NrOfRows(); ++r)
    s += t.GetRowName(r) + ";" + std::to_string(t.GetRowAttrib(r)) + ";";
  return s;
}

/// A 3 x 4 table with awkward names, labels, states and values.
void FillAwkward(TDataTable& t) {
  t.Resize(3, 4);
  t.SetFComment("comment with <tags> & \"quotes\" \xC3\xA9");
  t.SetColName(1, "a<b>&c");
  t.SetColName(2, "\"q'\" \xE2\x82\xAC");
  t.SetColName(3, "");
  t.SetRowName(2, "  blanks  ");
  t.SetColAttrib(2, -2147483647 - 1);
  t.SetRowAttrib(4, 2147483647);
  t.SetMScaleType(1, stNominal);
  t.SetElemNominal(1, 1, "<red>");
  t.SetElemNominal(1, 2, "a&b");
  t.SetElemNominal(1, 3, "\xC3\xBC\xC3\xBC");
  t.SetNominalID(1, 150, "last\"");
  t.SetMScaleType(3, stRatio);
  t.SetElem(2, 1, std::numeric_limits<double>::quiet_NaN());
  t.SetElem(2, 2, -0.0);
  t.SetElem(2, 3, std::numeric_limits<double>::denorm_min());
  t.SetElem(2, 4, -std::numeric_limits<double>::infinity());
  t.SetElem(3, 4, 0.1);
  t.SetCellState(2, 1, 1);
  t.SetCellState(3, 2, 255);
  t.SetCellState(1, 4, 34);
}

}  // namespace

TEST(DataTableXml, RoundTripKeepsEverythingAndFiresTheLoadEvents) {
  TDataTable t;
  FillAwkward(t);
  const std::string path = TmpFile("table.xml");
  ASSERT_TRUE(t.SaveAsXMLFile(path));

  TDataTable back;
  std::string events;
  back.SetOnResize([&](TObject*, int32_t oc, int32_t orow, int32_t nc, int32_t nr) {
    events += "resize " + std::to_string(oc) + std::to_string(orow) + std::to_string(nc) +
              std::to_string(nr) + ";";
  });
  back.SetOnChange([&](TObject*) { events += "data;"; });
  back.SetOnChangeCellState([&](TObject*) { events += "states;"; });
  back.SetOnChangeSetup([&](TObject*) { events += "setup;"; });
  back.SetOnChangeNames([&](TObject*) { events += "names;"; });
  back.SetOnChangeAttrib([&](TObject*) { events += "attrib;"; });
  TXmlReadInfo info;
  ASSERT_TRUE(back.LoadFromXMLFile(path, &info)) << info.ErrorMessage();
  EXPECT_EQ(Everything(back), Everything(t));
  EXPECT_EQ(back.GetElemNominal(1, 2), "a&b");
  EXPECT_EQ(back.GetNominalID(1, 150), "last\"");
  EXPECT_EQ(events, "resize 1134;data;states;setup;names;attrib;");

  // Text in memory reads the same.
  TDataTable fromText;
  TMemoryStream ms;
  t.WriteToXMLStream(&ms, true);
  const std::string text(reinterpret_cast<const char*>(ms.Memory()),
                         static_cast<size_t>(ms.Size()));
  ASSERT_TRUE(fromText.ReadFromXMLString(text, &info)) << info.ErrorMessage();
  EXPECT_EQ(Everything(fromText), Everything(t));
}

TEST(DataTableXml, TableAndMatrixShareADocument) {
  TDataTable t;
  FillAwkward(t);
  TMatrix other;
  other.Resize(2, 2);
  other.Fill(3.5);
  other.SetDataID("beside the table");
  const std::string path = TmpFile("table_and_matrix.xml");
  {
    TTextWriter w(path);
    w.WriteLine("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    w.WriteLine("<analysis>");
    t.WriteToOpenXMLFile(&w, false);
    other.WriteToOpenXMLFile(&w, false);
    w.WriteLine();
    w.WriteLine("</analysis>");
    w.Close();
  }
  TTextReader in(path);
  TDataTable gotT;
  TMatrix gotM;
  TXmlReadInfo info;
  ASSERT_TRUE(gotT.ReadFromOpenXMLFile(&in, false, &info)) << info.ErrorMessage();
  ASSERT_TRUE(gotM.ReadFromOpenXMLFile(&in, true, "", &info)) << info.ErrorMessage();
  EXPECT_EQ(Everything(gotT), Everything(t));
  EXPECT_EQ(gotM.DataID(), "beside the table");
  EXPECT_EQ(gotM.CRCofData(), other.CRCofData());
  // The whole document also reads through the file forms.
  TMatrix viaFile;
  ASSERT_TRUE(viaFile.LoadFromXMLFile(path, "beside the table", &info)) << info.ErrorMessage();
  ASSERT_TRUE(gotT.LoadFromXMLFile(path, &info)) << info.ErrorMessage();
}

TEST(DataTableXml, RefusedDocumentsLeaveTheTableUnchanged) {
  TDataTable src;
  FillAwkward(src);
  TMemoryStream ms;
  src.WriteToXMLStream(&ms, true);
  const std::string doc(reinterpret_cast<const char*>(ms.Memory()), static_cast<size_t>(ms.Size()));

  TDataTable t;
  t.Resize(2, 2);
  t.SetColName(1, "mine");
  const std::string before = Everything(t);
  int events = 0;
  t.SetOnChange([&](TObject*) { ++events; });
  t.SetOnResize([&](TObject*, int32_t, int32_t, int32_t, int32_t) { ++events; });
  t.SetOnChangeNames([&](TObject*) { ++events; });
  TXmlReadInfo info;
  for (size_t n = 0; n < doc.size() - 2; n += 7) {
    ASSERT_FALSE(t.ReadFromXMLString(doc.substr(0, n), &info)) << n;
    EXPECT_FALSE(info.ErrorText.empty());
  }
  auto refuse = [&](const std::string& from, const std::string& to, const std::string& why) {
    std::string bad = doc;
    const size_t at = bad.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    bad.replace(at, from.size(), to);
    EXPECT_FALSE(t.ReadFromXMLString(bad, &info)) << to;
    EXPECT_EQ(info.ErrorText, why);
    EXPECT_GT(info.ErrorLine, 1);
  };
  refuse("<C>a&lt;b&gt;&amp;c</C>", "", "<ColNames> holds 2 names where 3 are expected");
  refuse("255", "256", "a cell state outside 0..255: 256");
  refuse("rows=\"4\"", "rows=\"40000000\"",
         "<Size> claims more cells than the rest of the document can hold");
  refuse("scale=\"Nominal\"", "scale=\"Nominalish\"", "unknown scale type \"Nominalish\"");
  refuse("slot=\"150\"", "slot=\"151\"", "the attribute slot is not an integer in 1..150: \"151\"");
  refuse("<Label slot=\"150\">", "<Label slot=\"1\">", "label slot 1 is given twice");
  refuse("<CellStates>", "<Cells>", "<Cells> is given twice");
  refuse("<Comment>", "<Comment>&bomb;", "undefined entity &bomb;");
  refuse("rows=\"4\"/>", "rows=\"4\"><x/></Size>", "unexpected element <x> in <Size>");
  EXPECT_EQ(Everything(t), before);
  EXPECT_EQ(events, 0);

  // Comments and processing instructions may stand between the elements.
  std::string spaced = doc;
  spaced.replace(spaced.find("rows=\"4\"/>"), 10, "rows=\"4\"><!-- 12 --></Size><?pi?>");
  TDataTable ok;
  ASSERT_TRUE(ok.ReadFromXMLString(spaced, &info)) << info.ErrorMessage();
  EXPECT_EQ(Everything(ok), Everything(src));

  EXPECT_EQ(TDataTable::ProcessXmlTag("CellStates"), xmlCellID);
  EXPECT_EQ(TDataTable::ProcessXmlTag("/TDataTable"), xmlDataTableEndId);
  EXPECT_EQ(TDataTable::ProcessXmlTag("cells"), TDTxmlTags::xmlInvalid);
  EXPECT_EQ(TDTxmlTags::xmlInvalid, 14);
}
