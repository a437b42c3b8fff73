// The symmetric tridiagonal eigenproblem by divide and conquer (Cuppen's
// method with the deflation of Dongarra and Sorensen and the eigenvector
// formula of Gu and Eisenstat, which keeps the vectors orthogonal without
// extra precision). Blocks of up to kLeaf rows are solved by implicit QL.
// Merging two halves is a rank-one update D + rho z z^T of their eigenvalues:
// close poles and negligible weights are deflated by rotations, the remaining
// eigenvalues are the roots of the secular equation, and the new vectors are
// one blocked product of the halves' vectors with those of the update. The
// product skips the zero blocks: vectors of the upper half have no
// components in the lower rows and vice versa, until a deflating rotation
// mixes the two.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <memory>
#include <numeric>
#include <vector>

#include "Nuv_math2/eigen_sym_steps.h"
#include "Nuv_matrix/matrix_kernels.h"

namespace nuv {
namespace detail {

namespace {

constexpr size_t kLeaf = 25;

// Implicit QL with shifts on the tridiagonal (d, e) of order n, where e[i] couples i and
// i + 1 and e[n - 1] is 0. The rotations turn pairs of columns of Z (rows entries each,
// column stride ldz). False after 60 iterations on one eigenvalue.
bool ImplicitQL(double* d, double* e, size_t n, double* Z, size_t ldz, size_t rows) {
  for (size_t l = 0; l < n; ++l) {
    int iter = 0;
    for (;;) {
      size_t m = l;
      for (; m + 1 < n; ++m) {
        const double dd = std::fabs(d[m]) + std::fabs(d[m + 1]);
        if (std::fabs(e[m]) <= 0.5 * DBL_EPSILON * dd) break;
      }
      if (m == l) break;
      if (++iter > 60) return false;
      double g = (d[l + 1] - d[l]) / (2.0 * e[l]);
      double r = std::hypot(g, 1.0);
      g = d[m] - d[l] + e[l] / (g + std::copysign(r, g));
      double s = 1.0, c = 1.0, p = 0.0;
      bool underflow = false;
      for (size_t i = m; i-- > l;) {
        const double f = s * e[i], b = c * e[i];
        r = std::hypot(f, g);
        e[i + 1] = r;
        if (r == 0.0) {
          // The rotation underflowed: the block splits here, restart on it.
          d[i + 1] -= p;
          e[m] = 0.0;
          underflow = true;
          break;
        }
        s = f / r;
        c = g / r;
        g = d[i + 1] - p;
        r = (d[i] - g) * s + 2.0 * c * b;
        p = s * r;
        d[i + 1] = g + p;
        g = c * r - b;
        double* zi = Z + i * ldz;
        double* zj = zi + ldz;
        for (size_t k = 0; k < rows; ++k) {
          const double t = zj[k];
          zj[k] = s * zi[k] + c * t;
          zi[k] = c * zi[k] - s * t;
        }
      }
      if (underflow) continue;
      d[l] -= p;
      e[l] = g;
      e[m] = 0.0;
    }
  }
  return true;
}

// Root i (from 0) of 1/rho + sum_j z_j^2 / (d_j - lambda) = 0, where d ascends strictly,
// no z_j is 0, rho > 0 and |z| <= 1: lambda = d[Origin] + Tau, with the origin the pole
// nearer to the root, so that every d_j - lambda is formed as (d_j - d[Origin]) - Tau
// without cancellation. Each step fits the two poles beside the root (one, for the last
// root, which lies above every pole) to the function's value and slope; a step that would
// leave the bracket is replaced by bisection.
void SecularRoot(const double* d, const double* z, size_t k, double rho, size_t i, size_t& Origin,
                 double& Tau) {
  const double invrho = 1.0 / rho;
  double lo, hi;
  if (i + 1 < k) {
    const double mid = (d[i + 1] - d[i]) / 2.0;
    double f = invrho;
    for (size_t j = 0; j < k; ++j) f += z[j] * z[j] / ((d[j] - d[i]) - mid);
    if (f >= 0.0) {
      Origin = i;
      lo = 0.0;
      hi = mid;
    } else {
      Origin = i + 1;
      lo = (d[i] - d[i + 1]) / 2.0;
      hi = 0.0;
    }
  } else {
    Origin = i;
    double zz = 0.0;
    for (size_t j = 0; j < k; ++j) zz += z[j] * z[j];
    lo = 0.0;
    hi = rho * zz;
  }
  const double org = d[Origin];
  const double di = d[i] - org;
  const double di1 = i + 1 < k ? d[i + 1] - org : 0.0;
  double tau = (lo + hi) / 2.0;
  for (int iter = 0; iter < 200; ++iter) {
    double psi = 0.0, dpsi = 0.0, phi = 0.0, dphi = 0.0;
    for (size_t j = 0; j <= i; ++j) {
      const double t = z[j] / ((d[j] - org) - tau);
      psi += z[j] * t;
      dpsi += t * t;
    }
    for (size_t j = i + 1; j < k; ++j) {
      const double t = z[j] / ((d[j] - org) - tau);
      phi += z[j] * t;
      dphi += t * t;
    }
    const double f = invrho + psi + phi;
    if (f == 0.0) break;
    if (f < 0.0)
      lo = tau;
    else
      hi = tau;
    const double err = 8.0 * (phi - psi) + 2.0 * invrho + 3.0 * std::fabs(tau) * (dpsi + dphi);
    if (std::fabs(f) <= DBL_EPSILON * err) break;
    if (hi - lo <= 2.0 * DBL_EPSILON * std::max(std::fabs(lo), std::fabs(hi))) break;
    const double a = di - tau;
    double eta = NAN;
    if (i + 1 < k) {
      const double b = di1 - tau;
      const double c = f - dpsi * a - dphi * b;
      const double qb = -(c * (a + b) + dpsi * a * a + dphi * b * b);
      const double qc = f * a * b;
      if (c == 0.0) {
        if (qb != 0.0) eta = -qc / qb;
      } else {
        const double disc = qb * qb - 4.0 * c * qc;
        if (disc >= 0.0) {
          const double q = -0.5 * (qb + std::copysign(std::sqrt(disc), qb));
          const double e1 = q / c, e2 = q != 0.0 ? qc / q : NAN;
          const bool in1 = tau + e1 > lo && tau + e1 < hi;
          const bool in2 = tau + e2 > lo && tau + e2 < hi;
          if (in1 && (!in2 || std::fabs(e1) <= std::fabs(e2)))
            eta = e1;
          else if (in2)
            eta = e2;
        }
      }
    } else {
      const double c = f - dpsi * a;
      if (c > 0.0) eta = a + dpsi * a * a / c;
    }
    double next = tau + eta;
    // Bisection when the model fails, and every eighth step so the bracket always shrinks.
    if (!(next > lo && next < hi) || iter % 8 == 7) next = (lo + hi) / 2.0;
    if (next == tau) break;
    tau = next;
  }
  Tau = tau;
}

double TreeWork(size_t n) {
  if (n <= kLeaf) return 0.0;
  const size_t n1 = n / 2;
  const double m = static_cast<double>(n);
  return m * m * m + TreeWork(n1) + TreeWork(n - n1);
}

class TDivideConquer {
 public:
  TDivideConquer(double* d, double* e, size_t n, double* Z, TEigenProgress& Progress)
      : FD(d), FE(e), FN(n), FZ(Z), FProgress(Progress), FWorkTotal(TreeWork(n)) {
    if (n > kLeaf) {
      FQk.reset(new double[n * n]);
      FUp.reset(new double[n * n]);
    }
  }

  // Solves rows and columns Off..Off+n-1 into the diagonal block of Z; false when aborted or
  // when a leaf does not converge.
  bool Solve(size_t Off, size_t n) {
    if (n <= kLeaf) {
      std::vector<double> e(n, 0.0);
      std::copy(FE + Off, FE + Off + n - 1, e.begin());
      double* z = Block(Off);
      for (size_t c = 0; c < n; ++c) z[c * FN + c] = 1.0;
      return ImplicitQL(FD + Off, e.data(), n, z, FN, n);
    }
    const size_t n1 = n / 2;
    const double beta = FE[Off + n1 - 1];
    FD[Off + n1 - 1] -= std::fabs(beta);
    FD[Off + n1] -= std::fabs(beta);
    if (!Solve(Off, n1) || !Solve(Off + n1, n - n1)) return false;
    Merge(Off, n, n1, beta);
    const double m = static_cast<double>(n);
    FWorkDone += m * m * m;
    return !FProgress.Reach(static_cast<double>(FN) * FWorkDone / FWorkTotal, FN);
  }

 private:
  double* Block(size_t Off) const { return FZ + Off * FN + Off; }

  void Merge(size_t Off, size_t n, size_t n1, double beta);

  double* FD;
  const double* FE;
  size_t FN;
  double* FZ;
  TEigenProgress& FProgress;
  double FWorkTotal, FWorkDone = 0.0;
  // Scratch of n^2 each, left uninitialized: the merges' columns and update vectors.
  std::unique_ptr<double[]> FQk, FUp;
  std::vector<double> FDl, FZl, FZz, FZhat, FDd, FTau;
  std::vector<size_t> FOrder, FKept, FDropped, FOrigin, FPos, FInv;
  std::vector<int> FType;
};

void TDivideConquer::Merge(size_t Off, size_t n, size_t n1, double beta) {
  if (beta == 0.0) return;  // the halves are already the whole
  const size_t ld = FN;
  double* Q = Block(Off);
  double* d = FD + Off;
  double rho = 2.0 * std::fabs(beta);
  const double sigma = beta < 0.0 ? -1.0 : 1.0;
  // z = Q^T (e_last + sigma e_first) / sqrt 2, with rho doubled to match.
  FZz.resize(n);
  FDd.assign(d, d + n);
  const double half = std::sqrt(0.5);
  for (size_t c = 0; c < n1; ++c) FZz[c] = Q[c * ld + n1 - 1] * half;
  for (size_t c = n1; c < n; ++c) FZz[c] = sigma * Q[c * ld + n1] * half;
  FType.resize(n);
  for (size_t c = 0; c < n; ++c) FType[c] = c < n1 ? 1 : 2;
  FOrder.resize(n);
  std::iota(FOrder.begin(), FOrder.end(), size_t{0});
  std::stable_sort(FOrder.begin(), FOrder.end(),
                   [&](size_t a, size_t b) { return FDd[a] < FDd[b]; });
  double dmax = 0.0, zmax = 0.0;
  for (size_t c = 0; c < n; ++c) {
    dmax = std::max(dmax, std::fabs(FDd[c]));
    zmax = std::max(zmax, std::fabs(FZz[c]));
  }
  const double tol = 8.0 * DBL_EPSILON * std::max(dmax, rho * zmax);

  // Deflation: a negligible weight leaves its pole an eigenvalue; of two poles closer than
  // the tolerance allows, a rotation moves the whole weight onto one.
  FKept.clear();
  FDropped.clear();
  const size_t none = n;
  size_t pj = none;
  for (size_t t = 0; t < n; ++t) {
    const size_t c = FOrder[t];
    if (rho * std::fabs(FZz[c]) <= tol) {
      FDropped.push_back(c);
      continue;
    }
    if (pj == none) {
      pj = c;
      continue;
    }
    double s = FZz[pj], cs = FZz[c];
    const double r = std::hypot(cs, s);
    const double gap = FDd[c] - FDd[pj];
    cs /= r;
    s = -s / r;
    if (std::fabs(gap * cs * s) <= tol) {
      FZz[c] = r;
      FZz[pj] = 0.0;
      if (FType[pj] != FType[c]) FType[pj] = FType[c] = 3;
      double* x = Q + pj * ld;
      double* y = Q + c * ld;
      for (size_t k = 0; k < n; ++k) {
        const double xv = x[k], yv = y[k];
        x[k] = cs * xv + s * yv;
        y[k] = cs * yv - s * xv;
      }
      const double dp = FDd[pj] * cs * cs + FDd[c] * s * s;
      FDd[c] = FDd[pj] * s * s + FDd[c] * cs * cs;
      FDd[pj] = dp;
      FDropped.push_back(pj);
    } else {
      FKept.push_back(pj);
    }
    pj = c;
  }
  if (pj != none) FKept.push_back(pj);
  const size_t k = FKept.size();
  if (k == 0) {
    std::copy(FDd.begin(), FDd.end(), d);
    return;
  }
  // Grouped by the rows they fill: upper half only, both, lower half only.
  std::stable_sort(FKept.begin(), FKept.end(), [&](size_t a, size_t b) {
    auto rank = [&](size_t c) { return FType[c] == 1 ? 0 : FType[c] == 3 ? 1 : 2; };
    return rank(a) < rank(b);
  });
  // The secular equation wants its poles in ascending order; Pos maps them to FKept's order.
  std::vector<size_t>& pos = FPos;
  pos.resize(k);
  std::iota(pos.begin(), pos.end(), size_t{0});
  std::stable_sort(pos.begin(), pos.end(),
                   [&](size_t a, size_t b) { return FDd[FKept[a]] < FDd[FKept[b]]; });
  FDl.resize(k);
  FZl.resize(k);
  for (size_t i = 0; i < k; ++i) {
    FDl[i] = FDd[FKept[pos[i]]];
    FZl[i] = FZz[FKept[pos[i]]];
  }
  FOrigin.resize(k);
  FTau.resize(k);
  for (size_t j = 0; j < k; ++j)
    SecularRoot(FDl.data(), FZl.data(), k, rho, j, FOrigin[j], FTau[j]);

  // The weights zhat for which the computed roots are exact (Gu and Eisenstat):
  // zhat_i^2 = -(d_i - lambda_i) / rho * prod_{j != i} (d_i - lambda_j) / (d_i - d_j),
  // gathered root by root so that every pass runs over contiguous poles.
  std::vector<double>& zhat = FZhat;
  zhat.assign(k, -1.0 / rho);
  for (size_t j = 0; j < k; ++j) {
    const double base = FDl[FOrigin[j]], tau = FTau[j], dj = FDl[j];
    for (size_t i = 0; i < k; ++i) {
      const double delta = (FDl[i] - base) - tau;
      zhat[i] *= i == j ? delta : delta / (FDl[i] - dj);
    }
  }
  for (size_t i = 0; i < k; ++i) zhat[i] = std::copysign(std::sqrt(std::max(zhat[i], 0.0)), FZl[i]);
  // The update's eigenvectors zhat_i / (d_i - lambda_j), normalized, with their rows in
  // FKept's order, next to the columns of Q they multiply.
  std::vector<size_t>& inv = FInv;
  inv.resize(k);
  for (size_t i = 0; i < k; ++i) inv[pos[i]] = i;  // FKept index -> pole index
  double* up = FUp.get();
  for (size_t j = 0; j < k; ++j) {
    double* u = up + j * k;
    const double base = FDl[FOrigin[j]], tau = FTau[j];
    double s = 0.0;
    for (size_t q = 0; q < k; ++q) {
      const size_t i = inv[q];
      u[q] = zhat[i] / ((FDl[i] - base) - tau);
      s += u[q] * u[q];
    }
    const double scale = 1.0 / std::sqrt(s);
    for (size_t q = 0; q < k; ++q) u[q] *= scale;
  }
  // The kept columns, then the deflated ones, which follow the new vectors unchanged.
  double* qk = FQk.get();
  for (size_t q = 0; q < k; ++q) std::copy(Q + FKept[q] * ld, Q + FKept[q] * ld + n, qk + q * n);
  for (size_t t = 0; t < FDropped.size(); ++t)
    std::copy(Q + FDropped[t] * ld, Q + FDropped[t] * ld + n, qk + (k + t) * n);
  size_t k1 = 0, k2 = 0;
  for (size_t q = 0; q < k; ++q) {
    if (FType[FKept[q]] == 1) ++k1;
    if (FType[FKept[q]] == 2) ++k2;
  }
  const TMatKernels& K = MatKernels();
  const int64_t nn = static_cast<int64_t>(n), kk = static_cast<int64_t>(k);
  const int64_t lq = static_cast<int64_t>(ld);
  const int64_t top = static_cast<int64_t>(n1), bottom = static_cast<int64_t>(n - n1);
  if (k - k2 > 0)
    K.Gemm(top, kk, static_cast<int64_t>(k - k2), qk, 1, nn, up, 1, kk, Q, lq, 0, 0);
  else
    for (size_t j = 0; j < k; ++j) std::fill(Q + j * ld, Q + j * ld + n1, 0.0);
  if (k - k1 > 0)
    K.Gemm(bottom, kk, static_cast<int64_t>(k - k1), qk + k1 * n + n1, 1, nn, up + k1, 1, kk,
           Q + n1, lq, 0, 0);
  else
    for (size_t j = 0; j < k; ++j) std::fill(Q + j * ld + n1, Q + j * ld + n, 0.0);
  for (size_t c = k; c < n; ++c) std::copy(qk + c * n, qk + (c + 1) * n, Q + c * ld);
  for (size_t j = 0; j < k; ++j) d[j] = FDl[FOrigin[j]] + FTau[j];
  for (size_t t = 0; t < FDropped.size(); ++t) d[k + t] = FDd[FDropped[t]];
}

}  // namespace

bool TridiagonalEigen(double* d, double* e, size_t n, double* Z, TEigenProgress& Progress) {
  if (n == 0) return !Progress.FinishStage(0);
  TDivideConquer dc(d, e, n, Z, Progress);
  if (!dc.Solve(0, n)) return false;
  return !Progress.FinishStage(n);
}

}  // namespace detail
}  // namespace nuv
