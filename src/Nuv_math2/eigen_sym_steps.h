// Internal: the stages of the symmetric eigensolver behind CalcSymEigen
// (reduction to tridiagonal form, the tridiagonal problem by divide and
// conquer, the back transformation) and the progress account they share.
#pragma once

#include <cstddef>

namespace nuv {
namespace detail {

/// Progress of one decomposition: each stage makes exactly its quota of steps, so a
/// caller that knows the order can show a percentage. Every step polls the abort flag.
class TEigenProgress {
 public:
  /// Makes steps until Done of the current stage's Quota are reached; true when aborted.
  bool Reach(double Done, size_t Quota);
  /// Completes the current stage's quota and starts the next one.
  bool FinishStage(size_t Quota);

 private:
  size_t FMade = 0;
};

/// Householder reduction of the symmetric n x n column-major matrix A (both triangles
/// valid) to tridiagonal form: diagonal d[n], off-diagonal e[n - 1], reflector factors
/// tau[n - 1]. Reflector j has zeros in rows 0..j, 1 in row j + 1 (stored there) and
/// A[j + 2.., j] below. False when aborted; memory failures throw std::bad_alloc.
bool ReduceToTridiagonal(double* A, size_t n, double* d, double* e, double* tau,
                         TEigenProgress& Progress);

/// Z := H(0) H(1) ... H(n - 2) Z for the reflectors left in A by ReduceToTridiagonal;
/// Z is n x n column-major. False when aborted.
bool ApplyReflectors(const double* A, size_t n, const double* tau, double* Z,
                     TEigenProgress& Progress);

/// Eigenvalues (into d, unsorted) and orthonormal eigenvectors (the columns of the n x n
/// column-major Z, which is overwritten) of the symmetric tridiagonal matrix with
/// diagonal d and off-diagonal e[n - 1] (destroyed). False when aborted or when an
/// implicit QL block fails to converge (non-finite input).
bool TridiagonalEigen(double* d, double* e, size_t n, double* Z, TEigenProgress& Progress);

}  // namespace detail
}  // namespace nuv
