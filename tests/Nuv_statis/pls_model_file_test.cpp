// The PLS model file: round trip of a SimPLS model, the comment line, and files
// that are malformed, truncated or claim more than they hold.
#include <cmath>
#include <fstream>
#include <string>

#include "Nuv_math2/pls.h"
#include "Nuv_statis/Nuv_statis.h"
#include "common/test_util.h"

using namespace nuv;

namespace {

std::string TmpFile(const std::string& name) { return std::string(NUV_TEST_TMP_DIR) + "/" + name; }

void WriteText(const std::string& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

std::string ReadText(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool SameMatrix(const TMatrix& a, const TMatrix& b) {
  if (a.NrOfColumns() != b.NrOfColumns() || a.NrOfRows() != b.NrOfRows()) return false;
  for (int32_t c = 1; c <= a.NrOfColumns(); ++c)
    for (int32_t r = 1; r <= a.NrOfRows(); ++r)
      if (a.GetVal(c, r) != b.GetVal(c, r)) return false;
  return true;
}

// A model of 4 predictors and 2 responses with 2 components, the predictors autoscaled.
struct TFittedModel {
  TMatrix W, P, Q, T, B;
  TVector xMean, xScale, yMean;
  TFittedModel() {
    TMatrix X, Y;
    X.Resize(4, 9);
    Y.Resize(2, 9);
    for (int32_t r = 1; r <= 9; ++r) {
      const double u = r * 0.7071, v = std::sin(r * 1.3);
      X.SetVal(1, r, u);
      X.SetVal(2, r, v * 3 + 0.1 * r);
      X.SetVal(3, r, u * v);
      X.SetVal(4, r, 1.0 / r);
      Y.SetVal(1, r, 2 * u - v + 0.01 * r * r);
      Y.SetVal(2, r, u * v / 3 + 1e-3 / 7);
    }
    xMean.Resize(4);
    xScale.Resize(4);
    yMean.Resize(2);
    for (int32_t c = 1; c <= 4; ++c) {
      double s = 0, s2 = 0;
      for (int32_t r = 1; r <= 9; ++r) s += X.GetVal(c, r);
      const double m = s / 9;
      for (int32_t r = 1; r <= 9; ++r) s2 += (X.GetVal(c, r) - m) * (X.GetVal(c, r) - m);
      xMean.SetVal(c, m);
      xScale.SetVal(c, std::sqrt(s2 / 8));
      for (int32_t r = 1; r <= 9; ++r) X.SetVal(c, r, (X.GetVal(c, r) - m) / std::sqrt(s2 / 8));
    }
    yMean.SetVal(1, 0.25);
    yMean.SetVal(2, -1.0 / 3);
    EXPECT_TRUE(SimPLS(&X, &Y, 2, &W, &P, &Q, &T, &B));
  }
};

}  // namespace

TEST(PLSModelFile, RoundTripOfASimPLSModel) {
  TFittedModel fit;
  const std::string file = TmpFile("pls_roundtrip.txt");
  ASSERT_EQ(StorePLSModel(file, "spectra batch 7\r\nsecond line", &fit.B, &fit.W, &fit.P, &fit.Q,
                          &fit.xMean, &fit.xScale, &fit.yMean, nullptr),
            "");
  const std::string text = ReadText(file);
  const std::string head = "NUV PLS model 1\r\nComment: spectra batch 7  second line\r\n";
  EXPECT_EQ(text.compare(0, head.size(), head), 0) << text;
  EXPECT_NE(text.find("\r\nPredictors: 4\r\nResponses: 2\r\nComponents: 2\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nYScale: 1 1\r\nCoefficients:\r\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 5), "End\r\n");
  std::string comment = "old";
  ASSERT_TRUE(LoadPLSModelComment(file, comment));
  EXPECT_EQ(comment, "spectra batch 7  second line");

  TMatrix B, W, P, Q;
  TVector xm, xs, ym, ys;
  ASSERT_TRUE(LoadPLSModel(file, comment, &B, &W, &P, &Q, &xm, &xs, &ym, &ys));
  // shortest round-trip text: every number comes back bit for bit
  EXPECT_TRUE(SameMatrix(B, fit.B));
  EXPECT_TRUE(SameMatrix(W, fit.W));
  EXPECT_TRUE(SameMatrix(P, fit.P));
  EXPECT_TRUE(SameMatrix(Q, fit.Q));
  for (int32_t i = 1; i <= 4; ++i) {
    EXPECT_EQ(xm.GetVal(i), fit.xMean.GetVal(i));
    EXPECT_EQ(xs.GetVal(i), fit.xScale.GetVal(i));
  }
  EXPECT_EQ(ym.GetVal(2), -1.0 / 3);
  EXPECT_EQ(ys.NrOfElem(), 2);
  EXPECT_EQ(ys.GetVal(1), 1.0);
  // coefficients alone: no components, absent outputs are skipped
  ASSERT_EQ(StorePLSModel(file, "", &fit.B, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr),
            "");
  ASSERT_TRUE(
      LoadPLSModel(file, comment, &B, &W, nullptr, nullptr, &xm, nullptr, nullptr, nullptr));
  EXPECT_EQ(comment, "");
  EXPECT_TRUE(SameMatrix(B, fit.B));
  EXPECT_EQ(W.NrOfColumns(), 0);
  EXPECT_EQ(xm.GetVal(3), 0.0);
}

TEST(PLSModelFile, ArgumentsThatDoNotFit) {
  TFittedModel fit;
  const std::string file = TmpFile("pls_bad_args.txt");
  EXPECT_EQ(StorePLSModel(file, "", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr),
            "StorePLSModel: coefficients not assigned");
  EXPECT_EQ(
      StorePLSModel(file, "", &fit.B, &fit.W, nullptr, &fit.Q, nullptr, nullptr, nullptr, nullptr),
      "StorePLSModel: sizes of weights and loadings do not match");
  EXPECT_EQ(
      StorePLSModel(file, "", &fit.B, &fit.W, &fit.P, &fit.P, nullptr, nullptr, nullptr, nullptr),
      "StorePLSModel: sizes of weights and loadings do not match");
  EXPECT_EQ(StorePLSModel(file, "", &fit.B, nullptr, nullptr, nullptr, &fit.yMean, nullptr, nullptr,
                          nullptr),
            "StorePLSModel: sizes of means or scales do not match");
  const std::string err = StorePLSModel(TmpFile("no_such_dir/m.txt"), "", &fit.B, nullptr, nullptr,
                                        nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(err.compare(0, 20, "Cannot create file \""), 0) << err;
}

TEST(PLSModelFile, MalformedAndTruncatedFilesChangeNothing) {
  TFittedModel fit;
  const std::string file = TmpFile("pls_model.txt");
  ASSERT_EQ(
      StorePLSModel(file, "c", &fit.B, &fit.W, &fit.P, &fit.Q, nullptr, nullptr, nullptr, nullptr),
      "");
  const std::string good = ReadText(file);
  const std::string bad = TmpFile("pls_bad.txt");
  TMatrix B;
  B.Resize(1, 1);
  B.SetVal(1, 1, 42);
  TVector xm;
  std::string comment = "kept";
  const auto unchanged = [&] {
    return comment == "kept" && B.NrOfColumns() == 1 && B.NrOfRows() == 1 && B.GetVal(1, 1) == 42 &&
           xm.NrOfElem() == 1;
  };
  // every truncation of the file, at each line end and in the middle of lines
  for (size_t cut = 0; cut + 1 < good.size(); cut += 7) {
    WriteText(bad, good.substr(0, cut));
    EXPECT_FALSE(
        LoadPLSModel(bad, comment, &B, nullptr, nullptr, nullptr, &xm, nullptr, nullptr, nullptr))
        << cut;
    EXPECT_TRUE(unchanged()) << cut;
  }
  // a number that is not one, a missing or an extra value in a row
  std::string t = good;
  t.replace(t.find("Coefficients:\r\n") + 15, 1, "x");
  WriteText(bad, t);
  EXPECT_FALSE(
      LoadPLSModel(bad, comment, &B, nullptr, nullptr, nullptr, &xm, nullptr, nullptr, nullptr));
  t = good;
  t.insert(t.find("\r\nXLoadings:"), " 1.5");
  WriteText(bad, t);
  EXPECT_FALSE(
      LoadPLSModel(bad, comment, &B, nullptr, nullptr, nullptr, &xm, nullptr, nullptr, nullptr));
  // counts far beyond what the file holds are refused after reading what is there
  WriteText(bad,
            "NUV PLS model 1\r\nComment: x\r\nPredictors: 2147483646\r\nResponses: 2000000000\r\n"
            "Components: 2000000000\r\nXMean: 1 2\r\n");
  EXPECT_FALSE(
      LoadPLSModel(bad, comment, &B, nullptr, nullptr, nullptr, &xm, nullptr, nullptr, nullptr));
  WriteText(bad, "NUV PLS model 1\r\nComment: x\r\nPredictors: -1\r\n");
  EXPECT_FALSE(
      LoadPLSModel(bad, comment, &B, nullptr, nullptr, nullptr, &xm, nullptr, nullptr, nullptr));
  EXPECT_TRUE(unchanged());
  // the comment reader needs the first two lines only
  WriteText(bad, "NUV PLS model 1\nComment: only this");
  EXPECT_TRUE(LoadPLSModelComment(bad, comment));
  EXPECT_EQ(comment, "only this");
  comment = "kept";
  WriteText(bad, "NUV PLS model 2\r\nComment: x\r\n");
  EXPECT_FALSE(LoadPLSModelComment(bad, comment));
  WriteText(bad, "NUV PLS model 1\r\nNote: x\r\n");
  EXPECT_FALSE(LoadPLSModelComment(bad, comment));
  EXPECT_FALSE(LoadPLSModelComment(TmpFile("no_such_file.txt"), comment));
  EXPECT_TRUE(unchanged());
}
