// TMatrix element-wise and scalar arithmetic, transposition, forward
// differences, the trace, the four norms and balancing.
//
// While both counts are positive the storage holds exactly the matrix, so
// whole-matrix passes run over FMat in one sweep.
#include <cfloat>
#include <cmath>
#include <new>
#include <utility>
#include <vector>

#include "Nuv_matrix/matrix_core.h"
#include "Nuv_matrix/matrix_storage.h"
#include "Nuv_matrix/matrix_svd.h"

namespace nuv {

namespace {

size_t CellsOf(int32_t Nc, int32_t Nr) {
  return Nc > 0 && Nr > 0 ? static_cast<size_t>(Nc) * static_cast<size_t>(Nr) : 0;
}

// The running maximum of a norm: a NaN sum makes the norm NaN, so that NaN
// data never give a norm that looks valid.
inline double LargerOrNaN(double Best, double x) { return x > Best || std::isnan(x) ? x : Best; }

bool SameSize(const TMatrix* A, const TMatrix* B) {
  return A->NrOfColumns() == B->NrOfColumns() && A->NrOfRows() == B->NrOfRows();
}

/// The Frobenius norm without overflow or underflow of the squares: a plain pass, and a
/// pass scaled by the largest magnitude only where the plain one cannot be trusted.
double FrobeniusOf(const double* x, size_t n) {
  double s4[4] = {0.0, 0.0, 0.0, 0.0};
  size_t i = 0;
  for (; i + 4 <= n; i += 4)
    for (size_t l = 0; l < 4; ++l) s4[l] += x[i + l] * x[i + l];
  for (; i < n; ++i) s4[0] += x[i] * x[i];
  const double s = (s4[0] + s4[1]) + (s4[2] + s4[3]);
  if (std::isfinite(s) && (s == 0.0 ? false : s >= DBL_MIN / DBL_EPSILON)) return std::sqrt(s);
  double amax = 0.0;
  bool nan = false;
  for (size_t k = 0; k < n; ++k) {
    const double v = std::fabs(x[k]);
    nan |= v != v;
    amax = v > amax ? v : amax;
  }
  if (nan) return NAN;
  if (amax == 0.0 || std::isinf(amax)) return amax;
  double t4[4] = {0.0, 0.0, 0.0, 0.0};
  for (i = 0; i + 4 <= n; i += 4)
    for (size_t l = 0; l < 4; ++l) {
      const double v = x[i + l] / amax;
      t4[l] += v * v;
    }
  for (; i < n; ++i) {
    const double v = x[i] / amax;
    t4[0] += v * v;
  }
  return amax * std::sqrt((t4[0] + t4[1]) + (t4[2] + t4[3]));
}

}  // namespace

bool TMatrix::EMult(const TMatrix* MatB, TMatrix* MatRes) {
  if (MatB == nullptr || MatRes == nullptr || !SameSize(this, MatB)) return false;
  // Element-wise, so a result that is also an operand is overwritten only where it has
  // been read already.
  MatRes->Resize(FNCol, FNRow);
  // The resize fires MatRes's handler, which might have resized any of the three.
  if (!SameSize(this, MatB) || !SameSize(this, MatRes)) return false;
  const size_t n = CellsOf(FNCol, FNRow);
  const double* a = FMat.data();
  const double* b = MatB->FMat.data();
  double* r = MatRes->FMat.data();
  for (size_t i = 0; i < n; ++i) r[i] = a[i] * b[i];
  MatRes->Changed();
  Changed();
  return true;
}

bool TMatrix::Add(const TMatrix* MatB) {
  if (MatB == nullptr || !SameSize(this, MatB)) return false;
  const size_t n = CellsOf(FNCol, FNRow);
  const double* b = MatB->FMat.data();
  double* a = FMat.data();
  for (size_t i = 0; i < n; ++i) a[i] += b[i];
  Changed();
  return true;
}

bool TMatrix::Subtract(const TMatrix* MatB) {
  if (MatB == nullptr || !SameSize(this, MatB)) return false;
  const size_t n = CellsOf(FNCol, FNRow);
  const double* b = MatB->FMat.data();
  double* a = FMat.data();
  for (size_t i = 0; i < n; ++i) a[i] -= b[i];
  Changed();
  return true;
}

void TMatrix::SMult(double Scalar) {
  const size_t n = CellsOf(FNCol, FNRow);
  double* a = FMat.data();
  for (size_t i = 0; i < n; ++i) a[i] *= Scalar;
  Changed();
}

void TMatrix::SAdd(double Scalar) {
  const size_t n = CellsOf(FNCol, FNRow);
  double* a = FMat.data();
  for (size_t i = 0; i < n; ++i) a[i] += Scalar;
  Changed();
}

bool TMatrix::Transpose() {
  if (!detail::TransposeColMajor(FMat, FColsAlloc, FRowsAlloc)) RaiseNoHeap();
  std::swap(FNCol, FNRow);
  Changed();
  return true;
}

void TMatrix::Diff(int32_t Order) {
  if (Order < 1 || Order > 10 || Order >= FNRow) return;
  const size_t rows = static_cast<size_t>(FNRow);
  for (int32_t c = 1; c <= FNCol; ++c) {
    double* x = ColData(c);
    for (int32_t o = 0; o < Order; ++o)
      for (size_t r = 0; r + 1 < rows; ++r) x[r] = x[r + 1] - x[r];
  }
  Resize(FNCol, FNRow - Order);
}

double TMatrix::Trace() const {
  if (FNCol != FNRow || FNCol < 1) return 0.0;
  const size_t step = static_cast<size_t>(FRowsAlloc) + 1;
  double s = 0.0;
  for (size_t i = 0; i < static_cast<size_t>(FNCol); ++i) s += FMat[i * step];
  return s;
}

double TMatrix::Norm(TNormType nt) const {
  const size_t rows = FNCol > 0 ? static_cast<size_t>(FNRow) : 0;
  const size_t cols = FNRow > 0 ? static_cast<size_t>(FNCol) : 0;
  const double* a = FMat.data();
  switch (nt) {
    case ntColwise: {
      double best = 0.0;
      size_t c = 0;
      // Four columns at a time: four independent sums, each in ascending row order.
      for (; c + 4 <= cols; c += 4) {
        const double* x = a + c * rows;
        double s[4] = {0.0, 0.0, 0.0, 0.0};
        for (size_t r = 0; r < rows; ++r)
          for (size_t l = 0; l < 4; ++l) s[l] += std::fabs(x[l * rows + r]);
        for (size_t l = 0; l < 4; ++l) best = LargerOrNaN(best, s[l]);
      }
      for (; c < cols; ++c) {
        const double* x = a + c * rows;
        double s = 0.0;
        for (size_t r = 0; r < rows; ++r) s += std::fabs(x[r]);
        best = LargerOrNaN(best, s);
      }
      return best;
    }
    case ntRowwise: {
      if (rows == 0) return 0.0;
      std::vector<double> sums;
      if (!TryAllocate(sums, rows, 0.0)) RaiseNoHeap();
      double* s = sums.data();
      for (size_t c = 0; c < cols; ++c) {
        const double* x = a + c * rows;
        for (size_t r = 0; r < rows; ++r) s[r] += std::fabs(x[r]);
      }
      double best = 0.0;
      for (size_t r = 0; r < rows; ++r) best = LargerOrNaN(best, s[r]);
      return best;
    }
    case ntSpectral: {
      // The decomposition cannot work on NaN or infinite data: NaN gives a NaN
      // norm, an infinity (without NaN) an infinite one.
      double special = 0.0;
      for (size_t i = 0; i < rows * cols && !std::isnan(special); ++i)
        if (!std::isfinite(a[i])) special = std::isnan(a[i]) ? a[i] : HUGE_VAL;
      if (special != 0.0) return std::fabs(special);
      const int32_t n = FNCol;
      const int32_t m = FNRow;
      std::vector<double> work;
      std::vector<double> w;
      if (!TryAllocate(work, FMat.size(), 0.0) || !TryAllocate(w, static_cast<size_t>(n), 0.0))
        RaiseNoHeap();
      for (size_t i = 0; i < FMat.size(); ++i) work[i] = FMat[i];
      bool ok = false;
      try {
        ok = SingValDecompCore(work.data(), FRowsAlloc, m, n, w.data(), nullptr, 0);
      } catch (const std::bad_alloc&) {
        RaiseNoHeap();
      }
      if (!ok) throw ENUVMatrixError("near singular covariance matrix");
      double best = 0.0;
      for (int32_t i = 0; i < n; ++i) best = LargerOrNaN(best, w[static_cast<size_t>(i)]);
      return best;
    }
    case ntFrobenius:
      return FrobeniusOf(a, rows * cols);
  }
  return 0.0;
}

bool TMatrix::Balance() {
  if (FNCol != FNRow) return false;
  const size_t n = static_cast<size_t>(FNCol);
  const size_t ld = static_cast<size_t>(FRowsAlloc);
  double* a = FMat.data();
  // Guards beyond the plain rule: a row without off-diagonal weight would give a factor of
  // 0 (its row divided by zero), and a non-finite factor would spread infinities; both are
  // skipped. Sweeps are capped so that scalings drifting without bound end with false.
  constexpr int32_t kMaxSweeps = 1000;
  for (int32_t sweep = 0; sweep < kMaxSweeps; ++sweep) {
    double largest = 0.0;
    for (size_t i = 0; i < n; ++i) {
      double rs = 0.0;
      double cs = 0.0;
      const double* col = a + i * ld;
      for (size_t j = 0; j < n; ++j) {
        if (j == i) continue;
        rs += std::fabs(a[j * ld + i]);
        cs += std::fabs(col[j]);
      }
      if (cs == 0.0 || rs == 0.0) continue;
      const double f = std::sqrt(rs / cs);
      if (!std::isfinite(f)) continue;
      for (size_t j = 0; j < n; ++j) {
        if (j == i) continue;
        a[j * ld + i] /= f;
        a[i * ld + j] *= f;
      }
      if (f > largest) largest = f;
    }
    if (largest < 1.05) return true;
  }
  return false;
}

}  // namespace nuv
