// Descriptive statistics of the vector classes. Included by
// vector_instantiate.cpp only.
#include <algorithm>
#include <cmath>

#include "Nuv_math1/Nuv_math1.h"
#include "Nuv_vector/order_stats.h"
#include "Nuv_vector/vector_core.h"

namespace nuv {

template <class T>
void TVectorCore<T>::MinMax(int32_t LowElem, int32_t HighElem, T& Minimum, T& Maximum) const {
  int32_t minIx, maxIx;
  MinMax(LowElem, HighElem, Minimum, Maximum, minIx, maxIx);
}

template <class T>
void TVectorCore<T>::MinMax(int32_t LowElem, int32_t HighElem, T& Minimum, T& Maximum,
                            int32_t& MinIx, int32_t& MaxIx) const {
  if constexpr (std::is_integral_v<T>) {
    Minimum = 2147483647;
    Maximum = -2147483647;
  } else {
    Minimum = 1.7e308;
    Maximum = -1.7e308;
  }
  MinIx = 0;
  MaxIx = 0;
  MakeValidElemRange(LowElem, HighElem);
  const T* p = FVec.data();
  // The first comparable element is always taken, so that extremes beyond the
  // start values (-2147483648, |x| > 1.7e308, infinities) are reported truly;
  // NaN elements are never extremes.
  int32_t i = LowElem;
  if constexpr (!std::is_integral_v<T>) {
    while (i <= HighElem && std::isnan(p[i - 1])) ++i;
  }
  if (i > HighElem) return;
  T mn = p[i - 1], mx = p[i - 1];
  int32_t mnIx = i, mxIx = i;
  for (++i; i <= HighElem; ++i) {
    const T v = p[i - 1];
    if (v < mn) {
      mn = v;
      mnIx = i;
    }
    if (v > mx) {
      mx = v;
      mxIx = i;
    }
  }
  Minimum = mn;
  Maximum = mx;
  MinIx = mnIx;
  MaxIx = mxIx;
}

template <class T>
void TVectorCore<T>::MeanVar(int32_t LowElem, int32_t HighElem, double& Mean,
                             double& Variance) const {
  MakeValidElemRange(LowElem, HighElem);
  const T* p = FVec.data();
  double s = 0.0, s2 = 0.0;
  for (int32_t i = LowElem - 1; i < HighElem; ++i) {
    const double v = static_cast<double>(p[i]);
    s += v;
    s2 += v * v;
  }
  const int32_t n = HighElem - LowElem + 1;
  Mean = s / n;
  if (n <= 2) {
    Variance = 1.0;
    return;
  }
  Variance = (s2 - s * s / n) / (n - 1);
  if constexpr (!std::is_integral_v<T>) {
    // Rounding may leave a slightly negative variance; the integer vector keeps it.
    if (Variance < 0) Variance = 0;
  }
}

template <class T>
T TVectorCore<T>::Sum(int32_t LowElem, int32_t HighElem) const {
  MakeValidElemRange(LowElem, HighElem);
  const T* p = FVec.data();
  T s = T(0);
  for (int32_t i = LowElem - 1; i < HighElem; ++i) {
    if constexpr (std::is_integral_v<T>) {
      s = static_cast<T>(static_cast<uint32_t>(s) + static_cast<uint32_t>(p[i]));
    } else {
      s += p[i];
    }
  }
  return s;
}

template <class T>
double TVectorCore<T>::GeometricMean(int32_t LowElem, int32_t HighElem) const {
  MakeValidElemRange(LowElem, HighElem);
  const T* p = FVec.data();
  bool zero = false;
  double logSum = 0.0;
  for (int32_t i = LowElem - 1; i < HighElem; ++i) {
    const double v = static_cast<double>(p[i]);
    if (v < 0)
      RaiseComponentError<ENUVVectorError>(this, "negative argument passed to GeometricMean");
    if (v == 0) {
      zero = true;
    } else {
      logSum += std::log(v);
    }
  }
  if (zero) return 0.0;
  return std::exp(logSum / (HighElem - LowElem + 1));
}

template <class T>
double TVectorCore<T>::HarmonicMean(int32_t LowElem, int32_t HighElem) const {
  MakeValidElemRange(LowElem, HighElem);
  const T* p = FVec.data();
  double recSum = 0.0;
  for (int32_t i = LowElem - 1; i < HighElem; ++i) {
    const double v = static_cast<double>(p[i]);
    if (v <= 0)
      RaiseComponentError<ENUVVectorError>(this,
                                           "negative or zero argument passed to HarmonicMean");
    recSum += 1.0 / v;
  }
  return (HighElem - LowElem + 1) / recSum;
}

template <class T>
void TVectorCore<T>::SkewKurtIntern(int32_t LowElem, int32_t HighElem, double& Skewness,
                                    double& Kurtosis, int32_t& NumData) const {
  SkewKurtCore(LowElem, HighElem, Skewness, Kurtosis, NumData);
}

template <class T>
double TVectorCore<T>::SkewKurtCore(int32_t LowElem, int32_t HighElem, double& Skewness,
                                    double& Kurtosis, int32_t& NumData) const {
  Skewness = 0;
  Kurtosis = 0;
  MakeValidElemRange(LowElem, HighElem);
  const int32_t n = HighElem - LowElem + 1;
  NumData = n;
  if (n < 4) return 0.0;
  const T* p = FVec.data() + (LowElem - 1);
  double sum = 0;
  for (int32_t i = 0; i < n; ++i) sum += static_cast<double>(p[i]);
  const double m = sum / n;
  double s1 = 0, s2 = 0, s3 = 0, s4 = 0;
  for (int32_t i = 0; i < n; ++i) {
    const double c = static_cast<double>(p[i]) - m;
    const double c2 = c * c;
    s1 += c;
    s2 += c2;
    s3 += c2 * c;
    s4 += c2 * c2;
  }
  const double s = std::sqrt((s2 - s1 * s1 / n) / (n - 1));
  if (s != 0) {
    Skewness = s3 / n / (s * s * s);
    Kurtosis = s4 / n / (s * s * s * s) - 3;
  }
  return s;
}

template <class T>
void TVectorCore<T>::SkewKurt(int32_t LowElem, int32_t HighElem, double& Skewness,
                              double& Kurtosis) const {
  int32_t n;
  SkewKurtIntern(LowElem, HighElem, Skewness, Kurtosis, n);
}

template <class T>
void TVectorCore<T>::SkewKurtSample(int32_t LowElem, int32_t HighElem, double& Skewness,
                                    double& Kurtosis) const {
  double g1, g2;
  int32_t n = 0;
  const double s = SkewKurtCore(LowElem, HighElem, g1, g2, n);
  // Constant data have no shape: the sample correction of g2 = 0 would report 10.75
  // for five equal values, so both stay 0 as for too few values.
  if (n < 4 || s == 0) {
    Skewness = 0;
    Kurtosis = 0;
    return;
  }
  const double dn = n;
  Skewness = dn * dn * g1 / ((dn - 1) * (dn - 2));
  Kurtosis = (g2 + 3) * dn * dn * (dn + 1) / ((dn - 1) * (dn - 2) * (dn - 3)) -
             3 * (dn - 1) * (dn - 1) / ((dn - 2) * (dn - 3));
}

template <class T>
std::vector<T> TVectorCore<T>::RangeCopy(int32_t LowElem, int32_t HighElem) const {
  MakeValidElemRange(LowElem, HighElem);
  std::vector<T> copy;
  try {
    copy.assign(FVec.begin() + (LowElem - 1), FVec.begin() + HighElem);
  } catch (const std::bad_alloc&) {
    RaiseNoHeap();
  }
  return copy;
}

template <class T>
T TVectorCore<T>::Mode(int32_t LowElem, int32_t HighElem) const {
  std::vector<T> a = RangeCopy(LowElem, HighElem);
  SortArray(a, true);
  size_t modePos = 0;
  int32_t run = 0, best = 0;
  for (size_t i = 1; i < a.size(); ++i) {
    if (a[i] != a[i - 1]) {
      run = 0;
    } else if (++run > best) {
      best = run;
      modePos = i;
    }
  }
  return a[modePos];
}

template <class T>
bool TVectorCore<T>::Quartiles(int32_t LowElem, int32_t HighElem, double& Q1, double& Q2,
                               double& Q3) const {
  Q1 = Q2 = Q3 = 0;
  std::vector<T> a = RangeCopy(LowElem, HighElem);
  const int64_t n = static_cast<int64_t>(a.size());
  if (n <= 1) {
    Q1 = Q2 = Q3 = static_cast<double>(a[0]);
    return true;
  }
  // Interpolation positions (n + 1) p, 1-based; only these order statistics are selected.
  const double probs[3] = {0.25, 0.5, 0.75};
  detail::TOrderPos pos[3];
  for (int q = 0; q < 3; ++q) pos[q] = detail::QuartilePos(n, probs[q]);
  detail::SelectOrderPositions(a, pos, 3);
  double* out[3] = {&Q1, &Q2, &Q3};
  for (int q = 0; q < 3; ++q) *out[q] = detail::Interpolate(a, pos[q]);
  return true;
}

template <class T>
double TVectorCore<T>::Percentile(double Prob, int32_t LowElem, int32_t HighElem) const {
  if (!(Prob >= 0)) Prob = 0;
  if (Prob > 100) Prob = 100;
  std::vector<T> a = RangeCopy(LowElem, HighElem);
  const int64_t n = static_cast<int64_t>(a.size());
  if (n == 1) return static_cast<double>(a[0]);
  detail::TOrderPos pos = detail::PercentilePos(n, Prob);
  detail::SelectOrderPositions(a, &pos, 1);
  return detail::Interpolate(a, pos);
}

}  // namespace nuv
