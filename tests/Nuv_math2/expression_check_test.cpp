// CheckParanthInExp: balanced, unclosed and unmatched parentheses.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "Nuv_math2/Nuv_math2.h"

using namespace nuv;

TEST(CheckParanthInExp, CountsOpenParenthesesOrGivesTheFirstUnmatchedPosition) {
  EXPECT_EQ(CheckParanthInExp("(a+b)*(c"), 1);
  EXPECT_EQ(CheckParanthInExp("a)+(b"), -2);
  EXPECT_EQ(CheckParanthInExp("((a))"), 0);
  EXPECT_EQ(CheckParanthInExp(""), 0);
  EXPECT_EQ(CheckParanthInExp("((("), 3);
  EXPECT_EQ(CheckParanthInExp(")"), -1);
  // The scan stops at the first ")" without a partner.
  EXPECT_EQ(CheckParanthInExp("(x))((((("), -4);
  EXPECT_EQ(CheckParanthInExp("sin(x) + (y"), 1);
  // Positions count characters: "√" and "π" are two bytes each in UTF-8.
  EXPECT_EQ(CheckParanthInExp("\u221a(\u03c0))"), -5);
  EXPECT_EQ(CheckParanthInExp(std::string(100000, '(') + std::string(99999, ')')), 1);
}

TEST(CheckParanthInExp, OperatorsKeepTheirOrdinals) {
  static_assert(std::is_same<std::underlying_type<TOperator>::type, uint8_t>::value, "");
  EXPECT_EQ(opNone, 0);
  EXPECT_EQ(opAdd, 3);
  EXPECT_EQ(opOpenParanth, 15);
  EXPECT_EQ(opNDInt, 30);
  EXPECT_EQ(opPi, 36);
  EXPECT_EQ(opXor, 49);
  // Expression errors belong to the library's error branch.
  EXPECT_TRUE((std::is_base_of<ENUVError, ENUVMathExp>::value));
}
