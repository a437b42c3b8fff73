// Internal: the fast Fourier transform behind TFastFourier. A plan holds, for one
// power-of-two length, the twiddle factors of every pass and the work arrays; executing
// it transforms interleaved complex samples in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace nuv::detail {

class TFftPlan {
 public:
  /// Prepares the plan for N complex samples (a power of two, N >= 1); false, with the
  /// plan empty, when its memory cannot be had.
  bool Build(int32_t N);
  int32_t Size() const { return static_cast<int32_t>(FN); }

  /// X[n] = Scale * sum over k of x[k] exp(Sign 2 pi i k n / N) for the N interleaved
  /// complex samples of Data (real part of sample k at 2k, imaginary part at 2k + 1),
  /// Sign = +1 or -1.
  void Execute(double* Data, int Sign, double Scale);

 private:
  size_t FN = 0;
  int FLog2 = 0;
  /// The tables of the radix-4 passes, one after the other, and of the radix-2 pass.
  std::vector<double> FTwiddle, FHalfTwiddle;
  std::vector<const double*> FPassTwiddle;
  /// The samples split into real and imaginary parts while they are transformed.
  std::vector<double> FRe, FIm;
};

}  // namespace nuv::detail
