#include "Nuv_math1/kahan_sum.h"

namespace nuv {

TKahanSum::TKahanSum(TComponent* AOwner) : TComponent(AOwner) { Reset(); }

TKahanSum::~TKahanSum() = default;

}  // namespace nuv
