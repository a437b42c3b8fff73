#include "Nuv_math2/filter_kernel.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "Nuv_math2/smooth_window.h"

namespace nuv {

namespace {

constexpr double kTwoPi = 6.283185307179586476925286766559;

[[noreturn]] void Raise(const char* Func, const char* Text) {
  RaiseFunctionError<ENUVMath2Error>(Func, Text);
}

/// Sizes the kernel; NumElem < 1 gives an empty one.
void SizeKernel(const char* Func, int32_t NumElem, TDoubleArray& K) {
  if (!TryAllocate(K, NumElem < 1 ? 0 : static_cast<size_t>(NumElem)))
    Raise(Func, "not enough memory");
}

void SincLowPass(double CutOff, int32_t WinType, TDoubleArray& K) {
  if (CutOff < 0) CutOff = 0;
  if (CutOff > 0.5) CutOff = 0.5;
  const int32_t n = static_cast<int32_t>(K.size());
  const int32_t m = n / 2 + 1;
  const double wc = kTwoPi * CutOff;
  const double span = n + 1.0;
  double sum = 0;
  for (int32_t j = 1; j <= n; ++j) {
    const double d = j - m;
    double k = j == m ? wc : std::sin(wc * d) / d;
    const double phase = kTwoPi * j / span;
    if (WinType == 1) k *= 0.54 - 0.46 * std::cos(phase);
    if (WinType == 2) k *= 0.42 - 0.5 * std::cos(phase) + 0.08 * std::cos(2 * phase);
    K[static_cast<size_t>(j - 1)] = k;
    sum += k;
  }
  if (sum != 0)
    for (double& k : K) k /= sum;
}

/// Negates every element and adds 1 to the centre.
void SpectralInversion(TDoubleArray& K) {
  if (K.empty()) return;
  for (double& k : K) k = -k;
  K[K.size() / 2] += 1;
}

void SincBandStop(const char* Func, double FreqLow, double FreqHigh, int32_t WinType,
                  TDoubleArray& K) {
  const double lo = std::min(FreqLow, FreqHigh), hi = std::max(FreqLow, FreqHigh);
  TDoubleArray high;
  SizeKernel(Func, static_cast<int32_t>(K.size()), high);
  SincLowPass(lo, WinType, K);
  SincLowPass(hi, WinType, high);
  SpectralInversion(high);
  for (size_t j = 0; j < K.size(); ++j) K[j] += high[j];
}

/// Computes into a work array, then resizes the vector and copies it in.
template <class Design>
void DesignIntoVector(const char* Func, int32_t NumElem, TVector* Kernel, Design design) {
  if (Kernel == nullptr) Raise(Func, "Kernel is undefined");
  if (NumElem < 1) return;
  TDoubleArray k;
  SizeKernel(Func, NumElem, k);
  design(k);
  Kernel->Resize(NumElem);
  std::copy(k.begin(), k.end(), Kernel->Data());
  Kernel->SetIsEmpty(false);
  Kernel->Changed();
}

}  // namespace

void CalcSincLPKernel(int32_t NumElem, double CutOff, int32_t WinType, TDoubleArray& Kernel) {
  SizeKernel("CalcSincLPKernel", NumElem, Kernel);
  SincLowPass(CutOff, WinType, Kernel);
}

void CalcSincLPKernel(int32_t NumElem, double CutOff, int32_t WinType, TVector* Kernel) {
  DesignIntoVector("CalcSincLPKernel", NumElem, Kernel,
                   [&](TDoubleArray& k) { SincLowPass(CutOff, WinType, k); });
}

void CalcSincHPKernel(int32_t NumElem, double CutOff, int32_t WinType, TDoubleArray& Kernel) {
  SizeKernel("CalcSincHPKernel", NumElem, Kernel);
  SincLowPass(CutOff, WinType, Kernel);
  SpectralInversion(Kernel);
}

void CalcSincHPKernel(int32_t NumElem, double CutOff, int32_t WinType, TVector* Kernel) {
  DesignIntoVector("CalcSincHPKernel", NumElem, Kernel, [&](TDoubleArray& k) {
    SincLowPass(CutOff, WinType, k);
    SpectralInversion(k);
  });
}

void CalcSincBSKernel(int32_t NumElem, double FreqLow, double FreqHigh, int32_t WinType,
                      TDoubleArray& Kernel) {
  SizeKernel("CalcSincBSKernel", NumElem, Kernel);
  SincBandStop("CalcSincBSKernel", FreqLow, FreqHigh, WinType, Kernel);
}

void CalcSincBSKernel(int32_t NumElem, double FreqLow, double FreqHigh, int32_t WinType,
                      TVector* Kernel) {
  DesignIntoVector("CalcSincBSKernel", NumElem, Kernel, [&](TDoubleArray& k) {
    SincBandStop("CalcSincBSKernel", FreqLow, FreqHigh, WinType, k);
  });
}

void CalcSincBPKernel(int32_t NumElem, double FreqLow, double FreqHigh, int32_t WinType,
                      TDoubleArray& Kernel) {
  SizeKernel("CalcSincBPKernel", NumElem, Kernel);
  SincBandStop("CalcSincBPKernel", FreqLow, FreqHigh, WinType, Kernel);
  SpectralInversion(Kernel);
}

void CalcSincBPKernel(int32_t NumElem, double FreqLow, double FreqHigh, int32_t WinType,
                      TVector* Kernel) {
  DesignIntoVector("CalcSincBPKernel", NumElem, Kernel, [&](TDoubleArray& k) {
    SincBandStop("CalcSincBPKernel", FreqLow, FreqHigh, WinType, k);
    SpectralInversion(k);
  });
}

void MovingKernelFilter(const TVector* SourceVec, int32_t LowElem, int32_t HighElem,
                        TVector* DestVec, const TVector* FilterKernel) {
  const char* func = "MovingKernelfilter";
  if (SourceVec == nullptr || DestVec == nullptr || FilterKernel == nullptr)
    Raise(func, "SourceVec, DestVec and/or FilterKernel is undefined");
  detail::ClipSignalRange(LowElem, HighElem, SourceVec->NrOfElem());
  const int32_t kLen = FilterKernel->NrOfElem();
  if (HighElem - LowElem < kLen)
    Raise(func, "specified range for smoothing is smaller than the length of the kernel");

  // The range with its ends repeated K div 2 places to the left and the rest to the right,
  // so that every output is a plain window sum; copied before DestVec changes, which may
  // be the source or the kernel.
  const size_t n = static_cast<size_t>(HighElem - LowElem) + 1;
  const size_t k = static_cast<size_t>(kLen), left = k / 2;
  std::vector<double> padded, weights, out;
  if (!TryAllocate(padded, n + k - 1) || !TryAllocate(out, n) || !TryAllocate(weights, k))
    Raise(func, "not enough memory");
  std::copy(FilterKernel->Data(), FilterKernel->Data() + k, weights.begin());
  const double* x = SourceVec->Data() + (LowElem - 1);
  std::fill(padded.begin(), padded.begin() + static_cast<std::ptrdiff_t>(left), x[0]);
  std::copy(x, x + n, padded.begin() + static_cast<std::ptrdiff_t>(left));
  std::fill(padded.begin() + static_cast<std::ptrdiff_t>(left + n), padded.end(), x[n - 1]);
  detail::WindowSum(padded.data(), n, weights, 1.0, out.data());

  DestVec->Resize(SourceVec->NrOfElem());
  // A change handler fired by the resizing may have resized the vector again.
  const size_t stored = std::min(n, static_cast<size_t>(DestVec->NrOfElem()));
  std::copy(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(stored), DestVec->Data());
  DestVec->SetIsEmpty(false);
  DestVec->Changed();
}

}  // namespace nuv
