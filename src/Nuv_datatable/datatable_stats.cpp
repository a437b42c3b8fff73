// Block statistics over numeric, valid and marked cells. Each column segment
// whose cells are all taken is handed to the matrix's lane kernels, so that a
// table without missing values runs at the matrix's speed; other segments
// are scanned with the states as a mask.
#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

#include "Nuv_datatable/datatable_block.h"
#include "Nuv_datatable/datatable_internal.h"
#include "Nuv_matrix/matrix_stats_block.h"
#include "Nuv_vector/order_stats.h"

namespace nuv {

using detail::AllSelected;
using detail::Selected;
using detail::TSegment;

namespace {

constexpr int kLanes = detail::kLanes;

/// Calls Seg(segment) for the columns of the clipped block, in order.
template <class F>
void ForEachSegment(const TDataTable& T, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                    int32_t HighRow, bool NumericColsOnly, F&& Seg) {
  T.MakeValidColRange(LowCol, HighCol);
  T.MakeValidRowRange(LowRow, HighRow);
  const TMatrix* M = T.NumericData;
  const std::vector<uint8_t>& states = TDataTableAccess::States(T);
  const std::vector<TVTypeSpec>& vt = TDataTableAccess::VTypes(T);
  // The matrix is the table's only while both have the same shape; a matrix
  // resized behind the table's back is read no further than it reaches.
  const int32_t rows = std::min(HighRow, M->NrOfRows()) - LowRow + 1;
  const int32_t cols = std::min(HighCol, M->NrOfColumns());
  if (rows <= 0) return;
  for (int32_t c = LowCol; c <= cols; ++c) {
    const TMScaleType st = vt[static_cast<size_t>(c - 1)].MScaleType;
    if (NumericColsOnly && st != stInterval && st != stRatio) continue;
    const size_t sBase = static_cast<size_t>(c - 1) * static_cast<size_t>(T.NrOfRows());
    Seg(TSegment{c, M->ColData(c) + (LowRow - 1), states.data() + sBase + (LowRow - 1), rows});
  }
}

/// Count, sum and sum of squares of the selected cells.
struct TSum2Acc {
  int64_t N = 0;
  detail::TLaneSum2 S;

  void Add(const TSegment& g, uint8_t Mask) {
    if (AllSelected(g, Mask)) {
      S.Add(g.Values, g.Len);
      N += g.Len;
      return;
    }
    double lane[kLanes] = {}, sq[kLanes] = {};
    int64_t n = 0;
    for (int64_t i = 0; i < g.Len; ++i) {
      const double x = Selected(g.States[i], Mask) ? g.Values[i] : 0.0;
      lane[i & (kLanes - 1)] += x;
      sq[i & (kLanes - 1)] += x * x;
      n += Selected(g.States[i], Mask);
    }
    for (int j = 0; j < kLanes; ++j) {
      S.S[j] += lane[j];
      S.Q[j] += sq[j];
    }
    N += n;
  }
};

/// Sums of (x - m) and (x - m)^2 over the selected cells, eight lanes.
struct TCentredAcc {
  double D[kLanes] = {};
  double Q[kLanes] = {};

  void Add(const TSegment& g, uint8_t Mask, double m) {
    if (AllSelected(g, Mask)) {
      int64_t i = 0;
      for (; i + kLanes <= g.Len; i += kLanes)
        for (int j = 0; j < kLanes; ++j) {
          const double d = g.Values[i + j] - m;
          D[j] += d;
          Q[j] += d * d;
        }
      for (int j = 0; i < g.Len; ++i, ++j) {
        const double d = g.Values[i] - m;
        D[j] += d;
        Q[j] += d * d;
      }
      return;
    }
    for (int64_t i = 0; i < g.Len; ++i) {
      const double d = Selected(g.States[i], Mask) ? g.Values[i] - m : 0.0;
      D[i & (kLanes - 1)] += d;
      Q[i & (kLanes - 1)] += d * d;
    }
  }
  static double Fold(const double* a) { return detail::TLaneSum2::Fold(a); }
};

/// Mean and variance of the selected cells. One pass gives n, the sum S and
/// the sum of squares Q. Q - S^2/n is exact to a few units of rounding as
/// long as the squared mean does not dominate the spread (S^2/n <= Q/2);
/// otherwise the sums of squares are taken once more about the mean (with the
/// rounding correction of the centred sum), so that a large common offset
/// does not cancel the spread.
int32_t MeanVarOf(const TDataTable& T, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                  int32_t HighRow, uint8_t Mask, double& Mean, double& Variance) {
  TSum2Acc acc;
  ForEachSegment(T, LowCol, LowRow, HighCol, HighRow, true,
                 [&](const TSegment& g) { acc.Add(g, Mask); });
  const auto n = static_cast<double>(acc.N);
  const double sum = acc.S.Sum(), sq = acc.S.SumSq();
  Mean = acc.N > 0 ? sum / n : 0.0;
  Variance = 1.0;
  if (acc.N <= 2) return static_cast<int32_t>(acc.N);
  const double ss = sum * sum / n;
  if (ss <= 0.5 * sq) {
    Variance = (sq - ss) / (n - 1);
    return static_cast<int32_t>(acc.N);
  }
  TCentredAcc c;
  const double m = Mean;
  ForEachSegment(T, LowCol, LowRow, HighCol, HighRow, true,
                 [&](const TSegment& g) { c.Add(g, Mask, m); });
  const double d = TCentredAcc::Fold(c.D);
  Variance = (TCentredAcc::Fold(c.Q) - d * d / n) / (n - 1);
  return static_cast<int32_t>(acc.N);
}

/// Extremes of the selected cells; NaN is never an extreme. Round rounds the
/// values of nominal and ordinal columns.
int32_t MinMaxOf(const TDataTable& T, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                 int32_t HighRow, bool NumericColsOnly, uint8_t Mask, bool Round, double& Minimum,
                 double& Maximum) {
  Minimum = uc_MaxReal;
  Maximum = -uc_MaxReal;
  int64_t count = 0;
  detail::TLaneMinMax mm;
  double mn = std::numeric_limits<double>::infinity(), mx = -mn;
  ForEachSegment(T, LowCol, LowRow, HighCol, HighRow, NumericColsOnly, [&](const TSegment& g) {
    const TMScaleType st = T.GetMScaleType(g.Col);
    const bool round = Round && (st == stNominal || st == stOrdinal);
    if (!round && AllSelected(g, Mask)) {
      mm.Add(g.Values, g.Len);
      count += g.Len;
      return;
    }
    for (int64_t i = 0; i < g.Len; ++i) {
      if (!Selected(g.States[i], Mask)) continue;
      ++count;
      const double v = round ? detail::RoundCategory(g.Values[i]) : g.Values[i];
      mn = v < mn ? v : mn;
      mx = v > mx ? v : mx;
    }
  });
  double lmn, lmx;
  if (mm.Result(lmn, lmx)) {
    mn = lmn < mn ? lmn : mn;
    mx = lmx > mx ? lmx : mx;
  }
  if (mn <= mx) {
    Minimum = mn;
    Maximum = mx;
  }
  return static_cast<int32_t>(count);
}

/// The selected values of the numeric columns in block order.
void CollectValues(const TDataTable& T, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                   int32_t HighRow, uint8_t Mask, std::vector<double>& Out) {
  Out.clear();
  ForEachSegment(T, LowCol, LowRow, HighCol, HighRow, true, [&](const TSegment& g) {
    if (AllSelected(g, Mask)) {
      Out.insert(Out.end(), g.Values, g.Values + g.Len);
      return;
    }
    for (int64_t i = 0; i < g.Len; ++i)
      if (Selected(g.States[i], Mask)) Out.push_back(g.Values[i]);
  });
}

/// CollectValues into a work array sized by the block; false when memory is short.
bool WorkValues(const TDataTable& T, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                int32_t HighRow, uint8_t Mask, std::vector<double>& Out) {
  int32_t c1 = LowCol, c2 = HighCol, r1 = LowRow, r2 = HighRow;
  T.MakeValidColRange(c1, c2);
  T.MakeValidRowRange(r1, r2);
  const size_t cells = static_cast<size_t>(c2 - c1 + 1) * static_cast<size_t>(r2 - r1 + 1);
  try {
    Out.reserve(cells);
    CollectValues(T, LowCol, LowRow, HighCol, HighRow, Mask, Out);
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

double PercentileOfWork(std::vector<double>& Work, double Prob) {
  const auto n = static_cast<int64_t>(Work.size());
  if (n == 0) return 0.0;
  if (std::isnan(Prob)) return std::numeric_limits<double>::quiet_NaN();
  Prob = Prob < 0 ? 0 : (Prob > 100 ? 100 : Prob);
  const detail::TOrderPos pos = detail::PercentilePos(n, Prob);
  detail::SelectOrderPositions(Work, &pos, 1);
  return detail::Interpolate(Work, pos);
}

template <class F>
int64_t CountStates(const TDataTable& T, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                    int32_t HighRow, bool NumericColsOnly, F&& Take) {
  int64_t n = 0;
  ForEachSegment(T, LowCol, LowRow, HighCol, HighRow, NumericColsOnly, [&](const TSegment& g) {
    int64_t k = 0;
    for (int64_t i = 0; i < g.Len; ++i) k += Take(g.States[i]) ? 1 : 0;
    n += k;
  });
  return n;
}

}  // namespace

int32_t TDataTable::CountNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                  int32_t HighRow) const {
  return static_cast<int32_t>(CountStates(*this, LowCol, LowRow, HighCol, HighRow, true,
                                          [](uint8_t s) { return (s & 3) == 0; }));
}

int32_t TDataTable::CountValidCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                    int32_t HighRow) const {
  return static_cast<int32_t>(CountStates(*this, LowCol, LowRow, HighCol, HighRow, false,
                                          [](uint8_t s) { return (s & 3) == 0; }));
}

int32_t TDataTable::CountEmptyCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                    int32_t HighRow) const {
  return static_cast<int32_t>(CountStates(*this, LowCol, LowRow, HighCol, HighRow, false,
                                          [](uint8_t s) { return (s & 2) != 0; }));
}

int32_t TDataTable::CountImputedCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                      int32_t HighRow) const {
  return static_cast<int32_t>(CountStates(*this, LowCol, LowRow, HighCol, HighRow, false,
                                          [](uint8_t s) { return (s & 32) != 0; }));
}

double TDataTable::SumOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                                 int32_t& NumData) const {
  TSum2Acc acc;
  ForEachSegment(*this, LowCol, LowRow, HighCol, HighRow, true,
                 [&](const TSegment& g) { acc.Add(g, 0); });
  NumData = static_cast<int32_t>(acc.N);
  return acc.S.Sum();
}

double TDataTable::SumOfMarkedCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                    int32_t HighRow, uint8_t CellState, int32_t& NumData) const {
  const uint8_t mask = detail::MarkBits(CellState);
  NumData = 0;
  if (mask == 0) return 0.0;
  TSum2Acc acc;
  ForEachSegment(*this, LowCol, LowRow, HighCol, HighRow, true,
                 [&](const TSegment& g) { acc.Add(g, mask); });
  NumData = static_cast<int32_t>(acc.N);
  return acc.S.Sum();
}

int32_t TDataTable::MeanVarOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                      int32_t HighRow, double& Mean, double& Variance) const {
  return MeanVarOf(*this, LowCol, LowRow, HighCol, HighRow, 0, Mean, Variance);
}

int32_t TDataTable::MeanVarOfMarkedCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                         int32_t HighRow, uint8_t CellState, double& Mean,
                                         double& Variance) const {
  const uint8_t mask = detail::MarkBits(CellState);
  if (mask == 0) {
    Mean = 0.0;
    Variance = 1.0;
    return 0;
  }
  return MeanVarOf(*this, LowCol, LowRow, HighCol, HighRow, mask, Mean, Variance);
}

int32_t TDataTable::MinMaxOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                     int32_t HighRow, double& Minimum, double& Maximum) const {
  return MinMaxOf(*this, LowCol, LowRow, HighCol, HighRow, true, 0, false, Minimum, Maximum);
}

int32_t TDataTable::MinMaxOfMarkedCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                        int32_t HighRow, uint8_t CellState, double& Minimum,
                                        double& Maximum) const {
  const uint8_t mask = detail::MarkBits(CellState);
  if (mask == 0) {
    Minimum = uc_MaxReal;
    Maximum = -uc_MaxReal;
    return 0;
  }
  return MinMaxOf(*this, LowCol, LowRow, HighCol, HighRow, false, mask, false, Minimum, Maximum);
}

int32_t TDataTable::MinMaxOfValidCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                       int32_t HighRow, double& Minimum, double& Maximum) const {
  return MinMaxOf(*this, LowCol, LowRow, HighCol, HighRow, false, 0, true, Minimum, Maximum);
}

double TDataTable::GeometricMeanOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                           int32_t HighRow, int32_t& NumData) const {
  bool zero = false;
  int64_t n = 0;
  double logSum = 0.0;
  ForEachSegment(*this, LowCol, LowRow, HighCol, HighRow, true, [&](const TSegment& g) {
    for (int64_t i = 0; i < g.Len; ++i) {
      if (!Selected(g.States[i], 0)) continue;
      const double v = g.Values[i];
      if (v < 0)
        RaiseComponentError<ENUVMatrixError>(this, "negative argument passed to GeometricMean");
      if (v == 0) {
        zero = true;
      } else {
        logSum += std::log(v);
        ++n;
      }
    }
  });
  NumData = static_cast<int32_t>(n);
  // No positive cell has no logarithmic mean: 0, like a block with a zero.
  if (zero || n == 0) return 0.0;
  return std::exp(logSum / static_cast<double>(n));
}

double TDataTable::HarmonicMeanOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                          int32_t HighRow, int32_t& NumData) const {
  int64_t n = 0;
  double recSum = 0.0;
  ForEachSegment(*this, LowCol, LowRow, HighCol, HighRow, true, [&](const TSegment& g) {
    for (int64_t i = 0; i < g.Len; ++i) {
      if (!Selected(g.States[i], 0)) continue;
      const double v = g.Values[i];
      if (v <= 0)
        RaiseComponentError<ENUVMatrixError>(this,
                                             "negative or zero argument passed to HarmonicMean");
      recSum += 1.0 / v;
      ++n;
    }
  });
  NumData = static_cast<int32_t>(n);
  return n == 0 ? 0.0 : static_cast<double>(n) / recSum;
}

bool TDataTable::QuartilesOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                     int32_t HighRow, double& Q1, double& Q2, double& Q3,
                                     int32_t& NumData) const {
  Q1 = Q2 = Q3 = 0.0;
  std::vector<double> work;
  if (!WorkValues(*this, LowCol, LowRow, HighCol, HighRow, 0, work)) RaiseNoHeap();
  const auto n = static_cast<int64_t>(work.size());
  NumData = static_cast<int32_t>(n);
  if (n == 0) return true;
  detail::QuartilesOf(work, Q1, Q2, Q3);
  return true;
}

double TDataTable::PercentileOfNumCells(double prob, int32_t LowCol, int32_t LowRow,
                                        int32_t HighCol, int32_t HighRow, int32_t& NumData) const {
  std::vector<double> work;
  if (!WorkValues(*this, LowCol, LowRow, HighCol, HighRow, 0, work))
    RaiseComponentError<ENUVMatrixError>(this, "not enough memory on heap");
  NumData = static_cast<int32_t>(work.size());
  return PercentileOfWork(work, prob);
}

double TDataTable::PercentileOfMarkedCells(double prob, int32_t LowCol, int32_t LowRow,
                                           int32_t HighCol, int32_t HighRow, uint8_t CellState,
                                           int32_t& NumData) const {
  const uint8_t mask = detail::MarkBits(CellState);
  NumData = 0;
  if (mask == 0) return 0.0;
  std::vector<double> work;
  if (!WorkValues(*this, LowCol, LowRow, HighCol, HighRow, mask, work))
    RaiseComponentError<ENUVMatrixError>(this, "not enough memory on heap");
  NumData = static_cast<int32_t>(work.size());
  return PercentileOfWork(work, prob);
}

int32_t TDataTable::CopyCellsToVector(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                      int32_t HighRow, uint8_t CellState, TVector* DestVect) const {
  const bool all = CellState == 255;
  const auto take = [&](uint8_t s) { return (s & 3) == 0 && (all || (s & CellState) != 0); };
  const int64_t n = CountStates(*this, LowCol, LowRow, HighCol, HighRow, false, take);
  if (DestVect == nullptr) return static_cast<int32_t>(n);
  if (n == 0) {
    // A vector keeps at least one element: it is cleared and marked empty.
    DestVect->Resize(1);
    DestVect->Clear();
    return 0;
  }
  DestVect->Resize(static_cast<int32_t>(n));
  double* out = DestVect->Data();
  ForEachSegment(*this, LowCol, LowRow, HighCol, HighRow, false, [&](const TSegment& g) {
    for (int64_t i = 0; i < g.Len; ++i)
      if (take(g.States[i])) *out++ = g.Values[i];
  });
  DestVect->SetIsEmpty(false);
  DestVect->Changed();
  return static_cast<int32_t>(n);
}

}  // namespace nuv
