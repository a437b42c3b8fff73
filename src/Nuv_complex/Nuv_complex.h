// Complex numbers in rectangular and polar form, in extended precision:
// the records and constants, arithmetic, comparison with a tolerance, and the
// conversion between the two forms.
#pragma once

#include "Nuv_complex/complex_arith.h"
#include "Nuv_complex/complex_compare.h"
#include "Nuv_complex/complex_polar.h"
#include "Nuv_complex/complex_types.h"
