// Hierarchical agglomerative clustering: the distances of all pairs in a
// packed triangle, merge steps in the order of the plain all-pairs scan
// (smallest distance, then smallest i, then smallest j) found through per-row
// lower bounds in a heap, the dendrogram and the plotting positions.
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "Nuv_math2/cluster.h"
#include "Nuv_matrix/matrix_distance.h"

namespace nuv {

namespace {

constexpr const char* kAgglom = "AgglomClustering";
constexpr double kNoPair = std::numeric_limits<double>::infinity();

// The data matrix's distance event is replaced for the computation of the
// distances and restored on every exit.
class TDistEventSwap {
 public:
  TDistEventSwap(TMatrix* Mat, const TOnCalcDistanceEvent& Handler)
      : FMat(Mat), FOld(Mat->OnCalcDistance()) {
    Mat->SetOnCalcDistance(Handler);
  }
  ~TDistEventSwap() { FMat->SetOnCalcDistance(std::move(FOld)); }
  TDistEventSwap(const TDistEventSwap&) = delete;
  TDistEventSwap& operator=(const TDistEventSwap&) = delete;

 private:
  TMatrix* FMat;
  TOnCalcDistanceEvent FOld;
};

// Distances of the pairs a < b (0-based) of n objects: row a holds the pairs
// (a, a + 1 .. n - 1) contiguously, at Row[a] + b.
struct TPackedDist {
  std::vector<double> D;
  std::vector<int64_t> Row;
  double& At(int32_t a, int32_t b) { return D[static_cast<size_t>(Row[static_cast<size_t>(a)] + b)]; }
};

void AllocPacked(TPackedDist& P, int32_t n) {
  const int64_t nn = n;
  if (!TryAllocateUninit(P.D, static_cast<size_t>(nn * (nn - 1) / 2)) ||
      !TryAllocateUninit(P.Row, static_cast<size_t>(nn)))
    throw std::bad_alloc();
  for (int64_t a = 0; a < nn; ++a)
    P.Row[static_cast<size_t>(a)] = a * nn - a * (a + 1) / 2 - a - 1;
}

// The distances as CalcDistMat gives them; a user-defined mode asks the event
// for every pair in CalcDistMat's order.
void FillDistances(const TMatrix& Mat, TDistMode Mode, TPackedDist& P, int32_t n) {
  if (Mode >= dmUserDef) {
    for (int32_t i = 0; i + 1 < n; ++i)
      for (int32_t j = i + 1; j < n; ++j) P.At(i, j) = Mat.DistanceOfObjects(Mode, i + 1, j + 1);
    return;
  }
  detail::TRowDistances rows(Mat, Mode);
  std::vector<double> row;
  if (!TryAllocateUninit(row, static_cast<size_t>(n))) throw std::bad_alloc();
  for (int32_t i = 0; i + 1 < n; ++i) {
    rows.FromRow(i, row.data());
    std::copy(row.begin() + i + 1, row.end(), &P.At(i, i + 1));
  }
}

// Min-heap of the active rows keyed by (lower bound, row), so that the top is
// the row the all-pairs scan would reach first among equal distances.
class TRowHeap {
 public:
  TRowHeap(const std::vector<double>& Key, int32_t n) : FKey(Key), FHeap(static_cast<size_t>(n)), FPos(static_cast<size_t>(n)) {
    for (int32_t k = 0; k < n; ++k) FHeap[static_cast<size_t>(k)] = FPos[static_cast<size_t>(k)] = k;
    for (int32_t h = n / 2 - 1; h >= 0; --h) Down(h);
  }
  int32_t Top() const { return FHeap[0]; }
  void Update(int32_t k) {
    const int32_t h = FPos[static_cast<size_t>(k)];
    if (h > 0 && Before(k, FHeap[static_cast<size_t>((h - 1) / 2)]))
      Up(h);
    else
      Down(h);
  }
  void Remove(int32_t k) {
    const int32_t h = FPos[static_cast<size_t>(k)];
    const int32_t last = FHeap.back();
    FHeap.pop_back();
    if (last == k) return;
    Place(h, last);
    Update(last);
  }

 private:
  bool Before(int32_t a, int32_t b) const {
    const double ka = FKey[static_cast<size_t>(a)], kb = FKey[static_cast<size_t>(b)];
    return ka < kb || (ka == kb && a < b);
  }
  void Place(int32_t h, int32_t k) {
    FHeap[static_cast<size_t>(h)] = k;
    FPos[static_cast<size_t>(k)] = h;
  }
  void Up(int32_t h) {
    const int32_t k = FHeap[static_cast<size_t>(h)];
    while (h > 0) {
      const int32_t parent = (h - 1) / 2;
      if (!Before(k, FHeap[static_cast<size_t>(parent)])) break;
      Place(h, FHeap[static_cast<size_t>(parent)]);
      h = parent;
    }
    Place(h, k);
  }
  void Down(int32_t h) {
    const int32_t size = static_cast<int32_t>(FHeap.size());
    const int32_t k = FHeap[static_cast<size_t>(h)];
    for (;;) {
      int32_t c = 2 * h + 1;
      if (c >= size) break;
      if (c + 1 < size && Before(FHeap[static_cast<size_t>(c + 1)], FHeap[static_cast<size_t>(c)])) ++c;
      if (!Before(FHeap[static_cast<size_t>(c)], k)) break;
      Place(h, FHeap[static_cast<size_t>(c)]);
      h = c;
    }
    Place(h, k);
  }

  const std::vector<double>& FKey;
  std::vector<int32_t> FHeap;
  std::vector<int32_t> FPos;
};

// The merge steps. Slot k's row holds its pairs with the later active slots;
// Bound[k] is at most every candidate distance of that row (candidates are
// the values below uc_MaxReal, NaN never), kNoPair when it has none. When
// Exact[k] is set, Bound[k] is the row's smallest candidate and Nearest[k]
// the first slot holding it, exactly what the all-pairs scan would find in
// that row; rows lose exactness when their nearest slot goes or its distance
// grows, and are rescanned only when they reach the top of the heap.
class TMerger {
 public:
  TMerger(TPackedDist& D, int32_t n, TClusterMethod Method, double Alpha)
      : FD(D),
        FN(n),
        FMethod(Method),
        FAlpha(Alpha),
        FSize(static_cast<size_t>(n), 1),
        FCluster(static_cast<size_t>(n)),
        FActive(static_cast<size_t>(n)),
        FBound(static_cast<size_t>(n)),
        FNearest(static_cast<size_t>(n)),
        FExact(static_cast<size_t>(n)) {
    for (int32_t k = 0; k < n; ++k) {
      FCluster[static_cast<size_t>(k)] = k + 1;
      FActive[static_cast<size_t>(k)] = k;
    }
    for (int32_t k = 0; k < n; ++k) Rescan(k);
    FHeap = std::make_unique<TRowHeap>(FBound, n);
  }

  // Merge step Step (1-based): the two clusters merged and their distance.
  void Merge(int32_t Step, int32_t& ClusterI, int32_t& ClusterJ, double& Height) {
    int32_t top = FHeap->Top();
    while (!FExact[static_cast<size_t>(top)]) {
      Rescan(top);
      FHeap->Update(top);
      top = FHeap->Top();
    }
    int32_t i, j;
    if (FBound[static_cast<size_t>(top)] == kNoPair) {
      // No distance is a candidate: the first active pair.
      i = FActive[0];
      j = FActive[1];
    } else {
      i = top;
      j = FNearest[static_cast<size_t>(top)];
    }
    const double dij = FD.At(i, j);
    ClusterI = FCluster[static_cast<size_t>(i)];
    ClusterJ = FCluster[static_cast<size_t>(j)];
    Height = dij;
    FHeap->Remove(i);
    FActive.erase(std::lower_bound(FActive.begin(), FActive.end(), i));
    Update(i, j, dij);
    FSize[static_cast<size_t>(j)] += FSize[static_cast<size_t>(i)];
    FCluster[static_cast<size_t>(j)] = FN + Step;
  }

 private:
  // The distance of slot k to the merger of slots i and j.
  double NewDistance(double dik, double djk, double dij, double ni, double nj,
                     double nk) const {
    switch (FMethod) {
      case cmSingleLink:
        return dik < djk ? dik : djk;
      case cmCompleteLink:
        return dik > djk ? dik : djk;
      case cmWard:
        return (dik * (ni + nk) + djk * (nj + nk) - dij * nk) / (ni + nj + nk);
      case cmAvgLink:
        return (dik + djk) * 0.5;
      case cmFlexLink:
        return (dik + djk) * FAlpha + dij * (1 - 2 * FAlpha);
      default:  // cmUpgma
        return dik * ni / (ni + nj) + djk * nj / (ni + nj);
    }
  }

  // Stores the distances to the merged cluster in slot j and keeps the row
  // bounds valid; row j is scanned on the way.
  void Update(int32_t i, int32_t j, double dij) {
    const double ni = FSize[static_cast<size_t>(i)], nj = FSize[static_cast<size_t>(j)];
    double best = uc_MaxReal;
    int32_t nearest = -1;
    for (const int32_t k : FActive) {
      if (k == j) continue;
      const double dik = k < i ? FD.At(k, i) : FD.At(i, k);
      const double djk = k < j ? FD.At(k, j) : FD.At(j, k);
      const double d = NewDistance(dik, djk, dij, ni, nj, FSize[static_cast<size_t>(k)]);
      if (k < j) {
        FD.At(k, j) = d;
        Lower(k, i, j, d);
      } else {
        FD.At(j, k) = d;
        if (d < best) {
          best = d;
          nearest = k;
        }
      }
    }
    SetRow(j, best, nearest);
    FHeap->Update(j);
  }

  // Row k's pair with slot j now holds d, and slot i has gone.
  void Lower(int32_t k, int32_t i, int32_t j, double d) {
    const size_t x = static_cast<size_t>(k);
    if (FExact[x]) {
      const int32_t nk = FNearest[x];
      if (nk == i || (nk == j && !(d <= FBound[x]))) FExact[x] = false;
    }
    if (!(d < uc_MaxReal)) return;
    if (d < FBound[x]) {
      FBound[x] = d;
      FNearest[x] = j;
      FExact[x] = true;
      FHeap->Update(k);
    } else if (d == FBound[x] && FExact[x] && j < FNearest[x]) {
      FNearest[x] = j;
    }
  }

  void SetRow(int32_t k, double Best, int32_t Nearest) {
    const size_t x = static_cast<size_t>(k);
    FBound[x] = Nearest >= 0 ? Best : kNoPair;
    FNearest[x] = Nearest;
    FExact[x] = true;
  }

  // Row k as the all-pairs scan sees it: the first strictly smallest candidate.
  void Rescan(int32_t k) {
    double best = uc_MaxReal;
    int32_t nearest = -1;
    const int64_t row = FD.Row[static_cast<size_t>(k)];
    for (auto it = std::upper_bound(FActive.begin(), FActive.end(), k); it != FActive.end();
         ++it) {
      const double v = FD.D[static_cast<size_t>(row + *it)];
      if (v < best) {
        best = v;
        nearest = *it;
      }
    }
    SetRow(k, best, nearest);
  }

  TPackedDist& FD;
  int32_t FN;
  TClusterMethod FMethod;
  double FAlpha;
  std::vector<int32_t> FSize;
  std::vector<int32_t> FCluster;
  std::vector<int32_t> FActive;  ///< active slots, ascending
  std::vector<double> FBound;
  std::vector<int32_t> FNearest;
  std::vector<char> FExact;
  std::unique_ptr<TRowHeap> FHeap;
};

// Plotting positions: the leaves in the order that expanding the last merge
// gives (its first part, then its second; below it every merged cluster is
// replaced by its second part followed by its first), then the mean position
// of the two parts of every merge.
void LeafPositions(const std::vector<int32_t>& Merges, int32_t n, std::vector<double>& XPos) {
  const int32_t steps = n - 1;
  std::vector<int32_t> stack;
  stack.reserve(static_cast<size_t>(n));
  const size_t last = static_cast<size_t>(steps - 1) * 2;
  stack.push_back(Merges[last + 1]);
  stack.push_back(Merges[last]);
  int32_t pos = 0;
  while (!stack.empty()) {
    const int32_t c = stack.back();
    stack.pop_back();
    if (c <= n) {
      XPos[static_cast<size_t>(c - 1)] = ++pos;
    } else {
      const size_t r = static_cast<size_t>(c - n - 1) * 2;
      stack.push_back(Merges[r]);      // first part, expanded second
      stack.push_back(Merges[r + 1]);  // second part, expanded first
    }
  }
  for (int32_t s = 0; s < steps; ++s) {
    const size_t r = static_cast<size_t>(s) * 2;
    XPos[static_cast<size_t>(n + s)] =
        (XPos[static_cast<size_t>(Merges[r] - 1)] + XPos[static_cast<size_t>(Merges[r + 1] - 1)]) / 2;
  }
}

void ResizeOutputs(TIntMatrix* Dendrogram, TVector* MergeDist, TVector* XPos, int32_t n) {
  if (Dendrogram->NrOfColumns() != 3 || Dendrogram->NrOfRows() != n - 1)
    Dendrogram->Resize(3, n - 1);
  MergeDist->SetVecSize(n - 1);
  XPos->SetVecSize(2 * n - 1);
}

void StoreDendrogram(TIntMatrix* Dendrogram, const std::vector<int32_t>& Merges, int32_t n) {
  const int32_t steps = n - 1;
  if (!Dendrogram->IsSparse()) {
    int32_t* c1 = Dendrogram->ColData(1);
    int32_t* c2 = Dendrogram->ColData(2);
    int32_t* c3 = Dendrogram->ColData(3);
    for (int32_t s = 0; s < steps; ++s) {
      c1[s] = Merges[static_cast<size_t>(s) * 2];
      c2[s] = Merges[static_cast<size_t>(s) * 2 + 1];
      c3[s] = n + s + 1;
    }
    Dendrogram->Changed();
    return;
  }
  for (int32_t s = 0; s < steps; ++s) {
    Dendrogram->SetVal(1, s + 1, Merges[static_cast<size_t>(s) * 2]);
    Dendrogram->SetVal(2, s + 1, Merges[static_cast<size_t>(s) * 2 + 1]);
    Dendrogram->SetVal(3, s + 1, n + s + 1);
  }
}

void StoreValues(TVector* Vec, const std::vector<double>& Values) {
  std::copy(Values.begin(), Values.end(), Vec->Data());
  Vec->SetIsEmpty(false);
  Vec->Changed();
}

}  // namespace

int32_t AgglomClustering(TObject* Sender, TMatrix* DataMat, TDistMode DistMode,
                         TClusterMethod ClustMethod, double Alpha, TIntMatrix* Dendrogram,
                         TVector* MergeDist, TVector* XPos, const TClusterFeedback& Feedback,
                         const TOnCalcDistanceEvent& OnCalcDist) {
  if (Feedback) Feedback(Sender, 0, ProcStat.load(std::memory_order_relaxed));
  if (!(Alpha >= 0.5)) Alpha = 0.5;
  if (Alpha > 1) Alpha = 1;
  const int32_t n = DataMat != nullptr ? DataMat->NrOfRows() : 0;
  std::unique_ptr<TIntMatrix> ownDendrogram;
  std::unique_ptr<TVector> ownMergeDist, ownXPos;
  TPackedDist dist;
  std::vector<int32_t> merges;
  std::vector<double> heights, xpos;
  try {
    if (Dendrogram == nullptr) Dendrogram = (ownDendrogram = std::make_unique<TIntMatrix>()).get();
    if (MergeDist == nullptr) MergeDist = (ownMergeDist = std::make_unique<TVector>()).get();
    if (XPos == nullptr) XPos = (ownXPos = std::make_unique<TVector>()).get();
    if (n >= 2) {
      AllocPacked(dist, n);
      merges.resize(static_cast<size_t>(n - 1) * 2);
      heights.resize(static_cast<size_t>(n - 1));
      xpos.resize(static_cast<size_t>(2 * n - 1));
      TDistEventSwap swap(DataMat, OnCalcDist);
      FillDistances(*DataMat, DistMode, dist, n);
    }
  } catch (const std::bad_alloc&) {
    RaiseFunctionError<ENUVMath2Error>(kAgglom, "not enough memory");
  }
  ClearAbort();
  if (n < 2) {
    // Nothing to merge: an empty dendrogram, and for one object its position.
    if (Dendrogram->NrOfColumns() != 3 || Dendrogram->NrOfRows() != 0) Dendrogram->Resize(3, 0);
    MergeDist->Clear();
    if (n == 1) {
      XPos->SetVecSize(1);
      XPos->SetVal(1, 1);
    } else {
      XPos->Clear();
    }
    return 0;
  }
  ResizeOutputs(Dendrogram, MergeDist, XPos, n);
  try {
    TMerger merger(dist, n, ClustMethod, Alpha);
    for (int32_t s = 1; s < n && !AbortRequested(); ++s) {
      ProgressStep();
      if (Feedback)
        Feedback(Sender, static_cast<double>(s) / n * 100, ProcStat.load(std::memory_order_relaxed));
      const size_t r = static_cast<size_t>(s - 1);
      merger.Merge(s, merges[2 * r], merges[2 * r + 1], heights[r]);
    }
  } catch (const std::bad_alloc&) {
    RaiseFunctionError<ENUVMath2Error>(kAgglom, "not enough memory");
  }
  if (AbortRequested()) {
    XPos->Clear();
    MergeDist->Clear();
    Dendrogram->Fill(0);
    return -1;
  }
  LeafPositions(merges, n, xpos);
  StoreDendrogram(Dendrogram, merges, n);
  StoreValues(MergeDist, heights);
  StoreValues(XPos, xpos);
  return 0;
}

}  // namespace nuv
