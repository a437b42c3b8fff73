// Singular value decomposition (Golub-Reinsch) of a matrix of doubles.
#pragma once

#include <cstdint>

#include "Nuv_matrix/matrix_core.h"
#include "foundation/frame.h"

namespace nuv {

/// Decomposes the m x n column-major matrix A (column stride lda >= max(m, 1)) as
/// A = U diag(w) V^T: Householder reduction to bidiagonal form, accumulation of the right-
/// and left-hand transformations, then implicit-shift QR sweeps from the last singular
/// value to the first. On return a holds U (m x n), w the n singular values (non-negative,
/// unsorted) and v the n x n matrix V (column stride ldv >= max(n, 1)).
/// With v null only the singular values are computed (a is left in an unspecified state);
/// the progress steps are the same.
/// Before each column of the reduction, each column of the two accumulations and each
/// singular value: a progress step (ProcStat + 1, MathFeedBackProc); if AbortMathProc is
/// then set, stops and returns false. Returns false also when a singular value has not
/// converged when its 30th sweep begins (the rest of the work is still done).
/// Throws std::bad_alloc when the work array cannot be had.
NUV_API bool SingValDecompCore(double* a, int32_t lda, int32_t m, int32_t n, double* w, double* v,
                               int32_t ldv);

/// The same on objects: U (m x n) is overwritten, W resized to n, V resized to n x n; each
/// fires OnChange once at the end. False without any change when U has no columns or an
/// argument is absent. Raises ENUVMatrixError "not enough memory on heap" (U's name).
NUV_API bool SingValDecompCore(TMatrix* U, TVector* W, TMatrix* V);

}  // namespace nuv
