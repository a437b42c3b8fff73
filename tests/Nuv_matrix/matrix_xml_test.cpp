#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"

using namespace nuv;

namespace {

std::string TmpFile(const std::string& name) {
  return std::string(NUV_TEST_TMP_DIR) + "/xml_" + name;
}

std::string ReadRaw(const std::string& path) {
  TMemoryStream ms;
  ms.LoadFromFile(path);
  return std::string(reinterpret_cast<const char*>(ms.Memory()), static_cast<size_t>(ms.Size()));
}

void WriteRaw(const std::string& path, const std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

uint64_t Bits(double v) {
  uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const double kDenorm = std::numeric_limits<double>::denorm_min();

/// A 3 x 4 matrix of the values a text format finds hardest.
void FillAwkward(TMatrix& m) {
  const double v[] = {kNaN, -kNaN, kInf, -kInf, -0.0, kDenorm, -kDenorm, 0.1, 1e308, -1e-320,
                      1.0 / 3.0, 12345678901234567.0};
  m.Resize(3, 4);
  for (int i = 0; i < 12; ++i) m.SetVal(i / 4 + 1, i % 4 + 1, v[i]);
  m.SetDataID("id <&\"' \xC3\xA9\xE2\x82\xAC");
  m.SetFPrecis(1, 7);
  m.SetFPrecis(2, 3);
}

void ExpectSameMatrix(const TMatrix& a, const TMatrix& b) {
  ASSERT_EQ(a.NrOfColumns(), b.NrOfColumns());
  ASSERT_EQ(a.NrOfRows(), b.NrOfRows());
  for (int32_t c = 1; c <= a.NrOfColumns(); ++c)
    for (int32_t r = 1; r <= a.NrOfRows(); ++r)
      EXPECT_EQ(Bits(a.GetVal(c, r)), Bits(b.GetVal(c, r))) << c << "," << r;
  EXPECT_EQ(a.DataID(), b.DataID());
  EXPECT_EQ(a.GetFPrecis(1), b.GetFPrecis(1));
  EXPECT_EQ(a.GetFPrecis(2), b.GetFPrecis(2));
}

}  // namespace

TEST(MatrixXml, RoundTripIsBitForBitAndFiresOnChangeOnce) {
  TMatrix m;
  FillAwkward(m);
  const std::string path = TmpFile("awkward.xml");
  ASSERT_TRUE(m.SaveAsXMLFile(path));
  EXPECT_EQ(ReadRaw(path).rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<TMatrix", 0), 0u);

  TMatrix back;
  int changes = 0;
  back.SetOnChange([&](TObject*) { ++changes; });
  TXmlReadInfo info;
  ASSERT_TRUE(back.LoadFromXMLFile(path, "", &info)) << info.ErrorMessage();
  ExpectSameMatrix(back, m);
  EXPECT_EQ(back.CRCofData(), m.CRCofData());
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(back.OnChange() != nullptr);  // the handler stays

  // An empty dimension keeps its kept cells and reads back as written.
  TMatrix empty;
  empty.Resize(0, 5);
  ASSERT_TRUE(empty.SaveAsXMLFile(path));
  ASSERT_TRUE(back.LoadFromXMLFile(path));
  EXPECT_EQ(back.NrOfColumns(), 0);
  EXPECT_EQ(back.NrOfRows(), 5);
  back.SetNCols(1);
  EXPECT_EQ(back.GetVal(1, 5), 0.0);
}

TEST(MatrixXml, EveryFaultLeavesTheMatrixAsItWas) {
  TMatrix m;
  FillAwkward(m);
  const std::string path = TmpFile("faults.xml");
  ASSERT_TRUE(m.SaveAsXMLFile(path));
  const std::string doc = ReadRaw(path);

  TMatrix target;
  target.Resize(2, 2);
  target.Fill(7.0);
  target.SetDataID("keep");
  const std::string crc = target.CRCofData();
  int changes = 0;
  target.SetOnChange([&](TObject*) { ++changes; });
  auto unchanged = [&] {
    EXPECT_EQ(target.NrOfColumns(), 2);
    EXPECT_EQ(target.CRCofData(), crc);
    EXPECT_EQ(target.DataID(), "keep");
    EXPECT_EQ(changes, 0);
  };
  // Every prefix of the document is refused (the root's end tag is its last byte but two).
  const std::string cut = TmpFile("cut.xml");
  for (size_t n = 0; n + 2 < doc.size(); ++n) {
    WriteRaw(cut, doc.substr(0, n));
    TXmlReadInfo info;
    ASSERT_FALSE(target.LoadFromXMLFile(cut, "", &info)) << n;
    EXPECT_FALSE(info.ErrorText.empty());
  }
  unchanged();

  auto refuse = [&](const std::string& text, const std::string& why, int32_t line) {
    TXmlReadInfo info;
    WriteRaw(cut, text);
    EXPECT_FALSE(target.LoadFromXMLFile(cut, "", &info)) << text;
    EXPECT_EQ(info.ErrorText, why) << text;
    EXPECT_EQ(info.ErrorLine, line) << text;
    unchanged();
  };
  refuse("<TMat3D version='1' columns='1' rows='1' layers='1'><values>1</values></TMat3D>",
         "no <TMatrix> element", 1);
  refuse("<TMatrix version='1' columns='2' rows='2'>\n<values>1 2 3</values></TMatrix>",
         "<values> holds 3 numbers where 4 are expected", 2);
  // Sizes that lie cost nothing: the claim is checked against the bytes left.
  refuse("<TMatrix version='1' columns='2000000000' rows='2000000000'>\n<values>1</values>"
         "</TMatrix>",
         "<values> claims 4000000000000000000 numbers, more than the rest of the document can "
         "hold",
         2);
  refuse("<TMatrix version='1' columns='0' rows='2000000000'><values/></TMatrix>",
         "an empty matrix of 2000000000 kept cells is too large", 1);
  refuse("<TMatrix version='2' columns='1' rows='1'><values>1</values></TMatrix>",
         "version \"2\" of <TMatrix> is not read by this build (only 1)", 1);
  refuse("<TMatrix version='1' columns='-1' rows='1'><values/></TMatrix>",
         "the attribute columns is not an integer in 0..2147483647: \"-1\"", 1);
  refuse("<TMatrix version='1' columns='1' rows='1' color='red'><values>1</values></TMatrix>",
         "unknown attribute color of <TMatrix>", 1);
  refuse("<TMatrix version='1' columns='1' rows='1'><values>1</values><x/></TMatrix>",
         "unexpected element <x> in <TMatrix>", 1);
  refuse("<!DOCTYPE TMatrix SYSTEM \"http://example.com/x.dtd\"><TMatrix/>",
         "a DTD is not allowed", 1);
  refuse(doc + "<TMatrix/>", "a second root element", 8);
}

TEST(MatrixXml, SeveralObjectsShareOneDocument) {
  TMatrix a, b;
  FillAwkward(a);
  b.Resize(2, 1);
  b.SetVal(2, 1, -2.5);
  b.SetDataID("second");
  TIntMatrix sparse;
  sparse.ArrayToSparse(7);
  sparse.SetVal(4, 2, -9);
  sparse.SetVal(1, 5, 0);
  sparse.SetVal(2, 2, 2147483647);
  sparse.Resize(6, 7);
  TIntMatrix dense;
  dense.Resize(2, 3);
  dense.SetVal(2, 3, -2147483647 - 1);
  TMat3D m3;
  m3.Resize(2, 3, 4);
  m3.FillRandomGauss(0, 1);
  m3.SetVal(2, 3, 4, kNaN);
  m3.SetDataID("cube");
  TMat4D m4;
  m4.Resize(3, 2, 2, 3);
  m4.FillRandomUniform(-1, 1);
  m4.SetVal(3, 1, 2, 3, -0.0);

  const std::string path = TmpFile("several.xml");
  {
    TTextWriter w(path);
    w.WriteLine("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    w.WriteLine("<project>");
    a.WriteToOpenXMLFile(&w, false);
    sparse.WriteToOpenXMLFile(&w, false);
    dense.WriteToOpenXMLFile(&w, false);
    m3.WriteToOpenXMLFile(&w, false);
    m4.WriteToOpenXMLFile(&w, false);
    b.WriteToOpenXMLFile(&w, false);
    w.WriteLine();
    w.WriteLine("</project>");
    w.Close();
  }
  // The file forms pick an object by class and DataID anywhere in the document.
  TMatrix gotB;
  TXmlReadInfo info;
  ASSERT_TRUE(gotB.LoadFromXMLFile(path, "second", &info)) << info.ErrorMessage();
  ExpectSameMatrix(gotB, b);
  EXPECT_FALSE(gotB.LoadFromXMLFile(path, "third", &info));
  EXPECT_EQ(info.ErrorText, "no <TMatrix> element with DataID \"third\"");

  // The open-file forms read one object after the other.
  TTextReader in(path);
  TMatrix gotA;
  TIntMatrix gotSparse, gotDense;
  TMat3D got3;
  TMat4D got4;
  ASSERT_TRUE(gotA.ReadFromOpenXMLFile(&in, false, "", &info)) << info.ErrorMessage();
  ASSERT_TRUE(gotSparse.ReadFromOpenXMLFile(&in, true, "", &info)) << info.ErrorMessage();
  ASSERT_TRUE(gotDense.ReadFromOpenXMLFile(&in, true, "", &info)) << info.ErrorMessage();
  ASSERT_TRUE(got3.ReadFromOpenXMLFile(&in, true, "", &info)) << info.ErrorMessage();
  // A TMatrix is not found before the closing tag of <project>... after the 4-D array.
  const int64_t before = in.Position();
  EXPECT_FALSE(gotB.ReadFromOpenXMLFile(&in, true, "nothing", &info));
  EXPECT_EQ(in.Position(), before);
  ASSERT_TRUE(got4.ReadFromOpenXMLFile(&in, true, "", &info)) << info.ErrorMessage();
  ExpectSameMatrix(gotA, a);
  EXPECT_TRUE(gotSparse.IsSparse());
  EXPECT_EQ(gotSparse.NrOfColumns(), 6);
  EXPECT_EQ(gotSparse.NrOfRows(), 7);
  EXPECT_EQ(gotSparse.AllocBy(), 7);
  EXPECT_EQ(gotSparse.SparseNumElem(), 3);
  EXPECT_EQ(gotSparse.SparseHighCol(), 4);
  EXPECT_EQ(gotSparse.GetVal(2, 2), 2147483647);
  EXPECT_EQ(gotSparse.GetVal(4, 2), -9);
  EXPECT_FALSE(gotDense.IsSparse());
  EXPECT_EQ(gotDense.CRCofData(), dense.CRCofData());
  EXPECT_EQ(got3.CRCofData(), m3.CRCofData());
  EXPECT_EQ(got3.DataID(), "cube");
  EXPECT_EQ(got4.CRCofData(), m4.CRCofData());
  EXPECT_EQ(got4.NrOfTimeSlots(), 3);
  ASSERT_TRUE(gotB.ReadFromOpenXMLFile(&in, true, "", &info));
  std::string line;
  while (in.ReadLine(line) && line.empty()) {
  }
  EXPECT_EQ(line, "</project>");
}

TEST(MatrixXml, StreamsStopRightAfterTheElement) {
  TMatrix a, b;
  a.Resize(300, 200);  // large enough to cross the blocks a file stream is read in
  a.FillRandomGauss(1, 1e-3);
  b.Resize(1, 1);
  b.SetVal(1, 1, 42);
  const std::string path = TmpFile("stream.xml");
  {
    TFileStream out(path, fmCreate);
    a.WriteToXMLStream(&out, true);
    b.WriteToXMLStream(&out, false);
    out.Flush();
  }
  TFileStream in(path, fmOpenRead);
  TMatrix gotA, gotB;
  TXmlReadInfo info;
  ASSERT_TRUE(gotA.ReadFromXMLStream(&in, false, "", &info)) << info.ErrorMessage();
  EXPECT_EQ(gotA.CRCofData(), a.CRCofData());
  const int64_t pos = in.Position();
  ASSERT_TRUE(gotB.ReadFromXMLStream(&in, true, "", &info)) << info.ErrorMessage();
  EXPECT_EQ(gotB.GetVal(1, 1), 42.0);
  // Nothing is left but white space; a failed read puts the position back.
  const int64_t end = in.Position();
  EXPECT_FALSE(gotB.ReadFromXMLStream(&in, true, "", &info));
  EXPECT_EQ(in.Position(), end);
  EXPECT_EQ(info.ErrorText, "no <TMatrix> element");
  in.SetPosition(pos);
  ASSERT_TRUE(gotA.ReadFromXMLStream(&in, true));
  EXPECT_EQ(gotA.NrOfColumns(), 1);

  // A read that fails half way through an element puts a file stream back.
  const std::string bad = TmpFile("bad_stream.xml");
  WriteRaw(bad, "<x/><TMatrix version='1' columns='2' rows='2'><values>1 2 3</values></TMatrix>");
  TFileStream badIn(bad, fmOpenRead);
  badIn.SetPosition(4);
  EXPECT_FALSE(gotB.ReadFromXMLStream(&badIn, true, "", &info));
  EXPECT_EQ(info.ErrorText, "<values> holds 3 numbers where 4 are expected");
  EXPECT_EQ(badIn.Position(), 4);

  // A memory stream is read in place with the same result.
  TMemoryStream ms;
  ms.LoadFromFile(path);
  ASSERT_TRUE(gotA.ReadFromXMLStream(&ms, false));
  EXPECT_EQ(gotA.CRCofData(), a.CRCofData());
  EXPECT_EQ(ms.Position(), pos);
}

TEST(MatrixXml, IntegerAndArrayReadersCheckTheirValues) {
  auto refuse = [](auto& obj, const std::string& text, const std::string& why) {
    TMemoryStream ms;
    ms.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    TXmlReadInfo info;
    EXPECT_FALSE(obj.ReadFromXMLStream(&ms, false, "", &info)) << text;
    EXPECT_EQ(info.ErrorText, why) << text;
    EXPECT_EQ(ms.Position(), 0);
  };
  TIntMatrix im;
  im.SetVal(1, 1, 5);
  refuse(im, "<TIntMatrix version='1' columns='1' rows='1'><values>2147483648</values></TIntMatrix>",
         "not a 32-bit integer: \"2147483648\"");
  refuse(im, "<TIntMatrix version='1' columns='1' rows='1'><values>1.5</values></TIntMatrix>",
         "not a 32-bit integer: \"1.5\"");
  refuse(im,
         "<TIntMatrix version='1' columns='3' rows='3' form='sparse' count='2'>"
         "<entries>1 1 5 1 1 6</entries></TIntMatrix>",
         "a position occurs twice in <entries>");
  refuse(im,
         "<TIntMatrix version='1' columns='3' rows='3' form='sparse' count='1'>"
         "<entries>4 1 5</entries></TIntMatrix>",
         "entry 1 lies outside the matrix");
  EXPECT_EQ(im.GetVal(1, 1), 5);
  EXPECT_FALSE(im.IsSparse());

  TMat3D m3;
  refuse(m3, "<TMat3D version='1' columns='1' rows='0' layers='1'><values/></TMat3D>",
         "the attribute rows is not an integer in 1..2147483647: \"0\"");
  refuse(m3,
         "<TMat3D version='1' columns='2000000000' rows='2000000000' layers='2000000000'>"
         "<values>1</values></TMat3D>",
         "<TMat3D> claims more than 2^40 values");
  TMat4D m4;
  refuse(m4,
         "<TMat4D version='1' columns='1' rows='1' layers='1' timeslots='2'><values>1</values>"
         "</TMat4D>",
         "<values> holds 1 numbers where 2 are expected");
}
