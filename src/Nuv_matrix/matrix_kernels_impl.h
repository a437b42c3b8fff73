// The kernels of matrix_kernels.h written once over a register tile ("micro
// kernel"). Each instruction-set file defines NUV_KERNEL_NS (its own
// namespace, so the copies never merge at link time), NUV_KERNEL_FUSED and
// its micro kernel, switches the compiler's target on, then includes this
// file. Nothing here calls a template or inline function of the standard
// library, so no code of the wider instruction sets leaks into the others.
//
// The product is blocked the usual way: a KC-deep slice of B packed into
// NR-wide strips (kept in L1 per strip), an MC-tall block of A packed into
// MR-tall strips (kept in L2), and an MR x NR tile of C held in registers for
// the whole slice. Slices are taken in ascending k and each tile's
// accumulators resume from C after the first, so every element still sums
// its products in ascending k order, exactly as the plain triple loop would.
//
// No include guard: a file may hold several instruction sets, each including
// this under its own NUV_KERNEL_NS.

#include <cstddef>
#include <cstdint>
#include <new>

#include "Nuv_matrix/matrix_kernels.h"

#ifndef NUV_KERNEL_NS
#define NUV_KERNEL_NS generic_kernels
#endif
#ifndef NUV_KERNEL_FUSED
#define NUV_KERNEL_FUSED 0
#endif

namespace nuv::detail::NUV_KERNEL_NS {

/// c - a b, fused where the instruction set has it.
inline double Fms(double a, double b, double c) {
#if NUV_KERNEL_FUSED
  return __builtin_fma(-a, b, c);
#else
  return c - a * b;
#endif
}

/// c + a b, fused where the instruction set has it.
inline double Fma(double a, double b, double c) {
#if NUV_KERNEL_FUSED
  return __builtin_fma(a, b, c);
#else
  return c + a * b;
#endif
}

inline int64_t Min64(int64_t a, int64_t b) { return a < b ? a : b; }
inline int64_t RoundUp(int64_t a, int64_t m) { return (a + m - 1) / m * m; }

/// A 64-byte aligned scratch array, released on every exit path.
class TAlignedBuf {
 public:
  explicit TAlignedBuf(size_t Count)
      : FData(static_cast<double*>(
            ::operator new(Count * sizeof(double), std::align_val_t(64)))) {}
  ~TAlignedBuf() { ::operator delete(FData, std::align_val_t(64)); }
  TAlignedBuf(const TAlignedBuf&) = delete;
  TAlignedBuf& operator=(const TAlignedBuf&) = delete;
  double* Get() const { return FData; }

 private:
  double* FData;
};

/// mc x kc of A into MR-tall strips (strip s, depth p, lane r at (s kc + p) MR + r), zero
/// padded, negated when Sign is -1 (an exact operation).
template <int MR>
void PackA(int64_t mc, int64_t kc, const double* a, int64_t ars, int64_t acs, double* ap,
           double Sign) {
  for (int64_t s = 0; s < mc; s += MR) {
    const int64_t rows = Min64(MR, mc - s);
    double* dst = ap + s * kc;
    const double* src = a + s * ars;
    if (acs == 1 && ars != 1) {
      for (int64_t r = 0; r < MR; ++r) {
        if (r < rows) {
          const double* row = src + r * ars;
          for (int64_t p = 0; p < kc; ++p) dst[p * MR + r] = Sign * row[p];
        } else {
          for (int64_t p = 0; p < kc; ++p) dst[p * MR + r] = 0.0;
        }
      }
    } else {
      for (int64_t p = 0; p < kc; ++p) {
        const double* col = src + p * acs;
        double* d = dst + p * MR;
        for (int64_t r = 0; r < rows; ++r) d[r] = Sign * col[r * ars];
        for (int64_t r = rows; r < MR; ++r) d[r] = 0.0;
      }
    }
  }
}

/// kc x nc of B into NR-wide strips (strip t, depth p, lane c at (t kc + p) NR + c).
template <int NR>
void PackB(int64_t kc, int64_t nc, const double* b, int64_t brs, int64_t bcs, double* bp) {
  for (int64_t t = 0; t < nc; t += NR) {
    const int64_t cols = Min64(NR, nc - t);
    double* dst = bp + t * kc;
    const double* src = b + t * bcs;
    if (brs == 1) {
      for (int64_t c = 0; c < NR; ++c) {
        if (c < cols) {
          const double* col = src + c * bcs;
          for (int64_t p = 0; p < kc; ++p) dst[p * NR + c] = col[p];
        } else {
          for (int64_t p = 0; p < kc; ++p) dst[p * NR + c] = 0.0;
        }
      }
    } else {
      for (int64_t p = 0; p < kc; ++p) {
        const double* row = src + p * brs;
        double* d = dst + p * NR;
        for (int64_t c = 0; c < cols; ++c) d[c] = row[c * bcs];
        for (int64_t c = cols; c < NR; ++c) d[c] = 0.0;
      }
    }
  }
}

template <class MK>
void Gemm(int64_t m, int64_t n, int64_t k, const double* a, int64_t ars, int64_t acs,
          const double* b, int64_t brs, int64_t bcs, double* c, int64_t ldc, int32_t Flags,
          int64_t DiagOff) {
  constexpr int MR = MK::MR;
  constexpr int NR = MK::NR;
  constexpr int64_t KC = MK::KC;
  constexpr int64_t MC = MK::MC;
  constexpr int64_t NC = MK::NC;
  if (m <= 0 || n <= 0) return;
  const bool loadC = (Flags & kGemmLoadC) != 0;
  const bool upper = (Flags & kGemmUpper) != 0;
  if (k <= 0) {
    if (!loadC) {
      for (int64_t j = 0; j < n; ++j) {
        double* cj = c + j * ldc;
        for (int64_t i = 0; i < m; ++i) cj[i] = 0.0;
      }
    }
    return;
  }
  const double sign = (Flags & kGemmNegA) != 0 ? -1.0 : 1.0;
  const int64_t kcMax = Min64(KC, k);
  TAlignedBuf abuf(static_cast<size_t>(Min64(MC, RoundUp(m, MR)) * kcMax));
  TAlignedBuf bbuf(static_cast<size_t>(Min64(NC, RoundUp(n, NR)) * kcMax));
  double* ap = abuf.Get();
  double* bp = bbuf.Get();
  alignas(64) double tile[MR * NR];
  for (int64_t jc = 0; jc < n; jc += NC) {
    const int64_t nc = Min64(NC, n - jc);
    for (int64_t pc = 0; pc < k; pc += KC) {
      const int64_t kc = Min64(KC, k - pc);
      const bool load = loadC || pc > 0;
      bool packedB = false;
      for (int64_t ic = 0; ic < m; ic += MC) {
        const int64_t mc = Min64(MC, m - ic);
        if (upper && ic > jc + nc - 1 + DiagOff) break;
        if (!packedB) {
          PackB<NR>(kc, nc, b + pc * brs + jc * bcs, brs, bcs, bp);
          packedB = true;
        }
        PackA<MR>(mc, kc, a + ic * ars + pc * acs, ars, acs, ap, sign);
        for (int64_t jr = 0; jr < nc; jr += NR) {
          const int64_t nr = Min64(NR, nc - jr);
          const double* bps = bp + jr * kc;
          for (int64_t ir = 0; ir < mc; ir += MR) {
            const int64_t mr = Min64(MR, mc - ir);
            if (upper && ic + ir > jc + jr + nr - 1 + DiagOff) break;
            double* cc = c + (ic + ir) + (jc + jr) * ldc;
            const double* aps = ap + ir * kc;
            if (mr == MR && nr == NR) {
              MK::Run(kc, aps, bps, cc, ldc, load);
            } else {
              if (load) {
                for (int64_t j = 0; j < nr; ++j)
                  for (int64_t i = 0; i < mr; ++i) tile[j * MR + i] = cc[j * ldc + i];
              }
              MK::Run(kc, aps, bps, tile, MR, load);
              for (int64_t j = 0; j < nr; ++j)
                for (int64_t i = 0; i < mr; ++i) cc[j * ldc + i] = tile[j * MR + i];
            }
          }
        }
      }
    }
  }
}

inline void FmsAxpy(int64_t n, double s, const double* x, double* y) {
  for (int64_t i = 0; i < n; ++i) y[i] = Fms(s, x[i], y[i]);
}

/// Rows in blocks of NV vectors whose accumulators stay in registers over all of k. VO is the
/// instruction set's vector: type T, L lanes, Load, Store, Set1, Zero, Fma (c + a b), Fnma
/// (c - a b) and Div.
template <class VO, int NV>
void Gemv(int64_t m, int64_t k, const double* a, int64_t lda, const double* x, double* y) {
  constexpr int64_t B = static_cast<int64_t>(NV) * VO::L;
  using T = typename VO::T;
  int64_t i = 0;
  for (; i + B <= m; i += B) {
    T acc[NV];
#pragma GCC unroll 16
    for (int v = 0; v < NV; ++v) acc[v] = VO::Zero();
    for (int64_t p = 0; p < k; ++p) {
      const double* col = a + p * lda + i;
      const T xp = VO::Set1(x[p]);
#pragma GCC unroll 16
      for (int v = 0; v < NV; ++v) acc[v] = VO::Fma(VO::Load(col + v * VO::L), xp, acc[v]);
    }
#pragma GCC unroll 16
    for (int v = 0; v < NV; ++v) VO::Store(y + i + v * VO::L, acc[v]);
  }
  const int64_t rest = m - i;
  if (rest > 0) {
    double acc[B];
    for (int64_t l = 0; l < rest; ++l) acc[l] = 0.0;
    for (int64_t p = 0; p < k; ++p) {
      const double* col = a + p * lda + i;
      const double xp = x[p];
      for (int64_t l = 0; l < rest; ++l) acc[l] = Fma(col[l], xp, acc[l]);
    }
    for (int64_t l = 0; l < rest; ++l) y[i + l] = acc[l];
  }
}

/// Eight columns at once: eight independent accumulation chains.
inline void GemvT(int64_t k, int64_t n, const double* a, int64_t lda, const double* x,
                  double* y) {
  int64_t j = 0;
  for (; j + 8 <= n; j += 8) {
    double s[8] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    const double* col = a + j * lda;
    for (int64_t p = 0; p < k; ++p) {
      const double xp = x[p];
      for (int64_t l = 0; l < 8; ++l) s[l] = Fma(col[l * lda + p], xp, s[l]);
    }
    for (int64_t l = 0; l < 8; ++l) y[j + l] = s[l];
  }
  for (; j < n; ++j) {
    const double* col = a + j * lda;
    double s = 0.0;
    for (int64_t p = 0; p < k; ++p) s = Fma(col[p], x[p], s);
    y[j] = s;
  }
}

/// The right-hand sides are NV vectors wide; each lane's sum is one chain in ascending j,
/// and the NV chains run side by side.
template <class VO, int NV>
void SubstForward(int64_t n, const double* t, double* x, int64_t First) {
  constexpr int64_t W = static_cast<int64_t>(NV) * VO::L;
  using T = typename VO::T;
  for (int64_t i = First; i < n; ++i) {
    T acc[NV];
    double* xi = x + i * W;
#pragma GCC unroll 16
    for (int v = 0; v < NV; ++v) acc[v] = VO::Load(xi + v * VO::L);
    const double* ti = t + i * n;
    for (int64_t j = First; j < i; ++j) {
      const T tij = VO::Set1(ti[j]);
      const double* xj = x + j * W;
#pragma GCC unroll 16
      for (int v = 0; v < NV; ++v) acc[v] = VO::Fnma(tij, VO::Load(xj + v * VO::L), acc[v]);
    }
#pragma GCC unroll 16
    for (int v = 0; v < NV; ++v) VO::Store(xi + v * VO::L, acc[v]);
  }
}

template <class VO, int NV>
void SubstBackward(int64_t n, const double* t, double* x, int64_t /*First*/) {
  constexpr int64_t W = static_cast<int64_t>(NV) * VO::L;
  using T = typename VO::T;
  for (int64_t i = n - 1; i >= 0; --i) {
    T acc[NV];
    double* xi = x + i * W;
#pragma GCC unroll 16
    for (int v = 0; v < NV; ++v) acc[v] = VO::Load(xi + v * VO::L);
    const double* ti = t + i * n;
    for (int64_t j = i + 1; j < n; ++j) {
      const T tij = VO::Set1(ti[j]);
      const double* xj = x + j * W;
#pragma GCC unroll 16
      for (int v = 0; v < NV; ++v) acc[v] = VO::Fnma(tij, VO::Load(xj + v * VO::L), acc[v]);
    }
    const T d = VO::Set1(ti[i]);
#pragma GCC unroll 16
    for (int v = 0; v < NV; ++v) VO::Store(xi + v * VO::L, VO::Div(acc[v], d));
  }
}

/// MK: the micro kernel (MR, NR, KC, MC, NC, Run); VO: the vector operations; SV: vectors
/// per substitution row (SV VO::L right-hand sides at once).
template <class MK, class VO, int SV>
TMatKernels MakeKernels(const char* Name) {
  return TMatKernels{Name,
                     &Gemm<MK>,
                     &FmsAxpy,
                     &Gemv<VO, 4>,
                     &GemvT,
                     &SubstForward<VO, SV>,
                     &SubstBackward<VO, SV>,
                     SV * VO::L};
}

}  // namespace nuv::detail::NUV_KERNEL_NS
