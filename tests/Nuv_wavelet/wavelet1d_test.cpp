#include <cfloat>
#include <cmath>
#include <random>
#include <vector>

#include "Nuv_wavelet/Nuv_wavelet.h"
#include "common/memory_limit.h"
#include "common/test_util.h"

using namespace nuv;

namespace {

using LD = long double;

std::vector<LD> Values(const TWavelet1D& w) {
  std::vector<LD> v;
  for (int32_t ix = 1; ix <= w.Size(); ++ix) v.push_back(w.GetDataValExt(ix));
  return v;
}

void Load(TWavelet1D& w, const std::vector<LD>& v) {
  w.SetNumData(static_cast<int32_t>(v.size()));
  for (size_t k = 0; k < v.size(); ++k) w.SetDataValExt(static_cast<int32_t>(k + 1), v[k]);
}

std::vector<LD> RandomSignal(size_t n, unsigned seed) {
  std::mt19937_64 gen(seed);
  std::uniform_real_distribution<double> u(-3, 5);
  std::vector<LD> v(n);
  for (LD& x : v) x = u(gen);
  return v;
}

void ExpectClose(const std::vector<LD>& got, const std::vector<LD>& want, LD tol) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t k = 0; k < want.size(); ++k)
    EXPECT_LE(std::fabs(got[k] - want[k]), tol)
        << k << ": " << static_cast<double>(got[k]) << " vs " << static_cast<double>(want[k]);
}

LD SumSq(const std::vector<LD>& v) {
  LD s = 0;
  for (LD x : v) s += x * x;
  return s;
}

// One step evaluated term by term from the index rule t = 2l - L + m - 1: wrap takes t
// and Len - 1 bitwise, zero padding drops t < 0, the mirror maps t < 0 to -t - 1 and, should
// that pass the last value, 2 Len - 1 - t again.
std::vector<LD> DirectStep(const std::vector<LD>& x, const std::vector<LD>& lp,
                           const std::vector<LD>& hp, TWLSigExtMode mode, bool inverse) {
  const int len = static_cast<int>(x.size()), h = len / 2, taps = static_cast<int>(lp.size());
  std::vector<LD> s(x.size(), 0);
  for (int l = 1; l <= h; ++l)
    for (int m = 1; m <= taps; ++m) {
      int t = 2 * l - taps + m - 1;
      if (mode == wseWrap) t &= len - 1;
      if (mode == wseZeroPad && t < 0) continue;
      if (mode == wseSymmetric && t < 0) t = -t - 1;
      if (mode == wseSymmetric && t >= len) t = 2 * len - 1 - t;
      if (inverse) {
        s[t] += lp[m - 1] * x[l - 1] + hp[m - 1] * x[h + l - 1];
      } else {
        s[l - 1] += lp[m - 1] * x[t];
        s[h + l - 1] += hp[m - 1] * x[t];
      }
    }
  return s;
}

}  // namespace

TEST(Wavelet1D, WorkedExamples) {
  TWavelet1D w;
  EXPECT_EQ(w.Size(), 256);
  EXPECT_EQ(w.Order(), 2);
  EXPECT_EQ(w.SignalExtMode(), wseWrap);
  EXPECT_EQ(w.WaveletFamily(), wlfDaubechies);
  EXPECT_EQ(w.GetDataVal(0), 0.0);
  EXPECT_EQ(w.GetDataVal(257), 0.0);
  w.SetOrder(1);
  Load(w, {1, 1});
  w.SingleStep(false);
  EXPECT_NEAR(w.GetDataVal(1), std::sqrt(2.0), 1e-16);
  EXPECT_EQ(w.GetDataVal(2), 0.0);
  w.SingleStep(true);
  EXPECT_NEAR(w.GetDataVal(1), 1, 1e-16);
  EXPECT_NEAR(w.GetDataVal(2), 1, 1e-16);
  // A constant signal has no details at order 2.
  w.SetOrder(2);
  Load(w, std::vector<LD>(16, 2.5L));
  w.SingleStep(false);
  for (int ix = 9; ix <= 16; ++ix) EXPECT_LT(std::fabs(w.GetDataValExt(ix)), 1e-17L) << ix;
  for (int ix = 1; ix <= 8; ++ix) EXPECT_NEAR(w.GetDataVal(ix), 2.5 * std::sqrt(2.0), 1e-15);
  // Level 0 acts as level 1.
  const std::vector<LD> x = RandomSignal(32, 1);
  Load(w, x);
  w.Transform(0);
  const std::vector<LD> one = Values(w);
  Load(w, x);
  w.Transform(1);
  EXPECT_EQ(Values(w), one);
}

TEST(Wavelet1D, FiltersAgainstTheirClosedForms) {
  // The Daubechies scaling filters (sum sqrt 2; Daubechies, Ten Lectures on Wavelets,
  // table 6.1, to 16 digits), 18 digits by mpmath 1.2.1 from the closed forms, e.g.
  // nstr((1 + sqrt(3)) / (4 sqrt(2)), 18) with mp.dps = 30.
  const std::vector<std::vector<LD>> published = {
      {0.707106781186547524L, 0.707106781186547524L},
      {0.482962913144534143L, 0.836516303737807906L, 0.224143868042013381L, -0.129409522551260381L},
      {0.332670552950082616L, 0.806891509311092576L, 0.459877502118491570L, -0.135011020010254589L,
       -0.0854412738820266617L, 0.0352262918857095366L}};
  TWavelet1D w;
  w.SetName("wl");
  for (int order = 1; order <= 3; ++order) {
    SCOPED_TRACE(order);
    w.SetOrder(order);
    const std::vector<LD>& lp = w.CoeffsLP();
    const std::vector<LD>& hp = w.CoeffsHP();
    ASSERT_EQ(lp.size(), static_cast<size_t>(2 * order));
    LD sum = 0, sq = 0, shifted = 0, cross = 0;
    for (size_t k = 0; k < lp.size(); ++k) {
      EXPECT_LE(std::fabs(lp[k] - published[order - 1][k]), 1e-18L) << k;
      EXPECT_EQ(hp[k], (k % 2 == 0 ? 1 : -1) * lp[lp.size() - 1 - k]) << k;
      sum += lp[k];
      sq += lp[k] * lp[k];
      cross += lp[k] * hp[k];
      if (k + 2 < lp.size()) shifted += lp[k] * lp[k + 2];
    }
    EXPECT_LE(std::fabs(sum - std::sqrt(2.0L)), 4 * LDBL_EPSILON);
    EXPECT_LE(std::fabs(sq - 1), 4 * LDBL_EPSILON);
    EXPECT_LE(std::fabs(shifted), 4 * LDBL_EPSILON);  // orthogonal to its double shifts
    EXPECT_LE(std::fabs(cross), 4 * LDBL_EPSILON);
  }
  EXPECT_THROW_MSG(w.SetOrder(4), ENUVWaveletError,
                   "Component \"wl\": invalid order of Daubechies wavelet family");
  EXPECT_THROW_MSG(w.SetOrder(0), ENUVWaveletError,
                   "Component \"wl\": invalid order of Daubechies wavelet family");
  EXPECT_EQ(w.Order(), 3);
  EXPECT_EQ(w.CoeffsLP().size(), 6u);
}

TEST(Wavelet1D, PerfectReconstructionAndEnergyWithWrapping) {
  const std::vector<LD> x = RandomSignal(64, 2);
  const LD energy = SumSq(x);
  TWavelet1D w;
  for (int order = 1; order <= 3; ++order) {
    w.SetOrder(order);
    for (int level = 1; level <= 6; ++level) {
      SCOPED_TRACE(testing::Message() << "order " << order << " level " << level);
      Load(w, x);
      w.Transform(level);
      EXPECT_LE(std::fabs(SumSq(Values(w)) - energy), 64 * LDBL_EPSILON * energy);
      const std::vector<LD> coeffs = Values(w);
      // The steps done, undone from the coarsest: len = 64 / 2^(level - 1) .. 64.
      for (int32_t len = 64 >> (level - 1); len <= 64; len *= 2) w.PartialWLT(len, 0, true);
      ExpectClose(Values(w), x, 1e-16L);
      // After the full transform the inverse starts at the coarsest level: k inverse
      // levels leave what 6 - k forward levels give.
      Load(w, x);
      w.Transform(6);
      w.InverseTransform(level);
      std::vector<LD> partial = x;
      if (level < 6) {
        TWavelet1D ref;
        ref.SetOrder(order);
        Load(ref, x);
        ref.Transform(6 - level);
        partial = Values(ref);
      }
      ExpectClose(Values(w), partial, 1e-16L);
      Load(w, coeffs);
    }
    Load(w, x);
    w.Transform(99);
    w.InverseTransform(99);
    ExpectClose(Values(w), x, 1e-16L);
  }
}

TEST(Wavelet1D, ExtensionModesAgainstTheIndexRule) {
  // One step over 16 values at offset 8 of 32, every order, mode and direction.
  const std::vector<LD> x = RandomSignal(32, 3);
  const std::vector<LD> part(x.begin() + 8, x.begin() + 24);
  TWavelet1D w;
  for (int order = 1; order <= 3; ++order)
    for (TWLSigExtMode mode : {wseWrap, wseZeroPad, wseSymmetric})
      for (bool inverse : {false, true}) {
        SCOPED_TRACE(testing::Message()
                     << "order " << order << " mode " << int(mode) << " " << inverse);
        w.SetOrder(order);
        w.SetSigExtMode(mode);
        EXPECT_EQ(w.SignalExtMode(), mode);
        Load(w, x);
        w.PartialWLT(16, 8, inverse);
        const std::vector<LD> got = Values(w);
        ExpectClose(std::vector<LD>(got.begin() + 8, got.begin() + 24),
                    DirectStep(part, w.CoeffsLP(), w.CoeffsHP(), mode, inverse), 1e-17L);
        EXPECT_EQ(std::vector<LD>(got.begin(), got.begin() + 8),
                  std::vector<LD>(x.begin(), x.begin() + 8));
        EXPECT_EQ(std::vector<LD>(got.begin() + 24, got.end()),
                  std::vector<LD>(x.begin() + 24, x.end()));
      }
  // The other modes do not undo a step: zero padding loses the last 2 Order - 2 values
  // (the terms it drops are those that wrap round to them), mirroring the first ones too.
  w.SetOrder(2);
  for (TWLSigExtMode mode : {wseZeroPad, wseSymmetric}) {
    w.SetSigExtMode(mode);
    Load(w, x);
    w.SingleStep(false);
    w.SingleStep(true);
    EXPECT_GT(std::fabs(w.GetDataValExt(32) - x[31]), 1e-3L);
    EXPECT_LT(std::fabs(w.GetDataValExt(16) - x[15]), 1e-17L);
    EXPECT_EQ(std::fabs(w.GetDataValExt(1) - x[0]) > 1e-3L, mode == wseSymmetric);
  }
}

TEST(Wavelet1D, ShortMirroredStepsStayInsideTheirValues) {
  // Order 3 over 2 or 4 values mirrors taps past the last value as well (t = -4 gives 3,
  // which is 0 of 2 values); the values around the step are untouched.
  const std::vector<LD> x = RandomSignal(8, 4);
  TWavelet1D w;
  w.SetOrder(3);
  w.SetSigExtMode(wseSymmetric);
  for (int32_t len : {2, 4})
    for (bool inverse : {false, true}) {
      SCOPED_TRACE(testing::Message() << len << " " << inverse);
      Load(w, x);
      w.PartialWLT(len, 2, inverse);
      const std::vector<LD> got = Values(w);
      const std::vector<LD> part(x.begin() + 2, x.begin() + 2 + len);
      ExpectClose(std::vector<LD>(got.begin() + 2, got.begin() + 2 + len),
                  DirectStep(part, w.CoeffsLP(), w.CoeffsHP(), wseSymmetric, inverse), 1e-17L);
      for (int k : {0, 1}) EXPECT_EQ(got[k], x[k]);
      for (size_t k = 2 + len; k < 8; ++k) EXPECT_EQ(got[k], x[k]);
    }
  // A full transform runs down to 2 values in every mode.
  for (TWLSigExtMode mode : {wseZeroPad, wseSymmetric}) {
    w.SetSigExtMode(mode);
    Load(w, x);
    w.Transform(3);
    w.InverseTransform(3);
    for (LD v : Values(w)) EXPECT_TRUE(std::isfinite(v));
  }
}

TEST(Wavelet1D, SizesRangesAndMemory) {
  TWavelet1D w;
  w.SetName("wl");
  w.SetDataVal(3, 1.5);
  EXPECT_THROW_MSG(w.SetNumData(12), ENUVWaveletError,
                   "Component \"wl\": data length must be power of 2");
  EXPECT_THROW_MSG(w.SetNumData(-8), ENUVWaveletError,
                   "Component \"wl\": data length must be power of 2");
  EXPECT_EQ(w.Size(), 256);
  EXPECT_EQ(w.GetDataVal(3), 1.5);
  w.SetNumData(8);
  EXPECT_EQ(w.Size(), 8);
  EXPECT_EQ(Values(w), std::vector<LD>(8, 0.0L));
  // Steps that do not lie wholly inside the signal change nothing.
  const std::vector<LD> x = RandomSignal(8, 5);
  Load(w, x);
  w.PartialWLT(8, 1, false);
  w.PartialWLT(4, -1, false);
  w.PartialWLT(16, 0, true);
  w.PartialWLT(1, 0, false);
  EXPECT_EQ(Values(w), x);
  w.Clear();
  EXPECT_EQ(Values(w), std::vector<LD>(8, 0.0L));
  // One value: nothing to transform.
  w.SetNumData(1);
  w.SetDataVal(1, 4);
  w.Transform(3);
  w.InverseTransform(3);
  EXPECT_EQ(w.GetDataVal(1), 4.0);
#if !defined(NUV_TEST_UNDER_ASAN)
  {
    nuv_test::ScopedAddressSpaceLimit cap(uint64_t{1} << 32);
    EXPECT_THROW_MSG(w.SetNumData(1 << 30), ENUVWaveletError,
                     "Component \"wl\": not enough memory on heap");
  }
  EXPECT_EQ(w.Size(), 1);
  EXPECT_EQ(w.GetDataVal(1), 4.0);
#endif
}
