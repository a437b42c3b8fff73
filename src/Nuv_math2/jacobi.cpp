// The cyclic Jacobi kernel. The matrix is kept whole and symmetric in
// column-major storage, so a rotation of the pair (p, q) is a rotation of two
// contiguous columns, vectorized, followed by copying column q into row q. Row
// p, which every rotation of the sweep's chain for p touches, is copied once at
// the end of the chain. The rotations themselves, their order, thresholds and
// skips are those of the classic algorithm, so the result is the same to the
// last bit as a plain implementation's.
#include <cmath>
#include <vector>

#include "Nuv_math2/eigen_store.h"
#include "foundation/progress.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace nuv {
namespace detail {

namespace {

// x' = x - s (y + x tau), y' = y + s (x - y tau), element by element.
inline void RotatePair(double* x, double* y, size_t n, double s, double tau) {
  size_t k = 0;
#if defined(__SSE2__)
  const __m128d vs = _mm_set1_pd(s);
  const __m128d vt = _mm_set1_pd(tau);
  for (; k + 4 <= n; k += 4) {
    const __m128d x0 = _mm_loadu_pd(x + k), x1 = _mm_loadu_pd(x + k + 2);
    const __m128d y0 = _mm_loadu_pd(y + k), y1 = _mm_loadu_pd(y + k + 2);
    _mm_storeu_pd(x + k, _mm_sub_pd(x0, _mm_mul_pd(vs, _mm_add_pd(y0, _mm_mul_pd(x0, vt)))));
    _mm_storeu_pd(x + k + 2, _mm_sub_pd(x1, _mm_mul_pd(vs, _mm_add_pd(y1, _mm_mul_pd(x1, vt)))));
    _mm_storeu_pd(y + k, _mm_add_pd(y0, _mm_mul_pd(vs, _mm_sub_pd(x0, _mm_mul_pd(y0, vt)))));
    _mm_storeu_pd(y + k + 2, _mm_add_pd(y1, _mm_mul_pd(vs, _mm_sub_pd(x1, _mm_mul_pd(y1, vt)))));
  }
#endif
  for (; k < n; ++k) {
    const double g = x[k], h = y[k];
    x[k] = g - s * (h + g * tau);
    y[k] = h + s * (g - h * tau);
  }
}

// Row r := column r of the symmetric matrix.
inline void MirrorColumn(double* A, size_t n, size_t r) {
  const double* col = A + r * n;
  double* row = A + r;
  for (size_t k = 0; k < n; ++k) row[k * n] = col[k];
}

}  // namespace

TJacobiResult JacobiSweeps(double* A, size_t n, double* D, double* V, bool Hooks) {
  std::vector<double> b(n), z(n, 0.0);
  for (size_t k = 0; k < n; ++k) {
    D[k] = b[k] = A[k * n + k];
    A[k * n + k] = 0.0;
    double* v = V + k * n;
    for (size_t j = 0; j < n; ++j) v[j] = j == k ? 1.0 : 0.0;
  }
  const double n2 = static_cast<double>(n) * static_cast<double>(n);
  for (int sweep = 1; sweep <= 100; ++sweep) {
    if (Hooks) ProgressStep();
    // Row by row over the upper triangle, as the thresholds were always computed.
    double sm = 0.0;
    for (size_t p = 0; p + 1 < n; ++p) {
      const double* colp = A + p * n;
      for (size_t q = p + 1; q < n; ++q) sm += std::fabs(colp[q]);
    }
    if (sm == 0.0) return TJacobiResult::Converged;
    const double tresh = sweep < 4 ? 0.2 * sm / n2 : 0.0;
    for (size_t p = 0; p + 1 < n; ++p) {
      double* colp = A + p * n;
      for (size_t q = p + 1; q < n; ++q) {
        if (Hooks) {
          if (AbortRequested()) {
            MirrorColumn(A, n, p);
            return TJacobiResult::Aborted;
          }
          ProgressStep();
        }
        double* colq = A + q * n;
        const double apq = colp[q];
        const double g = 200.0 * std::fabs(apq);
        if (sweep > 4 && std::fabs(D[p]) + g == std::fabs(D[p]) &&
            std::fabs(D[q]) + g == std::fabs(D[q])) {
          colp[q] = 0.0;
          colq[p] = 0.0;
        } else if (std::fabs(apq) > tresh) {
          double h = D[q] - D[p];
          double t;
          if (std::fabs(h) + g == std::fabs(h)) {
            t = apq / h;
          } else {
            const double theta = h / apq / 2.0;
            t = 1.0 / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
            if (theta < 0.0) t = -t;
          }
          const double c = 1.0 / std::sqrt(1.0 + t * t);
          const double s = t * c;
          const double tau = s / (1.0 + c);
          h = t * apq;
          z[p] -= h;
          z[q] += h;
          D[p] -= h;
          D[q] += h;
          RotatePair(colp, colq, n, s, tau);
          // Rows p and q of the two columns are the pivot and the (unused) diagonal.
          colp[p] = colp[q] = colq[p] = colq[q] = 0.0;
          MirrorColumn(A, n, q);
          RotatePair(V + p * n, V + q * n, n, s, tau);
        }
      }
      MirrorColumn(A, n, p);
    }
    for (size_t k = 0; k < n; ++k) {
      b[k] += z[k];
      D[k] = b[k];
      z[k] = 0.0;
    }
  }
  return TJacobiResult::NoConvergence;
}

}  // namespace detail
}  // namespace nuv
