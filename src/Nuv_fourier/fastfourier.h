// TFastFourier: one block of complex samples (a power of two), weighted by a window,
// transformed in place forward and back, and the spectra derived from the result.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/frame.h"

namespace nuv {

namespace detail {
class TFftPlan;
}

/// Weighting windows applied by TFastFourier::Transform.
enum TFastFourierWgtWin : uint8_t {
  fwRectangle,
  fwTriangle,
  fwCos2,
  fwGauss,
  fwHamming,
  fwBlackman,
  fwBlkmHarris,
  fwBlkmNuttall,
  fwUserDef
};

/// N complex samples held interleaved (a power of two, 256 after creation). Two index
/// conventions: the samples RealSpec, ImagSpec and WgtFunction are addressed 1..N (index
/// ix is sample, or after a transform spectral line, ix - 1), the spectra PowerSpec,
/// Magnitude, Phase and the Fourier-series coefficients by the line number 0..N/2. After a
/// forward transform line k and line N - k mirror each other (k = 1..N/2 - 1); line 0 is the
/// constant term and line N/2 the Nyquist line, each counted once. Reads outside the
/// ranges give 0 and writes there are ignored. The extremes (PowerMax ... ImagMin) are
/// cached until a sample is written, the block is cleared or resized, or a transform runs.
class NUV_API TFastFourier : public TComponent {
 public:
  /// N = 256, all samples 0, every user weight 1, window fwRectangle. Raises
  /// ENUVFourierError "Component \"<Name>\": not enough memory on heap".
  explicit TFastFourier(TComponent* AOwner = nullptr);
  ~TFastFourier() override;

  int32_t SpectrumSize() const { return FNumData; }
  /// Makes the block n zero samples with n user weights of 0 (also for the current n).
  /// Raises ENUVFourierError (component form) "data length must be power of 2" for n that
  /// is not 1, 2, 4, ..., and "not enough memory on heap"; the block is then unchanged.
  void SetNumData(int32_t n);
  TFastFourierWgtWin WeightingWindow() const { return FWgtWin; }
  void SetWgtWin(TFastFourierWgtWin w) { FWgtWin = w; }

  double GetRealVal(int32_t ix) const { return InRange(ix) ? FData[2 * Pos(ix)] : 0.0; }
  double GetImagVal(int32_t ix) const { return InRange(ix) ? FData[2 * Pos(ix) + 1] : 0.0; }
  /// Stores inside 1..N and invalidates the cached extremes.
  void SetRealVal(int32_t ix, double v) {
    if (!InRange(ix)) return;
    FData[2 * Pos(ix)] = v;
    MaxValuesValid = false;
  }
  void SetImagVal(int32_t ix, double v) {
    if (!InRange(ix)) return;
    FData[2 * Pos(ix) + 1] = v;
    MaxValuesValid = false;
  }
  /// The user-defined window (fwUserDef), 1..N.
  double GetWgtVal(int32_t ix) const { return InRange(ix) ? FUserWgt[Pos(ix)] : 0.0; }
  void SetWgtVal(int32_t ix, double v) {
    if (InRange(ix)) FUserWgt[Pos(ix)] = v;
  }

  /// Set both parts, the real parts or the imaginary parts of all samples to 0.
  void Clear();
  void ClearReal();
  void ClearImag();

  /// Multiplies every sample (both parts) by the window's weight, then transforms forward:
  /// X[n] = sum over k of x[k] exp(+2 pi i k n / N). The window weights the held samples,
  /// so a second Transform weights them again. Raises "not enough memory on heap" when
  /// the transform's tables cannot be allocated (first transform after a resize).
  void Transform();
  /// x[k] = (1 / N) sum over n of X[n] exp(-2 pi i k n / N); no window.
  void InverseTransform();

  /// ix / SampleTime / N for 1 <= ix <= N/2, else 0.
  double FreqOfLine(int32_t ix, double SampleTime) const;
  /// N f SampleTime rounded to the nearest integer (ties to even) if that lies in 1..N/2,
  /// else 0.
  int32_t LineOfFreq(double f, double SampleTime) const;
  /// sqrt(sum of the squared magnitudes of lines FirstIx..LastIx, each line k of 1..N/2 - 1
  /// with its mirror N - k) / N; both indices clipped to 0..N/2 and ordered. Over 0..N/2
  /// this is the RMS of the samples before the transform (Parseval).
  double RMS(int32_t FirstIx, int32_t LastIx) const;

  /// (|X[0]|^2) / N, (|X[ix]|^2 + |X[N - ix]|^2) / N, (|X[N/2]|^2) / N; 0..N/2.
  double GetPowerSpec(int32_t ix) const;
  /// |X[0]| / N, |X[ix] + conj X[N - ix]| / N, |X[N/2]| / N; 0..N/2.
  double GetMagnitude(int32_t ix) const;
  /// arctan(im / re) of line ix (1..N/2) in radians; -pi/2 (im <= 0) or +pi/2 (im > 0)
  /// when re = 0.
  double GetPhase(int32_t ix) const;
  /// Sine coefficient (im(n) - im(N - n)) / N for 1 <= n < N/2; 0 at n = 0 and N/2.
  double GetFSerSin(int32_t n) const;
  /// Cosine coefficient re(0) / N, (re(n) + re(N - n)) / N, re(N/2) / N; 0..N/2.
  double GetFSerCos(int32_t n) const;

  /// Largest power over lines 1..N/2 - 1 (the Nyquist line is not included); 0 if none.
  double GetMaxPower() const;
  /// Largest magnitude over lines 1..N/2; 0 if none.
  double GetMaxMagni() const;
  /// Extremes of the real and imaginary parts over all N samples (NaN is never taken).
  double GetMaxReal() const;
  double GetMaxImag() const;
  double GetMinReal() const;
  double GetMinImag() const;

 private:
  bool InRange(int32_t ix) const { return ix >= 1 && ix <= FNumData; }
  static size_t Pos(int32_t ix) { return static_cast<size_t>(ix - 1); }
  /// |X[k]|^2 (+ |X[N - k]|^2 below the Nyquist line) for line k of 0..N/2.
  double LinePower(int32_t k) const;
  void CalcMaxValues() const;
  void ApplyWindow();
  /// Builds the transform's tables for the current size unless they exist.
  void PreparePlan();
  [[noreturn]] void RaiseNoHeap() const;

  int32_t FNumData = 256;
  TFastFourierWgtWin FWgtWin = fwRectangle;
  mutable bool MaxValuesValid = false;
  mutable double FMaxReal = 0, FMaxImag = 0, FMinReal = 0, FMinImag = 0, FMaxPower = 0,
                 FMaxMagni = 0;
  std::vector<double> FUserWgt;
  std::vector<double> FData;
  /// Tables and work arrays of the transform, built at the first transform of a size.
  std::unique_ptr<detail::TFftPlan> FPlan;
  /// Weights of the last window applied, kept while the size and the window stay.
  std::vector<double> FWinWeights;
  TFastFourierWgtWin FWinWeightsOf = fwRectangle;
};

}  // namespace nuv
