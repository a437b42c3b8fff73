// Pins the public signatures of TFastFourier and the ordinals of its windows; taking each
// member's address also links every out-of-line member, which fails when one is not
// exported. The pins are compile and link checks (see common/pin_member.h).
#include <gtest/gtest.h>

#include <cstdint>
#include <type_traits>
#include <vector>

#include "Nuv_fourier/Nuv_fourier.h"
#include "common/pin_member.h"

namespace nuv {
namespace {

using i32 = int32_t;

TEST(FourierInterface, SignaturesAndWindowOrdinals) {
  static_assert(std::is_base_of_v<TComponent, TFastFourier>);
  static_assert(std::is_same_v<std::underlying_type_t<TFastFourierWgtWin>, uint8_t>);
  static_assert(fwRectangle == 0 && fwTriangle == 1 && fwCos2 == 2 && fwGauss == 3 &&
                fwHamming == 4 && fwBlackman == 5 && fwBlkmHarris == 6 && fwBlkmNuttall == 7 &&
                fwUserDef == 8);
  static_assert(std::is_base_of_v<ENUVError, ENUVFourierError>);
  std::vector<const void*> pins;
  PIN(TFastFourier, SpectrumSize, i32() const);
  PIN(TFastFourier, SetNumData, void(i32));
  PIN(TFastFourier, WeightingWindow, TFastFourierWgtWin() const);
  PIN(TFastFourier, SetWgtWin, void(TFastFourierWgtWin));
  PIN(TFastFourier, GetRealVal, double(i32) const);
  PIN(TFastFourier, GetImagVal, double(i32) const);
  PIN(TFastFourier, GetWgtVal, double(i32) const);
  PIN(TFastFourier, SetRealVal, void(i32, double));
  PIN(TFastFourier, SetImagVal, void(i32, double));
  PIN(TFastFourier, SetWgtVal, void(i32, double));
  PIN(TFastFourier, Clear, void());
  PIN(TFastFourier, ClearReal, void());
  PIN(TFastFourier, ClearImag, void());
  PIN(TFastFourier, Transform, void());
  PIN(TFastFourier, InverseTransform, void());
  PIN(TFastFourier, FreqOfLine, double(i32, double) const);
  PIN(TFastFourier, LineOfFreq, i32(double, double) const);
  PIN(TFastFourier, RMS, double(i32, i32) const);
  PIN(TFastFourier, GetPowerSpec, double(i32) const);
  PIN(TFastFourier, GetMagnitude, double(i32) const);
  PIN(TFastFourier, GetPhase, double(i32) const);
  PIN(TFastFourier, GetFSerSin, double(i32) const);
  PIN(TFastFourier, GetFSerCos, double(i32) const);
  PIN(TFastFourier, GetMaxPower, double() const);
  PIN(TFastFourier, GetMaxMagni, double() const);
  PIN(TFastFourier, GetMaxReal, double() const);
  PIN(TFastFourier, GetMaxImag, double() const);
  PIN(TFastFourier, GetMinReal, double() const);
  PIN(TFastFourier, GetMinImag, double() const);
  EXPECT_EQ(pins.size(), 29u);
  // The owner destroys the component.
  TComponent owner;
  auto* f = new TFastFourier(&owner);
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(owner.Components(0), f);
}

}  // namespace
}  // namespace nuv
