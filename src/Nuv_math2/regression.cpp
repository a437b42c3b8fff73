#include "Nuv_math2/regression.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <vector>

#include "Nuv_math2/block_copy.h"
#include "Nuv_matrix/matrix_svd.h"

namespace nuv {

namespace {

enum class TScale { None, Length, StdDev };

// The design matrix centred and scaled column by column, and its decomposition.
struct TDesign {
  size_t N = 0, p = 0;
  std::vector<double> u, w, v;  // U (N x p, in place of the design), w (p), V (p x p)
  std::vector<double> mean, scale;
  double ymean = 0.0;
};

[[noreturn]] void RaiseNoMemory(const char* Func) {
  RaiseFunctionError<ENUVMath2Error>(Func, "not enough memory");
}

// False for bad arguments or a failed or aborted decomposition.
bool Decompose(const TMatrix* X, const TVector* y, bool Center, TScale Scale, const char* Func,
               TDesign& d) {
  ClearAbort();
  if (X == nullptr || y == nullptr) return false;
  const int32_t N = X->NrOfRows(), p = X->NrOfColumns();
  if (N <= 0 || p <= 0 || y->NrOfElem() != N) return false;
  d.N = static_cast<size_t>(N);
  d.p = static_cast<size_t>(p);
  try {
    if (!detail::CopyBlock(X, 1, p, 1, N, d.u)) throw std::bad_alloc();
    d.w.resize(d.p);
    d.v.resize(d.p * d.p);
    d.mean.assign(d.p, 0.0);
    d.scale.assign(d.p, 1.0);
  } catch (const std::bad_alloc&) {
    RaiseNoMemory(Func);
  }
  const double dn = static_cast<double>(N);
  for (size_t k = 0; k < d.p; ++k) {
    double* col = d.u.data() + k * d.N;
    if (Center) {
      double s = 0.0;
      for (size_t i = 0; i < d.N; ++i) s += col[i];
      const double m = s / dn;
      d.mean[k] = m;
      for (size_t i = 0; i < d.N; ++i) col[i] -= m;
    }
    if (Scale != TScale::None) {
      double ss = 0.0;
      for (size_t i = 0; i < d.N; ++i) ss += col[i] * col[i];
      double f = std::sqrt(Scale == TScale::Length ? ss : ss / (dn - 1.0));
      if (!(f > 0.0) || !std::isfinite(f)) f = Scale == TScale::Length ? 1.0 : 0.0;
      d.scale[k] = f;
      const double inv = f > 0.0 ? 1.0 / f : 0.0;  // a constant column becomes zeros
      for (size_t i = 0; i < d.N; ++i) col[i] *= inv;
    }
  }
  if (Center) {
    double s = 0.0;
    for (size_t i = 0; i < d.N; ++i) s += y->Data()[i];
    d.ymean = s / dn;
  }
  try {
    return SingValDecompCore(d.u.data(), N, N, p, d.w.data(), d.v.data(), p);
  } catch (const std::bad_alloc&) {
    RaiseNoMemory(Func);
  }
}

// Slopes in the scaled coordinates: V diag(f(w_j)) U^T (y - ymean).
std::vector<double> Solve(const TDesign& d, const TVector* y, const std::vector<double>& f) {
  std::vector<double> c(d.p, 0.0);
  const double* yd = y->Data();
  for (size_t j = 0; j < d.p; ++j) {
    if (f[j] == 0.0) continue;
    const double* uj = d.u.data() + j * d.N;
    double s = 0.0;
    for (size_t i = 0; i < d.N; ++i) s += uj[i] * (yd[i] - d.ymean);
    const double g = s * f[j];
    const double* vj = d.v.data() + j * d.p;
    for (size_t k = 0; k < d.p; ++k) c[k] += vj[k] * g;
  }
  return c;
}

// Coefficients (intercept first) from the scaled slopes; the residuals from the raw data.
void Finish(const TMatrix* X, const TVector* y, const TDesign& d, const std::vector<double>& c,
            double b0, bool RawSlopes, TVector* Coeffs, std::vector<double>& res) {
  std::vector<double> b(d.p);
  for (size_t k = 0; k < d.p; ++k)
    b[k] = RawSlopes ? (d.scale[k] > 0.0 ? c[k] / d.scale[k] : 0.0) : c[k];
  res.assign(y->Data(), y->Data() + d.N);
  if (RawSlopes) {
    for (size_t i = 0; i < d.N; ++i) res[i] -= b0;
    for (size_t k = 0; k < d.p; ++k) {
      const double* col = X->ColData(static_cast<int32_t>(k + 1));
      for (size_t i = 0; i < d.N; ++i) res[i] -= b[k] * col[i];
    }
  } else {
    // Standardized slopes act on the standardized columns.
    for (size_t i = 0; i < d.N; ++i) res[i] -= b0;
    for (size_t k = 0; k < d.p; ++k) {
      if (d.scale[k] == 0.0) continue;
      const double* col = X->ColData(static_cast<int32_t>(k + 1));
      const double g = b[k] / d.scale[k];
      for (size_t i = 0; i < d.N; ++i) res[i] -= g * (col[i] - d.mean[k]);
    }
  }
  if (Coeffs != nullptr) {
    Coeffs->Resize(static_cast<int32_t>(d.p + 1));
    Coeffs->Data()[0] = b0;
    std::copy(b.begin(), b.end(), Coeffs->Data() + 1);
    Coeffs->Changed();
  }
}

void Store(TVector* V, const std::vector<double>& x) {
  if (V == nullptr) return;
  V->Resize(static_cast<int32_t>(x.size()));
  std::copy(x.begin(), x.end(), V->Data());
  V->Changed();
}

std::vector<double> LeastSquaresFactors(const TDesign& d) {
  double wmax = 0.0;
  for (double s : d.w) wmax = std::max(wmax, s);
  std::vector<double> f(d.p, 0.0);
  for (size_t j = 0; j < d.p; ++j)
    if (d.w[j] >= wmax * 1e-14 && d.w[j] > 0.0) f[j] = 1.0 / d.w[j];
  return f;
}

bool Ridge(const TMatrix* X, const TVector* y, double Lambda, TScale Scale, const char* Func,
           TVector* Coeffs, TVector* Means, TVector* StdDevs, TVector* Residuals) {
  if (!(Lambda >= 0.0)) return false;
  TDesign d;
  if (!Decompose(X, y, true, Scale, Func, d)) return false;
  std::vector<double> f = LeastSquaresFactors(d);
  if (Lambda > 0.0)
    for (size_t j = 0; j < d.p; ++j) f[j] = d.w[j] / (d.w[j] * d.w[j] + Lambda);
  const std::vector<double> c = Solve(d, y, f);
  const bool raw = Scale == TScale::None;
  double b0 = d.ymean;
  if (raw)
    for (size_t k = 0; k < d.p; ++k) b0 -= c[k] * d.mean[k];
  std::vector<double> res;
  Finish(X, y, d, c, b0, raw, Coeffs, res);
  Store(Residuals, res);
  Store(Means, d.mean);
  Store(StdDevs, d.scale);
  return true;
}

}  // namespace

bool MultiLinReg(const TMatrix* X, const TVector* y, bool Intercept, TVector* Coeffs,
                 TVector* StdErrs, double& RSquared, TVector* Residuals) {
  TDesign d;
  if (!Decompose(X, y, Intercept, TScale::Length, "MultiLinReg", d)) return false;
  const std::vector<double> f = LeastSquaresFactors(d);
  const std::vector<double> c = Solve(d, y, f);
  double b0 = d.ymean;
  for (size_t k = 0; k < d.p; ++k) b0 -= c[k] / d.scale[k] * d.mean[k];
  if (!Intercept) b0 = 0.0;
  std::vector<double> res;
  Finish(X, y, d, c, b0, true, Coeffs, res);

  double rss = 0.0, tss = 0.0;
  for (size_t i = 0; i < d.N; ++i) {
    rss += res[i] * res[i];
    const double dy = y->Data()[i] - (Intercept ? d.ymean : 0.0);
    tss += dy * dy;
  }
  RSquared = tss > 0.0 ? 1.0 - rss / tss : 0.0;

  if (StdErrs != nullptr) {
    const double params = static_cast<double>(d.p) + (Intercept ? 1.0 : 0.0);
    const double dof = static_cast<double>(d.N) - params;
    const double sigma = dof > 0.0 ? std::sqrt(rss / dof) : std::numeric_limits<double>::quiet_NaN();
    // var(c_k) = sigma^2 sum_j V(k, j)^2 / w_j^2 in the scaled coordinates; the intercept
    // adds sigma^2 / N to the variance of the means' combination.
    std::vector<double> se(d.p + 1, 0.0), g(d.p, 0.0);
    for (size_t j = 0; j < d.p; ++j) {
      if (f[j] == 0.0) continue;
      const double* vj = d.v.data() + j * d.p;
      double dot = 0.0;
      for (size_t k = 0; k < d.p; ++k) {
        se[k + 1] += vj[k] * vj[k] * f[j] * f[j];
        dot += vj[k] * d.mean[k] / d.scale[k];
      }
      se[0] += dot * dot * f[j] * f[j];
    }
    se[0] = Intercept ? sigma * std::sqrt(1.0 / static_cast<double>(d.N) + se[0]) : 0.0;
    for (size_t k = 0; k < d.p; ++k) se[k + 1] = sigma * std::sqrt(se[k + 1]) / d.scale[k];
    Store(StdErrs, se);
  }
  Store(Residuals, res);
  return true;
}

bool RidgeReg(const TMatrix* X, const TVector* y, double Lambda, TVector* Coeffs,
              TVector* Residuals) {
  return Ridge(X, y, Lambda, TScale::None, "RidgeReg", Coeffs, nullptr, nullptr, Residuals);
}

bool RidgeRegStd(const TMatrix* X, const TVector* y, double Lambda, TVector* Coeffs,
                 TVector* Means, TVector* StdDevs, TVector* Residuals) {
  return Ridge(X, y, Lambda, TScale::StdDev, "RidgeRegStd", Coeffs, Means, StdDevs, Residuals);
}

}  // namespace nuv
