// Pins the public signatures of TCurveFit and PenalizedCubicSpline (var scalars by
// reference, the coefficient array as std::vector<double>&) and the ordinals of
// TCurveFitError. A changed signature fails to compile, a missing export to link; the
// run-time checks are the ordinals and the bit layout of the error set.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "common/pin_member.h"

namespace nuv {
namespace {

using i32 = int32_t;
using D = double;

TEST(CurveFitInterface, SignaturesOfTCurveFit) {
  std::vector<const void*> pins;
  PIN(TCurveFit, Init, void());
  PIN(TCurveFit, EnterStatValue, i32(D, D));
  PIN(TCurveFit, RemoveStatValue, void(i32));
  PIN(TCurveFit, FlipXY, void());
  PIN(TCurveFit, GetDataX, D(i32) const);
  PIN(TCurveFit, GetDataY, D(i32) const);
  PIN(TCurveFit, NumData, i32() const);
  PIN(TCurveFit, MinX, D() const);
  PIN(TCurveFit, MaxY, D() const);
  PIN(TCurveFit, ErrIndic, TCurveFitErrors() const);
  PIN(TCurveFit, SetSplineNatural1, void(bool));
  PIN(TCurveFit, SetSplineDerivYN, void(D));
  PIN(TCurveFit, SetSplineSmoothingFactor, void(D));
  PIN(TCurveFit, GetMeanX, D() const);
  PIN(TCurveFit, GetStdDevDiff, D() const);
  PIN(TCurveFit, GetRxy, D() const);
  PIN(TCurveFit, CalcStatistics, void(i32&, D&, D&, D&, D&, D&, D&, D&) const);
  PIN(TCurveFit, GetSkewnessY, D() const);
  PIN(TCurveFit, GetKurtosisX, D() const);
  PIN(TCurveFit, QuartilesX, bool(D&, D&, D&) const);
  PIN(TCurveFit, GetMeanXDegrees, D() const);
  PIN(TCurveFit, CalcAnovaReg, void(i32, bool, i32&, i32&, i32&, D&, D&, D&, D&, D&, D&) const);
  PIN(TCurveFit, GetSpearman, D() const);
  PIN(TCurveFit, KendallsTau, D(D&) const);
  PIN(TCurveFit, GetKruskalGamma, D() const);
  PIN(TCurveFit, CalcLinFit, void(D&, D&, D&) const);
  PIN(TCurveFit, CalcParabolFit, void(D&, D&, D&, D&) const);
  PIN(TCurveFit, CalcPolyFit, bool(uint8_t, std::vector<D>&, D&, bool&) const);
  PIN(TCurveFit, CalcCenteredPolyFit, bool(uint8_t, std::vector<D>&, D&, D&, bool&) const);
  PIN(TCurveFit, CalcCircleFit, void(D&, D&, D&) const);
  PIN(TCurveFit, CalcReciLinFit, bool(D&, D&, D&) const);
  PIN(TCurveFit, CalcPowerFit, bool(D&, D&, D&) const);
  PIN(TCurveFit, CalcHoerlFit, bool(D&, D&, D&, D&) const);
  PIN(TCurveFit, CalcGaussFit, bool(D&, D&, D&, D&) const);
  PIN(TCurveFit, CubicSpline, D(D) const);
  PIN(TCurveFit, SmoothedSpline, D(D, D&, bool&) const);
  PIN(TCurveFit, ExportAsASC, std::string(const std::string&, const std::string&, i32) const);
  PIN(TCurveFit, ImportASC, i32(const std::string&));
  EXPECT_EQ(pins.size(), 38u);
  EXPECT_NE(static_cast<bool (*)(const TVector*, const TVector*, const TVector*, D, TVector*,
                                 TVector*)>(&PenalizedCubicSpline),
            nullptr);
}

TEST(CurveFitInterface, ErrorOrdinalsAndBits) {
  EXPECT_EQ(cfeXLE0, 0);
  EXPECT_EQ(cfeYLE0, 1);
  EXPECT_EQ(cfeXEQ0, 2);
  EXPECT_EQ(cfeYEQ0, 3);
  TCurveFitErrors e;
  e.Include(cfeYLE0);
  e.Include(cfeYEQ0);
  EXPECT_EQ(e.Bits, 0x0A);
  EXPECT_TRUE(e.Contains(cfeYEQ0));
  EXPECT_FALSE(e.Contains(cfeXEQ0));
  static_assert(sizeof(TCurveFitErrors) == 1, "one byte");
}

}  // namespace
}  // namespace nuv
