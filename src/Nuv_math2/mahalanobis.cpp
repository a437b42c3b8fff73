#include "Nuv_math2/mahalanobis.h"

#include <cmath>
#include <vector>

namespace nuv {

namespace {

[[noreturn]] void Raise(const char* Text) {
  RaiseFunctionError<ENUVVectorError>("MahalanobisDistance", Text);
}

}  // namespace

double MahalanobisDistance(const TVector* x, const TVector* y, const TMatrix* InvCov) {
  if (x == nullptr || y == nullptr || x->NrOfElem() != y->NrOfElem())
    Raise("dimensions of vectors do not match");
  if (InvCov != nullptr && InvCov->NrOfColumns() != InvCov->NrOfRows())
    Raise("inverse covariance matrix is not quadratric");
  if (InvCov == nullptr || InvCov->NrOfColumns() != x->NrOfElem())
    Raise("dimension of vectors and inverse covariance matrix do not match");
  const size_t n = static_cast<size_t>(x->NrOfElem());
  std::vector<double> diff(n), w(n, 0.0);
  for (size_t k = 0; k < n; ++k) diff[k] = x->Data()[k] - y->Data()[k];
  // w = InvCov^T-side product accumulated column by column, over contiguous storage.
  for (size_t j = 0; j < n; ++j) {
    const double* col = InvCov->ColData(static_cast<int32_t>(j + 1));
    const double dj = diff[j];
    for (size_t i = 0; i < n; ++i) w[i] += col[i] * dj;
  }
  double d2 = 0.0;
  for (size_t i = 0; i < n; ++i) d2 += diff[i] * w[i];
  if (d2 < 0.0) Raise("the inverse covariance matrix must be symmetric and positive definite");
  return std::sqrt(d2);
}

}  // namespace nuv
