#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol1;

namespace {

using TSmoothFn = void (*)(const TVector*, int32_t, int32_t, TVector*, int32_t);

void Fill(TVector& v, const std::vector<double>& x) {
  v.Resize(static_cast<int32_t>(x.size()));
  std::copy(x.begin(), x.end(), v.Data());
}

std::vector<double> Values(const TVector& v) {
  return std::vector<double>(v.Data(), v.Data() + v.NrOfElem());
}

// sin(0.7 k) + 0.05 k^2 - 0.3 ((7919 k) mod 13), k = 1..30, to 17 digits (numpy 1.24.2).
const std::vector<double> kSignal = {
    9.4217687237691083e-02,  -1.4550270011539856e-02, -4.8679063335112582e-01,
    -1.2650118498440948e+00, -2.1007832276896199e+00, -2.6715757724135871e+00,
    1.1675473873756674e+00,  1.6687333621276790e+00,  2.5668139004843491e+00,
    3.5569865987187890e+00,  4.3381682338770009e+00,  4.7545989080882824e+00,
    8.7690983623493537e+00,  8.8335208707480746e+00,  9.1703042400283312e+00,
    1.0020822270848683e+01,  1.1431862887762966e+01,  1.3233623047221137e+01,
    1.5119569762196603e+01,  2.0690607355694869e+01,  2.1995746831142938e+01,
    2.3003118356745706e+01,  2.3967928582815997e+01,  2.5212432966418501e+01,
    2.6974373994531842e+01,  3.3195167177593717e+01,  3.5900422687806810e+01,
    3.8681963620068132e+01,  4.1242766405835916e+01,  4.3436655638536060e+01};

}  // namespace

TEST(GolayTables, EveryEntryIsTheReducedClosedForm) {
  for (int r = 0; r < 11; ++r) {
    SCOPED_TRACE(r);
    const int64_t m = r + 2;
    // Smoothing: ci / N = (3m^2 + 3m - 1 - 5i^2) / D, D = (2m + 3)(2m + 1)(2m - 1) / 3.
    const int64_t d = (2 * m + 3) * (2 * m + 1) * (2 * m - 1) / 3;
    // Second derivative: ci / N = 2 (3 i^2 - m(m + 1)) (2m + 1) / (3 ((2m + 1) S4 - S2^2)).
    int64_t s2 = 0, s4 = 0;
    for (int64_t k = -m; k <= m; ++k) s2 += k * k, s4 += k * k * k * k;
    const int64_t d2 = 3 * ((2 * m + 1) * s4 - s2 * s2);
    int64_t g1 = GolayPoly[r][0], g2 = Golay2ndDeriv[r][0];
    for (int64_t i = 0; i <= m; ++i) {
      const int64_t c = GolayPoly[r][1 + i], c2 = Golay2ndDeriv[r][1 + i];
      EXPECT_EQ(c * d, (3 * m * m + 3 * m - 1 - 5 * i * i) * GolayPoly[r][0]) << i;
      EXPECT_EQ(c2 * d2, 2 * (3 * i * i - m * (m + 1)) * (2 * m + 1) * Golay2ndDeriv[r][0]) << i;
      g1 = std::gcd(g1, c);
      g2 = std::gcd(g2, c2);
    }
    EXPECT_EQ(g1, 1);
    EXPECT_EQ(g2, 1);
    for (int e = static_cast<int>(m) + 2; e < 14; ++e) {
      EXPECT_EQ(GolayPoly[r][e], 0);
      EXPECT_EQ(Golay2ndDeriv[r][e], 0);
    }
    EXPECT_EQ(Golay1stDerivDiv[r], s2);
  }
}

TEST(MovingWindow, MeanAndTriangleWithEdgeFilling) {
  TVector src, dst;
  Fill(src, {1, 2, 3, 4, 5});
  dst.Resize(5);
  MovingAverageSmooth(&src, 1, 5, &dst, 3);
  EXPECT_EQ(Values(dst), (std::vector<double>{2, 2, 3, 4, 4}));

  // Triangle 1 2 3 2 1 / 9; np.convolve(x, [1, 2, 3, 2, 1], 'valid')[:3] / 9, numpy 1.24.2.
  Fill(src, kSignal);
  dst.Resize(30);
  WeightedAverageSmooth(&src, 1, 30, &dst, 5);
  const double tri[] = {-0.6695624089129528, -1.295145479337656, -1.4994186859510756};
  for (int i = 0; i < 3; ++i) EXPECT_REL_NEAR(dst.GetVal(i + 3), tri[i], kTol1);
  EXPECT_EQ(dst.GetVal(1), dst.GetVal(3));
  EXPECT_EQ(dst.GetVal(2), dst.GetVal(3));
  EXPECT_EQ(dst.GetVal(30), dst.GetVal(28));
}

TEST(MovingWindow, SavitzkyGolayAgainstScipy) {
  TVector src, dst;
  Fill(src, kSignal);
  dst.Resize(30);
  // scipy.signal.savgol_filter(x, 7, 2, deriv=d)[3:8] and [20:23], scipy 1.10.1.
  const double want[3][8] = {
      {-1.6648778281740602, -1.8852906785491483, -1.2975870212473593, -0.04905143949766544,
       1.5366077965997487, 21.738236433352522, 23.34881497304082, 23.628934353768802},
      {-0.13243051781173784, 0.248284393403634, 0.6534512371612595, 1.0050535263063523,
       1.1847587728597608, 1.9980592285672043, 1.6635802025045014, 1.7742945857909698},
      {0.4555141513229858, 0.6781859818598145, 0.5687173082443407, 0.23329074823163148,
       -0.1593117209798538, -0.6389020093736986, -0.46270906869565387, 0.6883453420401486}};
  const TSmoothFn fns[3] = {PolynomialSmooth, FirstDeriv, SecondDeriv};
  for (int d = 0; d < 3; ++d) {
    SCOPED_TRACE(d);
    fns[d](&src, 1, 30, &dst, 7);
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(dst.GetVal(4 + i), want[d][i], 1e-13);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(dst.GetVal(21 + i), want[d][5 + i], 1e-13);
  }
}

TEST(MovingWindow, SavitzkyGolayExactOnQuadraticsForEveryWidth) {
  // x = 3k^2 - 7k + 11: smoothing reproduces x, the first derivative is 6k - 7 and the
  // second 6, exactly (integer sums, exact quotients).
  TVector src, dst;
  src.Resize(40);
  for (int k = 1; k <= 40; ++k) src.SetVal(k, 3.0 * k * k - 7.0 * k + 11);
  dst.Resize(34);
  for (int w = 5; w <= 25; w += 2) {
    SCOPED_TRACE(w);
    const int h = w / 2, low = 4, high = 37;  // results for k = low + h .. high - h
    PolynomialSmooth(&src, low, high, &dst, w);
    for (int k = low + h; k <= high - h; ++k) ASSERT_EQ(dst.GetVal(k - low + 1), src.GetVal(k));
    EXPECT_EQ(dst.GetVal(1), dst.GetVal(h + 1));
    EXPECT_EQ(dst.GetVal(34), dst.GetVal(34 - h));
    EXPECT_NE(dst.GetVal(34 - h), dst.GetVal(34 - h - 1));
    FirstDeriv(&src, low, high, &dst, w);
    for (int k = low + h; k <= high - h; ++k) ASSERT_EQ(dst.GetVal(k - low + 1), 6.0 * k - 7);
    SecondDeriv(&src, low, high, &dst, w);
    for (int k = low + h; k <= high - h; ++k) ASSERT_EQ(dst.GetVal(k - low + 1), 6.0);
  }
}

TEST(MovingWindow, MedianIsTheVectorsSecondQuartile) {
  // Duplicates, both zeros, infinities and NaN (which the quartiles order last).
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = HUGE_VAL;
  std::vector<double> x;
  for (int k = 0; k < 200; ++k) x.push_back(static_cast<double>((k * 37) % 11) - 5);
  x[20] = x[23] = x[24] = nan;
  x[60] = -inf;
  x[61] = inf;
  x[90] = -0.0;
  TVector src, dst, win;
  Fill(src, x);
  dst.Resize(200);
  for (int w : {3, 5, 9, 25}) {
    SCOPED_TRACE(w);
    MovingMedianSmooth(&src, 1, 200, &dst, w);
    const int h = w / 2;
    for (int e = h + 1; e <= 200 - h; ++e) {
      double q1, q2, q3;
      src.Quartiles(e - h, e + h, q1, q2, q3);
      if (std::isnan(q2))
        ASSERT_TRUE(std::isnan(dst.GetVal(e))) << e;
      else
        ASSERT_EQ(dst.GetVal(e), q2) << e;
    }
  }
}

TEST(MovingWindow, ChecksInOrderWithExactMessages) {
  TVector src, dst;
  src.Resize(10);
  dst.Resize(10);
  EXPECT_THROW_MSG(MovingAverageSmooth(nullptr, 1, 10, &dst, 3), ENUVMath2Error,
                   "MovingAverageSmooth: either SourceVec or DestVec is undefined");
  // The absent vector is reported before the range and the width.
  EXPECT_THROW_MSG(FirstDeriv(&src, 1, 1, nullptr, 4), ENUVMath2Error,
                   "FirstDeriv: either SourceVec or DestVec is undefined");
  // Bounds are clipped into 1..10 and ordered; a range of exactly WinWidth elements is too
  // narrow, one more element passes. (0, 0) is not "all" here.
  EXPECT_THROW_MSG(WeightedAverageSmooth(&src, 0, 0, &dst, 3), ENUVMath2Error,
                   "WeightedAverageSmooth: specified range for smoothing is smaller than the "
                   "length of the smoothing windows");
  EXPECT_THROW_MSG(MovingMedianSmooth(&src, 14, 4, &dst, 7), ENUVMath2Error,
                   "MovingMedianSmooth: specified range for smoothing is smaller than the "
                   "length of the smoothing windows");
  EXPECT_NO_THROW(MovingMedianSmooth(&src, 14, 3, &dst, 7));
  EXPECT_THROW_MSG(SecondDeriv(&src, -5, 5, &dst, 5), ENUVMath2Error,
                   "SecondDeriv: specified range for smoothing is smaller than the length of "
                   "the polynomial");
  EXPECT_THROW_MSG(FirstDeriv(&src, 1, 5, &dst, 5), ENUVMath2Error,
                   "FirstDeriv: specified range for calculation is smaller than the length of "
                   "the polynomial");
  // The width limits are tested before oddness.
  src.Resize(40);
  EXPECT_THROW_MSG(PolynomialSmooth(&src, 1, 40, &dst, 27), ENUVMath2Error,
                   "PolynomialSmooth: length of polynomial is out of range");
  EXPECT_THROW_MSG(PolynomialSmooth(&src, 1, 40, &dst, 4), ENUVMath2Error,
                   "PolynomialSmooth: length of polynomial is out of range");
  EXPECT_THROW_MSG(PolynomialSmooth(&src, 1, 40, &dst, 6), ENUVMath2Error,
                   "PolynomialSmooth: length of polynomial must be odd");
  EXPECT_THROW_MSG(MovingAverageSmooth(&src, 1, 40, &dst, 2), ENUVMath2Error,
                   "MovingAverageSmooth: length of smoothing window is out of range");
  EXPECT_THROW_MSG(MovingAverageSmooth(&src, 1, 40, &dst, 4), ENUVMath2Error,
                   "MovingAverageSmooth: length of smoothing window must be odd");
  EXPECT_THROW_MSG(WeightedAverageSmooth(&src, 1, 40, &dst, 30), ENUVMath2Error,
                   "WeightedAverageSmooth: length of smoothing window must be odd");
}

TEST(MovingWindow, InPlaceShortDestinationAndOneEvent) {
  TVector src, dst;
  Fill(src, kSignal);
  dst.Resize(30);
  PolynomialSmooth(&src, 1, 30, &dst, 9);
  const std::vector<double> want = Values(dst);
  // The source itself as destination gives the same values.
  TVector same;
  Fill(same, kSignal);
  int events = 0;
  same.SetOnChange([&](TObject*) { ++events; });
  PolynomialSmooth(&same, 1, 30, &same, 9);
  EXPECT_EQ(Values(same), want);
  EXPECT_EQ(events, 1);
  // A destination shorter than the range keeps its size and receives the leading values.
  TVector shortDst;
  shortDst.Resize(12);
  PolynomialSmooth(&src, 1, 30, &shortDst, 9);
  EXPECT_EQ(Values(shortDst), std::vector<double>(want.begin(), want.begin() + 12));
}
