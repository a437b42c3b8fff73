// Internal: the loops of the fast Fourier transform, compiled once for the baseline
// instruction set of the target and, on x86, once more for AVX2; the widest set the CPU
// runs is chosen on first use. Both compute the same sums in the same order (no fused
// multiply-add), so results do not depend on the CPU.
#pragma once

#include <cstddef>

namespace nuv::detail {

/// The tables of one transform length N = 2^Log2.
struct TFftTables {
  size_t N;
  int Log2;
  /// Twiddle factors of the radix-4 passes with h = 4, 16, ... (4h <= N), pass p at
  /// PassTwiddle[p]: 6h values, the real and imaginary parts of w^k, w^2k and w^3k for
  /// k < h, w = exp(2 pi i / (4h)), each block of h contiguous.
  const double* const* PassTwiddle;
  /// For odd Log2 the closing radix-2 pass: the real and imaginary parts of
  /// exp(2 pi i k / N), k < N/2 (N/2 values each).
  const double* HalfTwiddle;
};

/// Transforms the N interleaved complex samples of Data in place with exp(Sign 2 pi i k n / N)
/// and multiplies every result by Scale; Re and Im are work arrays of N values.
using TFftRunFn = void (*)(const TFftTables& T, double* Data, double* Re, double* Im, int Sign,
                           double Scale);

struct TFftKernels {
  const char* Name;
  TFftRunFn Run;
};

/// The kernels for the widest instruction set this CPU runs, chosen on first use.
const TFftKernels& FftKernels();

const TFftKernels& FftKernelsBaseline();
/// Null where the build cannot emit AVX2.
const TFftKernels* FftKernelsAvx2();

}  // namespace nuv::detail
