#include "Nuv_complex/complex_types.h"

namespace nuv {

thread_local Extended CpxNearZero = 1e-15L;

}  // namespace nuv
