// Nearest neighbours of a query, estimates from them, mean neighbour
// distances and Gaussian kernel values.
#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <vector>

#include "Nuv_math1/sort_array.h"
#include "Nuv_math2/knn.h"
#include "Nuv_math2/svd_solve.h"
#include "foundation/cpu_clones.h"

// The distance kernel is built for AVX2 and the baseline, the better one
// chosen at load time. No contraction into fused multiply-adds is allowed
// (ISO mode), so both give the same bits.

namespace nuv {

namespace {

constexpr int32_t kMaxNeighbors = 100;
constexpr int32_t kMaxMeanNeighbors = 50;
constexpr int32_t kBlock = 256;

// The k smallest distances offered so far, ascending, with their rows: kept by
// SortIntoArray and InsertIntoArray, so of equal distances the row offered
// later comes first. A list of k entries holds what the first k entries of a
// longer list would.
class TNeighbourList {
 public:
  explicit TNeighbourList(int32_t k)
      : FDist(static_cast<size_t>(k), uc_MaxReal), FRow(static_cast<size_t>(k), 0) {}
  void Offer(double d, int32_t Row) {
    // A distance beyond the last entry is left out by SortIntoArray; skipping it
    // here saves the call for most rows.
    if (d > FDist.back()) return;
    InsertIntoArray(FRow, Row, SortIntoArray(FDist, d, true, true));
  }
  /// The squared distances above this bound have square roots beyond the last entry, so
  /// they need neither the root nor the offer; +inf where squaring would lose precision.
  double SkipBound() const {
    const double last = FDist.back();
    return last >= 1e-150 ? last * last * (1 + 0x1p-48) : std::numeric_limits<double>::infinity();
  }
  const std::vector<double>& Dist() const { return FDist; }
  const std::vector<int32_t>& Row() const { return FRow; }

 private:
  std::vector<double> FDist;
  std::vector<int32_t> FRow;
};

// Squared Euclidean distances of the matrix rows R0..R1-1 (0-based, inside the
// matrix, at most kBlock) to the point Q of NQ coordinates: the squares are added over
// the coordinates in ascending order from 0, coordinates beyond the matrix's
// columns against 0. Runs over a block of rows at once so that every loop reads
// a contiguous column.
NUV_AVX2_CLONES
void BlockDistances(const double* Base, size_t Stride, int32_t NCol, const double* Q, int32_t NQ,
                    int32_t R0, int32_t R1, double* Out) {
  const int32_t m = R1 - R0;
  for (int32_t b = 0; b < m; ++b) Out[b] = 0.0;
  for (int32_t c = 0; c < NQ; ++c) {
    const double qc = Q[c];
    if (c < NCol) {
      const double* x = Base + static_cast<size_t>(c) * Stride + R0;
      for (int32_t b = 0; b < m; ++b) {
        const double t = x[b] - qc;
        Out[b] += t * t;
      }
    } else {
      const double t = 0.0 - qc;
      const double tt = t * t;
      for (int32_t b = 0; b < m; ++b) Out[b] += tt;
    }
  }
}

// The distance of a row of zeros (a row beyond the matrix) to Q.
double ZeroRowDistance(const double* Q, int32_t NQ) {
  double s = 0.0;
  for (int32_t c = 0; c < NQ; ++c) {
    const double t = 0.0 - Q[c];
    s += t * t;
  }
  return std::sqrt(s);
}

// Offers rows Low..High (rows beyond the matrix read as zeros) in ascending
// order. Rows beyond the matrix all have one distance; of a run of them only
// the last List-length ones can stay in the list, so only those are offered.
void OfferRows(const TMatrix& M, int64_t Low, int64_t High, const double* Q, int32_t NQ,
               int32_t K, TNeighbourList& List) {
  const int64_t n = M.NrOfRows();
  const double zero = ZeroRowDistance(Q, NQ);
  auto offerZeroRun = [&](int64_t a, int64_t b) {
    if (b < a) return;
    for (int64_t r = std::max(a, b - K + 1); r <= b; ++r) List.Offer(zero, static_cast<int32_t>(r));
  };
  offerZeroRun(Low, std::min<int64_t>(High, 0));
  const int64_t lo = std::max<int64_t>(Low, 1), hi = std::min<int64_t>(High, n);
  double d[kBlock];
  const double* base = M.ColData(1);
  const size_t stride = static_cast<size_t>(M.ColStride());
  for (int64_t r0 = lo; r0 <= hi; r0 += kBlock) {
    const int64_t r1 = std::min<int64_t>(hi + 1, r0 + kBlock);
    BlockDistances(base, stride, M.NrOfColumns(), Q, NQ, static_cast<int32_t>(r0 - 1),
                   static_cast<int32_t>(r1 - 1), d);
    // Most rows fail the bound; the root is taken only for the others.
    double bound = List.SkipBound();
    for (int64_t r = r0; r < r1; ++r) {
      if (d[r - r0] > bound) continue;
      List.Offer(std::sqrt(d[r - r0]), static_cast<int32_t>(r));
      bound = List.SkipBound();
    }
  }
  offerZeroRun(std::max<int64_t>(Low, n + 1), High);
}

// The quadratic model's terms at the point X of P coordinates: 1, x_1..x_p,
// x_1^2..x_p^2, x_a x_b for a < b.
void QuadraticTerms(const double* X, int32_t P, double* Terms) {
  int32_t t = 0;
  Terms[t++] = 1.0;
  for (int32_t a = 0; a < P; ++a) Terms[t++] = X[a];
  for (int32_t a = 0; a < P; ++a) Terms[t++] = X[a] * X[a];
  for (int32_t a = 0; a < P; ++a)
    for (int32_t b = a + 1; b < P; ++b) Terms[t++] = X[a] * X[b];
}

// The local quadratic model of the neighbours' targets evaluated at Query;
// 0 when the solver fails.
double BiQuadEstimate(const TMatrix& M, const TVector& Target, const TNeighbourList& List,
                      int32_t K, const TVector& Query) {
  const int32_t p = M.NrOfColumns();
  const int32_t nt = 1 + 2 * p + p * (p - 1) / 2;
  TMatrix A;
  TVector y, coef;
  A.Resize(nt, K);
  y.Resize(K);
  std::vector<double> x(static_cast<size_t>(p)), terms(static_cast<size_t>(nt));
  for (int32_t e = 0; e < K; ++e) {
    const int32_t row = List.Row()[static_cast<size_t>(e)];
    for (int32_t c = 0; c < p; ++c) x[static_cast<size_t>(c)] = M.GetVal(c + 1, row);
    QuadraticTerms(x.data(), p, terms.data());
    for (int32_t t = 0; t < nt; ++t) A.ColData(t + 1)[e] = terms[static_cast<size_t>(t)];
    y.Data()[e] = Target.GetVal(row);
  }
  bool nearSingular = false;
  if (!SingValEquSolve(&A, &y, &coef, nullptr, nearSingular)) return 0.0;
  for (int32_t c = 0; c < p; ++c) x[static_cast<size_t>(c)] = Query.GetVal(c + 1);
  QuadraticTerms(x.data(), p, terms.data());
  double est = 0.0;
  for (int32_t t = 0; t < nt; ++t) est += coef.GetVal(t + 1) * terms[static_cast<size_t>(t)];
  return est;
}

// exp(-a) for a = S / Width^2 capped at 20. A zero sum is a zero exponent
// whatever the width (also 0, where the quotient would be NaN).
double GaussOfSquares(double S, double Width) {
  double a = S == 0 ? 0.0 : S / (Width * Width);
  if (a > 20) a = 20;
  return std::exp(-a);
}

}  // namespace

void FindNearestNeighbors(int32_t k, const TMatrix* DataMat, int32_t LowRow, int32_t HighRow,
                          const TVector* Query, TMatrix* KnnList,
                          const TKnnDistFunc& DistFunc) {
  if (DataMat == nullptr || KnnList == nullptr || (!DistFunc && Query == nullptr)) return;
  k = std::min({k, kMaxNeighbors, DataMat->NrOfRows()});
  if (k <= 0) return;
  TNeighbourList list(k);
  if (DistFunc) {
    for (int64_t r = LowRow; r <= HighRow; ++r)
      list.Offer(DistFunc(static_cast<int32_t>(r)), static_cast<int32_t>(r));
  } else {
    OfferRows(*DataMat, LowRow, HighRow, Query->Data(), Query->NrOfElem(), k, list);
  }
  for (int32_t e = 0; e < k; ++e) {
    if (e >= KnnList->NrOfRows()) break;
    if (KnnList->NrOfColumns() >= 1) KnnList->ColData(1)[e] = list.Row()[static_cast<size_t>(e)];
    if (KnnList->NrOfColumns() >= 2) KnnList->ColData(2)[e] = list.Dist()[static_cast<size_t>(e)];
  }
  KnnList->Changed();
}

void EstimateByKNN(const TMatrix* DataMat, const TVector* Target, int32_t k, TKnnWMode WMode,
                   double Param, const TVector* Query, double& Estimate, double& MeanDist) {
  Estimate = 0.0;
  MeanDist = 0.0;
  if (DataMat == nullptr || Target == nullptr || Query == nullptr || DataMat->NrOfRows() == 0)
    return;
  // At most as many neighbours as the list keeps, and at least one.
  k = std::max(1, std::min({k, kMaxNeighbors, DataMat->NrOfRows()}));
  try {
    TNeighbourList list(k);
    OfferRows(*DataMat, 1, DataMat->NrOfRows(), Query->Data(), Query->NrOfElem(), k, list);
    const std::vector<double>& d = list.Dist();
    const std::vector<int32_t>& row = list.Row();
    double sumD = 0.0;
    for (int32_t e = 0; e < k; ++e) sumD += d[static_cast<size_t>(e)];
    MeanDist = sumD / k;
    const double md = MeanDist == 0 ? 0.001 : MeanDist;
    double sw = 0.0, swy = 0.0;
    switch (WMode) {
      case kwmGauss:
        for (int32_t e = 0; e < k; ++e) {
          const double z = Param * d[static_cast<size_t>(e)] / md;
          const double w = std::exp(-(z * z));
          sw += w;
          swy += w * Target->GetVal(row[static_cast<size_t>(e)]);
        }
        Estimate = swy / sw;
        break;
      case kwmAverage:
        for (int32_t e = 0; e < k; ++e) swy += Target->GetVal(row[static_cast<size_t>(e)]);
        Estimate = swy / k;
        break;
      case kwmMedian: {
        TVector y;
        y.Resize(k);
        for (int32_t e = 0; e < k; ++e) y.Data()[e] = Target->GetVal(row[static_cast<size_t>(e)]);
        double q1, q3;
        y.Quartiles(1, k, q1, Estimate, q3);
        break;
      }
      case kwmLinear:
        for (int32_t e = 0; e < k; ++e) {
          const double w = 1 - d[static_cast<size_t>(e)] / md / Param;
          if (w > 0) {
            sw += w;
            swy += w * Target->GetVal(row[static_cast<size_t>(e)]);
          }
        }
        Estimate = sw > 0 ? swy / sw : 0.0;
        break;
      case kwmBiQuad:
        Estimate = BiQuadEstimate(*DataMat, *Target, list, k, *Query);
        break;
      default:
        break;
    }
  } catch (const std::bad_alloc&) {
    RaiseFunctionError<ENUVMath2Error>("EstimateByKNN", "not enough memory");
  }
}

void MeanDistanceKNN(const TMatrix* DataMat, int32_t k, int32_t LowRow, int32_t HighRow,
                     TVector* MeanDist) {
  if (DataMat == nullptr || MeanDist == nullptr || DataMat->NrOfRows() == 0) return;
  DataMat->MakeValidRowRange(LowRow, HighRow);
  // The range itself limits the neighbours too: a list longer than the range
  // would average in its unfilled entries.
  k = std::max(1, std::min({k, kMaxMeanNeighbors, DataMat->NrOfRows(), HighRow - LowRow + 1}));
  const int32_t p = DataMat->NrOfColumns();
  std::vector<double> q(static_cast<size_t>(p));
  for (int32_t i = LowRow; i <= HighRow; ++i) {
    for (int32_t c = 0; c < p; ++c) q[static_cast<size_t>(c)] = DataMat->ColData(c + 1)[i - 1];
    TNeighbourList list(k);
    OfferRows(*DataMat, LowRow, HighRow, q.data(), p, k, list);
    double s = 0.0;
    for (int32_t e = 0; e < k; ++e) s += list.Dist()[static_cast<size_t>(e)];
    MeanDist->SetVal(i, s / k);
  }
}

double CalcGaussKernel(const TVector* x, const TVector* y, double Width) {
  if (x == nullptr || y == nullptr) return 0.0;
  double s = 0.0;
  for (int32_t i = 1; i <= y->NrOfElem(); ++i) {
    const double t = x->GetVal(i) - y->GetVal(i);
    s += t * t;
  }
  return GaussOfSquares(s, Width);
}

double CalcGaussKernelMat(const TVector* x, const TMatrix* Mat, int32_t Row, double Width) {
  if (x == nullptr || Mat == nullptr) return 0.0;
  double s = 0.0;
  for (int32_t c = 1; c <= Mat->NrOfColumns(); ++c) {
    const double t = x->GetVal(c) - Mat->GetVal(c, Row);
    s += t * t;
  }
  return GaussOfSquares(s, Width);
}

}  // namespace nuv
