// Cubic splines: the interpolating spline with natural or clamped ends, the penalised
// spline of weighted data (Reinsch), and TCurveFit's cached splines through its pairs.
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <new>
#include <numeric>
#include <vector>

#include "Nuv_math2/curvefit.h"
#include "Nuv_math2/curvefit_internal.h"
#include "Nuv_math2/curvefit_spline.h"

namespace nuv {

namespace detail {

void InterpolatingSpline2Deriv(const double* x, const double* y, std::size_t n, bool Natural1,
                               double Deriv1, bool NaturalN, double DerivN, double* M) {
  if (n < 2) {
    if (n == 1) M[0] = 0.0;
    return;
  }
  // Tridiagonal system in M, solved by elimination from the top (diagonally dominant);
  // cp holds the eliminated super-diagonal, M the right-hand side as it goes.
  std::vector<double> cp(n);
  const auto slope = [&](std::size_t i) { return (y[i + 1] - y[i]) / (x[i + 1] - x[i]); };
  double b, c, r;
  if (Natural1) {
    b = 1.0, c = 0.0, r = 0.0;
  } else {
    const double h = x[1] - x[0];
    b = 2 * h, c = h, r = 6 * (slope(0) - Deriv1);
  }
  cp[0] = c / b;
  M[0] = r / b;
  for (std::size_t i = 1; i < n; ++i) {
    double a;
    if (i < n - 1) {
      const double h0 = x[i] - x[i - 1], h1 = x[i + 1] - x[i];
      a = h0, b = 2 * (h0 + h1), c = h1, r = 6 * (slope(i) - slope(i - 1));
    } else if (NaturalN) {
      a = 0.0, b = 1.0, c = 0.0, r = 0.0;
    } else {
      const double h = x[i] - x[i - 1];
      a = h, b = 2 * h, c = 0.0, r = 6 * (DerivN - slope(i - 1));
    }
    const double den = b - a * cp[i - 1];
    cp[i] = c / den;
    M[i] = (r - a * M[i - 1]) / den;
  }
  for (std::size_t i = n - 1; i-- > 0;) M[i] -= cp[i] * M[i + 1];
}

double EvalCubicSpline(const double* x, const double* y, const double* M, std::size_t n,
                       double t) {
  if (std::isnan(t)) return std::numeric_limits<double>::quiet_NaN();
  if (n == 0) return 0.0;
  if (n == 1) return y[0];
  if (t < x[0]) {
    const double h = x[1] - x[0];
    return y[0] + ((y[1] - y[0]) / h - h * (2 * M[0] + M[1]) / 6) * (t - x[0]);
  }
  if (t > x[n - 1]) {
    const double h = x[n - 1] - x[n - 2];
    return y[n - 1] + ((y[n - 1] - y[n - 2]) / h + h * (M[n - 2] + 2 * M[n - 1]) / 6) *
                          (t - x[n - 1]);
  }
  std::size_t i = static_cast<std::size_t>(std::upper_bound(x, x + n, t) - x);
  i = i == 0 ? 0 : std::min(i - 1, n - 2);
  const double h = x[i + 1] - x[i];
  const double A = (x[i + 1] - t) / h, B = (t - x[i]) / h;
  return A * y[i] + B * y[i + 1] + ((A * A * A - A) * M[i] + (B * B * B - B) * M[i + 1]) * h * h / 6;
}

void PenalizedSplineCore(const double* x, const double* y, const double* w, std::size_t n,
                         double Lambda, double* g, double* M) {
  std::fill(M, M + n, 0.0);
  if (n < 3 || Lambda == 0.0) {
    // No interior knot leaves nothing to smooth; Lambda 0 is the interpolating spline.
    std::copy(y, y + n, g);
    if (n >= 3) InterpolatingSpline2Deriv(x, y, n, true, 0.0, true, 0.0, M);
    return;
  }
  const std::size_t m = n - 2;
  std::vector<double> h(n - 1), qa(m), qb(m), qc(m), A0(m), A1(m, 0.0), A2(m, 0.0), rhs(m);
  for (std::size_t i = 0; i + 1 < n; ++i) h[i] = x[i + 1] - x[i];
  // Column c of Q (for knot c + 1) holds qa, qb, qc in the rows c, c + 1, c + 2.
  for (std::size_t c = 0; c < m; ++c) {
    qa[c] = 1.0 / h[c];
    qc[c] = 1.0 / h[c + 1];
    qb[c] = -qa[c] - qc[c];
    rhs[c] = (y[c + 2] - y[c + 1]) / h[c + 1] - (y[c + 1] - y[c]) / h[c];
  }
  // The band of R / Lambda + Q^T W^-1 Q for large Lambda (its solution is Lambda gamma),
  // of R + Lambda Q^T W^-1 Q otherwise: neither form overflows at its end of the range.
  const bool scaled = Lambda >= 1.0;
  const double fr = scaled ? 1.0 / Lambda : 1.0, fq = scaled ? 1.0 : Lambda;
  for (std::size_t c = 0; c < m; ++c) {
    A0[c] = fr * (h[c] + h[c + 1]) / 3 +
            fq * (qa[c] * qa[c] / w[c] + qb[c] * qb[c] / w[c + 1] + qc[c] * qc[c] / w[c + 2]);
    if (c + 1 < m)
      A1[c] = fr * h[c + 1] / 6 + fq * (qb[c] * qa[c + 1] / w[c + 1] + qc[c] * qb[c + 1] / w[c + 2]);
    if (c + 2 < m) A2[c] = fq * qc[c] * qa[c + 2] / w[c + 2];
  }
  // L D L^T of the symmetric pentadiagonal band, in place: A0 becomes D, A1 and A2 the
  // first and second sub-diagonals of L.
  for (std::size_t i = 0; i < m; ++i) {
    if (i >= 1) A0[i] -= A1[i - 1] * A1[i - 1] * A0[i - 1];
    if (i >= 2) A0[i] -= A2[i - 2] * A2[i - 2] * A0[i - 2];
    if (i + 1 < m) {
      if (i >= 1) A1[i] -= A2[i - 1] * A1[i - 1] * A0[i - 1];
      A1[i] /= A0[i];
    }
    if (i + 2 < m) A2[i] /= A0[i];
  }
  std::vector<double>& u = rhs;
  for (std::size_t i = 1; i < m; ++i) {
    u[i] -= A1[i - 1] * u[i - 1];
    if (i >= 2) u[i] -= A2[i - 2] * u[i - 2];
  }
  for (std::size_t i = 0; i < m; ++i) u[i] /= A0[i];
  for (std::size_t i = m; i-- > 0;) {
    if (i + 1 < m) u[i] -= A1[i] * u[i + 1];
    if (i + 2 < m) u[i] -= A2[i] * u[i + 2];
  }
  // g = y - W^-1 Q (Lambda gamma).
  for (std::size_t r = 0; r < n; ++r) {
    double qg = 0.0;
    if (r < m) qg += qa[r] * u[r];
    if (r >= 1 && r - 1 < m) qg += qb[r - 1] * u[r - 1];
    if (r >= 2) qg += qc[r - 2] * u[r - 2];
    g[r] = y[r] - (scaled ? 1.0 : Lambda) * qg / w[r];
  }
  for (std::size_t c = 0; c < m; ++c) M[c + 1] = scaled ? u[c] / Lambda : u[c];
}

}  // namespace detail

bool PenalizedCubicSpline(const TVector* x, const TVector* y, const TVector* Weights,
                          double Lambda, TVector* Fitted, TVector* SecondDeriv) {
  if (x == nullptr || y == nullptr || Fitted == nullptr || !(Lambda >= 0.0)) return false;
  const int32_t N = x->NrOfElem();
  if (y->NrOfElem() != N || (Weights != nullptr && Weights->NrOfElem() != N)) return false;
  const double* xd = x->Data();
  const double* yd = y->Data();
  for (int32_t i = 0; i < N; ++i) {
    if (!std::isfinite(xd[i]) || !std::isfinite(yd[i])) return false;
    if (i > 0 && !(xd[i] > xd[i - 1])) return false;
    if (Weights != nullptr && !(Weights->Data()[i] > 0.0 && std::isfinite(Weights->Data()[i])))
      return false;
  }
  const size_t n = static_cast<size_t>(N);
  std::vector<double> g, M, ones;
  try {
    g.resize(n);
    M.resize(n);
    if (Weights == nullptr) ones.assign(n, 1.0);
    detail::PenalizedSplineCore(xd, yd, Weights != nullptr ? Weights->Data() : ones.data(), n,
                                Lambda, g.data(), M.data());
    // Results are complete before any output changes, so an output may be an input.
    Fitted->Resize(N);
    if (SecondDeriv != nullptr) SecondDeriv->Resize(N);
  } catch (const std::bad_alloc&) {
    RaiseFunctionError<ENUVMath2Error>("PenalizedCubicSpline", "not enough memory");
  } catch (const ENUVVectorError&) {
    RaiseFunctionError<ENUVMath2Error>("PenalizedCubicSpline", "not enough memory");
  }
  // A change handler may have resized an output again.
  if (Fitted->NrOfElem() != N || (SecondDeriv != nullptr && SecondDeriv->NrOfElem() != N))
    return false;
  std::copy(g.begin(), g.end(), Fitted->Data());
  Fitted->SetIsEmpty(false);
  Fitted->Changed();
  if (SecondDeriv != nullptr) {
    std::copy(M.begin(), M.end(), SecondDeriv->Data());
    SecondDeriv->SetIsEmpty(false);
    SecondDeriv->Changed();
  }
  return true;
}

namespace {

// Sorts the pairs by x and merges equal x into one knot at the mean of their y, weighted by
// their number; records the sums of squares that the fit quality needs.
void BuildKnots(const double* x, const double* y, int32_t N, detail::TCurveFitSplineCache& S) {
  S.SplSortedX.clear();
  S.SplSortedY.clear();
  S.Weights.clear();
  S.SSWithin = S.TSS = 0.0;
  S.KnotsFinite = true;
  for (int32_t i = 0; i < N; ++i)
    if (!std::isfinite(x[i]) || !std::isfinite(y[i])) S.KnotsFinite = false;
  if (!S.KnotsFinite) return;
  const size_t n = static_cast<size_t>(N);
  std::vector<uint64_t> keys(n);
  std::vector<uint32_t> order(n);
  for (size_t i = 0; i < n; ++i) keys[i] = detail::OrderedKey(x[i]);
  std::iota(order.begin(), order.end(), 0u);
  detail::RadixSortKeys(keys, order);
  double ysum = 0.0;
  for (size_t i = 0; i < n; ++i) ysum += y[i];
  const double ymean = n > 0 ? ysum / static_cast<double>(n) : 0.0;
  for (size_t lo = 0; lo < n;) {
    size_t hi = lo + 1;
    while (hi < n && keys[hi] == keys[lo]) ++hi;
    double s = 0.0;
    for (size_t k = lo; k < hi; ++k) s += y[order[k]];
    const double cnt = static_cast<double>(hi - lo), mean = s / cnt;
    for (size_t k = lo; k < hi; ++k) {
      const double d = y[order[k]] - mean, e = y[order[k]] - ymean;
      S.SSWithin += d * d;
      S.TSS += e * e;
    }
    S.SplSortedX.push_back(x[order[lo]]);
    S.SplSortedY.push_back(mean);
    S.Weights.push_back(cnt);
    lo = hi;
  }
}

}  // namespace

detail::TCurveFitSplineCache& TCurveFit::Knots() const {
  try {
    if (!FSpline) FSpline = std::make_unique<detail::TCurveFitSplineCache>();
    // Whatever makes the knots invalid has invalidated both splines too.
    if (!FSpline->KnotsValid) {
      BuildKnots(ColX(), ColY(), FNumData, *FSpline);
      FSpline->KnotsValid = true;
    }
  } catch (const std::bad_alloc&) {
    RaiseComponentError<ENUVMath2Error>(this, "not enough memory");
  }
  return *FSpline;
}

double TCurveFit::CubicSpline(double x) const {
  if (FNumData < 1) return 0.0;
  detail::TCurveFitSplineCache& S = Knots();
  if (!FSplineValid) {
    try {
      S.Spl2Deriv.assign(S.SplSortedX.size(), 0.0);
    } catch (const std::bad_alloc&) {
      RaiseComponentError<ENUVMath2Error>(this, "not enough memory");
    }
    detail::InterpolatingSpline2Deriv(S.SplSortedX.data(), S.SplSortedY.data(),
                                      S.SplSortedX.size(), FNatural1, FY1Dash, FNaturalN,
                                      FYNDash, S.Spl2Deriv.data());
    FSplineValid = true;
  }
  if (!S.KnotsFinite) return std::numeric_limits<double>::quiet_NaN();
  return detail::EvalCubicSpline(S.SplSortedX.data(), S.SplSortedY.data(), S.Spl2Deriv.data(),
                                 S.SplSortedX.size(), x);
}

double TCurveFit::SmoothedSpline(double x, double& FitQual, bool& valid) const {
  FitQual = 0.0;
  valid = false;
  if (FNumData < 1 || !(FPSplineSmooth >= 0.0)) return 0.0;
  detail::TCurveFitSplineCache& S = Knots();
  if (!S.KnotsFinite) return 0.0;
  if (!FPenSplineValid) {
    const size_t m = S.SplSortedX.size();
    try {
      S.PenFitted.assign(m, 0.0);
      S.Pen2Deriv.assign(m, 0.0);
      // The factor counts in cubed mean knot spacings, so that it means the same for any
      // unit of x; it comes first, so that an infinite one stays infinite even where h^3
      // would underflow.
      const double h = m > 1 ? (S.SplSortedX[m - 1] - S.SplSortedX[0]) / (m - 1) : 0.0;
      const double lambda = FPSplineSmooth == 0.0 ? 0.0 : FPSplineSmooth * h * h * h;
      detail::PenalizedSplineCore(S.SplSortedX.data(), S.SplSortedY.data(), S.Weights.data(), m,
                                  lambda, S.PenFitted.data(), S.Pen2Deriv.data());
    } catch (const std::bad_alloc&) {
      RaiseComponentError<ENUVMath2Error>(this, "not enough memory");
    }
    double rss = S.SSWithin;
    for (size_t k = 0; k < m; ++k) {
      const double d = S.SplSortedY[k] - S.PenFitted[k];
      rss += S.Weights[k] * d * d;
    }
    FPSplineFQ = S.TSS == 0.0 ? 1.0 : std::min(1.0, std::max(0.0, 1.0 - rss / S.TSS));
    FPenSplineValid = true;
  }
  valid = true;
  FitQual = FPSplineFQ;
  return detail::EvalCubicSpline(S.SplSortedX.data(), S.PenFitted.data(), S.Pen2Deriv.data(),
                                 S.SplSortedX.size(), x);
}

}  // namespace nuv
