// Wilcoxon signed-rank critical values: the exact table and its interpolation.
#include "Nuv_statis/hyptest_wilcoxon.h"

#include <array>
#include <cmath>
#include <cstdint>

#include "Nuv_math2/curvefit.h"
#include "Nuv_statis/normal_distribution.h"

namespace nuv {

namespace {

constexpr int32_t kFirstN = 8;
constexpr int32_t kLastN = 100;
constexpr int32_t kRows = kLastN - kFirstN + 1;
constexpr int32_t kMaxRankSum = kLastN * (kLastN + 1) / 2;

// alpha/2 of each level as 1/kHalfLevelDen: 0.05, 0.025, 0.01, 0.005, 0.0005.
constexpr uint64_t kHalfLevelDen[5] = {20, 40, 100, 200, 2000};

// Levels a row holds: n = 8 the first three, n = 9 and 10 the first four, then all five.
constexpr int32_t LevelsOfRow(int32_t n) { return n == 8 ? 3 : (n <= 10 ? 4 : 5); }

// Unsigned 128-bit integer for the sign-pattern counts, which reach 2^100; only what the
// table needs (addition, a product with a small factor, comparison).
struct TCount128 {
  uint64_t Lo = 0;
  uint64_t Hi = 0;

  constexpr TCount128& operator+=(const TCount128& b) {
    const uint64_t lo = Lo + b.Lo;
    Hi += b.Hi + (lo < Lo ? 1u : 0u);
    Lo = lo;
    return *this;
  }
  // Exact while the product stays below 2^128 (m < 2^32).
  constexpr TCount128 Times(uint64_t m) const {
    const uint64_t l0 = (Lo & 0xffffffffu) * m;
    const uint64_t l1 = (Lo >> 32) * m;
    TCount128 r;
    r.Lo = l0 + (l1 << 32);
    r.Hi = Hi * m + (l1 >> 32) + (r.Lo < l0 ? 1u : 0u);
    return r;
  }
  constexpr bool operator<=(const TCount128& b) const {
    return Hi != b.Hi ? Hi < b.Hi : Lo <= b.Lo;
  }
  static constexpr TCount128 PowerOfTwo(int32_t e) {
    TCount128 r;
    if (e < 64)
      r.Lo = uint64_t{1} << e;
    else
      r.Hi = uint64_t{1} << (e - 64);
    return r;
  }
};

using TSRTable = std::array<std::array<int32_t, 5>, kRows>;

// Counts the sign patterns of every rank sum, adding rank k = 1, 2, ... in turn (counts[t]
// of n ranks = counts[t] + counts[t - n] of n - 1 ranks), and after each n >= 8 reads off
// the largest t whose cumulative count stays within alpha/2 of the 2^n patterns.
TSRTable BuildSignedRankTable() {
  TSRTable table{};
  std::array<TCount128, kMaxRankSum + 1> counts{};
  counts[0].Lo = 1;
  for (int32_t n = 1; n <= kLastN; ++n) {
    const int32_t top = n * (n + 1) / 2;
    for (int32_t t = top; t >= n; --t)
      counts[static_cast<size_t>(t)] += counts[static_cast<size_t>(t - n)];
    if (n < kFirstN) continue;
    const TCount128 patterns = TCount128::PowerOfTwo(n);
    for (int32_t c = 0; c < LevelsOfRow(n); ++c) {
      // cum / 2^n <= 1/den  <=>  cum den <= 2^n
      TCount128 cum;
      int32_t t = -1;
      while (t < top) {
        TCount128 next = cum;
        next += counts[static_cast<size_t>(t + 1)];
        if (!(next.Times(kHalfLevelDen[c]) <= patterns)) break;
        cum = next;
        ++t;
      }
      table[static_cast<size_t>(n - kFirstN)][static_cast<size_t>(c)] = t;
    }
  }
  return table;
}

// Built at the first use (about 0.2 ms), once per process.
const TSRTable& SignedRankTable() {
  static const TSRTable table = BuildSignedRankTable();
  return table;
}

}  // namespace

int32_t WilcoxonSRTableValue(int32_t n, int32_t LevelIx) {
  if (n < kFirstN || n > kLastN || LevelIx < 0 || LevelIx >= LevelsOfRow(n)) return -1;
  return SignedRankTable()[static_cast<size_t>(n - kFirstN)][static_cast<size_t>(LevelIx)];
}

int32_t WilcoxonSRQuantile(int32_t n, double Alpha, bool TwoSided) {
  if (n < kFirstN || n > 1000000 || !(Alpha >= 0.000499999 && Alpha <= 0.20000001)) return -1;
  double r;
  if (n > kLastN) {
    const double z = -nDistriQuantile(TwoSided ? Alpha / 2 : Alpha);
    const double dn = n;
    r = std::nearbyint(dn * (dn + 1) / 4 - z * std::sqrt(dn * (dn + 1) * (2 * dn + 1) / 24));
    // From n = 92830 on (depending on Alpha) the value outgrows the 32-bit result.
    if (r > INT32_MAX) return -1;
  } else {
    TCurveFit fit;
    for (int32_t c = 0; c < LevelsOfRow(n); ++c)
      fit.EnterStatValue(std::log(WilcoxonSRLevels[c]), WilcoxonSRTableValue(n, c));
    double k0, k1, k2, quality;
    fit.CalcParabolFit(k0, k1, k2, quality);
    const double L = std::log(TwoSided ? Alpha : 2 * Alpha);
    r = std::nearbyint(k0 + k1 * L + k2 * L * L);
    if (r < 0) r = 0;
  }
  return static_cast<int32_t>(r);
}

}  // namespace nuv
