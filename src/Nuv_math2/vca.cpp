#include "Nuv_math2/vca.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <numeric>
#include <vector>

#include "Nuv_math1/random_deviates.h"
#include "Nuv_math2/block_copy.h"
#include "Nuv_math2/eigen_store.h"

namespace nuv {

namespace {

using Vec = std::vector<double>;

double Dot(const double* a, const double* b, size_t n) {
  double s = 0.0;
  for (size_t k = 0; k < n; ++k) s += a[k] * b[k];
  return s;
}

}  // namespace

bool VertexCompAnalysis(const TMatrix* Data, int32_t NumEndMembers, TIntVector* Indices,
                        TMatrix* EndMembers) {
  ClearAbort();
  if (Data == nullptr || Indices == nullptr) return false;
  const int32_t rows = Data->NrOfRows(), cols = Data->NrOfColumns();
  if (NumEndMembers < 1 || NumEndMembers > std::min(rows, cols)) return false;
  const size_t N = static_cast<size_t>(rows), L = static_cast<size_t>(cols),
               p = static_cast<size_t>(NumEndMembers);

  Vec x, G, D, E, Y, basis, f;
  std::vector<int32_t> found;
  try {
    if (!detail::CopyBlock(Data, 1, cols, 1, rows, x)) throw std::bad_alloc();
    G.resize(L * L);
    D.resize(L);
    E.resize(L * L);
    Y.resize(p * N);
    basis.reserve(p * p);
    f.resize(p);
  } catch (const std::bad_alloc&) {
    RaiseFunctionError<ENUVMath2Error>("VertexCompAnalysis", "not enough memory");
  }
  // Leading eigenvectors of the second-moment matrix X^T X / N span the signal subspace.
  for (size_t i = 0; i < L; ++i)
    for (size_t j = 0; j <= i; ++j)
      G[j * L + i] = G[i * L + j] =
          Dot(x.data() + i * N, x.data() + j * N, N) / static_cast<double>(N);
  if (detail::JacobiSweeps(G.data(), L, D.data(), E.data(), false) !=
      detail::TJacobiResult::Converged)
    return false;
  std::vector<size_t> order(L);
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return D[a] > D[b]; });

  // Y (p x N, one object per column) = Ud^T x_i, then divided by its component along the
  // mean direction, which puts every object on one hyperplane.
  for (size_t k = 0; k < p; ++k) {
    const double* e = E.data() + order[k] * L;
    for (size_t i = 0; i < N; ++i) {
      double s = 0.0;
      for (size_t c = 0; c < L; ++c) s += x[c * N + i] * e[c];
      Y[i * p + k] = s;
    }
  }
  Vec mean(p, 0.0);
  for (size_t i = 0; i < N; ++i)
    for (size_t k = 0; k < p; ++k) mean[k] += Y[i * p + k] / static_cast<double>(N);
  // One endmember is simply the most extreme object along the leading direction.
  for (size_t i = 0; i < N && p > 1; ++i) {
    double* yi = Y.data() + i * p;
    const double s = Dot(yi, mean.data(), p);
    if (s != 0.0 && std::isfinite(s))
      for (size_t k = 0; k < p; ++k) yi[k] /= s;
  }

  for (size_t e = 0; e < p; ++e) {
    if (ProgressStepAborted()) return false;
    // A random direction with its part in the span of the vertices found removed (before
    // the first one, the span of the last unit vector).
    for (size_t k = 0; k < p; ++k) f[k] = GRandom();
    const size_t nb = basis.size() / p;
    for (int pass = 0; pass < 2; ++pass)
      for (size_t b = 0; b < nb; ++b) {
        const double* q = basis.data() + b * p;
        const double c = Dot(q, f.data(), p);
        for (size_t k = 0; k < p; ++k) f[k] -= c * q[k];
      }
    if (e == 0 && p > 1) f[p - 1] = 0.0;
    size_t best = 0;
    double top = -1.0;
    for (size_t i = 0; i < N; ++i) {
      const double v = std::fabs(Dot(f.data(), Y.data() + i * p, p));
      if (v > top) {
        top = v;
        best = i;
      }
    }
    found.push_back(static_cast<int32_t>(best + 1));
    // Extend the orthonormal basis by the new vertex.
    Vec q(Y.begin() + static_cast<std::ptrdiff_t>(best * p),
          Y.begin() + static_cast<std::ptrdiff_t>((best + 1) * p));
    for (int pass = 0; pass < 2; ++pass)
      for (size_t b = 0; b < nb; ++b) {
        const double* o = basis.data() + b * p;
        const double c = Dot(o, q.data(), p);
        for (size_t k = 0; k < p; ++k) q[k] -= c * o[k];
      }
    const double nq = std::sqrt(Dot(q.data(), q.data(), p));
    if (nq > 0.0) {
      for (double& c : q) c /= nq;
      basis.insert(basis.end(), q.begin(), q.end());
    }
  }

  Indices->Resize(NumEndMembers);
  std::copy(found.begin(), found.end(), Indices->Data());
  Indices->Changed();
  if (EndMembers != nullptr) {
    EndMembers->Resize(cols, NumEndMembers);
    for (size_t k = 0; k < p; ++k)
      for (size_t c = 0; c < L; ++c)
        EndMembers->ColData(static_cast<int32_t>(c + 1))[k] =
            x[c * N + static_cast<size_t>(found[k] - 1)];
    EndMembers->Changed();
  }
  return true;
}

}  // namespace nuv
