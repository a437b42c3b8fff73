// Shared test helpers: named tolerances in units of epsilon, relative and
// absolute comparisons that print %.17g, and exact-message exception checks.
//
// Three comparisons, each meaning what its name says:
//   EXPECT_REL_NEAR(got, want, tol)               |got - want| <= tol * |want|
//   EXPECT_REL_NEAR_FLOOR(got, want, tol, floor)  |got - want| <= max(tol * |want|, floor)
//   EXPECT_ABS_NEAR(got, want, tol)               |got - want| <= tol
// The relative check stays relative below 1: want = 1e-300 with kTol2 allows
// an error of about 5.7e-312, not 5.7e-14. want = 0 therefore demands got = 0
// exactly; where the true value is 0 (or so close to 0 that cancellation
// decides the error) use the floor form with a named constant for the floor,
// or the absolute check when only an absolute bound makes sense. In all three
// a NaN want requires a NaN got and an infinite want the same infinity.
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

namespace detail {

// NaN and infinities compare exactly; returns true when that decided (ok set).
inline bool SpecialValuesDecide(double got, double want, bool& ok) {
  if (std::isnan(want)) {
    ok = std::isnan(got);
    return true;
  }
  if (std::isinf(want)) {
    ok = got == want;
    return true;
  }
  return false;
}

inline ::testing::AssertionResult NearFailure(const char* ge, const char* we, double got,
                                              double want, const char* what, double rel,
                                              double abs) {
  char buf[384];
  const double err = std::fabs(got - want);
  if (abs < 0) {
    std::snprintf(buf, sizeof buf,
                  "%s = %.17g, %s = %.17g, error %.3g (relative %.3g), %s %.3g", ge, got, we,
                  want, err, want != 0 ? err / std::fabs(want) : err, what, rel);
  } else {
    std::snprintf(buf, sizeof buf,
                  "%s = %.17g, %s = %.17g, error %.3g (relative %.3g), %s %.3g, floor %.3g", ge,
                  got, we, want, err, want != 0 ? err / std::fabs(want) : err, what, rel, abs);
  }
  return ::testing::AssertionFailure() << buf;
}

}  // namespace detail

/// |got - want| <= tol * |want|.
inline ::testing::AssertionResult RelNear(const char* ge, const char* we, const char*, double got,
                                          double want, double tol) {
  bool ok;
  if (!detail::SpecialValuesDecide(got, want, ok)) {
    ok = std::fabs(got - want) <= tol * std::fabs(want);
  }
  if (ok) return ::testing::AssertionSuccess();
  return detail::NearFailure(ge, we, got, want, "relative tolerance", tol, -1);
}

/// |got - want| <= max(tol * |want|, floor).
inline ::testing::AssertionResult RelNearFloor(const char* ge, const char* we, const char*,
                                               const char*, double got, double want, double tol,
                                               double floor) {
  bool ok;
  if (!detail::SpecialValuesDecide(got, want, ok)) {
    const double bound = std::fmax(tol * std::fabs(want), floor);
    ok = std::fabs(got - want) <= bound;
  }
  if (ok) return ::testing::AssertionSuccess();
  return detail::NearFailure(ge, we, got, want, "relative tolerance", tol, floor);
}

/// |got - want| <= tol.
inline ::testing::AssertionResult AbsNear(const char* ge, const char* we, const char*, double got,
                                          double want, double tol) {
  bool ok;
  if (!detail::SpecialValuesDecide(got, want, ok)) ok = std::fabs(got - want) <= tol;
  if (ok) return ::testing::AssertionSuccess();
  return detail::NearFailure(ge, we, got, want, "absolute tolerance", tol, -1);
}

}  // namespace nuv_test

/// |got - want| <= tol * |want| (want = 0 demands got = 0); NaN and infinities match exactly.
#define EXPECT_REL_NEAR(got, want, tol) EXPECT_PRED_FORMAT3(::nuv_test::RelNear, got, want, tol)
#define ASSERT_REL_NEAR(got, want, tol) ASSERT_PRED_FORMAT3(::nuv_test::RelNear, got, want, tol)

/// |got - want| <= max(tol * |want|, floor): relative, with an absolute floor for
/// values that are or may be 0. Pass the floor as a named constant saying why it is that size.
#define EXPECT_REL_NEAR_FLOOR(got, want, tol, floor) \
  EXPECT_PRED_FORMAT4(::nuv_test::RelNearFloor, got, want, tol, floor)

/// |got - want| <= tol; NaN and infinities match exactly.
#define EXPECT_ABS_NEAR(got, want, tol) EXPECT_PRED_FORMAT3(::nuv_test::AbsNear, got, want, tol)

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
