// The plan of a transform: tables and work arrays, built once per length.
#include "Nuv_fourier/fft_engine.h"

#include <cmath>
#include <new>

#include "Nuv_fourier/fft_kernels.h"
#include "foundation/memory.h"

namespace nuv::detail {

namespace {

/// cos and sin of 2 pi j / M for j = 0 .. M/8, in long double, so that every other
/// root of unity follows by symmetry, rounded to double only at the end: each factor is
/// within about half an ulp, and the factors of one pass are exactly symmetric.
class TUnitRoots {
 public:
  explicit TUnitRoots(size_t M) : FM(M) {
    const size_t eighth = M / 8;
    FCos.resize(eighth + 1);
    FSin.resize(eighth + 1);
    const long double step = 6.283185307179586476925286766559005768L / static_cast<long double>(M);
    for (size_t j = 0; j <= eighth; ++j) {
      FCos[j] = std::cos(step * static_cast<long double>(j));
      FSin[j] = std::sin(step * static_cast<long double>(j));
    }
  }
  /// exp(2 pi i j / M), 0 <= j < M, for M a multiple of 8.
  void Get(size_t j, double& c, double& s) const {
    const size_t m = FM;
    long double cr, sr;
    // Reduce into [0, M/2] (sin odd), [0, M/4] (cos odd about M/4), [0, M/8] (swap).
    const bool lowerHalf = j <= m / 2;
    size_t r = lowerHalf ? j : m - j;
    const bool firstQuarter = r <= m / 4;
    if (!firstQuarter) r = m / 2 - r;
    if (r <= m / 8) {
      cr = FCos[r];
      sr = FSin[r];
    } else {
      cr = FSin[m / 4 - r];
      sr = FCos[m / 4 - r];
    }
    if (!firstQuarter) cr = -cr;
    if (!lowerHalf) sr = -sr;
    c = static_cast<double>(cr);
    s = static_cast<double>(sr);
  }

 private:
  size_t FM;
  std::vector<long double> FCos, FSin;
};

}  // namespace

bool TFftPlan::Build(int32_t N) {
  FN = 0;
  int log2 = 0;
  while ((int64_t{1} << log2) < N) ++log2;
  const size_t n = static_cast<size_t>(N);
  // Radix-4 passes cover each half for an odd power of two (m = N/2), all of it otherwise.
  const size_t m = log2 % 2 == 1 ? n / 2 : n;
  size_t total = 0;
  for (size_t h = 4; 4 * h <= m; h *= 4) total += 6 * h;
  std::vector<double> twiddle, half, re, im;
  std::vector<const double*> pass;
  if (!TryAllocate(twiddle, total) || !TryAllocate(half, m < n ? n : 0) || !TryAllocate(re, n) ||
      !TryAllocate(im, n))
    return false;
  try {
    // Every factor is a root of unity of order N (N >= 8 whenever one is needed).
    const TUnitRoots roots(n >= 8 ? n : 8);
    const size_t order = n >= 8 ? n : 8;
    double* tw = twiddle.data();
    for (size_t h = 4; 4 * h <= m; h *= 4) {
      pass.push_back(tw);
      // w = exp(2 pi i / (4h)) = the root of order N to the power N / (4h).
      const size_t stride = order / (4 * h);
      for (size_t q = 1; q <= 3; ++q)
        for (size_t k = 0; k < h; ++k)
          roots.Get((q * k * stride) % order, tw[(2 * q - 2) * h + k], tw[(2 * q - 1) * h + k]);
      tw += 6 * h;
    }
    for (size_t k = 0; k < half.size() / 2; ++k) roots.Get(k * (order / n), half[k], half[m + k]);
  } catch (const std::bad_alloc&) {
    return false;
  }
  FTwiddle.swap(twiddle);
  FHalfTwiddle.swap(half);
  FPassTwiddle.swap(pass);
  FRe.swap(re);
  FIm.swap(im);
  FN = n;
  FLog2 = log2;
  return true;
}

void TFftPlan::Execute(double* Data, int Sign, double Scale) {
  const TFftTables tables = {FN, FLog2, FPassTwiddle.data(), FHalfTwiddle.data()};
  FftKernels().Run(tables, Data, FRe.data(), FIm.data(), Sign, Scale);
}

}  // namespace nuv::detail
