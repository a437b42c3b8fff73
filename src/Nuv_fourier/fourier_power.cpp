// TFastFourier: spectra, RMS, line and frequency conversions and the cached extremes.
// Line N/2 is its own mirror (N - N/2 = N/2), so it is counted once, as line 0 is.
#include <algorithm>
#include <cmath>

#include "Nuv_fourier/fastfourier.h"

namespace nuv {

double TFastFourier::LinePower(int32_t k) const {
  const double* d = FData.data();
  const size_t p = static_cast<size_t>(k);
  double s = d[2 * p] * d[2 * p] + d[2 * p + 1] * d[2 * p + 1];
  if (k != 0 && 2 * k != FNumData) {
    const size_t q = static_cast<size_t>(FNumData - k);
    s += d[2 * q] * d[2 * q] + d[2 * q + 1] * d[2 * q + 1];
  }
  return s;
}

double TFastFourier::GetPowerSpec(int32_t ix) const {
  if (ix < 0 || ix > FNumData / 2) return 0.0;
  return LinePower(ix) / FNumData;
}

double TFastFourier::GetMagnitude(int32_t ix) const {
  if (ix < 0 || ix > FNumData / 2) return 0.0;
  const double* d = FData.data();
  const size_t p = static_cast<size_t>(ix);
  double re = d[2 * p], im = d[2 * p + 1];
  if (ix != 0 && 2 * ix != FNumData) {
    const size_t q = static_cast<size_t>(FNumData - ix);
    re += d[2 * q];
    im -= d[2 * q + 1];
  }
  return std::sqrt(re * re + im * im) / FNumData;
}

double TFastFourier::GetPhase(int32_t ix) const {
  if (ix < 1 || ix > FNumData / 2) return 0.0;
  const double re = FData[2 * static_cast<size_t>(ix)];
  const double im = FData[2 * static_cast<size_t>(ix) + 1];
  if (re != 0) return std::atan(im / re);
  return im <= 0 ? -1.5707963267948966 : 1.5707963267948966;
}

double TFastFourier::GetFSerSin(int32_t n) const {
  if (n < 1 || 2 * n >= FNumData) return 0.0;
  return (FData[2 * static_cast<size_t>(n) + 1] -
          FData[2 * static_cast<size_t>(FNumData - n) + 1]) /
         FNumData;
}

double TFastFourier::GetFSerCos(int32_t n) const {
  if (n < 0 || n > FNumData / 2) return 0.0;
  double re = FData[2 * static_cast<size_t>(n)];
  if (n != 0 && 2 * n != FNumData) re += FData[2 * static_cast<size_t>(FNumData - n)];
  return re / FNumData;
}

double TFastFourier::RMS(int32_t FirstIx, int32_t LastIx) const {
  const int32_t top = FNumData / 2;
  FirstIx = std::clamp(FirstIx, 0, top);
  LastIx = std::clamp(LastIx, 0, top);
  if (LastIx < FirstIx) std::swap(FirstIx, LastIx);
  double sum = 0;
  for (int32_t k = FirstIx; k <= LastIx; ++k) sum += LinePower(k);
  return std::sqrt(sum) / FNumData;
}

double TFastFourier::FreqOfLine(int32_t ix, double SampleTime) const {
  if (ix < 1 || ix > FNumData / 2) return 0.0;
  return ix / SampleTime / FNumData;
}

int32_t TFastFourier::LineOfFreq(double f, double SampleTime) const {
  const double line = std::nearbyint(FNumData * f * SampleTime);
  return line >= 1 && line <= FNumData / 2 ? static_cast<int32_t>(line) : 0;
}

void TFastFourier::CalcMaxValues() const {
  // The first sample that is not NaN is always taken, so that infinities are reported
  // truly; the start values remain only when every part is NaN.
  double extreme[4] = {-uc_MaxDouble, -uc_MaxDouble, uc_MaxDouble, uc_MaxDouble};
  bool seen[2] = {false, false};
  const double* d = FData.data();
  for (size_t k = 0; k < static_cast<size_t>(FNumData); ++k) {
    for (int part = 0; part < 2; ++part) {
      const double v = d[2 * k + static_cast<size_t>(part)];
      if (std::isnan(v)) continue;
      double& hi = extreme[part];
      double& lo = extreme[2 + part];
      if (!seen[part]) {
        hi = lo = v;
        seen[part] = true;
      } else if (v > hi) {
        hi = v;
      } else if (v < lo) {
        lo = v;
      }
    }
  }
  FMaxReal = extreme[0];
  FMaxImag = extreme[1];
  FMinReal = extreme[2];
  FMinImag = extreme[3];
  FMaxPower = 0;
  FMaxMagni = 0;
  for (int32_t k = 1; k <= FNumData / 2; ++k) {
    if (2 * k != FNumData) FMaxPower = std::max(FMaxPower, LinePower(k) / FNumData);
    FMaxMagni = std::max(FMaxMagni, GetMagnitude(k));
  }
  MaxValuesValid = true;
}

#define NUV_CACHED_EXTREME(Getter, Field) \
  double TFastFourier::Getter() const {   \
    if (!MaxValuesValid) CalcMaxValues(); \
    return Field;                         \
  }
NUV_CACHED_EXTREME(GetMaxPower, FMaxPower)
NUV_CACHED_EXTREME(GetMaxMagni, FMaxMagni)
NUV_CACHED_EXTREME(GetMaxReal, FMaxReal)
NUV_CACHED_EXTREME(GetMaxImag, FMaxImag)
NUV_CACHED_EXTREME(GetMinReal, FMinReal)
NUV_CACHED_EXTREME(GetMinImag, FMinImag)
#undef NUV_CACHED_EXTREME

}  // namespace nuv
