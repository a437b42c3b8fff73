// k-means (Lloyd's passes) with the clusters renumbered by size, the centres
// of an assignment, and the empirical estimate of the passes.
#include <cfloat>
#include <cmath>
#include <memory>
#include <new>
#include <vector>

#include "Nuv_math2/cluster.h"
#include "foundation/cpu_clones.h"

// The assignment kernel is built for AVX2 and the baseline, the better one
// chosen at load time. No contraction into fused multiply-adds is allowed
// (ISO mode), so both give the same bits.

namespace nuv {

namespace {

constexpr const char* kKMeans = "kMeansClustering";
constexpr int32_t kMaxPasses = 1001;
// Rows per block of the assignment: the block's columns and the distances to
// one centre stay in the first-level cache.
constexpr int32_t kBlock = 256;

// The data as the passes read it: column c of the rows starts at Base + c * Stride.
struct TDataView {
  const double* Base;
  size_t Stride;
  int32_t NRow;
  int32_t NCol;
};

// Rows R0..R1-1 go to their nearest centre (Cent holds the centres one after
// the other, NCol values each). Each distance is summed over the columns in
// ascending order from 0, as the plain definition does, but for a block of rows
// at once so that the loops run over contiguous columns. Best receives the
// distance to the chosen centre; returns true when an assignment changed.
NUV_AVX2_CLONES
bool AssignBlock(const TDataView& V, const double* Cent, int32_t K, int32_t R0, int32_t R1,
                 int32_t* Assign, double* Best) {
  double acc[kBlock];
  double best[kBlock];
  int32_t idx[kBlock];
  const int32_t m = R1 - R0;
  for (int32_t b = 0; b < m; ++b) {
    best[b] = DBL_MAX;
    idx[b] = 0;
  }
  for (int32_t c = 0; c < K; ++c) {
    const double* cc = Cent + static_cast<size_t>(c) * static_cast<size_t>(V.NCol);
    for (int32_t b = 0; b < m; ++b) acc[b] = 0.0;
    for (int32_t v = 0; v < V.NCol; ++v) {
      const double* x = V.Base + static_cast<size_t>(v) * V.Stride + R0;
      const double cv = cc[v];
      for (int32_t b = 0; b < m; ++b) {
        const double t = x[b] - cv;
        acc[b] += t * t;
      }
    }
    for (int32_t b = 0; b < m; ++b) {
      const bool nearer = acc[b] < best[b];
      best[b] = nearer ? acc[b] : best[b];
      idx[b] = nearer ? c : idx[b];
    }
  }
  bool changed = false;
  for (int32_t b = 0; b < m; ++b) {
    changed |= Assign[R0 + b] != idx[b];
    Assign[R0 + b] = idx[b];
    Best[R0 + b] = best[b];
  }
  return changed;
}

bool AssignAll(const TDataView& V, const double* Cent, int32_t K, int32_t* Assign,
               double* Best) {
  bool changed = false;
  for (int32_t r0 = 0; r0 < V.NRow; r0 += kBlock) {
    const int32_t r1 = V.NRow - r0 > kBlock ? r0 + kBlock : V.NRow;
    changed |= AssignBlock(V, Cent, K, r0, r1, Assign, Best);
  }
  return changed;
}

// Means of the clusters of Assign (0-based clusters; others belong to none)
// into Cent, sizes into Size. Sums run in row order for every centre and
// variable. Returns the number of rows in a cluster.
int32_t ComputeCenters(const TDataView& V, const int32_t* Assign, int32_t NAssign, int32_t K,
                       double* Cent, int32_t* Size) {
  const size_t p = static_cast<size_t>(V.NCol);
  const int32_t n = NAssign < V.NRow ? NAssign : V.NRow;
  for (int32_t c = 0; c < K; ++c) Size[c] = 0;
  for (size_t e = 0; e < p * static_cast<size_t>(K); ++e) Cent[e] = 0.0;
  int32_t counted = 0;
  for (int32_t r = 0; r < n; ++r) {
    if (Assign[r] >= 0 && Assign[r] < K) {
      ++Size[Assign[r]];
      ++counted;
    }
  }
  for (size_t v = 0; v < p; ++v) {
    const double* x = V.Base + v * V.Stride;
    for (int32_t r = 0; r < n; ++r) {
      const int32_t c = Assign[r];
      if (c >= 0 && c < K) Cent[static_cast<size_t>(c) * p + v] += x[r];
    }
  }
  for (int32_t c = 0; c < K; ++c) {
    if (Size[c] == 0) continue;
    const double cnt = Size[c];
    for (size_t v = 0; v < p; ++v) Cent[static_cast<size_t>(c) * p + v] /= cnt;
  }
  return counted;
}

TDataView ViewOf(const TMatrix* M) {
  return {M->ColData(1), static_cast<size_t>(M->ColStride()), M->NrOfRows(), M->NrOfColumns()};
}

// Copies K centres of NCol values into the rows of Centers (resized where it differs).
void StoreCenters(TMatrix* Centers, const double* Cent, int32_t K, int32_t NCol) {
  if (Centers->NrOfColumns() != NCol || Centers->NrOfRows() != K) Centers->Resize(NCol, K);
  for (int32_t v = 0; v < NCol; ++v) {
    double* col = Centers->ColData(v + 1);
    for (int32_t c = 0; c < K; ++c)
      col[c] = Cent[static_cast<size_t>(c) * static_cast<size_t>(NCol) + static_cast<size_t>(v)];
  }
  Centers->Changed();
}

// Values + Offset into Vec (resized where it differs).
void StoreInts(TIntVector* Vec, const int32_t* Values, int32_t N, int32_t Offset) {
  if (N <= 0) return;
  if (Vec->NrOfElem() != N) Vec->Resize(N);
  int32_t* out = Vec->Data();
  for (int32_t e = 0; e < N; ++e) out[e] = Values[e] + Offset;
  Vec->SetIsEmpty(false);
  Vec->Changed();
}

// Renumbers the clusters by size, largest first. The sizes are sorted by the
// library's comb sort of integer rows (the cluster numbers travel with them),
// so clusters of equal size come out in the order that sort leaves them.
void RenumberBySize(int32_t K, size_t P, std::vector<int32_t>& Assign,
                    std::vector<int32_t>& Size, std::vector<double>& Cent) {
  TIntMatrix order;
  order.Resize(2, K);
  for (int32_t c = 0; c < K; ++c) {
    order.ColData(1)[c] = Size[static_cast<size_t>(c)];
    order.ColData(2)[c] = c;
  }
  order.SortRows(1, false, 1, 1, 2, K);
  std::vector<int32_t> newNo(static_cast<size_t>(K));
  std::vector<double> cent(Cent.size());
  for (int32_t pos = 0; pos < K; ++pos) {
    const int32_t old = order.ColData(2)[pos];
    newNo[static_cast<size_t>(old)] = pos;
    Size[static_cast<size_t>(pos)] = order.ColData(1)[pos];
    for (size_t v = 0; v < P; ++v)
      cent[static_cast<size_t>(pos) * P + v] = Cent[static_cast<size_t>(old) * P + v];
  }
  Cent.swap(cent);
  for (int32_t& a : Assign) a = newNo[static_cast<size_t>(a)];
}

}  // namespace

double kMeansClustering(const TMatrix* DataMat, int32_t Spare1, int32_t Spare2,
                        int32_t NumClust, int32_t RandSeed, TMatrix* Centers,
                        TIntVector* ClassAssign, TIntVector* ClustSize) {
  (void)Spare1;
  (void)Spare2;
  if (NumClust <= 0)
    RaiseFunctionError<ENUVMath2Error>(kKMeans, "number of clusters must be at least 1");
  const int32_t n = DataMat != nullptr ? DataMat->NrOfRows() : 0;
  if (NumClust > n)
    RaiseFunctionError<ENUVMath2Error>(kKMeans,
                                       "number of clusters is greater than number of objects");
  const TDataView view = ViewOf(DataMat);
  const int32_t K = NumClust;
  const size_t p = static_cast<size_t>(view.NCol);
  std::vector<int32_t> assign, size;
  std::vector<double> cent, best;
  std::unique_ptr<TMatrix> ownCenters;
  std::unique_ptr<TIntVector> ownAssign, ownSize;
  try {
    assign.resize(static_cast<size_t>(n));
    best.resize(static_cast<size_t>(n));
    size.resize(static_cast<size_t>(K));
    cent.resize(p * static_cast<size_t>(K));
    if (Centers == nullptr) Centers = (ownCenters = std::make_unique<TMatrix>()).get();
    if (ClassAssign == nullptr) ClassAssign = (ownAssign = std::make_unique<TIntVector>()).get();
    if (ClustSize == nullptr) ClustSize = (ownSize = std::make_unique<TIntVector>()).get();
  } catch (const std::bad_alloc&) {
    RaiseFunctionError<ENUVMath2Error>(kKMeans, "not enough memory");
  }
  // The first pass compares with what the caller's assignment held (0-based here).
  for (int32_t r = 0; r < n; ++r) assign[static_cast<size_t>(r)] = ClassAssign->GetVal(r + 1) - 1;
  if (RandSeed > 0) SetRandSeed(static_cast<uint32_t>(RandSeed));
  for (int32_t c = 0; c < K; ++c) {
    const int32_t row = RandSeed > 0 ? Random(n) : c;
    for (size_t v = 0; v < p; ++v)
      cent[static_cast<size_t>(c) * p + v] = view.Base[v * view.Stride + static_cast<size_t>(row)];
  }

  bool limitHit = false;
  for (int32_t pass = 1;; ++pass) {
    ProgressStep();
    if (!AssignAll(view, cent.data(), K, assign.data(), best.data())) break;
    ComputeCenters(view, assign.data(), n, K, cent.data(), size.data());
    if (pass >= kMaxPasses) {
      limitHit = true;
      break;
    }
    if (AbortRequested()) {
      StoreCenters(Centers, cent.data(), K, view.NCol);
      StoreInts(ClassAssign, assign.data(), n, 1);
      StoreInts(ClustSize, size.data(), K, 0);
      return 0;
    }
  }
  // The sizes are counted from the final assignment also when the first pass
  // changed nothing and the centres were never recomputed.
  for (int32_t c = 0; c < K; ++c) size[static_cast<size_t>(c)] = 0;
  for (int32_t a : assign) ++size[static_cast<size_t>(a)];
  double sum = 0.0;
  if (limitHit) {
    // The centres moved after the last assignment: distances to the new ones.
    for (int32_t r = 0; r < n; ++r) {
      const double* cc = cent.data() + static_cast<size_t>(assign[static_cast<size_t>(r)]) * p;
      double d = 0.0;
      for (size_t v = 0; v < p; ++v) {
        const double t = view.Base[v * view.Stride + static_cast<size_t>(r)] - cc[v];
        d += t * t;
      }
      sum += d;
    }
  } else {
    for (int32_t r = 0; r < n; ++r) sum += best[static_cast<size_t>(r)];
  }
  RenumberBySize(K, p, assign, size, cent);
  StoreCenters(Centers, cent.data(), K, view.NCol);
  StoreInts(ClassAssign, assign.data(), n, 1);
  StoreInts(ClustSize, size.data(), K, 0);
  if (limitHit)
    RaiseFunctionError<ENUVMath2Error>(kKMeans, "max. number of iterations exceeded");
  return sum;
}

double kMeansClustering(const TMatrix* DataMat, int32_t Spare1, int32_t Spare2,
                        int32_t NumClust, TMatrix* Centers, TIntVector* ClassAssign) {
  return kMeansClustering(DataMat, Spare1, Spare2, NumClust, 0, Centers, ClassAssign, nullptr);
}

int32_t kMeansEstimatedSteps(int32_t Count1, int32_t Count2, int32_t Count3) {
  const double c1 = Count1, c2 = Count2, c3 = Count3;
  const double est = 0.18232 * std::sqrt(c1 * c2) - 108 - 0.00092427 * c1 -
                     0.00017557 * c1 * c3 + 0.38775 * std::sqrt(c1 * c3);
  // NaN (a negative product under a root) and anything below 20 give 20.
  if (!(est >= 20)) return 20;
  if (est >= 2147483647.0) return 2147483647;
  return static_cast<int32_t>(std::nearbyint(est));
}

int32_t FindCenters(const TMatrix* DataMat, const TIntVector* ClassAssign, int32_t NumClust,
                    TMatrix* Centers, TIntVector* ClustSize) {
  if (NumClust <= 0 || DataMat == nullptr || ClassAssign == nullptr || Centers == nullptr)
    return 0;
  const TDataView view = ViewOf(DataMat);
  const size_t p = static_cast<size_t>(view.NCol);
  const int32_t n = ClassAssign->NrOfElem() < view.NRow ? ClassAssign->NrOfElem() : view.NRow;
  std::vector<int32_t> assign, size;
  std::vector<double> cent;
  try {
    assign.resize(static_cast<size_t>(n));
    size.resize(static_cast<size_t>(NumClust));
    cent.resize(p * static_cast<size_t>(NumClust));
  } catch (const std::bad_alloc&) {
    RaiseFunctionError<ENUVMath2Error>("FindCenters", "not enough memory");
  }
  for (int32_t r = 0; r < n; ++r) assign[static_cast<size_t>(r)] = ClassAssign->Data()[r] - 1;
  const int32_t counted = ComputeCenters(view, assign.data(), n, NumClust, cent.data(), size.data());
  // Centers may be DataMat itself: it is written only after the means are taken.
  StoreCenters(Centers, cent.data(), NumClust, view.NCol);
  if (ClustSize != nullptr) StoreInts(ClustSize, size.data(), NumClust, 0);
  return counted;
}

}  // namespace nuv
