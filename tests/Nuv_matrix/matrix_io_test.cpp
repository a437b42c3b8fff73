#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>

#include "Nuv_matrix/Nuv_matrix.h"
#include "common/test_util.h"

using namespace nuv;

namespace {

std::string TmpFile(const std::string& name) {
  return std::string(NUV_TEST_TMP_DIR) + "/mat_" + name;
}

std::string ReadAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

/// Values that are hard to carry through text or bytes.
void FillAwkward(TMatrix& m, int32_t nc, int32_t nr) {
  m.Resize(nc, nr);
  SetRandSeed(5);
  m.FillRandomGauss(0.0, 1e5);
  m.SetVal(1, 1, -0.0);
  m.SetVal(1, 2, std::numeric_limits<double>::denorm_min());
  m.SetVal(2, 1, std::numeric_limits<double>::max());
  m.SetVal(2, 2, 0.1);
}

std::string RecordOf(const TMatrix& m) {
  TMemoryStream* s = nullptr;
  m.SaveToStream(s);
  std::string bytes(reinterpret_cast<const char*>(s->Memory()), static_cast<size_t>(s->Size()));
  delete s;
  return bytes;
}

/// Loads from a memory stream of Bytes; PosAfter gets the stream position.
bool LoadBytes(TMatrix& m, const std::string& bytes, int64_t* posAfter = nullptr) {
  TMemoryStream s;
  s.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  s.SetPosition(0);
  const bool ok = m.LoadFromStream(&s, true);
  if (posAfter != nullptr) *posAfter = s.Position();
  return ok;
}

}  // namespace

TEST(MatrixBinary, RecordLayout) {
  // Written out by hand in Python: b'NUVMAT' + pack('<H', 1) +
  // pack('<iiiiI', 2, 1, 15, -1, 2) + b'ab' + pack('<dd', 1.0, -2.5), then
  // zlib.crc32 of those bytes, 0x97E17B48, little-endian.
  TMatrix m;
  m.Resize(2, 1);
  m.SetVal(1, 1, 1.0);
  m.SetVal(2, 1, -2.5);
  m.SetDataID("ab");
  const std::string hex =
      "4e55564d4154010002000000010000000f000000ffffffff020000006162000000000000f03f"
      "00000000000004c0487be197";
  std::string want;
  for (size_t i = 0; i < hex.size(); i += 2)
    want += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  EXPECT_EQ(RecordOf(m), want);
}

TEST(MatrixBinary, RoundTripsThroughStreamsAndFiles) {
  TMatrix m, empty, a, b;
  FillAwkward(m, 7, 5);
  m.SetVal(3, 3, std::nan(""));
  m.SetDataID("Messreihe \xC3\xA4 7");
  m.SetFPrecis(2, 3);
  empty.Resize(0, 4);
  // Two records in one stream, which the first save creates.
  TMemoryStream* s = nullptr;
  m.SaveToStream(s);
  const int64_t firstEnd = s->Position();
  empty.SaveToStream(s);
  s->SetPosition(0);
  int events = 0;
  a.SetOnChange([&events](TObject*) { ++events; });
  EXPECT_TRUE(a.LoadFromStream(s, true));
  EXPECT_EQ(s->Position(), firstEnd);
  EXPECT_TRUE(b.LoadFromStream(s, true));
  EXPECT_EQ(s->Position(), s->Size());
  delete s;
  EXPECT_EQ(events, 1);
  EXPECT_EQ(a.CRCofData(), m.CRCofData());  // bit for bit, NaN and -0 included
  EXPECT_EQ(a.NrOfColumns() * 10 + a.NrOfRows(), 75);
  EXPECT_EQ(a.DataID(), m.DataID());
  EXPECT_EQ(a.GetFPrecis(2), 3);
  EXPECT_EQ(b.NrOfColumns() * 10 + b.NrOfRows(), 4);

  const std::string path = TmpFile("round.bin");
  ASSERT_TRUE(m.SaveBinary(path));
  int32_t nc = -9, nr = -9;
  std::string id;
  EXPECT_EQ(TMatrix::ReadBinaryHeader(path, nc, nr, id), 0);
  EXPECT_EQ(nc * 10 + nr, 75);
  EXPECT_EQ(id, m.DataID());
  TMatrix c;
  EXPECT_TRUE(c.LoadBinary(path, true));
  EXPECT_EQ(c.CRCofData(), m.CRCofData());

  // Without AdjustSize the record fills the leading block of a larger matrix,
  // and a smaller one refuses it.
  c.Resize(8, 6);
  c.Fill(4.0);
  EXPECT_TRUE(c.LoadBinary(path, false));
  EXPECT_EQ(c.GetVal(2, 2), 0.1);
  EXPECT_EQ(c.GetVal(8, 6) + c.GetVal(7, 6), 8.0);
  c.Resize(7, 4);
  const std::string before = c.CRCofData();
  EXPECT_FALSE(c.LoadBinary(path, false));
  EXPECT_EQ(c.CRCofData(), before);
  EXPECT_FALSE(c.SaveBinary(TmpFile("no_such_dir/x.bin")));
}

TEST(MatrixBinary, BadRecordsLeaveMatrixAndStreamAlone) {
  TMatrix m, t;
  FillAwkward(m, 3, 4);
  const std::string good = RecordOf(m);
  t.SetDataID("keep");
  t.Resize(2, 2);
  t.Fill(9.0);
  int events = 0;
  t.SetOnChange([&events](TObject*) { ++events; });
  const std::string crc = t.CRCofData();

  // Every truncation, and every single flipped bit, is refused.
  for (size_t len = 0; len < good.size(); ++len) {
    int64_t pos = -1;
    EXPECT_FALSE(LoadBytes(t, good.substr(0, len), &pos)) << "length " << len;
    EXPECT_EQ(pos, 0);
  }
  for (size_t i = 0; i < good.size(); ++i) {
    std::string bad = good;
    bad[i] = static_cast<char>(bad[i] ^ (1 << (i % 8)));
    EXPECT_FALSE(LoadBytes(t, bad)) << "byte " << i;
  }
  // Claimed sizes far beyond the bytes present: refused before any allocation.
  auto patched = [&](size_t at, uint32_t v) {
    std::string bad = good;
    for (int k = 0; k < 4; ++k) bad[at + k] = static_cast<char>(v >> (8 * k));
    return bad;
  };
  EXPECT_FALSE(LoadBytes(t, patched(8, 0x7FFFFFFF) + std::string(64, '\0')));
  EXPECT_FALSE(LoadBytes(t, patched(12, 0x7FFFFFFF)));
  EXPECT_FALSE(LoadBytes(t, patched(24, 0xFFFFFFFF)));  // DataID length
  EXPECT_FALSE(t.LoadFromStream(static_cast<TMemoryStream*>(nullptr), true));
  EXPECT_EQ(t.CRCofData(), crc);
  EXPECT_EQ(t.DataID(), "keep");
  EXPECT_EQ(events, 0);

  // ReadBinaryHeader names what is wrong.
  int32_t nc = 1, nr = 1;
  std::string id = "x";
  EXPECT_EQ(TMatrix::ReadBinaryHeader(TmpFile("missing.bin"), nc, nr, id), -1);
  EXPECT_EQ(nc + nr, 0);
  EXPECT_TRUE(id.empty());
  const std::string path = TmpFile("bad.bin");
  std::string v2 = good, flipped = good;
  v2[6] = 2;
  flipped[40] = static_cast<char>(flipped[40] ^ 0x10);
  const std::pair<std::string, int32_t> files[] = {
      {"NUVMA", -2},
      {"plain text, not a matrix record", -2},
      {v2, -3},
      {patched(12, 0x80000000), -4},  // negative rows
      {patched(16, 26), -4},          // precision out of range
      {good.substr(0, good.size() - 1), -5},
      {flipped, 0},  // the header alone is sound; the checksum is not
  };
  for (const auto& f : files) {
    WriteAll(path, f.first);
    EXPECT_EQ(TMatrix::ReadBinaryHeader(path, nc, nr, id), f.second) << f.first;
    EXPECT_FALSE(t.LoadBinary(path, true));
  }
  EXPECT_EQ(t.CRCofData(), crc);
}

TEST(MatrixText, StoreWritesCrlfQuotedHeaderAndExactNumbers) {
  TMatrix m;
  m.Resize(3, 2);
  const double v[] = {1.5, std::nan(""), -0.1, INFINITY, 1e300, -INFINITY};
  for (int32_t i = 0; i < 6; ++i) m.SetVal(i / 2 + 1, i % 2 + 1, v[i]);
  const std::string path = TmpFile("store.csv");
  ASSERT_TRUE(m.StoreOnFile(path, ',', {"a", "say \"hi\", ok"}));
  // The missing third name is empty; shortest exact number text by default.
  EXPECT_EQ(ReadAll(path),
            "\"a\",\"say \"\"hi\"\", ok\",\"\"\r\n1.5,-0.1,1e+300\r\nNaN,Inf,-Inf\r\n");
  m.SetFPrecis(1, 3);
  m.SetVal(1, 1, 2.0 / 3.0);
  ASSERT_TRUE(m.StoreOnFile(path, '\t'));
  EXPECT_EQ(ReadAll(path).substr(0, 18), "0.667\t-0.1\t1e+300\r");
  m.SetFPrecis(2, 2);  // fixed point wins over significant digits
  m.SetVal(3, 1, 12.0);
  ASSERT_TRUE(m.StoreOnFile(path, ' '));
  EXPECT_EQ(ReadAll(path), "0.67 -0.10 12.00\r\nNaN Inf -Inf\r\n");
  ASSERT_TRUE(m.StoreOnFile(path, '|'));  // unsupported delimiters become ','
  EXPECT_EQ(ReadAll(path).substr(0, 5), "0.67,");
  EXPECT_FALSE(m.StoreOnFile(TmpFile("no_such_dir/x.csv")));
}

TEST(MatrixText, RoundTripsWithEveryDelimiter) {
  TMatrix m;
  FillAwkward(m, 6, 9);
  const std::vector<std::string> names = {"x 1", "y", "", "\"q\"", "5", "z;w"};
  const std::string path = TmpFile("trip.txt");
  for (char d : {',', ';', '\t', ' '}) {
    ASSERT_TRUE(m.StoreOnFile(path, d, names));
    TMatrix r;
    TMatrixTextInfo info;
    ASSERT_TRUE(r.LoadFromFile(path, true, info)) << info.ErrorText;
    EXPECT_EQ(info.Delimiter, d);
    EXPECT_EQ(info.ColNames, names);
    EXPECT_EQ(r.NrOfColumns() * 10 + r.NrOfRows(), 69);
    EXPECT_EQ(r.CRCofData(), m.CRCofData()) << "delimiter " << static_cast<int>(d);
  }
  TMatrix e, r;  // header only: the columns and no rows
  e.Resize(2, 0);
  ASSERT_TRUE(e.StoreOnFile(path, ',', {"a", "b"}));
  EXPECT_TRUE(r.LoadFromFile(path, true));
  EXPECT_EQ(r.NrOfColumns() * 10 + r.NrOfRows(), 20);
}

TEST(MatrixText, ReadsWhatOthersWrite) {
  TMatrix m;
  TMatrixTextInfo info;
  // BOM, comments, blank lines, CR, LF and CRLF mixed, quoted and signed
  // numbers, blanks around cells, NaN and Inf in any case.
  ASSERT_TRUE(
      m.LoadFromText("\xEF\xBB\xBF# exported\r\n\r\nname;\"Wert; kg\" ; z\r+1 ; \"2.5\";-inf\n"
                     "   \n# more\n3e2;  -4 ;nan\r\n",
                     true, info))
      << info.ErrorText;
  EXPECT_EQ(info.Delimiter, ';');
  EXPECT_EQ(info.ColNames, (std::vector<std::string>{"name", "Wert; kg", "z"}));
  EXPECT_EQ(m.NrOfColumns() * 10 + m.NrOfRows(), 32);
  EXPECT_EQ(m.GetVal(1, 1) + m.GetVal(2, 1) + m.GetVal(1, 2) + m.GetVal(2, 2), 299.5);
  EXPECT_EQ(m.GetVal(3, 1), -INFINITY);
  EXPECT_TRUE(std::isnan(m.GetVal(3, 2)));
  // No header; runs of blanks and tabs; out-of-range numbers saturate.
  ASSERT_TRUE(m.LoadFromText("  1  2   3\n4\t5 6  \n1e400 -1e400 1e-400", true, info));
  EXPECT_EQ(info.Delimiter, ' ');
  EXPECT_TRUE(info.ColNames.empty());
  EXPECT_EQ(m.GetVal(3, 2), 6.0);
  EXPECT_EQ(m.GetVal(1, 3), INFINITY);
  EXPECT_EQ(m.GetVal(2, 3), -INFINITY);
  EXPECT_EQ(m.GetVal(3, 3), 0.0);
  ASSERT_TRUE(m.LoadFromText("a\tb\n1\t2\n", true, info));
  EXPECT_EQ(info.Delimiter, '\t');
  // Without AdjustSize the data fill the leading block.
  m.Resize(3, 3);
  m.Fill(-1.0);
  ASSERT_TRUE(m.LoadFromText("1,2\n3,4\n", false, info));
  EXPECT_EQ(m.GetVal(2, 2), 4.0);
  EXPECT_EQ(m.GetVal(3, 3) + m.GetVal(3, 1), -2.0);
}

TEST(MatrixText, ErrorsSayWhereAndLeaveTheMatrix) {
  TMatrix m;
  m.Resize(2, 2);
  m.Fill(5.0);
  const std::string crc = m.CRCofData();
  int events = 0;
  m.SetOnChange([&events](TObject*) { ++events; });
  TMatrixTextInfo info;
  struct Case {
    const char* Text;
    int32_t Line, Column;
    const char* Error;
  };
  const Case cases[] = {
      {"a,b\n1,2\n3,x7\n", 3, 2, "not a number: \"x7\""},
      {"1,2\n3,4,5\n", 2, 3, "3 cells where 2 are expected"},
      {"1,2\n\n# c\n3\n", 4, 2, "1 cell where 2 are expected"},
      {"1,,2\n", 1, 2, "empty cell"},
      {"h1,h2\r\n1,2,\r\n", 2, 3, "3 cells where 2 are expected"},
      {"1\t2\n3\t4\t\n", 2, 3, "3 cells where 2 are expected"},
      {"1;2\n3;4 5\n", 2, 2, "not a number: \"4 5\""},
      {"1 2\n3 4,5\n", 2, 2, "not a number: \"4,5\""},
      {"\"open,2\n", 1, 1, "unbalanced quote"},
      {"\"a\"x,b\n", 1, 1, "unbalanced quote"},
      {"1 2\n3 \"4\n", 2, 2, "unbalanced quote"},
      {"# only a comment\r\n   \r\n", 0, 0, "no data"},
      {"1,2,3\n", 0, 0, "the matrix is smaller than the data (3 columns, 1 rows)"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(m.LoadFromText(c.Text, false, info)) << c.Text;
    EXPECT_EQ(info.ErrorLine, c.Line) << c.Text;
    EXPECT_EQ(info.ErrorColumn, c.Column) << c.Text;
    EXPECT_EQ(info.ErrorText, c.Error) << c.Text;
  }
  EXPECT_FALSE(m.LoadFromFile(TmpFile("missing.csv"), true, info));
  EXPECT_EQ(info.ErrorText, "cannot open the file");
  // A first line of 100000 cells over 100000 one-cell lines implies 10^10
  // cells; the short line is found without reserving room for them.
  std::string wide;
  for (int i = 0; i < 100000; ++i) wide += "1,";
  wide.back() = '\n';
  for (int i = 0; i < 100000; ++i) wide += "2\n";
  EXPECT_FALSE(m.LoadFromText(wide, true, info));
  EXPECT_EQ(info.ErrorLine, 2);
  EXPECT_EQ(info.ErrorText, "1 cell where 100000 are expected");
  EXPECT_EQ(events, 0);
  EXPECT_EQ(m.CRCofData(), crc);
}
