// Shared test helpers: named tolerances in units of epsilon, relative
// comparisons that print %.17g, and exact-message exception checks.
#pragma once

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <string>

namespace nuv_test {

inline constexpr double kTol0 = 2 * DBL_EPSILON;
inline constexpr double kTol1 = 16 * DBL_EPSILON;
inline constexpr double kTol2 = 256 * DBL_EPSILON;
inline constexpr double kTol3 = 2048 * DBL_EPSILON;
inline constexpr double kTol4 = 16384 * DBL_EPSILON;
inline constexpr double kTol5 = 131072 * DBL_EPSILON;
inline constexpr double kTol6 = 1048576 * DBL_EPSILON;

inline ::testing::AssertionResult RelNear(const char* ge, const char* we, const char*, double got,
                                          double want, double tol) {
  bool ok;
  if (std::isnan(want)) {
    ok = std::isnan(got);
  } else if (std::isinf(want)) {
    ok = got == want;
  } else {
    const double scale = std::fabs(want) > 1.0 ? std::fabs(want) : 1.0;
    ok = std::fabs(got - want) <= tol * scale;
  }
  if (ok) return ::testing::AssertionSuccess();
  char buf[256];
  std::snprintf(buf, sizeof buf, "%s = %.17g, %s = %.17g, relative tolerance %.3g", ge, got, we,
                want, tol);
  return ::testing::AssertionFailure() << buf;
}

}  // namespace nuv_test

/// |got - want| <= tol * max(1, |want|); NaN and infinities must match exactly.
#define EXPECT_REL_NEAR(got, want, tol) EXPECT_PRED_FORMAT3(::nuv_test::RelNear, got, want, tol)

/// The statement throws exactly type E (or a subclass) with message msg.
#define EXPECT_THROW_MSG(stmt, E, msg)                                       \
  do {                                                                       \
    bool nuv_thrown_ = false;                                                \
    try {                                                                    \
      stmt;                                                                  \
    } catch (const E& nuv_e_) {                                              \
      nuv_thrown_ = true;                                                    \
      EXPECT_EQ(std::string(nuv_e_.what()), std::string(msg));               \
    }                                                                        \
    EXPECT_TRUE(nuv_thrown_) << "expected " #E " from " #stmt;               \
  } while (0)
