#include <cmath>
#include <numeric>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol1;

namespace {

constexpr double kPi = 3.14159265358979323846;

double Sum(const TDoubleArray& k) { return std::accumulate(k.begin(), k.end(), 0.0); }

void ExpectKernel(const TDoubleArray& got, const std::vector<double>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t j = 0; j < want.size(); ++j) EXPECT_NEAR(got[j], want[j], 1e-15) << j;
}

void ExpectCoeffs(double a0, const TMatrix& c, const std::vector<double>& a,
                  const std::vector<double>& b, double tol) {
  EXPECT_NEAR(a0, a[0], tol);
  ASSERT_EQ(c.NrOfColumns(), 2);
  ASSERT_EQ(c.NrOfRows(), static_cast<int32_t>(b.size()));
  for (int32_t r = 1; r <= c.NrOfRows(); ++r) {
    EXPECT_NEAR(c.GetVal(1, r), a[static_cast<size_t>(r)], tol) << r;
    EXPECT_NEAR(c.GetVal(2, r), b[static_cast<size_t>(r - 1)], tol) << r;
  }
}

// The zero-phase recursion evaluated term by term as documented, in long double.
std::vector<double> DirectZeroPhase(const std::vector<double>& x, int low, int high, double a0,
                                    const std::vector<double>& a, const std::vector<double>& b) {
  const int np = static_cast<int>(a.size()), off = np + 1, len = high + 2 * off;
  const int n = static_cast<int>(x.size());
  auto xs = [&](int k) { return k >= 1 && k <= n ? static_cast<long double>(x[k - 1]) : 0.0L; };
  std::vector<long double> y(static_cast<size_t>(len + np + 2), 0), z = y;
  for (int k = 1; k <= len; ++k) {
    long double s = a0 * xs(k - off);
    for (int i = 1; i <= np; ++i)
      s += a[i - 1] * xs(k - i - off) + (k - i >= 1 ? b[i - 1] * y[k - i] : 0.0L);
    y[k] = s;
  }
  for (int k = len; k >= 1; --k) {
    long double s = a0 * y[k];
    for (int i = 1; i <= np; ++i) s += a[i - 1] * y[k + i] + b[i - 1] * z[k + i];
    z[k] = s;
  }
  std::vector<double> out;
  for (int e = low; e <= high; ++e) out.push_back(static_cast<double>(z[e + off]));
  return out;
}

}  // namespace

TEST(SincKernels, ClosedFormsWindowsAndSpectralInversion) {
  // No window, cutoff 1/4: sin(pi d / 2) / d for d = -2..2 with pi / 2 at the centre.
  TDoubleArray k;
  CalcSincLPKernel(5, 0.25, 0, k);
  const double s = 2 + kPi / 2;
  ExpectKernel(k, {0, 1 / s, kPi / 2 / s, 1 / s, 0});
  CalcSincHPKernel(5, 0.25, 0, k);
  ExpectKernel(k, {0, -1 / s, 1 - kPi / 2 / s, -1 / s, 0});
  EXPECT_NEAR(Sum(k), 0, 1e-16);
  // 2 pi fc np.sinc(2 fc d) * np.hamming(N + 2)[1:-1] (np.blackman), normalised; numpy 1.24.2.
  CalcSincLPKernel(9, 0.2, 1, k);
  ExpectKernel(k, {-0.0126419757368433, -0.02469225770876959, 0.06350512994603745,
                   0.27479775117324395, 0.39806270465266297, 0.27479775117324395,
                   0.06350512994603745, -0.02469225770876959, -0.0126419757368433});
  CalcSincLPKernel(8, 0.15, 2, k);  // even length: centre at element 5
  ExpectKernel(k,
               {-0.00285071140070057, 0.01013485679871988, 0.11424911286450633, 0.2934495316066768,
                0.3418589099258048, 0.19437220042339143, 0.04678782288157321, 0.00199827690002801});
  // Spectral inversion adds 1 at the centre, element 5 of an even length.
  TDoubleArray hp8;
  CalcSincHPKernel(8, 0.15, 2, hp8);
  for (size_t j = 0; j < 8; ++j) EXPECT_EQ(hp8[j], (j == 4 ? 1 : 0) - k[j]) << j;
  // Cutoffs are clipped to 0..0.5.
  TDoubleArray half;
  CalcSincLPKernel(11, 0.5, 1, half);
  CalcSincLPKernel(11, 0.7, 1, k);
  EXPECT_EQ(k, half);
  // Band stop = low pass at the lower + high pass at the higher frequency, either order;
  // the band pass is its spectral inversion. DC gains 1 and 0.
  TDoubleArray lp, hp, bs, bp;
  CalcSincLPKernel(15, 0.1, 2, lp);
  CalcSincHPKernel(15, 0.3, 2, hp);
  CalcSincBSKernel(15, 0.3, 0.1, 2, bs);
  CalcSincBPKernel(15, 0.1, 0.3, 2, bp);
  for (size_t j = 0; j < 15; ++j) {
    EXPECT_EQ(bs[j], lp[j] + hp[j]);
    EXPECT_EQ(bp[j], (j == 7 ? 1 : 0) - bs[j]);
  }
  EXPECT_NEAR(Sum(bs), 1, 1e-15);
  EXPECT_NEAR(Sum(bp), 0, 1e-15);
  // The vector forms give the same kernels.
  TVector v;
  int events = 0;
  v.SetOnChange([&](TObject*) { ++events; });
  CalcSincBPKernel(15, 0.1, 0.3, 2, &v);
  EXPECT_EQ(std::vector<double>(v.Data(), v.Data() + 15), bp);
  EXPECT_EQ(events, 2);  // the resizing and the kernel
  CalcSincLPKernel(0, 0.1, 0, k);
  EXPECT_TRUE(k.empty());
  EXPECT_THROW_MSG(CalcSincHPKernel(5, 0.1, 0, static_cast<TVector*>(nullptr)), ENUVMath2Error,
                   "CalcSincHPKernel: Kernel is undefined");
}

TEST(MovingKernelFilter, CorrelatesWithRepeatedRangeEnds) {
  TVector src, dst, ker;
  src.Resize(10);
  for (int k = 1; k <= 10; ++k) src.SetVal(k, k * k);
  ker.Resize(3);
  ker.SetVal(1, 1);
  ker.SetVal(2, 10);
  ker.SetVal(3, 100);
  // Range 3..8: v(e) = x[e - 1] + 10 x[e] + 100 x[e + 1], x clamped to elements 3..8.
  MovingKernelFilter(&src, 8, 3, &dst, &ker);
  EXPECT_EQ(dst.NrOfElem(), 10);
  const double want[] = {9 + 90 + 1600,   9 + 160 + 2500,  16 + 250 + 3600,
                         25 + 360 + 4900, 36 + 490 + 6400, 49 + 640 + 6400};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(dst.GetVal(i + 1), want[i]) << i;
  // The source as destination.
  MovingKernelFilter(&src, 3, 8, &src, &ker);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(src.GetVal(i + 1), want[i]) << i;
  EXPECT_THROW_MSG(MovingKernelFilter(&src, 1, 10, &dst, nullptr), ENUVMath2Error,
                   "MovingKernelfilter: SourceVec, DestVec and/or FilterKernel is undefined");
  EXPECT_THROW_MSG(MovingKernelFilter(&src, 1, 3, &dst, &ker), ENUVMath2Error,
                   "MovingKernelfilter: specified range for smoothing is smaller than the "
                   "length of the kernel");
  EXPECT_NO_THROW(MovingKernelFilter(&src, 1, 4, &dst, &ker));
}

TEST(ChebyshevDesign, PublishedAndPeerCoefficients) {
  TMatrix c;
  double a0 = 0;
  // Butterworth (no ripple), 2 poles at 0.1: scipy.signal.butter(2, 0.2), scipy 1.10.1;
  // our b_i are the negated denominator terms.
  CalcChebFilterCoeffs(2, false, 0.1, 0, a0, &c);
  ExpectCoeffs(a0, c, {0.06745527388907192, 0.13491054777814385, 0.06745527388907192},
               {1.1429805025399011, -0.41280159809618877}, 1e-14);
  CalcChebFilterCoeffs(2, true, 0.1, 0, a0, &c);  // scipy.signal.butter(2, 0.2, 'high')
  ExpectCoeffs(a0, c, {0.6389455251590225, -1.277891050318045, 0.6389455251590225},
               {1.1429805025399011, -0.41280159809618877}, 1e-14);
  CalcChebFilterCoeffs(6, true, 0.3, 0, a0, &c);  // scipy.signal.butter(6, 0.6, 'high')
  ExpectCoeffs(a0, c,
               {0.01031287476266441, -0.06187724857598644, 0.1546931214399661, -0.20625749525328813,
                0.1546931214399661, -0.06187724857598644, 0.01031287476266441},
               {-1.1876006801756145, -1.3052133492885498, -0.6743275252979979, -0.2634693482801379,
                -0.05175303387964128, -0.00502252659508814},
               1e-13);
  // 4 poles, 0.5 % ripple, low pass at 0.1: the published Chebyshev table (S. W. Smith,
  // The Scientist and Engineer's Guide to DSP, chapter 20), six decimals.
  CalcChebFilterCoeffs(4, false, 0.1, 0.5, a0, &c);
  ExpectCoeffs(a0, c, {0.002781, 0.011123, 0.016685, 0.011123, 0.002781},
               {2.764031, -3.122853, 1.664553, -0.350223}, 1.5e-6);
}

TEST(ChebyshevDesign, ChecksInOrder) {
  TMatrix c;
  c.Resize(2, 3);
  double a0 = -1;
  const char* p = "CalcChebFilterCoeffs: ";
  EXPECT_THROW_MSG(CalcChebFilterCoeffs(3, false, 0.7, 40, a0, &c), ENUVMath2Error,
                   std::string(p) + "NPoles must be even");
  for (int np : {0, -2, 22})
    EXPECT_THROW_MSG(CalcChebFilterCoeffs(np, false, 0.7, 40, a0, &c), ENUVMath2Error,
                     std::string(p) + "number of poles out of range");
  for (double r : {-0.1, 29.5, std::nan("")})
    EXPECT_THROW_MSG(CalcChebFilterCoeffs(20, false, 0.7, r, a0, &c), ENUVMath2Error,
                     std::string(p) + "invalid Ripple value");
  for (double f : {-0.01, 0.51, std::nan("")})
    EXPECT_THROW_MSG(CalcChebFilterCoeffs(20, false, f, 29, a0, &c), ENUVMath2Error,
                     std::string(p) + "invalid cutoff frequency");
  EXPECT_THROW_MSG(CalcChebFilterCoeffs(20, false, 0.2, 29, a0, nullptr), ENUVMath2Error,
                   std::string(p) + "Coeffs is undefined");
  EXPECT_EQ(a0, -1);
  EXPECT_EQ(c.NrOfRows(), 3);
  CalcChebFilterCoeffs(20, false, 0.2, 29, a0, &c);
  EXPECT_EQ(c.NrOfRows(), 20);
}

TEST(ChebychevFilter, BothPassesAgainstTheDirectRecursion) {
  std::vector<double> x(50);
  for (int k = 0; k < 50; ++k) x[k] = std::sin(0.9 * k) + ((k * 7) % 5) - 2.0;
  TMatrix c;
  double a0;
  CalcChebFilterCoeffs(4, false, 0.15, 0.5, a0, &c);
  std::vector<double> a, b;
  for (int r = 1; r <= 4; ++r) a.push_back(c.GetVal(1, r)), b.push_back(c.GetVal(2, r));
  TVector src, dst;
  src.Resize(50);
  std::copy(x.begin(), x.end(), src.Data());
  dst.Resize(50);
  dst.Fill(-7);
  // Clipped to 5..50; the passes start at element 1 and DestVec is indexed by e itself.
  ChebychevFilter(&src, 60, 5, &dst, a0, &c);
  const std::vector<double> want = DirectZeroPhase(x, 5, 50, a0, a, b);
  for (int e = 1; e <= 4; ++e) EXPECT_EQ(dst.GetVal(e), -7);
  for (int e = 5; e <= 50; ++e) EXPECT_NEAR(dst.GetVal(e), want[e - 5], 1e-12) << e;
  // In place, and into a shorter destination.
  ChebychevFilter(&src, 5, 50, &src, a0, &c);
  for (int e = 5; e <= 50; ++e) EXPECT_EQ(src.GetVal(e), dst.GetVal(e)) << e;
  TVector shortDst;
  shortDst.Resize(20);
  std::copy(x.begin(), x.end(), src.Data());
  ChebychevFilter(&src, 5, 50, &shortDst, a0, &c);
  for (int e = 5; e <= 20; ++e) EXPECT_EQ(shortDst.GetVal(e), dst.GetVal(e)) << e;
  EXPECT_THROW_MSG(ChebychevFilter(&src, 1, 50, &dst, a0, nullptr), ENUVMath2Error,
                   "ChebychevFilter: SourceVec, DestVec and/or Coeffs is undefined");
}
