#include "Nuv_math2/pls.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "Nuv_math2/block_copy.h"
#include "Nuv_math2/eigen_store.h"

namespace nuv {

namespace {

using Vec = std::vector<double>;

void CenterColumns(Vec& a, size_t rows, size_t cols, Vec& means) {
  means.assign(cols, 0.0);
  for (size_t c = 0; c < cols; ++c) {
    double* x = a.data() + c * rows;
    double s = 0.0;
    for (size_t r = 0; r < rows; ++r) s += x[r];
    const double m = s / static_cast<double>(rows);
    means[c] = m;
    for (size_t r = 0; r < rows; ++r) x[r] -= m;
  }
}

double Dot(const double* a, const double* b, size_t n) {
  double s = 0.0;
  for (size_t k = 0; k < n; ++k) s += a[k] * b[k];
  return s;
}

// out (cols) = A^T x for column-major A (rows x cols).
void MulT(const Vec& a, size_t rows, size_t cols, const double* x, double* out) {
  for (size_t c = 0; c < cols; ++c) out[c] = Dot(a.data() + c * rows, x, rows);
}

// out (rows) = A x.
void Mul(const Vec& a, size_t rows, size_t cols, const double* x, double* out) {
  std::fill(out, out + rows, 0.0);
  for (size_t c = 0; c < cols; ++c) {
    const double* col = a.data() + c * rows;
    for (size_t r = 0; r < rows; ++r) out[r] += col[r] * x[c];
  }
}

void Store(TMatrix* M, const Vec& data, size_t rows, size_t cols) {
  if (M == nullptr) return;
  M->Resize(static_cast<int32_t>(cols), static_cast<int32_t>(rows));
  for (size_t c = 0; c < cols; ++c)
    std::copy(data.begin() + static_cast<std::ptrdiff_t>(c * rows),
              data.begin() + static_cast<std::ptrdiff_t>((c + 1) * rows),
              M->ColData(static_cast<int32_t>(c + 1)));
  M->Changed();
}

}  // namespace

bool SimPLS(const TMatrix* X, const TMatrix* Y, int32_t NumComp, TMatrix* Weights,
            TMatrix* XLoadings, TMatrix* YLoadings, TMatrix* Scores, TMatrix* Coeffs) {
  ClearAbort();
  if (X == nullptr || Y == nullptr || Coeffs == nullptr) return false;
  const int32_t N = X->NrOfRows();
  if (N < 2 || Y->NrOfRows() != N || X->NrOfColumns() < 1 || Y->NrOfColumns() < 1) return false;
  const size_t n = static_cast<size_t>(N), p = static_cast<size_t>(X->NrOfColumns()),
               m = static_cast<size_t>(Y->NrOfColumns());
  const size_t A = static_cast<size_t>(
      std::clamp<int64_t>(NumComp, 1, std::min<int64_t>(static_cast<int64_t>(p), N - 1)));

  Vec x0, y0, xm, ym, S, R, T, P, Q, V, SS, D, E, r, t, pl, ql, v;
  try {
    if (!detail::CopyBlock(X, 1, static_cast<int32_t>(p), 1, N, x0) ||
        !detail::CopyBlock(Y, 1, static_cast<int32_t>(m), 1, N, y0))
      throw std::bad_alloc();
    S.resize(p * m);
    R.resize(p * A);
    P.resize(p * A);
    V.resize(p * A);
    T.resize(n * A);
    Q.resize(m * A);
    SS.resize(m * m);
    D.resize(m);
    E.resize(m * m);
    r.resize(p);
    pl.resize(p);
    v.resize(p);
    t.resize(n);
    ql.resize(m);
  } catch (const std::bad_alloc&) {
    RaiseFunctionError<ENUVMath2Error>("SimPLS", "not enough memory");
  }
  CenterColumns(x0, n, p, xm);
  CenterColumns(y0, n, m, ym);
  for (size_t j = 0; j < m; ++j) MulT(x0, n, p, y0.data() + j * n, S.data() + j * p);

  size_t a = 0;
  for (; a < A; ++a) {
    if (ProgressStepAborted()) return false;
    // The direction q of S's largest singular value: the dominant eigenvector of S^T S.
    Vec q(m, 1.0);
    if (m > 1) {
      for (size_t i = 0; i < m; ++i)
        for (size_t j = 0; j < m; ++j) SS[j * m + i] = Dot(S.data() + i * p, S.data() + j * p, p);
      if (detail::JacobiSweeps(SS.data(), m, D.data(), E.data(), false) !=
          detail::TJacobiResult::Converged)
        return false;
      const size_t best = static_cast<size_t>(std::max_element(D.begin(), D.end()) - D.begin());
      std::copy(E.begin() + static_cast<std::ptrdiff_t>(best * m),
                E.begin() + static_cast<std::ptrdiff_t>((best + 1) * m), q.begin());
    }
    Mul(S, p, m, q.data(), r.data());
    Mul(x0, n, p, r.data(), t.data());
    const double normt = std::sqrt(Dot(t.data(), t.data(), n));
    if (!(normt > 0.0) || !std::isfinite(normt)) break;  // the predictors' rank is exhausted
    for (double& e : t) e /= normt;
    for (double& e : r) e /= normt;
    MulT(x0, n, p, t.data(), pl.data());
    MulT(y0, n, m, t.data(), ql.data());
    v = pl;
    // Orthogonal to the earlier loadings (twice, for stability).
    for (int pass = 0; pass < 2; ++pass)
      for (size_t b = 0; b < a; ++b) {
        const double* vb = V.data() + b * p;
        const double cv = Dot(vb, v.data(), p);
        for (size_t k = 0; k < p; ++k) v[k] -= cv * vb[k];
      }
    const double normv = std::sqrt(Dot(v.data(), v.data(), p));
    if (normv > 0.0)
      for (double& e : v) e /= normv;
    for (size_t j = 0; j < m; ++j) {
      double* sj = S.data() + j * p;
      const double c = Dot(v.data(), sj, p);
      for (size_t k = 0; k < p; ++k) sj[k] -= c * v[k];
    }
    std::copy(r.begin(), r.end(), R.begin() + static_cast<std::ptrdiff_t>(a * p));
    std::copy(pl.begin(), pl.end(), P.begin() + static_cast<std::ptrdiff_t>(a * p));
    std::copy(v.begin(), v.end(), V.begin() + static_cast<std::ptrdiff_t>(a * p));
    std::copy(t.begin(), t.end(), T.begin() + static_cast<std::ptrdiff_t>(a * n));
    std::copy(ql.begin(), ql.end(), Q.begin() + static_cast<std::ptrdiff_t>(a * m));
  }
  const size_t got = a;
  if (got == 0) return false;

  // B = R Q^T, with the intercepts in front: row 0 of each response's column.
  Vec B((p + 1) * m, 0.0);
  for (size_t j = 0; j < m; ++j) {
    double* bj = B.data() + j * (p + 1);
    for (size_t c = 0; c < got; ++c) {
      const double qjc = Q[c * m + j];
      const double* rc = R.data() + c * p;
      for (size_t k = 0; k < p; ++k) bj[k + 1] += rc[k] * qjc;
    }
    double b0 = ym[j];
    for (size_t k = 0; k < p; ++k) b0 -= xm[k] * bj[k + 1];
    bj[0] = b0;
  }
  R.resize(p * got);
  P.resize(p * got);
  Q.resize(m * got);
  T.resize(n * got);
  Store(Weights, R, p, got);
  Store(XLoadings, P, p, got);
  Store(YLoadings, Q, m, got);
  Store(Scores, T, n, got);
  Store(Coeffs, B, p + 1, m);
  return true;
}

}  // namespace nuv
