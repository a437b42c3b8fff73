// The shared vector code is compiled once here, for both element types.
#include "Nuv_vector/vector_arith.ipp"
#include "Nuv_vector/vector_core.ipp"
#include "Nuv_vector/vector_sort.ipp"
#include "Nuv_vector/vector_stats.ipp"

namespace nuv {

template class TVectorCore<double>;
template class TVectorCore<int32_t>;

}  // namespace nuv
