// Numeric utilities: plain-array statistics, selection, sorting and
// compensated summation; formatting and conversion of numbers and angles;
// scalar functions, primes, random numbers and bits.
#pragma once

#include "Nuv_math1/array_stats.h"
#include "Nuv_math1/formatting.h"
#include "Nuv_math1/scalar.h"
