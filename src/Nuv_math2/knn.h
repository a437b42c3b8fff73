// Nearest neighbours of a query object among the rows of a data matrix,
// estimation of a property from the neighbours, mean neighbour distances and
// Gaussian kernel values.
#pragma once

#include <cstdint>
#include <functional>

#include "Nuv_matrix/matrix_core.h"
#include "foundation/frame.h"

namespace nuv {

/// Weighting of the neighbours in EstimateByKNN.
enum TKnnWMode : uint8_t { kwmGauss, kwmAverage, kwmMedian, kwmLinear, kwmBiQuad };

/// The distance of the object in row Row to the query, for FindNearestNeighbors.
using TKnnDistFunc = std::function<double(int32_t Row)>;

/// The k nearest rows among LowRow..HighRow (taken as given: a reversed pair gives no row;
/// rows beyond DataMat read as rows of zeros). The distance of row r is DistFunc(r) when
/// DistFunc is assigned, else the Euclidean distance between Query and row r over the first
/// NrOfElem(Query) columns (columns beyond DataMat read as 0). A list of the smallest
/// distances is kept by SortIntoArray (duplicates allowed, so of equal distances the later row
/// comes first) with the row numbers by InsertIntoArray; NaN distances never enter it. Row r
/// of KnnList (r = 1..k) receives the row number (column 1) and the distance (column 2);
/// KnnList is not resized and cells outside it are not written; where fewer rows than k were
/// offered, the rest hold row 0 and distance uc_MaxReal. k is limited to 100 and to the rows
/// of DataMat; nothing is written for k <= 0 or an absent DataMat, KnnList or (without
/// DistFunc) Query. Fires KnnList's OnChange once.
NUV_API void FindNearestNeighbors(int32_t k, const TMatrix* DataMat, int32_t LowRow,
                                  int32_t HighRow, const TVector* Query, TMatrix* KnnList,
                                  const TKnnDistFunc& DistFunc);

/// Estimates the Target value (Target indexed by row number) of Query from its k nearest rows
/// of DataMat (all rows, Euclidean over the first NrOfElem(Query) columns, found as by
/// FindNearestNeighbors). k is limited to 1..100 and to the rows. MeanDist receives the mean
/// distance md of the neighbours; the weights use 0.001 where md is 0. With y the neighbours'
/// targets and d their distances: kwmGauss sum(w y) / sum(w), w = exp(-(Param d / md)^2);
/// kwmAverage sum(y) / k; kwmMedian the median of the y (TVector.Quartiles); kwmLinear
/// sum(w y) / sum(w) over the neighbours with w = 1 - d / md / Param > 0, 0 when there is
/// none; kwmBiQuad the quadratic model in all columns of DataMat (terms 1, x_1..x_p,
/// x_1^2..x_p^2, x_a x_b for a < b) fitted to the neighbours by SingValEquSolve and evaluated
/// at Query, 0 when the solver fails. Estimate and MeanDist are 0 for an absent argument or a
/// matrix without rows. Raises ENUVMath2Error "EstimateByKNN: not enough memory".
NUV_API void EstimateByKNN(const TMatrix* DataMat, const TVector* Target, int32_t k,
                           TKnnWMode WMode, double Param, const TVector* Query,
                           double& Estimate, double& MeanDist);

/// For each row i of LowRow..HighRow (clipped into the rows and ordered) MeanDist[i] (not
/// resized; elements beyond it are not written) receives the mean Euclidean distance (all
/// columns) of row i to its k nearest rows of the range, itself included at distance 0. k is
/// clipped to 1..50, to the rows and to the rows of the range. Nothing for an absent argument
/// or a matrix without rows. Fires MeanDist's OnChange once per element written.
NUV_API void MeanDistanceKNN(const TMatrix* DataMat, int32_t k, int32_t LowRow,
                             int32_t HighRow, TVector* MeanDist);

/// exp(-a), a = sum over the elements i of y of (x_i - y_i)^2 / Width^2 capped at 20 (elements
/// beyond x read as 0); a sum of 0 gives 1 whatever Width. 0 for an absent vector.
NUV_API double CalcGaussKernel(const TVector* x, const TVector* y, double Width);
/// The same with y the row Row of Mat, summed over its columns.
NUV_API double CalcGaussKernelMat(const TVector* x, const TMatrix* Mat, int32_t Row,
                                  double Width);

}  // namespace nuv
