#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "Nuv_math1/array_stats.h"
#include "Nuv_math1/sort_comb.h"
#include "common/test_util.h"

using namespace nuv;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Counts the progress calls made while it is alive.
class PassCounter {
 public:
  PassCounter() {
    MathFeedBackProc = [this](double) { ++calls_; };
    start_ = ProcStat.load();
  }
  ~PassCounter() { MathFeedBackProc = nullptr; }
  int calls() const { return calls_; }
  double steps() const { return ProcStat.load() - start_; }

 private:
  int calls_ = 0;
  double start_ = 0;
};

}  // namespace

TEST(SortArray, GapSequenceAndPassCount) {
  // Pass lists worked by hand with the rule gap := gap * 10 div 13, at least 1:
  // 13 -> 10 -> 7 -> 5 -> 3 -> 2 -> 1. Already sorted: the first gap-1 pass
  // makes no exchange, so six passes.
  {
    std::vector<double> d{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    PassCounter pc;
    SortArray(d, true);
    EXPECT_EQ(pc.calls(), 6);
    EXPECT_EQ(pc.steps(), 6.0);
  }
  // This order needs four gap-1 passes (the last without exchange) and 20
  // exchanges in all (traced by hand through the passes).
  const std::vector<int32_t> src{7, 3, 8, 6, 2, 11, 1, 5, 10, 9, 12, 4, 13};
  const std::vector<int32_t> gaps{10, 7, 5, 3, 2, 1, 1, 1, 1};
  {
    std::vector<int32_t> d = src;
    PassCounter pc;
    SortArray(d, true);
    EXPECT_EQ(pc.calls(), 9);
    for (int32_t i = 0; i < 13; ++i) EXPECT_EQ(d[static_cast<size_t>(i)], i + 1);
  }
  {
    // The event form shows the gap of every exchange.
    std::vector<int32_t> d = src;
    int pass = 0;
    int exchanges = 0;
    bool gapsOk = true;
    detail::CombSortEvents(
        d.data(), 13, 13, true, [&] { ++pass; },
        [&](int32_t i, int32_t j) {
          ++exchanges;
          gapsOk &= (j - i == gaps[static_cast<size_t>(pass)]) && d[i] < d[j];
        });
    EXPECT_EQ(pass, 9);
    EXPECT_EQ(exchanges, 20);
    EXPECT_TRUE(gapsOk);
  }
  {
    // Start gap n - 1, as the containers use it: (3, 1, 2) with start gap 2 runs
    // gap 1 twice (10 * 2 div 13 = 1): 3 1 2 -> 1 2 3 with two exchanges, then a clean pass.
    std::vector<double> d{3, 1, 2};
    int pass = 0;
    int exchanges = 0;
    detail::CombSortEvents(d.data(), 3, 2, true, [&] { ++pass; }, [&](int32_t, int32_t) { ++exchanges; });
    EXPECT_EQ(pass, 2);
    EXPECT_EQ(exchanges, 2);
    EXPECT_EQ(d, (std::vector<double>{1, 2, 3}));
  }
  {
    // Nothing to do for 0 or 1 elements: no pass, no progress call.
    std::vector<double> one{5};
    std::vector<double> none;
    PassCounter pc;
    SortArray(one, true);
    SortArray(none, false);
    EXPECT_EQ(pc.calls(), 0);
    EXPECT_EQ(one[0], 5.0);
  }
}

TEST(SortArray, FastPassesMatchElementByElementPasses) {
  // The block passes must give bit for bit the result of the plain pass: same
  // final order (including the positions of +0 and -0), same number of passes.
  SetRandSeed(4711);
  for (int32_t n : {2, 3, 7, 8, 9, 15, 16, 17, 31, 64, 100, 257, 1000, 4099}) {
    for (bool asc : {true, false}) {
      std::vector<double> a(static_cast<size_t>(n));
      for (double& x : a) {
        const int32_t r = Random(9);
        x = r == 0 ? 0.0 : (r == 1 ? -0.0 : Random() * 100.0 - 50.0);
      }
      std::vector<double> b = a;
      int passA = 0;
      detail::CombSort(a.data(), n, n, asc, [&] { ++passA; });
      int passB = 0;
      detail::CombSortEvents(b.data(), n, n, asc, [&] { ++passB; }, [](int32_t, int32_t) {});
      EXPECT_EQ(passA, passB) << "n = " << n;
      EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(double)), 0) << "n = " << n;
      for (int32_t i = 1; i < n; ++i) {
        EXPECT_TRUE(asc ? a[i - 1] <= a[i] : a[i - 1] >= a[i]);
      }
    }
  }
  // float and int32 take their own block widths.
  std::vector<float> f(333);
  std::vector<int32_t> k(333);
  for (size_t i = 0; i < f.size(); ++i) {
    f[i] = static_cast<float>(Random() - 0.5);
    k[i] = Random(100) - 50;
  }
  std::vector<float> f2 = f;
  std::vector<int32_t> k2 = k;
  SortArray(f, false);
  SortArray(k, true);
  detail::CombSortEvents(f2.data(), 333, 333, false, [] {}, [](int32_t, int32_t) {});
  detail::CombSortEvents(k2.data(), 333, 333, true, [] {}, [](int32_t, int32_t) {});
  EXPECT_EQ(f, f2);
  EXPECT_EQ(k, k2);
}

TEST(SortArray, NaNGoesLastAscendingFirstDescending) {
  std::vector<double> d{3, kNaN, 1, kNaN, 2};
  SortArray(d, true);
  EXPECT_EQ(d[0], 1.0);
  EXPECT_EQ(d[1], 2.0);
  EXPECT_EQ(d[2], 3.0);
  EXPECT_TRUE(std::isnan(d[3]) && std::isnan(d[4]));
  SortArray(d, false);
  EXPECT_TRUE(std::isnan(d[0]) && std::isnan(d[1]));
  EXPECT_EQ(d[2], 3.0);
  EXPECT_EQ(d[4], 1.0);
  std::vector<float> f{INFINITY, std::numeric_limits<float>::quiet_NaN(), -INFINITY, 0.0f};
  SortArray(f, true);
  EXPECT_EQ(f[0], -INFINITY);
  EXPECT_EQ(f[1], 0.0f);
  EXPECT_EQ(f[2], INFINITY);
  EXPECT_TRUE(std::isnan(f[3]));
  // Many NaN among many numbers: terminates, numbers ascending, NaN count kept.
  SetRandSeed(99);
  std::vector<double> big(5000);
  for (double& x : big) x = Random(4) == 0 ? kNaN : Random();
  int nans = 0;
  for (double x : big) nans += std::isnan(x);
  SortArray(big, true);
  const size_t firstNaN = big.size() - static_cast<size_t>(nans);
  for (size_t i = 0; i < big.size(); ++i) {
    if (i >= firstNaN) {
      EXPECT_TRUE(std::isnan(big[i]));
    } else if (i > 0) {
      EXPECT_LE(big[i - 1], big[i]);
    }
  }
}

TEST(SortArray, UntypedKinds) {
  double d[4] = {4, 1, 3, 2};
  SortArray(d, 3, vkReal, true);  // positions 1..3 only
  EXPECT_EQ(d[0], 1.0);
  EXPECT_EQ(d[1], 3.0);
  EXPECT_EQ(d[2], 4.0);
  EXPECT_EQ(d[3], 2.0);
  float f[3] = {1, 3, 2};
  SortArray(f, 3, vkSingle, false);
  EXPECT_EQ(f[0], 3.0f);
  EXPECT_EQ(f[2], 1.0f);
  int32_t k[3] = {2, 3, 1};
  SortArray(k, 3, vkLongint, true);
  EXPECT_EQ(k[0], 1);
  EXPECT_EQ(k[2], 3);
  // Other kinds, null data and counts <= 0 do nothing, not even a progress call.
  int32_t untouched[3] = {3, 2, 1};
  PassCounter pc;
  SortArray(untouched, 3, vkByte, true);
  SortArray(untouched, 0, vkInteger, true);
  SortArray(untouched, -4, vkInteger, true);
  SortArray(nullptr, 3, vkDouble, true);
  EXPECT_EQ(untouched[0], 3);
  EXPECT_EQ(pc.calls(), 0);
}

TEST(SortIntoArray, TypedPositions) {
  std::vector<double> d{1, 3, 5, 7};
  EXPECT_EQ(SortIntoArray(d, 4.0, true, false), 2);
  EXPECT_EQ(d, (std::vector<double>{1, 3, 4, 5}));
  d = {1, 3, 5, 7};
  EXPECT_EQ(SortIntoArray(d, 9.0, true, false), -1);
  EXPECT_EQ(d, (std::vector<double>{1, 3, 5, 7}));
  EXPECT_EQ(SortIntoArray(d, 3.0, true, false), -1);
  EXPECT_EQ(d, (std::vector<double>{1, 3, 5, 7}));
  EXPECT_EQ(SortIntoArray(d, 3.0, true, true), 1);
  EXPECT_EQ(d, (std::vector<double>{1, 3, 3, 5}));
  // Both ends: before the first, and onto the last place.
  d = {1, 3, 5, 7};
  EXPECT_EQ(SortIntoArray(d, 0.5, true, false), 0);
  EXPECT_EQ(d, (std::vector<double>{0.5, 1, 3, 5}));
  EXPECT_EQ(SortIntoArray(d, 4.0, true, false), 3);
  EXPECT_EQ(d, (std::vector<double>{0.5, 1, 3, 4}));
  // Descending lists; NaN counts as larger than every number.
  std::vector<int32_t> k{9, 6, 3};
  EXPECT_EQ(SortIntoArray(k, 7, false, false), 1);
  EXPECT_EQ(k, (std::vector<int32_t>{9, 7, 6}));
  EXPECT_EQ(SortIntoArray(k, 2, false, true), -1);
  std::vector<float> f{1, 2, std::numeric_limits<float>::quiet_NaN()};
  EXPECT_EQ(SortIntoArray(f, 1.5f, true, false), 1);
  EXPECT_EQ(f[2], 2.0f);
  EXPECT_EQ(SortIntoArray(f, std::numeric_limits<float>::quiet_NaN(), true, true), -1);
  std::vector<double> empty;
  EXPECT_EQ(SortIntoArray(empty, 1.0, true, true), -1);
}

TEST(SortIntoArray, UntypedPositions) {
  double d[4] = {1, 3, 5, 7};
  const double four = 4;
  EXPECT_EQ(SortIntoArray(d, 4, vkDouble, &four, true, false), 3);
  EXPECT_EQ(d[2], 4.0);
  EXPECT_EQ(d[3], 5.0);
  const double nine = 9;
  EXPECT_EQ(SortIntoArray(d, 4, vkDouble, &nine, true, false), 0);
  int32_t k[3] = {5, 3, 1};
  const int32_t three = 3;
  EXPECT_EQ(SortIntoArray(k, 3, vkInteger, &three, false, false), 0);
  EXPECT_EQ(SortIntoArray(k, 3, vkInteger, &three, false, true), 2);
  EXPECT_EQ(k[1], 3);
  EXPECT_EQ(k[2], 3);
  float f[2] = {2, 4};
  const float one = 1;
  EXPECT_EQ(SortIntoArray(f, 2, vkSingle, &one, true, false), 1);
  EXPECT_EQ(f[0], 1.0f);
  EXPECT_EQ(f[1], 2.0f);
  EXPECT_EQ(SortIntoArray(f, 2, vkString, &one, true, false), 0);
  EXPECT_EQ(SortIntoArray(f, 0, vkSingle, &one, true, false), 0);
  EXPECT_EQ(SortIntoArray(nullptr, 2, vkSingle, &one, true, false), 0);
  EXPECT_EQ(SortIntoArray(f, 2, vkSingle, nullptr, true, false), 0);
}

TEST(InsertIntoArray, TypedAndUntyped) {
  std::vector<double> d{1, 2, 3};
  InsertIntoArray(d, 9.0, 0);
  EXPECT_EQ(d, (std::vector<double>{9, 1, 2}));
  InsertIntoArray(d, 8.0, 2);
  EXPECT_EQ(d, (std::vector<double>{9, 1, 8}));
  InsertIntoArray(d, 7.0, 3);
  InsertIntoArray(d, 7.0, -1);
  EXPECT_EQ(d, (std::vector<double>{9, 1, 8}));
  std::vector<int32_t> k{1, 2, 3};
  InsertIntoArray(k, 5, 1);
  EXPECT_EQ(k, (std::vector<int32_t>{1, 5, 2}));
  std::vector<float> f{1, 2};
  InsertIntoArray(f, 0.5f, 0);
  EXPECT_EQ(f, (std::vector<float>{0.5f, 1}));
  // Untyped: 1-based.
  int32_t u[3] = {1, 2, 3};
  const int32_t nine = 9;
  InsertIntoArray(u, 3, vkInteger, &nine, 1);
  EXPECT_EQ(u[0], 9);
  EXPECT_EQ(u[1], 1);
  EXPECT_EQ(u[2], 2);
  InsertIntoArray(u, 3, vkInteger, &nine, 0);
  InsertIntoArray(u, 3, vkInteger, &nine, 4);
  InsertIntoArray(u, 3, vkOther, &nine, 2);
  EXPECT_EQ(u[1], 1);
  const double half = 0.5;
  double du[2] = {1, 2};
  InsertIntoArray(du, 2, vkDouble, &half, 2);
  EXPECT_EQ(du[1], 0.5);
}
