#include "Nuv_math2/covariance.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "Nuv_math2/block_copy.h"
#include "Nuv_math2/gram_kernel.h"

namespace nuv {

namespace {

constexpr int64_t kPanel = 8;  // columns per kernel call between abort polls

[[noreturn]] void RaiseNoMemory() {
  RaiseFunctionError<ENUVMath2Error>("CalcCovar", "not enough memory");
}

// Adds Steps to ProcStat; with a feedback procedure assigned, one step at a time.
void AddSteps(int64_t Steps) {
  if (!MathFeedBackProc) {
    ProcStat.store(ProcStat.load(std::memory_order_relaxed) + static_cast<double>(Steps),
                   std::memory_order_relaxed);
    return;
  }
  for (int64_t k = 0; k < Steps; ++k) ProgressStep();
}

// One hook call after adding Amount to ProcStat.
void AddAmount(double Amount) {
  const double next = ProcStat.load(std::memory_order_relaxed) + Amount;
  ProcStat.store(next, std::memory_order_relaxed);
  if (MathFeedBackProc) MathFeedBackProc(next);
}

// (0, 0) is the whole dimension (none of an empty one); a reversed pair is exchanged.
void Order(int32_t& Lo, int32_t& Hi, int32_t Count) {
  if (Lo == 0 && Hi == 0) {
    Lo = 1;
    Hi = Count;
  } else if (Hi < Lo) {
    std::swap(Lo, Hi);
  }
}

}  // namespace

bool CalcCovar(const TMatrix* DataMat, TMatrix* CovMat, int32_t LowCol, int32_t HighCol,
               int32_t LowRow, int32_t HighRow, int32_t CovType) {
  ClearAbort();
  if (DataMat == nullptr || CovMat == nullptr) return false;
  Order(LowCol, HighCol, DataMat->NrOfColumns());
  Order(LowRow, HighRow, DataMat->NrOfRows());
  const int64_t q = int64_t{HighCol} - LowCol + 1;
  if (CovMat->NrOfColumns() < q || CovMat->NrOfRows() < q) return false;
  const int64_t n = int64_t{HighRow} - LowRow + 1;
  // Rows beyond the matrix read as 0: only the rows inside are copied, the others enter
  // the sums in closed form, so a wide row range costs no memory.
  const int32_t r0 = std::max(LowRow, 1), r1 = std::min(HighRow, DataMat->NrOfRows());
  const int64_t nin = r1 >= r0 ? int64_t{r1} - r0 + 1 : 0;
  const double nout = static_cast<double>(n - nin);
  const size_t nn = static_cast<size_t>(nin);

  std::vector<double> work, zero, panel, sd, out;
  if ((nin > 0 && !detail::CopyBlock(DataMat, LowCol, HighCol, r0, r1, work)) ||
      !TryAllocate(zero, nn, 0.0) ||
      !TryAllocate(panel, static_cast<size_t>(kPanel) * static_cast<size_t>(q), 0.0) ||
      !TryAllocate(sd, static_cast<size_t>(q), 0.0) ||
      !TryAllocate(out, static_cast<size_t>(q), 0.0))
    RaiseNoMemory();

  const double dn = static_cast<double>(n);
  const double dn1 = dn - 1.0;
  const bool centred = CovType >= 1 && CovType <= 3;
  if (CovType > 0) {
    AddSteps(n);
    for (int64_t c = 0; c < q && centred; ++c) {
      double* x = work.data() + static_cast<size_t>(c) * nn;
      double s = 0.0;
      bool constant = nout == 0.0 || nn == 0 || x[0] == 0.0;
      for (size_t r = 0; r < nn; ++r) {
        s += x[r];
        constant = constant && x[r] == x[0];
      }
      // A constant column centres to exact zeros, so its correlations are exactly 0
      // instead of rounding noise divided by rounding noise.
      const double m = constant ? (nn > 0 ? x[0] : 0.0) : s / dn;
      for (size_t r = 0; r < nn; ++r) x[r] = constant ? 0.0 : x[r] - m;
      out[static_cast<size_t>(c)] = constant ? 0.0 : -m;  // the centred value of a row beyond
    }
  }

  const bool sqDiff = CovType == 4;
  const bool known = CovType >= 0 && CovType <= 4;
  // The correlations need every standard deviation before the first element.
  if (CovType == 2 || CovType == 3) {
    for (int64_t c = 0; c < q; ++c) {
      const double* x = work.data() + static_cast<size_t>(c) * nn;
      double s = 0.0;
      for (size_t r = 0; r < nn; ++r) s += x[r] * x[r];
      const double o = out[static_cast<size_t>(c)];
      sd[static_cast<size_t>(c)] = std::sqrt((s + nout * o * o) / dn1);
    }
  }

  bool aborted = false;
  for (int64_t i0 = 0; i0 < q && !aborted; i0 += kPanel) {
    const int64_t i1 = std::min(q, i0 + kPanel);
    if (known && nn > 0 && !AbortRequested())
      detail::GramPanel(work.data(), nn, i0, i1, sqDiff, zero.data(), panel.data(),
                        static_cast<size_t>(q));
    for (int64_t i = i0; i < i1; ++i) {
      if (AbortRequested()) {
        aborted = true;
        break;
      }
      const double* g = panel.data() + static_cast<size_t>(i - i0) * static_cast<size_t>(q);
      for (int64_t j = 0; j <= i; ++j) {
        AddAmount(dn);
        double v = 0.0;
        if (known && n > 0) {
          const double gij = nn > 0 ? g[j] : 0.0;
          v = (gij + nout * out[static_cast<size_t>(i)] * out[static_cast<size_t>(j)]) / dn1;
          if (CovType == 2 || CovType == 3) {
            double f = sd[static_cast<size_t>(i)] * sd[static_cast<size_t>(j)];
            if (f == 0.0) f = 1e-38;
            v /= f;
            if (CovType == 3) v *= v;
            if (CovType == 2 && i == j) v = 1.0;
          }
        } else if (CovType == 2 && i == j) {
          v = 1.0;
        }
        const int32_t ci = static_cast<int32_t>(i + 1), cj = static_cast<int32_t>(j + 1);
        CovMat->ColData(ci)[cj - 1] = v;
        CovMat->ColData(cj)[ci - 1] = v;
      }
    }
  }
  CovMat->Changed();
  return !aborted;
}

}  // namespace nuv
