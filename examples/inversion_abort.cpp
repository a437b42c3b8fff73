// Matrix inversion with a progress hook and an abort: Invert reports one
// progress step per column of the decomposition and of the solution, and
// stops when the hook (or another thread, or a signal handler) sets
// AbortMathProc.
#include <cmath>
#include <cstdio>

#include "Nuv_matrix/Nuv_matrix.h"

namespace {

// Largest deviation of A times B from the identity.
double DistanceFromIdentity(nuv::TMatrix& A, const nuv::TMatrix& B) {
  nuv::TMatrix product;
  A.Multiply(&B, &product);
  double worst = 0.0;
  for (int32_t c = 1; c <= product.NrOfColumns(); ++c)
    for (int32_t r = 1; r <= product.NrOfRows(); ++r)
      worst = std::fmax(worst, std::fabs(product.GetVal(c, r) - (c == r ? 1.0 : 0.0)));
  return worst;
}

}  // namespace

int main() {
  constexpr int32_t n = 400;
  nuv::SetRandSeed(7);
  nuv::TMatrix a;
  a.Resize(n, n);
  a.FillRandomUniform(-1.0, 1.0);
  a.FillDiag(n);  // diagonally dominant, so safely invertible

  // A progress line at every quarter of the 2n steps (n columns of the
  // decomposition, n columns of the solution).
  const double start = nuv::ProcStat;
  int quarter = 0;
  nuv::MathFeedBackProc = [&](double stat) {
    const int q = static_cast<int>(4.0 * (stat - start) / (2.0 * n));
    if (q > quarter) {
      quarter = q;
      std::printf("  inverting: %d %%\n", 25 * q);
    }
  };
  nuv::TMatrix inv;
  inv.Clone(&a);
  const bool inverted = inv.Invert();
  const double error = DistanceFromIdentity(a, inv);
  std::printf("Invert of a %d x %d matrix: %s, |A * inv(A) - I| = %.2e\n", n, n,
              inverted ? "done" : "failed", error);

  // The same inversion, stopped by the hook once a third of the steps are done.
  const double restart = nuv::ProcStat;
  double steps = 0;
  nuv::MathFeedBackProc = [&](double stat) {
    steps = stat - restart;
    if (steps >= 2.0 * n / 3.0) nuv::AbortMathProc = true;
  };
  nuv::TMatrix second;
  second.Clone(&a);
  const bool finished = second.Invert();
  nuv::MathFeedBackProc = nullptr;
  const bool abortSeen = nuv::AbortMathProc;
  nuv::ClearAbort();
  // After an abort the matrix holds partial LU factors, not its inverse.
  std::printf("Invert with an abort request: %s after %.0f of %d steps\n",
              finished ? "finished" : "stopped", steps, 2 * n);
  return inverted && error < 1e-12 && !finished && abortSeen ? 0 : 1;
}
