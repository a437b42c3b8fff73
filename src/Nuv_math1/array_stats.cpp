#include "Nuv_math1/array_stats.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace nuv {

namespace {

bool IndexWithin(int32_t Ix, size_t Count) {
  return Ix >= 0 && static_cast<size_t>(Ix) < Count;
}

// Both corners within the rectangle and every row to be scanned long enough:
// rows are taken to have the length of row 0, and a shorter one must not be read past.
bool RectWithin(const TDouble2DArray& Data, int32_t LowIx1, int32_t LowIx2, int32_t HighIx1,
                int32_t HighIx2) {
  if (Data.empty()) return false;
  const size_t cols = Data[0].size();
  if (!IndexWithin(LowIx1, Data.size()) || !IndexWithin(HighIx1, Data.size()) ||
      !IndexWithin(LowIx2, cols) || !IndexWithin(HighIx2, cols)) {
    return false;
  }
  if (HighIx2 < LowIx2) return true;
  for (int64_t i = LowIx1; i <= HighIx1; ++i) {
    if (Data[static_cast<size_t>(i)].size() <= static_cast<size_t>(HighIx2)) return false;
  }
  return true;
}

// Strict comparisons keep the first element of the extreme value, so the
// result is the first index holding the extreme (== also matches -0 with +0).
// Finding the value with independent lanes and then its first index gives
// exactly the scan's answer, and the lanes vectorize.
constexpr int32_t kLanes = 8;

// First index of x in v[Low..High]; x must occur there.
int64_t FirstEqual(const double* v, int64_t Low, int64_t High, double x) {
  int64_t k = Low;
#if defined(__SSE2__)
  const __m128d want = _mm_set1_pd(x);
  for (; High - k + 1 >= kLanes; k += kLanes) {
    __m128d hit = _mm_cmpeq_pd(_mm_loadu_pd(v + k), want);
    for (int32_t j = 1; j < kLanes / 2; ++j) {
      hit = _mm_or_pd(hit, _mm_cmpeq_pd(_mm_loadu_pd(v + k + 2 * j), want));
    }
    if (_mm_movemask_pd(hit) != 0) break;
  }
#else
  for (; High - k + 1 >= kLanes; k += kLanes) {
    bool hit = false;
    for (int32_t j = 0; j < kLanes; ++j) hit |= v[k + j] == x;
    if (hit) break;
  }
#endif
  while (!(v[k] == x)) ++k;
  return k;
}

void ScanMinMax(const double* v, int64_t Low, int64_t High, double& Minimum, double& Maximum,
                int32_t& MinIx, int32_t& MaxIx, bool& MinHit, bool& MaxHit) {
  if (High < Low) return;
  int64_t i = Low;
  double lmn[kLanes];
  double lmx[kLanes];
#if defined(__SSE2__)
  // minpd/maxpd keep the accumulator for a NaN element, like the scalar test.
  __m128d amn[kLanes / 2];
  __m128d amx[kLanes / 2];
  for (int32_t j = 0; j < kLanes / 2; ++j) {
    amn[j] = _mm_set1_pd(Minimum);
    amx[j] = _mm_set1_pd(Maximum);
  }
  for (; High - i + 1 >= kLanes; i += kLanes) {
    for (int32_t j = 0; j < kLanes / 2; ++j) {
      const __m128d x = _mm_loadu_pd(v + i + 2 * j);
      amn[j] = _mm_min_pd(x, amn[j]);
      amx[j] = _mm_max_pd(x, amx[j]);
    }
  }
  for (int32_t j = 0; j < kLanes / 2; ++j) {
    _mm_storeu_pd(lmn + 2 * j, amn[j]);
    _mm_storeu_pd(lmx + 2 * j, amx[j]);
  }
#else
  for (int32_t j = 0; j < kLanes; ++j) {
    lmn[j] = Minimum;
    lmx[j] = Maximum;
  }
  for (; High - i + 1 >= kLanes; i += kLanes) {
    for (int32_t j = 0; j < kLanes; ++j) {
      const double x = v[i + j];
      lmn[j] = x < lmn[j] ? x : lmn[j];
      lmx[j] = x > lmx[j] ? x : lmx[j];
    }
  }
#endif
  double mn = Minimum;
  double mx = Maximum;
  for (; i <= High; ++i) {
    mn = v[i] < mn ? v[i] : mn;
    mx = v[i] > mx ? v[i] : mx;
  }
  for (int32_t j = 0; j < kLanes; ++j) {
    mn = lmn[j] < mn ? lmn[j] : mn;
    mx = lmx[j] > mx ? lmx[j] : mx;
  }
  if (mn < Minimum) {
    const int64_t k = FirstEqual(v, Low, High, mn);
    Minimum = v[k];
    MinIx = static_cast<int32_t>(k);
    MinHit = true;
  }
  if (mx > Maximum) {
    const int64_t k = FirstEqual(v, Low, High, mx);
    Maximum = v[k];
    MaxIx = static_cast<int32_t>(k);
    MaxHit = true;
  }
}

void AddSums(const double* v, int64_t Low, int64_t High, double& Sum, double& SumSq) {
  double s = Sum;
  double q = SumSq;
  for (int64_t i = Low; i <= High; ++i) {
    s += v[i];
    q += v[i] * v[i];
  }
  Sum = s;
  SumSq = q;
}

void FinishMeanVar(double Sum, double SumSq, double n, double& Mean, double& Variance) {
  if (n <= 0) {
    Mean = 0.0;
    Variance = 1.0;
    return;
  }
  Mean = Sum / n;
  if (n <= 2) {
    Variance = 1.0;
    return;
  }
  const double var = (SumSq - Sum * Sum / n) / (n - 1);
  Variance = var < 0 ? 0.0 : var;
}

}  // namespace

int32_t MinMaxOfArray(const TDoubleArray& Data, int32_t LowIx, int32_t HighIx, double& Minimum,
                      double& Maximum, int32_t& MinIx, int32_t& MaxIx) {
  Minimum = uc_MaxDouble;
  Maximum = -uc_MaxDouble;
  MinIx = 0;
  MaxIx = 0;
  if (!IndexWithin(LowIx, Data.size()) || !IndexWithin(HighIx, Data.size())) return -1;
  bool minHit = false;
  bool maxHit = false;
  ScanMinMax(Data.data(), LowIx, HighIx, Minimum, Maximum, MinIx, MaxIx, minHit, maxHit);
  return 0;
}

int32_t MinMaxOfArray(const TDouble2DArray& Data, int32_t LowIx1, int32_t LowIx2, int32_t HighIx1,
                      int32_t HighIx2, double& Minimum, double& Maximum, int32_t& MinIx1,
                      int32_t& MinIx2, int32_t& MaxIx1, int32_t& MaxIx2) {
  Minimum = uc_MaxDouble;
  Maximum = -uc_MaxDouble;
  MinIx1 = 0;
  MinIx2 = 0;
  MaxIx1 = 0;
  MaxIx2 = 0;
  if (!RectWithin(Data, LowIx1, LowIx2, HighIx1, HighIx2)) return -1;
  for (int64_t i = LowIx1; i <= HighIx1; ++i) {
    // Strict comparisons across rows keep the first occurrence in scan order.
    bool minHit = false;
    bool maxHit = false;
    ScanMinMax(Data[static_cast<size_t>(i)].data(), LowIx2, HighIx2, Minimum, Maximum, MinIx2,
               MaxIx2, minHit, maxHit);
    if (minHit) MinIx1 = static_cast<int32_t>(i);
    if (maxHit) MaxIx1 = static_cast<int32_t>(i);
  }
  return 0;
}

int32_t MeanVarOfArray(const TDoubleArray& Data, int32_t LowIx, int32_t HighIx, double& Mean,
                       double& Variance) {
  Mean = 0.0;
  Variance = 0.0;
  if (!IndexWithin(LowIx, Data.size()) || !IndexWithin(HighIx, Data.size())) return -1;
  double sum = 0.0;
  double sumSq = 0.0;
  AddSums(Data.data(), LowIx, HighIx, sum, sumSq);
  const double n = HighIx < LowIx ? 0.0 : static_cast<double>(HighIx) - LowIx + 1;
  FinishMeanVar(sum, sumSq, n, Mean, Variance);
  return 0;
}

int32_t MeanVarOfArray(const TDouble2DArray& Data, int32_t LowIx1, int32_t LowIx2, int32_t HighIx1,
                       int32_t HighIx2, double& Mean, double& Variance) {
  Mean = 0.0;
  Variance = 0.0;
  if (!RectWithin(Data, LowIx1, LowIx2, HighIx1, HighIx2)) return -1;
  double sum = 0.0;
  double sumSq = 0.0;
  for (int64_t i = LowIx1; i <= HighIx1; ++i) {
    AddSums(Data[static_cast<size_t>(i)].data(), LowIx2, HighIx2, sum, sumSq);
  }
  // Two reversed ranges scan nothing: their product must not count as values.
  double n = 0.0;
  if (HighIx1 >= LowIx1 && HighIx2 >= LowIx2) {
    n = (static_cast<double>(HighIx1) - LowIx1 + 1) * (static_cast<double>(HighIx2) - LowIx2 + 1);
  }
  FinishMeanVar(sum, sumSq, n, Mean, Variance);
  return 0;
}

}  // namespace nuv
