// Distances and similarities between the rows (objects) of a matrix, and the
// symmetric matrix of all pairwise distances.
#include <cmath>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "Nuv_matrix/matrix_distance.h"

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

// Square roots of the sums of squares. std::sqrt keeps a branch for errno
// that stops vectorization; the SSE2 instruction gives the same correctly
// rounded results (NaN for NaN) two at a time.
void SqrtInPlace(double* a, int32_t n) {
  int32_t j = 0;
#if defined(__SSE2__)
  for (; j + 2 <= n; j += 2) _mm_storeu_pd(a + j, _mm_sqrt_pd(_mm_loadu_pd(a + j)));
#endif
  for (; j < n; ++j) a[j] = std::sqrt(a[j]);
}

template <TDistMode M>
inline double Term(double x, double y) {
  if constexpr (M == dmManhattan) {
    return std::fabs(x - y);
  } else if constexpr (M == dmEuclid || M == dmEuclidSqr) {
    return (x - y) * (x - y);
  } else {
    return x * y;
  }
}

// Adds the terms of G consecutive columns (from Col, stride Stride) to Acc[j]
// for j = J0..NRow-1, column after column, in one sweep over Acc.
template <TDistMode M, int G>
void AddColumns(const double* Col, size_t Stride, int32_t i, int32_t J0, int32_t NRow,
                double* Acc) {
  const double* c[G];
  double x[G];
  for (int g = 0; g < G; ++g) {
    c[g] = Col + static_cast<size_t>(g) * Stride;
    x[g] = c[g][i];
  }
  for (int32_t j = J0; j < NRow; ++j) {
    double a = Acc[j];
    for (int g = 0; g < G; ++g) a += Term<M>(x[g], c[g][j]);
    Acc[j] = a;
  }
}

// Distances from row i to the rows j > i of a column-major matrix, for one of
// the five built-in modes, into Acc[j]. The columns are added in ascending
// order to an accumulator that starts at 0.0, so every pair sums its terms in
// the order DistanceOfObjects uses and gets the same value; four columns are
// taken per sweep over the accumulators.
template <TDistMode M>
void DistancesFromRow(const double* Base, size_t Stride, int32_t NCol, int32_t NRow, int32_t i,
                      const double* RowSq, double* Acc) {
  const int32_t j0 = i + 1;
  for (int32_t j = j0; j < NRow; ++j) Acc[j] = 0.0;
  int32_t k = 0;
  for (; k + 4 <= NCol; k += 4)
    AddColumns<M, 4>(Base + static_cast<size_t>(k) * Stride, Stride, i, j0, NRow, Acc);
  const double* rest = Base + static_cast<size_t>(k) * Stride;
  switch (NCol - k) {
    case 3:
      AddColumns<M, 3>(rest, Stride, i, j0, NRow, Acc);
      break;
    case 2:
      AddColumns<M, 2>(rest, Stride, i, j0, NRow, Acc);
      break;
    case 1:
      AddColumns<M, 1>(rest, Stride, i, j0, NRow, Acc);
      break;
    default:
      break;
  }
  if constexpr (M == dmEuclid) {
    SqrtInPlace(Acc + j0, NRow - j0);
  } else if constexpr (M == dmJaccard) {
    for (int32_t j = j0; j < NRow; ++j) Acc[j] = Jaccard(Acc[j], RowSq[i], RowSq[j]);
  } else if constexpr (M == dmDice) {
    for (int32_t j = j0; j < NRow; ++j) Acc[j] = Dice(Acc[j], RowSq[i], RowSq[j]);
  }
}

// Fills the n x n matrix D (column stride DStride) with the pairwise
// distances. Column i below the diagonal is the accumulator of row i's
// distances; rows are taken in blocks of kDistBlock so that the mirrored half
// above the diagonal is written as short contiguous runs rather than one
// element per column.
constexpr int32_t kDistBlock = 64;

template <TDistMode M>
void FillDistances(const double* Base, size_t Stride, int32_t NCol, int32_t NRow, double* D,
                   size_t DStride, const double* RowSq) {
  for (int32_t i0 = 0; i0 < NRow; i0 += kDistBlock) {
    const int32_t i1 = i0 + kDistBlock < NRow ? i0 + kDistBlock : NRow;
    for (int32_t i = i0; i < i1; ++i) {
      double* di = D + static_cast<size_t>(i) * DStride;
      DistancesFromRow<M>(Base, Stride, NCol, NRow, i, RowSq, di);
      di[i] = 0.0;
    }
    for (int32_t j = i0 + 1; j < NRow; ++j) {
      double* dj = D + static_cast<size_t>(j) * DStride;
      const int32_t iEnd = j < i1 ? j : i1;
      for (int32_t i = i0; i < iEnd; ++i)
        dj[i] = D[static_cast<size_t>(i) * DStride + static_cast<size_t>(j)];
    }
  }
}

// Squared row lengths, the denominators' parts of the similarity modes.
void SumRowSquares(const double* Base, size_t Stride, int32_t NCol, int32_t NRow, double* RowSq) {
  for (int32_t k = 0; k < NCol; ++k) {
    const double* col = Base + static_cast<size_t>(k) * Stride;
    for (int32_t j = 0; j < NRow; ++j) RowSq[j] += col[j] * col[j];
  }
}

}  // namespace

namespace detail {

TRowDistances::TRowDistances(const TMatrix& Mat, TDistMode Mode) : FMat(Mat), FMode(Mode) {
  if (Mode != dmJaccard && Mode != dmDice) return;
  const int32_t n = Mat.NrOfRows();
  if (n == 0) return;
  if (!TryAllocate(FRowSq, static_cast<size_t>(n)))
    RaiseComponentError<ENUVMatrixError>(&Mat, "not enough memory on heap");
  SumRowSquares(Mat.ColData(1), static_cast<size_t>(Mat.ColStride()), Mat.NrOfColumns(), n,
                FRowSq.data());
}

void TRowDistances::FromRow(int32_t i, double* Out) const {
  const double* base = FMat.ColData(1);
  const size_t stride = static_cast<size_t>(FMat.ColStride());
  const int32_t nc = FMat.NrOfColumns(), n = FMat.NrOfRows();
  switch (FMode) {
    case dmJaccard:
      DistancesFromRow<dmJaccard>(base, stride, nc, n, i, FRowSq.data(), Out);
      break;
    case dmManhattan:
      DistancesFromRow<dmManhattan>(base, stride, nc, n, i, nullptr, Out);
      break;
    case dmEuclid:
      DistancesFromRow<dmEuclid>(base, stride, nc, n, i, nullptr, Out);
      break;
    case dmEuclidSqr:
      DistancesFromRow<dmEuclidSqr>(base, stride, nc, n, i, nullptr, Out);
      break;
    default:
      DistancesFromRow<dmDice>(base, stride, nc, n, i, FRowSq.data(), Out);
      break;
  }
}

}  // namespace detail

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
  std::vector<double> rowSq;
  if (!TryAllocate(rowSq, static_cast<size_t>(n))) RaiseNoHeap();
  const size_t stride = static_cast<size_t>(FRowsAlloc);
  if (Mode == dmJaccard || Mode == dmDice) SumRowSquares(FMat.data(), stride, FNCol, n, rowSq.data());
  double* D = DMat->FMat.data();
  const size_t ds = static_cast<size_t>(DMat->FRowsAlloc);
  const double* base = FMat.data();
  switch (Mode) {
    case dmJaccard:
      FillDistances<dmJaccard>(base, stride, FNCol, n, D, ds, rowSq.data());
      break;
    case dmManhattan:
      FillDistances<dmManhattan>(base, stride, FNCol, n, D, ds, rowSq.data());
      break;
    case dmEuclid:
      FillDistances<dmEuclid>(base, stride, FNCol, n, D, ds, rowSq.data());
      break;
    case dmEuclidSqr:
      FillDistances<dmEuclidSqr>(base, stride, FNCol, n, D, ds, rowSq.data());
      break;
    default:
      FillDistances<dmDice>(base, stride, FNCol, n, D, ds, rowSq.data());
      break;
  }
  return 0;
}

}  // namespace nuv
