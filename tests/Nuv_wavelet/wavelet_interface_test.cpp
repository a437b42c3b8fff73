// Pins the public signatures of TWavelet1D and the ordinals of its enumerations; taking
// each member's address also links every out-of-line member, which fails when one is not
// exported. The pins are compile and link checks (see common/pin_member.h).
#include <gtest/gtest.h>

#include <cstdint>
#include <type_traits>
#include <vector>

#include "Nuv_wavelet/Nuv_wavelet.h"
#include "common/pin_member.h"

namespace nuv {
namespace {

using i32 = int32_t;

TEST(WaveletInterface, SignaturesAndOrdinals) {
  static_assert(std::is_base_of_v<TComponent, TWavelet1D>);
  static_assert(std::is_base_of_v<ENUVError, ENUVWaveletError>);
  static_assert(std::is_same_v<std::underlying_type_t<TWLSigExtMode>, uint8_t>);
  static_assert(std::is_same_v<std::underlying_type_t<TWaveletFamily>, uint8_t>);
  static_assert(wseWrap == 0 && wseZeroPad == 1 && wseSymmetric == 2 && wlfDaubechies == 0);
  std::vector<const void*> pins;
  PIN(TWavelet1D, Size, i32() const);
  PIN(TWavelet1D, SetNumData, void(i32));
  PIN(TWavelet1D, Order, i32() const);
  PIN(TWavelet1D, SetOrder, void(i32));
  PIN(TWavelet1D, SignalExtMode, TWLSigExtMode() const);
  PIN(TWavelet1D, SetSigExtMode, void(TWLSigExtMode));
  PIN(TWavelet1D, WaveletFamily, TWaveletFamily() const);
  PIN(TWavelet1D, SetWaveletFam, void(TWaveletFamily));
  PIN(TWavelet1D, GetDataVal, double(i32) const);
  PIN(TWavelet1D, SetDataVal, void(i32, double));
  PIN(TWavelet1D, GetDataValExt, Extended(i32) const);
  PIN(TWavelet1D, SetDataValExt, void(i32, Extended));
  PIN(TWavelet1D, CoeffsLP, const std::vector<Extended>&() const);
  PIN(TWavelet1D, CoeffsHP, const std::vector<Extended>&() const);
  PIN(TWavelet1D, Clear, void());
  PIN(TWavelet1D, Transform, void(i32));
  PIN(TWavelet1D, InverseTransform, void(i32));
  PIN(TWavelet1D, SingleStep, void(bool));
  PIN(TWavelet1D, PartialWLT, void(i32, i32, bool));
  EXPECT_EQ(pins.size(), 19u);
  TComponent owner;
  auto* w = new TWavelet1D(&owner);
  EXPECT_EQ(owner.Components(0), w);
}

}  // namespace
}  // namespace nuv
