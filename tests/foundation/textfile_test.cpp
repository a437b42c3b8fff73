#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/test_util.h"
#include "foundation/frame.h"

using namespace nuv;

namespace {

std::string TmpFile(const std::string& name) { return std::string(NUV_TEST_TMP_DIR) + "/" + name; }

std::string WriteRaw(const std::string& name, const std::string& content) {
  const std::string path = TmpFile(name);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(content.data(), 1, content.size(), f);
  std::fclose(f);
  return path;
}

std::string ReadRaw(const std::string& path) {
  TMemoryStream ms;
  ms.LoadFromFile(path);
  return std::string(reinterpret_cast<const char*>(ms.Memory()), static_cast<size_t>(ms.Size()));
}

}  // namespace

TEST(TextReader, LineEndsOfEveryKind) {
  const std::string path = WriteRaw("lines.txt", "a\r\nb\nc\rd\r\r\n\ne");
  TTextReader r(path);
  ASSERT_TRUE(r.IsOpen());
  std::string line;
  std::vector<std::string> lines;
  while (r.ReadLine(line)) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c", "d", "", "", "e"}));
  EXPECT_TRUE(r.Eof());
  EXPECT_FALSE(r.ReadLine(line));
  EXPECT_TRUE(r.Rewind());
  EXPECT_TRUE(r.SkipLine());
  char c = 0;
  EXPECT_TRUE(r.ReadChar(c));
  EXPECT_EQ(c, 'b');

  TTextReader empty(WriteRaw("empty.txt", ""));
  EXPECT_TRUE(empty.IsOpen());
  EXPECT_TRUE(empty.Eof());
  EXPECT_FALSE(empty.ReadLine(line));
  TTextReader none(TmpFile("does_not_exist.txt"));
  EXPECT_FALSE(none.IsOpen());
  EXPECT_TRUE(none.Eof());
  EXPECT_FALSE(none.ReadLine(line));
  EXPECT_FALSE(TTextReader().Open(NUV_TEST_TMP_DIR));  // a directory
}

TEST(TextReader, NumbersSkipWhitespaceAndLineEnds) {
  const std::string path = WriteRaw("numbers.txt", "1 5\r\n  1.500\r\n-2.000\r\n\t\r\nabc 3e2 NaN\n7");
  TTextReader r(path);
  int32_t lo = 0, hi = 0;
  EXPECT_TRUE(r.ReadInt32(lo));
  EXPECT_TRUE(r.ReadInt32(hi));
  EXPECT_EQ(lo, 1);
  EXPECT_EQ(hi, 5);
  double x = 0;
  EXPECT_TRUE(r.ReadDouble(x));
  EXPECT_EQ(x, 1.5);
  EXPECT_TRUE(r.ReadDouble(x));
  EXPECT_EQ(x, -2.0);
  x = 9;
  EXPECT_FALSE(r.ReadDouble(x));  // "abc" is consumed, x kept
  EXPECT_EQ(x, 9);
  EXPECT_TRUE(r.ReadDouble(x));
  EXPECT_EQ(x, 300.0);
  EXPECT_TRUE(r.ReadDouble(x));
  EXPECT_TRUE(std::isnan(x));
  std::string rest;
  EXPECT_TRUE(r.ReadLine(rest));  // the end of the current line
  EXPECT_EQ(rest, "");
  EXPECT_FALSE(r.SeekEof());
  EXPECT_TRUE(r.ReadInt32(lo));  // last number without line end
  EXPECT_EQ(lo, 7);
  EXPECT_FALSE(r.ReadDouble(x));
  EXPECT_TRUE(r.SeekEof());
}

// Words and lines that cross the reader's 1 MiB buffer, and a word longer than it.
TEST(TextReader, WordsAcrossBufferBoundaries) {
  std::string content;
  int count = 0;
  while (content.size() < (3u << 20)) {
    content += std::to_string(count) + ".25";
    content += (count % 3 == 0) ? "\r\n" : " ";
    ++count;
  }
  content += std::string(1500000, '9') + "\n";  // one number of 1.5 million digits
  TTextReader r(WriteRaw("big.txt", content));
  double x = 0;
  for (int i = 0; i < count; ++i) {
    ASSERT_TRUE(r.ReadDouble(x)) << i;
    ASSERT_EQ(x, i + 0.25) << i;
  }
  EXPECT_TRUE(r.ReadDouble(x));
  EXPECT_EQ(x, std::numeric_limits<double>::infinity());
  EXPECT_TRUE(r.SeekEof());
}

TEST(TextWriter, CrlfLinesAndCreateFailure) {
  const std::string path = TmpFile("writer.txt");
  {
    TTextWriter w(path);
    w.WriteLine("1 2");
    w.Write("1.5");
    w.Write('!');
    w.WriteLine();
    w.WriteLine(std::string(100000, 'x'));  // larger than the buffer
    w.Close();
    w.WriteLine("ignored after Close");
  }
  EXPECT_EQ(ReadRaw(path), "1 2\r\n1.5!\r\n" + std::string(100000, 'x') + "\r\n");
  const std::string bad = TmpFile("no_such_dir/w.txt");
  EXPECT_THROW_MSG(TTextWriter w(bad), EInOutError,
                   "Cannot create file \"" + bad + "\": No such file or directory");
#if defined(__linux__)
  // /dev/full accepts the open and fails every write with ENOSPC.
  TTextWriter full("/dev/full");
  full.WriteLine("x");
  EXPECT_THROW_MSG(full.Close(), EInOutError,
                   "Write error on file \"/dev/full\": No space left on device");
#endif
}

namespace {

// A header as the curve fitter's ASC export writes it.
const char kGoodAsc[] =
    "Exported by NUV TCurveFit component: c:\\data\\fit.asc\r\n"
    "2\t;nr. of columns\r\n"
    "5\t;nr. of rows\r\n"
    "FALSE TRUE FALSE\t;row attributes, column names, row names\r\n"
    "x   y\r\n"
    "1.00\t2.00\r\n2.00\t4.00\r\n3.00\t6.00\r\n4.00\t8.00\r\n5.00\t10.00\r\n";

struct AscResult {
  int32_t code;
  std::string comment;
  int32_t cols = -9, rows = -9;
  bool ra = true, cn = false, rn = true, f4 = true;
};

AscResult ReadAsc(const std::string& name, const std::string& content) {
  AscResult r;
  const std::string path = WriteRaw(name, content);
  r.code = ReadHeaderOfASC(path, r.comment, r.cols, r.rows, r.ra, r.cn, r.rn, r.f4);
  return r;
}

}  // namespace

TEST(AscHeader, GoodHeaderAsExported) {
  const AscResult r = ReadAsc("good.asc", kGoodAsc);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.comment, "Exported by NUV TCurveFit component: c:\\data\\fit.asc");
  EXPECT_EQ(r.cols, 2);
  EXPECT_EQ(r.rows, 5);
  EXPECT_FALSE(r.ra);
  EXPECT_TRUE(r.cn);
  EXPECT_FALSE(r.rn);
  EXPECT_FALSE(r.f4);  // no fourth word

  // The names line and data after the header read back through the helpers.
  TTextReader in(TmpFile("good.asc"));
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(in.SkipLine());
  std::string name;
  std::vector<std::string> names;
  TQuotedStrState st = qssIdle;
  char c;
  while (names.size() < 2 && in.ReadChar(c))
    if (ParseQuotedName(c, '"', name, st)) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"x", "y"}));
  double x = 0, y = 0;
  EXPECT_TRUE(in.ReadDouble(x) && in.ReadDouble(y));
  EXPECT_EQ(x, 1.0);
  EXPECT_EQ(y, 2.0);

  const AscResult f = ReadAsc("four.asc", "c\n3\n0\ntrue false True TRUE ;x\n");
  EXPECT_EQ(f.code, 0);
  EXPECT_EQ(f.rows, 0);
  EXPECT_TRUE(f.ra && !f.cn && f.rn && f.f4);
}

TEST(AscHeader, MissingAndMalformedHeaders) {
  std::string comment;
  int32_t nc = 1, nr = 1;
  bool a, b, c, d;
  EXPECT_EQ(ReadHeaderOfASC(TmpFile("missing.asc"), comment, nc, nr, a, b, c, d), -1);
  EXPECT_EQ(ReadAsc("e0.asc", "").code, -2);
  EXPECT_EQ(ReadAsc("e1.asc", "only a comment\r\n").code, -2);
  EXPECT_EQ(ReadAsc("e2.asc", "c\r\ntwo\t;nr. of columns\r\n").code, -2);
  EXPECT_EQ(ReadAsc("e3.asc", "c\r\n0\r\n5\r\nFALSE TRUE FALSE\r\n").code, -2);
  const AscResult rows = ReadAsc("e4.asc", "c\r\n2\r\n-1\r\nFALSE TRUE FALSE\r\n");
  EXPECT_EQ(rows.code, -3);
  EXPECT_EQ(rows.cols, 2);  // read as far as the header went
  EXPECT_EQ(rows.comment, "c");
  EXPECT_EQ(ReadAsc("e5.asc", "c\r\n2\r\n").code, -3);
  EXPECT_EQ(ReadAsc("e6.asc", "c\r\n2\r\n5\r\n").code, -4);
  EXPECT_EQ(ReadAsc("e7.asc", "c\r\n2\r\n5\r\nFALSE TRUE\r\n").code, -4);
  EXPECT_EQ(ReadAsc("e8.asc", "c\r\n2\r\n5\r\nFALSE TRUE FALSE FALSE TRUE\r\n").code, -4);
  const AscResult flags = ReadAsc("e9.asc", "c\r\n2\r\n5\r\nFALSE YES FALSE\r\n");
  EXPECT_EQ(flags.code, -4);
  EXPECT_FALSE(flags.ra || flags.cn || flags.rn || flags.f4);  // outputs reset
}
