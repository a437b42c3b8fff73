#include "Nuv_math2/filter_cheb.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "Nuv_math2/smooth_window.h"

namespace nuv {

namespace {

constexpr double kPi = 3.14159265358979323846264338328;
/// Length of the cascade arrays; room for 20 poles and the two leading places.
constexpr int kCascade = 23;

[[noreturn]] void RaiseDesign(const char* Text) {
  RaiseFunctionError<ENUVMath2Error>("CalcChebFilterCoeffs", Text);
}

struct TBiquad {
  double a0, a1, a2, b1, b2;
};

/// One pole pair p (1-based) of the prototype, warped to the ripple's ellipse and mapped
/// to a z-plane section at the cutoff.
TBiquad PolePairSection(int32_t p, int32_t NPoles, bool HighPass, double CutOff, double Ripple) {
  const double angle = kPi / (2.0 * NPoles) + (p - 1) * kPi / NPoles;
  double rp = -std::cos(angle), ip = std::sin(angle);
  if (Ripple != 0) {
    const double ratio = 100.0 / (100.0 - Ripple);
    const double es = std::sqrt(ratio * ratio - 1);
    const double vx = std::log(1 / es + std::sqrt(1 / (es * es) + 1)) / NPoles;
    double kx = std::log(1 / es + std::sqrt(1 / (es * es) - 1)) / NPoles;
    kx = std::cosh(kx);
    rp = rp * std::sinh(vx) / kx;
    ip = ip * std::cosh(vx) / kx;
  }
  const double t = 2 * std::tan(0.5), w = 2 * kPi * CutOff;
  const double mm = rp * rp + ip * ip;
  double d = 4 - 4 * rp * t + mm * t * t;
  const double x0 = t * t / d, x1 = 2 * t * t / d, x2 = t * t / d;
  const double y1 = (8 - 2 * mm * t * t) / d, y2 = (-4 - 4 * rp * t - mm * t * t) / d;
  const double k = HighPass ? -std::cos(w / 2 + 0.5) / std::cos(w / 2 - 0.5)
                            : std::sin(0.5 - w / 2) / std::sin(0.5 + w / 2);
  d = 1 + y1 * k - y2 * k * k;
  TBiquad s;
  s.a0 = (x0 - x1 * k + x2 * k * k) / d;
  s.a1 = (-2 * x0 * k + x1 + x1 * k * k - 2 * x2 * k) / d;
  s.a2 = (x0 * k * k - x1 * k + x2) / d;
  s.b1 = (2 * k + y1 + y1 * k * k - 2 * y2 * k) / d;
  s.b2 = (-k * k - y1 * k + y2) / d;
  if (HighPass) {
    s.a1 = -s.a1;
    s.b1 = -s.b1;
  }
  return s;
}

}  // namespace

void CalcChebFilterCoeffs(int32_t NPoles, bool HighPass, double CutOff, double Ripple, double& A0,
                          TMatrix* Coeffs) {
  if (NPoles % 2 != 0) RaiseDesign("NPoles must be even");
  if (NPoles < 2 || NPoles > 20) RaiseDesign("number of poles out of range");
  if (!(Ripple >= 0 && Ripple <= 29)) RaiseDesign("invalid Ripple value");
  if (!(CutOff >= 0 && CutOff <= 0.5)) RaiseDesign("invalid cutoff frequency");
  if (Coeffs == nullptr) RaiseDesign("Coeffs is undefined");

  // Cascade the sections: the polynomials of the numerator (A) and denominator (B) are
  // multiplied by each section's quadratic, starting at index 2.
  double a[kCascade] = {}, b[kCascade] = {};
  a[2] = b[2] = 1;
  for (int32_t p = 1; p <= NPoles / 2; ++p) {
    const TBiquad s = PolePairSection(p, NPoles, HighPass, CutOff, Ripple);
    double ta[kCascade], tb[kCascade];
    std::copy(a, a + kCascade, ta);
    std::copy(b, b + kCascade, tb);
    for (int i = 2; i < kCascade; ++i) {
      a[i] = s.a0 * ta[i] + s.a1 * ta[i - 1] + s.a2 * ta[i - 2];
      b[i] = tb[i] - s.b1 * tb[i - 1] - s.b2 * tb[i - 2];
    }
  }
  b[2] = 0;
  for (int i = 0; i <= 20; ++i) {
    a[i] = a[i + 2];
    b[i] = -b[i + 2];
  }
  // Unit gain at zero frequency (low pass) or at the Nyquist frequency (high pass).
  double sa = 0, sb = 0;
  for (int i = 0; i <= 20; ++i) {
    const double sign = HighPass && i % 2 == 1 ? -1.0 : 1.0;
    sa += a[i] * sign;
    sb += b[i] * sign;
  }
  const double gain = sa / (1 - sb);
  for (int i = 0; i <= 20; ++i) a[i] /= gain;

  A0 = a[0];
  Coeffs->Resize(2, NPoles);
  // A change handler fired by the resizing may have resized the matrix again.
  const int32_t rows = std::min(NPoles, Coeffs->NrOfRows());
  if (Coeffs->NrOfColumns() >= 2) {
    for (int32_t r = 1; r <= rows; ++r) {
      Coeffs->ColData(1)[r - 1] = a[r];
      Coeffs->ColData(2)[r - 1] = b[r];
    }
  }
  Coeffs->Changed();
}

namespace {

constexpr size_t kBlock = detail::kWindowBlock;

/// Out[j] = A0 In[j] + sum over i = 1..np of a_i In[j - Dir i], j = 0..Count - 1: the
/// feed-forward part of a pass, one contiguous sweep per coefficient.
template <int Dir>
void FeedForward(const double* In, double* Out, size_t Count, double A0,
                 const std::vector<double>& a) {
  for (size_t j = 0; j < Count; ++j) Out[j] = A0 * In[j];
  for (size_t i = 1; i <= a.size(); ++i) {
    const double ai = a[i - 1];
    const double* xi = In - Dir * static_cast<std::ptrdiff_t>(i);
    for (size_t j = 0; j < Count; ++j) Out[j] += ai * xi[j];
  }
}

/// Y[p] += sum over i of b_i Y[p - Dir i], p running in the direction Dir over Count places
/// from Start. The term of the latest output is added last, so the sums over older outputs
/// overlap with the recursion; with the order NP fixed at compile time the latest outputs
/// stay in registers instead of making a round trip through memory per step.
template <int Dir, int NP>
void FeedBackFixed(double* Start, size_t Count, const double* b) {
  double bb[NP], w[NP];  // w[i] = the output i + 1 places back
  for (int i = 0; i < NP; ++i) {
    bb[i] = b[i];
    w[i] = Start[-Dir * (i + 1)];
  }
  double* y = Start;
  for (size_t c = 0; c < Count; ++c, y += Dir) {
    double acc = *y;
    for (int i = NP - 1; i >= 1; --i) acc += bb[i] * w[i];
    const double next = acc + bb[0] * w[0];
    for (int i = NP - 1; i >= 1; --i) w[i] = w[i - 1];
    w[0] = next;
    *y = next;
  }
}

/// The same for any order, with the outputs read back from memory.
template <int Dir>
void FeedBackAny(double* Start, size_t Count, const double* b, size_t np) {
  const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(np);
  double* y = Start;
  for (size_t c = 0; c < Count; ++c, y += Dir) {
    double acc = *y;
    for (std::ptrdiff_t i = n; i >= 2; --i) acc += b[i - 1] * y[-Dir * i];
    *y = acc + b[0] * y[-Dir];
  }
}

constexpr size_t kMaxFixedOrder = 20;

template <int Dir, size_t... NP>
constexpr std::array<void (*)(double*, size_t, const double*), sizeof...(NP)> FixedTable(
    std::index_sequence<NP...>) {
  return {&FeedBackFixed<Dir, static_cast<int>(NP + 1)>...};
}

template <int Dir>
void FeedBack(double* Start, size_t Count, const std::vector<double>& b) {
  static constexpr auto fixed = FixedTable<Dir>(std::make_index_sequence<kMaxFixedOrder>());
  if (b.empty()) return;
  if (b.size() <= kMaxFixedOrder)
    fixed[b.size() - 1](Start, Count, b.data());
  else
    FeedBackAny<Dir>(Start, Count, b.data(), b.size());
}

}  // namespace

void ChebychevFilter(const TVector* SourceVec, int32_t LowElem, int32_t HighElem, TVector* DestVec,
                     double A0, const TMatrix* Coeffs) {
  auto raise = [](const char* Text) {
    RaiseFunctionError<ENUVMath2Error>("ChebychevFilter", Text);
  };
  if (SourceVec == nullptr || DestVec == nullptr || Coeffs == nullptr)
    raise("SourceVec, DestVec and/or Coeffs is undefined");
  detail::ClipSignalRange(LowElem, HighElem, SourceVec->NrOfElem());
  const int32_t npi = Coeffs->NrOfRows();
  const size_t np = static_cast<size_t>(npi);
  std::vector<double> a, b;
  if (!TryAllocate(a, np) || !TryAllocate(b, np)) raise("not enough memory");
  for (int32_t i = 1; i <= npi; ++i) {
    a[static_cast<size_t>(i - 1)] = Coeffs->GetVal(1, i);
    b[static_cast<size_t>(i - 1)] = Coeffs->GetVal(2, i);
  }

  // One working array of the L samples with np zeros on either side, so that no term of
  // either pass needs a bounds test: sample k (1..L) sits at np + k - 1. The forward pass
  // leaves y there, the backward pass overwrites it with z block by block from the end,
  // keeping the np values of y above the current block aside for its feed-forward terms.
  const size_t off = np + 1;
  const uint64_t total64 = static_cast<uint64_t>(HighElem) + 4 * static_cast<uint64_t>(np) + 2;
  if (total64 > SIZE_MAX / sizeof(double)) raise("not enough memory");
  const size_t len = static_cast<size_t>(HighElem) + 2 * off;
  std::vector<double> work, block, carry;
  if (!TryAllocate(work, len + 2 * np) || !TryAllocate(block, kBlock + np) ||
      !TryAllocate(carry, np))
    raise("not enough memory");
  double* y = work.data() + np - 1;  // y[k], k = 1..L
  const double* src = SourceVec->Data();
  const int64_t nSrc = SourceVec->NrOfElem();

  for (size_t k0 = 1; k0 <= len; k0 += kBlock) {
    // Inputs x[k - off] for k = k0 - np .. k0 + m - 1, zero outside the source.
    const size_t m = std::min(kBlock, len - k0 + 1);
    const int64_t first = static_cast<int64_t>(k0) - static_cast<int64_t>(np + off);
    for (size_t t = 0; t < np + m; ++t) {
      const int64_t e = first + static_cast<int64_t>(t);
      block[t] = e >= 1 && e <= nSrc ? src[e - 1] : 0.0;
    }
    FeedForward<1>(block.data() + np, y + k0, m, A0, a);
    FeedBack<1>(y + k0, m, b);
  }
  // Only z[k] for k >= LowElem + off is read, so the backward pass stops there.
  const size_t stop = static_cast<size_t>(LowElem) + off;
  for (size_t k1 = len; k1 >= stop;) {
    const size_t k0 = k1 - stop + 1 > kBlock ? k1 - kBlock + 1 : stop;
    const size_t m = k1 - k0 + 1;
    std::copy(y + k0, y + k1 + 1, block.begin());
    std::copy(carry.begin(), carry.end(), block.begin() + static_cast<std::ptrdiff_t>(m));
    std::copy(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(np), carry.begin());
    FeedForward<-1>(block.data(), y + k0, m, A0, a);
    FeedBack<-1>(y + k1, m, b);
    k1 = k0 - 1;
  }

  const int32_t last = std::min(HighElem, DestVec->NrOfElem());
  double* dest = DestVec->Data();
  for (int32_t e = LowElem; e <= last; ++e) dest[e - 1] = y[static_cast<size_t>(e) + off];
  DestVec->SetIsEmpty(false);
  DestVec->Changed();
}

}  // namespace nuv
