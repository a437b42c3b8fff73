// Pins the public signatures of TMatrix (column before row everywhere, var
// scalars by reference, objects by pointer), its enumerations and the mode
// names. Taking each member's address also makes the test executable link
// against every out-of-line member, which fails when one is not exported. The
// pins are compile and link checks (see common/pin_member.h).
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <iterator>
#include <string>
#include <type_traits>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"
#include "common/pin_member.h"

namespace nuv {
namespace {

using i32 = int32_t;
using MatP = const TMatrix*;

TEST(MatrixInterface, SignaturesOfTMatrix) {
  std::vector<const void*> pins;
  // Core
  PIN(TMatrix, NrOfColumns, i32() const);
  PIN(TMatrix, NrOfRows, i32() const);
  PIN(TMatrix, SetNCols, void(i32));
  PIN(TMatrix, SetNRows, void(i32));
  PIN(TMatrix, DataID, const std::string&() const);
  PIN(TMatrix, SetDataID, void(const std::string&));
  PIN(TMatrix, GetVal, double(i32, i32) const);
  PIN(TMatrix, SetVal, void(i32, i32, double));
  PIN(TMatrix, Resize, bool(i32, i32));
  PIN(TMatrix, ResizeAndClear, bool(i32, i32));
  PIN(TMatrix, Fill, void(double));
  PIN(TMatrix, FillDiag, void(double));
  PIN(TMatrix, FillRandomUniform, void(double, double));
  PIN(TMatrix, FillRandomGauss, void(double, double));
  PIN(TMatrix, Clone, void(MatP));
  PIN(TMatrix, CopyFrom, void(MatP, i32, i32, i32, i32, i32, i32));
  PIN(TMatrix, CopyFromVec, void(TDims, const TVector*, i32, i32, i32, i32));
  PIN(TMatrix, CopyFromVec, void(const TVector*, i32, i32, i32, i32));
  PIN(TMatrix, CopyRowToVec, void(TVector*, i32, i32, i32) const);
  PIN(TMatrix, CopyColToVec, void(TVector*, i32, i32, i32) const);
  PIN(TMatrix, CountValues, i32(i32, i32, i32, i32, double, double) const);
  PIN(TMatrix, CRCofData, std::string() const);
  PIN(TMatrix, MakeValidColRange, void(i32&, i32&) const);
  PIN(TMatrix, MakeValidRowRange, void(i32&, i32&) const);
  PIN(TMatrix, GetFPrecis, i32(i32) const);
  PIN(TMatrix, SetFPrecis, void(i32, i32));
  PIN(TMatrix, SortExchange, void(uint8_t, i32, i32, i32, i32));
  PIN(TMatrix, Changed, void());
  // Linear algebra
  PIN(TMatrix, Multiply, bool(MatP, TMatrix*));
  PIN(TMatrix, Multiply, bool(const TVector*, TVector*));
  PIN(TMatrix, MultiplyTransposed, bool(MatP, TMatrix*));
  PIN(TMatrix, TransposeAndMultiply, bool(MatP, TMatrix*));
  PIN(TMatrix, TransposeAndMultiply, bool(const TVector*, TVector*));
  PIN(TMatrix, EMult, bool(MatP, TMatrix*));
  PIN(TMatrix, Add, bool(MatP));
  PIN(TMatrix, Subtract, bool(MatP));
  PIN(TMatrix, SMult, void(double));
  PIN(TMatrix, SAdd, void(double));
  PIN(TMatrix, Square, bool(TMatrix*, double));
  PIN(TMatrix, Transpose, bool());
  PIN(TMatrix, Diff, void(i32));
  PIN(TMatrix, Trace, double() const);
  PIN(TMatrix, Norm, double(TNormType) const);
  PIN(TMatrix, LUdecomposition, bool(TMatrix*, TMatrix*) const);
  PIN(TMatrix, Determinant, double() const);
  PIN(TMatrix, Invert, bool());
  PIN(TMatrix, CholeskyDecomp, bool(TMatrix*));
  PIN(TMatrix, Balance, bool());
  // Statistics, normalization, searching and sorting
  PIN(TMatrix, Sum, double(i32, i32, i32, i32) const);
  PIN(TMatrix, MinMax, void(i32, i32, i32, i32, double&, double&) const);
  PIN(TMatrix, MeanVar, void(i32, i32, i32, i32, double&, double&) const);
  PIN(TMatrix, GeometricMean, double(i32, i32, i32, i32) const);
  PIN(TMatrix, HarmonicMean, double(i32, i32, i32, i32) const);
  PIN(TMatrix, SkewKurt, void(i32, i32, i32, i32, double&, double&) const);
  PIN(TMatrix, SkewKurtSample, void(i32, i32, i32, i32, double&, double&) const);
  PIN(TMatrix, Quartiles, bool(i32, i32, i32, i32, double&, double&, double&) const);
  PIN(TMatrix, Percentile, double(double, i32, i32, i32, i32) const);
  PIN(TMatrix, Percentile, double(double, i32, i32, i32, i32, i32) const);
  PIN(TMatrix, Histogram,
      bool(i32, i32, i32, i32, double, double, double, TIntVector*, i32&, i32&, i32&) const);
  PIN(TMatrix, Correlate, double(MatP) const);
  PIN(TMatrix, MeanVec, void(TDims, TVector*) const);
  PIN(TMatrix, MeanCenterColumns, void(TVector*));
  PIN(TMatrix, MeanCenterRows, void(TVector*));
  PIN(TMatrix, StandardizeColumns, void(TVector*, TVector*));
  PIN(TMatrix, StandardizeRows, void(TVector*, TVector*));
  PIN(TMatrix, QNormalizeColumns, void(double, TVector*, TVector*));
  PIN(TMatrix, QNormalizeRows, void(double, TVector*, TVector*));
  PIN(TMatrix, Find, void(i32, i32, i32, i32, double, i32&, i32&) const);
  PIN(TMatrix, FindInSortedColumn, i32(i32, bool, double) const);
  PIN(TMatrix, SortRows, void(i32, bool, i32, i32, i32, i32));
  PIN(TMatrix, SortCols, void(i32, bool, i32, i32, i32, i32));
  PIN(TMatrix, MirrorColumns, void());
  PIN(TMatrix, MirrorRows, void());
  PIN(TMatrix, ExchangeColumns, void(i32, i32));
  PIN(TMatrix, ExchangeRows, void(i32, i32));
  PIN(TMatrix, EdgeVector, void(TOrientation, TEdgeOp, TVector*) const);
  // Object distances
  PIN(TMatrix, DistanceOfObjects, double(TDistMode, i32, i32) const);
  PIN(TMatrix, CalcDistMat, i32(TDistMode, TMatrix*) const);
  // XML
  PIN(TMatrix, SaveAsXMLFile, bool(const std::string&) const);
  PIN(TMatrix, WriteToOpenXMLFile, void(TTextWriter*, bool) const);
  PIN(TMatrix, WriteToXMLStream, void(TStream*, bool) const);
  PIN(TMatrix, LoadFromXMLFile, bool(const std::string&, const std::string&, TXmlReadInfo*));
  PIN(TMatrix, ReadFromOpenXMLFile, bool(TTextReader*, bool, const std::string&, TXmlReadInfo*));
  PIN(TMatrix, ReadFromXMLStream, bool(TStream*, bool, const std::string&, TXmlReadInfo*));
  PIN(TMatrix, WriteXMLElement, void(TXmlWriter&) const);
  PIN(TMatrix, CommitXML, void(TMatrixXmlContent&));
  EXPECT_EQ(pins.size(), 86u);

  static_assert(std::is_base_of_v<TComponent, TMatrix>);
  static_assert(!std::is_convertible_v<TComponent*, TMatrix>, "Create(AOwner) is explicit");
  static_assert(std::is_same_v<TOnCalcDistanceEvent,
                               std::function<void(TObject*, int32_t, int32_t, double&)>>);
}

TEST(MatrixInterface, EnumerationsAndModeNames) {
  EXPECT_EQ(ntColwise, 0);
  EXPECT_EQ(ntRowwise, 1);
  EXPECT_EQ(ntSpectral, 2);
  EXPECT_EQ(ntFrobenius, 3);
  EXPECT_EQ(eopMin, 0);
  EXPECT_EQ(eopMax, 1);
  EXPECT_EQ(eopSum, 2);
  EXPECT_EQ(eopMean, 3);
  EXPECT_EQ(xmlMatNumCols, 0);
  EXPECT_EQ(xmlMatCell, 4);
  EXPECT_EQ(xmlInvalid, 7);
  // Display names indexed by the mode, one per value.
  const char* const want[] = {"Jaccard coefficient", "Manhattan",        "Euclidean",
                              "squared Euclidean",   "Dice coefficient", "user defined"};
  const TDistMode modes[] = {dmJaccard, dmManhattan, dmEuclid, dmEuclidSqr, dmDice, dmUserDef};
  ASSERT_EQ(std::size(DistModeId), 6u);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(static_cast<int>(modes[i]), i);
    EXPECT_EQ(std::string(DistModeId[modes[i]]), want[i]);
  }
}

}  // namespace
}  // namespace nuv
