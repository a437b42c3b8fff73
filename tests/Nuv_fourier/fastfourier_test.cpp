#include <cmath>
#include <vector>

#include "Nuv_fourier/Nuv_fourier.h"
#include "common/memory_limit.h"
#include "common/test_util.h"

using namespace nuv;

namespace {

constexpr double kPi = 3.14159265358979323846;

void Load(TFastFourier& f, int32_t n, double (*re)(int), double (*im)(int)) {
  f.SetNumData(n);
  for (int k = 0; k < n; ++k) {
    f.SetRealVal(k + 1, re(k));
    f.SetImagVal(k + 1, im(k));
  }
}

double Zero(int) { return 0; }

// Direct DFT in long double: X[n] = sum x[k] exp(sign 2 pi i k n / N).
std::vector<long double> DirectDft(const std::vector<double>& x, int sign) {
  const size_t n = x.size() / 2;
  std::vector<long double> c(n), s(n), out(2 * n, 0);
  for (size_t j = 0; j < n; ++j) {
    const long double a = 2 * 3.141592653589793238462643383279503L * j / n;
    c[j] = std::cos(a);
    s[j] = sign * std::sin(a);
  }
  for (size_t m = 0; m < n; ++m) {
    long double re = 0, im = 0;
    for (size_t k = 0; k < n; ++k) {
      const size_t j = (k * m) % n;
      re += x[2 * k] * c[j] - x[2 * k + 1] * s[j];
      im += x[2 * k] * s[j] + x[2 * k + 1] * c[j];
    }
    out[2 * m] = re;
    out[2 * m + 1] = im;
  }
  return out;
}

}  // namespace

TEST(FastFourier, WorkedExamples) {
  TFastFourier f;
  EXPECT_EQ(f.SpectrumSize(), 256);
  EXPECT_EQ(f.WeightingWindow(), fwRectangle);
  EXPECT_EQ(f.GetWgtVal(1), 1.0);
  EXPECT_EQ(f.GetWgtVal(256), 1.0);
  // A constant 1: line 0 holds 8.
  Load(
      f, 8, [](int) { return 1.0; }, Zero);
  f.Transform();
  EXPECT_EQ(f.GetRealVal(1), 8.0);
  for (int ix = 2; ix <= 8; ++ix) EXPECT_NEAR(f.GetRealVal(ix), 0, 1e-15) << ix;
  EXPECT_EQ(f.GetPowerSpec(0), 8.0);
  EXPECT_EQ(f.GetMagnitude(0), 1.0);
  EXPECT_EQ(f.GetFSerCos(0), 1.0);
  // cos(2 pi k / 8): lines 1 and 7 hold 4.
  Load(
      f, 8, [](int k) { return std::cos(2 * kPi * k / 8); }, Zero);
  f.Transform();
  EXPECT_NEAR(f.GetRealVal(2), 4, 1e-15);
  EXPECT_NEAR(f.GetRealVal(8), 4, 1e-15);
  EXPECT_NEAR(f.GetFSerCos(1), 1, 1e-15);
  EXPECT_NEAR(f.GetMagnitude(1), 1, 1e-15);
  EXPECT_NEAR(f.GetPowerSpec(1), 4, 1e-14);
  // sin(2 pi k / 8) with the positive exponent: +4i at line 1, -4i at line 7.
  Load(
      f, 8, [](int k) { return std::sin(2 * kPi * k / 8); }, Zero);
  f.Transform();
  EXPECT_NEAR(f.GetImagVal(2), 4, 1e-15);
  EXPECT_NEAR(f.GetImagVal(8), -4, 1e-15);
  EXPECT_NEAR(f.GetFSerSin(1), 1, 1e-15);
  // re(1) is rounding noise, so arctan(im / re) is +-pi/2 by its sign.
  EXPECT_NEAR(std::fabs(f.GetPhase(1)), kPi / 2, 1e-15);
  // The inverse restores the samples.
  f.InverseTransform();
  for (int k = 0; k < 8; ++k) {
    EXPECT_NEAR(f.GetRealVal(k + 1), std::sin(2 * kPi * k / 8), 1e-15);
    EXPECT_NEAR(f.GetImagVal(k + 1), 0, 1e-15);
  }
}

TEST(FastFourier, NyquistLineCountedOnce) {
  // 3 (-1)^k has all its power in line N/2: X[N/2] = 3N.
  TFastFourier f;
  Load(
      f, 16, [](int k) { return k % 2 == 0 ? 3.0 : -3.0; }, Zero);
  f.Transform();
  EXPECT_NEAR(f.GetFSerCos(8), 3, 1e-15);
  EXPECT_EQ(f.GetFSerSin(8), 0);
  EXPECT_NEAR(f.GetMagnitude(8), 3, 1e-15);
  EXPECT_NEAR(f.GetPowerSpec(8), 9 * 16, 1e-12);
  EXPECT_NEAR(f.RMS(0, 8), 3, 1e-15);
  EXPECT_NEAR(f.RMS(20, -4), 3, 1e-15);    // clipped to 0..8 and ordered
  EXPECT_NEAR(f.GetMaxMagni(), 3, 1e-15);  // the Nyquist line counts for MagniMax ...
  EXPECT_NEAR(f.GetMaxPower(), 0, 1e-20);  // ... but not for PowerMax
  // Parseval over lines 0..N/2 for an arbitrary complex signal: the RMS of the samples.
  Load(
      f, 32, [](int k) { return std::sin(1.3 * k) + 0.25 * k; },
      [](int k) { return std::cos(0.7 * k * k); });
  double sq = 0;
  for (int ix = 1; ix <= 32; ++ix)
    sq += f.GetRealVal(ix) * f.GetRealVal(ix) + f.GetImagVal(ix) * f.GetImagVal(ix);
  f.Transform();
  EXPECT_REL_NEAR(f.RMS(0, 16), std::sqrt(sq / 32), 1e-15);
  double power = 0;
  for (int ix = 0; ix <= 16; ++ix) power += f.GetPowerSpec(ix);
  EXPECT_REL_NEAR(power, sq, 1e-14);
  EXPECT_EQ(f.GetPowerSpec(17), 0.0);
  EXPECT_EQ(f.GetPowerSpec(-1), 0.0);
}

TEST(FastFourier, AgainstTheDirectTransformForEverySize) {
  TFastFourier f;
  for (int32_t n = 1; n <= 4096; n *= 2) {
    std::vector<double> x(2 * static_cast<size_t>(n));
    for (size_t k = 0; k < x.size(); ++k) x[k] = std::sin(0.37 * k * k + 1.1) + 0.01 * k;
    for (int sign : {1, -1}) {
      SCOPED_TRACE(testing::Message() << "N " << n << " sign " << sign);
      f.SetNumData(n);
      for (int32_t k = 0; k < n; ++k) {
        f.SetRealVal(k + 1, x[2 * k]);
        f.SetImagVal(k + 1, x[2 * k + 1]);
      }
      if (sign > 0)
        f.Transform();
      else
        f.InverseTransform();
      const std::vector<long double> want = DirectDft(x, sign);
      const long double scale = sign > 0 ? 1 : 1.0L / n;
      long double err = 0, norm = 0;
      for (int32_t k = 0; k < n; ++k) {
        const long double dr = f.GetRealVal(k + 1) - want[2 * k] * scale;
        const long double di = f.GetImagVal(k + 1) - want[2 * k + 1] * scale;
        err += dr * dr + di * di;
        norm += want[2 * k] * want[2 * k] + want[2 * k + 1] * want[2 * k + 1];
      }
      const double rel = static_cast<double>(std::sqrt(err / (norm * scale * scale)));
      EXPECT_LT(rel, 2e-16 * (1 + std::log2(n)));
    }
  }
}

TEST(FastFourier, WindowWeights) {
  // Transform then InverseTransform leaves the weighted samples. Weights for N = 8 from the
  // closed forms, evaluated by Python 3 (math module) for j = 1..8.
  const std::vector<std::pair<TFastFourierWgtWin, std::vector<double>>> windows = {
      {fwTriangle, {0.25, 0.5, 0.75, 1, 1, 0.75, 0.5, 0.25}},
      {fwCos2,
       {0.1464466094067263, 0.5000000000000001, 0.8535533905932737, 1.0, 0.8535533905932737,
        0.5000000000000001, 0.1464466094067263, 3.749399456654644e-33}},
      {fwGauss,
       {0.07955950871822769, 0.32465246735834974, 0.7548396019890073, 1.0, 0.7548396019890073,
        0.32465246735834974, 0.07955950871822769, 0.011108996538242306}},
      {fwHamming,
       {0.22066864359402483, 0.543478261, 0.8662878784059751, 1.0, 0.8662878784059751, 0.543478261,
        0.22066864359402483, 0.08695652199999998}},
      {fwBlackman,
       {0.07546905673400799, 0.3497420000000001, 0.7777109432659921, 0.999998, 0.7777109432659921,
        0.3497420000000001, 0.07546905673400799, 0.006878000000000023}},
      {fwBlkmHarris,
       {0.021735837018679628, 0.21747000000000008, 0.6957641629813204, 1.0, 0.6957641629813204,
        0.21747000000000008, 0.021735837018679628, 6.0000000000001025e-05}},
      {fwBlkmNuttall,
       {0.025205566515401824, 0.22698240000000006, 0.7019582334845982, 1.0, 0.7019582334845982,
        0.22698240000000006, 0.025205566515401824, 0.0003628000000000381}},
      {fwUserDef, {2, -1, 0.5, 3, 0, 1, 7, -2}},
      {fwRectangle, {1, 1, 1, 1, 1, 1, 1, 1}}};
  TFastFourier f;
  f.SetNumData(8);
  for (const auto& [win, w] : windows) {
    SCOPED_TRACE(win);
    f.SetWgtWin(win);
    EXPECT_EQ(f.WeightingWindow(), win);
    for (int j = 1; j <= 8; ++j) {
      f.SetWgtVal(j, windows[7].second[j - 1]);
      f.SetRealVal(j, 1.5 + j);
      f.SetImagVal(j, -2.0 * j);
    }
    f.Transform();
    f.InverseTransform();
    for (int j = 1; j <= 8; ++j) {
      EXPECT_NEAR(f.GetRealVal(j), (1.5 + j) * w[j - 1], 1e-14) << j;
      EXPECT_NEAR(f.GetImagVal(j), -2.0 * j * w[j - 1], 1e-14) << j;
    }
  }
  // The window weights the held samples: a second Transform weights them again.
  f.SetWgtWin(fwTriangle);
  for (int j = 1; j <= 8; ++j) f.SetRealVal(j, 1), f.SetImagVal(j, 0);
  f.Transform();
  f.InverseTransform();
  f.Transform();
  f.InverseTransform();
  EXPECT_NEAR(f.GetRealVal(1), 0.0625, 1e-15);
}

TEST(FastFourier, CachedExtremesAndTheirInvalidation) {
  TFastFourier f;
  Load(
      f, 8, [](int k) { return k - 2.5; }, [](int k) { return k % 3 - 1.0; });
  EXPECT_EQ(f.GetMaxReal(), 4.5);
  EXPECT_EQ(f.GetMinReal(), -2.5);
  EXPECT_EQ(f.GetMaxImag(), 1.0);
  EXPECT_EQ(f.GetMinImag(), -1.0);
  f.SetRealVal(3, 9);  // a written sample
  EXPECT_EQ(f.GetMaxReal(), 9.0);
  f.SetImagVal(8, -4);
  EXPECT_EQ(f.GetMinImag(), -4.0);
  f.SetRealVal(9, 100);  // outside: ignored, cache kept
  EXPECT_EQ(f.GetMaxReal(), 9.0);
  f.ClearReal();
  EXPECT_EQ(f.GetMaxReal(), 0.0);
  EXPECT_EQ(f.GetMinImag(), -4.0);
  f.ClearImag();
  EXPECT_EQ(f.GetMinImag(), 0.0);
  f.SetRealVal(1, 1);
  EXPECT_EQ(f.GetMaxPower(), 0.0);
  f.Transform();  // a constant 1: every line holds 1
  EXPECT_EQ(f.GetMinReal(), 1.0);
  EXPECT_REL_NEAR(f.GetMaxPower(), 2.0 / 8, 1e-15);
  EXPECT_REL_NEAR(f.GetMaxMagni(), 2.0 / 8, 1e-15);
  f.InverseTransform();
  EXPECT_EQ(f.GetMaxReal(), 1.0);
  f.Clear();
  EXPECT_EQ(f.GetMaxReal(), 0.0);
  f.SetRealVal(2, -HUGE_VAL);  // infinities are reported, NaN never
  f.SetRealVal(3, std::nan(""));
  EXPECT_EQ(f.GetMinReal(), -HUGE_VAL);
  f.SetNumData(16);
  EXPECT_EQ(f.GetMinReal(), 0.0);
}

TEST(FastFourier, SizesLinesAndFrequencies) {
  TFastFourier f;
  f.SetName("fft");
  f.SetRealVal(5, 2);
  EXPECT_THROW_MSG(f.SetNumData(100), ENUVFourierError,
                   "Component \"fft\": data length must be power of 2");
  EXPECT_THROW_MSG(f.SetNumData(0), ENUVFourierError,
                   "Component \"fft\": data length must be power of 2");
  EXPECT_EQ(f.SpectrumSize(), 256);
  EXPECT_EQ(f.GetRealVal(5), 2.0);
  f.SetNumData(512);
  EXPECT_EQ(f.SpectrumSize(), 512);
  EXPECT_EQ(f.GetRealVal(5), 0.0);
  EXPECT_EQ(f.GetWgtVal(1), 0.0);  // 0 after resizing, unlike the 1 after creation
  EXPECT_EQ(f.GetRealVal(0), 0.0);
  EXPECT_EQ(f.GetImagVal(513), 0.0);
  // Lines of N = 512 samples 1 ms apart: line k is k / 0.512 Hz, Nyquist 500 Hz.
  EXPECT_REL_NEAR(f.FreqOfLine(256, 0.001), 500.0, 1e-15);
  EXPECT_EQ(f.FreqOfLine(0, 0.001), 0.0);
  EXPECT_EQ(f.FreqOfLine(257, 0.001), 0.0);
  EXPECT_EQ(f.LineOfFreq(500, 0.001), 256);
  EXPECT_EQ(f.LineOfFreq(501, 0.001), 0);
  EXPECT_EQ(f.LineOfFreq(0.5, 0.001), 0);
  EXPECT_EQ(f.LineOfFreq(std::nan(""), 0.001), 0);
  // 512 f T = 2.5 and 3.5: ties go to the even line.
  EXPECT_EQ(f.LineOfFreq(2.5 / 0.512, 0.001), 2);
  EXPECT_EQ(f.LineOfFreq(3.5 / 0.512, 0.001), 4);
  // arctan(im / re), not the four-quadrant angle.
  f.SetRealVal(4, -1);
  f.SetImagVal(4, 1);
  EXPECT_NEAR(f.GetPhase(3), -kPi / 4, 1e-15);
  f.SetRealVal(4, 0);
  EXPECT_NEAR(f.GetPhase(3), kPi / 2, 1e-15);
  f.SetImagVal(4, 0);
  EXPECT_NEAR(f.GetPhase(3), -kPi / 2, 1e-15);
  // One sample: line 0 only.
  f.SetNumData(1);
  f.SetRealVal(1, 3);
  f.SetImagVal(1, -4);
  f.Transform();
  EXPECT_EQ(f.GetRealVal(1), 3.0);
  EXPECT_EQ(f.GetMagnitude(0), 5.0);
  EXPECT_EQ(f.RMS(0, 0), 5.0);
}

TEST(FastFourier, SizesThatCannotBeHad) {
  NUV_SKIP_WITHOUT_MEMORY_LIMIT();
  TFastFourier f;
  f.SetRealVal(1, 7);
  {
    nuv_test::ScopedAddressSpaceLimit cap(uint64_t{1} << 32);
    EXPECT_THROW_MSG(f.SetNumData(1 << 30), ENUVFourierError,
                     "Component \"\": not enough memory on heap");
  }
  EXPECT_EQ(f.SpectrumSize(), 256);
  EXPECT_EQ(f.GetRealVal(1), 7.0);
}
