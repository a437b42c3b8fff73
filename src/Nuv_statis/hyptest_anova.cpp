// One-way analysis of variance from centred sums of squares.
#include "Nuv_statis/hyptest_anova.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "Nuv_statis/gamma_beta_accurate.h"
#include "foundation/types.h"

namespace nuv {

namespace {

// P(F' >= F) for F' ~ F(d1, d2), taken from the upper tail itself so that small p-values
// keep their relative accuracy (1 - FDistriIntegral would round them to 0 below 1e-16).
double FUpperTail(double F, int32_t d1, int32_t d2) {
  if (std::isnan(F)) return F;
  if (!(F > 0)) return 1.0;
  if (std::isinf(F)) return 0.0;
  const Extended e1 = d1, e2 = d2, w = F;
  const Extended den = e1 * w + e2;
  return static_cast<double>(
      statis_detail::BetaTails(0.5L * e1, 0.5L * e2, e1 * w / den, e2 / den).Upper);
}

// Per group: its count, the sum of its values' offsets from the first value of the data, and
// whether all of them are equal (then that offset is the group's mean exactly).
struct TGroupSums {
  int64_t Count = 0;
  double First = 0;
  double Offsets = 0;
  bool Constant = true;
  double Mean() const { return Constant ? First : Offsets / static_cast<double>(Count); }
};

}  // namespace

double Anova1F(const TVector* Data, const TIntVector* Groups, double& SSbetween, double& SSwithin,
               double& SStotal, int32_t& dfBetween, int32_t& dfWithin, int32_t& dfTotal,
               double& F) {
  if (Data == nullptr || Groups == nullptr) return -1.0;
  const int32_t N = std::min(Data->NrOfElem(), Groups->NrOfElem());
  const double* x = Data->Data();
  const int32_t* g = Groups->Data();
  // Every value is taken as its offset from the first one: for data far from 0 (values near
  // 1e8 with unit spread) the offsets are exact and small, so neither the means nor the
  // squares carry the magnitude of the data.
  const double ref = x[0];

  // Groups in the order of their first appearance; member[i] is the group of value i.
  std::vector<TGroupSums> groups;
  std::vector<int32_t> member(static_cast<size_t>(N));
  std::unordered_map<int32_t, int32_t> index;
  double allOffsets = 0;
  for (int32_t i = 0; i < N; ++i) {
    const double o = x[i] - ref;
    auto it = index.find(g[i]);
    if (it == index.end()) {
      it = index.emplace(g[i], static_cast<int32_t>(groups.size())).first;
      groups.emplace_back();
      groups.back().First = o;
    }
    TGroupSums& s = groups[static_cast<size_t>(it->second)];
    ++s.Count;
    s.Offsets += o;
    s.Constant = s.Constant && o == s.First;
    member[static_cast<size_t>(i)] = it->second;
    allOffsets += o;
  }
  const int32_t k = static_cast<int32_t>(groups.size());
  if (k <= 1) return -1.0;
  if (k >= N) return -2.0;
  const double mean = allOffsets / N;

  // Second pass over the deviations, with the residual sums that correct the means' rounding.
  std::vector<double> groupMean(static_cast<size_t>(k)), groupResid(static_cast<size_t>(k), 0.0);
  for (int32_t j = 0; j < k; ++j)
    groupMean[static_cast<size_t>(j)] = groups[static_cast<size_t>(j)].Mean();
  double within = 0, total = 0, totalResid = 0;
  for (int32_t i = 0; i < N; ++i) {
    const size_t j = static_cast<size_t>(member[static_cast<size_t>(i)]);
    const double o = x[i] - ref;
    const double dw = o - groupMean[j];
    const double dt = o - mean;
    within += dw * dw;
    groupResid[j] += dw;
    total += dt * dt;
    totalResid += dt;
  }
  const double grandMean = mean + totalResid / N;
  double between = 0;
  for (int32_t j = 0; j < k; ++j) {
    const double nj = static_cast<double>(groups[static_cast<size_t>(j)].Count);
    const double r = groupResid[static_cast<size_t>(j)];
    within -= r * r / nj;
    const double d = groupMean[static_cast<size_t>(j)] + r / nj - grandMean;
    between += nj * d * d;
  }
  total -= totalResid * totalResid / N;
  // The corrections can take a sum of squares below 0 only by rounding.
  SSbetween = std::max(between, 0.0);
  SSwithin = std::max(within, 0.0);
  SStotal = std::max(total, 0.0);
  dfBetween = k - 1;
  dfWithin = N - k;
  dfTotal = N - 1;
  const double msb = SSbetween / dfBetween;
  const double msw = SSwithin / dfWithin;
  if (msw == 0) {
    if (msb == 0) {
      F = 0;
      return -3.0;
    }
    F = uc_MaxReal;
    return 0.0;
  }
  F = msb / msw;
  return FUpperTail(F, dfBetween, dfWithin);
}

}  // namespace nuv
