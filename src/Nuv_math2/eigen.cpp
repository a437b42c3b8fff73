#include "Nuv_math2/eigen.h"

#include <algorithm>

#include "Nuv_math2/eigen_store.h"

namespace nuv {

namespace detail {

TEigenStore& EigenStore() {
  static thread_local TEigenStore store;
  return store;
}

}  // namespace detail

namespace {

[[noreturn]] void RaiseNoMemory() {
  RaiseFunctionError<ENUVMath2Error>("CalcEigVec", "not enough memory");
}

}  // namespace

bool CalcEigVec(TMatrix* Mat) {
  if (Mat == nullptr) return false;
  const int32_t order = Mat->NrOfColumns();
  // The working arrays of the method were always limited to this order.
  if (order > 10000) return false;
  const size_t n = static_cast<size_t>(order);
  detail::TEigenStore& store = detail::EigenStore();
  std::vector<double> values, vectors, work;
  if (!TryAllocate(values, n, 0.0) || !TryAllocate(vectors, n * n, 0.0) ||
      !TryAllocate(work, n * n, 0.0))
    RaiseNoMemory();
  store.Values.swap(values);
  store.Vectors.swap(vectors);
  store.N = order;
  ClearAbort();

  // The upper triangle and the diagonal, mirrored into a whole symmetric matrix.
  const size_t rows = static_cast<size_t>(std::max(Mat->NrOfRows(), 0));
  for (size_t c = 0; c < n; ++c) {
    const double* col = Mat->ColData(static_cast<int32_t>(c + 1));
    const size_t top = std::min(c + 1, rows);
    for (size_t r = 0; r < top; ++r) work[c * n + r] = work[r * n + c] = col[r];
  }
  const detail::TJacobiResult res =
      detail::JacobiSweeps(work.data(), n, store.Values.data(), store.Vectors.data(), true);

  for (size_t c = 1; c < n; ++c) {
    double* col = Mat->ColData(static_cast<int32_t>(c + 1));
    const size_t top = std::min(c, rows);
    std::copy(work.data() + c * n, work.data() + c * n + top, col);
  }
  Mat->Changed();
  return res == detail::TJacobiResult::Converged;
}

double GetEigenResult(int32_t EigNr, int32_t Comp) {
  const detail::TEigenStore& store = detail::EigenStore();
  if (store.N <= 0 || EigNr < 1 || EigNr > store.N || Comp < 0 || Comp > store.N) return 0.0;
  const size_t n = static_cast<size_t>(store.N);
  if (Comp == 0) return store.Values[static_cast<size_t>(EigNr - 1)];
  return store.Vectors[static_cast<size_t>(EigNr - 1) * n + static_cast<size_t>(Comp - 1)];
}

int32_t GetEigenSize() { return detail::EigenStore().N; }

void RemoveEigenMatrix() {
  detail::TEigenStore& store = detail::EigenStore();
  std::vector<double>().swap(store.Values);
  std::vector<double>().swap(store.Vectors);
  store.N = 0;
}

}  // namespace nuv
