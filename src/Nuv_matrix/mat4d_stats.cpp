// Block statistics of TMat4D (extremes, mean and variance, sums, counts,
// percentiles) and the per-pixel statistics over layers and slots.
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "Nuv_matrix/array_progress.h"
#include "Nuv_matrix/mat4d.h"
#include "Nuv_matrix/mat4d_block.h"
#include "Nuv_matrix/matrix_stats_block.h"
#include "Nuv_matrix/matrix_stats_quantiles.h"

namespace nuv {

using detail::Make4DBlock;
using detail::T4DBlock;
using detail::T4DShape;

namespace {

/// Feeds the runs of the block to Run(p, n) band by band, with library-wide
/// progress when Report. False when Run or a progress handler stopped it.
template <class F>
bool ScanReporting(const TDoubleBuffer& Mat, const T4DShape& S, const T4DBlock& B, F&& Run,
                   bool Report = true) {
  detail::THookProgress progress(B.Pixels(), Mat);
  return detail::ScanBands(
      Mat.data(), S, B, [&](const double* p, int64_t n, int64_t) { return Run(p, n); },
      [&](int64_t, int64_t rows) { return !Report || progress.Done(rows * B.Cols()); });
}

}  // namespace

void TMat4D::MinMax(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                    int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot,
                    double& Minimum, double& Maximum) const {
  const T4DBlock b = Make4DBlock(*this, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer,
                                 LowTimeSlot, HighTimeSlot);
  const T4DShape s(*this);
  detail::BlockMinMax(
      [&](auto&& Span, bool Report) { return ScanReporting(FMat, s, b, Span, Report); }, Minimum,
      Maximum);
}

void TMat4D::MeanVar(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                     int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                     int32_t HighTimeSlot, double& Mean, double& Variance) const {
  const T4DBlock b = Make4DBlock(*this, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer,
                                 LowTimeSlot, HighTimeSlot);
  detail::TLaneSum2 sums;
  ScanReporting(FMat, T4DShape(*this), b, [&](const double* p, int64_t n) {
    sums.Add(p, n);
    return true;
  });
  detail::MeanVarOf(b.Count(), sums.Sum(), sums.SumSq(), Mean, Variance);
}

double TMat4D::Sum(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                   int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                   int32_t HighTimeSlot) const {
  const T4DBlock b = Make4DBlock(*this, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer,
                                 LowTimeSlot, HighTimeSlot);
  detail::TLaneSum sum;
  ScanReporting(FMat, T4DShape(*this), b, [&](const double* p, int64_t n) {
    sum.Add(p, n);
    return true;
  });
  return sum.Total();
}

double TMat4D::SquaredSum(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                          int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                          int32_t HighTimeSlot) const {
  const T4DBlock b = Make4DBlock(*this, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer,
                                 LowTimeSlot, HighTimeSlot);
  detail::TLaneSum2 sums;
  ScanReporting(FMat, T4DShape(*this), b, [&](const double* p, int64_t n) {
    sums.Add(p, n);
    return true;
  });
  return sums.SumSq();
}

int32_t TMat4D::CountValues(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                            int32_t LowLayer, int32_t HighLayer, int32_t LowTimeslot,
                            int32_t HighTimeslot, double RangeLow, double RangeHigh) const {
  const T4DBlock b = Make4DBlock(*this, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer,
                                 LowTimeslot, HighTimeslot);
  int64_t count = 0;
  detail::ScanBands(
      FMat.data(), T4DShape(*this), b,
      [&](const double* p, int64_t n, int64_t) {
        // Branch-free so the compiler can vectorise; NaN fails both tests.
        int64_t inRun = 0;
        for (int64_t i = 0; i < n; ++i) inRun += (p[i] >= RangeLow) & (p[i] <= RangeHigh);
        count += inRun;
        return true;
      },
      [](int64_t, int64_t) { return true; });
  // A block of more than 2^31 - 1 matching elements reports the largest count.
  return count > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                     : static_cast<int32_t>(count);
}

double TMat4D::Percentile(double Prob, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                          int32_t HighRow, int32_t LowLayer, int32_t HighLayer,
                          int32_t LowTimeSlot, int32_t HighTimeSlot) const {
  const T4DBlock b = Make4DBlock(*this, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer,
                                 LowTimeSlot, HighTimeSlot);
  const T4DShape s(*this);
  // The dominant value: the first of five random elements that occurs twice
  // among them, else 0.
  double draws[5];
  for (double& v : draws) {
    const int32_t x = b.X1 + Random(static_cast<int32_t>(b.Cols()));
    const int32_t y = b.Y1 + Random(static_cast<int32_t>(b.Rows()));
    const int32_t z = b.Z1 + Random(static_cast<int32_t>(b.Layers()));
    const int32_t t = b.T1 + Random(static_cast<int32_t>(b.Slots()));
    v = FMat[s.At(x, y, z, t)];
  }
  double d = 0.0;
  for (int i = 0; i < 5; ++i) {
    int same = 0;
    for (const double w : draws) same += w == draws[i];
    if (same >= 2) {
      d = draws[i];
      break;
    }
  }
  if (std::isnan(Prob)) return std::numeric_limits<double>::quiet_NaN();
  const int64_t n = b.Count();
  const int64_t k = detail::PercentileRank(n, Prob);
  auto scan = [&](auto&& Run) {
    detail::ScanBands(
        FMat.data(), s, b,
        [&](const double* p, int64_t m, int64_t) {
          Run(p, m);
          return true;
        },
        [](int64_t, int64_t) { return true; });
  };
  // The elements below d and equal to it: ranks below..below + equal - 1 hold
  // d itself. (Only when nothing lies below d is that every rank under the
  // count of d.) NaN is neither, and counts as larger than every number.
  int64_t below = 0, equal = 0, nans = 0;
  scan([&](const double* p, int64_t m) {
    int64_t lo = 0, eq = 0, nan = 0;
    for (int64_t i = 0; i < m; ++i) {
      lo += p[i] < d;
      eq += p[i] == d;
      nan += p[i] != p[i];
    }
    below += lo;
    equal += eq;
    nans += nan;
  });
  if (k >= below && k < below + equal) return d;
  if (k >= n - nans) return std::numeric_limits<double>::quiet_NaN();
  // Otherwise the rank lies among the numbers on one side of d: only those are
  // copied (into storage that is not cleared first) and selected from.
  const bool lowSide = k < below;
  const int64_t m = lowSide ? below : n - below - equal - nans;
  std::unique_ptr<double[]> work(new (std::nothrow) double[static_cast<size_t>(m) + 1]);
  if (!work) RaiseNoHeap();
  double* w = work.get();
  size_t j = 0;
  scan([&](const double* p, int64_t len) {
    if (lowSide) {
      for (int64_t i = 0; i < len; ++i) {
        w[j] = p[i];
        j += p[i] < d;
      }
    } else {
      for (int64_t i = 0; i < len; ++i) {
        w[j] = p[i];
        j += p[i] > d;
      }
    }
  });
  const int64_t rank = lowSide ? k : k - below - equal;
  std::nth_element(w, w + rank, w + m);
  return w[rank];
}

double TMat4D::Percentile(double Prob, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                          int32_t HighRow, int32_t LowLayer, int32_t HighLayer,
                          int32_t LowTimeSlot, int32_t HighTimeSlot, int32_t SampleSize) const {
  const T4DBlock b = Make4DBlock(*this, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer,
                                 LowTimeSlot, HighTimeSlot);
  if (SampleSize <= 0 || SampleSize >= b.Count())
    return Percentile(Prob, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowTimeSlot,
                      HighTimeSlot);
  std::vector<double> work;
  if (!TryAllocate(work, static_cast<size_t>(SampleSize), 0.0)) RaiseNoHeap();
  Randomize();
  const T4DShape s(*this);
  for (double& v : work) {
    const int32_t x = b.X1 + Random(static_cast<int32_t>(b.Cols()));
    const int32_t y = b.Y1 + Random(static_cast<int32_t>(b.Rows()));
    const int32_t z = b.Z1 + Random(static_cast<int32_t>(b.Layers()));
    const int32_t t = b.T1 + Random(static_cast<int32_t>(b.Slots()));
    v = FMat[s.At(x, y, z, t)];
  }
  return detail::PercentileOf(work, Prob);
}

// ---------------------------------------------------------------- per pixel

namespace {

// Accumulators of one band of pixels. Add(p, n, at) takes the values of
// pixels at..at + n - 1 of the band from one layer of one slot; Result gives
// a pixel's statistic over its Count values.

struct TMeanAcc {
  static constexpr bool kClearFirst = true;
  std::vector<double> S;
  void Init(size_t n) { S.assign(n, 0.0); }
  void Add(const double* p, int64_t n, int64_t at) {
    double* s = S.data() + at;
    for (int64_t i = 0; i < n; ++i) s[i] += p[i];
  }
  double Result(size_t i, double Count) const { return S[i] / Count; }
};

// NaN marks a pixel that has seen no comparable value yet; a NaN value is
// never taken. A pixel without any comparable value reports the start value.
struct TMaxAcc {
  static constexpr bool kClearFirst = false;
  std::vector<double> M;
  void Init(size_t n) { M.assign(n, std::numeric_limits<double>::quiet_NaN()); }
  void Add(const double* p, int64_t n, int64_t at) {
    double* m = M.data() + at;
    for (int64_t i = 0; i < n; ++i) m[i] = ((p[i] > m[i]) | (m[i] != m[i])) ? p[i] : m[i];
  }
  double Result(size_t i, double) const { return std::isnan(M[i]) ? -uc_MaxReal : M[i]; }
};

struct TMinAcc {
  static constexpr bool kClearFirst = false;
  std::vector<double> M;
  void Init(size_t n) { M.assign(n, std::numeric_limits<double>::quiet_NaN()); }
  void Add(const double* p, int64_t n, int64_t at) {
    double* m = M.data() + at;
    for (int64_t i = 0; i < n; ++i) m[i] = ((p[i] < m[i]) | (m[i] != m[i])) ? p[i] : m[i];
  }
  double Result(size_t i, double) const { return std::isnan(M[i]) ? uc_MaxReal : M[i]; }
};

// Population standard deviation sqrt(max(0, E[x^2] - E[x]^2)), with the sums
// taken about each pixel's first value: the same quantity, without the
// cancellation of large raw sums.
struct TStdDevAcc {
  static constexpr bool kClearFirst = false;
  std::vector<double> K, S, Q;
  void Init(size_t n) {
    K.assign(n, std::numeric_limits<double>::quiet_NaN());
    S.assign(n, 0.0);
    Q.assign(n, 0.0);
  }
  void Add(const double* p, int64_t n, int64_t at) {
    double* k = K.data() + at;
    double* s = S.data() + at;
    double* q = Q.data() + at;
    for (int64_t i = 0; i < n; ++i) {
      k[i] = k[i] == k[i] ? k[i] : p[i];
      const double dv = p[i] - k[i];
      s[i] += dv;
      q[i] += dv * dv;
    }
  }
  double Result(size_t i, double Count) const {
    const double m = S[i] / Count;
    const double v = Q[i] / Count - m * m;
    return std::sqrt(v < 0 ? 0.0 : v);
  }
};

}  // namespace

template <class Acc>
void TMat4D::PerPixelToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                              int32_t HighRow, int32_t LowLayer, int32_t HighLayer,
                              int32_t LowTimeSlot, int32_t HighTimeSlot) const {
  if (DestMat == nullptr) return;
  const T4DBlock b = Make4DBlock(*this, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer,
                                 LowTimeSlot, HighTimeSlot);
  const T4DShape s(*this);
  const int64_t cols = b.Cols();
  const detail::TStorageWatch watch(FMat);
  // Without an OnChange handler DestMat is written directly; with one, every
  // value goes through its SetVal (and the handler may resize either object).
  const bool quiet = !DestMat->OnChange();
  DestMat->Resize(static_cast<int32_t>(cols), static_cast<int32_t>(b.Rows()));
  if (Acc::kClearFirst) DestMat->Fill(0.0);
  if (!watch.Intact()) return;
  const double* destCol1 = DestMat->ColData(1);
  auto destIntact = [&] {
    return DestMat->NrOfColumns() == cols && DestMat->NrOfRows() == b.Rows() &&
           DestMat->ColData(1) == destCol1;
  };
  const int64_t bandRows = detail::BandRows(b);
  Acc acc;
  try {
    acc.Init(static_cast<size_t>(bandRows * cols));
  } catch (const std::exception&) {
    RaiseNoHeap();
  }
  const double count = static_cast<double>(b.Layers() * b.Slots());
  detail::THookProgress progress(b.Pixels(), FMat);
  for (int64_t y = b.Y1; y <= b.Y2; y += bandRows) {
    const int64_t rows = std::min<int64_t>(bandRows, b.Y2 - y + 1);
    if (y != b.Y1) acc.Init(static_cast<size_t>(bandRows * cols));
    detail::ForEachBandRun(FMat.data(), s, b, y, rows, [&](const double* p, int64_t n, int64_t at) {
      acc.Add(p, n, at);
      return true;
    });
    for (int64_t r = 0; r < rows; ++r) {
      const auto destRow = static_cast<int32_t>(y - b.Y1 + r + 1);
      for (int64_t c = 0; c < cols; ++c) {
        const double v = acc.Result(static_cast<size_t>(r * cols + c), count);
        if (quiet)
          DestMat->ColData(static_cast<int32_t>(c + 1))[destRow - 1] = v;
        else
          DestMat->SetVal(static_cast<int32_t>(c + 1), destRow, v);
      }
    }
    if (!quiet && !watch.Intact()) return;
    if (!progress.Done(rows * cols) || (quiet && !destIntact())) return;
  }
}

void TMat4D::MeanOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol,
                                  int32_t LowRow, int32_t HighRow, int32_t LowLayer,
                                  int32_t HighLayer, int32_t LowTimeSlot,
                                  int32_t HighTimeSlot) const {
  PerPixelToMatrix<TMeanAcc>(DestMat, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer,
                             LowTimeSlot, HighTimeSlot);
}

void TMat4D::MaximumOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol,
                                     int32_t LowRow, int32_t HighRow, int32_t LowLayer,
                                     int32_t HighLayer, int32_t LowTimeSlot,
                                     int32_t HighTimeSlot) const {
  PerPixelToMatrix<TMaxAcc>(DestMat, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer,
                            LowTimeSlot, HighTimeSlot);
}

void TMat4D::MinimumOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol,
                                     int32_t LowRow, int32_t HighRow, int32_t LowLayer,
                                     int32_t HighLayer, int32_t LowTimeSlot,
                                     int32_t HighTimeSlot) const {
  PerPixelToMatrix<TMinAcc>(DestMat, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer,
                            LowTimeSlot, HighTimeSlot);
}

void TMat4D::StdDevOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol,
                                    int32_t LowRow, int32_t HighRow, int32_t LowLayer,
                                    int32_t HighLayer, int32_t LowTimeSlot,
                                    int32_t HighTimeSlot) const {
  PerPixelToMatrix<TStdDevAcc>(DestMat, LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer,
                               LowTimeSlot, HighTimeSlot);
}

}  // namespace nuv
