#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

#include "Nuv_math1/array_stats.h"
#include "Nuv_math1/sort_comb.h"
#include "common/test_util.h"

using namespace nuv;
using DV = std::vector<double>;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Counts the progress calls made while it is alive.
struct PassCounter {
  int calls = 0;
  PassCounter() { MathFeedBackProc = [this](double) { ++calls; }; }
  ~PassCounter() { MathFeedBackProc = nullptr; }
};

}  // namespace

TEST(SortArray, GapSequenceAndPassCount) {
  // Gaps by hand, gap := gap * 10 div 13 (at least 1): 13 -> 10, 7, 5, 3, 2, 1.
  // Sorted input: the first gap-1 pass is clean, so six passes.
  std::vector<double> sorted{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
  PassCounter pc;
  SortArray(sorted, true);
  EXPECT_EQ(pc.calls, 6);
  // Traced by hand: this order needs four gap-1 passes and 20 exchanges in all.
  const std::vector<int32_t> src{7, 3, 8, 6, 2, 11, 1, 5, 10, 9, 12, 4, 13};
  const int gaps[] = {10, 7, 5, 3, 2, 1, 1, 1, 1};
  std::vector<int32_t> d = src;
  SortArray(d, true);
  EXPECT_EQ(pc.calls, 6 + 9);
  for (int32_t i = 0; i < 13; ++i) EXPECT_EQ(d[static_cast<size_t>(i)], i + 1);
  // The event form reports the gap of every exchange.
  d = src;
  int pass = 0, exchanges = 0;
  bool gapsOk = true;
  detail::CombSortEvents(d.data(), 13, 13, true, [&] { ++pass; }, [&](int32_t i, int32_t j) {
    ++exchanges;
    gapsOk &= j - i == gaps[pass] && d[static_cast<size_t>(i)] < d[static_cast<size_t>(j)];
  });
  EXPECT_TRUE(pass == 9 && exchanges == 20 && gapsOk);
  // Start gap n - 1 as the containers use it: (3, 1, 2) runs gap 1 (10 * 2 div 13 = 1)
  // with two exchanges, then a clean pass.
  DV s{3, 1, 2};
  pass = exchanges = 0;
  detail::CombSortEvents(s.data(), 3, 2, true, [&] { ++pass; }, [&](int32_t, int32_t) { ++exchanges; });
  EXPECT_TRUE(pass == 2 && exchanges == 2 && s == DV({1, 2, 3}));
  // 0 or 1 elements, other kinds, null data, counts <= 0: no pass, no progress call.
  DV one{5}, none;
  int32_t u[3] = {3, 2, 1};
  SortArray(one, true);
  SortArray(none, false);
  SortArray(u, 3, vkByte, true);
  SortArray(u, 0, vkInteger, true);
  SortArray(u, -4, vkInteger, true);
  SortArray(nullptr, 3, vkDouble, true);
  EXPECT_TRUE(pc.calls == 15 && u[0] == 3);
}

TEST(SortArray, BlockPassesMatchElementByElementPasses) {
  // Same final order bit for bit (positions of +0 and -0 included) and the same
  // number of passes as the plain pass of the event form.
  SetRandSeed(4711);
  for (int32_t n : {2, 7, 8, 9, 16, 17, 64, 257, 1000, 4099}) {
    for (bool asc : {true, false}) {
      DV a(static_cast<size_t>(n));
      for (double& x : a) {
        const int32_t r = Random(9);
        x = r == 0 ? 0.0 : (r == 1 ? -0.0 : Random() * 100.0 - 50.0);
      }
      DV b = a;
      int passA = 0, passB = 0;
      detail::CombSort(a.data(), n, n, asc, [&] { ++passA; });
      detail::CombSortEvents(b.data(), n, n, asc, [&] { ++passB; }, [](int32_t, int32_t) {});
      EXPECT_EQ(passA, passB) << "n = " << n;
      EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(double)), 0) << "n = " << n;
    }
  }
  // float and int32 have their own block widths (16 each).
  std::vector<int32_t> k(333);
  for (int32_t& v : k) v = Random(100) - 50;
  auto k2 = k;
  SortArray(k, false);
  detail::CombSortEvents(k2.data(), 333, 333, false, [] {}, [](int32_t, int32_t) {});
  EXPECT_TRUE(k == k2 && std::is_sorted(k.rbegin(), k.rend()));
  // An unassigned exchange handler sorts all the same.
  k2 = k;
  std::reverse(k2.begin(), k2.end());
  detail::CombSortEvents(k2.data(), 333, 332, false, [] {}, std::function<void(int32_t, int32_t)>());
  EXPECT_EQ(k, k2);
}

TEST(SortArray, NaNLastAscendingFirstDescendingAndUntyped) {
  DV d{3, kNaN, 1, kNaN, 2};
  SortArray(d, true);
  EXPECT_TRUE(d[0] == 1 && d[1] == 2 && d[2] == 3 && std::isnan(d[3]) && std::isnan(d[4]));
  SortArray(d, false);
  EXPECT_TRUE(std::isnan(d[0]) && std::isnan(d[1]) && d[2] == 3 && d[4] == 1);
  // Many NaN among numbers: terminates, numbers ascending, NaN count kept.
  SetRandSeed(99);
  DV big(5000);
  for (double& x : big) x = Random(4) == 0 ? kNaN : Random();
  const auto nans = std::count_if(big.begin(), big.end(), [](double x) { return std::isnan(x); });
  SortArray(big, true);
  const auto firstNaN = big.end() - nans;
  EXPECT_TRUE(std::is_sorted(big.begin(), firstNaN));
  EXPECT_TRUE(std::all_of(firstNaN, big.end(), [](double x) { return std::isnan(x); }));
  // Untyped: positions 1..NumElems only.
  double u[4] = {4, 1, 3, 2};
  SortArray(u, 3, vkReal, true);
  EXPECT_TRUE(u[0] == 1 && u[1] == 3 && u[2] == 4 && u[3] == 2);
  float f[4] = {1, std::numeric_limits<float>::quiet_NaN(), -INFINITY, 2};
  SortArray(f, 4, vkSingle, false);
  EXPECT_TRUE(std::isnan(f[0]) && f[1] == 2 && f[3] == -INFINITY);
  int32_t k[3] = {2, 3, 1};
  SortArray(k, 3, vkLongint, false);
  EXPECT_TRUE(k[0] == 3 && k[2] == 1);
}

TEST(SortIntoArray, TypedAndUntypedPositions) {
  DV d{1, 3, 5, 7};
  EXPECT_TRUE(SortIntoArray(d, 4.0, true, false) == 2 && d == DV({1, 3, 4, 5}));
  d = {1, 3, 5, 7};
  EXPECT_TRUE(SortIntoArray(d, 9.0, true, false) == -1 && SortIntoArray(d, 3.0, true, false) == -1);
  EXPECT_EQ(d, DV({1, 3, 5, 7}));
  EXPECT_TRUE(SortIntoArray(d, 3.0, true, true) == 1 && d == DV({1, 3, 3, 5}));
  // Both ends: before the first, and onto the last place.
  d = {1, 3, 5, 7};
  EXPECT_EQ(SortIntoArray(d, 0.5, true, false), 0);
  EXPECT_EQ(SortIntoArray(d, 4.0, true, false), 3);
  EXPECT_EQ(d, DV({0.5, 1, 3, 4}));
  std::vector<int32_t> k{9, 6, 3};
  EXPECT_TRUE(SortIntoArray(k, 7, false, false) == 1 && k == std::vector<int32_t>({9, 7, 6}));
  EXPECT_EQ(SortIntoArray(k, 2, false, true), -1);
  // NaN counts as larger than every number.
  std::vector<float> f{1, 2, std::numeric_limits<float>::quiet_NaN()};
  EXPECT_TRUE(SortIntoArray(f, 1.5f, true, false) == 1 && f[2] == 2.0f);
  DV empty;
  EXPECT_EQ(SortIntoArray(empty, 1.0, true, true), -1);
  // Untyped: 1-based, 0 for "not inserted" and for unusable arguments.
  double u[4] = {1, 3, 5, 7};
  const double four = 4, nine = 9;
  EXPECT_TRUE(SortIntoArray(u, 4, vkDouble, &four, true, false) == 3 && u[2] == 4 && u[3] == 5);
  EXPECT_EQ(SortIntoArray(u, 4, vkDouble, &nine, true, false), 0);
  int32_t ku[3] = {5, 3, 1};
  const int32_t three = 3;
  EXPECT_EQ(SortIntoArray(ku, 3, vkInteger, &three, false, false), 0);
  EXPECT_TRUE(SortIntoArray(ku, 3, vkInteger, &three, false, true) == 2 && ku[2] == 3);
  EXPECT_TRUE(SortIntoArray(u, 4, vkString, &four, true, false) == 0 &&
              SortIntoArray(u, 0, vkDouble, &four, true, false) == 0 &&
              SortIntoArray(nullptr, 2, vkDouble, &four, true, false) == 0 &&
              SortIntoArray(u, 4, vkDouble, nullptr, true, false) == 0);
}

TEST(InsertIntoArray, TypedAndUntyped) {
  DV d{1, 2, 3};
  InsertIntoArray(d, 9.0, 0);
  EXPECT_EQ(d, DV({9, 1, 2}));
  for (int32_t ix : {2, 3, -1}) InsertIntoArray(d, 8.0, ix);
  EXPECT_EQ(d, DV({9, 1, 8}));
  int32_t u[3] = {1, 2, 3};
  const int32_t nine = 9;
  InsertIntoArray(u, 3, vkInteger, &nine, 1);
  EXPECT_TRUE(u[0] == 9 && u[1] == 1 && u[2] == 2);
  for (int32_t ix : {0, 4}) InsertIntoArray(u, 3, vkInteger, &nine, ix);
  InsertIntoArray(u, 3, vkOther, &nine, 2);
  EXPECT_EQ(u[1], 1);
}
