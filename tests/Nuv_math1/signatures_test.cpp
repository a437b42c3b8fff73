// Pins the public signatures of the unit: a changed argument type, order or
// passing mode fails to compile here, a missing export fails to link.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "Nuv_math1/Nuv_math1.h"

using namespace nuv;

namespace {

using DVec = std::vector<double>;
using FVec = std::vector<float>;
using IVec = std::vector<int32_t>;

template <class F>
bool Linked(F f) {
  return f != nullptr;
}

}  // namespace

TEST(Math1Signatures, ArrayFunctions) {
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(const TDoubleArray&, int32_t, int32_t, double&,
                                             double&, int32_t&, int32_t&)>(&MinMaxOfArray)));
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(const TDouble2DArray&, int32_t, int32_t, int32_t,
                                             int32_t, double&, double&, int32_t&, int32_t&,
                                             int32_t&, int32_t&)>(&MinMaxOfArray)));
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(const TDoubleArray&, int32_t, int32_t, double&,
                                             double&)>(&MeanVarOfArray)));
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(const TDouble2DArray&, int32_t, int32_t, int32_t,
                                             int32_t, double&, double&)>(&MeanVarOfArray)));
  EXPECT_TRUE(Linked(static_cast<double (*)(DVec&, int32_t, int32_t, int32_t)>(&QuickSelect)));
  EXPECT_TRUE(Linked(static_cast<void (*)(DVec&, bool)>(&SortArray)));
  EXPECT_TRUE(Linked(static_cast<void (*)(FVec&, bool)>(&SortArray)));
  EXPECT_TRUE(Linked(static_cast<void (*)(IVec&, bool)>(&SortArray)));
  EXPECT_TRUE(Linked(static_cast<void (*)(void*, int32_t, TVarKind, bool)>(&SortArray)));
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(DVec&, double, bool, bool)>(&SortIntoArray)));
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(FVec&, float, bool, bool)>(&SortIntoArray)));
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(IVec&, int32_t, bool, bool)>(&SortIntoArray)));
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(void*, int32_t, TVarKind, const void*, bool, bool)>(
      &SortIntoArray)));
  EXPECT_TRUE(Linked(static_cast<void (*)(DVec&, double, int32_t)>(&InsertIntoArray)));
  EXPECT_TRUE(Linked(static_cast<void (*)(FVec&, float, int32_t)>(&InsertIntoArray)));
  EXPECT_TRUE(Linked(static_cast<void (*)(IVec&, int32_t, int32_t)>(&InsertIntoArray)));
  EXPECT_TRUE(Linked(
      static_cast<void (*)(void*, int32_t, TVarKind, const void*, int32_t)>(&InsertIntoArray)));
  EXPECT_TRUE(Linked(static_cast<double (*)(const DVec&, int32_t, double)>(&Polynomial)));
  EXPECT_TRUE(
      Linked(static_cast<double (*)(const DVec&, int32_t, double, double)>(&CenteredPolynomial)));
  EXPECT_TRUE(Linked(static_cast<double (*)(double, double)>(&Min)));
  EXPECT_TRUE(Linked(static_cast<double (*)(double, double)>(&Max)));
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(double)>(&Signum)));
  EXPECT_TRUE(Linked(static_cast<void (*)(void*, void*, uint16_t)>(&ExChange)));
  EXPECT_TRUE(Linked(static_cast<void (*)(Extended&, Extended&)>(&ExChange)));
  EXPECT_TRUE(Linked(static_cast<void (*)(std::string&, std::string&)>(&ExChange)));
  EXPECT_TRUE(Linked(static_cast<void (*)(char16_t&, char16_t&)>(&ExChange)));
  EXPECT_TRUE(Linked(static_cast<void (*)(int64_t&, int64_t&)>(&ExChange)));
  TComponent owner;
  auto* k = new TKahanSum(&owner);  // owned: freed with owner
  static_assert(std::is_same_v<decltype(k->cps), double> &&
                std::is_same_v<decltype(k->Sum), double>);
  k->Add(1.0);
  k->Reset();
  EXPECT_EQ(k->Sum, 0.0);
}

TEST(Math1Signatures, FormattingFunctions) {
  EXPECT_TRUE(Linked(static_cast<std::string (*)(int32_t, uint8_t)>(&Decimal)));
  EXPECT_TRUE(Linked(static_cast<std::string (*)(double, int32_t, int32_t)>(&strf)));
  EXPECT_TRUE(Linked(static_cast<std::string (*)(double, int32_t)>(&EEngStr)));
  EXPECT_TRUE(Linked(static_cast<std::string (*)(double, int32_t, int32_t)>(&MakeEFormat)));
  EXPECT_TRUE(
      Linked(static_cast<std::string (*)(double, TDegreeFormat, int32_t)>(&DegreeToStr)));
  EXPECT_TRUE(Linked(static_cast<void (*)(double&, double&, double&, TDegreeFormat,
                                          TDegreeFormat)>(&ConvertDegrees)));
  EXPECT_TRUE(
      Linked(static_cast<void (*)(int32_t&, int32_t&, int32_t&, bool)>(&RoundDegrees)));
  EXPECT_TRUE(Linked(static_cast<std::string (*)(int32_t, uint8_t)>(&Hex)));
  EXPECT_TRUE(Linked(static_cast<std::string (*)(int32_t, uint8_t)>(&Octal)));
  EXPECT_TRUE(Linked(static_cast<std::string (*)(int32_t, uint8_t)>(&Bin)));
  EXPECT_TRUE(Linked(static_cast<std::string (*)(float)>(&FPNumToHex)));
  EXPECT_TRUE(Linked(static_cast<std::string (*)(double)>(&FPNumToHex)));
  EXPECT_TRUE(Linked(static_cast<std::string (*)(Extended)>(&FPNumToHex)));
  EXPECT_TRUE(Linked(static_cast<float (*)(const std::string&)>(&HexToSingle)));
  EXPECT_TRUE(Linked(static_cast<double (*)(const std::string&)>(&HexToDouble)));
  EXPECT_TRUE(Linked(static_cast<Extended (*)(const std::string&)>(&HexToExtended)));
  EXPECT_TRUE(Linked(static_cast<std::string (*)(int32_t)>(&Roman)));
  EXPECT_TRUE(Linked(static_cast<double (*)(double)>(&Round125)));
  EXPECT_TRUE(Linked(static_cast<double (*)(double)>(&RoundPos125)));
  EXPECT_TRUE(Linked(static_cast<double (*)(double)>(&RoundNeg125)));
  EXPECT_TRUE(Linked(static_cast<void (*)(int32_t, Extended, Extended, Extended&, Extended&,
                                          uint16_t&)>(&CalcScalePars)));
  EXPECT_TRUE(
      Linked(static_cast<int32_t (*)(const std::string&, int32_t)>(&StrToIntDefault)));
}

TEST(Math1Signatures, ScalarFunctions) {
  EXPECT_TRUE(Linked(
      static_cast<double (*)(double, double, double, const TDoubleArray&)>(&InterpolTable)));
  EXPECT_TRUE(
      Linked(static_cast<double (*)(double, double, double, const TIntArray&)>(&InterpolTable)));
  EXPECT_TRUE(Linked(static_cast<double (*)(double, const TDouble2DArray&)>(&InterpolXYTable)));
  EXPECT_TRUE(Linked(static_cast<double (*)(double, double, double, double, double, double)>(
      &InterpolZofXYRect)));
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(int32_t)>(&ListOfPrimes)));
  EXPECT_TRUE(Linked(static_cast<bool (*)(int32_t)>(&IsPrime)));
  EXPECT_TRUE(Linked(static_cast<TIntArray (*)(int32_t)>(&FindPrimeFactors)));
  EXPECT_TRUE(Linked(static_cast<void (*)(int32_t&, int32_t&)>(&CancelFraction)));
  EXPECT_TRUE(Linked(static_cast<Extended (*)(int32_t)>(&Factorial)));
  EXPECT_TRUE(Linked(static_cast<bool (*)(double)>(&BRandom)));
  EXPECT_TRUE(Linked(static_cast<double (*)(double, double)>(&CRandom)));
  EXPECT_TRUE(Linked(static_cast<double (*)()>(&GRandom)));
  EXPECT_TRUE(Linked(static_cast<double (*)(int32_t)>(&LongRand)));
  EXPECT_TRUE(Linked(static_cast<double (*)(double, double)>(&AngleToXAxis)));
  for (auto* f : {&CanonicalAngleRadians, &CanonicalAngleDegrees, &lg, &ld, &nuv::sinh,
                  &nuv::cosh, &tgh, &tg, &cot}) {
    EXPECT_TRUE(Linked(static_cast<double (*)(double)>(f)));
  }
  EXPECT_TRUE(Linked(static_cast<bool (*)(double, double, double)>(&WithinBounds)));
  EXPECT_TRUE(Linked(static_cast<double (*)(double, double, double)>(&ConfineValue)));
  EXPECT_TRUE(Linked(static_cast<float (*)(float, float, float)>(&ConfineValue)));
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(int32_t, int32_t, int32_t)>(&ConfineValue)));
  EXPECT_TRUE(
      Linked(static_cast<bool (*)(const TPointDouble&, const TRectDouble&)>(&WithinRect)));
  EXPECT_TRUE(
      Linked(static_cast<bool (*)(TPointDouble&, const TRectDouble&)>(&ConfinePointToRect)));
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(const TPoint&, const TRect&)>(&DistFromRect)));
  EXPECT_TRUE(Linked(static_cast<double (*)(const TPointDouble&, const TPointDouble&)>(
      &EuclideanDistance)));
  EXPECT_TRUE(
      Linked(static_cast<double (*)(double, double, double, double)>(&EuclideanDistance)));
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(double)>(&IntPos)));
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(double)>(&IntNeg)));
  EXPECT_TRUE(Linked(static_cast<uint16_t (*)(uint16_t)>(&GrayCode)));
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(int32_t)>(&DecodeBit)));
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(int32_t)>(&DecodeLong)));
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(int32_t)>(&EncodeLong)));
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(uint8_t)>(&CountBits)));
  EXPECT_TRUE(Linked(static_cast<uint8_t (*)(uint8_t)>(&BitReversal)));
  EXPECT_TRUE(Linked(static_cast<bool (*)(int32_t)>(&CheckPowerOfTwo)));
  EXPECT_TRUE(Linked(static_cast<double (*)(double)>(&ConvertEndian)));
  EXPECT_TRUE(Linked(static_cast<float (*)(float)>(&ConvertEndian)));
  EXPECT_TRUE(Linked(static_cast<uint16_t (*)(uint16_t)>(&ConvertEndian)));
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(int32_t)>(&ConvertEndian)));
}
