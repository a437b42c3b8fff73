// TWavelet1D: the signal, its size and the Daubechies filters.
#include "Nuv_wavelet/wavelet1d.h"

#include <algorithm>
#include <cmath>

namespace nuv {

namespace {

bool IsPowerOfTwo(int32_t n) { return n >= 1 && (n & (n - 1)) == 0; }

/// The orthonormal Daubechies scaling filter of the given order (2 order taps, summing to
/// sqrt 2, their squares to 1), from its closed form in extended precision.
std::vector<Extended> DaubechiesLowPass(int32_t Order) {
  const Extended r2 = std::sqrt(2.0L);
  switch (Order) {
    case 1:
      return {1 / r2, 1 / r2};
    case 2: {
      const Extended r3 = std::sqrt(3.0L), d = 4 * r2;
      return {(1 + r3) / d, (3 + r3) / d, (3 - r3) / d, (1 - r3) / d};
    }
    default: {
      const Extended r10 = std::sqrt(10.0L), s = std::sqrt(5 + 2 * r10), d = 16 * r2;
      return {(1 + r10 + s) / d,          (5 + r10 + 3 * s) / d, (10 - 2 * r10 + 2 * s) / d,
              (10 - 2 * r10 - 2 * s) / d, (5 + r10 - 3 * s) / d, (1 + r10 - s) / d};
    }
  }
}

}  // namespace

TWavelet1D::TWavelet1D(TComponent* AOwner) : TComponent(AOwner) {
  if (!TryAllocate(FData, static_cast<size_t>(FNumData))) RaiseNoHeap();
  SetOrder(2);
}

TWavelet1D::~TWavelet1D() = default;

void TWavelet1D::RaiseNoHeap() const {
  RaiseComponentError<ENUVWaveletError>(this, "not enough memory on heap");
}

void TWavelet1D::SetNumData(int32_t n) {
  if (!IsPowerOfTwo(n))
    RaiseComponentError<ENUVWaveletError>(this, "data length must be power of 2");
  std::vector<Extended> data;
  if (!TryAllocate(data, static_cast<size_t>(n))) RaiseNoHeap();
  FData.swap(data);
  FNumData = n;
  std::vector<Extended>().swap(FScratch);
}

void TWavelet1D::SetOrder(int32_t n) {
  if (n < 1 || n > 3)
    RaiseComponentError<ENUVWaveletError>(this, "invalid order of Daubechies wavelet family");
  std::vector<Extended> lp = DaubechiesLowPass(n), hp(lp.size());
  // Quadrature mirror: HP[k] = (-1)^k LP[L - 1 - k].
  for (size_t k = 0; k < lp.size(); ++k) hp[k] = (k % 2 == 0 ? 1 : -1) * lp[lp.size() - 1 - k];
  FCoeffsLP.swap(lp);
  FCoeffsHP.swap(hp);
  FOrder = n;
}

void TWavelet1D::Clear() { std::fill(FData.begin(), FData.end(), 0.0L); }

Extended* TWavelet1D::Scratch(size_t Len) {
  // Always the signal's size, so that a whole-signal step can swap it with the data.
  if (FScratch.size() < Len && !TryAllocate(FScratch, static_cast<size_t>(FNumData))) RaiseNoHeap();
  return FScratch.data();
}

}  // namespace nuv
