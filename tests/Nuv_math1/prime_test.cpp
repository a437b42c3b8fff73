#include <cstdint>
#include <limits>
#include <utility>

#include "Nuv_math1/scalar.h"
#include "common/test_util.h"

using namespace nuv;

TEST(ListOfPrimes, TableFacts) {
  // pi(46340) = 4792 and the 4792nd prime is 46337 (OEIS A000040, A000720);
  // p(100) = 541, p(1000) = 7919, p(1229) = 9973 and p(1230) = 10007 (pi(10^4) = 1229).
  EXPECT_EQ(ListOfPrimes(1), 2);
  EXPECT_EQ(ListOfPrimes(2), 3);
  EXPECT_EQ(ListOfPrimes(100), 541);
  EXPECT_EQ(ListOfPrimes(1000), 7919);
  EXPECT_EQ(ListOfPrimes(1229), 9973);
  EXPECT_EQ(ListOfPrimes(1230), 10007);
  EXPECT_EQ(ListOfPrimes(4792), 46337);
  EXPECT_EQ(ListOfPrimes(0), 0);
  EXPECT_EQ(ListOfPrimes(-1), 0);
  EXPECT_EQ(ListOfPrimes(4793), 0);
  EXPECT_EQ(ListOfPrimes(std::numeric_limits<int32_t>::min()), 0);
  for (int32_t i = 2; i <= 4792; ++i) ASSERT_LT(ListOfPrimes(i - 1), ListOfPrimes(i));
}

TEST(IsPrime, SmallLargeAndNegative) {
  EXPECT_TRUE(IsPrime(0));
  EXPECT_TRUE(IsPrime(1));
  EXPECT_TRUE(IsPrime(-1));
  EXPECT_TRUE(IsPrime(2));
  EXPECT_TRUE(IsPrime(-7));
  EXPECT_FALSE(IsPrime(4));
  EXPECT_FALSE(IsPrime(-9));
  EXPECT_FALSE(IsPrime(46337 * 46337));  // the square of the largest table prime
  // 2^31 - 1 and 2^31 - 19 are prime (tables of primes just below powers of two).
  EXPECT_TRUE(IsPrime(2147483647));
  EXPECT_TRUE(IsPrime(2147483629));
  EXPECT_FALSE(IsPrime(2147483646));
  EXPECT_FALSE(IsPrime(std::numeric_limits<int32_t>::min()));  // -2^31
  EXPECT_FALSE(IsPrime(-2147483645));                           // -(5 * 19 * 22605091)
}

TEST(FindPrimeFactors, NearTwoToThe31) {
  EXPECT_TRUE(FindPrimeFactors(1).empty());
  EXPECT_TRUE(FindPrimeFactors(0).empty());
  EXPECT_TRUE(FindPrimeFactors(-12).empty());
  EXPECT_EQ(FindPrimeFactors(2), (TIntArray{2}));
  EXPECT_EQ(FindPrimeFactors(12), (TIntArray{2, 2, 3}));
  EXPECT_EQ(FindPrimeFactors(97), (TIntArray{97}));
  EXPECT_EQ(FindPrimeFactors(2147483647), (TIntArray{2147483647}));
  // 2147483646 = 2 * 3^2 * 7 * 11 * 31 * 151 * 331, 2147483645 = 5 * 19 * 22605091
  // (sympy.factorint).
  EXPECT_EQ(FindPrimeFactors(2147483646), (TIntArray{2, 3, 3, 7, 11, 31, 151, 331}));
  EXPECT_EQ(FindPrimeFactors(2147483645), (TIntArray{5, 19, 22605091}));
  EXPECT_EQ(FindPrimeFactors(46337 * 46337), (TIntArray{46337, 46337}));
  // 2^30: thirty factors 2.
  EXPECT_EQ(FindPrimeFactors(1 << 30), TIntArray(30, 2));
}

TEST(CancelFraction, SignsAndZeros) {
  auto cancel = [](int32_t n, int32_t d) {
    CancelFraction(n, d);
    return std::pair<int32_t, int32_t>(n, d);
  };
  using P = std::pair<int32_t, int32_t>;
  EXPECT_EQ(cancel(6, -4), P(3, -2));
  EXPECT_EQ(cancel(-6, 4), P(-3, 2));
  EXPECT_EQ(cancel(-12, -18), P(-2, -3));
  EXPECT_EQ(cancel(0, 5), P(0, 5));
  EXPECT_EQ(cancel(5, 0), P(5, 0));
  EXPECT_EQ(cancel(7, 1), P(7, 1));
  EXPECT_EQ(cancel(-1, -1), P(-1, -1));
  // 2^31 - 1 is prime, 2^31 - 2 = 2 * 1073741823.
  EXPECT_EQ(cancel(2147483647, 2147483646), P(2147483647, 2147483646));
  EXPECT_EQ(cancel(2147483646, 4), P(1073741823, 2));
  const int32_t mn = std::numeric_limits<int32_t>::min();
  EXPECT_EQ(cancel(mn, mn), P(-1, -1));
  EXPECT_EQ(cancel(mn, 6), P(-1073741824, 3));
  EXPECT_EQ(cancel(mn, -1), P(mn, -1));
}

TEST(Factorial, ValuesAndLimits) {
  EXPECT_EQ(Factorial(0), 1.0L);
  EXPECT_EQ(Factorial(1), 1.0L);
  EXPECT_EQ(Factorial(5), 120.0L);
  // 20! = 2432902008176640000 fits the 64-bit significand exactly.
  EXPECT_EQ(Factorial(20), 2432902008176640000.0L);
  // 170!, 1000! from mpmath.factorial at 30 digits.
  EXPECT_REL_NEAR(static_cast<double>(Factorial(170)), 7.25741561530799896739672821113e306, 1e-15);
  const Extended f1000 = Factorial(1000) / 4.02387260077093773543702433923e2567L;
  EXPECT_NEAR(static_cast<double>(f1000), 1.0, 1e-15);
  EXPECT_THROW_MSG(Factorial(-1), ENUVMath1Error, "Factorial: negative argument");
  EXPECT_THROW_MSG(Factorial(std::numeric_limits<int32_t>::min()), ENUVMath1Error,
                   "Factorial: negative argument");
  EXPECT_THROW_MSG(Factorial(1001), ENUVMath1Error, "Factorial: argument too big");
  EXPECT_NO_THROW(Factorial(1000));
}
