// TMatrix decompositions: Crout LU with implicit (row-scaled) pivoting, the
// determinant, in-place inversion and the Cholesky factor.
//
// The LU factorization is blocked right-looking: a panel of columns is
// factored column by column (pivot search, whole-row exchange, division,
// rank-1 update inside the panel), then the rows of U to its right are solved
// and the trailing matrix is updated by one blocked product that resumes from
// the stored values. Every element receives the products of its column
// formula in ascending index order, subtracted one by one from its own value,
// exactly as the column-by-column Crout form does; so the values, and with
// them the pivot choices, are those of that form.
#include <cmath>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "Nuv_matrix/matrix_core.h"
#include "Nuv_matrix/matrix_kernels.h"

namespace nuv {

namespace {

/// Parity of the row exchanges of the last LU decomposition on this thread.
thread_local int32_t LUParity = 1;

enum TLuStatus { luOk, luTinyPivot, luAborted };

/// scale[i] = 1 / max_j |a(i, j)|; false when a row holds nothing but zeros.
bool RowScales(const double* a, int64_t lda, int64_t n, double* scale) {
  for (int64_t i = 0; i < n; ++i) scale[i] = 0.0;
  for (int64_t j = 0; j < n; ++j) {
    const double* col = a + j * lda;
    for (int64_t i = 0; i < n; ++i) {
      const double v = std::fabs(col[i]);
      scale[i] = v > scale[i] ? v : scale[i];
    }
  }
  for (int64_t i = 0; i < n; ++i) {
    if (scale[i] == 0.0) return false;
    scale[i] = 1.0 / scale[i];
  }
  return true;
}

/// Crout LU of the n x n column-major a in place; Pivots[j] is the row exchanged with row j
/// at column j. With Progress, a progress step and abort poll come before each column.
TLuStatus LuFactor(double* a, int64_t lda, int64_t n, double* scale, int32_t* Pivots,
                   int32_t& Parity, bool Progress) {
  const detail::TMatKernels& K = detail::MatKernels();
  constexpr int64_t kPanel = 32;
  constexpr double kTiny = 1e-100;
  bool tiny = false;
  for (int64_t j0 = 0; j0 < n; j0 += kPanel) {
    const int64_t j1 = j0 + kPanel < n ? j0 + kPanel : n;
    for (int64_t j = j0; j < j1; ++j) {
      if (Progress && ProgressStepAborted()) return luAborted;
      double* cj = a + j * lda;
      // A candidate equal to the best so far replaces it: ties go to the later row. A NaN
      // candidate never wins, so a column of NaNs keeps its diagonal row.
      int64_t p = j;
      double best = 0.0;
      for (int64_t i = j; i < n; ++i) {
        const double cand = scale[i] * std::fabs(cj[i]);
        if (cand >= best) {
          best = cand;
          p = i;
        }
      }
      if (p != j) {
        for (int64_t c = 0; c < n; ++c) std::swap(a[c * lda + p], a[c * lda + j]);
        Parity = -Parity;
        scale[p] = scale[j];
      }
      Pivots[j] = static_cast<int32_t>(p);
      if (std::fabs(cj[j]) < kTiny) {
        tiny = true;
        cj[j] = kTiny;
      }
      const double piv = cj[j];
      for (int64_t i = j + 1; i < n; ++i) cj[i] /= piv;
      for (int64_t c = j + 1; c < j1; ++c)
        K.FmsAxpy(n - j - 1, a[c * lda + j], cj + j + 1, a + c * lda + j + 1);
    }
    if (j1 < n) {
      for (int64_t c = j1; c < n; ++c) {
        double* cc = a + c * lda;
        for (int64_t k = j0; k + 1 < j1; ++k) K.FmsAxpy(j1 - k - 1, cc[k], a + k * lda + k + 1, cc + k + 1);
      }
      K.Gemm(n - j1, n - j1, j1 - j0, a + j0 * lda + j1, 1, lda, a + j1 * lda + j0, 1, lda,
             a + j1 * lda + j1, lda, detail::kGemmLoadC | detail::kGemmNegA, 0);
    }
  }
  return tiny ? luTinyPivot : luOk;
}

}  // namespace

bool TMatrix::LUdecomposition(TMatrix* MatL, TMatrix* MatU) const {
  LUParity = 1;
  if (FNCol != FNRow || MatL == nullptr || MatU == nullptr) return false;
  // One matrix cannot hold both factors.
  if (MatL == MatU) return false;
  const int32_t n = FNCol;
  const TMatrix* source = this;
  TMatrix copy;
  if (MatL == this) {
    copy.Clone(this);
    source = &copy;
  }
  MatL->Resize(n, n);
  MatL->Fill(0.0);
  MatU->Clone(source);
  // Change handlers fired by the resize and the clone might have resized either factor.
  if (MatL->NrOfColumns() != n || MatL->NrOfRows() != n || MatU->NrOfColumns() != n ||
      MatU->NrOfRows() != n)
    return false;
  std::vector<double> scale;
  std::vector<int32_t> pivots;
  if (!TryAllocate(scale, static_cast<size_t>(n), 0.0) ||
      !TryAllocate(pivots, static_cast<size_t>(n), 0))
    RaiseNoHeap();
  double* a = MatU->ColData(1);
  const int64_t lda = MatU->ColStride();
  if (!RowScales(a, lda, n, scale.data())) return false;
  int32_t parity = 1;
  TLuStatus status = luOk;
  try {
    status = LuFactor(a, lda, n, scale.data(), pivots.data(), parity, false);
  } catch (const std::bad_alloc&) {
    RaiseNoHeap();
  }
  LUParity = parity;
  if (status != luOk) {
    MatU->Changed();
    return false;
  }
  double* l = MatL->ColData(1);
  const int64_t ldl = MatL->ColStride();
  for (int64_t j = 0; j < n; ++j) {
    l[j * ldl + j] = 1.0;
    for (int64_t i = j + 1; i < n; ++i) {
      l[j * ldl + i] = a[j * lda + i];
      a[j * lda + i] = 0.0;
    }
  }
  MatL->Changed();
  MatU->Changed();
  return true;
}

double TMatrix::Determinant() const {
  LUParity = 1;
  if (FNCol != FNRow) return 0.0;
  const int64_t n = FNCol;
  std::vector<double> work;
  std::vector<double> scale;
  std::vector<int32_t> pivots;
  if (!TryAllocate(work, FMat.size(), 0.0) || !TryAllocate(scale, static_cast<size_t>(n), 0.0) ||
      !TryAllocate(pivots, static_cast<size_t>(n), 0))
    RaiseNoHeap();
  for (size_t i = 0; i < FMat.size(); ++i) work[i] = FMat[i];
  const int64_t lda = FRowsAlloc;
  if (!RowScales(work.data(), lda, n, scale.data())) return 0.0;
  int32_t parity = 1;
  TLuStatus status = luOk;
  try {
    status = LuFactor(work.data(), lda, n, scale.data(), pivots.data(), parity, false);
  } catch (const std::bad_alloc&) {
    RaiseNoHeap();
  }
  LUParity = parity;
  if (status != luOk) return 0.0;
  double prod = 1.0;
  for (int64_t j = 0; j < n; ++j) prod *= work[static_cast<size_t>(j * lda + j)];
  return parity * prod;
}

bool TMatrix::Invert() {
  if (FNCol != FNRow || FNCol < 1) return false;
  const detail::TMatKernels& K = detail::MatKernels();
  const int64_t n = FNCol;
  const int64_t lda = FRowsAlloc;
  const int64_t W = K.SubstLanes;
  std::vector<int32_t> pivots;
  std::vector<double> scale;
  std::vector<double> lanes;
  std::vector<double> result;
  std::vector<double> rowMajor;
  const size_t nn = static_cast<size_t>(n) * static_cast<size_t>(n);
  if (!TryAllocate(pivots, static_cast<size_t>(n), 0) ||
      !TryAllocate(scale, static_cast<size_t>(n), 0.0) ||
      !TryAllocate(lanes, static_cast<size_t>(n * W), 0.0) || !TryAllocate(result, nn, 0.0) ||
      !TryAllocate(rowMajor, nn, 0.0))
    RaiseNoHeap();
  double* a = FMat.data();
  bool ok = false;
  try {
    ok = [&]() {
      for (int64_t i = 0; i < n; ++i)
        if (AbortRequested()) return false;
      if (!RowScales(a, lda, n, scale.data())) return false;
      int32_t parity = 1;
      if (LuFactor(a, lda, n, scale.data(), pivots.data(), parity, true) != luOk) return false;

      // The solution of every column of the identity. The substitutions read the factors
      // row by row, so they get a row-major copy; W right-hand sides go at once, one per
      // vector lane. Block b solves the columns whose exchanged unit vector has its one in
      // rows bW..bW+W-1, so the forward pass starts at row bW.
      double* t = rowMajor.data();
      constexpr int64_t T = 32;
      for (int64_t j0 = 0; j0 < n; j0 += T)
        for (int64_t i0 = 0; i0 < n; i0 += T)
          for (int64_t j = j0; j < j0 + T && j < n; ++j)
            for (int64_t i = i0; i < i0 + T && i < n; ++i) t[i * n + j] = a[j * lda + i];
      std::vector<int32_t> origin(static_cast<size_t>(n));
      for (int64_t i = 0; i < n; ++i) origin[static_cast<size_t>(i)] = static_cast<int32_t>(i);
      for (int64_t i = 0; i < n; ++i)
        std::swap(origin[static_cast<size_t>(i)], origin[static_cast<size_t>(pivots[i])]);
      double* x = lanes.data();
      for (int64_t r0 = 0; r0 < n; r0 += W) {
        const int64_t count = r0 + W < n ? W : n - r0;
        for (int64_t l = 0; l < count; ++l)
          if (ProgressStepAborted()) return false;
        for (int64_t i = 0; i < n * W; ++i) x[i] = 0.0;
        for (int64_t l = 0; l < count; ++l) x[(r0 + l) * W + l] = 1.0;
        K.SubstForward(n, t, x, r0);
        K.SubstBackward(n, t, x, 0);
        for (int64_t l = 0; l < count; ++l) {
          double* dst = result.data() + static_cast<size_t>(origin[static_cast<size_t>(r0 + l)]) *
                                            static_cast<size_t>(n);
          for (int64_t r = 0; r < n; ++r) dst[r] = x[r * W + l];
        }
      }
      for (size_t i = 0; i < nn; ++i) a[i] = result[i];
      return true;
    }();
  } catch (const std::bad_alloc&) {
    RaiseNoHeap();
  }
  Changed();
  return ok;
}

bool TMatrix::CholeskyDecomp(TMatrix* MatL) {
  if (FNCol != FNRow || MatL == nullptr) return false;
  const int64_t n = FNCol;
  const int64_t lda = FRowsAlloc;
  double* a = FMat.data();
  std::vector<double> d;
  if (!TryAllocate(d, static_cast<size_t>(n), 0.0)) RaiseNoHeap();
  bool ok = true;
  // The factor's row q lives in column q (rows above the diagonal), so every sum below is a
  // dot product of two contiguous columns; four of them run side by side.
  for (int64_t i = 0; i < n; ++i) {
    const double* li = a + i * lda;
    {
      double s = a[i * lda + i];
      for (int64_t k = i - 1; k >= 0; --k) s -= li[k] * li[k];
      // NaN and infinite pivots fail like non-positive ones: no factor that
      // looks valid comes from data that is not.
      if (!(s > 0.0) || std::isinf(s))
        ok = false;
      else
        d[static_cast<size_t>(i)] = std::sqrt(s);
    }
    const double di = d[static_cast<size_t>(i)];
    int64_t q = i + 1;
    for (; q + 4 <= n; q += 4) {
      const double* l0 = a + q * lda;
      const double* l1 = l0 + lda;
      const double* l2 = l1 + lda;
      const double* l3 = l2 + lda;
      double s0 = li[q];
      double s1 = li[q + 1];
      double s2 = li[q + 2];
      double s3 = li[q + 3];
      for (int64_t k = i - 1; k >= 0; --k) {
        const double f = li[k];
        s0 -= f * l0[k];
        s1 -= f * l1[k];
        s2 -= f * l2[k];
        s3 -= f * l3[k];
      }
      a[q * lda + i] = s0 / di;
      a[(q + 1) * lda + i] = s1 / di;
      a[(q + 2) * lda + i] = s2 / di;
      a[(q + 3) * lda + i] = s3 / di;
    }
    for (; q < n; ++q) {
      const double* lq = a + q * lda;
      double s = li[q];
      for (int64_t k = i - 1; k >= 0; --k) s -= li[k] * lq[k];
      a[q * lda + i] = s / di;
    }
  }
  MatL->Resize(FNCol, FNCol);
  for (int32_t c = 1; c <= FNCol; ++c) {
    MatL->SetVal(c, c, d[static_cast<size_t>(c - 1)]);
    for (int32_t r = c + 1; r <= FNCol; ++r) MatL->SetVal(c, r, GetVal(r, c));
  }
  return ok;
}

}  // namespace nuv
