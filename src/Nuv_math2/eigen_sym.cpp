#include "Nuv_math2/eigen_sym.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <numeric>
#include <vector>

#include "Nuv_math2/eigen.h"
#include "Nuv_math2/eigen_store.h"
#include "Nuv_math2/eigen_sym_steps.h"
#include "foundation/progress.h"

namespace nuv {

namespace detail {

bool TEigenProgress::Reach(double Done, size_t Quota) {
  const size_t target = Done >= static_cast<double>(Quota) ? Quota : static_cast<size_t>(Done);
  while (FMade < target) {
    ++FMade;
    if (ProgressStepAborted()) return true;
  }
  return AbortRequested();
}

bool TEigenProgress::FinishStage(size_t Quota) {
  const bool aborted = Reach(static_cast<double>(Quota), Quota);
  FMade = 0;
  return aborted;
}

}  // namespace detail

namespace {

[[noreturn]] void RaiseNoMemory() {
  RaiseFunctionError<ENUVMath2Error>("CalcSymEigen", "not enough memory");
}

// Unit length, and the component of largest magnitude positive (the first of those
// within a relative 1e-9 of it, so rounding cannot flip the choice between near ties).
void NormalizeAndSign(double* v, size_t n) {
  double s = 0.0, big = 0.0;
  for (size_t k = 0; k < n; ++k) {
    s += v[k] * v[k];
    big = std::max(big, std::fabs(v[k]));
  }
  if (s == 0.0) return;
  double scale = 1.0 / std::sqrt(s);
  for (size_t k = 0; k < n; ++k) {
    if (std::fabs(v[k]) >= big * (1.0 - 1e-9)) {
      if (v[k] < 0.0) scale = -scale;
      break;
    }
  }
  for (size_t k = 0; k < n; ++k) v[k] *= scale;
}

}  // namespace

bool CalcSymEigen(const TMatrix* Mat) {
  RemoveEigenMatrix();
  ClearAbort();
  if (Mat == nullptr) return false;
  const size_t n = static_cast<size_t>(std::max(Mat->NrOfColumns(), 0));
  std::vector<double> a, z, d, e, tau;
  if (!TryAllocate(a, n * n, 0.0) || !TryAllocate(z, n * n, 0.0) || !TryAllocate(d, n, 0.0) ||
      !TryAllocate(e, n, 0.0) || !TryAllocate(tau, n, 0.0))
    RaiseNoMemory();

  // The upper triangle and the diagonal, mirrored into a whole symmetric matrix.
  const size_t rows = static_cast<size_t>(std::max(Mat->NrOfRows(), 0));
  double big = 0.0;
  for (size_t c = 0; c < n; ++c) {
    const double* col = Mat->ColData(static_cast<int32_t>(c + 1));
    const size_t top = std::min(c + 1, rows);
    for (size_t r = 0; r < top; ++r) {
      if (!std::isfinite(col[r])) return false;
      a[c * n + r] = a[r * n + c] = col[r];
      big = std::max(big, std::fabs(col[r]));
    }
  }
  // Scaled by a power of two (exact) to a largest element in [0.5, 1), so that no square
  // or product of the reduction over- or underflows.
  int exponent = 0;
  if (big > 0.0) std::frexp(big, &exponent);
  const double scale = std::ldexp(1.0, -exponent);
  if (exponent != 0)
    for (double& x : a) x *= scale;

  detail::TEigenProgress progress;
  try {
    if (!detail::ReduceToTridiagonal(a.data(), n, d.data(), e.data(), tau.data(), progress) ||
        !detail::TridiagonalEigen(d.data(), e.data(), n, z.data(), progress) ||
        !detail::ApplyReflectors(a.data(), n, tau.data(), z.data(), progress))
      return false;
  } catch (const std::bad_alloc&) {
    RaiseNoMemory();
  }
  std::vector<double>().swap(a);

  std::vector<size_t> order(n);
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) { return d[x] > d[y]; });
  detail::TEigenStore& store = detail::EigenStore();
  std::vector<double> values, vectors;
  if (!TryAllocate(values, n, 0.0) || !TryAllocateUninit(vectors, n * n)) RaiseNoMemory();
  for (size_t p = 0; p < n; ++p) {
    values[p] = std::ldexp(d[order[p]], exponent);
    double* v = vectors.data() + p * n;
    std::copy(z.data() + order[p] * n, z.data() + (order[p] + 1) * n, v);
    NormalizeAndSign(v, n);
  }
  store.Values.swap(values);
  store.Vectors.swap(vectors);
  store.N = static_cast<int32_t>(n);
  return true;
}

}  // namespace nuv
