// TCurveFit: straight line, parabola, general and centred polynomials, circle.
#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "Nuv_math2/curvefit.h"
#include "Nuv_math2/svd_solve.h"

namespace nuv {

namespace {

// Rows between two polls of AbortMathProc while the design is reduced.
constexpr int32_t kAbortPollRows = 1 << 16;

// The triangular factor R of a design matrix and Q^T b, built one row at a time by Givens
// rotations, so that the N x q design is never stored: its singular values and
// least-squares solutions are those of R with Q^T b.
class TRowReduction {
 public:
  explicit TRowReduction(size_t q) : q_(q), R_(q * q, 0.0), z_(q, 0.0) {}

  // Rotates the row (a, b) into R and z; a is used up.
  void AddRow(double* a, double b) {
    for (size_t k = 0; k < q_; ++k) {
      const double ak = a[k];
      if (ak == 0.0) continue;
      double* rk = R_.data() + k * q_;
      const double rkk = rk[k];
      // The scaled form of hypot: the squares must not overflow.
      const double big = std::max(std::fabs(rkk), std::fabs(ak));
      const double small = std::min(std::fabs(rkk), std::fabs(ak));
      const double ratio = small / big;
      const double r = big * std::sqrt(1.0 + ratio * ratio);
      const double c = rkk / r, s = ak / r;
      rk[k] = r;
      for (size_t j = k + 1; j < q_; ++j) {
        const double t = rk[j];
        rk[j] = c * t + s * a[j];
        a[j] = c * a[j] - s * t;
      }
      const double t = z_[k];
      z_[k] = c * t + s * b;
      b = c * b - s * t;
    }
  }

  // The least-squares solution with every column of the design scaled to unit length
  // before the decomposition, mapped back to the unscaled columns.
  bool Solve(std::vector<double>& Sol, bool& NearSingular) const {
    TMatrix A(nullptr);
    TVector rhs(nullptr), x(nullptr);
    A.Resize(static_cast<int32_t>(q_), static_cast<int32_t>(q_));
    rhs.Resize(static_cast<int32_t>(q_));
    std::vector<double> norm(q_);
    for (size_t j = 0; j < q_; ++j) {
      // Column j of R has the norm of column j of the design.
      long double s = 0;
      for (size_t i = 0; i <= j; ++i) s += static_cast<long double>(R_[i * q_ + j]) * R_[i * q_ + j];
      norm[j] = static_cast<double>(std::sqrt(s));
      const double scale = norm[j] > 0.0 ? norm[j] : 1.0;
      double* col = A.ColData(static_cast<int32_t>(j + 1));
      for (size_t i = 0; i < q_; ++i) col[i] = i <= j ? R_[i * q_ + j] / scale : 0.0;
      rhs.Data()[j] = z_[j];
    }
    if (!SingValEquSolve(&A, &rhs, &x, nullptr, NearSingular)) return false;
    Sol.resize(q_);
    for (size_t j = 0; j < q_; ++j) {
      Sol[j] = x.Data()[j] / (norm[j] > 0.0 ? norm[j] : 1.0);
      if (!std::isfinite(Sol[j])) return false;
    }
    return true;
  }

 private:
  size_t q_;
  std::vector<double> R_;
  std::vector<double> z_;
};

// The squared correlation of fitted and observed values from plain sums.
class TFitQualSums {
 public:
  void Add(double Fitted, double Observed) {
    sf_ += Fitted;
    sy_ += Observed;
    sff_ += Fitted * Fitted;
    syy_ += Observed * Observed;
    sfy_ += Fitted * Observed;
  }
  double Value(int32_t N) const {
    const double n = N;
    const double vy = syy_ - sy_ * sy_ / n;
    const double vf = sff_ - sf_ * sf_ / n;
    if (!(syy_ > 0.0) || !(sff_ > 0.0) || vy == 0.0 || vf == 0.0) return 0.0;
    const double r = (sfy_ - sf_ * sy_ / n) / std::sqrt(std::fabs(vy * vf));
    return r * r;
  }

 private:
  double sf_ = 0.0, sy_ = 0.0, sff_ = 0.0, syy_ = 0.0, sfy_ = 0.0;
};

// Fits y - YShift = sum_i sol_i u^i (i = 1..nOrder) + sol_0 with u = (x - XShift) / XScale.
// Sol holds the powers 1..nOrder first and the constant last, as the design columns.
bool FitPowers(const double* x, const double* y, int32_t N, uint8_t nOrder, double XShift,
               double XScale, double YShift, std::vector<double>& Sol, double& FitQual,
               bool& NearSingular) {
  const size_t q = static_cast<size_t>(nOrder) + 1;
  TRowReduction red(q);
  std::vector<double> row(q);
  for (int32_t r = 0; r < N; ++r) {
    if ((r & (kAbortPollRows - 1)) == kAbortPollRows - 1 && AbortRequested()) return false;
    const double u = (x[r] - XShift) / XScale;
    const double v = y[r] - YShift;
    double pw = u;
    for (size_t i = 0; i < nOrder; ++i) {
      row[i] = pw;
      pw *= u;
    }
    row[nOrder] = 1.0;
    if (!std::isfinite(v) || (nOrder > 0 && !std::isfinite(row[nOrder - 1]))) return false;
    red.AddRow(row.data(), v);
  }
  if (!red.Solve(Sol, NearSingular)) return false;
  TFitQualSums fq;
  for (int32_t r = 0; r < N; ++r) {
    const double u = (x[r] - XShift) / XScale;
    double f = 0.0;
    for (size_t i = nOrder; i-- > 0;) f = (f + Sol[i]) * u;
    fq.Add(f + Sol[nOrder], y[r] - YShift);
  }
  FitQual = fq.Value(N);
  return true;
}

// Means of x and y over the N pairs; raises for fewer than Needed pairs.
void MeansOfPairs(const char* Name, const TMatrix& Data, int32_t N, int32_t Needed, double& mx,
                  double& my) {
  if (N < Needed) RaiseFunctionError<ENUVMath2Error>(Name, "not enough data points");
  double var;
  Data.MeanVar(1, 1, 1, N, mx, var);
  Data.MeanVar(2, 1, 2, N, my, var);
}

}  // namespace

void TCurveFit::CalcLinFit(double& k, double& d, double& FitQual) const {
  k = d = FitQual = 0.0;
  const int32_t N = FNumData;
  double mx, my;
  MeansOfPairs("CalcLinFit", *FData, N, 2, mx, my);
  const double* x = ColX();
  const double* y = ColY();
  double Sx = 0, Sy = 0, Sxx = 0, Syy = 0, Sxy = 0;
  for (int32_t i = 0; i < N; ++i) {
    const double xc = x[i] - mx, yc = y[i] - my;
    Sx += xc;
    Sy += yc;
    Sxx += xc * xc;
    Syy += yc * yc;
    Sxy += xc * yc;
  }
  const double n = N;
  const double den = n * Sxx - Sx * Sx;
  if (den == 0.0) return;
  k = (n * Sxy - Sx * Sy) / den;
  const double dc = (Sxx * Sy - Sx * Sxy) / den;
  d = dc - k * mx + my;
  const double syy = Syy - Sy * Sy / n;
  FitQual = syy == 0.0 ? 1.0 : (dc * Sy + k * Sxy - Sy * Sy / n) / syy;
}

void TCurveFit::CalcParabolFit(double& k0, double& k1, double& k2, double& FitQual) const {
  k0 = k1 = k2 = FitQual = 0.0;
  const int32_t N = FNumData;
  double mx, my;
  MeansOfPairs("CalcParabolFit", *FData, N, 3, mx, my);
  const double* x = ColX();
  const double* y = ColY();
  double Sx = 0, Sy = 0, Sxx = 0, Syy = 0, Sxy = 0, Sx2y = 0, Sx3 = 0, Sx4 = 0;
  for (int32_t i = 0; i < N; ++i) {
    const double xc = x[i] - mx, yc = y[i] - my, xq = xc * xc;
    Sx += xc;
    Sy += yc;
    Sxx += xq;
    Syy += yc * yc;
    Sxy += xc * yc;
    Sx2y += xq * yc;
    Sx3 += xq * xc;
    Sx4 += xq * xq;
  }
  const double n = N;
  const double c = n * Sxx - Sx * Sx;
  const double dd = n * Sx2y - Sxx * Sy;
  const double e = n * Sx3 - Sxx * Sx;
  const double f = n * Sxy - Sx * Sy;
  const double g = n * Sx4 - Sxx * Sxx;
  const double a2 = e * e == c * g ? 0.0 : (c * dd - e * f) / (c * g - e * e);
  const double a1 = c == 0.0 ? 0.0 : (f - e * a2) / c;
  const double a0 = (Sy - a1 * Sx - a2 * Sxx) / n;
  k2 = a2;
  k1 = a1 - 2 * a2 * mx;
  k0 = mx * mx * a2 + a0 - mx * a1 + my;
  const double syy = Syy - Sy * Sy / n;
  FitQual = syy == 0.0 ? 1.0 : (Sy * a0 + a1 * Sxy + a2 * Sx2y - Sy * Sy / n) / syy;
}

bool TCurveFit::CalcPolyFit(uint8_t nOrder, std::vector<double>& kArray, double& FitQual,
                            bool& NearSingular) const {
  ClearAbort();
  NearSingular = false;
  if (FNumData < 1) return false;
  std::vector<double> sol;
  double fq = 0.0;
  try {
    if (!FitPowers(ColX(), ColY(), FNumData, nOrder, 0.0, 1.0, 0.0, sol, fq, NearSingular))
      return false;
    if (kArray.size() < sol.size()) kArray.resize(sol.size());
  } catch (const std::bad_alloc&) {
    RaiseFunctionError<ENUVMath2Error>("CalcPolyFit", "not enough memory");
  }
  kArray[0] = sol[nOrder];
  for (size_t i = 1; i <= nOrder; ++i) kArray[i] = sol[i - 1];
  FitQual = fq;
  return true;
}

bool TCurveFit::CalcCenteredPolyFit(uint8_t nOrder, std::vector<double>& kArray, double& XShift,
                                    double& FitQual, bool& NearSingular) const {
  ClearAbort();
  NearSingular = false;
  const int32_t N = FNumData;
  if (N < 1) return false;
  double mx, varx, my, vary;
  FData->MeanVar(1, 1, 1, N, mx, varx);
  FData->MeanVar(2, 1, 2, N, my, vary);
  if (XShift == 0.0) XShift = mx;
  // The variance formula can round to a tiny negative value for constant x.
  const double s = varx > 0.0 && std::isfinite(varx) ? std::sqrt(varx) : 1.0;
  std::vector<double> sol;
  double fq = 0.0;
  try {
    if (!FitPowers(ColX(), ColY(), N, nOrder, XShift, s, my, sol, fq, NearSingular))
      return false;
    if (kArray.size() < sol.size()) kArray.resize(sol.size());
  } catch (const std::bad_alloc&) {
    RaiseFunctionError<ENUVMath2Error>("CalcCenteredPolyFit", "not enough memory");
  }
  kArray[0] = sol[nOrder] + my;
  double si = 1.0;
  for (size_t i = 1; i <= nOrder; ++i) {
    si *= s;
    kArray[i] = sol[i - 1] / si;
  }
  FitQual = fq;
  return true;
}

void TCurveFit::CalcCircleFit(double& r, double& dx, double& dy) const {
  r = dx = dy = 0.0;
  if (FNumData < 3) RaiseFunctionError<ENUVMath2Error>("CalcCircleFit", "not enough data points");
  const Extended n = FNumData;
  const Extended s = n * sumxy - sumx * sumy;
  const Extended b = (sumxq + sumyq) * sumy - n * (sumx2y + sumy3);
  const Extended t = sumy * sumy - n * sumyq;
  const Extended c = (sumxq + sumyq) * sumx - n * (sumxy2 + sumx3);
  const Extended m = sumx * sumx - n * sumxq;
  const Extended det = t * m - s * s;
  if (det == 0) RaiseFunctionError<ENUVMath2Error>("CalcCircleFit", "radius is infinite");
  const Extended cx = (s * b + t * c) / 2 / det;
  const Extended cy = (s * c + m * b) / 2 / det;
  dx = static_cast<double>(cx);
  dy = static_cast<double>(cy);
  r = static_cast<double>(
      std::sqrt((sumxq + sumyq - 2 * (sumx * cx + sumy * cy) + n * (cx * cx + cy * cy)) / n));
}

}  // namespace nuv
