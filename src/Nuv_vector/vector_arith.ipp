// Element-wise arithmetic, correlation, distances, searching and reordering
// of the vector classes. Included by vector_instantiate.cpp only.
#include <algorithm>
#include <cmath>

#include "Nuv_vector/vector_core.h"

namespace nuv {

namespace detail {

// Integer products and sums are formed in 32-bit arithmetic and wrap like it,
// computed on unsigned values so that the wrap is defined behaviour.
inline int32_t WrapMul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
inline int32_t WrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t WrapSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline double WrapMul(double a, double b) { return a * b; }
inline double WrapAdd(double a, double b) { return a + b; }
inline double WrapSub(double a, double b) { return a - b; }

}  // namespace detail

template <class T>
void TVectorCore<T>::CheckSameSize(const TVectorCore* OtherVec) const {
  if (OtherVec->FNElem != FNElem)
    RaiseComponentError<ENUVVectorError>(this, "vectors have different dimensions");
}

template <class T>
void TVectorCore<T>::Add(const VectorType* OtherVec) {
  if (OtherVec == nullptr) return;
  CheckSameSize(OtherVec);
  T* a = FVec.data();
  const T* b = OtherVec->FVec.data();
  const size_t n = FVec.size();
  for (size_t i = 0; i < n; ++i) a[i] = detail::WrapAdd(a[i], b[i]);
  Changed();
}

template <class T>
void TVectorCore<T>::Subtract(const VectorType* OtherVec) {
  if (OtherVec == nullptr) return;
  CheckSameSize(OtherVec);
  T* a = FVec.data();
  const T* b = OtherVec->FVec.data();
  const size_t n = FVec.size();
  for (size_t i = 0; i < n; ++i) a[i] = detail::WrapSub(a[i], b[i]);
  Changed();
}

template <class T>
void TVectorCore<T>::SMult(T Scalar) {
  T* a = FVec.data();
  const size_t n = FVec.size();
  for (size_t i = 0; i < n; ++i) a[i] = detail::WrapMul(a[i], Scalar);
  Changed();
}

template <class T>
T TVectorCore<T>::DotProduct(const VectorType* OtherVec) const {
  if (OtherVec == nullptr) return T(0);
  CheckSameSize(OtherVec);
  const T* a = FVec.data();
  const T* b = OtherVec->FVec.data();
  const size_t n = FVec.size();
  T sum = T(0);
  for (size_t i = 0; i < n; ++i) sum = detail::WrapAdd(sum, detail::WrapMul(a[i], b[i]));
  return sum;
}

template <class T>
T TVectorCore<T>::Correlate(const VectorType* OtherVec, int32_t ElemShift) const {
  if (OtherVec == nullptr) return T(0);
  // Only the indices i with 1 <= i + ElemShift <= other size contribute.
  const int64_t lo = std::max<int64_t>(1, 1 - static_cast<int64_t>(ElemShift));
  const int64_t hi = std::min<int64_t>(FNElem, static_cast<int64_t>(OtherVec->FNElem) - ElemShift);
  T sum = T(0);
  for (int64_t i = lo; i <= hi; ++i)
    sum = detail::WrapAdd(sum, detail::WrapMul(FVec[static_cast<size_t>(i - 1)],
                                               OtherVec->FVec[static_cast<size_t>(i + ElemShift - 1)]));
  return sum;
}

template <class T>
double TVectorCore<T>::PearsonCorrCoeff(const VectorType* OtherVec) const {
  if (OtherVec == nullptr) return 0.0;
  double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
  const int32_t n = FNElem;
  if (OtherVec->FNElem == n && n > 1) {
    const T* x = FVec.data();
    const T* y = OtherVec->FVec.data();
    for (int32_t i = 0; i < n; ++i) {
      sx += static_cast<double>(x[i]);
      sy += static_cast<double>(y[i]);
      // Squares and cross products of integers are 32-bit products.
      sxx += static_cast<double>(detail::WrapMul(x[i], x[i]));
      syy += static_cast<double>(detail::WrapMul(y[i], y[i]));
      sxy += static_cast<double>(detail::WrapMul(x[i], y[i]));
    }
  }
  if (!(sxx > 0) || !(syy > 0)) return 0.0;
  const double qx = sxx - sx * sx / n;
  const double qy = syy - sy * sy / n;
  if (qx == 0 || qy == 0) return 0.0;
  return (sxy - sx * sy / n) / std::sqrt(std::fabs(qx * qy));
}

template <class T>
double TVectorCore<T>::EuclideanDistance(const VectorType* OtherVec) const {
  if (OtherVec == nullptr || OtherVec->FNElem != FNElem)
    throw ENUVVectorError("EuclideanDistance: dimensions of vectors do not match");
  const T* a = FVec.data();
  const T* b = OtherVec->FVec.data();
  double sum = 0.0;
  for (int32_t i = 0; i < FNElem; ++i) {
    const double d = static_cast<double>(a[i]) - static_cast<double>(b[i]);
    sum += d * d;
  }
  return std::sqrt(sum);
}

template <class T>
int32_t TVectorCore<T>::Find(int32_t LowElem, int32_t HighElem, T Value) const {
  MakeValidElemRange(LowElem, HighElem);
  const T* p = FVec.data();
  int32_t best = 0;
  if constexpr (std::is_integral_v<T>) {
    // Absolute integer differences, widened so that they cannot overflow.
    int64_t bestDist = INT64_MAX;
    for (int32_t i = LowElem; i <= HighElem; ++i) {
      const int64_t d = std::llabs(static_cast<int64_t>(p[i - 1]) - Value);
      if (d < bestDist) {
        bestDist = d;
        best = i;
      }
    }
  } else {
    double bestDist = uc_MaxDouble;
    for (int32_t i = LowElem; i <= HighElem; ++i) {
      const double d = std::fabs(p[i - 1] - Value);
      if (d < bestDist) {
        bestDist = d;
        best = i;
      }
    }
  }
  return best;
}

template <class T>
int32_t TVectorCore<T>::FindInSortedVector(bool Ascending, T Value) const {
  const T* p = FVec.data();
  int32_t lo = 1, hi = FNElem;
  while (hi - lo > 1) {
    const int32_t mid = lo + (hi - lo) / 2;
    const T e = p[mid - 1];
    if (e == Value) return mid;
    if (Ascending == (Value >= e)) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  const double dLo = std::fabs(static_cast<double>(p[lo - 1]) - static_cast<double>(Value));
  const double dHi = std::fabs(static_cast<double>(p[hi - 1]) - static_cast<double>(Value));
  return dLo < dHi ? lo : hi;
}

template <class T>
void TVectorCore<T>::Mirror() {
  std::reverse(FVec.begin(), FVec.end());
  Changed();
}

template <class T>
void TVectorCore<T>::ShuffleElems() {
  Randomize();
  T* p = FVec.data();
  for (int32_t k = 0; k < FNElem; ++k) {
    const int32_t i = Random(FNElem);
    const int32_t j = Random(FNElem);
    std::swap(p[i], p[j]);
  }
}

}  // namespace nuv
