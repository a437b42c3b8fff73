// Pins the public signatures of TIntMatrix and of the TMatrix.CopyFrom
// overload that reads one. Taking each member's address also makes the test
// link against every out-of-line member, which fails when one is not exported.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"
#include "common/pin_member.h"

namespace nuv {
namespace {

using i32 = int32_t;
using IMatP = const TIntMatrix*;

TEST(IntMatrixInterface, SignaturesOfTIntMatrix) {
  std::vector<const void*> pins;
  PIN(TIntMatrix, NrOfColumns, i32() const);
  PIN(TIntMatrix, NrOfRows, i32() const);
  PIN(TIntMatrix, SetNCols, void(i32));
  PIN(TIntMatrix, SetNRows, void(i32));
  PIN(TIntMatrix, DataID, const std::string&() const);
  PIN(TIntMatrix, SetDataID, void(const std::string&));
  PIN(TIntMatrix, IsSparse, bool() const);
  PIN(TIntMatrix, SparseNumElem, i32() const);
  PIN(TIntMatrix, NumAllocated, i32() const);
  PIN(TIntMatrix, AllocBy, i32() const);
  PIN(TIntMatrix, SpMat, std::vector<TSpMatElemInt>() const);
  PIN(TIntMatrix, ArrayToSparse, void(i32));
  PIN(TIntMatrix, SparseToArray, void());
  PIN(TIntMatrix, GetVal, i32(i32, i32) const);
  PIN(TIntMatrix, SetVal, void(i32, i32, i32));
  PIN(TIntMatrix, Resize, bool(i32, i32));
  PIN(TIntMatrix, ResizeAndClear, bool(i32, i32));
  PIN(TIntMatrix, Fill, void(i32));
  PIN(TIntMatrix, Clone, void(IMatP));
  PIN(TIntMatrix, CopyFrom, void(IMatP, i32, i32, i32, i32, i32, i32));
  PIN(TIntMatrix, CopyRowToVec, void(TIntVector*, i32, i32, i32) const);
  PIN(TIntMatrix, CopyColToVec, void(TIntVector*, i32, i32, i32) const);
  PIN(TIntMatrix, Transpose, bool());
  PIN(TIntMatrix, Add, bool(IMatP));
  PIN(TIntMatrix, Sum, i32(i32, i32, i32, i32) const);
  PIN(TIntMatrix, Trace, i32() const);
  PIN(TIntMatrix, MinMax, void(i32, i32, i32, i32, i32&, i32&) const);
  PIN(TIntMatrix, MeanVar, void(i32, i32, i32, i32, double&, double&) const);
  PIN(TIntMatrix, SkewKurt, void(i32, i32, i32, i32, double&, double&) const);
  PIN(TIntMatrix, SkewKurtSample, void(i32, i32, i32, i32, double&, double&) const);
  PIN(TIntMatrix, CountValues, i32(i32, i32, i32, i32, i32, i32) const);
  PIN(TIntMatrix, CountMaskedZeros, i32(i32, i32, i32, i32, uint32_t) const);
  PIN(TIntMatrix, GeometricMean, double(i32, i32, i32, i32) const);
  PIN(TIntMatrix, HarmonicMean, double(i32, i32, i32, i32) const);
  PIN(TIntMatrix, Quartiles, bool(i32, i32, i32, i32, double&, double&, double&) const);
  PIN(TIntMatrix, Percentile, double(double, i32, i32, i32, i32) const);
  PIN(TIntMatrix, Percentile, double(double, i32, i32, i32, i32, i32) const);
  PIN(TIntMatrix, MeanVec, void(TDims, TVector*) const);
  PIN(TIntMatrix, EdgeVector, void(TOrientation, TEdgeOp, TVector*) const);
  PIN(TIntMatrix, CRCofData, std::string() const);
  PIN(TIntMatrix, Subtract, bool(IMatP));
  PIN(TIntMatrix, SMult, void(i32));
  PIN(TIntMatrix, SAdd, void(i32));
  PIN(TIntMatrix, EMult, bool(IMatP, TIntMatrix*));
  PIN(TIntMatrix, Multiply, bool(IMatP, TIntMatrix*));
  PIN(TIntMatrix, Multiply, bool(const TIntVector*, TIntVector*));
  PIN(TIntMatrix, MultiplyTransposed, bool(IMatP, TIntMatrix*));
  PIN(TIntMatrix, TransposeAndMultiply, bool(IMatP, TIntMatrix*));
  PIN(TIntMatrix, TransposeAndMultiply, bool(const TIntVector*, TIntVector*));
  PIN(TIntMatrix, FillDiag, void(i32));
  PIN(TIntMatrix, Find, void(i32, i32, i32, i32, i32, i32&, i32&) const);
  PIN(TIntMatrix, FindInSortedColumn, i32(i32, bool, i32) const);
  PIN(TIntMatrix, SortRows, void(i32, bool, i32, i32, i32, i32));
  PIN(TIntMatrix, SortCols, void(i32, bool, i32, i32, i32, i32));
  PIN(TIntMatrix, MirrorColumns, void());
  PIN(TIntMatrix, MirrorRows, void());
  PIN(TIntMatrix, ExchangeColumns, void(i32, i32));
  PIN(TIntMatrix, ExchangeRows, void(i32, i32));
  PIN(TIntMatrix, PercDone, void(TObject*, i32));
  PIN(TIntMatrix, StoreOnFile,
      bool(const std::string&, char, const std::vector<std::string>&) const);
  PIN(TIntMatrix, LoadFromFile, bool(const std::string&, bool));
  PIN(TIntMatrix, LoadFromFile, bool(const std::string&, bool, TMatrixTextInfo&));
  PIN(TIntMatrix, SaveToStream, void(TMemoryStream*&) const);
  PIN(TIntMatrix, SaveToStream, void(TFileStream*) const);
  PIN(TIntMatrix, LoadFromStream, bool(TMemoryStream*, bool));
  PIN(TIntMatrix, LoadFromStream, bool(TFileStream*, bool));
  PIN(TIntMatrix, SaveBinary, bool(const std::string&) const);
  PIN(TIntMatrix, LoadBinary, bool(const std::string&, bool));
  PIN(TIntMatrix, StoreSparseMat, bool(const std::string&) const);
  PIN(TIntMatrix, LoadSparseMat, bool(const std::string&));
  PIN(TMatrix, CopyFrom, void(IMatP, i32, i32, i32, i32, i32, i32));
  // XML
  PIN(TIntMatrix, SaveAsXMLFile, bool(const std::string&) const);
  PIN(TIntMatrix, WriteToOpenXMLFile, void(TTextWriter*, bool) const);
  PIN(TIntMatrix, WriteToXMLStream, void(TStream*, bool) const);
  PIN(TIntMatrix, LoadFromXMLFile, bool(const std::string&, const std::string&, TXmlReadInfo*));
  PIN(TIntMatrix, ReadFromOpenXMLFile, bool(TTextReader*, bool, const std::string&, TXmlReadInfo*));
  PIN(TIntMatrix, ReadFromXMLStream, bool(TStream*, bool, const std::string&, TXmlReadInfo*));
  PIN(TIntMatrix, WriteXMLElement, void(TXmlWriter&) const);
  PIN(TIntMatrix, CommitXML, void(TIntMatrixXmlContent&));
  EXPECT_EQ(pins.size(), 79u);

  TIntMatrix* (*createSparse)(TComponent*, i32) = &TIntMatrix::CreateSparse;
  int32_t (*readHeader)(const std::string&, i32&, i32&, std::string&) =
      &TIntMatrix::ReadBinaryHeader;
  EXPECT_NE(createSparse, nullptr);
  EXPECT_NE(readHeader, nullptr);
  static_assert(std::is_base_of_v<TComponent, TIntMatrix>);
  static_assert(!std::is_convertible_v<TComponent*, TIntMatrix>, "Create(AOwner) is explicit");
  static_assert(sizeof(TSpMatElemInt) == 12 && std::is_standard_layout_v<TSpMatElemInt>);
  static_assert(offsetof(TSpMatElemInt, colidx) == 0 && offsetof(TSpMatElemInt, rowidx) == 4 &&
                offsetof(TSpMatElemInt, value) == 8);
}

TEST(IntMatrixInterface, AssignIsTheComponentsAndPercDoneFires) {
  TIntMatrix a, b;
  EXPECT_THROW(a.Assign(&b), EConvertError);
  int got = -1;
  TObject* sender = nullptr;
  a.PercDone(&b, 40);  // unassigned: nothing
  a.SetOnPercentDone([&](TObject* s, int32_t p) {
    sender = s;
    got = p;
  });
  a.PercDone(&b, 40);
  EXPECT_EQ(got, 40);
  EXPECT_EQ(sender, &b);
}

}  // namespace
}  // namespace nuv
