// The library's fast symmetric eigensolver for large matrices: Householder
// reduction to tridiagonal form, divide and conquer, back transformation,
// with the work in blocked matrix products. Results go to the same eigen
// store as CalcEigVec's.
#pragma once

#include <cstdint>

#include "Nuv_matrix/matrix_core.h"
#include "foundation/frame.h"

namespace nuv {

/// Decomposes the symmetric matrix Mat (order n = NrOfColumns; its diagonal and the elements
/// above it are read, cells beyond its rows read 0; Mat is not changed) into the eigen store,
/// replacing it, so that GetEigenResult reads the result. Eigenvalues come in descending
/// order (equal ones in no particular order); each eigenvector has unit length, and its
/// component of largest magnitude is positive (components within a relative 1e-9 of the
/// largest count as equal, and the first of them decides). Eigenvalues agree with
/// CalcEigVec's to rounding relative to the matrix norm; vectors of distinct eigenvalues
/// agree up to sign. Takes O(n^3) time (about 5 n^3 flops, mostly blocked products) and
/// 5 n^2 doubles, against CalcEigVec's many O(n^3) sweeps.
/// False, with the store empty, when Mat is absent, holds a NaN or an infinity in the cells
/// read, or when aborted; true with an empty store for n = 0. Clears AbortMathProc; makes
/// 3 n progress steps, n in each stage (reduction to tridiagonal form, the tridiagonal
/// eigenproblem, the back transformation), and polls the abort flag at each.
/// Raises ENUVMath2Error "CalcSymEigen: not enough memory".
NUV_API bool CalcSymEigen(const TMatrix* Mat);

}  // namespace nuv
