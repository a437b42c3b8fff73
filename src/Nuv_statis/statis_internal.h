// Extended-precision cores of the quick approximations, shared by the normal
// distribution and the hypergeometric density. Internal to the library.
#pragma once

#include "foundation/types.h"

namespace nuv {
namespace statis_detail {

/// The six-term Lanczos ln Gamma; 0 for x <= 0.
Extended LnGammaExt(Extended x);

/// P(a, x) and Q(a, x) of the quick incomplete gamma, each taken from the
/// branch that computes it (the series gives P, the fraction Q).
struct TGammaPair {
  Extended P = 0;
  Extended Q = 1;
};
TGammaPair IncompleteGammaExt(Extended x, Extended a);

}  // namespace statis_detail
}  // namespace nuv
