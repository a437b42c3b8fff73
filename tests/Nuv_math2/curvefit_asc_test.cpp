// TCurveFit: ASC export and import.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "common/test_util.h"

using namespace nuv;

namespace {

std::string TmpFile(const std::string& name) {
  return std::string(NUV_TEST_TMP_DIR) + "/curvefit_" + name;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteAll(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

void ExpectSamePairs(const TCurveFit& a, const TCurveFit& b) {
  ASSERT_EQ(a.NumData(), b.NumData());
  for (int i = 1; i <= a.NumData(); ++i) {
    EXPECT_EQ(a.GetDataX(i), b.GetDataX(i)) << i;
    EXPECT_EQ(a.GetDataY(i), b.GetDataY(i)) << i;
  }
}

const char* const kHeadRest =
    "2\t;nr. of columns\r\n";

}  // namespace

TEST(TCurveFitAsc, ExportWritesTheDocumentedLines) {
  TCurveFit f;
  f.EnterStatValue(1.5, -2.25);
  f.EnterStatValue(-0.0625, 1e3);
  const std::string path = TmpFile("export.asc");
  EXPECT_EQ(f.ExportAsASC(path, "", 3), "");
  EXPECT_EQ(ReadAll(path), "Exported by NUV TCurveFit component: " + path + "\r\n" + kHeadRest +
                               "2\t;nr. of rows\r\n"
                               "FALSE TRUE FALSE\t;row attributes, column names, row names\r\n"
                               "x   y\r\n"
                               "1.500\t-2.250\r\n"
                               "-0.062\t1000.000\r\n");
  // Line ends inside the comment become blanks, so the header keeps its four lines.
  EXPECT_EQ(f.ExportAsASC(path, "two\nlines\r\nhere\r", 0), "");
  const std::string text = ReadAll(path);
  EXPECT_EQ(text.substr(0, text.find("\r\n")), "two lines  here ");
  EXPECT_NE(text.find("\r\n2\t-2\r\n"), std::string::npos);
  // A file that cannot be created: the message comes back and nothing is written.
  const std::string bad = TmpFile("no/such/dir/x.asc");
  const std::string msg = f.ExportAsASC(bad, "c", 2);
  EXPECT_EQ(msg.rfind("Cannot create file \"" + bad + "\"", 0), 0u) << msg;
  EXPECT_EQ(std::fopen(bad.c_str(), "r"), nullptr);
}

TEST(TCurveFitAsc, RoundTripReplacesThePairs) {
  const double inf = std::numeric_limits<double>::infinity();
  TCurveFit f, g, want;
  const std::vector<double> x = {0.0, -3.5, 2.25, 1e-7, inf, 8.0};
  const std::vector<double> y = {1.0, 0.125, -7.0, 4.5, 2.0, 0.0};
  for (size_t i = 0; i < x.size(); ++i) {
    f.EnterStatValue(x[i], y[i]);
    want.EnterStatValue(x[i], y[i]);
  }
  for (int i = 0; i < 1500; ++i) g.EnterStatValue(i, -i);
  const std::string path = TmpFile("roundtrip.asc");
  ASSERT_EQ(f.ExportAsASC(path, "round trip", 7), "");
  ASSERT_EQ(g.ImportASC(path), 0);
  ExpectSamePairs(g, want);
  EXPECT_EQ(g.GetMeanY(), want.GetMeanY());
  EXPECT_EQ(g.RunningSums().sum1byx, want.RunningSums().sum1byx);
  EXPECT_EQ(g.RunningSums().sumlnyq, want.RunningSums().sumlnyq);
  EXPECT_EQ(g.ErrIndic().Bits, want.ErrIndic().Bits);
  EXPECT_EQ(g.MinX(), -3.5);
  EXPECT_EQ(g.MaxX(), inf);
  // The imported storage grows again as pairs come.
  for (int i = 0; i < 100; ++i) g.EnterStatValue(i, i);
  EXPECT_EQ(g.NumData(), 106);
  EXPECT_EQ(g.GetDataX(106), 99.0);
  // An empty fitter exports a header that imports as no pairs.
  TCurveFit e;
  ASSERT_EQ(e.ExportAsASC(path, "", 2), "");
  ASSERT_EQ(g.ImportASC(path), 0);
  EXPECT_EQ(g.NumData(), 0);
  g.EnterStatValue(1, 2);
  EXPECT_EQ(g.GetDataY(1), 2.0);
}

TEST(TCurveFitAsc, ReadsRowAttributesAndQuotedNames) {
  const std::string path = TmpFile("names.asc");
  WriteAll(path,
           "comment\n2 ;cols\n3 ;rows\nTRUE TRUE TRUE ;flags\n"
           "\"first x\" \"second \"\"y\"\"\"\n"
           "1 \"row one\" 1.5 2.5\n"
           "2 two -1 1e2\r"
           "3 \"3\" 4 5");
  TCurveFit f;
  ASSERT_EQ(f.ImportASC(path), 0);
  ASSERT_EQ(f.NumData(), 3);
  EXPECT_EQ(f.GetDataX(1), 1.5);
  EXPECT_EQ(f.GetDataY(2), 100.0);
  EXPECT_EQ(f.GetDataX(3), 4.0);
  EXPECT_EQ(f.GetDataY(3), 5.0);
}

TEST(TCurveFitAsc, MalformedFilesFailAndChangeNothing) {
  TCurveFit f, want;
  for (double v : {1.0, 2.0, 4.0}) {
    f.EnterStatValue(v, v * v);
    want.EnterStatValue(v, v * v);
  }
  const std::string path = TmpFile("bad.asc");
  const auto import = [&](const std::string& text) {
    WriteAll(path, text);
    return f.ImportASC(path);
  };
  const std::string flags = "FALSE FALSE FALSE\n";
  EXPECT_EQ(f.ImportASC(TmpFile("missing.asc")), ascCannotOpen);
  EXPECT_EQ(import("c\nzwei\n1\n" + flags), ascBadColumnCount);
  EXPECT_EQ(import("c\n2\n-1\n" + flags), ascBadRowCount);
  EXPECT_EQ(import("c\n2\n1\nFALSE maybe FALSE\n1 2\n"), ascBadFlags);
  EXPECT_EQ(import("c\n2\n1\nFALSE FALSE FALSE TRUE\n1 2\n"), -7);
  EXPECT_THROW_MSG(import("c\n3\n1\n" + flags + "1 2 3\n"), ENUVMath2Error,
                   "TCurveFit.ImportASC: number of columns must be 2 (is actually 3).");
  EXPECT_EQ(import("c\n2\n2\nTRUE FALSE FALSE\n1 1 2\nx 3 4\n"), -5);
  EXPECT_EQ(import("c\n2\n3\n" + flags + "1 2\n3 4\n"), -6);  // truncated
  EXPECT_EQ(import("c\n2\n2\n" + flags + "1 2\n3 4,5\n"), -6);
  // A row count far beyond the file's bytes costs nothing.
  EXPECT_EQ(import("c\n2\n2147483647\n" + flags + "1 2\n3 4\n"), -6);
  ExpectSamePairs(f, want);
  EXPECT_EQ(f.GetMeanX(), want.GetMeanX());
  EXPECT_EQ(f.RunningSums().sumx4, want.RunningSums().sumx4);
  EXPECT_EQ(f.MaxY(), 16.0);
  double k, d, q;
  f.CalcLinFit(k, d, q);
  EXPECT_NEAR(k, 36.0 / 7, 1e-13);
}
