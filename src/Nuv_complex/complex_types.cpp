#include "Nuv_complex/complex_types.h"

namespace nuv {

Extended CpxNearZero = 1e-15L;

}  // namespace nuv
