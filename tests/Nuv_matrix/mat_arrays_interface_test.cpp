// Pins the public signatures of TMat3D and TMat4D (column before row before
// layer before slot, var scalars by reference, objects by pointer) and the
// TMatrix.CopyFrom overload for a TMat3D layer. Taking each member's address
// also links every out-of-line member. The pins are compile and link checks
// (see common/pin_member.h).
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"
#include "common/pin_member.h"

namespace nuv {
namespace {

using i32 = int32_t;
using S = const std::string&;

TEST(MatArraysInterface, SignaturesOfTMat3D) {
  std::vector<const void*> pins;
  PIN(TMat3D, NrOfColumns, i32() const);
  PIN(TMat3D, NrOfRows, i32() const);
  PIN(TMat3D, NrOfLayers, i32() const);
  PIN(TMat3D, SetNCols, void(i32));
  PIN(TMat3D, SetNRows, void(i32));
  PIN(TMat3D, SetNLayers, void(i32));
  PIN(TMat3D, DataID, const std::string&() const);
  PIN(TMat3D, SetDataID, void(S));
  PIN(TMat3D, GetVal, double(i32, i32, i32) const);
  PIN(TMat3D, SetVal, void(i32, i32, i32, double));
  PIN(TMat3D, Resize, bool(i32, i32, i32));
  PIN(TMat3D, ResizeAndClear, bool(i32, i32, i32));
  PIN(TMat3D, Fill, void(double));
  PIN(TMat3D, FillDiag, void(double));
  PIN(TMat3D, FillRandomUniform, void(double, double));
  PIN(TMat3D, FillRandomGauss, void(double, double));
  PIN(TMat3D, Clone, void(const TMat3D*));
  PIN(TMat3D, CRCofData, std::string() const);
  PIN(TMat3D, MakeValidColRange, void(i32&, i32&) const);
  PIN(TMat3D, MakeValidRowRange, void(i32&, i32&) const);
  PIN(TMat3D, MakeValidLayerRange, void(i32&, i32&) const);
  PIN(TMat3D, CopyLayerToMatrix, void(TMatrix*, i32, i32, i32, i32, i32) const);
  PIN(TMat3D, CopyMatrixToLayer, void(const TMatrix*, i32, i32, i32, i32, i32, i32, i32));
  PIN(TMat3D, Find, void(i32, i32, i32, i32, i32, i32, double, i32&, i32&, i32&) const);
  PIN(TMat3D, MinMax, void(i32, i32, i32, i32, i32, i32, double&, double&) const);
  PIN(TMat3D, Percentile, double(double, i32, i32, i32, i32, i32, i32) const);
  PIN(TMat3D, Percentile, double(double, i32, i32, i32, i32, i32, i32, i32) const);
  PIN(TMat3D, Changed, void());
  PIN(TMatrix, CopyFrom, void(const TMat3D*, i32, i32, i32, i32, i32, i32, i32));
  // XML
  PIN(TMat3D, SaveAsXMLFile, bool(const std::string&) const);
  PIN(TMat3D, WriteToOpenXMLFile, void(TTextWriter*, bool) const);
  PIN(TMat3D, WriteToXMLStream, void(TStream*, bool) const);
  PIN(TMat3D, LoadFromXMLFile, bool(const std::string&, const std::string&, TXmlReadInfo*));
  PIN(TMat3D, ReadFromOpenXMLFile, bool(TTextReader*, bool, const std::string&, TXmlReadInfo*));
  PIN(TMat3D, ReadFromXMLStream, bool(TStream*, bool, const std::string&, TXmlReadInfo*));
  PIN(TMat3D, WriteXMLElement, void(TXmlWriter&) const);
  PIN(TMat3D, CommitXML, void(TMat3DXmlContent&));
  EXPECT_EQ(pins.size(), 37u);
  static_assert(std::is_base_of_v<TComponent, TMat3D>);
  static_assert(!std::is_convertible_v<TComponent*, TMat3D>, "Create(AOwner) is explicit");
}

TEST(MatArraysInterface, SignaturesOfTMat4D) {
  std::vector<const void*> pins;
  using R8 = void(i32, i32, i32, i32, i32, i32, i32, i32);
  PIN(TMat4D, NrOfColumns, i32() const);
  PIN(TMat4D, NrOfRows, i32() const);
  PIN(TMat4D, NrOfLayers, i32() const);
  PIN(TMat4D, NrOfTimeSlots, i32() const);
  PIN(TMat4D, SetNCols, void(i32));
  PIN(TMat4D, SetNRows, void(i32));
  PIN(TMat4D, SetNLayers, void(i32));
  PIN(TMat4D, SetNTSlots, void(i32));
  PIN(TMat4D, GetVal, double(i32, i32, i32, i32) const);
  PIN(TMat4D, SetVal, void(i32, i32, i32, i32, double));
  PIN(TMat4D, Resize, bool(i32, i32, i32, i32));
  PIN(TMat4D, ResizeAndClear, bool(i32, i32, i32, i32));
  PIN(TMat4D, Lin3DAddr, i32(i32, i32, i32) const);
  PIN(TMat4D, ConvertLinTo3DAddr, bool(i32, i32&, i32&, i32&) const);
  PIN(TMat4D, MemoryConsumed, double() const);
  PIN(TMat4D, PercDone, void(TObject*, i32));
  PIN(TMat4D, ReadElement, void(TObject*, i32, i32, i32, i32, double));
  PIN(TMat4D, Fill, void(double));
  PIN(TMat4D, FillDiag, void(double));
  PIN(TMat4D, FillLayer, void(i32, double));
  PIN(TMat4D, FillRandomUniform, void(double, double));
  PIN(TMat4D, FillRandomGauss, void(double, double));
  PIN(TMat4D, MakeValidTSlotRange, void(i32&, i32&) const);
  PIN(TMat4D, Find,
      void(i32, i32, i32, i32, i32, i32, i32, i32, double, i32&, i32&, i32&, i32&) const);
  PIN(TMat4D, MinMax, void(i32, i32, i32, i32, i32, i32, i32, i32, double&, double&) const);
  PIN(TMat4D, MeanVar, void(i32, i32, i32, i32, i32, i32, i32, i32, double&, double&) const);
  PIN(TMat4D, Sum, double(i32, i32, i32, i32, i32, i32, i32, i32) const);
  PIN(TMat4D, SquaredSum, double(i32, i32, i32, i32, i32, i32, i32, i32) const);
  PIN(TMat4D, CountValues, i32(i32, i32, i32, i32, i32, i32, i32, i32, double, double) const);
  PIN(TMat4D, Percentile, double(double, i32, i32, i32, i32, i32, i32, i32, i32) const);
  PIN(TMat4D, Percentile, double(double, i32, i32, i32, i32, i32, i32, i32, i32, i32) const);
  PIN(TMat4D, CopyFrom,
      void(const TMat4D*, i32, i32, i32, i32, i32, i32, i32, i32, i32, i32, i32, i32));
  PIN(TMat4D, CopyLayerToMatrix, void(TMatrix*, i32, i32, i32, i32, i32, i32) const);
  PIN(TMat4D, CopyTimeSlotToMat3D, void(TMat3D*, i32, i32, i32, i32, i32, i32, i32) const);
  PIN(TMat4D, CopyMatrixToLayer, void(const TMatrix*, i32, i32, i32, i32, i32, i32, i32, i32));
  PIN(TMat4D, CopyMat3DToTimeSlot,
      void(const TMat3D*, i32, i32, i32, i32, i32, i32, i32, i32, i32, i32));
  PIN(TMat4D, Copy1DArrayToPixel, void(const TDoubleArray&, i32, i32, i32, i32));
  PIN(TMat4D, MeanOfLayersToMatrix, void(TMatrix*, i32, i32, i32, i32, i32, i32, i32, i32) const);
  PIN(TMat4D, MaximumOfLayersToMatrix,
      void(TMatrix*, i32, i32, i32, i32, i32, i32, i32, i32) const);
  PIN(TMat4D, MinimumOfLayersToMatrix,
      void(TMatrix*, i32, i32, i32, i32, i32, i32, i32, i32) const);
  PIN(TMat4D, StdDevOfLayersToMatrix,
      void(TMatrix*, i32, i32, i32, i32, i32, i32, i32, i32) const);
  PIN(TMat4D, Cut, R8);
  PIN(TMat4D, Resample, void(i32, i32, i32, i32, i32, i32, i32, i32, bool));
  PIN(TMat4D, Transpose, bool());
  PIN(TMat4D, MirrorColumns, void());
  PIN(TMat4D, MirrorRows, void());
  PIN(TMat4D, MirrorLayers, void());
  PIN(TMat4D, MirrorTimeSlots, void());
  PIN(TMat4D, Assign, void(TPersistent*));
  PIN(TMat4D, AssignTo, void(TPersistent*));
  PIN(TMat4D, Clone, void(const TMat4D*));
  PIN(TMat4D, CRCofData, std::string() const);
  PIN(TMat4D, SaveBinary, void(S, i32, i32) const);
  PIN(TMat4D, LoadBinary, void(S, i32, i32));
  PIN(TMat4D, ReadBinary, void(S, i32, i32) const);
  PIN(TMat4D, ReadLayer, void(S, i32, i32));
  PIN(TMat4D, ReadLayer, void(S, i32, i32, TDouble2DArray&) const);
  PIN(TMat4D, AppendToBinaryFile, void(S, i32, i32) const);
  PIN(TMat4D, Changed, void());
  // XML
  PIN(TMat4D, SaveAsXMLFile, bool(const std::string&) const);
  PIN(TMat4D, WriteToOpenXMLFile, void(TTextWriter*, bool) const);
  PIN(TMat4D, WriteToXMLStream, void(TStream*, bool) const);
  PIN(TMat4D, LoadFromXMLFile, bool(const std::string&, const std::string&, TXmlReadInfo*));
  PIN(TMat4D, ReadFromOpenXMLFile, bool(TTextReader*, bool, const std::string&, TXmlReadInfo*));
  PIN(TMat4D, ReadFromXMLStream, bool(TStream*, bool, const std::string&, TXmlReadInfo*));
  PIN(TMat4D, WriteXMLElement, void(TXmlWriter&) const);
  PIN(TMat4D, CommitXML, void(TMat4DXmlContent&));
  EXPECT_EQ(pins.size(), 67u);
  bool (*header)(S, i32&, i32&, i32&, i32&, std::string&) = &TMat4D::ReadBinaryHeader;
  EXPECT_NE(header, nullptr);
  static_assert(std::is_same_v<TOnReadMat4DElementEvent,
                               std::function<void(TObject*, i32, i32, i32, i32, double)>>);
  static_assert(std::is_base_of_v<TComponent, TMat4D>);
}

}  // namespace
}  // namespace nuv
