// Element sort of the vector classes. Included by vector_instantiate.cpp only.
#include "Nuv_math1/sort_comb.h"
#include "Nuv_vector/vector_core.h"

namespace nuv {

template <class T>
void TVectorCore<T>::SortElems(bool Ascending, int32_t RangeFirst, int32_t RangeLast) {
  MakeValidElemRange(RangeFirst, RangeLast);
  const int32_t n = RangeLast - RangeFirst + 1;
  if (n < 2) return;
  T* base = FVec.data() + (RangeFirst - 1);
  // The gap starts at the span of the range, and element sorts report no progress.
  const int32_t startGap = RangeLast - RangeFirst;
  auto noProgress = [] {};
  if (FOnSortExchange) {
    detail::CombSortEvents(base, n, startGap, Ascending, noProgress, [&](int32_t i, int32_t j) {
      SortExchange(0, RangeFirst + i, RangeFirst + j, 0, 0);
    });
  } else {
    detail::CombSort(base, n, startGap, Ascending, noProgress);
  }
  Changed();
}

}  // namespace nuv
