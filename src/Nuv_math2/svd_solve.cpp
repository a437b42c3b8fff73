#include "Nuv_math2/svd_solve.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "Nuv_math2/block_copy.h"

namespace nuv {

namespace {

[[noreturn]] void RaiseNoMemory(const char* Func) {
  RaiseFunctionError<ENUVMath2Error>(Func, "not enough memory");
}

}  // namespace

bool SingValDecomp(TMatrix* A, TVector* W, TMatrix* V) {
  if (A == nullptr || W == nullptr || V == nullptr || A->NrOfColumns() <= 0) return false;
  const int32_t m = A->NrOfRows(), n = A->NrOfColumns();
  bool ok;
  try {
    std::vector<double> w(static_cast<size_t>(n)), v(static_cast<size_t>(n) * n);
    ok = SingValDecompCore(A->ColData(1), A->ColStride(), m, n, w.data(), v.data(), n);
    W->Resize(n);
    V->Resize(n, n);
    std::copy(w.begin(), w.end(), W->Data());
    for (int32_t c = 0; c < n; ++c)
      std::copy(v.begin() + static_cast<std::ptrdiff_t>(c) * n,
                v.begin() + static_cast<std::ptrdiff_t>(c + 1) * n, V->ColData(c + 1));
  } catch (const std::bad_alloc&) {
    RaiseNoMemory("SingValDecomp");
  } catch (const ENUVError&) {
    RaiseNoMemory("SingValDecomp");
  }
  A->Changed();
  W->Changed();
  V->Changed();
  return ok;
}

bool SingValEquSolve(const TMatrix* A, const TVector* b, TVector* x, TVector* StdErr,
                     bool& NearSingular) {
  NearSingular = false;
  if (A == nullptr || b == nullptr || x == nullptr) return false;
  const int32_t N = A->NrOfRows(), p = A->NrOfColumns();
  if (N <= 0 || p <= 0 || b->NrOfElem() != N) return false;
  const size_t n = static_cast<size_t>(N), pp = static_cast<size_t>(p);
  std::vector<double> u, w, v, sol, se;
  try {
    if (!detail::CopyBlock(A, 1, p, 1, N, u)) throw std::bad_alloc();
    w.resize(pp);
    v.resize(pp * pp);
    sol.assign(pp, 0.0);
    se.assign(pp, 0.0);
  } catch (const std::bad_alloc&) {
    RaiseNoMemory("SingValEquSolve");
  }
  bool ok;
  try {
    ok = SingValDecompCore(u.data(), N, N, p, w.data(), v.data(), p);
  } catch (const std::bad_alloc&) {
    RaiseNoMemory("SingValEquSolve");
  }
  if (!ok) return false;
  double wmax = 0.0;
  for (double s : w) wmax = std::max(wmax, s);
  const double floor = wmax * 1e-14;
  for (double& s : w)
    if (s < floor) {
      s = 0.0;
      NearSingular = true;
    }
  // x = V diag(1/w) U^T b; the columns of U and V are contiguous.
  const double* bd = b->Data();
  for (size_t j = 0; j < pp; ++j) {
    if (w[j] == 0.0) continue;
    const double* uj = u.data() + j * n;
    double s = 0.0;
    for (size_t i = 0; i < n; ++i) s += uj[i] * bd[i];
    const double cj = s / w[j];
    const double inv2 = 1.0 / (w[j] * w[j]);
    const double* vj = v.data() + j * pp;
    for (size_t i = 0; i < pp; ++i) {
      sol[i] += vj[i] * cj;
      se[i] += vj[i] * vj[i] * inv2;
    }
  }
  x->Resize(p);
  std::copy(sol.begin(), sol.end(), x->Data());
  x->Changed();
  if (StdErr != nullptr) {
    StdErr->Resize(p);
    for (size_t i = 0; i < pp; ++i) StdErr->Data()[i] = std::sqrt(se[i]);
    StdErr->Changed();
  }
  return true;
}

bool PseudoInverse(const TMatrix* A, TMatrix*& PInv, double Thresh) {
  if (A == nullptr) return false;
  if (PInv == nullptr) PInv = new TMatrix(nullptr);
  const int32_t m = A->NrOfRows(), n = A->NrOfColumns();
  std::vector<double> u, w, v;
  // The copy comes first: PInv may be A itself.
  if (!detail::CopyBlock(A, 1, n, 1, m, u)) RaiseNoMemory("PseudoInverse");
  PInv->Resize(m, n);
  if (n <= 0 || m <= 0) {
    PInv->Fill(0.0);
    return true;
  }
  const size_t mm = static_cast<size_t>(m), nn = static_cast<size_t>(n);
  bool ok;
  try {
    w.resize(nn);
    v.resize(nn * nn);
    ok = SingValDecompCore(u.data(), m, m, n, w.data(), v.data(), n);
  } catch (const std::bad_alloc&) {
    RaiseNoMemory("PseudoInverse");
  }
  if (!ok) return false;
  double wmax = 0.0;
  for (double s : w) wmax = std::max(wmax, s);
  if (Thresh == 0.0) Thresh = static_cast<double>(std::max(m, n)) * wmax * 1.2e-16;
  for (size_t j = 0; j < nn; ++j) {
    const double f = std::fabs(w[j]) > Thresh ? 1.0 / w[j] : 0.0;
    double* vj = v.data() + j * nn;
    for (size_t i = 0; i < nn; ++i) vj[i] *= f;
  }
  // PInv (row r, column c) = sum_j V'(r, j) U(c, j): column c of PInv accumulates the
  // columns of V' weighted by row c of U, all over contiguous storage.
  for (size_t c = 0; c < mm; ++c) {
    double* out = PInv->ColData(static_cast<int32_t>(c + 1));
    std::fill(out, out + nn, 0.0);
    for (size_t j = 0; j < nn; ++j) {
      const double ucj = u[j * mm + c];
      if (ucj == 0.0) continue;
      const double* vj = v.data() + j * nn;
      for (size_t r = 0; r < nn; ++r) out[r] += vj[r] * ucj;
    }
  }
  PInv->Changed();
  return true;
}

}  // namespace nuv
