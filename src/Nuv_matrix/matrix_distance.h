// Row-at-a-time access to the object distances of CalcDistMat, for callers
// that keep the distances in storage of their own (a packed triangle).
#pragma once

#include <cstdint>
#include <vector>

#include "Nuv_matrix/matrix_core.h"

namespace nuv {
namespace detail {

/// The distances of one of the five built-in modes (dmJaccard .. dmDice) from one row of a
/// matrix to all later rows, bit for bit those that CalcDistMat stores. The matrix must
/// outlive the object and stay unchanged while it is used.
class NUV_API TRowDistances {
 public:
  /// Mode must be below dmUserDef. Raises ENUVMatrixError "not enough memory on heap".
  TRowDistances(const TMatrix& Mat, TDistMode Mode);
  /// Distances from row i to rows j = i + 1 .. NrOfRows - 1 (0-based) into Out[j];
  /// Out must hold NrOfRows values, Out[0..i] are left alone.
  void FromRow(int32_t i, double* Out) const;

 private:
  const TMatrix& FMat;
  TDistMode FMode;
  std::vector<double> FRowSq;  ///< squared row lengths (Jaccard and Dice only)
};

}  // namespace detail
}  // namespace nuv
