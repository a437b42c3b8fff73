#include <algorithm>
#include <cmath>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "common/test_util.h"

using namespace nuv;

namespace {

// Seven objects, three predictors of full rank, and two responses that are exact linear
// functions: y1 = 1 + 2 x1 - x2 + 0.5 x3, y2 = -4 + 3 x3.
void Sample(TMatrix& X, TMatrix& Y) {
  const double x[7][3] = {{1, 2, 0.5}, {2, -1, 3}, {4, 0, 1}, {-1, 5, 2},
                          {3, 3, -2},  {0, 1, 4},  {5, -2, 0.25}};
  X.Resize(3, 7);
  Y.Resize(2, 7);
  for (int r = 0; r < 7; ++r) {
    for (int c = 0; c < 3; ++c) X.SetVal(c + 1, r + 1, x[r][c]);
    Y.SetVal(1, r + 1, 1 + 2 * x[r][0] - x[r][1] + 0.5 * x[r][2]);
    Y.SetVal(2, r + 1, -4 + 3 * x[r][2]);
  }
}

}  // namespace

TEST(SimPLS, FullRankIsLeastSquaresAndScoresAreOrthonormal) {
  TMatrix X, Y, R, P, Q, T, B;
  Sample(X, Y);
  // With as many components as predictors PLS spans the whole predictor space, so the
  // coefficients are those of least squares: here the exact generating ones (to the
  // accuracy of a basis built by deflation, a few hundred ulps).
  ASSERT_TRUE(SimPLS(&X, &Y, 3, &R, &P, &Q, &T, &B));
  ASSERT_EQ(B.NrOfColumns(), 2);
  ASSERT_EQ(B.NrOfRows(), 4);
  const double want[2][4] = {{1, 2, -1, 0.5}, {-4, 0, 0, 3}};
  for (int j = 0; j < 2; ++j)
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(B.GetVal(j + 1, k + 1), want[j][k], 1e-10);
  ASSERT_EQ(T.NrOfColumns(), 3);
  ASSERT_EQ(T.NrOfRows(), 7);
  for (int a = 1; a <= 3; ++a)
    for (int b = 1; b <= 3; ++b) {
      double s = 0;
      for (int r = 1; r <= 7; ++r) s += T.GetVal(a, r) * T.GetVal(b, r);
      EXPECT_NEAR(s, a == b, 1e-13);
    }

  // One component, one response: the weight is X0^T y0 up to scale. Column means of X are
  // 2, 8/7, 6.75/7; the direction is checked through the ratios of its elements.
  TMatrix y1;
  y1.Resize(1, 7);
  for (int r = 1; r <= 7; ++r) y1.SetVal(1, r, Y.GetVal(1, r));
  ASSERT_TRUE(SimPLS(&X, &y1, 1, &R, nullptr, nullptr, &T, &B));
  std::vector<double> s(3, 0.0);
  double ym = 0;
  for (int r = 1; r <= 7; ++r) ym += y1.GetVal(1, r) / 7;
  for (int c = 1; c <= 3; ++c) {
    double xm = 0;
    for (int r = 1; r <= 7; ++r) xm += X.GetVal(c, r) / 7;
    for (int r = 1; r <= 7; ++r) s[c - 1] += (X.GetVal(c, r) - xm) * (y1.GetVal(1, r) - ym);
  }
  EXPECT_NEAR(R.GetVal(1, 2) / R.GetVal(1, 1), s[1] / s[0], 1e-12);
  EXPECT_NEAR(R.GetVal(1, 3) / R.GetVal(1, 1), s[2] / s[0], 1e-12);
  // Components beyond min(p, N - 1) are clipped; fewer than two rows fail.
  ASSERT_TRUE(SimPLS(&X, &Y, 9, nullptr, nullptr, nullptr, &T, &B));
  EXPECT_EQ(T.NrOfColumns(), 3);
  X.Resize(3, 1);
  Y.Resize(2, 1);
  EXPECT_FALSE(SimPLS(&X, &Y, 1, nullptr, nullptr, nullptr, nullptr, &B));
  Sample(X, Y);
  MathFeedBackProc = [](double) { AbortMathProc = true; };
  EXPECT_FALSE(SimPLS(&X, &Y, 2, nullptr, nullptr, nullptr, nullptr, &B));
  MathFeedBackProc = nullptr;
  AbortMathProc = false;
}

TEST(VertexCompAnalysis, FindsThePurePixelsOfAMixture) {
  // Three positive spectra of six bands mixed with abundances that never exceed 0.8, plus
  // the three pure spectra at rows 11, 27 and 50: those are the simplex's vertices.
  const double E[3][6] = {{0.9, 0.7, 0.4, 0.2, 0.1, 0.05},
                          {0.1, 0.3, 0.8, 0.9, 0.5, 0.2},
                          {0.2, 0.1, 0.15, 0.3, 0.7, 0.95}};
  TMatrix data;
  data.Resize(6, 60);
  SetRandSeed(4711);
  for (int r = 1; r <= 60; ++r) {
    double a[3];
    if (r == 11 || r == 27 || r == 50) {
      const int k = r == 11 ? 0 : (r == 27 ? 1 : 2);
      a[0] = a[1] = a[2] = 0;
      a[k] = 1;
    } else {
      do {
        for (double& v : a) v = 0.05 + Random();
        const double s = a[0] + a[1] + a[2];
        for (double& v : a) v /= s;
      } while (std::max({a[0], a[1], a[2]}) > 0.8);
    }
    for (int c = 0; c < 6; ++c)
      data.SetVal(c + 1, r, a[0] * E[0][c] + a[1] * E[1][c] + a[2] * E[2][c]);
  }
  TIntVector idx;
  TMatrix ends;
  SetRandSeed(1);
  ASSERT_TRUE(VertexCompAnalysis(&data, 3, &idx, &ends));
  ASSERT_EQ(idx.NrOfElem(), 3);
  std::vector<int32_t> got = {idx.GetVal(1), idx.GetVal(2), idx.GetVal(3)};
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, (std::vector<int32_t>{11, 27, 50}));
  ASSERT_EQ(ends.NrOfRows(), 3);
  for (int c = 1; c <= 6; ++c) EXPECT_EQ(ends.GetVal(c, 1), data.GetVal(c, idx.GetVal(1)));
  EXPECT_FALSE(VertexCompAnalysis(&data, 0, &idx, nullptr));
  EXPECT_FALSE(VertexCompAnalysis(&data, 7, &idx, nullptr));
  EXPECT_TRUE(VertexCompAnalysis(&data, 1, &idx, nullptr));
  MathFeedBackProc = [](double) { AbortMathProc = true; };
  EXPECT_FALSE(VertexCompAnalysis(&data, 3, &idx, nullptr));
  MathFeedBackProc = nullptr;
  AbortMathProc = false;
}
