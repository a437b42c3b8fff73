// Kernel density estimate with data-driven widths.
#include "Nuv_statis/density.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "Nuv_statis/density_kernel.h"
#include "foundation/types.h"

namespace nuv {

namespace {

constexpr int32_t kMinSteps = 10;
constexpr int32_t kMaxSteps = 10000;

// Beyond 38.7 widths a kernel term is exp(< -748), which is exactly 0 in double: leaving
// such terms out does not change the sum.
constexpr double kKernelReach = 38.7;

// Counts steps and reports them to the caller's procedure.
class TStepReporter {
 public:
  TStepReporter(const TDensityFeedbackProc& Proc, double Total) : FProc(Proc), FTotal(Total) {}
  void Step() {
    ++FDone;
    if (FProc) FProc(nullptr, FDone, 100.0 * FDone / FTotal);
  }

 private:
  const TDensityFeedbackProc& FProc;
  double FTotal;
  double FDone = 0;
};

// Spacings met by the two walks from x[j] (0-based, ascending x): their sum and count.
struct TWalk {
  double Sum = 0;
  int64_t Count = 0;
};

// The walks one position at a time, as they are defined: down from j + 1 and up from j - 1
// while |x_i - x_j| < Window, each adding the spacing to the next value on its way, and
// neither stepping to a position beyond the ends. Serves data that are not all finite,
// where differences do not grow with the distance in the sorted order.
TWalk WalkStepwise(const double* x, int64_t n, int64_t j, double Window) {
  TWalk w;
  for (int64_t i = std::min(j + 1, n - 1); i >= 1 && std::fabs(x[i] - x[j]) < Window; --i) {
    w.Sum += std::fabs(x[i] - x[i - 1]);
    ++w.Count;
  }
  for (int64_t i = std::max<int64_t>(j - 1, 0); i <= n - 2 && std::fabs(x[i] - x[j]) < Window;
       ++i) {
    w.Sum += std::fabs(x[i] - x[i + 1]);
    ++w.Count;
  }
  return w;
}

// Width of every value. For finite ascending data each walk covers a run of neighbouring
// spacings, whose sum telescopes to the difference of its end values; the run ends follow
// from two pointers that only move up, so the widths cost O(n) whatever the window.
void LocalWidths(const double* x, int64_t n, double Window, std::vector<double>& w,
                 TStepReporter& Progress) {
  w.assign(static_cast<size_t>(n), Window);
  const bool finite = std::all_of(x, x + n, [](double v) { return std::isfinite(v); });
  int64_t lo = 0;  // first i <= j with x_j - x_i < Window
  int64_t hi = 0;  // first i > j with x_i - x_j >= Window, or n
  for (int64_t j = 0; j < n; ++j) {
    TWalk walk;
    if (!(Window > 0)) {
      // No difference is below the window: neither walk takes a step.
    } else if (!finite) {
      walk = WalkStepwise(x, n, j, Window);
    } else {
      while (x[j] - x[lo] >= Window) ++lo;
      if (hi <= j) hi = j + 1;
      while (hi < n && x[hi] - x[j] < Window) ++hi;
      // Down: from min(j + 1, n - 1) to max(lo, 1), if the first step is within the window.
      const int64_t downTop = std::min(j + 1, n - 1);
      const int64_t downEnd = std::max<int64_t>(lo, 1);
      if (downTop >= downEnd && (downTop == j || x[downTop] - x[j] < Window)) {
        walk.Sum += x[downTop] - x[downEnd - 1];
        walk.Count += downTop - downEnd + 1;
      }
      // Up: from max(j - 1, 0) to min(hi - 1, n - 2), if the first step is within the window.
      const int64_t upBottom = std::max<int64_t>(j - 1, 0);
      const int64_t upEnd = std::min(hi - 1, n - 2);
      if (upEnd >= upBottom && (upBottom == j || x[j] - x[upBottom] < Window)) {
        walk.Sum += x[upEnd + 1] - x[upBottom];
        walk.Count += upEnd - upBottom + 1;
      }
    }
    if (walk.Count > 0) {
      const double cnt = static_cast<double>(walk.Count);
      w[static_cast<size_t>(j)] = walk.Sum == 0 ? Window / cnt : walk.Sum / cnt;
    }
    Progress.Step();
  }
}

}  // namespace

void EstimateProbDensity(TVector* Data, TVector* Density, double Low, double High,
                         double WidthFactor, double Window, int32_t NumSteps, int32_t& MaxIdx,
                         int32_t& MinIdx, const TDensityFeedbackProc& Feedback) {
  if (Data == nullptr || Density == nullptr) return;
  NumSteps = std::clamp(NumSteps, kMinSteps, kMaxSteps);
  if (!(WidthFactor > 0)) WidthFactor = 1;
  Data->SortElems(true, 0, 0);
  const int64_t n = Data->NrOfElem();
  const double* x = Data->Data();
  TStepReporter progress(Feedback, static_cast<double>(n) + NumSteps + 1);

  std::vector<double> invWidth;
  LocalWidths(x, n, Window, invWidth, progress);
  double widest = 0;
  bool allFinite = true;
  for (double& v : invWidth) {
    double sigma = WidthFactor * v;
    if (!(sigma > 0)) sigma = WidthFactor;
    v = 1 / sigma;
    widest = std::max(widest, sigma);
    allFinite = allFinite && std::isfinite(v) && std::isfinite(sigma);
  }
  // Only terms that are exactly 0 are left out, and only where no width can turn them into
  // a NaN (an infinite 1/sigma times 0) and no value is NaN (sorted last, it would be left
  // out by the search, and it makes every density NaN).
  const bool cut = allFinite && std::isfinite(widest * kKernelReach) && !std::isnan(x[n - 1]);
  const double reach = widest * kKernelReach;

  const detail::TKernelSumFn kernelSum = detail::KernelSum();
  Density->SetVecSize(NumSteps + 1);
  double* dens = Density->Data();
  const double scale = uc_sqrt2pitom1 / static_cast<double>(n);
  const double span = High - Low;
  double maxDens = 0, minDens = uc_MaxDouble;
  for (int32_t i = 0; i <= NumSteps; ++i) {
    const double t = Low + i * span / NumSteps;
    int64_t first = 0, last = n;
    if (cut) {
      first = std::lower_bound(x, x + n, t - reach) - x;
      last = std::upper_bound(x, x + n, t + reach) - x;
    }
    const double d = scale * kernelSum(x + first, invWidth.data() + first, last - first, t);
    dens[i] = d;
    if (d > maxDens) {
      maxDens = d;
      MaxIdx = i + 1;
    }
    if (d < minDens) {
      minDens = d;
      MinIdx = i + 1;
    }
    progress.Step();
  }
  Density->SetIsEmpty(false);
  Density->Changed();
}

}  // namespace nuv
