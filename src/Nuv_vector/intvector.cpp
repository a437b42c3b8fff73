#include "Nuv_vector/intvector.h"

namespace nuv {

TIntVector::TIntVector(TComponent* AOwner) : TVectorCore<int32_t>(AOwner) {}

void TIntVector::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TIntVector*>(Source)) {
    AssignCore(*src);
    return;
  }
  TVectorCore<int32_t>::Assign(Source);
}

void TIntVector::AssignTo(TPersistent* Dest) {
  if (auto* dest = dynamic_cast<TIntVector*>(Dest)) {
    dest->Assign(this);
    return;
  }
  TVectorCore<int32_t>::AssignTo(Dest);
}

}  // namespace nuv
