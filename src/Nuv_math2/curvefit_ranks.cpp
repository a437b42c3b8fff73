// TCurveFit: Spearman's rank correlation, the Kendall pair counts with Kendall's tau and
// Kruskal's gamma. Ranks come from a radix sort of order-preserving keys; the Kendall
// counts from inversions of the y ranks in (x, y) order, O(N log N).
#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <numeric>
#include <vector>

#include "Nuv_math1/kahan_sum.h"
#include "Nuv_math2/curvefit.h"
#include "Nuv_math2/curvefit_internal.h"
#include "Nuv_statis/gamma_erf_beta.h"

namespace nuv {

namespace detail {

void RadixSortKeys(std::vector<uint64_t>& Keys, std::vector<uint32_t>& Index) {
  constexpr int kBits = 11;
  constexpr int kDigits = (64 + kBits - 1) / kBits;
  constexpr size_t kBuckets = size_t{1} << kBits;
  constexpr uint64_t kMask = kBuckets - 1;
  const size_t n = Keys.size();
  if (n < 2) return;
  std::vector<size_t> count(kDigits * kBuckets, 0);
  for (const uint64_t k : Keys)
    for (int d = 0; d < kDigits; ++d) ++count[d * kBuckets + ((k >> (d * kBits)) & kMask)];
  std::vector<uint64_t> keys2(n);
  std::vector<uint32_t> index2(n);
  for (int d = 0; d < kDigits; ++d) {
    size_t* c = count.data() + d * kBuckets;
    const int shift = d * kBits;
    // A digit shared by every key leaves the order as it is.
    if (c[(Keys[0] >> shift) & kMask] == n) continue;
    size_t pos = 0;
    for (size_t b = 0; b < kBuckets; ++b) {
      const size_t cb = c[b];
      c[b] = pos;
      pos += cb;
    }
    for (size_t i = 0; i < n; ++i) {
      const size_t to = c[(Keys[i] >> shift) & kMask]++;
      keys2[to] = Keys[i];
      index2[to] = Index[i];
    }
    Keys.swap(keys2);
    Index.swap(index2);
  }
}

}  // namespace detail

namespace {

// Number of pairs i < j with Seq[i] > Seq[j]; sorts Seq. Bottom-up merge sort.
int64_t CountInversions(std::vector<uint32_t>& Seq) {
  const size_t n = Seq.size();
  int64_t inv = 0;
  // Short runs by insertion, counting each step past a larger element.
  constexpr size_t kRun = 16;
  for (size_t lo = 0; lo < n; lo += kRun) {
    const size_t hi = std::min(n, lo + kRun);
    for (size_t i = lo + 1; i < hi; ++i) {
      const uint32_t v = Seq[i];
      size_t j = i;
      while (j > lo && Seq[j - 1] > v) {
        Seq[j] = Seq[j - 1];
        --j;
      }
      Seq[j] = v;
      inv += static_cast<int64_t>(i - j);
    }
  }
  std::vector<uint32_t> buf(n);
  for (size_t width = kRun; width < n; width *= 2) {
    for (size_t lo = 0; lo < n; lo += 2 * width) {
      const size_t mid = std::min(n, lo + width), hi = std::min(n, lo + 2 * width);
      size_t i = lo, j = mid, k = lo;
      while (i < mid && j < hi) {
        // Equal ranks are no inversion: the left one goes first.
        if (Seq[j] < Seq[i]) {
          inv += static_cast<int64_t>(mid - i);
          buf[k++] = Seq[j++];
        } else {
          buf[k++] = Seq[i++];
        }
      }
      while (i < mid) buf[k++] = Seq[i++];
      while (j < hi) buf[k++] = Seq[j++];
    }
    Seq.swap(buf);
  }
  return inv;
}

int64_t TiedPairs(int64_t t) { return t * (t - 1) / 2; }

// Mid-ranks (1-based) of V[0..n) into Rank; returns the sum of t (t^2 - 1) / 12 over runs
// of t equal values. Order receives the sorting permutation.
Extended MidRanks(const double* V, size_t n, std::vector<double>& Rank,
                  std::vector<uint32_t>& Order) {
  std::vector<uint64_t> keys(n);
  for (size_t i = 0; i < n; ++i) keys[i] = detail::OrderedKey(V[i]);
  Order.resize(n);
  std::iota(Order.begin(), Order.end(), 0u);
  detail::RadixSortKeys(keys, Order);
  Rank.resize(n);
  Extended ties = 0;
  for (size_t lo = 0; lo < n;) {
    size_t hi = lo + 1;
    while (hi < n && keys[hi] == keys[lo]) ++hi;
    const double r = (static_cast<double>(lo + 1) + static_cast<double>(hi)) / 2;
    for (size_t k = lo; k < hi; ++k) Rank[Order[k]] = r;
    const Extended t = static_cast<Extended>(hi - lo);
    if (hi - lo > 1) ties += t * (t * t - 1) / 12;
    lo = hi;
  }
  return ties;
}

}  // namespace

double TCurveFit::GetSpearman() const {
  const int32_t N = FNumData;
  if (N < 3) return 0.0;
  const double* x = ColX();
  const double* y = ColY();
  for (int32_t i = 0; i < N; ++i)
    if (std::isnan(x[i]) || std::isnan(y[i])) return std::numeric_limits<double>::quiet_NaN();
  const size_t n = static_cast<size_t>(N);
  Extended Tx, Ty;
  std::vector<double> rx, ry;
  std::vector<uint32_t> order;
  try {
    Tx = MidRanks(x, n, rx, order);
    Ty = MidRanks(y, n, ry, order);
  } catch (const std::bad_alloc&) {
    RaiseComponentError<ENUVMath2Error>(this, "not enough memory");
  }
  // D in the order of ascending y, compensated.
  TKahanSum D;
  for (size_t k = 0; k < n; ++k) {
    const size_t i = order[k];
    const double d = rx[i] - ry[i];
    D.Add(d * d);
  }
  const Extended nn = N;
  const Extended w = nn * (nn * nn - 1);
  if (Tx != 0 || Ty != 0) {
    if (12 * Ty == w || 12 * Tx == w) return 0.0;
    return static_cast<double>((w - 6 * (D.Sum + Tx + Ty)) /
                               std::sqrt((w - 12 * Ty) * (w - 12 * Tx)));
  }
  return static_cast<double>(1 - 6 * D.Sum / w);
}

void TCurveFit::BasicRankCounts() const {
  FKendallConcord = FKendallDiscord = FKendallTies1 = FKendallTies2 = 0;
  if (FNumData > 2) {
    const double* x = ColX();
    const double* y = ColY();
    try {
      // A pair of pairs with a NaN among its values counts nowhere: leave such pairs out.
      std::vector<uint32_t> idx;
      idx.reserve(static_cast<size_t>(FNumData));
      for (int32_t i = 0; i < FNumData; ++i)
        if (!std::isnan(x[i]) && !std::isnan(y[i])) idx.push_back(static_cast<uint32_t>(i));
      const size_t m = idx.size();
      std::vector<uint64_t> keys(m);
      for (size_t k = 0; k < m; ++k) keys[k] = detail::OrderedKey(y[idx[k]]);
      detail::RadixSortKeys(keys, idx);
      // Dense ranks of y, and the pairs tied in y.
      std::vector<uint32_t> rankY(static_cast<size_t>(FNumData), 0);
      int64_t tiesY = 0;
      uint32_t rank = 0;
      for (size_t lo = 0; lo < m;) {
        size_t hi = lo + 1;
        while (hi < m && keys[hi] == keys[lo]) ++hi;
        for (size_t k = lo; k < hi; ++k) rankY[idx[k]] = rank;
        tiesY += TiedPairs(static_cast<int64_t>(hi - lo));
        ++rank;
        lo = hi;
      }
      // The sort is stable: sorting the y order by x gives the (x, y) order.
      for (size_t k = 0; k < m; ++k) keys[k] = detail::OrderedKey(x[idx[k]]);
      detail::RadixSortKeys(keys, idx);
      int64_t tiesX = 0, tiesXY = 0;
      std::vector<uint32_t> seq(m);
      for (size_t lo = 0; lo < m;) {
        size_t hi = lo + 1;
        while (hi < m && keys[hi] == keys[lo]) ++hi;
        tiesX += TiedPairs(static_cast<int64_t>(hi - lo));
        for (size_t a = lo; a < hi;) {
          size_t b = a + 1;
          while (b < hi && rankY[idx[b]] == rankY[idx[a]]) ++b;
          tiesXY += TiedPairs(static_cast<int64_t>(b - a));
          a = b;
        }
        lo = hi;
      }
      for (size_t k = 0; k < m; ++k) seq[k] = rankY[idx[k]];
      // In (x, y) order an inversion of the y ranks is a pair with x rising and y falling.
      const int64_t discord = CountInversions(seq);
      const int64_t all = TiedPairs(static_cast<int64_t>(m));
      FKendallDiscord = discord;
      FKendallConcord = all - tiesX - tiesY + tiesXY - discord;
      FKendallTies1 = tiesY - tiesXY;
      FKendallTies2 = tiesX - tiesXY;
    } catch (const std::bad_alloc&) {
      FKendallConcord = FKendallDiscord = FKendallTies1 = FKendallTies2 = 0;
      RaiseComponentError<ENUVMath2Error>(this, "not enough memory");
    }
  }
  FKendallValid = true;
}

double TCurveFit::KendallsTau(double& p) const {
  if (!FKendallValid) BasicRankCounts();
  const Extended c = FKendallConcord, d = FKendallDiscord;
  const Extended den = std::sqrt((c + d + FKendallTies1) * (c + d + FKendallTies2));
  if (den == 0) {
    p = 0.0;
    return 0.0;
  }
  const double tau = static_cast<double>((c - d) / den);
  const double n = FNumData;
  const double sigma = std::sqrt((4 * n + 10) / (9 * n * (n - 1)));
  p = 1.0 - ErfApprox(std::fabs(tau / sigma) / uc_sqrt2);
  return tau;
}

double TCurveFit::GetKruskalGamma() const {
  if (!FKendallValid) BasicRankCounts();
  const int64_t cd = FKendallConcord + FKendallDiscord;
  if (cd == 0) return 0.0;
  return static_cast<double>(static_cast<Extended>(FKendallConcord - FKendallDiscord) / cd);
}

}  // namespace nuv
