// The cyclic Jacobi kernel. The matrix is kept whole and symmetric in
// column-major storage, so a rotation of the pair (p, q) is a rotation of two
// contiguous columns, vectorized. Copying the new column q into row q is put
// off until a block of eight consecutive q is done, except within the block,
// whose columns the next rotations read; row p, which every rotation of the
// chain for p touches, is copied once at the end of the chain; columns before
// p, which the rest of the sweep never reads, are refreshed once per sweep.
// The rotations themselves, their order, thresholds and skips are those of
// the classic algorithm, so the result is the same to the last bit as a
// plain implementation's.
#include <cmath>
#include <vector>

#include "Nuv_math2/eigen_store.h"
#include "foundation/progress.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define NUV_JACOBI_AVX2 1
#else
#define NUV_JACOBI_AVX2 0
#endif

namespace nuv {
namespace detail {

namespace {

// x' = x - s (y + x tau), y' = y + s (x - y tau), element by element. Every lane
// rounds the product and the sum apart, as the scalar formula does, so all paths give
// the same bits.
void RotatePairBase(double* x, double* y, size_t n, double s, double tau) {
  size_t k = 0;
#if defined(__SSE2__)
  const __m128d vs = _mm_set1_pd(s);
  const __m128d vt = _mm_set1_pd(tau);
  for (; k + 4 <= n; k += 4) {
    const __m128d x0 = _mm_loadu_pd(x + k), x1 = _mm_loadu_pd(x + k + 2);
    const __m128d y0 = _mm_loadu_pd(y + k), y1 = _mm_loadu_pd(y + k + 2);
    _mm_storeu_pd(x + k, _mm_sub_pd(x0, _mm_mul_pd(vs, _mm_add_pd(y0, _mm_mul_pd(x0, vt)))));
    _mm_storeu_pd(x + k + 2, _mm_sub_pd(x1, _mm_mul_pd(vs, _mm_add_pd(y1, _mm_mul_pd(x1, vt)))));
    _mm_storeu_pd(y + k, _mm_add_pd(y0, _mm_mul_pd(vs, _mm_sub_pd(x0, _mm_mul_pd(y0, vt)))));
    _mm_storeu_pd(y + k + 2, _mm_add_pd(y1, _mm_mul_pd(vs, _mm_sub_pd(x1, _mm_mul_pd(y1, vt)))));
  }
#endif
  for (; k < n; ++k) {
    const double g = x[k], h = y[k];
    x[k] = g - s * (h + g * tau);
    y[k] = h + s * (g - h * tau);
  }
}

#if NUV_JACOBI_AVX2
// Four lanes; AVX2 without FMA, so no product is fused into its sum.
__attribute__((target("avx2"))) void RotatePairAvx2(double* x, double* y, size_t n, double s,
                                                    double tau) {
  size_t k = 0;
  const __m256d vs = _mm256_set1_pd(s);
  const __m256d vt = _mm256_set1_pd(tau);
  for (; k + 8 <= n; k += 8) {
    const __m256d x0 = _mm256_loadu_pd(x + k), x1 = _mm256_loadu_pd(x + k + 4);
    const __m256d y0 = _mm256_loadu_pd(y + k), y1 = _mm256_loadu_pd(y + k + 4);
    _mm256_storeu_pd(x + k,
                     _mm256_sub_pd(x0, _mm256_mul_pd(vs, _mm256_add_pd(y0, _mm256_mul_pd(x0, vt)))));
    _mm256_storeu_pd(x + k + 4,
                     _mm256_sub_pd(x1, _mm256_mul_pd(vs, _mm256_add_pd(y1, _mm256_mul_pd(x1, vt)))));
    _mm256_storeu_pd(y + k,
                     _mm256_add_pd(y0, _mm256_mul_pd(vs, _mm256_sub_pd(x0, _mm256_mul_pd(y0, vt)))));
    _mm256_storeu_pd(y + k + 4,
                     _mm256_add_pd(y1, _mm256_mul_pd(vs, _mm256_sub_pd(x1, _mm256_mul_pd(y1, vt)))));
  }
  for (; k < n; ++k) {
    const double g = x[k], h = y[k];
    x[k] = g - s * (h + g * tau);
    y[k] = h + s * (g - h * tau);
  }
}
#endif

using TRotateFn = void (*)(double*, double*, size_t, double, double);

TRotateFn ChooseRotate() {
#if NUV_JACOBI_AVX2
  __builtin_cpu_init();  // this runs among the static constructors
  if (__builtin_cpu_supports("avx2")) return RotatePairAvx2;
#endif
  return RotatePairBase;
}

const TRotateFn RotatePair = ChooseRotate();

// Row r of the columns after r := column r of the symmetric matrix.
inline void MirrorColumn(double* A, size_t n, size_t r) {
  const double* col = A + r * n;
  double* row = A + r;
  for (size_t k = r + 1; k < n; ++k) row[k * n] = col[k];
}

// Below the diagonal := above it: the columns before a chain's p are not read again in
// the sweep, so their lower parts are brought up to date once at its end.
void MirrorUpper(double* A, size_t n) {
  for (size_t k = 0; k < n; ++k) {
    double* col = A + k * n;
    for (size_t j = k + 1; j < n; ++j) col[j] = A[j * n + k];
  }
}

// Rows q0..q1-1 of columns k0..k1-1 := row k of columns q0..q1-1, one row at a time.
void MirrorRange(double* A, size_t n, size_t q0, size_t q1, size_t k0, size_t k1) {
  const double* src = A + q0 * n;
  const size_t w = q1 - q0;
  for (size_t k = k0; k < k1; ++k) {
    double* dst = A + k * n + q0;
    for (size_t j = 0; j < w; ++j) dst[j] = src[j * n + k];
  }
}

#if NUV_JACOBI_AVX2
// The same for four columns q0..q0+3, four rows k at a time through 4 x 4 transposes.
__attribute__((target("avx2"))) void MirrorRange4Avx2(double* A, size_t n, size_t q0,
                                                      size_t k0, size_t k1) {
  const double* c0 = A + q0 * n;
  const double* c1 = c0 + n;
  const double* c2 = c1 + n;
  const double* c3 = c2 + n;
  size_t k = k0;
  for (; k + 4 <= k1; k += 4) {
    const __m256d r0 = _mm256_loadu_pd(c0 + k), r1 = _mm256_loadu_pd(c1 + k);
    const __m256d r2 = _mm256_loadu_pd(c2 + k), r3 = _mm256_loadu_pd(c3 + k);
    const __m256d t0 = _mm256_unpacklo_pd(r0, r1), t1 = _mm256_unpackhi_pd(r0, r1);
    const __m256d t2 = _mm256_unpacklo_pd(r2, r3), t3 = _mm256_unpackhi_pd(r2, r3);
    double* d = A + k * n + q0;
    _mm256_storeu_pd(d, _mm256_permute2f128_pd(t0, t2, 0x20));
    _mm256_storeu_pd(d + n, _mm256_permute2f128_pd(t1, t3, 0x20));
    _mm256_storeu_pd(d + 2 * n, _mm256_permute2f128_pd(t0, t2, 0x31));
    _mm256_storeu_pd(d + 3 * n, _mm256_permute2f128_pd(t1, t3, 0x31));
  }
  MirrorRange(A, n, q0, q0 + 4, k, k1);
}
#endif

using TMirrorFn = void (*)(double*, size_t, size_t, size_t, size_t, size_t);

void MirrorRangeBase(double* A, size_t n, size_t q0, size_t q1, size_t k0, size_t k1) {
  MirrorRange(A, n, q0, q1, k0, k1);
}

#if NUV_JACOBI_AVX2
__attribute__((target("avx2"))) void MirrorRangeAvx2(double* A, size_t n, size_t q0, size_t q1,
                                                     size_t k0, size_t k1) {
  size_t q = q0;
  for (; q + 4 <= q1; q += 4) MirrorRange4Avx2(A, n, q, k0, k1);
  if (q < q1) MirrorRange(A, n, q, q1, k0, k1);
}
#endif

TMirrorFn ChooseMirror() {
#if NUV_JACOBI_AVX2
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return MirrorRangeAvx2;
#endif
  return MirrorRangeBase;
}

const TMirrorFn MirrorRangeFn = ChooseMirror();

// Rows q0..q1-1 of the columns after p outside the block := columns q0..q1-1. Copying a
// block of rows at a time touches one cache line per column instead of one per row;
// column p's rows are written at the end of its chain, the columns before p at the end
// of the sweep.
void MirrorBlock(double* A, size_t n, size_t p, size_t q0, size_t q1) {
  MirrorRangeFn(A, n, q0, q1, p + 1, q0);
  MirrorRangeFn(A, n, q0, q1, q1, n);
}

constexpr size_t kBlock = 8;

struct TPlan {
  enum TKind { Keep, Skip, Rotate } Kind;
  double S, Tau, H;
};

}  // namespace

TJacobiResult JacobiSweeps(double* A, size_t n, double* D, double* V, bool Hooks) {
  std::vector<double> b(n), z(n, 0.0);
  for (size_t k = 0; k < n; ++k) {
    D[k] = b[k] = A[k * n + k];
    A[k * n + k] = 0.0;
    double* v = V + k * n;
    for (size_t j = 0; j < n; ++j) v[j] = j == k ? 1.0 : 0.0;
  }
  const double n2 = static_cast<double>(n) * static_cast<double>(n);
  for (int sweep = 1; sweep <= 100; ++sweep) {
    if (Hooks) ProgressStep();
    // Row by row over the upper triangle, as the thresholds were always computed.
    double sm = 0.0;
    for (size_t p = 0; p + 1 < n; ++p) {
      const double* colp = A + p * n;
      for (size_t q = p + 1; q < n; ++q) sm += std::fabs(colp[q]);
    }
    if (sm == 0.0) return TJacobiResult::Converged;
    const double tresh = sweep < 4 ? 0.2 * sm / n2 : 0.0;
    // What pair (p, q) with the pivot apq calls for. The next pair's plan is made before the
    // current rotation's vector loops run, so its divisions and roots overlap them.
    auto plan = [&](size_t p, size_t q, double apq) -> TPlan {
      const double g = 200.0 * std::fabs(apq);
      if (sweep > 4 && std::fabs(D[p]) + g == std::fabs(D[p]) &&
          std::fabs(D[q]) + g == std::fabs(D[q]))
        return {TPlan::Skip, 0.0, 0.0, 0.0};
      if (!(std::fabs(apq) > tresh)) return {TPlan::Keep, 0.0, 0.0, 0.0};
      double h = D[q] - D[p];
      double t;
      if (std::fabs(h) + g == std::fabs(h)) {
        t = apq / h;
      } else {
        const double theta = h / apq / 2.0;
        t = 1.0 / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
        if (theta < 0.0) t = -t;
      }
      const double c = 1.0 / std::sqrt(1.0 + t * t);
      const double s = t * c;
      return {TPlan::Rotate, s, s / (1.0 + c), t * apq};
    };
    for (size_t p = 0; p + 1 < n; ++p) {
      double* colp = A + p * n;
      TPlan next = plan(p, p + 1, colp[p + 1]);
      for (size_t q0 = p + 1; q0 < n; q0 += kBlock) {
        const size_t q1 = q0 + kBlock < n ? q0 + kBlock : n;
        bool rotated = false;  // unrotated columns are still mirrored
        for (size_t q = q0; q < q1; ++q) {
          if (Hooks) {
            if (AbortRequested()) {
              MirrorBlock(A, n, p, q0, q1);
              MirrorColumn(A, n, p);
              return TJacobiResult::Aborted;
            }
            ProgressStep();
          }
          double* colq = A + q * n;
          const TPlan cur = next;
          const bool last = q + 1 == n;
          if (cur.Kind != TPlan::Rotate) {
            if (cur.Kind == TPlan::Skip) colp[q] = colq[p] = 0.0;
            if (!last) next = plan(p, q + 1, colp[q + 1]);
            continue;
          }
          const double s = cur.S, tau = cur.Tau, h = cur.H;
          z[p] -= h;
          z[q] += h;
          D[p] -= h;
          D[q] += h;
          if (!last) {
            // The next pivot as the rotation below will leave it, bit for bit.
            const double g1 = colp[q + 1], h1 = colq[q + 1];
            next = plan(p, q + 1, g1 - s * (h1 + g1 * tau));
          }
          RotatePair(colp, colq, n, s, tau);
          rotated = true;
          // Rows p and q of the two columns are the pivot and the (unused) diagonal.
          colp[p] = colp[q] = colq[p] = colq[q] = 0.0;
          // The columns of this block are read by the next rotations at once.
          for (size_t k = q0; k < q1; ++k) A[k * n + q] = colq[k];
          RotatePair(V + p * n, V + q * n, n, s, tau);
        }
        if (rotated) MirrorBlock(A, n, p, q0, q1);
      }
      MirrorColumn(A, n, p);
    }
    MirrorUpper(A, n);
    for (size_t k = 0; k < n; ++k) {
      b[k] += z[k];
      D[k] = b[k];
      z[k] = 0.0;
    }
  }
  return TJacobiResult::NoConvergence;
}

}  // namespace detail
}  // namespace nuv
