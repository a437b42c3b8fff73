#include "Nuv_math2/princomp.h"

#include <algorithm>
#include <cmath>

#include "Nuv_math2/covariance.h"
#include "Nuv_math2/eigen.h"
#include "Nuv_math2/eigen_store.h"

namespace nuv {

bool CalcPrincComp(const TMatrix* DataMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                   int32_t HighRow, int32_t CovType, bool ScaleEigVals) {
  const int64_t order = int64_t{HighCol} - LowCol + 1;
  if (order > 10000) return false;
  TMatrix cov(nullptr);
  cov.Resize(static_cast<int32_t>(std::max<int64_t>(order, 0)),
             static_cast<int32_t>(std::max<int64_t>(order, 0)));
  if (!CalcCovar(DataMat, &cov, LowCol, HighCol, LowRow, HighRow, CovType)) return false;
  if (!CalcEigVec(&cov)) return false;

  detail::TEigenStore& store = detail::EigenStore();
  const size_t n = static_cast<size_t>(store.N);
  double* d = store.Values.data();
  if (ScaleEigVals) {
    double sum = 0.0;
    for (size_t k = 0; k < n; ++k) sum += std::fabs(d[k]);
    if (sum != 0.0)
      for (size_t k = 0; k < n; ++k) d[k] /= sum;
  }
  for (size_t i = 0; i < n; ++i) {
    size_t best = i;
    double top = 0.0;
    bool found = false;
    for (size_t j = i; j < n; ++j)
      if (d[j] > top) {
        top = d[j];
        best = j;
        found = true;
      }
    if (found && best != i) {
      std::swap(d[i], d[best]);
      std::swap_ranges(store.Vectors.begin() + static_cast<std::ptrdiff_t>(i * n),
                       store.Vectors.begin() + static_cast<std::ptrdiff_t>((i + 1) * n),
                       store.Vectors.begin() + static_cast<std::ptrdiff_t>(best * n));
    }
  }
  return true;
}

bool CalcPrincComp(const TMatrix* DataMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                   int32_t HighRow, int32_t CovType) {
  return CalcPrincComp(DataMat, LowCol, HighCol, LowRow, HighRow, CovType, true);
}

}  // namespace nuv
