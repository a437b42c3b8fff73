// Number text in both directions: fixed, scientific, engineering and exponent
// layouts, angles, radix and Roman numerals, floating-point bit patterns,
// 1-2-5 rounding and axis ticks, and the readers that invert them.
#pragma once

#include "Nuv_math1/format_degrees.h"
#include "Nuv_math1/format_numbers.h"
#include "Nuv_math1/format_radix.h"
#include "Nuv_math1/format_scale.h"
#include "Nuv_math1/scan_datetime.h"
#include "Nuv_math1/scan_numbers.h"
