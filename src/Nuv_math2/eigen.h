// Eigenvalues and eigenvectors of a symmetric matrix by the cyclic Jacobi
// method, kept in a per-thread eigen store that is read back element by
// element.
#pragma once

#include <cstdint>

#include "Nuv_matrix/matrix_core.h"
#include "foundation/frame.h"

namespace nuv {

/// Decomposes the symmetric matrix Mat (order n = NrOfColumns; its diagonal and the elements
/// above it are read, cells beyond its rows read 0) into the eigen store, replacing it.
/// Eigenvalues are not sorted. The elements of Mat above the diagonal are overwritten (0 at
/// convergence; OnChange once). False when n > 10000, after 100 sweeps without convergence
/// or when aborted. Clears AbortMathProc; progress per sweep and per pair, abort polled
/// before each pair. Raises ENUVMath2Error "CalcEigVec: not enough memory".
NUV_API bool CalcEigVec(TMatrix* Mat);

/// Comp = 0: eigenvalue EigNr; Comp = 1..n: component Comp of eigenvector EigNr.
/// 0 when the store is empty or an index is outside its range.
NUV_API double GetEigenResult(int32_t EigNr, int32_t Comp);

/// The order of the stored decomposition; 0 when the store is empty.
NUV_API int32_t GetEigenSize();

/// Frees the eigen store.
NUV_API void RemoveEigenMatrix();

}  // namespace nuv
