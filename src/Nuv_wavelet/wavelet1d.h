// TWavelet1D: one signal (a power of two) held in extended precision, transformed in place
// by the discrete wavelet transform with an orthonormal Daubechies filter pair.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/frame.h"

namespace nuv {

/// How a step extends the signal before its start: periodically, with zeros, or mirrored
/// about the first sample.
enum TWLSigExtMode : uint8_t { wseWrap, wseZeroPad, wseSymmetric };
enum TWaveletFamily : uint8_t { wlfDaubechies };

/// A signal of Size values (1-based access, 256 zeros after creation) and the Daubechies
/// filters of Order 1, 2 or 3 (2, 4 or 6 taps; 2 after creation). A forward step over the
/// first len values leaves the approximation in the first half and the details in the
/// second; Transform repeats it on the approximations, InverseTransform undoes steps
/// starting at the coarsest level (see there). All arithmetic is in extended precision.
class NUV_API TWavelet1D : public TComponent {
 public:
  /// wlfDaubechies, Size 256, wseWrap, Order 2, data 0. Raises ENUVWaveletError
  /// "Component \"<Name>\": not enough memory on heap".
  explicit TWavelet1D(TComponent* AOwner = nullptr);
  ~TWavelet1D() override;

  int32_t Size() const { return FNumData; }
  /// Makes the signal n zeros. Raises ENUVWaveletError (component form) "data length must
  /// be power of 2" for n that is not 1, 2, 4, ..., and "not enough memory on heap"; the
  /// signal is then unchanged.
  void SetNumData(int32_t n);
  int32_t Order() const { return FOrder; }
  /// Builds both filters of order n. Raises ENUVWaveletError (component form) "invalid
  /// order of Daubechies wavelet family" for n outside 1..3, leaving the order as it was.
  void SetOrder(int32_t n);
  TWLSigExtMode SignalExtMode() const { return FWLSigExtMode; }
  void SetSigExtMode(TWLSigExtMode m) { FWLSigExtMode = m; }
  TWaveletFamily WaveletFamily() const { return FWaveletFam; }
  void SetWaveletFam(TWaveletFamily f) { FWaveletFam = f; }

  /// Value ix (1..Size) as a double; 0 outside.
  double GetDataVal(int32_t ix) const { return static_cast<double>(GetDataValExt(ix)); }
  /// Stores inside 1..Size, ignored outside.
  void SetDataVal(int32_t ix, double v) { SetDataValExt(ix, v); }
  /// The same in full extended precision.
  Extended GetDataValExt(int32_t ix) const {
    return ix >= 1 && ix <= FNumData ? FData[static_cast<size_t>(ix - 1)] : 0.0L;
  }
  void SetDataValExt(int32_t ix, Extended v) {
    if (ix >= 1 && ix <= FNumData) FData[static_cast<size_t>(ix - 1)] = v;
  }
  /// The low-pass (scaling) and high-pass (wavelet) filters, 2 Order taps each:
  /// HP[k] = (-1)^k LP[2 Order - 1 - k].
  const std::vector<Extended>& CoeffsLP() const { return FCoeffsLP; }
  const std::vector<Extended>& CoeffsHP() const { return FCoeffsHP; }
  /// All values 0.
  void Clear();

  /// Up to Level forward steps (Level <= 0 counts as 1) over the first len values,
  /// len = Size, Size/2, ... while len > 1. Raises "not enough memory on heap" when the
  /// work array of a first transform cannot be had.
  void Transform(int32_t Level);
  /// Up to Level inverse steps over the first len values, len = 2, 4, ... while
  /// len <= Size: the inverse always starts at the coarsest level. It undoes
  /// Transform(Level) when Level covers all log2(Size) levels; after a full transform,
  /// InverseTransform(k) reconstructs the coarsest k levels, leaving what
  /// Transform(log2(Size) - k) would have given. To undo a partial Transform(k), call
  /// PartialWLT(len, 0, true) for len = Size / 2^(k-1), ..., Size/2, Size.
  void InverseTransform(int32_t Level);
  /// One step over the whole signal: PartialWLT(Size, 0, inverse).
  void SingleStep(bool inverse);
  /// One step over the Len values from the 0-based position Offs. With h = Len div 2 and
  /// L = 2 Order, tap m (1..L) of output l (1..h) reads position t = 2l - L + m - 1:
  /// wseWrap takes t modulo Len (bitwise and with Len - 1), wseZeroPad drops a negative t,
  /// wseSymmetric mirrors it about the first value (-t - 1, again about the last value if
  /// that lies beyond it). The forward step puts the approximations first and the details
  /// second; the inverse step is its transpose, which undoes it exactly for wseWrap (zero
  /// padding loses the last 2 Order - 2 values, mirroring also the first ones).
  /// Nothing happens for Len <= 1 or when the values lie not wholly inside the signal.
  void PartialWLT(int32_t Len, int32_t Offs, bool Inverse);

 private:
  void DoWLT(int32_t Level, bool Inverse);
  /// The work array of a step of Len values; raises "not enough memory on heap".
  Extended* Scratch(size_t Len);
  [[noreturn]] void RaiseNoHeap() const;

  int32_t FNumData = 256;
  std::vector<Extended> FData;
  int32_t FOrder = 2;
  std::vector<Extended> FCoeffsLP, FCoeffsHP;
  TWLSigExtMode FWLSigExtMode = wseWrap;
  TWaveletFamily FWaveletFam = wlfDaubechies;
  /// Work array of the steps, kept while the size stays.
  std::vector<Extended> FScratch;
};

}  // namespace nuv
