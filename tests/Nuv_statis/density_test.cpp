// EstimateProbDensity against a direct kernel sum with widths from direct walks.
#include <algorithm>
#include <cmath>
#include <vector>

#include "Nuv_statis/Nuv_statis.h"
#include "Nuv_statis/hyptest_helpers.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::SetValues;

namespace {

// Kernel widths by walking one value at a time (x ascending, 0-based): down from j + 1 and
// up from j - 1 while |x_i - x_j| < window, adding the spacing to the next value on the way
// and never stepping beyond the ends.
std::vector<double> DirectWidths(const std::vector<double>& x, double window) {
  const int n = static_cast<int>(x.size());
  std::vector<double> w(x.size(), window);
  for (int j = 0; j < n; ++j) {
    long double sum = 0;
    int cnt = 0;
    for (int i = std::min(j + 1, n - 1); i >= 1 && std::fabs(x[i] - x[j]) < window; --i, ++cnt)
      sum += std::fabs(x[i] - x[i - 1]);
    for (int i = std::max(j - 1, 0); i <= n - 2 && std::fabs(x[i] - x[j]) < window; ++i, ++cnt)
      sum += std::fabs(x[i] - x[i + 1]);
    if (cnt > 0) w[j] = sum == 0 ? window / cnt : static_cast<double>(sum / cnt);
  }
  return w;
}

double DirectDensity(const std::vector<double>& x, const std::vector<double>& w, double factor,
                     double t) {
  long double s = 0;
  for (size_t j = 0; j < x.size(); ++j) {
    double sigma = factor * w[j];
    if (!(sigma > 0)) sigma = factor;
    const long double u = (t - x[j]) / static_cast<long double>(sigma);
    s += std::exp(-0.5L * u * u) / sigma;
  }
  return static_cast<double>(s * 0.398942280401432677939946L / x.size());
}

// 300 values on a grid of 0.01 (many equal values), spread like a skewed mixture.
std::vector<double> Sample() {
  std::vector<double> v;
  for (int i = 0; i < 300; ++i) {
    const double u = std::fmod(i * 0.6180339887498949, 1.0);
    const double g = i % 3 == 0 ? 4 + 3 * u * u : std::sqrt(-2 * std::log(1 - 0.999 * u));
    v.push_back(std::round(g * 100) / 100);
  }
  return v;
}

}  // namespace

TEST(EstimateProbDensity, MatchesTheDirectKernelSum) {
  std::vector<double> x = Sample();
  TVector data, dens;
  SetValues(data, x);
  std::sort(x.begin(), x.end());
  int32_t maxIdx = -1, minIdx = -1;
  for (const double window : {0.05, 0.5, 3.0, 1e300}) {
    EstimateProbDensity(&data, &dens, -1.0, 8.0, 0.7, window, 180, maxIdx, minIdx, nullptr);
    ASSERT_EQ(dens.NrOfElem(), 181);
    EXPECT_TRUE(std::equal(x.begin(), x.end(), data.Data())) << "data sorted in place";
    const std::vector<double> w = DirectWidths(x, window);
    double best = 0, worst = 1e308;
    int32_t bestAt = 0, worstAt = 0;
    for (int32_t i = 0; i <= 180; ++i) {
      const double want = DirectDensity(x, w, 0.7, -1.0 + i * 9.0 / 180);
      EXPECT_REL_NEAR(dens.GetVal(i + 1), want, 1e-12) << "window " << window << " step " << i;
      if (want > best) best = want, bestAt = i + 1;
      if (want < worst) worst = want, worstAt = i + 1;
    }
    EXPECT_EQ(maxIdx, bestAt);
    EXPECT_EQ(minIdx, worstAt);
  }
}

TEST(EstimateProbDensity, WalksStopAtTheEnds) {
  // Two values 5 and 6 within a wide window: each walk meets the one spacing, so both widths
  // are 1 (a spacing to a value before the first or after the last would add 5 or 6).
  TVector data, dens;
  SetValues(data, {6.0, 5.0});
  int32_t maxIdx = 0, minIdx = 0;
  EstimateProbDensity(&data, &dens, 5.0, 6.0, 1.0, 10.0, 10, maxIdx, minIdx, nullptr);
  for (int32_t i = 0; i <= 10; ++i) {
    const double t = 5.0 + i * 0.1;
    const double want = (std::exp(-0.5 * (t - 5) * (t - 5)) + std::exp(-0.5 * (t - 6) * (t - 6))) *
                        uc_sqrt2pitom1 / 2;
    EXPECT_REL_NEAR(dens.GetVal(i + 1), want, 1e-14) << i;
  }
  // the middle is the maximum; the two ends tie as minima and the first one stays
  EXPECT_EQ(maxIdx, 6);
  EXPECT_EQ(minIdx, 1);
  // a single value meets no spacing: width = window
  SetValues(data, {2.0});
  EstimateProbDensity(&data, &dens, 2.0, 3.0, 0.5, 4.0, 10, maxIdx, minIdx, nullptr);
  EXPECT_REL_NEAR(dens.GetVal(1), uc_sqrt2pitom1 / 2.0, 1e-15);
}

TEST(EstimateProbDensity, ArgumentRulesEventsAndFeedback) {
  std::vector<double> x = Sample();
  TVector data, dens, ref;
  SetValues(data, x);
  int32_t maxIdx = 0, minIdx = 0;
  // numSteps is raised to 10; widthFactor 0 acts as 1
  EstimateProbDensity(&data, &dens, 0.0, 5.0, 0.0, 0.4, 5, maxIdx, minIdx, nullptr);
  EXPECT_EQ(dens.NrOfElem(), 11);
  EstimateProbDensity(&data, &ref, 0.0, 5.0, 1.0, 0.4, 10, maxIdx, minIdx, nullptr);
  for (int32_t i = 1; i <= 11; ++i) EXPECT_EQ(dens.GetVal(i), ref.GetVal(i));
  EstimateProbDensity(&data, &dens, 0.0, 5.0, 1.0, 0.4, 20000, maxIdx, minIdx, nullptr);
  EXPECT_EQ(dens.NrOfElem(), 10001);
  // a window <= 0 meets no spacing: every width is the width factor
  EstimateProbDensity(&data, &dens, 0.0, 5.0, 0.3, -1.0, 10, maxIdx, minIdx, nullptr);
  const std::vector<double> ones(x.size(), 1.0);
  std::sort(x.begin(), x.end());
  for (int32_t i = 0; i <= 10; ++i)
    EXPECT_REL_NEAR(dens.GetVal(i + 1), DirectDensity(x, ones, 0.3, i * 0.5), 1e-12);
  // progress: n width steps and numSteps + 1 density steps, ending at 100 %
  std::vector<double> done, percent;
  int changes = 0;
  dens.SetOnChange([&](TObject*) { ++changes; });
  EstimateProbDensity(&data, &dens, 0.0, 5.0, 1.0, 0.4, 10, maxIdx, minIdx,
                      [&](TObject* sender, double d, double p) {
                        EXPECT_EQ(sender, nullptr);
                        done.push_back(d);
                        percent.push_back(p);
                      });
  ASSERT_EQ(done.size(), x.size() + 11);
  EXPECT_EQ(done.front(), 1.0);
  EXPECT_EQ(done.back(), static_cast<double>(x.size() + 11));
  EXPECT_DOUBLE_EQ(percent.back(), 100.0);
  EXPECT_DOUBLE_EQ(percent.front(), 100.0 / (x.size() + 11));
  EXPECT_EQ(changes, 1);  // the size stayed
  // NaN data: the density is NaN everywhere, also far from the NaN's place at the end of the
  // sorted values, and the positions stay as they were
  std::vector<double> withNaN(60);
  for (size_t i = 0; i < withNaN.size(); ++i) withNaN[i] = static_cast<double>(i);
  withNaN[17] = std::nan("");
  SetValues(data, withNaN);
  maxIdx = minIdx = -3;
  EstimateProbDensity(&data, &dens, 0.0, 5.0, 1.0, 0.4, 10, maxIdx, minIdx, nullptr);
  for (int32_t i = 1; i <= 11; ++i) EXPECT_TRUE(std::isnan(dens.GetVal(i))) << i;
  EXPECT_EQ(maxIdx, -3);
  EXPECT_EQ(minIdx, -3);
  EstimateProbDensity(nullptr, &dens, 0.0, 5.0, 1.0, 0.4, 10, maxIdx, minIdx, nullptr);
}
