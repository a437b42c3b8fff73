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

/// The block as the sums see it. Rows beyond the matrix read as 0: only the rows inside
/// are copied, the others enter the sums in closed form, so a wide row range costs no
/// memory.
struct TCovBlock {
  std::vector<double> Inside;  // column-major, RowsInside values per column
  size_t RowsInside = 0;
  double RowsBeyond = 0.0;
  double Rows = 0.0;            // all rows of the range, inside or beyond
  std::vector<double> Beyond;   // per column: the value of a row beyond (0, or -mean once centred)
  double* Col(int64_t c) { return Inside.data() + static_cast<size_t>(c) * RowsInside; }
};

/// Subtracts each column's mean over all rows of the range. A constant column centres to
/// exact zeros, so its correlations are exactly 0 instead of rounding noise divided by
/// rounding noise.
void CentreColumns(TCovBlock& B, int64_t Cols) {
  const size_t nn = B.RowsInside;
  for (int64_t c = 0; c < Cols; ++c) {
    double* x = B.Col(c);
    double s = 0.0;
    bool constant = B.RowsBeyond == 0.0 || nn == 0 || x[0] == 0.0;
    for (size_t r = 0; r < nn; ++r) {
      s += x[r];
      constant = constant && x[r] == x[0];
    }
    const double m = constant ? (nn > 0 ? x[0] : 0.0) : s / B.Rows;
    for (size_t r = 0; r < nn; ++r) x[r] = constant ? 0.0 : x[r] - m;
    B.Beyond[static_cast<size_t>(c)] = constant ? 0.0 : -m;
  }
}

/// The sample standard deviation of each (centred) column over all rows of the range.
void StdDevs(TCovBlock& B, int64_t Cols, std::vector<double>& Sd) {
  const size_t nn = B.RowsInside;
  for (int64_t c = 0; c < Cols; ++c) {
    const double* x = B.Col(c);
    double s = 0.0;
    for (size_t r = 0; r < nn; ++r) s += x[r] * x[r];
    const double o = B.Beyond[static_cast<size_t>(c)];
    Sd[static_cast<size_t>(c)] = std::sqrt((s + B.RowsBeyond * o * o) / (B.Rows - 1.0));
  }
}

/// Element (i, j) of the result, Gram being the sum over the rows inside of the products
/// (or, for type 4, the squared differences) of the two columns.
double CovElement(int32_t CovType, const TCovBlock& B, const std::vector<double>& Sd,
                  double Gram, int64_t i, int64_t j) {
  const bool known = CovType >= 0 && CovType <= 4;
  if (!known || B.Rows <= 0.0) return CovType == 2 && i == j ? 1.0 : 0.0;
  const size_t si = static_cast<size_t>(i), sj = static_cast<size_t>(j);
  double v = (Gram + B.RowsBeyond * B.Beyond[si] * B.Beyond[sj]) / (B.Rows - 1.0);
  if (CovType == 2 || CovType == 3) {
    double f = Sd[si] * Sd[sj];
    if (f == 0.0) f = 1e-38;
    v /= f;
    if (CovType == 3) v *= v;
    if (CovType == 2 && i == j) v = 1.0;
  }
  return v;
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
  const int32_t r0 = std::max(LowRow, 1), r1 = std::min(HighRow, DataMat->NrOfRows());
  const int64_t nin = r1 >= r0 ? int64_t{r1} - r0 + 1 : 0;

  TCovBlock block;
  block.RowsInside = static_cast<size_t>(nin);
  block.RowsBeyond = static_cast<double>(n - nin);
  block.Rows = static_cast<double>(n);
  std::vector<double> zero, panel, sd;
  if ((nin > 0 && !detail::CopyBlock(DataMat, LowCol, HighCol, r0, r1, block.Inside)) ||
      !TryAllocate(zero, block.RowsInside, 0.0) ||
      !TryAllocate(panel, static_cast<size_t>(kPanel) * static_cast<size_t>(q), 0.0) ||
      !TryAllocate(sd, static_cast<size_t>(q), 0.0) ||
      !TryAllocate(block.Beyond, static_cast<size_t>(q), 0.0))
    RaiseNoMemory();

  // The means: one progress step per row, then the centring of types 1 to 3.
  if (CovType > 0) {
    AddSteps(n);
    if (CovType <= 3) CentreColumns(block, q);
  }
  // The correlations need every standard deviation before the first element.
  if (CovType == 2 || CovType == 3) StdDevs(block, q, sd);

  // Column i: an abort poll, then for j <= i the element with n progress steps in one hook
  // call. The sums over the rows inside come a panel of columns at a time.
  const bool known = CovType >= 0 && CovType <= 4;
  bool aborted = false;
  for (int64_t i0 = 0; i0 < q && !aborted; i0 += kPanel) {
    const int64_t i1 = std::min(q, i0 + kPanel);
    if (known && nin > 0 && !AbortRequested())
      detail::GramPanel(block.Inside.data(), block.RowsInside, i0, i1, CovType == 4,
                        zero.data(), panel.data(), static_cast<size_t>(q));
    for (int64_t i = i0; i < i1; ++i) {
      if (AbortRequested()) {
        aborted = true;
        break;
      }
      const double* g = panel.data() + static_cast<size_t>(i - i0) * static_cast<size_t>(q);
      for (int64_t j = 0; j <= i; ++j) {
        AddAmount(block.Rows);
        const double v = CovElement(CovType, block, sd, nin > 0 ? g[j] : 0.0, i, j);
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
