#include <limits>
#include <utility>

#include "Nuv_math1/scalar.h"
#include "common/test_util.h"

using namespace nuv;

TEST(Primes, TableAndIsPrime) {
  // pi(46340) = 4792 and p(4792) = 46337; p(1000) = 7919, p(1230) = 10007 (OEIS A000040).
  EXPECT_EQ(ListOfPrimes(1), 2);
  EXPECT_EQ(ListOfPrimes(1000), 7919);
  EXPECT_EQ(ListOfPrimes(1230), 10007);
  EXPECT_EQ(ListOfPrimes(4792), 46337);
  EXPECT_EQ(ListOfPrimes(0), 0);
  EXPECT_EQ(ListOfPrimes(4793), 0);
  EXPECT_TRUE(IsPrime(1));
  EXPECT_TRUE(IsPrime(-7));
  EXPECT_FALSE(IsPrime(-9));
  // 2^31 - 1 and 2^31 - 19 are prime; 46337^2 is the largest square of a table prime.
  EXPECT_TRUE(IsPrime(2147483647));
  EXPECT_TRUE(IsPrime(2147483629));
  EXPECT_FALSE(IsPrime(46337 * 46337));
  // Composites that fool weak tests: 25326001 = 2251 * 11251 is a strong pseudoprime
  // to the bases 2, 3 and 5 (Pomerance, Selfridge, Wagstaff 1980); 2146654199 = 46327 * 46337.
  EXPECT_FALSE(IsPrime(25326001));
  EXPECT_FALSE(IsPrime(-2146654199));
  EXPECT_FALSE(IsPrime(std::numeric_limits<int32_t>::min()));
}

TEST(Primes, FactorsNearTwoToThe31) {
  EXPECT_TRUE(FindPrimeFactors(1).empty());
  EXPECT_EQ(FindPrimeFactors(12), (TIntArray{2, 2, 3}));
  EXPECT_EQ(FindPrimeFactors(2147483647), (TIntArray{2147483647}));
  // sympy.factorint: 2147483646 = 2 3^2 7 11 31 151 331, 2147483645 = 5 19 22605091.
  EXPECT_EQ(FindPrimeFactors(2147483646), (TIntArray{2, 3, 3, 7, 11, 31, 151, 331}));
  EXPECT_EQ(FindPrimeFactors(2147483645), (TIntArray{5, 19, 22605091}));
  EXPECT_EQ(FindPrimeFactors(46337 * 46337), (TIntArray{46337, 46337}));
  EXPECT_EQ(FindPrimeFactors(25326001), (TIntArray{2251, 11251}));
  EXPECT_EQ(FindPrimeFactors(2 * 1073741789), (TIntArray{2, 1073741789}));  // 2^30 - 35 is prime
  EXPECT_EQ(FindPrimeFactors(1 << 30), TIntArray(30, 2));
}

TEST(Primes, CancelFractionSigns) {
  using P = std::pair<int32_t, int32_t>;
  auto cancel = [](int32_t n, int32_t d) {
    CancelFraction(n, d);
    return P(n, d);
  };
  const int32_t mn = std::numeric_limits<int32_t>::min();
  EXPECT_EQ(cancel(6, -4), P(3, -2));
  EXPECT_EQ(cancel(-12, -18), P(-2, -3));
  EXPECT_EQ(cancel(0, 5), P(0, 5));
  EXPECT_EQ(cancel(2147483646, 4), P(1073741823, 2));
  EXPECT_EQ(cancel(mn, mn), P(-1, -1));
  EXPECT_EQ(cancel(mn, 6), P(-1073741824, 3));
  EXPECT_EQ(cancel(mn, -1), P(mn, -1));
}

TEST(Primes, Factorial) {
  EXPECT_EQ(Factorial(0), 1.0L);
  EXPECT_EQ(Factorial(20), 2432902008176640000.0L);  // exact in 64 significand bits
  // 1000! = 4.02387260077093773543702433923e2567 (mpmath.factorial).
  EXPECT_NEAR(static_cast<double>(Factorial(1000) / 4.02387260077093773543702433923e2567L), 1.0,
              1e-15);
  EXPECT_THROW_MSG(Factorial(-1), ENUVMath1Error, "Factorial: negative argument");
  EXPECT_THROW_MSG(Factorial(1001), ENUVMath1Error, "Factorial: argument too big");
}
