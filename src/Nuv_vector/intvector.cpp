#include "Nuv_vector/intvector.h"

namespace nuv {

TIntVector::TIntVector(TComponent* AOwner) : TVectorCore<int32_t>(AOwner) {}

}  // namespace nuv
