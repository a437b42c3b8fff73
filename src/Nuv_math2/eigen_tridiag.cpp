// Reduction of a symmetric matrix to tridiagonal form by Householder
// reflectors, and the back transformation of eigenvectors. Both work a panel
// of reflectors at a time, so most of the arithmetic runs in the matrix
// unit's blocked products: the reduction accumulates a panel's rank-2 updates
// and applies them to the trailing matrix in one product; the back
// transformation applies a panel as I - V T V^T (compact WY form). Only the
// lower triangle of the trailing matrix is kept up to date; the symmetric
// matrix-vector product, the one pass over it per column that no blocking
// avoids, reads each of its elements once.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "Nuv_math2/eigen_sym_steps.h"
#include "Nuv_matrix/matrix_kernels.h"
#include "foundation/cpu_clones.h"

// The symmetric product is built for AVX2 and the baseline, the better one chosen at
// load time.

namespace nuv {
namespace detail {

namespace {

constexpr size_t kPanel = 32;         // reflectors per trailing update
constexpr size_t kApplyWidth = 64;    // reflectors per compact WY block
constexpr size_t kUpdateWidth = 256;  // columns per product of the trailing update

// Euclidean norm of x[0..m), scaled only when the plain sum of squares over- or underflows.
double Norm2(const double* x, size_t m) {
  double s = 0.0;
  for (size_t k = 0; k < m; ++k) s += x[k] * x[k];
  if (s > 1e-290 && s < 1e290) return std::sqrt(s);
  double big = 0.0;
  for (size_t k = 0; k < m; ++k) big = std::max(big, std::fabs(x[k]));
  if (big == 0.0 || !std::isfinite(big)) return big;
  s = 0.0;
  for (size_t k = 0; k < m; ++k) {
    const double t = x[k] / big;
    s += t * t;
  }
  return big * std::sqrt(s);
}

// The reflector H = I - tau v v^T with v = (1, x / (alpha - beta)) that maps (alpha, x) to
// (beta, 0). x is scaled in place; returns tau, beta in Beta. tau = 0 when x is zero.
double MakeReflector(double alpha, double* x, size_t m, double& Beta) {
  const double xnorm = Norm2(x, m);
  if (xnorm == 0.0) {
    Beta = alpha;
    return 0.0;
  }
  Beta = -std::copysign(std::hypot(alpha, xnorm), alpha);
  const double scale = 1.0 / (alpha - Beta);
  for (size_t k = 0; k < m; ++k) x[k] *= scale;
  return (Beta - alpha) / Beta;
}

/// Four lanes (a compiler vector type: one AVX2 register, two SSE2 ones).
typedef double TLanes __attribute__((vector_size(32)));

// y := A x for the symmetric matrix A of order m whose lower triangle is read (column
// major, stride ld). Four columns at a time: their parts below the 4 x 4 diagonal block
// are added into y and dotted with x in one pass.
NUV_AVX2_CLONES void SymvLower(size_t m, const double* A, size_t ld, const double* x,
                                  double* y) {
  std::fill(y, y + m, 0.0);
  size_t c = 0;
  for (; c + 4 <= m; c += 4) {
    const double* a[4] = {A + c * ld, A + (c + 1) * ld, A + (c + 2) * ld, A + (c + 3) * ld};
    for (size_t j = 0; j < 4; ++j) {
      y[c + j] += a[j][c + j] * x[c + j];
      for (size_t i = j + 1; i < 4; ++i) {
        y[c + i] += a[j][c + i] * x[c + j];
        y[c + j] += a[j][c + i] * x[c + i];
      }
    }
    const double x0 = x[c], x1 = x[c + 1], x2 = x[c + 2], x3 = x[c + 3];
    TLanes s0 = {0, 0, 0, 0}, s1 = s0, s2 = s0, s3 = s0;
    size_t r = c + 4;
    for (; r + 4 <= m; r += 4) {
      TLanes v0, v1, v2, v3, xr, yr;
      std::memcpy(&v0, a[0] + r, sizeof v0);
      std::memcpy(&v1, a[1] + r, sizeof v1);
      std::memcpy(&v2, a[2] + r, sizeof v2);
      std::memcpy(&v3, a[3] + r, sizeof v3);
      std::memcpy(&xr, x + r, sizeof xr);
      std::memcpy(&yr, y + r, sizeof yr);
      yr += v0 * x0 + v1 * x1 + v2 * x2 + v3 * x3;
      std::memcpy(y + r, &yr, sizeof yr);
      s0 += v0 * xr;
      s1 += v1 * xr;
      s2 += v2 * xr;
      s3 += v3 * xr;
    }
    double t[4] = {s0[0] + s0[1] + s0[2] + s0[3], s1[0] + s1[1] + s1[2] + s1[3],
                   s2[0] + s2[1] + s2[2] + s2[3], s3[0] + s3[1] + s3[2] + s3[3]};
    for (; r < m; ++r) {
      y[r] += a[0][r] * x0 + a[1][r] * x1 + a[2][r] * x2 + a[3][r] * x3;
      for (size_t j = 0; j < 4; ++j) t[j] += a[j][r] * x[r];
    }
    for (size_t j = 0; j < 4; ++j) y[c + j] += t[j];
  }
  for (; c < m; ++c) {
    const double* a = A + c * ld;
    y[c] += a[c] * x[c];
    for (size_t r = c + 1; r < m; ++r) {
      y[r] += a[r] * x[c];
      y[c] += a[r] * x[r];
    }
  }
}

double Dot(const double* x, const double* y, size_t m) {
  double s = 0.0;
  for (size_t k = 0; k < m; ++k) s += x[k] * y[k];
  return s;
}

}  // namespace

bool ReduceToTridiagonal(double* A, size_t n, double* d, double* e, double* tau,
                         TEigenProgress& Progress) {
  if (n == 0) return !Progress.FinishStage(0);
  const TMatKernels& K = MatKernels();
  const int64_t ld = static_cast<int64_t>(n);
  std::vector<double> W(n * kPanel), VW, WV, t1(2 * kPanel), t2(2 * kPanel), tmp(n);
  auto at = [&](size_t r, size_t c) -> double* { return A + c * n + r; };
  for (size_t i0 = 0; i0 < n; i0 += kPanel) {
    // The last panel takes the rest and leaves no trailing matrix.
    const bool last = n - i0 <= 2 * kPanel;
    const size_t nb = last ? n - i0 : kPanel;
    if (last && W.size() < n * nb) W.resize(n * nb);
    for (size_t i = 0; i < nb; ++i) {
      const size_t j = i0 + i;
      const size_t len = n - j;
      if (i > 0) {
        // Column j as the panel's earlier rank-2 updates leave it.
        double* col = at(j, j);
        for (size_t c = 0; c < i; ++c) t1[c] = W[c * n + j];
        K.Gemv(static_cast<int64_t>(len), static_cast<int64_t>(i), at(j, i0), ld, t1.data(),
               tmp.data());
        for (size_t k = 0; k < len; ++k) col[k] -= tmp[k];
        for (size_t c = 0; c < i; ++c) t1[c] = *at(j, i0 + c);
        K.Gemv(static_cast<int64_t>(len), static_cast<int64_t>(i), W.data() + j, ld, t1.data(),
               tmp.data());
        for (size_t k = 0; k < len; ++k) col[k] -= tmp[k];
      }
      d[j] = *at(j, j);
      if (j + 1 == n) break;
      const size_t r = len - 1;
      double beta = 0.0;
      tau[j] = MakeReflector(*at(j + 1, j), at(j + 2, j), r - 1, beta);
      e[j] = beta;
      *at(j + 1, j) = 1.0;
      const double* v = at(j + 1, j);
      double* w = W.data() + i * n + j + 1;
      if (tau[j] == 0.0) {
        std::fill(w, w + r, 0.0);
      } else {
        // w = tau (A22 - V W^T - W V^T) v, then w -= (tau / 2) (w^T v) v.
        SymvLower(r, at(j + 1, j + 1), n, v, w);
        if (i > 0) {
          K.GemvT(static_cast<int64_t>(r), static_cast<int64_t>(i), W.data() + j + 1, ld, v,
                  t1.data());
          K.GemvT(static_cast<int64_t>(r), static_cast<int64_t>(i), at(j + 1, i0), ld, v,
                  t2.data());
          K.Gemv(static_cast<int64_t>(r), static_cast<int64_t>(i), at(j + 1, i0), ld, t1.data(),
                 tmp.data());
          for (size_t k = 0; k < r; ++k) w[k] -= tmp[k];
          K.Gemv(static_cast<int64_t>(r), static_cast<int64_t>(i), W.data() + j + 1, ld, t2.data(),
                 tmp.data());
          for (size_t k = 0; k < r; ++k) w[k] -= tmp[k];
        }
        for (size_t k = 0; k < r; ++k) w[k] *= tau[j];
        const double alpha = -0.5 * tau[j] * Dot(w, v, r);
        for (size_t k = 0; k < r; ++k) w[k] += alpha * v[k];
      }
      if (Progress.Reach(static_cast<double>(j + 1), n)) return false;
    }
    if (last) break;
    // Trailing matrix -= V W^T + W V^T as products of depth 2 nb, on the lower triangle
    // a block of columns at a time.
    const size_t s = i0 + nb, m = n - s;
    VW.resize(m * 2 * nb);
    WV.resize(m * 2 * nb);
    for (size_t c = 0; c < nb; ++c) {
      const double* vc = at(s, i0 + c);
      const double* wc = W.data() + c * n + s;
      std::copy(vc, vc + m, VW.data() + c * m);
      std::copy(wc, wc + m, VW.data() + (nb + c) * m);
      std::copy(wc, wc + m, WV.data() + c * m);
      std::copy(vc, vc + m, WV.data() + (nb + c) * m);
    }
    const int64_t mm = static_cast<int64_t>(m);
    for (size_t c0 = 0; c0 < m; c0 += kUpdateWidth) {
      const size_t w = std::min(kUpdateWidth, m - c0);
      K.Gemm(static_cast<int64_t>(m - c0), static_cast<int64_t>(w), static_cast<int64_t>(2 * nb),
             VW.data() + c0, 1, mm, WV.data() + c0, mm, 1, at(s + c0, s + c0), ld,
             kGemmLoadC | kGemmNegA, 0);
    }
  }
  return !Progress.FinishStage(n);
}

bool ApplyReflectors(const double* A, size_t n, const double* tau, double* Z,
                     TEigenProgress& Progress) {
  if (n < 3) return !Progress.FinishStage(n);
  const TMatKernels& K = MatKernels();
  const size_t count = n - 2;  // reflector n - 2 is always the identity
  std::vector<double> V, T, Y, Y2, col(kApplyWidth);
  const int64_t ld = static_cast<int64_t>(n);
  size_t done = 0;
  // Blocks from the last to the first: Z := (I - V T V^T) Z for each.
  const size_t blocks = (count + kApplyWidth - 1) / kApplyWidth;
  for (size_t b = blocks; b-- > 0;) {
    const size_t j0 = b * kApplyWidth;
    const size_t kb = std::min(kApplyWidth, count - j0);
    const size_t r = n - j0 - 1;  // rows j0 + 1 .. n - 1
    V.assign(r * kb, 0.0);
    for (size_t c = 0; c < kb; ++c) {
      // Reflector j0 + c: 1 in row j0 + c + 1 (local c), its tail below.
      const double* src = A + (j0 + c) * n + (j0 + c + 1);
      double* dst = V.data() + c * r + c;
      dst[0] = 1.0;
      std::copy(src + 1, src + (r - c), dst + 1);
    }
    // T upper triangular: T(c, c) = tau_c, T(0..c, c) = -tau_c T(0..c, 0..c) V(:, 0..c)^T v_c.
    T.assign(kb * kb, 0.0);
    for (size_t c = 0; c < kb; ++c) {
      const double tc = tau[j0 + c];
      T[c * kb + c] = tc;
      if (c == 0 || tc == 0.0) continue;
      const double* vc = V.data() + c * r;
      for (size_t p = 0; p < c; ++p) col[p] = -tc * Dot(V.data() + p * r + c, vc + c, r - c);
      for (size_t p = 0; p < c; ++p) {
        double s = 0.0;
        for (size_t q = p; q < c; ++q) s += T[q * kb + p] * col[q];
        T[c * kb + p] = s;
      }
    }
    const int64_t rr = static_cast<int64_t>(r), kk = static_cast<int64_t>(kb);
    Y.resize(kb * n);
    Y2.resize(kb * n);
    double* zr = Z + j0 + 1;
    K.Gemm(kk, ld, rr, V.data(), rr, 1, zr, 1, ld, Y.data(), kk, 0, 0);
    K.Gemm(kk, ld, kk, T.data(), 1, kk, Y.data(), 1, kk, Y2.data(), kk, 0, 0);
    K.Gemm(rr, ld, kk, V.data(), 1, rr, Y2.data(), 1, kk, zr, ld, kGemmLoadC | kGemmNegA, 0);
    done += kb;
    if (Progress.Reach(static_cast<double>(done), n)) return false;
  }
  return !Progress.FinishStage(n);
}

}  // namespace detail
}  // namespace nuv
