#include <cmath>
#include <limits>
#include <thread>

#include "Nuv_complex/Nuv_complex.h"
#include "common/test_util.h"

using namespace nuv;

namespace {

constexpr Extended kPiL = 3.141592653589793238462643383279502884L;
constexpr Extended kSqrt2L = 1.414213562373095048801688724209698L;
constexpr Extended kEpsL = std::numeric_limits<Extended>::epsilon();

// |got - want| <= tol * max(1, |want|) in extended precision.
bool NearL(Extended got, Extended want, Extended tol) {
  return std::fabs(got - want) <= tol * std::fmax(1.0L, std::fabs(want));
}

bool CpxNear(const TComplex& got, const TComplex& want, Extended tol) {
  return NearL(got.re, want.re, tol) && NearL(got.im, want.im, tol);
}

}  // namespace

TEST(Complex, ArithmeticClosedForms) {
  const TComplex a = Cpx(1, 2), b = Cpx(3, 4);
  EXPECT_TRUE(CpxIsEqual(CpxAdd(a, b), Cpx(4, 6)));
  EXPECT_TRUE(CpxIsEqual(CpxSub(a, b), Cpx(-2, -2)));
  EXPECT_TRUE(CpxIsEqual(CpxNeg(CpxConj(a)), Cpx(-1, 2)));
  EXPECT_TRUE(CpxIsEqual(CpxMult(a, b), Cpx(-5, 10)));  // 3 - 8 + (4 + 6)i
  // (1 + 2i)(3 - 4i)/25 = (11 + 2i)/25.
  EXPECT_TRUE(CpxNear(CpxDiv(a, b), Cpx(0.44L, 0.08L), 2 * kEpsL));
  EXPECT_TRUE(CpxIsEqual(CpxDiv(COMPLEX_1, Cpx(0, 1)), Cpx(0, -1)));
  EXPECT_EQ(CpxAbs(b), 5.0L);
  EXPECT_EQ(CpxAbsSqr(Cpx(-7, 24)), 625.0L);
  EXPECT_EQ(CpxDiv(COMPLEX_1, Cpx(3, 0)).re, 1.0L / 3.0L);  // extended, not double, thirds
  // Squares beyond the extended range: sqrt 2 * 1e3000 and 5e-3000.
  EXPECT_TRUE(NearL(CpxAbs(Cpx(1e3000L, 1e3000L)) / 1e3000L, kSqrt2L, 4 * kEpsL));
  EXPECT_TRUE(NearL(CpxAbs(Cpx(3e-3000L, 4e-3000L)) / 1e-3000L, 5.0L, 4 * kEpsL));
}

TEST(Complex, DivisionFailures) {
  EXPECT_THROW_MSG(CpxDiv(Cpx(1, 0), COMPLEX_0), ENUVComplexError, "CpxDiv: division by zero");
  // The squares of the divisor underflow to 0; a quotient overflows the extended range.
  EXPECT_THROW_MSG(CpxDiv(COMPLEX_1, Cpx(1e-3000L, 1e-3000L)), ENUVComplexError,
                   "CpxDiv: division by zero");
  EXPECT_THROW_MSG(CpxDiv(Cpx(1e4000L, 0), Cpx(1e-2000L, 0)), ENUVComplexError,
                   "CpxDiv: division by zero");
  // A NaN operand with a nonzero divisor propagates.
  EXPECT_TRUE(std::isnan(CpxDiv(Cpx(std::numeric_limits<Extended>::quiet_NaN(), 0), Cpx(2, 0)).re));
}

TEST(Complex, ComparisonsAndTolerance) {
  const TComplex tiny = Cpx(1e-16L, -1e-16L);
  EXPECT_TRUE(CpxIsZero(tiny));
  EXPECT_FALSE(CpxIsEqual(tiny, COMPLEX_0));
  EXPECT_EQ(CpxNearZero, 1e-15L);
  // Strict: a difference of exactly the tolerance is not near.
  EXPECT_FALSE(CpxIsNearEqual(Cpx(CpxNearZero, 0), COMPLEX_0));
  EXPECT_TRUE(CpxIsNearEqual(Cpx(2.385L, 1), Cpx(2.385L + CpxNearZero / 2, 1)));
  CpxNearZero = 0.0L;
  EXPECT_FALSE(CpxIsZero(tiny));
  EXPECT_TRUE(CpxIsZero(Cpx(-0.0L, 0.0L)));
  EXPECT_FALSE(CpxIsZero(Cpx(std::numeric_limits<Extended>::denorm_min(), 0)));
  Extended seen = -1.0L;  // one setting for the process: another thread sees the change
  std::thread([&seen] { seen = CpxNearZero; }).join();
  EXPECT_EQ(seen, 0.0L);
  std::thread([] { CpxNearZero = 1e-3L; }).join();
  EXPECT_EQ(CpxNearZero, 1e-3L);
  CpxNearZero = 1e-15L;
}

TEST(Complex, PolarForm) {
  TComplexPolar p = ConvertRectToPolar(Cpx(-1, 0));
  EXPECT_EQ(p.r, 1.0L);
  EXPECT_TRUE(NearL(p.phi, kPiL, kEpsL));
  EXPECT_TRUE(NearL(ConvertRectToPolar(Cpx(-1, -0.0L)).phi, kPiL, kEpsL));  // range ends at +pi
  p = ConvertRectToPolar(COMPLEX_0);
  EXPECT_EQ(p.r, 0.0L);
  EXPECT_EQ(p.phi, 0.0L);
  // 2 exp(i pi/6) = sqrt 3 + i.
  const TComplex z = ConvertPolarToRect(TComplexPolar{2, kPiL / 6});
  EXPECT_TRUE(CpxNear(z, Cpx(1.732050807568877293527446341505872L, 1), 4 * kEpsL));
  const Extended values[] = {-3.7L, -1, -1e-5L, 0, 2.385L, 1e6L};
  for (Extended re : values) {
    for (Extended im : values) {
      const TComplexPolar q = ConvertRectToPolar(Cpx(re, im));
      ASSERT_TRUE(q.r >= 0 && q.phi > -kPiL && q.phi <= kPiL);
      const TComplex back = ConvertPolarToRect(q);  // a few ulps of the magnitude
      ASSERT_TRUE(CpxNear(back, Cpx(re, im), 8 * kEpsL * std::fmax(1.0L, q.r)))
          << double(re) << " " << double(im);
    }
  }
}
