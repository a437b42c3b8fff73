// Distances and similarities between the rows (objects) of a matrix, and the
// symmetric matrix of all pairwise distances.
#include <cmath>
#include <vector>

#include "Nuv_matrix/matrix_core.h"

namespace nuv {

namespace {

// Two all-zero rows are identical, so both similarity coefficients give 1.0
// where their quotient would be 0 / 0. The denominators vanish only then:
// Σx² + Σy² - Σxy >= (Σx² + Σy²) / 2.
double Jaccard(double sxy, double sxx, double syy) {
  const double den = sxx + syy - sxy;
  return den == 0 ? 1.0 : sxy / den;
}

double Dice(double sxy, double sxx, double syy) {
  const double den = sxx + syy;
  return den == 0 ? 1.0 : 2 * sxy / den;
}

}  // namespace

double TMatrix::DistanceOfObjects(TDistMode Mode, int32_t obj1, int32_t obj2) const {
  if (Mode == dmUserDef) {
    double dist = 0.0;
    if (FOnCalcDist) FOnCalcDist(const_cast<TMatrix*>(this), obj1, obj2, dist);
    return dist;
  }
  if (Mode > dmDice) return 0.0;
  // Rows outside the matrix are rows of zeros.
  const bool in1 = obj1 >= 1 && obj1 <= FNRow;
  const bool in2 = obj2 >= 1 && obj2 <= FNRow;
  const size_t stride = static_cast<size_t>(FRowsAlloc);
  const double* p1 = in1 ? FMat.data() + (obj1 - 1) : nullptr;
  const double* p2 = in2 ? FMat.data() + (obj2 - 1) : nullptr;
  double s = 0.0, sxx = 0.0, syy = 0.0;
  for (size_t k = 0; k < static_cast<size_t>(FNCol); ++k) {
    const double x = in1 ? p1[k * stride] : 0.0;
    const double y = in2 ? p2[k * stride] : 0.0;
    switch (Mode) {
      case dmManhattan:
        s += std::fabs(x - y);
        break;
      case dmEuclid:
      case dmEuclidSqr:
        s += (x - y) * (x - y);
        break;
      default:  // dmJaccard, dmDice
        s += x * y;
        sxx += x * x;
        syy += y * y;
        break;
    }
  }
  switch (Mode) {
    case dmEuclid:
      return std::sqrt(s);
    case dmJaccard:
      return Jaccard(s, sxx, syy);
    case dmDice:
      return Dice(s, sxx, syy);
    default:
      return s;
  }
}

namespace {

// Distances from row i to the rows j > i of a column-major matrix, for one of
// the five built-in modes, into Acc[j]. The columns are walked in ascending
// order and each is streamed over all j at once, so every pair sums its terms
// in the order DistanceOfObjects uses and gets the same value.
template <TDistMode M>
void DistancesFromRow(const double* Base, size_t Stride, int32_t NCol, int32_t NRow, int32_t i,
                      const double* RowSq, double* Acc) {
  const int32_t j0 = i + 1;
  for (int32_t j = j0; j < NRow; ++j) Acc[j] = 0.0;
  for (int32_t k = 0; k < NCol; ++k) {
    const double* col = Base + static_cast<size_t>(k) * Stride;
    const double x = col[i];
    for (int32_t j = j0; j < NRow; ++j) {
      if constexpr (M == dmManhattan) {
        Acc[j] += std::fabs(x - col[j]);
      } else if constexpr (M == dmEuclid || M == dmEuclidSqr) {
        Acc[j] += (x - col[j]) * (x - col[j]);
      } else {
        Acc[j] += x * col[j];
      }
    }
  }
  if constexpr (M == dmEuclid) {
    for (int32_t j = j0; j < NRow; ++j) Acc[j] = std::sqrt(Acc[j]);
  } else if constexpr (M == dmJaccard) {
    for (int32_t j = j0; j < NRow; ++j) Acc[j] = Jaccard(Acc[j], RowSq[i], RowSq[j]);
  } else if constexpr (M == dmDice) {
    for (int32_t j = j0; j < NRow; ++j) Acc[j] = Dice(Acc[j], RowSq[i], RowSq[j]);
  }
}

// Fills the n x n matrix D (column stride DStride) with the pairwise distances.
// Rows are taken in blocks of kBlock so that the mirrored half is written as
// short contiguous runs rather than one element per column.
template <TDistMode M>
void FillDistances(const double* Base, size_t Stride, int32_t NCol, int32_t NRow, double* D,
                   size_t DStride, double* Acc, const double* RowSq) {
  constexpr int32_t kBlock = 8;
  const size_t n = static_cast<size_t>(NRow);
  for (int32_t i0 = 0; i0 < NRow; i0 += kBlock) {
    const int32_t i1 = i0 + kBlock < NRow ? i0 + kBlock : NRow;
    for (int32_t i = i0; i < i1; ++i) {
      double* acc = Acc + static_cast<size_t>(i - i0) * n;
      DistancesFromRow<M>(Base, Stride, NCol, NRow, i, RowSq, acc);
      double* di = D + static_cast<size_t>(i) * DStride;
      di[i] = 0.0;
      for (int32_t j = i + 1; j < NRow; ++j) di[j] = acc[j];
    }
    for (int32_t j = i0 + 1; j < NRow; ++j) {
      double* dj = D + static_cast<size_t>(j) * DStride;
      const int32_t iEnd = j < i1 ? j : i1;
      for (int32_t i = i0; i < iEnd; ++i) dj[i] = Acc[static_cast<size_t>(i - i0) * n + static_cast<size_t>(j)];
    }
  }
}

}  // namespace

int32_t TMatrix::CalcDistMat(TDistMode Mode, TMatrix* DMat) const {
  if (DMat == nullptr) return -2;
  int32_t result = 0;
  if (DMat->FNCol != DMat->FNRow) result = -1;
  if (DMat->FNCol != FNRow) result = -2;
  if (result != 0) return result;
  const int32_t n = FNRow;
  if (DMat == this) {
    // The distances are taken from a copy, since they overwrite the data.
    TMatrix source;
    source.Assign(const_cast<TMatrix*>(this));
    return source.CalcDistMat(Mode, DMat);
  }
  if (Mode >= dmUserDef || DMat->FOnChange) {
    // Element by element through the setter, so that a handler sees every
    // write in order.
    for (int32_t i = 1; i < n; ++i) {
      DMat->SetVal(i, i, 0.0);
      for (int32_t j = i + 1; j <= n; ++j) {
        const double d = DistanceOfObjects(Mode, i, j);
        DMat->SetVal(i, j, d);
        DMat->SetVal(j, i, d);
      }
    }
    DMat->SetVal(n, n, 0.0);
    return 0;
  }
  if (n == 0) return 0;
  std::vector<double> acc, rowSq;
  if (!TryAllocate(acc, static_cast<size_t>(n) * 8) || !TryAllocate(rowSq, static_cast<size_t>(n)))
    RaiseNoHeap();
  const size_t stride = static_cast<size_t>(FRowsAlloc);
  if (Mode == dmJaccard || Mode == dmDice) {
    for (int32_t k = 0; k < FNCol; ++k) {
      const double* col = FMat.data() + static_cast<size_t>(k) * stride;
      for (int32_t j = 0; j < n; ++j) rowSq[static_cast<size_t>(j)] += col[j] * col[j];
    }
  }
  double* D = DMat->FMat.data();
  const size_t ds = static_cast<size_t>(DMat->FRowsAlloc);
  const double* base = FMat.data();
  switch (Mode) {
    case dmJaccard:
      FillDistances<dmJaccard>(base, stride, FNCol, n, D, ds, acc.data(), rowSq.data());
      break;
    case dmManhattan:
      FillDistances<dmManhattan>(base, stride, FNCol, n, D, ds, acc.data(), rowSq.data());
      break;
    case dmEuclid:
      FillDistances<dmEuclid>(base, stride, FNCol, n, D, ds, acc.data(), rowSq.data());
      break;
    case dmEuclidSqr:
      FillDistances<dmEuclidSqr>(base, stride, FNCol, n, D, ds, acc.data(), rowSq.data());
      break;
    default:
      FillDistances<dmDice>(base, stride, FNCol, n, D, ds, acc.data(), rowSq.data());
      break;
  }
  return 0;
}

}  // namespace nuv
