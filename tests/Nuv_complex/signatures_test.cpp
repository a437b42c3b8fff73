// Pins the public interface of the unit: record layout, constants, the
// tolerance variable and the argument passing of every function.
#include <gtest/gtest.h>

#include <cstddef>
#include <type_traits>

#include "Nuv_complex/Nuv_complex.h"

using namespace nuv;

TEST(ComplexSignatures, RecordsConstantsAndFunctions) {
  static_assert(std::is_same_v<decltype(TComplex::re), Extended> &&
                std::is_same_v<decltype(TComplex::im), Extended>);
  static_assert(std::is_same_v<decltype(TComplexPolar::r), Extended> &&
                std::is_same_v<decltype(TComplexPolar::phi), Extended>);
  static_assert(offsetof(TComplex, re) < offsetof(TComplex, im));
  static_assert(offsetof(TComplexPolar, r) < offsetof(TComplexPolar, phi));
  static_assert(COMPLEX_0.re == 0 && COMPLEX_0.im == 0 && COMPLEX_1.re == 1 && COMPLEX_1.im == 0);
  static_assert(std::is_same_v<decltype(CpxNearZero), Extended>);

  using Unary = TComplex (*)(const TComplex&);
  using Binary = TComplex (*)(const TComplex&, const TComplex&);
  using Test2 = bool (*)(const TComplex&, const TComplex&);
  EXPECT_NE(static_cast<TComplex (*)(Extended, Extended)>(&Cpx), nullptr);
  EXPECT_NE(static_cast<Extended (*)(const TComplex&)>(&CpxAbs), nullptr);
  EXPECT_NE(static_cast<Extended (*)(const TComplex&)>(&CpxAbsSqr), nullptr);
  for (Binary f : {&CpxAdd, &CpxSub, &CpxMult, &CpxDiv}) EXPECT_NE(f, nullptr);
  for (Unary f : {&CpxNeg, &CpxConj}) EXPECT_NE(f, nullptr);
  for (Test2 f : {&CpxIsEqual, &CpxIsNearEqual}) EXPECT_NE(f, nullptr);
  EXPECT_NE(static_cast<bool (*)(const TComplex&)>(&CpxIsZero), nullptr);
  EXPECT_NE(static_cast<TComplexPolar (*)(const TComplex&)>(&ConvertRectToPolar), nullptr);
  EXPECT_NE(static_cast<TComplex (*)(const TComplexPolar&)>(&ConvertPolarToRect), nullptr);

  // The tolerance is a plain variable the application may change.
  const Extended saved = CpxNearZero;
  EXPECT_EQ(saved, 1e-15L);
  CpxNearZero = 1e-3L;
  EXPECT_TRUE(CpxIsZero(TComplex{5e-4L, 0}));
  CpxNearZero = saved;
}
