// The singular value decomposition (the Golub-Reinsch implementation of the
// matrix unit, exported here), the least-squares solver built on it and the
// Moore-Penrose pseudo-inverse.
#pragma once

#include <cstdint>

#include "Nuv_matrix/matrix_core.h"
#include "Nuv_matrix/matrix_svd.h"
#include "foundation/frame.h"

namespace nuv {

/// A (m rows, n columns) = U diag(W) V^T: A is replaced by U (m x n), W resized to the n
/// singular values (non-negative, unsorted), V resized to n x n; each fires OnChange once.
/// Progress per column of each stage; false when aborted or a singular value needs its
/// 30th QR sweep, and for an absent argument or a matrix without columns.
/// Raises ENUVMath2Error "SingValDecomp: not enough memory".
NUV_API bool SingValDecomp(TMatrix* A, TVector* W, TMatrix* V);

/// The least-squares solution x (resized to p) of A x = b for the N x p matrix A (N rows),
/// through the decomposition of a copy of A: singular values below 1e-14 times the largest
/// are set to 0, which sets NearSingular, and their terms are left out. StdErr (may be
/// absent; resized to p) receives sqrt(sum_j V(i, j)^2 / w_j^2) over the non-zero w_j,
/// the standard errors for unit-variance noise. False, with x unchanged, when b does not
/// have N elements, an argument is absent, or the decomposition fails or is aborted.
/// Raises ENUVMath2Error "SingValEquSolve: not enough memory".
NUV_API bool SingValEquSolve(const TMatrix* A, const TVector* b, TVector* x, TVector* StdErr,
                             bool& NearSingular);

/// The Moore-Penrose pseudo-inverse of A (m rows, n columns) into PInv (created when absent,
/// owned by the caller; resized to m columns and n rows). Singular values at or below
/// Thresh count as 0; Thresh 0 means max(m, n) * wmax * 1.2e-16. False when the
/// decomposition fails or is aborted (PInv then holds no meaningful values) or A is absent.
/// Raises ENUVMath2Error "PseudoInverse: not enough memory".
NUV_API bool PseudoInverse(const TMatrix* A, TMatrix*& PInv, double Thresh);

}  // namespace nuv
