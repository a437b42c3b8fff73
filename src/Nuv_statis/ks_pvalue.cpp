#include "Nuv_statis/ks_pvalue.h"

#include <cmath>

#include "Nuv_matrix/Nuv_matrix.h"

namespace nuv {

namespace {

constexpr double kScale = 1e140;
constexpr int32_t kScaleExp = 140;
// Beyond this n·d the exact method would multiply matrices larger than 1001 x 1001.
constexpr double kExactLimit = 500;

double Asymptotic(int32_t n, double s) {
  const double rn = n;
  const double p = 2 * std::exp(-(2.000071 + 0.331 / std::sqrt(rn) + 1.409 / rn) * s);
  return p > 1 ? 1.0 : p;
}

// Keeps the middle entry of a power below 1e140 by moving decades into the exponent.
void Rescale(TMatrix& M, int32_t& Exp) {
  const int32_t mid = M.NrOfColumns() / 2;
  if (mid >= 1 && M.GetVal(mid, mid) > kScale) {
    M.SMult(1.0 / kScale);
    Exp += kScaleExp;
  }
}

// Result := A^n by recursive halving, with its decimal exponent.
void MatrixPower(TMatrix& A, int32_t n, TMatrix& Result, int32_t& Exp) {
  if (n == 1) {
    Result.Assign(&A);
    Exp = 0;
    return;
  }
  TMatrix half, square;
  int32_t halfExp = 0;
  MatrixPower(A, n / 2, half, halfExp);
  half.Multiply(&half, &square);
  Exp = 2 * halfExp;
  if (n % 2 == 0) {
    Result.Assign(&square);
  } else {
    A.Multiply(&square, &Result);
  }
  Rescale(Result, Exp);
}

}  // namespace

double KSPValue(int32_t n, double d) {
  if (n < 1) return -1.0;
  if (std::isnan(d)) return d;
  if (d <= 0) return 1.0;
  if (d >= 1) return 0.0;
  const double nd = n * d;
  const double s = nd * d;
  if (s > 7.24 || (s > 3.76 && n >= 100) || nd > kExactLimit) return Asymptotic(n, s);

  const int32_t k = static_cast<int32_t>(nd) + 1;
  const int32_t m = 2 * k - 1;
  const double h = k - nd;
  // H(i, j) is row i, column j: element (j, i) of the column-first matrix.
  TMatrix H;
  H.Resize(m, m);
  for (int32_t i = 1; i <= m; ++i)
    for (int32_t j = 1; j <= m && j <= i + 1; ++j) H.SetVal(j, i, 1.0);
  for (int32_t i = 1; i <= m; ++i) {
    H.SetVal(1, i, H.GetVal(1, i) - std::pow(h, i));
    H.SetVal(i, m, H.GetVal(i, m) - std::pow(h, m - i + 1));
  }
  if (2 * h - 1 > 0) H.SetVal(1, m, H.GetVal(1, m) + std::pow(2 * h - 1, m));
  for (int32_t i = 1; i <= m; ++i) {
    double fact = 1;
    for (int32_t j = i; j >= 1; --j) {  // i - j + 1 runs 1, 2, ..., i
      fact *= i - j + 1;
      H.SetVal(j, i, H.GetVal(j, i) / fact);
    }
  }

  TMatrix P;
  int32_t e = 0;
  MatrixPower(H, n, P, e);
  double t = P.GetVal(k, k);
  for (int32_t i = 1; i <= n; ++i) {
    t = t * i / n;
    if (t < 1.0 / kScale) {
      t *= kScale;
      e -= kScaleExp;
    }
  }
  t *= std::pow(10.0, e);
  const double p = 1 - t;
  return p < 0 ? 0.0 : (p > 1 ? 1.0 : p);
}

double KSQuantile(int32_t n, TSignifLevel level) {
  if (n < 1 || level > Dot01) return -1.0;
  const double alpha = SignifLevelAlpha[level];
  double d = KolmogSmir1SampleTestStat(n, level);
  for (int iter = 0; iter < 1000; ++iter) {
    const double delta = KSPValue(n, d) - alpha;
    if (std::fabs(delta) <= 1e-4) break;
    d *= 1 + delta;
  }
  return d;
}

}  // namespace nuv
