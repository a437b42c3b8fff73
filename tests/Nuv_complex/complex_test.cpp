#include <cmath>
#include <limits>
#include <thread>

#include "Nuv_complex/Nuv_complex.h"
#include "common/test_util.h"

using namespace nuv;

namespace {

constexpr Extended kPiL = 3.141592653589793238462643383279502884L;
constexpr Extended kEpsL = std::numeric_limits<Extended>::epsilon();

// |got - want| <= tol * max(1, |want|) in extended precision.
::testing::AssertionResult NearL(Extended got, Extended want, Extended tol) {
  const Extended scale = std::fabs(want) > 1.0L ? std::fabs(want) : 1.0L;
  if (std::fabs(got - want) <= tol * scale) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << static_cast<double>(got) << " vs "
                                       << static_cast<double>(want);
}

::testing::AssertionResult CpxNear(const TComplex& got, const TComplex& want, Extended tol) {
  auto r = NearL(got.re, want.re, tol);
  if (!r) return r << " (re)";
  auto i = NearL(got.im, want.im, tol);
  if (!i) return i << " (im)";
  return ::testing::AssertionSuccess();
}

// Restores the default tolerance after each test that changes it.
class ComplexTolerance : public ::testing::Test {
 protected:
  void TearDown() override { CpxNearZero = 1e-15L; }
};

}  // namespace

TEST(Complex, ConstantsAndConstruction) {
  EXPECT_EQ(COMPLEX_0.re, 0.0L);
  EXPECT_EQ(COMPLEX_0.im, 0.0L);
  EXPECT_EQ(COMPLEX_1.re, 1.0L);
  EXPECT_EQ(COMPLEX_1.im, 0.0L);
  const TComplex z = Cpx(2.385L, -1.25L);
  EXPECT_EQ(z.re, 2.385L);
  EXPECT_EQ(z.im, -1.25L);
  EXPECT_EQ(CpxNearZero, 1e-15L);
}

TEST(Complex, ArithmeticClosedForms) {
  const TComplex a = Cpx(1, 2), b = Cpx(3, 4);
  EXPECT_TRUE(CpxIsEqual(CpxAdd(a, b), Cpx(4, 6)));
  EXPECT_TRUE(CpxIsEqual(CpxSub(a, b), Cpx(-2, -2)));
  EXPECT_TRUE(CpxIsEqual(CpxNeg(a), Cpx(-1, -2)));
  EXPECT_TRUE(CpxIsEqual(CpxConj(a), Cpx(1, -2)));
  // (1 + 2i)(3 + 4i) = 3 - 8 + (4 + 6)i.
  EXPECT_TRUE(CpxIsEqual(CpxMult(a, b), Cpx(-5, 10)));
  // (1 + 2i)/(3 + 4i) = (1 + 2i)(3 - 4i)/25 = (11 + 2i)/25 = 0.44 + 0.08i.
  EXPECT_TRUE(CpxNear(CpxDiv(a, b), Cpx(0.44L, 0.08L), 2 * kEpsL));
  // i * i = -1, 1 / i = -i.
  const TComplex i = Cpx(0, 1);
  EXPECT_TRUE(CpxIsEqual(CpxMult(i, i), Cpx(-1, 0)));
  EXPECT_TRUE(CpxIsEqual(CpxDiv(COMPLEX_1, i), Cpx(0, -1)));
  EXPECT_EQ(CpxAbs(b), 5.0L);
  EXPECT_EQ(CpxAbsSqr(b), 25.0L);
  // z * conj z = |z|^2 exactly for small integers.
  const TComplex z = Cpx(-7, 24);
  EXPECT_TRUE(CpxIsEqual(CpxMult(z, CpxConj(z)), Cpx(625, 0)));
  EXPECT_EQ(CpxAbs(z), 25.0L);
  // Extended precision: 1/3 keeps 64 significant bits.
  const TComplex third = CpxDiv(COMPLEX_1, Cpx(3, 0));
  EXPECT_TRUE(NearL(third.re, 1.0L / 3.0L, 0.0L));
}

TEST(Complex, AbsWithoutOverflow) {
  // |(1e3000, 1e3000)| = sqrt 2 * 1e3000 although the squares overflow;
  // |(3e-3000, 4e-3000)| = 5e-3000 although they underflow.
  EXPECT_TRUE(NearL(CpxAbs(Cpx(1e3000L, 1e3000L)) / 1e3000L,
                    1.414213562373095048801688724209698L, 4 * kEpsL));
  EXPECT_TRUE(NearL(CpxAbs(Cpx(3e-3000L, 4e-3000L)) / 1e-3000L, 5.0L, 4 * kEpsL));
  EXPECT_EQ(CpxAbs(COMPLEX_0), 0.0L);
  EXPECT_EQ(CpxAbs(Cpx(-std::numeric_limits<Extended>::infinity(), 1)),
            std::numeric_limits<Extended>::infinity());
}

TEST(Complex, DivisionFailures) {
  EXPECT_THROW_MSG(CpxDiv(Cpx(1, 0), COMPLEX_0), ENUVComplexError, "CpxDiv: division by zero");
  EXPECT_THROW_MSG(CpxDiv(COMPLEX_0, COMPLEX_0), ENUVComplexError, "CpxDiv: division by zero");
  // The squares of the divisor underflow to 0.
  EXPECT_THROW_MSG(CpxDiv(COMPLEX_1, Cpx(1e-3000L, 1e-3000L)), ENUVComplexError,
                   "CpxDiv: division by zero");
  // Finite operands, quotient beyond the extended range.
  EXPECT_THROW_MSG(CpxDiv(Cpx(1e4000L, 0), Cpx(1e-2000L, 0)), ENUVComplexError,
                   "CpxDiv: division by zero");
  // NaN operands with a nonzero divisor give NaN, they do not raise.
  const TComplex q = CpxDiv(Cpx(std::numeric_limits<Extended>::quiet_NaN(), 0), Cpx(2, 0));
  EXPECT_TRUE(std::isnan(q.re));
  try {
    CpxDiv(COMPLEX_1, COMPLEX_0);
    ADD_FAILURE() << "no exception";
  } catch (const ENUVError&) {
    // the unit's class derives from the library root
  }
}

TEST_F(ComplexTolerance, ComparisonsAndTolerance) {
  const TComplex tiny = Cpx(1e-16L, -1e-16L);
  EXPECT_TRUE(CpxIsZero(tiny));
  EXPECT_FALSE(CpxIsEqual(tiny, COMPLEX_0));
  EXPECT_TRUE(CpxIsNearEqual(tiny, COMPLEX_0));
  EXPECT_FALSE(CpxIsZero(Cpx(1e-16L, 2e-15L)));
  // Strict: a difference of exactly the tolerance is not near.
  const Extended tol = CpxNearZero;
  EXPECT_FALSE(CpxIsNearEqual(Cpx(tol, 0), COMPLEX_0));
  EXPECT_FALSE(CpxIsNearEqual(Cpx(0, 0), Cpx(0, -tol)));
  EXPECT_TRUE(CpxIsNearEqual(Cpx(2.385L, 1), Cpx(2.385L + tol / 2, 1)));
  CpxNearZero = 0.0L;
  EXPECT_FALSE(CpxIsZero(tiny));
  EXPECT_TRUE(CpxIsZero(COMPLEX_0));
  EXPECT_TRUE(CpxIsZero(Cpx(-0.0L, 0.0L)));
  EXPECT_FALSE(CpxIsZero(Cpx(std::numeric_limits<Extended>::denorm_min(), 0)));
  EXPECT_FALSE(CpxIsNearEqual(COMPLEX_1, COMPLEX_1));  // nothing is below 0
  EXPECT_FALSE(CpxIsZero(Cpx(std::numeric_limits<Extended>::quiet_NaN(), 0)));
  // The tolerance is kept per thread: another thread sees the default.
  Extended seen = -1.0L;
  std::thread t([&seen] { seen = CpxNearZero; });
  t.join();
  EXPECT_EQ(seen, 1e-15L);
}

TEST(Complex, PolarForm) {
  TComplexPolar p = ConvertRectToPolar(Cpx(-1, 0));
  EXPECT_EQ(p.r, 1.0L);
  EXPECT_TRUE(NearL(p.phi, kPiL, kEpsL));
  p = ConvertRectToPolar(Cpx(-1, -0.0L));  // the negative real axis ends at +pi
  EXPECT_TRUE(NearL(p.phi, kPiL, kEpsL));
  p = ConvertRectToPolar(COMPLEX_0);
  EXPECT_EQ(p.r, 0.0L);
  EXPECT_EQ(p.phi, 0.0L);
  p = ConvertRectToPolar(Cpx(0, -2));
  EXPECT_EQ(p.r, 2.0L);
  EXPECT_TRUE(NearL(p.phi, -kPiL / 2, kEpsL));
  p = ConvertRectToPolar(Cpx(1, 1));
  EXPECT_TRUE(NearL(p.r, 1.414213562373095048801688724209698L, 2 * kEpsL));
  EXPECT_TRUE(NearL(p.phi, kPiL / 4, 2 * kEpsL));
  // 2 * exp(i pi/6) = sqrt 3 + i.
  const TComplex z = ConvertPolarToRect(TComplexPolar{2, kPiL / 6});
  EXPECT_TRUE(CpxNear(z, Cpx(1.732050807568877293527446341505872L, 1), 4 * kEpsL));
}

TEST(Complex, PolarRoundTrips) {
  const Extended values[] = {-3.7L, -1, -1e-5L, 0, 2.5e-3L, 1, 2.385L, 1e6L};
  for (Extended re : values) {
    for (Extended im : values) {
      const TComplex a = Cpx(re, im);
      const TComplexPolar p = ConvertRectToPolar(a);
      ASSERT_GE(p.r, 0.0L);
      ASSERT_GT(p.phi, -kPiL);
      ASSERT_LE(p.phi, kPiL);
      const TComplex back = ConvertPolarToRect(p);
      // Error of a few ulps of the magnitude.
      ASSERT_TRUE(NearL(back.re, re, 8 * kEpsL * (p.r > 1 ? p.r : 1))) << double(re) << " " << double(im);
      ASSERT_TRUE(NearL(back.im, im, 8 * kEpsL * (p.r > 1 ? p.r : 1))) << double(re) << " " << double(im);
    }
  }
}
