// Locale-free number text and the base library's string helpers.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/nuv_export.h"

namespace nuv {

/// Fixed-point text of x with Decimals digits after "." (none and no point for
/// Decimals <= 0), a "-" when x < 0, right-aligned with blanks to at least
/// Width characters. NaN and infinities give "NaN", "Inf" and "-Inf".
NUV_API std::string strff(double x, int32_t Width, int32_t Decimals);

}  // namespace nuv
