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

}  // namespace

bool SingValDecompCore(double* a, int32_t lda, int32_t m, int32_t n, double* w, double* v,
                       int32_t ldv) {
  if (n <= 0) return true;
  if (m < 0) m = 0;
  const detail::TMatKernels& K = detail::MatKernels();
  const bool uv = v != nullptr;
  const int64_t LA = lda;
  const int64_t LV = ldv;
  auto A = [&](int64_t r, int64_t c) -> double& { return a[r + c * LA]; };
  auto V = [&](int64_t r, int64_t c) -> double& { return v[r + c * LV]; };

  std::vector<double> rv1(static_cast<size_t>(n));
  std::vector<double> work(static_cast<size_t>(m > n ? m : n) + 1);
  std::vector<double> rowi(static_cast<size_t>(n) + 1);
  double g = 0.0;
  double scale = 0.0;
  double anorm = 0.0;
  bool ok = true;

  // Householder reduction to bidiagonal form.
  for (int64_t i = 0; i < n; ++i) {
    if (ProgressStepAborted()) return false;
    const int64_t l = i + 1;
    rv1[i] = scale * g;
    g = 0.0;
    double s = 0.0;
    scale = 0.0;
    if (i < m) {
      double* ci = &A(0, i);
      for (int64_t k = i; k < m; ++k) scale += std::fabs(ci[k]);
      if (scale != 0.0) {
        for (int64_t k = i; k < m; ++k) {
          ci[k] /= scale;
          s += ci[k] * ci[k];
        }
        const double f = ci[i];
        g = -SignOf(std::sqrt(s), f);
        const double h = f * g - s;
        ci[i] = f - g;
        if (l < n) {
          double* dots = work.data();
          K.GemvT(m - i, n - l, &A(i, l), LA, ci + i, dots);
          for (int64_t j = l; j < n; ++j) K.FmsAxpy(m - i, -(dots[j - l] / h), ci + i, &A(i, j));
        }
        for (int64_t k = i; k < m; ++k) ci[k] *= scale;
      }
    }
    w[i] = scale * g;
    g = 0.0;
    s = 0.0;
    scale = 0.0;
    if (i < m && i != n - 1) {
      for (int64_t k = l; k < n; ++k) scale += std::fabs(A(i, k));
      if (scale != 0.0) {
        for (int64_t k = l; k < n; ++k) {
          A(i, k) /= scale;
          s += A(i, k) * A(i, k);
        }
        const double f = A(i, l);
        g = -SignOf(std::sqrt(s), f);
        const double h = f * g - s;
        A(i, l) = f - g;
        for (int64_t k = l; k < n; ++k) {
          rv1[k] = A(i, k) / h;
          rowi[k] = A(i, k);
        }
        if (l < m) {
          // s_j = sum_k A(j, k) A(i, k) for every row j below, then row j += s_j rv1.
          double* sj = work.data();
          K.Gemv(m - l, n - l, &A(l, l), LA, rowi.data() + l, sj);
          for (int64_t k = l; k < n; ++k) K.FmsAxpy(m - l, -rv1[k], sj, &A(l, k));
        }
        for (int64_t k = l; k < n; ++k) A(i, k) *= scale;
      }
    }
    const double t = std::fabs(w[i]) + std::fabs(rv1[i]);
    if (t > anorm) anorm = t;
  }

  // Accumulation of the right-hand transformations.
  {
    int64_t l = n;
    for (int64_t i = n - 1; i >= 0; --i) {
      if (ProgressStepAborted()) return false;
      if (uv) {
        if (i < n - 1) {
          if (g != 0.0) {
            for (int64_t j = l; j < n; ++j) V(j, i) = (A(i, j) / A(i, l)) / g;
            for (int64_t k = l; k < n; ++k) rowi[k] = A(i, k);
            double* dots = work.data();
            K.GemvT(n - l, n - l, &V(l, l), LV, rowi.data() + l, dots);
            for (int64_t j = l; j < n; ++j) K.FmsAxpy(n - l, -dots[j - l], &V(l, i), &V(l, j));
          }
          for (int64_t j = l; j < n; ++j) {
            V(i, j) = 0.0;
            V(j, i) = 0.0;
          }
        }
        V(i, i) = 1.0;
      }
      g = rv1[i];
      l = i;
    }
  }

  // Accumulation of the left-hand transformations.
  for (int64_t i = (m < n ? m : n) - 1; i >= 0; --i) {
    if (ProgressStepAborted()) return false;
    if (!uv) continue;
    const int64_t l = i + 1;
    g = w[i];
    for (int64_t j = l; j < n; ++j) A(i, j) = 0.0;
    double* ci = &A(0, i);
    if (g != 0.0) {
      g = 1.0 / g;
      if (l < n) {
        double* dots = work.data();
        K.GemvT(m - l, n - l, &A(l, l), LA, ci + l, dots);
        for (int64_t j = l; j < n; ++j) {
          const double f = (dots[j - l] / ci[i]) * g;
          K.FmsAxpy(m - i, -f, ci + i, &A(i, j));
        }
      }
      for (int64_t j = i; j < m; ++j) ci[j] *= g;
    } else {
      for (int64_t j = i; j < m; ++j) ci[j] = 0.0;
    }
    ci[i] += 1.0;
  }

  // Diagonalization of the bidiagonal form.
  for (int64_t k = n - 1; k >= 0; --k) {
    if (ProgressStepAborted()) return false;
    for (int32_t its = 1; its <= 30; ++its) {
      bool flag = true;
      int64_t l = k;
      for (; l >= 0; --l) {
        // rv1[0] is zero by construction; stopping there also holds when anorm is NaN.
        if (l == 0 || Negligible(rv1[l], anorm)) {
          flag = false;
          break;
        }
        if (Negligible(w[l - 1], anorm)) break;
      }
      if (flag) {
        // Cancellation of rv1[l].
        const int64_t nm = l - 1;
        double c = 0.0;
        double s = 1.0;
        for (int64_t i = l; i <= k; ++i) {
          const double f = s * rv1[i];
          rv1[i] = c * rv1[i];
          if (Negligible(f, anorm)) break;
          g = w[i];
          double h = Hypot(f, g);
          w[i] = h;
          h = 1.0 / h;
          c = g * h;
          s = -f * h;
          if (uv) Rotate(&A(0, nm), &A(0, i), m, c, s);
        }
      }
      double z = w[k];
      if (l == k) {
        if (z < 0.0) {
          w[k] = -z;
          if (uv)
            for (int64_t j = 0; j < n; ++j) V(j, k) = -V(j, k);
        }
        break;
      }
      if (its == 30) ok = false;
      double x = w[l];
      const int64_t nm = k - 1;
      double y = w[nm];
      g = rv1[nm];
      double h = rv1[k];
      double f = ((y - z) * (y + z) + (g - h) * (g + h)) / (2.0 * h * y);
      g = Hypot(f, 1.0);
      f = ((x - z) * (x + z) + h * ((y / (f + SignOf(g, f))) - h)) / x;
      double c = 1.0;
      double s = 1.0;
      for (int64_t j = l; j <= nm; ++j) {
        const int64_t i = j + 1;
        g = rv1[i];
        y = w[i];
        h = s * g;
        g = c * g;
        z = Hypot(f, h);
        rv1[j] = z;
        c = f / z;
        s = h / z;
        f = x * c + g * s;
        g = g * c - x * s;
        h = y * s;
        y *= c;
        if (uv) Rotate(&V(0, j), &V(0, i), n, c, s);
        z = Hypot(f, h);
        w[j] = z;
        if (z != 0.0) {
          z = 1.0 / z;
          c = f * z;
          s = h * z;
        }
        f = c * g + s * y;
        x = c * y - s * g;
        if (uv) Rotate(&A(0, j), &A(0, i), m, c, s);
      }
      rv1[l] = 0.0;
      rv1[k] = f;
      w[k] = x;
    }
  }
  return ok;
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
