// Scalar functions of the numeric utilities: table interpolation, primes and
// fractions, the factorial, random deviates of several distributions, angles,
// logarithms and trigonometric helpers, bounds and rectangles, rounding,
// bit and byte manipulation, plane distances.
#pragma once

#include "Nuv_math1/primes.h"
#include "Nuv_math1/random_deviates.h"
#include "Nuv_math1/scalar_bits.h"
#include "Nuv_math1/scalar_bounds.h"
#include "Nuv_math1/scalar_interpol.h"
#include "Nuv_math1/scalar_trig.h"
