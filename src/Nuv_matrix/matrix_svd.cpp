// Golub-Reinsch singular value decomposition on column-major storage.
//
// The row-wise steps of the textbook form (the right-hand Householder
// reflections, the accumulation of V) are rearranged so that every inner
// loop runs down a contiguous column; each element still sums its products
// in ascending index order.
#include "Nuv_matrix/matrix_svd.h"

#include <cmath>
#include <new>
#include <vector>

#include "Nuv_matrix/matrix_kernels.h"

namespace nuv {

namespace {

/// sqrt(x^2 + y^2) formed in extended precision, so it neither overflows nor underflows
/// for any pair of doubles.
double Hypot(double x, double y) {
  const Extended ex = x;
  const Extended ey = y;
  return static_cast<double>(std::sqrt(ex * ex + ey * ey));
}

double SignOf(double a, double b) { return b >= 0.0 ? std::fabs(a) : -std::fabs(a); }

/// |x| + Norm == Norm, evaluated in 64-bit arithmetic.
bool Negligible(double x, double Norm) {
  const volatile double sum = std::fabs(x) + Norm;
  return sum == Norm;
}

/// Columns j, i of a column-major matrix: (x, z) := (x c + z s, z c - x s) row by row.
void Rotate(double* cj, double* ci, int64_t len, double c, double s) {
  for (int64_t r = 0; r < len; ++r) {
    const double x = cj[r];
    const double z = ci[r];
    cj[r] = x * c + z * s;
    ci[r] = z * c - x * s;
  }
}

/// One decomposition: A (becoming U) and V in the caller's storage, the diagonal of the
/// bidiagonal form in w (becoming the singular values) and its super-diagonal here.
class GolubReinsch {
 public:
  GolubReinsch(double* a, int64_t lda, int64_t m, int64_t n, double* w, double* v, int64_t ldv)
      : K_(detail::MatKernels()), a_(a), lda_(lda), m_(m), n_(n), w_(w), v_(v), ldv_(ldv),
        withVectors_(v != nullptr), superDiag_(static_cast<size_t>(n)),
        scratch_(static_cast<size_t>(m > n ? m : n) + 1), rowCopy_(static_cast<size_t>(n) + 1) {}

  /// Householder reduction to bidiagonal form, one progress step per column.
  bool Bidiagonalize();
  /// V from the right-hand reflections, last column first, one step per column.
  bool AccumulateRight();
  /// U (over A) from the left-hand reflections, last column first, one step per column.
  bool AccumulateLeft();
  /// Implicit-shift QR sweeps, one singular value at a time from the last, one step per
  /// value. Converged is cleared when a value needs a 30th sweep.
  bool Diagonalize(bool& Converged);

 private:
  double& A(int64_t r, int64_t c) { return a_[r + c * lda_]; }
  double& V(int64_t r, int64_t c) { return v_[r + c * ldv_]; }
  /// Reflects column i below the diagonal away; returns the new diagonal element.
  double ReflectColumn(int64_t i);
  /// Reflects row i right of the super-diagonal away; returns the new super-diagonal
  /// element (of column i + 1).
  double ReflectRow(int64_t i);
  /// The start of the unreduced block that ends at k; Cancel tells whether the
  /// super-diagonal element at its start must be chased out first.
  int64_t FindSplit(int64_t k, bool& Cancel) const;
  /// Rotates the super-diagonal element at Split to zero (rows Split - 1 and below).
  void CancelSuperDiag(int64_t Split, int64_t k);
  /// One QR sweep with the Wilkinson shift over the block Split..k.
  void ShiftedSweep(int64_t Split, int64_t k);

  const detail::TMatKernels& K_;
  double* a_;
  int64_t lda_, m_, n_;
  double* w_;
  double* v_;
  int64_t ldv_;
  bool withVectors_;
  std::vector<double> superDiag_;  // e(i) couples w(i - 1) and w(i); e(0) stays 0
  std::vector<double> scratch_;    // dot products of a reflection
  std::vector<double> rowCopy_;    // row i of A, contiguous
  double normBound_ = 0.0;         // the largest |w(i)| + |e(i)| of the reduction
};

double GolubReinsch::ReflectColumn(int64_t i) {
  double g = 0.0;
  double scale = 0.0;
  if (i >= m_) return 0.0;
  const int64_t next = i + 1;
  double* ci = &A(0, i);
  for (int64_t k = i; k < m_; ++k) scale += std::fabs(ci[k]);
  if (scale != 0.0) {
    double s = 0.0;
    for (int64_t k = i; k < m_; ++k) {
      ci[k] /= scale;
      s += ci[k] * ci[k];
    }
    const double f = ci[i];
    g = -SignOf(std::sqrt(s), f);
    const double h = f * g - s;
    ci[i] = f - g;
    if (next < n_) {
      double* dots = scratch_.data();
      K_.GemvT(m_ - i, n_ - next, &A(i, next), lda_, ci + i, dots);
      for (int64_t j = next; j < n_; ++j)
        K_.FmsAxpy(m_ - i, -(dots[j - next] / h), ci + i, &A(i, j));
    }
    for (int64_t k = i; k < m_; ++k) ci[k] *= scale;
  }
  return scale * g;
}

double GolubReinsch::ReflectRow(int64_t i) {
  double g = 0.0;
  double scale = 0.0;
  const int64_t next = i + 1;
  for (int64_t k = next; k < n_; ++k) scale += std::fabs(A(i, k));
  if (scale != 0.0) {
    double s = 0.0;
    for (int64_t k = next; k < n_; ++k) {
      A(i, k) /= scale;
      s += A(i, k) * A(i, k);
    }
    const double f = A(i, next);
    g = -SignOf(std::sqrt(s), f);
    const double h = f * g - s;
    A(i, next) = f - g;
    // The reflection vector, scaled by 1 / h, waits in the super-diagonal's later slots
    // (each is overwritten when its own column is reduced).
    double* u = superDiag_.data();
    for (int64_t k = next; k < n_; ++k) {
      u[k] = A(i, k) / h;
      rowCopy_[static_cast<size_t>(k)] = A(i, k);
    }
    if (next < m_) {
      // s_j = sum_k A(j, k) A(i, k) for every row j below, then row j += s_j u.
      double* sj = scratch_.data();
      K_.Gemv(m_ - next, n_ - next, &A(next, next), lda_, rowCopy_.data() + next, sj);
      for (int64_t k = next; k < n_; ++k) K_.FmsAxpy(m_ - next, -u[k], sj, &A(next, k));
    }
    for (int64_t k = next; k < n_; ++k) A(i, k) *= scale;
  }
  return scale * g;
}

bool GolubReinsch::Bidiagonalize() {
  double* e = superDiag_.data();
  for (int64_t i = 0; i < n_; ++i) {
    if (ProgressStepAborted()) return false;
    w_[i] = ReflectColumn(i);
    if (i < m_ && i != n_ - 1) e[i + 1] = ReflectRow(i);
    else if (i + 1 < n_) e[i + 1] = 0.0;
    const double t = std::fabs(w_[i]) + std::fabs(e[i]);
    if (t > normBound_) normBound_ = t;
  }
  return true;
}

bool GolubReinsch::AccumulateRight() {
  const double* e = superDiag_.data();
  for (int64_t i = n_ - 1; i >= 0; --i) {
    if (ProgressStepAborted()) return false;
    if (!withVectors_) continue;
    const int64_t next = i + 1;
    if (next < n_) {
      const double g = e[next];
      if (g != 0.0) {
        for (int64_t j = next; j < n_; ++j) V(j, i) = (A(i, j) / A(i, next)) / g;
        for (int64_t k = next; k < n_; ++k) rowCopy_[static_cast<size_t>(k)] = A(i, k);
        double* dots = scratch_.data();
        K_.GemvT(n_ - next, n_ - next, &V(next, next), ldv_, rowCopy_.data() + next, dots);
        for (int64_t j = next; j < n_; ++j)
          K_.FmsAxpy(n_ - next, -dots[j - next], &V(next, i), &V(next, j));
      }
      for (int64_t j = next; j < n_; ++j) {
        V(i, j) = 0.0;
        V(j, i) = 0.0;
      }
    }
    V(i, i) = 1.0;
  }
  return true;
}

bool GolubReinsch::AccumulateLeft() {
  for (int64_t i = (m_ < n_ ? m_ : n_) - 1; i >= 0; --i) {
    if (ProgressStepAborted()) return false;
    if (!withVectors_) continue;
    const int64_t next = i + 1;
    double g = w_[i];
    for (int64_t j = next; j < n_; ++j) A(i, j) = 0.0;
    double* ci = &A(0, i);
    if (g != 0.0) {
      g = 1.0 / g;
      if (next < n_) {
        double* dots = scratch_.data();
        K_.GemvT(m_ - next, n_ - next, &A(next, next), lda_, ci + next, dots);
        for (int64_t j = next; j < n_; ++j) {
          const double f = (dots[j - next] / ci[i]) * g;
          K_.FmsAxpy(m_ - i, -f, ci + i, &A(i, j));
        }
      }
      for (int64_t j = i; j < m_; ++j) ci[j] *= g;
    } else {
      for (int64_t j = i; j < m_; ++j) ci[j] = 0.0;
    }
    ci[i] += 1.0;
  }
  return true;
}

int64_t GolubReinsch::FindSplit(int64_t k, bool& Cancel) const {
  const double* e = superDiag_.data();
  for (int64_t split = k; split >= 0; --split) {
    // e(0) is zero by construction; stopping there also holds when the bound is NaN.
    if (split == 0 || Negligible(e[split], normBound_)) {
      Cancel = false;
      return split;
    }
    if (Negligible(w_[split - 1], normBound_)) {
      Cancel = true;
      return split;
    }
  }
  Cancel = true;  // not reached: split 0 always stops the search
  return -1;
}

void GolubReinsch::CancelSuperDiag(int64_t Split, int64_t k) {
  double* e = superDiag_.data();
  const int64_t above = Split - 1;  // the negligible diagonal element's row
  double cosine = 0.0;
  double sine = 1.0;
  for (int64_t i = Split; i <= k; ++i) {
    const double f = sine * e[i];
    e[i] = cosine * e[i];
    if (Negligible(f, normBound_)) break;
    const double g = w_[i];
    double h = Hypot(f, g);
    w_[i] = h;
    h = 1.0 / h;
    cosine = g * h;
    sine = -f * h;
    if (withVectors_) Rotate(&A(0, above), &A(0, i), m_, cosine, sine);
  }
}

void GolubReinsch::ShiftedSweep(int64_t Split, int64_t k) {
  // The shift comes from the trailing 2 x 2 block: diagonal y, z and super-diagonal g, h.
  double* e = superDiag_.data();
  double x = w_[Split];
  const int64_t km1 = k - 1;
  double y = w_[km1];
  double z = w_[k];
  double g = e[km1];
  double h = e[k];
  double f = ((y - z) * (y + z) + (g - h) * (g + h)) / (2.0 * h * y);
  g = Hypot(f, 1.0);
  f = ((x - z) * (x + z) + h * ((y / (f + SignOf(g, f))) - h)) / x;
  // Chase the bulge down: at step j, (f, h) is rotated into e(j) from the right and
  // into w(j) from the left; x carries the diagonal element, g the super-diagonal one.
  double cosine = 1.0;
  double sine = 1.0;
  for (int64_t j = Split; j <= km1; ++j) {
    const int64_t i = j + 1;
    g = e[i];
    y = w_[i];
    h = sine * g;
    g = cosine * g;
    z = Hypot(f, h);
    e[j] = z;
    cosine = f / z;
    sine = h / z;
    f = x * cosine + g * sine;
    g = g * cosine - x * sine;
    h = y * sine;
    y *= cosine;
    if (withVectors_) Rotate(&V(0, j), &V(0, i), n_, cosine, sine);
    z = Hypot(f, h);
    w_[j] = z;
    if (z != 0.0) {
      z = 1.0 / z;
      cosine = f * z;
      sine = h * z;
    }
    f = cosine * g + sine * y;
    x = cosine * y - sine * g;
    if (withVectors_) Rotate(&A(0, j), &A(0, i), m_, cosine, sine);
  }
  e[Split] = 0.0;
  e[k] = f;
  w_[k] = x;
}

bool GolubReinsch::Diagonalize(bool& Converged) {
  for (int64_t k = n_ - 1; k >= 0; --k) {
    if (ProgressStepAborted()) return false;
    for (int32_t sweep = 1; sweep <= 30; ++sweep) {
      bool cancel = false;
      const int64_t split = FindSplit(k, cancel);
      if (cancel) CancelSuperDiag(split, k);
      if (split == k) {
        // Converged: a negative value is made positive with its column of V negated.
        const double z = w_[k];
        if (z < 0.0) {
          w_[k] = -z;
          if (withVectors_)
            for (int64_t j = 0; j < n_; ++j) V(j, k) = -V(j, k);
        }
        break;
      }
      if (sweep == 30) Converged = false;
      ShiftedSweep(split, k);
    }
  }
  return true;
}

}  // namespace

bool SingValDecompCore(double* a, int32_t lda, int32_t m, int32_t n, double* w, double* v,
                       int32_t ldv) {
  if (n <= 0) return true;
  if (m < 0) m = 0;
  GolubReinsch svd(a, lda, m, n, w, v, ldv);
  bool converged = true;
  return svd.Bidiagonalize() && svd.AccumulateRight() && svd.AccumulateLeft() &&
         svd.Diagonalize(converged) && converged;
}

bool SingValDecompCore(TMatrix* U, TVector* W, TMatrix* V) {
  if (U == nullptr || W == nullptr || V == nullptr || U->NrOfColumns() < 1) return false;
  if (V == U) return false;
  const int32_t m = U->NrOfRows();
  const int32_t n = U->NrOfColumns();
  bool ok = false;
  try {
    std::vector<double> wv(static_cast<size_t>(n));
    V->Resize(n, n);
    // V's change handler might have resized U or V.
    if (U->NrOfColumns() != n || U->NrOfRows() != m || V->NrOfColumns() != n ||
        V->NrOfRows() != n)
      return false;
    ok = SingValDecompCore(U->ColData(1), U->ColStride(), m, n, wv.data(), V->ColData(1),
                           V->ColStride());
    W->SetVecSize(n);
    const int32_t len = n < W->NrOfElem() ? n : W->NrOfElem();
    double* dst = W->Data();
    for (int32_t i = 0; i < len; ++i) dst[i] = wv[static_cast<size_t>(i)];
  } catch (const std::bad_alloc&) {
    RaiseComponentError<ENUVMatrixError>(U, "not enough memory on heap");
  }
  W->SetIsEmpty(false);
  U->Changed();
  W->Changed();
  V->Changed();
  return ok;
}

}  // namespace nuv
