#include "Nuv_math1/primes.h"

#include <array>
#include <cstdlib>
#include <numeric>

namespace nuv {

namespace {

constexpr int32_t kPrimeCount = 4792;
constexpr int32_t kSieveLimit = 46337;  // largest prime below sqrt(2^31)

struct PrimeTable {
  std::array<int32_t, kPrimeCount> p{};
};

// Sieve of Eratosthenes at compile time: the table costs nothing at run time.
constexpr PrimeTable MakePrimeTable() {
  std::array<bool, kSieveLimit + 1> composite{};
  for (int32_t i = 2; i * i <= kSieveLimit; ++i) {
    if (composite[i]) continue;
    for (int32_t j = i * i; j <= kSieveLimit; j += i) composite[j] = true;
  }
  PrimeTable t{};
  int32_t k = 0;
  for (int32_t i = 2; i <= kSieveLimit && k < kPrimeCount; ++i) {
    if (!composite[i]) t.p[k++] = i;
  }
  return t;
}

constexpr PrimeTable kPrimes = MakePrimeTable();
static_assert(kPrimes.p[0] == 2 && kPrimes.p[kPrimeCount - 1] == kSieveLimit,
              "the table ends at the largest prime below sqrt(2^31)");

constexpr int kMaxFactorial = 1000;

// Trial division covers the first primes (2..97); beyond them a strong
// probable-prime test decides.
constexpr int32_t kTrialPrimes = 25;

uint32_t PowMod(uint64_t b, uint32_t e, uint32_t m) {
  uint64_t r = 1;
  b %= m;
  for (; e != 0; e >>= 1) {
    if (e & 1u) r = r * b % m;
    b = b * b % m;
  }
  return static_cast<uint32_t>(r);
}

// Strong probable prime to base a, for odd m > a.
bool StrongProbablePrime(uint32_t m, uint32_t a) {
  uint32_t d = m - 1;
  int s = 0;
  while ((d & 1u) == 0) {
    d >>= 1;
    ++s;
  }
  uint64_t x = PowMod(a, d, m);
  if (x == 1 || x == m - 1) return true;
  for (int i = 1; i < s; ++i) {
    x = x * x % m;
    if (x == m - 1) return true;
  }
  return false;
}

// Primality of an m without factors up to 97 (so m > 97 is odd): the bases
// 2, 7 and 61 decide every m below 4759123141 (Jaeschke 1993), the same answer
// as trial division by every i up to sqrt(m).
bool PrimeWithoutSmallFactors(uint32_t m) {
  if (m < 97u * 97u) return true;
  return StrongProbablePrime(m, 2) && StrongProbablePrime(m, 7) && StrongProbablePrime(m, 61);
}

}  // namespace

int32_t ListOfPrimes(int32_t Index) {
  if (Index < 1 || Index > kPrimeCount) return 0;
  return kPrimes.p[Index - 1];
}

bool IsPrime(int32_t n) {
  // Any divisor in 2..sqrt|n| implies a prime divisor there.
  const uint32_t m = n < 0 ? 0u - static_cast<uint32_t>(n) : static_cast<uint32_t>(n);
  for (int32_t i = 0; i < kTrialPrimes; ++i) {
    const uint32_t p = static_cast<uint32_t>(kPrimes.p[i]);
    if (p * p > m) return true;
    if (m % p == 0) return false;
  }
  return PrimeWithoutSmallFactors(m);
}

TIntArray FindPrimeFactors(int32_t n) {
  TIntArray factors;
  if (n < 2) return factors;
  int32_t rest = n;
  for (int32_t i = 0; i < kPrimeCount; ++i) {
    const int32_t p = kPrimes.p[i];
    // Once p^2 exceeds the rest, the rest is 1 or a prime: no later table
    // prime can split it further, so stopping here gives the same factors.
    if (static_cast<int64_t>(p) * p > rest) break;
    while (rest % p == 0) {
      factors.push_back(p);
      rest /= p;
    }
    // A prime rest ends the search early with the same result.
    if (i == kTrialPrimes - 1 && PrimeWithoutSmallFactors(static_cast<uint32_t>(rest))) break;
  }
  if (rest > 1) factors.push_back(rest);
  return factors;
}

void CancelFraction(int32_t& Num, int32_t& Den) {
  // Repeated division by common divisors ends in lowest terms, i.e. division
  // by the greatest common divisor; a zero side never starts a division.
  const int64_t a = std::llabs(static_cast<int64_t>(Num));
  const int64_t b = std::llabs(static_cast<int64_t>(Den));
  if (a < 2 || b < 2) return;
  const int64_t g = std::gcd(a, b);
  if (g < 2) return;
  Num = static_cast<int32_t>(static_cast<int64_t>(Num) / g);
  Den = static_cast<int32_t>(static_cast<int64_t>(Den) / g);
}

Extended Factorial(int32_t n) {
  if (n < 0) RaiseFunctionError<ENUVMath1Error>("Factorial", "negative argument");
  if (n > kMaxFactorial) RaiseFunctionError<ENUVMath1Error>("Factorial", "argument too big");
  // The products 2*3*...*n are formed once, in the same order as a direct loop.
  static const std::array<Extended, kMaxFactorial + 1> table = [] {
    std::array<Extended, kMaxFactorial + 1> t{};
    t[0] = 1.0L;
    t[1] = 1.0L;
    for (int i = 2; i <= kMaxFactorial; ++i) t[i] = t[i - 1] * static_cast<Extended>(i);
    return t;
  }();
  return table[n];
}

}  // namespace nuv
