#include "Nuv_statis/randgen.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "Nuv_math1/scalar_bounds.h"
#include "Nuv_statis/chi2_distribution.h"
#include "Nuv_statis/f_distribution.h"
#include "Nuv_statis/t_distribution.h"
#include "Nuv_statis/weibull_hypergeometric.h"
#include "foundation/exceptions.h"
#include "foundation/memory.h"
#include "foundation/messages.h"
#include "foundation/random.h"

namespace nuv {

TRandGen::TRandGen(TComponent* AOwner) : TComponent(AOwner) {
  if (!TryAllocate(FDistVec, static_cast<size_t>(FResolution), 1.0)) {
    RaiseComponentError<ENUVStatisError>(this, "not enough memory on heap");
  }
}

TRandGen::~TRandGen() = default;

void TRandGen::SetResolution(int32_t Count) {
  const int32_t n = std::clamp(Count, MinResolution, MaxResolution);
  if (!TryAllocate(FDistVec, static_cast<size_t>(n), 1.0)) {
    RaiseComponentError<ENUVStatisError>(this, "not enough memory");
  }
  FResolution = n;
}

void TRandGen::SetProbability(int32_t Idx, double Value) {
  if (Idx < 1 || Idx > FResolution) return;
  // A NaN would poison Normalize and Standardize; it carries no probability.
  FDistVec[static_cast<size_t>(Idx - 1)] = std::isnan(Value) ? 0.0 : std::clamp(Value, 0.0, 1.0);
}

double TRandGen::GetLambda(int32_t ix) const {
  if (ix <= 0) return FLowBorder;
  if (ix > FResolution) return FHighBorder;
  return FLowBorder + (ix - 1) * (FHighBorder - FLowBorder) / FResolution;
}

int32_t TRandGen::IndexOfLambda(double Lambda) const {
  if (Lambda < FLowBorder) return 0;
  if (Lambda > FHighBorder) return FResolution + 1;
  // Inside the borders the quotient cannot pass Resolution but for rounding; the
  // clamp only keeps the + 1 from overflowing on degenerate borders.
  const int32_t k = IntNeg((Lambda - FLowBorder) * FResolution / (FHighBorder - FLowBorder));
  return std::clamp(k, 0, FResolution) + 1;
}

template <class F>
void TRandGen::FillFrom(F Value) {
  const double width = FHighBorder - FLowBorder;
  for (int32_t i = 1; i <= FResolution; ++i) {
    FDistVec[static_cast<size_t>(i - 1)] = Value(FLowBorder + (i - 1) * width / FResolution);
  }
}

void TRandGen::UniformDistri() { std::fill(FDistVec.begin(), FDistVec.end(), 1.0); }

void TRandGen::NormalDistri(double m, double s) {
  FillFrom([m, s](double x) {
    const double d = x - m;
    // d = 0 with s = 0 is the peak, not 0/0.
    return d == 0.0 ? 1.0 : std::exp(-0.5 * d * d / (s * s));
  });
}

void TRandGen::WeibullDistri(double beta, double eta) {
  FillFrom([beta, eta](double x) { return WeibullDensity(x, beta, eta); });
}

void TRandGen::tDistri(int32_t df) {
  FillFrom([df](double x) { return tDistriDensity(x, df); });
}

void TRandGen::Chi2Distri(int32_t df) {
  const double width = (FHighBorder - FLowBorder) / FResolution;
  FillFrom([df, width](double x) {
    if (x < 0.0) return 0.0;
    const double d = Chi2DistriDensity(x, df);
    if (!std::isinf(d)) return d;
    // The pole of one degree of freedom at 0: an infinite entry would turn
    // Normalize and Standardize into NaN and leave nothing to draw from.
    return width > 0.0 ? chi2DistriIntegral(x + width, df) / width : DBL_MAX;
  });
}

void TRandGen::FDistri(int32_t df1, int32_t df2) {
  FillFrom([df1, df2](double x) { return x <= 0.0 ? 0.0 : FDistriDensity(x, df1, df2); });
}

void TRandGen::Normalize() {
  const auto [lo, hi] = std::minmax_element(FDistVec.begin(), FDistVec.end());
  const double mn = *lo;
  const double range = *hi - mn;
  if (range == 0.0) return;
  for (double& v : FDistVec) v = (v - mn) / range;
}

bool TRandGen::Standardize() {
  const double mx = *std::max_element(FDistVec.begin(), FDistVec.end());
  if (mx == 0.0) return false;
  for (double& v : FDistVec) v /= mx;
  return true;
}

double TRandGen::GetRandNum() {
  const double* p = FDistVec.data();
  const int32_t n = FResolution;
  int32_t k = 1;
  double r = 0.0;
  for (int32_t attempt = 0; attempt < MaxAttempts; ++attempt) {
    k = nuv::Random(n) + 1;
    r = nuv::Random();
    const double pk = p[k - 1];
    const double b = k < n ? pk + (p[k] - pk) * r : pk * (1.0 - r);
    if (b >= 1.0 || nuv::Random() < b) break;
  }
  return FLowBorder + (k - 1 + r) * (FHighBorder - FLowBorder) / n;
}

}  // namespace nuv
