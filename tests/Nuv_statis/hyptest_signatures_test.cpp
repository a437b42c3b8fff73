// Pins the public signatures of the hypothesis tests, the density estimate and the
// PLS model file: a changed argument type, order or passing mode fails to compile here,
// a missing export fails to link. Also the ordinals of the two enumerations.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "Nuv_statis/Nuv_statis.h"

using namespace nuv;

namespace {

template <class F>
bool Linked(F f) {
  return f != nullptr;
}

}  // namespace

TEST(HypTestSignatures, FreeFunctions) {
  EXPECT_TRUE(Linked(static_cast<double (*)(int32_t, TSignifLevelEx)>(&DeanDixonCriticalValues)));
  EXPECT_TRUE(
      Linked(static_cast<int32_t (*)(const TVector*, TSignifLevelEx, double&)>(&DeanDixonTest)));
  EXPECT_TRUE(Linked(static_cast<double (*)(int32_t, double, bool)>(&GrubbsCriticalValues)));
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(const TVector*, double, double&)>(&GrubbsTest)));
  EXPECT_TRUE(Linked(static_cast<double (*)(TVector*, bool)>(&PerformKSNormalityTest)));
  EXPECT_TRUE(Linked(static_cast<double (*)(TVector*, bool)>(&PerformLillieforsTest)));
  EXPECT_TRUE(Linked(static_cast<double (*)(const TVector*, double&)>(&ShapiroWilkTest)));
  EXPECT_TRUE(
      Linked(static_cast<double (*)(const TVector*, const TIntVector*, double&, double&, double&,
                                    int32_t&, int32_t&, int32_t&, double&)>(&Anova1F)));
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(TDoubleArray&, double, int32_t, int32_t, double&)>(
      &PercentileOfArray)));
  EXPECT_TRUE(Linked(static_cast<double (*)(int32_t, int32_t, int32_t)>(&ExactRunsTest)));
  EXPECT_TRUE(Linked(static_cast<bool (*)(const TBitFld*, double&)>(&RunsTest)));
  EXPECT_TRUE(Linked(static_cast<bool (*)(const TVector*, double&)>(&RunsTestSerial)));
  EXPECT_TRUE(Linked(
      static_cast<void (*)(TVector*, TVector*, double, double, double, double, int32_t, int32_t&,
                           int32_t&, const TDensityFeedbackProc&)>(&EstimateProbDensity)));
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(int32_t, double, bool)>(&WilcoxonSRQuantile)));
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(int32_t, int32_t)>(&WilcoxonSRTableValue)));
  EXPECT_TRUE(Linked(
      static_cast<double (*)(const TVector*, const TVector*, TtTestVersion, double&, double&)>(
          &Perform2SampleTTest)));
  EXPECT_TRUE(Linked(static_cast<double (*)(const TVector*, const TVector*, TtTestVersion, double&,
                                            double&, double&, double&)>(&Perform2SampleTTest)));
  EXPECT_TRUE(Linked(static_cast<double (*)(const TVector*, const TVector*, double&, double&)>(
      &PerformMannWhitneyUTest)));
  EXPECT_TRUE(Linked(
      static_cast<std::string (*)(const std::string&, const std::string&, const TMatrix*,
                                  const TMatrix*, const TMatrix*, const TMatrix*, const TVector*,
                                  const TVector*, const TVector*, const TVector*)>(
          &StorePLSModel)));
  EXPECT_TRUE(
      Linked(static_cast<bool (*)(const std::string&, std::string&)>(&LoadPLSModelComment)));
  EXPECT_TRUE(Linked(
      static_cast<bool (*)(const std::string&, std::string&, TMatrix*, TMatrix*, TMatrix*, TMatrix*,
                           TVector*, TVector*, TVector*, TVector*)>(&LoadPLSModel)));
}

TEST(HypTestSignatures, EnumerationsAndTables) {
  static_assert(std::is_same_v<std::underlying_type_t<TSignifLevelEx>, uint8_t>);
  static_assert(std::is_same_v<std::underlying_type_t<TtTestVersion>, uint8_t>);
  EXPECT_EQ(Dot001, 0);
  EXPECT_EQ(Dot002, 1);
  EXPECT_EQ(Dot005, 2);
  EXPECT_EQ(Dot010, 3);
  EXPECT_EQ(Dot020, 4);
  EXPECT_EQ(Dot050, 5);
  EXPECT_EQ(Dot100, 6);
  EXPECT_EQ(Dot200, 7);
  EXPECT_EQ(Dot500, 8);
  EXPECT_EQ(ttPaired, 0);
  EXPECT_EQ(ttHomoScedastic, 1);
  EXPECT_EQ(ttHeteroScedastic, 2);
  static_assert(std::size(NumericSigLevel) == 9);
  static_assert(std::size(WilcoxonSRLevels) == 5);
  EXPECT_EQ(WilcoxonSRLevels[0], 0.1);
  EXPECT_EQ(WilcoxonSRLevels[4], 0.001);
}
