// The shared vector code is compiled once here, for both element types. The
// operand types of the shared operations are the two vector classes themselves.
#include "Nuv_vector/intvector.h"
#include "Nuv_vector/vector.h"
#include "Nuv_vector/vector_arith.ipp"
#include "Nuv_vector/vector_core.ipp"
#include "Nuv_vector/vector_sort.ipp"
#include "Nuv_vector/vector_stats.ipp"

namespace nuv {

template class TVectorCore<double>;
template class TVectorCore<int32_t>;

}  // namespace nuv
