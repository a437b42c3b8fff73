// Pins the signatures of the geometry, image-correlation and expression
// functions (arrays by const reference, var results by reference, bitmaps as
// pointers) and the ordinals of TImgCompareMode. A changed signature fails to
// compile, a missing export to link.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"

using namespace nuv;

namespace {

using Poly = std::vector<TPointDouble>;

template <class F>
bool Linked(F f) {
  return f != nullptr;
}

}  // namespace

TEST(GeometryInterface, SignaturesOfTheFreeFunctions) {
  EXPECT_TRUE(Linked(static_cast<bool (*)(double, double, const Poly&)>(&PointIsInsidePolygon)));
  EXPECT_TRUE(Linked(static_cast<double (*)(const Poly&)>(&PolygonArea)));
  EXPECT_TRUE(Linked(
      static_cast<void (*)(const Poly&, double&, double&, double&, double&)>(&OuterRectOfPolygon)));
  EXPECT_TRUE(Linked(static_cast<bool (*)(double, double, const Poly&)>(&PointIsInsideConvexHull)));
  EXPECT_TRUE(Linked(static_cast<void (*)(const Poly&, Poly&)>(&Convex2DHull)));
  EXPECT_TRUE(Linked(
      static_cast<double (*)(double, double, double, double, double)>(&SphereGreatCircleDist)));
  EXPECT_TRUE(Linked(static_cast<double (*)(const TBitmap*, const TBitmap*, const TRect&,
                                            const TRect&, TImgCompareMode)>(&CalcImgCorrelation)));
  EXPECT_TRUE(Linked(static_cast<int32_t (*)(const std::string&)>(&CheckParanthInExp)));
}

TEST(GeometryInterface, CompareModeOrdinals) {
  static_assert(std::is_same<std::underlying_type<TImgCompareMode>::type, uint8_t>::value, "");
  EXPECT_EQ(icmRed, 0);
  EXPECT_EQ(icmBlue, 1);
  EXPECT_EQ(icmGreen, 2);
  EXPECT_EQ(icmHue, 3);
  EXPECT_EQ(icmLightness, 4);
  EXPECT_EQ(icmSaturation, 5);
  EXPECT_EQ(icmGrayValues, 6);
}
