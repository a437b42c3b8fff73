// The loops of the transform, included once per instruction set with NUV_FFT_NS naming
// the namespace they live in. Decimation in time on split real and imaginary arrays:
//  1. the samples are scattered into bit-reversed order while being split, tile by tile
//     through a small buffer, so that every cache line is read and written whole, and the
//     length-4 transforms of neighbouring quadruples (twiddles all 1) are done there;
//  2. radix-4 passes h = 4, 16, ... (the four transforms of length h in a group of 4h are
//     combined into one of length 4h); while a group fits a cache block the passes run
//     block by block, after that across the whole array;
//  3. for an odd power of two a radix-2 pass joins the two halves;
//  4. the last pass writes the result interleaved back into the samples, scaled.
// Every inner loop runs over contiguous elements through restrict-qualified parameters,
// so the compiler vectorises it for the instruction set of the translation unit.
// No include guard: a file may hold several instruction sets, each including this under
// its own NUV_FFT_NS (so the copies never merge at link time). Nothing here calls a
// template or inline function of the standard library, so no code of the wider
// instruction sets leaks into the others.

#include <cstddef>

#include "Nuv_fourier/fft_kernels.h"

#ifndef NUV_FFT_NS
#define NUV_FFT_NS generic
#endif

namespace nuv::detail::NUV_FFT_NS {
namespace {

/// Complex samples per cache block of the early passes (split arrays: 256 KiB).
constexpr size_t kCacheBlock = size_t{1} << 14;
/// Bits per side of a bit-reversal tile.
constexpr int kTileBits = 4;
constexpr size_t kTile = size_t{1} << kTileBits;

inline size_t ReverseBits(size_t x, int bits) {
  size_t r = 0;
  for (int b = 0; b < bits; ++b, x >>= 1) r = (r << 1) | (x & 1u);
  return r;
}

/// Length-4 transforms of neighbouring quadruples, which hold bit-reversed inputs 0, 2, 1,
/// 3: element k of quadruple q of (R, I) is at R[(4q + k) Stride + c], c < Stride, q < Count.
template <int S>
void Quads(double* __restrict R, double* __restrict I, size_t Stride, size_t Count) {
  for (size_t q = 0; q < Count; ++q) {
    double* r = R + 4 * q * Stride;
    double* i = I + 4 * q * Stride;
    for (size_t c = 0; c < Stride; ++c) {
      const double r0 = r[c], r1 = r[Stride + c], r2 = r[2 * Stride + c], r3 = r[3 * Stride + c];
      const double i0 = i[c], i1 = i[Stride + c], i2 = i[2 * Stride + c], i3 = i[3 * Stride + c];
      const double s02r = r0 + r1, s02i = i0 + i1, d02r = r0 - r1, d02i = i0 - i1;
      const double s13r = r2 + r3, s13i = i2 + i3, d13r = r2 - r3, d13i = i2 - i3;
      r[c] = s02r + s13r;
      i[c] = s02i + s13i;
      r[2 * Stride + c] = s02r - s13r;
      i[2 * Stride + c] = s02i - s13i;
      r[Stride + c] = d02r - S * d13i;
      i[Stride + c] = d02i + S * d13r;
      r[3 * Stride + c] = d02r + S * d13i;
      i[3 * Stride + c] = d02i - S * d13r;
    }
  }
}

/// Re[rev(k)], Im[rev(k)] = the parts of sample k, rev reversing the Log2 low bits, then
/// the length-4 transforms of neighbouring quadruples (Log2 >= 2).
template <int S>
void BitReverseSplitQuads(const double* __restrict Data, double* __restrict Re,
                          double* __restrict Im, int Log2) {
  const size_t n = size_t{1} << Log2;
  if (Log2 < 2 * kTileBits) {
    for (size_t k = 0; k < n; ++k) {
      const size_t r = ReverseBits(k, Log2);
      Re[r] = Data[2 * k];
      Im[r] = Data[2 * k + 1];
    }
    for (size_t k = 0; k < n; k += 4) Quads<S>(Re + k, Im + k, 1, 1);
    return;
  }
  // k = (a, b, c) with a and c of kTileBits bits: rev(k) = (rev c, rev b, rev a). The tile
  // of fixed b is read row by row (a) into row rev a of the buffer, so that buffer column
  // c is destination row rev c with its elements in order; the quadruples of every
  // destination row are transformed across the columns, then the rows are written out.
  size_t revTile[kTile];
  for (size_t t = 0; t < kTile; ++t) revTile[t] = ReverseBits(t, kTileBits);
  const int midBits = Log2 - 2 * kTileBits;
  const int highShift = Log2 - kTileBits;
  double tr[kTile * kTile], ti[kTile * kTile];
  for (size_t b = 0; b < (size_t{1} << midBits); ++b) {
    const size_t rb = ReverseBits(b, midBits);
    for (size_t a = 0; a < kTile; ++a) {
      const double* src = Data + 2 * ((a << highShift) | (b << kTileBits));
      double* rowR = tr + revTile[a] * kTile;
      double* rowI = ti + revTile[a] * kTile;
      for (size_t c = 0; c < kTile; ++c) {
        rowR[c] = src[2 * c];
        rowI[c] = src[2 * c + 1];
      }
    }
    Quads<S>(tr, ti, kTile, kTile / 4);
    for (size_t c = 0; c < kTile; ++c) {
      const size_t dst = (revTile[c] << highShift) | (rb << kTileBits);
      for (size_t a = 0; a < kTile; ++a) {
        Re[dst + a] = tr[a * kTile + c];
        Im[dst + a] = ti[a * kTile + c];
      }
    }
  }
}

/// Where a pass leaves its results: in place, or interleaved and scaled into the samples.
struct TOut {
  double* Data;  ///< null: in place
  double Scale;
};

/// One radix-4 butterfly. x holds the values at k + q h of a group whose quarter q holds
/// the transform of length h of the subsequence (0, 2, 1, 3)[q]; w1..w3 are w^k, w^2k,
/// w^3k. y receives the outputs k + q h of the transform of length 4h:
/// X(k + q h) = t0 + (S i)^q t1 + (S i)^2q t2 + (S i)^3q t3, tp = w^pk (subsequence p).
template <int S>
inline void Butterfly(const double (&xr)[4], const double (&xi)[4], const double (&wr)[3],
                      const double (&wi)[3], double (&yr)[4], double (&yi)[4]) {
  const double c1r = wr[0], c1i = S * wi[0], c2r = wr[1], c2i = S * wi[1];
  const double c3r = wr[2], c3i = S * wi[2];
  const double t0r = xr[0], t0i = xi[0];
  const double t2r = xr[1] * c2r - xi[1] * c2i, t2i = xr[1] * c2i + xi[1] * c2r;
  const double t1r = xr[2] * c1r - xi[2] * c1i, t1i = xr[2] * c1i + xi[2] * c1r;
  const double t3r = xr[3] * c3r - xi[3] * c3i, t3i = xr[3] * c3i + xi[3] * c3r;
  const double s02r = t0r + t2r, s02i = t0i + t2i, d02r = t0r - t2r, d02i = t0i - t2i;
  const double s13r = t1r + t3r, s13i = t1i + t3i, d13r = t1r - t3r, d13i = t1i - t3i;
  yr[0] = s02r + s13r;
  yi[0] = s02i + s13i;
  yr[1] = d02r - S * d13i;
  yi[1] = d02i + S * d13r;
  yr[2] = s02r - s13r;
  yi[2] = s02i - s13i;
  yr[3] = d02r + S * d13i;
  yi[3] = d02i - S * d13r;
}

/// The h butterflies of one group, in place: quarter q at (r[q], i[q]).
template <int S>
void Butterflies(size_t h, double* __restrict r0, double* __restrict i0, double* __restrict r1,
                 double* __restrict i1, double* __restrict r2, double* __restrict i2,
                 double* __restrict r3, double* __restrict i3, const double* __restrict w1r,
                 const double* __restrict w1i, const double* __restrict w2r,
                 const double* __restrict w2i, const double* __restrict w3r,
                 const double* __restrict w3i) {
  for (size_t k = 0; k < h; ++k) {
    const double xr[4] = {r0[k], r1[k], r2[k], r3[k]}, xi[4] = {i0[k], i1[k], i2[k], i3[k]};
    const double wr[3] = {w1r[k], w2r[k], w3r[k]}, wi[3] = {w1i[k], w2i[k], w3i[k]};
    double yr[4], yi[4];
    Butterfly<S>(xr, xi, wr, wi, yr, yi);
    r0[k] = yr[0], r1[k] = yr[1], r2[k] = yr[2], r3[k] = yr[3];
    i0[k] = yi[0], i1[k] = yi[1], i2[k] = yi[2], i3[k] = yi[3];
  }
}

/// The butterflies of the last pass (one group of n = 4h), writing sample k + q h
/// interleaved and scaled into d (real part at 2 (k + q h)).
template <int S>
void LastButterflies(size_t h, const double* __restrict r0, const double* __restrict i0,
                     const double* __restrict r1, const double* __restrict i1,
                     const double* __restrict r2, const double* __restrict i2,
                     const double* __restrict r3, const double* __restrict i3,
                     const double* __restrict w1r, const double* __restrict w1i,
                     const double* __restrict w2r, const double* __restrict w2i,
                     const double* __restrict w3r, const double* __restrict w3i,
                     double* __restrict d, double scale) {
  for (size_t k = 0; k < h; ++k) {
    const double xr[4] = {r0[k], r1[k], r2[k], r3[k]}, xi[4] = {i0[k], i1[k], i2[k], i3[k]};
    const double wr[3] = {w1r[k], w2r[k], w3r[k]}, wi[3] = {w1i[k], w2i[k], w3i[k]};
    double yr[4], yi[4];
    Butterfly<S>(xr, xi, wr, wi, yr, yi);
    for (size_t q = 0; q < 4; ++q) {
      d[2 * (k + q * h)] = yr[q] * scale;
      d[2 * (k + q * h) + 1] = yi[q] * scale;
    }
  }
}

template <int S>
void Radix4Pass(double* Re, double* Im, size_t n, size_t h, const double* Tw, TOut Out) {
  if (Out.Data != nullptr) {
    LastButterflies<S>(h, Re, Im, Re + h, Im + h, Re + 2 * h, Im + 2 * h, Re + 3 * h, Im + 3 * h,
                       Tw, Tw + h, Tw + 2 * h, Tw + 3 * h, Tw + 4 * h, Tw + 5 * h, Out.Data,
                       Out.Scale);
    return;
  }
  for (size_t g = 0; g < n; g += 4 * h) {
    double* r = Re + g;
    double* i = Im + g;
    Butterflies<S>(h, r, i, r + h, i + h, r + 2 * h, i + 2 * h, r + 3 * h, i + 3 * h, Tw, Tw + h,
                   Tw + 2 * h, Tw + 3 * h, Tw + 4 * h, Tw + 5 * h);
  }
}

/// Joins the transforms of the even (first half) and odd (second half) samples, writing
/// the result interleaved and scaled into d.
template <int S>
void HalvesPass(size_t h, const double* __restrict r0, const double* __restrict i0,
                const double* __restrict r1, const double* __restrict i1,
                const double* __restrict wr, const double* __restrict wi, double* __restrict d,
                double scale) {
  double* __restrict d1 = d + 2 * h;
  for (size_t k = 0; k < h; ++k) {
    const double cr = wr[k], ci = S * wi[k];
    const double tr = r1[k] * cr - i1[k] * ci, ti = r1[k] * ci + i1[k] * cr;
    d[2 * k] = (r0[k] + tr) * scale;
    d[2 * k + 1] = (i0[k] + ti) * scale;
    d1[2 * k] = (r0[k] - tr) * scale;
    d1[2 * k + 1] = (i0[k] - ti) * scale;
  }
}

void Interleave(const double* __restrict Re, const double* __restrict Im, double* __restrict Data,
                size_t n, double Scale) {
  for (size_t k = 0; k < n; ++k) {
    Data[2 * k] = Re[k] * Scale;
    Data[2 * k + 1] = Im[k] * Scale;
  }
}

template <int S>
void RunSigned(const TFftTables& T, double* Data, double* Re, double* Im, double Scale) {
  const size_t n = T.N;
  if (n < 4) {
    // One sample is its own transform; two are joined by the halves pass.
    for (size_t k = 0; k < n; ++k) Re[k] = Data[2 * k], Im[k] = Data[2 * k + 1];
    if (n == 2)
      HalvesPass<S>(1, Re, Im, Re + 1, Im + 1, T.HalfTwiddle, T.HalfTwiddle + 1, Data, Scale);
    else
      Interleave(Re, Im, Data, n, Scale);
    return;
  }
  BitReverseSplitQuads<S>(Data, Re, Im, T.Log2);
  // An odd power of two leaves a radix-2 pass for the end; the radix-4 passes cover
  // each half (m values).
  const size_t m = T.Log2 % 2 == 1 ? n / 2 : n;
  const TOut inPlace = {nullptr, 1.0};
  // The pass that completes the transform writes the samples.
  const TOut last = m == n ? TOut{Data, Scale} : inPlace;
  const size_t block = m < kCacheBlock ? m : kCacheBlock;
  size_t h = 4, p = 0;
  for (size_t b = 0; b < n; b += block) {
    size_t hb = 4, pb = 0;
    for (; 4 * hb <= block; hb *= 4, ++pb)
      Radix4Pass<S>(Re + b, Im + b, block, hb, T.PassTwiddle[pb], 4 * hb == n ? last : inPlace);
    h = hb;
    p = pb;
  }
  for (; 4 * h <= m; h *= 4, ++p)
    Radix4Pass<S>(Re, Im, n, h, T.PassTwiddle[p], 4 * h == n ? last : inPlace);
  if (m < n)
    HalvesPass<S>(m, Re, Im, Re + m, Im + m, T.HalfTwiddle, T.HalfTwiddle + m, Data, Scale);
  else if (n == 4)
    Interleave(Re, Im, Data, n, Scale);
}

[[maybe_unused]] void Run(const TFftTables& T, double* Data, double* Re, double* Im, int Sign,
                          double Scale) {
  if (Sign > 0)
    RunSigned<1>(T, Data, Re, Im, Scale);
  else
    RunSigned<-1>(T, Data, Re, Im, Scale);
}

}  // namespace
}  // namespace nuv::detail::NUV_FFT_NS
