#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
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
  std::ofstream f(path, std::ios::binary);
  f << bytes;
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
  m.SetVal(nc, nr, 1.0 / 3.0);
}

/// The record bytes of a matrix saved to a fresh memory stream.
std::string RecordOf(const TMatrix& m) {
  TMemoryStream* s = nullptr;
  m.SaveToStream(s);
  std::string bytes(reinterpret_cast<const char*>(s->Memory()), static_cast<size_t>(s->Size()));
  delete s;
  return bytes;
}

bool LoadBytes(TMatrix& m, const std::string& bytes, bool adjust, int64_t* posAfter = nullptr) {
  TMemoryStream s;
  s.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  s.SetPosition(0);
  const bool ok = m.LoadFromStream(&s, adjust);
  if (posAfter != nullptr) *posAfter = s.Position();
  return ok;
}

}  // namespace

TEST(MatrixBinary, RecordLayout) {
  // A 2 x 1 matrix [1.0, -2.5] with DataID "ab", written out by hand in
  // Python: b'NUVMAT' + pack('<H', 1) + pack('<iiiiI', 2, 1, 15, -1, 2) + b'ab'
  // + pack('<dd', 1.0, -2.5); zlib.crc32 of those bytes is 0x97E17B48.
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
  TMatrix m;
  FillAwkward(m, 7, 5);
  m.SetVal(3, 3, std::nan(""));
  m.SetVal(4, 4, -INFINITY);
  m.SetDataID("Messreihe \xC3\xA4 7");
  m.SetFPrecis(1, 8);
  m.SetFPrecis(2, 3);

  // Two records one after the other; the absent stream is created.
  TMatrix second;
  second.Resize(0, 4);
  TMemoryStream* s = nullptr;
  m.SaveToStream(s);
  ASSERT_NE(s, nullptr);
  const int64_t firstEnd = s->Position();
  second.SaveToStream(s);
  s->SetPosition(0);
  TMatrix a, b;
  int events = 0;
  a.SetOnChange([&events](TObject*) { ++events; });
  EXPECT_TRUE(a.LoadFromStream(s, true));
  EXPECT_EQ(events, 1);
  EXPECT_EQ(s->Position(), firstEnd);
  EXPECT_TRUE(b.LoadFromStream(s, true));
  EXPECT_EQ(s->Position(), s->Size());
  delete s;
  EXPECT_EQ(a.NrOfColumns(), 7);
  EXPECT_EQ(a.NrOfRows(), 5);
  EXPECT_EQ(a.CRCofData(), m.CRCofData());  // bit for bit, NaN and -0 included
  EXPECT_EQ(a.DataID(), m.DataID());
  EXPECT_EQ(a.GetFPrecis(1), 8);
  EXPECT_EQ(a.GetFPrecis(2), 3);
  EXPECT_EQ(b.NrOfColumns(), 0);
  EXPECT_EQ(b.NrOfRows(), 4);
  b.Resize(2, 4);  // the one-cell storage is there to grow from
  EXPECT_EQ(b.GetVal(2, 4), 0.0);

  const std::string path = TmpFile("round.bin");
  ASSERT_TRUE(m.SaveBinary(path));
  int32_t nc = -9, nr = -9;
  std::string id;
  EXPECT_EQ(TMatrix::ReadBinaryHeader(path, nc, nr, id), 0);
  EXPECT_EQ(nc, 7);
  EXPECT_EQ(nr, 5);
  EXPECT_EQ(id, m.DataID());
  TMatrix c;
  EXPECT_TRUE(c.LoadBinary(path, true));
  EXPECT_EQ(c.CRCofData(), m.CRCofData());
  TFileStream fs(path, fmOpenRead);
  TMatrix d;
  EXPECT_TRUE(d.LoadFromStream(&fs, true));
  EXPECT_EQ(d.CRCofData(), m.CRCofData());

  // Without AdjustSize the record fills the leading block of a larger matrix.
  TMatrix big;
  big.Resize(8, 6);
  big.Fill(4.0);
  EXPECT_TRUE(big.LoadBinary(path, false));
  EXPECT_EQ(big.NrOfColumns(), 8);
  EXPECT_EQ(big.GetVal(2, 2), 0.1);
  EXPECT_EQ(big.GetVal(8, 6), 4.0);
  EXPECT_EQ(big.GetVal(7, 6), 4.0);
  TMatrix small;
  small.Resize(7, 4);
  const std::string before = small.CRCofData();
  EXPECT_FALSE(small.LoadBinary(path, false));
  EXPECT_EQ(small.CRCofData(), before);
  EXPECT_FALSE(small.SaveBinary(TmpFile("no_such_dir/x.bin")));
}

TEST(MatrixBinary, BadRecordsLeaveMatrixAndStreamAlone) {
  TMatrix m;
  FillAwkward(m, 3, 4);
  m.SetDataID("id");
  const std::string good = RecordOf(m);

  TMatrix t;
  t.Resize(2, 2);
  t.Fill(9.0);
  t.SetDataID("keep");
  int events = 0;
  t.SetOnChange([&events](TObject*) { ++events; });
  const std::string crc = t.CRCofData();
  auto unchanged = [&] {
    return t.CRCofData() == crc && t.NrOfColumns() == 2 && t.NrOfRows() == 2 &&
           t.DataID() == "keep" && events == 0;
  };

  // Every truncation, and every single flipped bit, is refused.
  for (size_t len = 0; len < good.size(); ++len) {
    int64_t pos = -1;
    EXPECT_FALSE(LoadBytes(t, good.substr(0, len), true, &pos)) << "length " << len;
    EXPECT_EQ(pos, 0);
  }
  for (size_t i = 0; i < good.size(); ++i) {
    std::string bad = good;
    bad[i] = static_cast<char>(bad[i] ^ (1 << (i % 8)));
    EXPECT_FALSE(LoadBytes(t, bad, true)) << "byte " << i;
  }
  EXPECT_TRUE(unchanged());

  // Claimed sizes far beyond the bytes present: refused before any allocation.
  auto patched = [&](size_t at, uint32_t v) {
    std::string bad = good;
    for (int k = 0; k < 4; ++k) bad[at + k] = static_cast<char>(v >> (8 * k));
    return bad;
  };
  EXPECT_FALSE(LoadBytes(t, patched(8, 0x7FFFFFFF) + std::string(64, '\0'), true));
  EXPECT_FALSE(LoadBytes(t, patched(12, 0x7FFFFFFF), true));
  EXPECT_FALSE(LoadBytes(t, patched(24, 0xFFFFFFFF), true));  // DataID length
  EXPECT_FALSE(LoadBytes(t, patched(8, 0xFFFFFFFF), true));   // negative columns
  EXPECT_FALSE(LoadBytes(t, patched(16, 26), true));          // precision out of range
  EXPECT_TRUE(unchanged());
  t.SetOnChange(nullptr);
  TMatrix n;
  EXPECT_FALSE(n.LoadFromStream(static_cast<TMemoryStream*>(nullptr), true));

  // ReadBinaryHeader names what is wrong.
  int32_t nc = 1, nr = 1;
  std::string id = "x";
  EXPECT_EQ(TMatrix::ReadBinaryHeader(TmpFile("missing.bin"), nc, nr, id), -1);
  EXPECT_EQ(nc, 0);
  EXPECT_TRUE(id.empty());
  const std::string path = TmpFile("bad.bin");
  WriteAll(path, "NUVMA");
  EXPECT_EQ(TMatrix::ReadBinaryHeader(path, nc, nr, id), -2);
  WriteAll(path, "plain text, not a matrix record");
  EXPECT_EQ(TMatrix::ReadBinaryHeader(path, nc, nr, id), -2);
  std::string v2 = good;
  v2[6] = 2;
  WriteAll(path, v2);
  EXPECT_EQ(TMatrix::ReadBinaryHeader(path, nc, nr, id), -3);
  WriteAll(path, patched(12, 0x80000000));
  EXPECT_EQ(TMatrix::ReadBinaryHeader(path, nc, nr, id), -4);
  WriteAll(path, good.substr(0, good.size() - 1));
  EXPECT_EQ(TMatrix::ReadBinaryHeader(path, nc, nr, id), -5);
  EXPECT_FALSE(t.LoadBinary(path, true));
  std::string flipped = good;
  flipped[40] = static_cast<char>(flipped[40] ^ 0x10);
  WriteAll(path, flipped);
  EXPECT_EQ(TMatrix::ReadBinaryHeader(path, nc, nr, id), 0);  // the header alone is sound
  EXPECT_FALSE(t.LoadBinary(path, true));
  EXPECT_FALSE(t.LoadBinary(TmpFile("missing.bin"), true));
  EXPECT_EQ(t.CRCofData(), crc);
}

TEST(MatrixText, StoreWritesCrlfHeaderAndExactNumbers) {
  TMatrix m;
  m.Resize(3, 2);
  m.SetVal(1, 1, 1.5);
  m.SetVal(2, 1, -0.1);
  m.SetVal(3, 1, 1e300);
  m.SetVal(1, 2, std::nan(""));
  m.SetVal(2, 2, INFINITY);
  m.SetVal(3, 2, -INFINITY);
  const std::string path = TmpFile("store.csv");
  ASSERT_TRUE(m.StoreOnFile(path, ',', {"a", "say \"hi\", ok"}));
  // The missing third name is empty; shortest exact number text by default.
  EXPECT_EQ(ReadAll(path),
            "\"a\",\"say \"\"hi\"\", ok\",\"\"\r\n1.5,-0.1,1e+300\r\nNaN,Inf,-Inf\r\n");

  m.SetFPrecis(1, 3);
  ASSERT_TRUE(m.StoreOnFile(path, ';'));
  EXPECT_EQ(ReadAll(path), "1.5;-0.1;1e+300\r\nNaN;Inf;-Inf\r\n");
  m.SetVal(1, 1, 2.0 / 3.0);
  ASSERT_TRUE(m.StoreOnFile(path, '\t'));
  EXPECT_EQ(ReadAll(path).substr(0, 6), "0.667\t");
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
  m.SetVal(5, 5, std::nan(""));
  const std::vector<std::string> names = {"x 1", "y", "", "\"q\"", "5", "z;w"};
  for (char d : {',', ';', '\t', ' '}) {
    const std::string path = TmpFile("trip.txt");
    ASSERT_TRUE(m.StoreOnFile(path, d, names));
    TMatrix r;
    TMatrixTextInfo info;
    ASSERT_TRUE(r.LoadFromFile(path, true, info)) << info.ErrorText;
    EXPECT_EQ(info.Delimiter, d);
    EXPECT_EQ(info.ColNames, names);
    EXPECT_EQ(r.NrOfColumns(), 6);
    EXPECT_EQ(r.NrOfRows(), 9);
    EXPECT_EQ(r.GetVal(1, 1), 0.0);
    EXPECT_TRUE(std::signbit(r.GetVal(1, 1)));
    EXPECT_TRUE(std::isnan(r.GetVal(5, 5)));
    r.SetVal(5, 5, 0.0);
    TMatrix want;
    want.Assign(&m);
    want.SetVal(5, 5, 0.0);
    EXPECT_EQ(r.CRCofData(), want.CRCofData()) << "delimiter " << static_cast<int>(d);
  }
  // Header only: the columns and no rows.
  TMatrix e;
  e.Resize(2, 0);
  const std::string path = TmpFile("head.csv");
  ASSERT_TRUE(e.StoreOnFile(path, ',', {"a", "b"}));
  TMatrix r;
  EXPECT_TRUE(r.LoadFromFile(path, true));
  EXPECT_EQ(r.NrOfColumns(), 2);
  EXPECT_EQ(r.NrOfRows(), 0);
}

TEST(MatrixText, ReadsWhatOthersWrite) {
  TMatrix m;
  TMatrixTextInfo info;
  // BOM, comments, blank lines, CR-only, LF and CRLF endings mixed, quoted
  // numbers, blanks around cells, NaN and Inf spelled in any case.
  const std::string text =
      "\xEF\xBB\xBF# exported\r\n\r\nname;\"Wert; kg\" ; z\r+1 ; \"2.5\";-inf\n"
      "   \n# more\n3e2;  -4 ;nan\r\n";
  ASSERT_TRUE(m.LoadFromText(text, true, info)) << info.ErrorText;
  EXPECT_EQ(info.Delimiter, ';');
  EXPECT_EQ(info.ColNames, (std::vector<std::string>{"name", "Wert; kg", "z"}));
  EXPECT_EQ(m.NrOfColumns(), 3);
  EXPECT_EQ(m.NrOfRows(), 2);
  EXPECT_EQ(m.GetVal(1, 1), 1.0);
  EXPECT_EQ(m.GetVal(2, 1), 2.5);
  EXPECT_EQ(m.GetVal(3, 1), -INFINITY);
  EXPECT_EQ(m.GetVal(1, 2), 300.0);
  EXPECT_EQ(m.GetVal(2, 2), -4.0);
  EXPECT_TRUE(std::isnan(m.GetVal(3, 2)));

  // No header: every cell of the first line is a number; runs of blanks and tabs.
  ASSERT_TRUE(m.LoadFromText("  1  2   3\n4\t5 6  ", true, info));
  EXPECT_EQ(info.Delimiter, ' ');
  EXPECT_TRUE(info.ColNames.empty());
  EXPECT_EQ(m.GetVal(3, 2), 6.0);
  ASSERT_TRUE(m.LoadFromText("a\tb\n1\t2\n", true, info));
  EXPECT_EQ(info.Delimiter, '\t');
  EXPECT_EQ(m.GetVal(2, 1), 2.0);
  // Beyond the range of double: an infinity, below it zero.
  ASSERT_TRUE(m.LoadFromText("1e400,-1e400,1e-400\n", true, info));
  EXPECT_EQ(m.GetVal(1, 1), INFINITY);
  EXPECT_EQ(m.GetVal(2, 1), -INFINITY);
  EXPECT_EQ(m.GetVal(3, 1), 0.0);
  ASSERT_TRUE(m.LoadFromText("7\n8\n", true, info));
  EXPECT_EQ(m.NrOfColumns(), 1);
  EXPECT_EQ(m.GetVal(1, 2), 8.0);

  // Without AdjustSize the data fills the leading block.
  TMatrix big;
  big.Resize(3, 3);
  big.Fill(-1.0);
  ASSERT_TRUE(big.LoadFromText("1,2\n3,4\n", false, info));
  EXPECT_EQ(big.GetVal(2, 2), 4.0);
  EXPECT_EQ(big.GetVal(3, 3), -1.0);
  EXPECT_EQ(big.GetVal(3, 1), -1.0);
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
      {"h1,h2\n1,\n", 2, 2, "empty cell"},
      {"1\t2\n3\t4\t\n", 2, 3, "3 cells where 2 are expected"},
      {"1;2\n3;4 5\n", 2, 2, "not a number: \"4 5\""},
      {"1 2\n3 4,5\n", 2, 2, "not a number: \"4,5\""},
      {"\"open,2\n", 1, 1, "unbalanced quote"},
      {"\"a\"x,b\n", 1, 1, "unbalanced quote"},
      {"1 2\n3 \"4\n", 2, 2, "unbalanced quote"},
      {"", 0, 0, "no data"},
      {"# only a comment\r\n   \r\n", 0, 0, "no data"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(m.LoadFromText(c.Text, true, info)) << c.Text;
    EXPECT_EQ(info.ErrorLine, c.Line) << c.Text;
    EXPECT_EQ(info.ErrorColumn, c.Column) << c.Text;
    EXPECT_EQ(info.ErrorText, c.Error) << c.Text;
  }
  EXPECT_FALSE(m.LoadFromText("1,2,3\n", false, info));
  EXPECT_EQ(info.ErrorText, "the matrix is smaller than the data (3 columns, 1 rows)");
  EXPECT_FALSE(m.LoadFromFile(TmpFile("missing.csv"), true, info));
  EXPECT_EQ(info.ErrorText, "cannot open the file");
  EXPECT_FALSE(m.LoadFromFile(TmpFile("missing.csv"), true));

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
  EXPECT_EQ(m.NrOfColumns(), 2);
}
