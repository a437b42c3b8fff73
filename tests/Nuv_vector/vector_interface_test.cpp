// Pins the public signatures of TVector and TIntVector: argument kinds (var
// scalars by reference, objects by pointer), 32-bit indices and the result
// types. Taking each member's address also makes the test executable link
// against every out-of-line member, which fails when one is not exported. The
// pins are compile and link checks (see common/pin_member.h). The operations the
// two classes share take the receiver's own class (const TVector* for TVector).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "Nuv_vector/Nuv_vector.h"
#include "common/pin_member.h"

namespace nuv {
namespace {

using i32 = int32_t;
using Str = const std::string&;
using VecP = const TVector*;
using IntP = const TIntVector*;

TEST(VectorInterface, SignaturesOfTVector) {
  std::vector<const void*> pins;
  PIN(TVector, GetVal, double(i32) const);
  PIN(TVector, SetVal, void(i32, double));
  PIN(TVector, Resize, bool(i32));
  PIN(TVector, SetVecSize, void(i32));
  PIN(TVector, NrOfElem, i32() const);
  PIN(TVector, MakeValidElemRange, void(i32&, i32&) const);
  PIN(TVector, Changed, void());
  PIN(TVector, Clone, void(VecP));
  PIN(TVector, CopyFrom, void(VecP, i32, i32, i32));
  PIN(TVector, Fill, void(double));
  PIN(TVector, Clear, void());
  PIN(TVector, AbsVal, void());
  PIN(TVector, FillRandomUniform, void(double, double));
  PIN(TVector, FillRandomGauss, void(double, double));
  PIN(TVector, CalcVecLeng, double() const);
  PIN(TVector, Leng, double() const);
  PIN(TVector, SetVecLeng, void(double));
  PIN(TVector, CRCofData, std::string() const);
  PIN(TVector, IsEmpty, bool() const);
  PIN(TVector, SetIsEmpty, void(bool));
  PIN(TVector, SaveToStream, void(TMemoryStream*&, i32, i32) const);
  PIN(TVector, SaveToStream, void(TFileStream*, i32, i32) const);
  PIN(TVector, LoadFromStream, bool(TMemoryStream*, bool));
  PIN(TVector, LoadFromStream, bool(TFileStream*, bool));
  PIN(TVector, StoreOnFile, bool(i32, i32, i32, Str) const);
  PIN(TVector, LoadFromFile, bool(Str, bool));
  PIN(TVector, LoadFromFile, bool(Str, bool, bool));
  PIN(TVector, Add, void(VecP));
  PIN(TVector, Subtract, void(VecP));
  PIN(TVector, SMult, void(double));
  PIN(TVector, DotProduct, double(VecP) const);
  PIN(TVector, Correlate, double(VecP, i32) const);
  PIN(TVector, PearsonCorrCoeff, double(VecP) const);
  PIN(TVector, EuclideanDistance, double(VecP) const);
  PIN(TVector, Find, i32(i32, i32, double) const);
  PIN(TVector, FindInSortedVector, i32(bool, double) const);
  PIN(TVector, MinMax, void(i32, i32, double&, double&) const);
  PIN(TVector, MinMax, void(i32, i32, double&, double&, i32&, i32&) const);
  PIN(TVector, MeanVar, void(i32, i32, double&, double&) const);
  PIN(TVector, Sum, double(i32, i32) const);
  PIN(TVector, GeometricMean, double(i32, i32) const);
  PIN(TVector, HarmonicMean, double(i32, i32) const);
  PIN(TVector, SkewKurt, void(i32, i32, double&, double&) const);
  PIN(TVector, SkewKurtSample, void(i32, i32, double&, double&) const);
  PIN(TVector, Mode, double(i32, i32) const);
  PIN(TVector, Quartiles, bool(i32, i32, double&, double&, double&) const);
  PIN(TVector, Percentile, double(double, i32, i32) const);
  PIN(TVector, Histogram,
      bool(i32, i32, double, double, double, TIntVector*, i32&, i32&, i32&) const);
  PIN(TVector, MeanCenter, double());
  PIN(TVector, Standardize, void(double&, double&));
  PIN(TVector, QNormalize, void(double, double&, double&));
  PIN(TVector, SortElems, void(bool, i32, i32));
  PIN(TVector, Mirror, void());
  PIN(TVector, ShuffleElems, void());
  PIN(TVector, Integrate, double(double, double, TIntegMethod) const);
  EXPECT_EQ(pins.size(), 55u);

  // Ordinals of the integration methods, in declaration order.
  EXPECT_EQ(imSimple, 0);
  EXPECT_EQ(imTrapezoidal, 1);
  EXPECT_EQ(imSimpson, 2);
  static_assert(std::is_base_of_v<TComponent, TVector>);
  static_assert(!std::is_convertible_v<TComponent*, TVector>, "Create(AOwner) is explicit");
}

TEST(VectorInterface, SignaturesOfTIntVector) {
  std::vector<const void*> pins;
  PIN(TIntVector, GetVal, i32(i32) const);
  PIN(TIntVector, SetVal, void(i32, i32));
  PIN(TIntVector, SetIntVecSize, void(i32));
  PIN(TIntVector, Leng, double() const);
  PIN(TIntVector, Clone, void(IntP));
  PIN(TIntVector, CopyFrom, void(IntP, i32, i32, i32));
  PIN(TIntVector, Fill, void(i32));
  PIN(TIntVector, SMult, void(i32));
  PIN(TIntVector, DotProduct, i32(IntP) const);
  PIN(TIntVector, Correlate, i32(IntP, i32) const);
  PIN(TIntVector, PearsonCorrCoeff, double(IntP) const);
  PIN(TIntVector, EuclideanDistance, double(IntP) const);
  PIN(TIntVector, Find, i32(i32, i32, i32) const);
  PIN(TIntVector, FindInSortedVector, i32(bool, i32) const);
  PIN(TIntVector, Sum, i32(i32, i32) const);
  PIN(TIntVector, Mode, i32(i32, i32) const);
  PIN(TIntVector, MinMax, void(i32, i32, i32&, i32&) const);
  PIN(TIntVector, MinMax, void(i32, i32, i32&, i32&, i32&, i32&) const);
  PIN(TIntVector, MeanVar, void(i32, i32, double&, double&) const);
  PIN(TIntVector, Quartiles, bool(i32, i32, double&, double&, double&) const);
  PIN(TIntVector, Percentile, double(double, i32, i32) const);
  PIN(TIntVector, Histogram, bool(i32, i32, i32, i32, i32, TIntVector*, i32&, i32&, i32&) const);
  PIN(TIntVector, SaveToStream, void(TMemoryStream*&, i32, i32) const);
  PIN(TIntVector, SaveToStream, void(TFileStream*, i32, i32) const);
  PIN(TIntVector, LoadFromStream, bool(TMemoryStream*, bool));
  PIN(TIntVector, LoadFromStream, bool(TFileStream*, bool));
  PIN(TIntVector, StoreOnFile, bool(i32, i32, Str) const);
  PIN(TIntVector, LoadFromFile, bool(Str, bool));
  EXPECT_EQ(pins.size(), 28u);
}

}  // namespace
}  // namespace nuv
