// Hot loops of the matrix linear algebra, chosen once per process by CPU
// features: on x86, AVX-512, AVX2 with FMA, or the SSE2 baseline every x86-64
// has; elsewhere the portable kernels (plain loops the compiler vectorises).
//
// Rounding: the AVX2 and AVX-512 paths form every product-and-add with one
// fused multiply-add; SSE2 and the portable kernels round the product and the
// sum apart, so those two give the same bits. Results may differ in the last
// bit between CPUs, never in the order of the terms: every element sums over
// its shared index in ascending order.
//
// Internal to the library; not part of its interface.
#pragma once

#include <cstdint>

namespace nuv::detail {

/// Flags of TMatKernels::Gemm.
enum : int32_t {
  kGemmLoadC = 1,  ///< the accumulators start from C instead of 0.0
  kGemmNegA = 2,   ///< A enters negated: C := C - A B (with kGemmLoadC)
  kGemmUpper = 4,  ///< tiles whose elements all lie below the diagonal are skipped
};

/// C(i, j), i < m, j < n, := [C(i, j) or 0.0] + sum over p < k, ascending, of A(i, p) B(p, j),
/// where A(i, p) = a[i * ars + p * acs], B(p, j) = b[p * brs + j * bcs] and C is column major
/// with column stride ldc. With kGemmUpper a tile is skipped when each of its elements has
/// row > column + DiagOff. May throw std::bad_alloc (packing buffers).
using TGemmFn = void (*)(int64_t m, int64_t n, int64_t k, const double* a, int64_t ars,
                         int64_t acs, const double* b, int64_t brs, int64_t bcs, double* c,
                         int64_t ldc, int32_t Flags, int64_t DiagOff);
/// y[i] := y[i] - s x[i] for i < n.
using TFmsAxpyFn = void (*)(int64_t n, double s, const double* x, double* y);
/// y[i] := sum over p < k, ascending, of A(i, p) x[p] from 0.0; A column major (stride lda).
using TGemvFn = void (*)(int64_t m, int64_t k, const double* a, int64_t lda, const double* x,
                         double* y);
/// y[j] := sum over p < k, ascending, of A(p, j) x[p] from 0.0, for j < n.
using TGemvTFn = void (*)(int64_t k, int64_t n, const double* a, int64_t lda, const double* x,
                          double* y);
/// Triangular solves of SubstLanes() right-hand sides at once. T is an n x n row-major matrix
/// (row i at t + i * n); X is n x SubstLanes() row-major. Forward: for i = First..n-1,
/// X(i) := X(i) - sum over First <= j < i, ascending, of T(i, j) X(j) (unit diagonal).
/// Backward: for i = n-1 down to 0, X(i) := (X(i) - sum over i < j < n, ascending, of
/// T(i, j) X(j)) / T(i, i).
using TSubstFn = void (*)(int64_t n, const double* t, double* x, int64_t First);

struct TMatKernels {
  const char* Name;
  TGemmFn Gemm;
  TFmsAxpyFn FmsAxpy;
  TGemvFn Gemv;
  TGemvTFn GemvT;
  TSubstFn SubstForward;
  TSubstFn SubstBackward;
  int32_t SubstLanes;
};

/// The best kernels this CPU runs, chosen on first use.
const TMatKernels& MatKernels();

/// Plain C++ for every target.
const TMatKernels& MatKernelsPortable();
/// Null when the build cannot emit the instruction set (the x86 ones on other targets).
const TMatKernels* MatKernelsSse2();
const TMatKernels* MatKernelsAvx2();
const TMatKernels* MatKernelsAvx512();

}  // namespace nuv::detail
