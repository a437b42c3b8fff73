// Primes, prime factors, fractions in lowest terms and the factorial.
#pragma once

#include "foundation/frame.h"

namespace nuv {

/// The Index-th prime (ListOfPrimes(1) = 2, ListOfPrimes(4792) = 46337); 0 outside 1..4792.
NUV_API int32_t ListOfPrimes(int32_t Index);

/// True unless some i in 2..floor(sqrt(|n|)) divides n; so 0, 1, -1 and
/// negated primes count as prime.
NUV_API bool IsPrime(int32_t n);

/// Prime factors of n in ascending order with repetition (12 gives 2, 2, 3);
/// empty for n < 2.
NUV_API TIntArray FindPrimeFactors(int32_t n);

/// Reduces Num/Den to lowest terms, each keeping its sign. A zero on either
/// side leaves both unchanged.
NUV_API void CancelFraction(int32_t& Num, int32_t& Den);

/// n! in extended precision, 1 for n < 2.
/// Raises ENUVMath1Error for n < 0 ("Factorial: negative argument") and for
/// n > 1000 ("Factorial: argument too big").
NUV_API Extended Factorial(int32_t n);

}  // namespace nuv
