// Pins the signatures of the smoothing and filter functions and the types of the
// Savitzky-Golay tables; taking each function's address also links it, which fails when
// one is not exported.
#include <gtest/gtest.h>

#include <cstdint>
#include <type_traits>

#include "Nuv_math2/Nuv_math2.h"

namespace nuv {
namespace {

using i32 = int32_t;
using TWindowFn = void (*)(const TVector*, i32, i32, TVector*, i32);
using TLowHighVec = void (*)(i32, double, i32, TVector*);
using TLowHighArr = void (*)(i32, double, i32, TDoubleArray&);
using TBandVec = void (*)(i32, double, double, i32, TVector*);
using TBandArr = void (*)(i32, double, double, i32, TDoubleArray&);

TEST(SignalInterface, FunctionsAndTables) {
  static_assert(std::is_same_v<decltype(GolayPoly), const int32_t[11][14]>);
  static_assert(std::is_same_v<decltype(Golay2ndDeriv), const int32_t[11][14]>);
  static_assert(std::is_same_v<decltype(Golay1stDerivDiv), const int32_t[11]>);
  for (TWindowFn f : {&MovingAverageSmooth, &WeightedAverageSmooth, &MovingMedianSmooth,
                      &PolynomialSmooth, &SecondDeriv, &FirstDeriv})
    EXPECT_NE(f, nullptr);
  for (TLowHighVec f :
       {static_cast<TLowHighVec>(&CalcSincLPKernel), static_cast<TLowHighVec>(&CalcSincHPKernel)})
    EXPECT_NE(f, nullptr);
  for (TLowHighArr f :
       {static_cast<TLowHighArr>(&CalcSincLPKernel), static_cast<TLowHighArr>(&CalcSincHPKernel)})
    EXPECT_NE(f, nullptr);
  for (TBandVec f :
       {static_cast<TBandVec>(&CalcSincBSKernel), static_cast<TBandVec>(&CalcSincBPKernel)})
    EXPECT_NE(f, nullptr);
  for (TBandArr f :
       {static_cast<TBandArr>(&CalcSincBSKernel), static_cast<TBandArr>(&CalcSincBPKernel)})
    EXPECT_NE(f, nullptr);
  EXPECT_NE(static_cast<void (*)(const TVector*, i32, i32, TVector*, const TVector*)>(
                &MovingKernelFilter),
            nullptr);
  EXPECT_NE(
      static_cast<void (*)(i32, bool, double, double, double&, TMatrix*)>(&CalcChebFilterCoeffs),
      nullptr);
  EXPECT_NE(static_cast<void (*)(const TVector*, i32, i32, TVector*, double, const TMatrix*)>(
                &ChebychevFilter),
            nullptr);
}

}  // namespace
}  // namespace nuv
