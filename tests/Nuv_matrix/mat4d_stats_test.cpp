// TMat4D statistics against plain loops over GetVal: block statistics, the
// per-pixel statistics over layers and slots, search, and both percentiles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"
#include "common/matrix_helpers.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol1;
using nuv_test::kTol3;

namespace {

struct TBlock {
  int32_t x1, x2, y1, y2, z1, z2, t1, t2;
};

/// The values of a block by a plain loop, column outer, slot inner.
std::vector<double> Values(const TMat4D& m, const TBlock& b) {
  std::vector<double> v;
  for (int32_t x = b.x1; x <= b.x2; ++x)
    for (int32_t y = b.y1; y <= b.y2; ++y)
      for (int32_t z = b.z1; z <= b.z2; ++z)
        for (int32_t t = b.t1; t <= b.t2; ++t) v.push_back(m.GetVal(x, y, z, t));
  return v;
}

class Mat4DStats : public nuv_test::ProgressTest {
 protected:
  void SetUp() override {
    ProgressTest::SetUp();
    m.Resize(23, 11, 3, 4);
    SetRandSeed(3);
    m.FillRandomGauss(5.0, 2.0);
  }
  TMat4D m;
  const TBlock b{3, 20, 2, 11, 2, 3, 1, 3};  // 18 x 10 pixels
};

TEST_F(Mat4DStats, BlockStatisticsAgreeWithPlainLoops) {
  const std::vector<double> v = Values(m, b);
  const double n = static_cast<double>(v.size());
  double s = 0, q = 0;
  for (double x : v) s += x, q += x * x;
  EXPECT_REL_NEAR(m.Sum(3, 20, 2, 11, 2, 3, 1, 3), s, kTol1);
  EXPECT_REL_NEAR(m.SquaredSum(3, 20, 2, 11, 2, 3, 1, 3), q, kTol1);
  double mean, var;
  m.MeanVar(20, 3, 11, 2, 3, 2, 3, 1, mean, var);  // reversed ranges are exchanged
  EXPECT_REL_NEAR(mean, s / n, kTol1);
  EXPECT_REL_NEAR(var, (q - s * s / n) / (n - 1), kTol3);
  double mn, mx;
  ProcStat = 0;
  m.MinMax(3, 20, 2, 11, 2, 3, 1, 3, mn, mx);
  EXPECT_EQ(mn, *std::min_element(v.begin(), v.end()));
  EXPECT_EQ(mx, *std::max_element(v.begin(), v.end()));
  // 180 pixels: one step after every second pixel.
  EXPECT_EQ(ProcStat.load(), 90.0);
  const auto in = std::count_if(v.begin(), v.end(), [](double x) { return x >= 4 && x <= 6; });
  EXPECT_EQ(m.CountValues(3, 20, 2, 11, 2, 3, 1, 3, 4.0, 6.0), in);
  // Two elements or fewer: variance 1.
  m.MeanVar(1, 1, 1, 1, 1, 1, 1, 2, mean, var);
  EXPECT_EQ(var, 1.0);
}

TEST_F(Mat4DStats, PerPixelStatisticsAgreeWithPlainLoops) {
  m.SetVal(5, 4, 2, 2, std::nan(""));
  m.SetVal(6, 4, 2, 1, -INFINITY);
  TMatrix mean, mx, mn, sd;
  int meanEvents = 0;
  mean.SetOnChange([&](TObject*) { ++meanEvents; });
  ProcStat = 0;
  m.MeanOfLayersToMatrix(&mean, 3, 20, 2, 11, 2, 3, 1, 3);
  EXPECT_EQ(ProcStat.load(), 90.0);
  EXPECT_EQ(meanEvents, 1 + 1 + 180);  // resize, fill with 0, every pixel through SetVal
  m.MaximumOfLayersToMatrix(&mx, 3, 20, 2, 11, 2, 3, 1, 3);
  m.MinimumOfLayersToMatrix(&mn, 3, 20, 2, 11, 2, 3, 1, 3);
  m.StdDevOfLayersToMatrix(&sd, 3, 20, 2, 11, 2, 3, 1, 3);
  ASSERT_EQ(mean.NrOfColumns(), 18);
  ASSERT_EQ(sd.NrOfRows(), 10);
  for (int32_t x = 3; x <= 20; ++x)
    for (int32_t y = 2; y <= 11; ++y) {
      const std::vector<double> v = Values(m, {x, x, y, y, 2, 3, 1, 3});
      double s = 0, q = 0, hi = -uc_MaxReal, lo = uc_MaxReal;
      for (double w : v) {
        s += w, q += w * w;
        if (w > hi) hi = w;
        if (w < lo) lo = w;
      }
      const double k = static_cast<double>(v.size());
      const int32_t c = x - 2, r = y - 1;
      if (x == 5 && y == 4) {
        EXPECT_TRUE(std::isnan(mean.GetVal(c, r)));
        EXPECT_TRUE(std::isnan(sd.GetVal(c, r)));
      } else if (x == 6 && y == 4) {
        EXPECT_EQ(mean.GetVal(c, r), -INFINITY);
      } else {
        EXPECT_REL_NEAR(mean.GetVal(c, r), s / k, kTol1);
        EXPECT_REL_NEAR(sd.GetVal(c, r), std::sqrt(q / k - (s / k) * (s / k)), 1e-12);
      }
      EXPECT_EQ(mx.GetVal(c, r), hi) << x << "," << y;
      EXPECT_EQ(mn.GetVal(c, r), lo) << x << "," << y;
    }

  // The deviation of values far from zero does not drown in their square sums.
  TMat4D offset;
  offset.Resize(1, 1, 2, 2);
  const double base = 1e9;
  offset.SetVal(1, 1, 1, 1, base + 1);
  offset.SetVal(1, 1, 1, 2, base + 2);
  offset.SetVal(1, 1, 2, 1, base + 3);
  offset.SetVal(1, 1, 2, 2, base + 4);
  offset.StdDevOfLayersToMatrix(&sd, 0, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_REL_NEAR(sd.GetVal(1, 1), std::sqrt(1.25), kTol1);  // population sd of 1, 2, 3, 4
}

TEST_F(Mat4DStats, FindKeepsTheFirstInColumnOrder) {
  m.Fill(0.0);
  // Equally close: (2, 1, 1, 1) comes first in the buffer, (1, 5, 2, 3) first
  // in the order column, row, layer, slot.
  m.SetVal(2, 1, 1, 1, 1.0);
  m.SetVal(1, 5, 2, 3, 3.0);
  int32_t x, y, z, t;
  m.Find(0, 0, 0, 0, 0, 0, 0, 0, 2.0, x, y, z, t);
  EXPECT_EQ(x * 1000 + y * 100 + z * 10 + t, 1523);
  m.Find(2, 0, 0, 0, 0, 0, 0, 0, 2.0, x, y, z, t);  // columns 1..2: the same
  EXPECT_EQ(x * 1000 + y * 100 + z * 10 + t, 1523);
  m.Find(2, 23, 0, 0, 0, 0, 0, 0, 2.0, x, y, z, t);
  EXPECT_EQ(x * 1000 + y * 100 + z * 10 + t, 2111);
  m.Find(0, 0, 0, 0, 0, 0, 0, 0, std::nan(""), x, y, z, t);
  EXPECT_EQ(x + y + z + t, 0);
}

TEST_F(Mat4DStats, PercentileOfTheBlockAndOfASample) {
  std::vector<double> v = Values(m, b);
  for (double prob : {0.0, 12.5, 50.0, 99.0, 100.0}) {
    std::vector<double> w = v;
    const auto k = static_cast<size_t>(
        std::min(std::nearbyint(static_cast<double>(w.size()) * prob / 100), w.size() - 1.0));
    std::nth_element(w.begin(), w.begin() + static_cast<std::ptrdiff_t>(k), w.end());
    EXPECT_EQ(m.Percentile(prob, 3, 20, 2, 11, 2, 3, 1, 3), w[k]) << prob;
  }
  EXPECT_EQ(m.Percentile(150, 0, 0, 0, 0, 0, 0, 0, 0),
            m.Percentile(100, 0, 0, 0, 0, 0, 0, 0, 0));
  EXPECT_TRUE(std::isnan(m.Percentile(std::nan(""), 0, 0, 0, 0, 0, 0, 0, 0)));

  // A sample of at least the block's size is the block.
  EXPECT_EQ(m.Percentile(50, 3, 20, 2, 11, 2, 3, 1, 3, 1080), m.Percentile(50, 3, 20, 2, 11, 2, 3, 1, 3));
  const double sampled = m.Percentile(50, 0, 0, 0, 0, 0, 0, 0, 0, 200);
  EXPECT_GT(sampled, 3.0);  // the median of N(5, 2) from 200 draws
  EXPECT_LT(sampled, 7.0);
}

TEST_F(Mat4DStats, PercentileWithADominantBackground) {
  // Mostly 0.0: every rank inside the zeros is 0.0.
  m.Fill(0.0);
  m.SetVal(1, 1, 1, 1, 5.0);
  m.SetVal(2, 1, 1, 1, 7.0);
  EXPECT_EQ(m.Percentile(50, 0, 0, 0, 0, 0, 0, 0, 0), 0.0);
  EXPECT_EQ(m.Percentile(100, 0, 0, 0, 0, 0, 0, 0, 0), 7.0);

  // A background of 2.0 with values below it: the low ranks are those values,
  // not the background.
  const int64_t n = 23 * 11 * 3 * 4;
  m.Fill(2.0);
  std::vector<double> low;
  for (int32_t x = 1; x <= 23; ++x) {
    m.SetVal(x, 3, 1, 2, -1.0 * x);
    low.push_back(-1.0 * x);
  }
  m.SetVal(4, 4, 3, 4, 9.0);
  std::sort(low.begin(), low.end());
  for (double prob : {0.0, 0.5, 0.7, 1.0, 50.0, 99.99, 100.0}) {
    const auto k = static_cast<int64_t>(std::nearbyint(static_cast<double>(n) * prob / 100));
    const double want = k >= n - 1 ? 9.0 : (k < 23 ? low[static_cast<size_t>(k)] : 2.0);
    for (int draw = 0; draw < 3; ++draw)  // whatever the five draws find
      EXPECT_EQ(m.Percentile(prob, 0, 0, 0, 0, 0, 0, 0, 0), want) << prob;
  }
}

}  // namespace
