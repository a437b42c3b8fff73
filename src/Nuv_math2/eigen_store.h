// Internal: the per-thread eigen store and the cyclic Jacobi kernel behind
// CalcEigVec, shared with the principal components and SIMPLS.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace nuv {
namespace detail {

/// Order n, n eigenvalues and n eigenvectors of n components each, vector after vector
/// (component k of vector p at p * n + k, both from 0).
struct TEigenStore {
  int32_t N = 0;
  std::vector<double> Values;
  std::vector<double> Vectors;
};

TEigenStore& EigenStore();

enum class TJacobiResult { Converged, NoConvergence, Aborted };

/// Cyclic Jacobi on the full symmetric n x n matrix A (column-major, both triangles kept
/// equal; its diagonal is read once and then left stale). D receives the eigenvalues,
/// V (n * n) the eigenvectors vector after vector. With Hooks, ProcStat and
/// MathFeedBackProc see every sweep and pair and AbortMathProc is polled before each pair.
TJacobiResult JacobiSweeps(double* A, size_t n, double* D, double* V, bool Hooks);

}  // namespace detail
}  // namespace nuv
