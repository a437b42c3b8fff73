// Integer matrix products in wrapping 32-bit arithmetic. Private to the
// matrix unit.
#pragma once

#include <cstdint>

namespace nuv::detail {

/// C(i, j) := sum over p < k of A(i, p) B(p, j), modulo 2^32, for i < m, j < n, where
/// A(i, p) = a[i * ars + p * acs], B(p, j) = b[p * brs + j * bcs] and C is column major
/// with column stride ldc. May throw std::bad_alloc (the packing buffer).
void IntGemm(int64_t m, int64_t n, int64_t k, const int32_t* a, int64_t ars, int64_t acs,
             const int32_t* b, int64_t brs, int64_t bcs, int32_t* c, int64_t ldc);

/// Mn := min(Mn, p[0..n-1]), Mx := max(Mx, p[0..n-1]).
void IntMinMax(const int32_t* p, int64_t n, int32_t& Mn, int32_t& Mx);

/// y[j] := sum over p < k of A(p, j) x[p] modulo 2^32, for j < n; A column major (stride lda).
void IntGemvT(int64_t k, int64_t n, const int32_t* a, int64_t lda, const int32_t* x, int32_t* y);

}  // namespace nuv::detail
