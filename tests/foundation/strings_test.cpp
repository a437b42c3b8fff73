#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "common/test_util.h"
#include "foundation/frame.h"

using namespace nuv;

TEST(StringContains, DigPatternHoldsForEveryNumberLine) {
  // Lines as vector files and ASC data hold them, strff's NaN and Inf included.
  for (const char* line : {"1", "  -0.5", "1.5E+0003", ".5", "\t7\t", "x 3", "NaN", " -Inf",
                           "inf", "+Infinity", "1\t2"})
    EXPECT_TRUE(StringContains(line, "//dig")) << line;
  for (const char* line : {"", "   ", "abc", "information", "nano", "x;y", "-", "e"})
    EXPECT_FALSE(StringContains(line, "//dig")) << line;
  EXPECT_FALSE(StringContains("12 ;", "//alpha"));
  EXPECT_TRUE(StringContains("a\tb", "//space"));
  // Any other pattern is a plain, case-sensitive substring.
  EXPECT_TRUE(StringContains("nr. of rows", "of r"));
  EXPECT_FALSE(StringContains("nr. of rows", "Of"));
  EXPECT_TRUE(StringContains("a //digit b", "//digit"));
  EXPECT_FALSE(StringContains("a b", "//digit"));
  EXPECT_TRUE(StringContains("x", ""));
}

TEST(StringHelpers, ReplaceAndRemoveControlChars) {
  EXPECT_EQ(ReplaceCharInString("a\nb\nc", '\n', ' '), "a b c");
  EXPECT_EQ(ReplaceCharInString("", 'a', 'b'), "");
  const std::string withCtl = std::string("a\x01\tb\r\n\x7F") + "\xC3\xA4" + std::string(1, '\0') + "c";
  EXPECT_EQ(RemoveControlChars(withCtl), "ab\xC3\xA4" "c");  // UTF-8 bytes stay
}

namespace {

// Feeds Text through ParseQuotedName and collects the completed names; a
// trailing blank finishes the last one.
std::vector<std::string> Names(const std::string& Text, char Quote = '"') {
  std::vector<std::string> out;
  std::string name;
  TQuotedStrState state = qssIdle;
  for (const char c : Text + " ")
    if (ParseQuotedName(c, Quote, name, state)) out.push_back(name);
  return out;
}

}  // namespace

TEST(ParseQuotedName, QuotedAndUnquotedNames) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Names("x   y\r\n"), (V{"x", "y"}));  // the names line the ASC export writes
  EXPECT_EQ(Names("\"first col\" \"b\"\r\n"), (V{"first col", "b"}));
  EXPECT_EQ(Names("  \"say \"\"hi\"\"\"\t"), (V{"say \"hi\""}));
  EXPECT_EQ(Names("\"\" b"), (V{"", "b"}));                  // empty quoted name
  EXPECT_EQ(Names("ab\"c 'q r'", '\''), (V{"ab\"c", "q r"}));  // other quote char
  EXPECT_EQ(Names(" \r\n\t "), V{});

  // The state tells where the parser stands.
  std::string name = "old";
  TQuotedStrState st = qssIdle;
  for (const char c : std::string("  \"a\""))
    EXPECT_FALSE(ParseQuotedName(c, '"', name, st));
  EXPECT_EQ(st, qssQuoteInQuoted);
  EXPECT_TRUE(ParseQuotedName('\r', '"', name, st));
  EXPECT_EQ(st, qssComplete);
  EXPECT_EQ(name, "a");
}

TEST(TextToNumber, LocaleFreeParsing) {
  double d = -1;
  EXPECT_TRUE(TextToDouble("  +1.25e2\t", d));
  EXPECT_EQ(d, 125.0);
  EXPECT_TRUE(TextToDouble(".5", d));
  EXPECT_EQ(d, 0.5);
  EXPECT_TRUE(TextToDouble("-0", d));
  EXPECT_TRUE(d == 0.0 && std::signbit(d));
  // 0.1 is 0x3FB999999999999A, the double nearest to 1/10.
  EXPECT_TRUE(TextToDouble("0.1", d));
  EXPECT_EQ(d, 0x1.999999999999ap-4);
  EXPECT_TRUE(TextToDouble("NaN", d));
  EXPECT_TRUE(std::isnan(d));
  EXPECT_TRUE(TextToDouble("-Inf", d));
  EXPECT_EQ(d, -std::numeric_limits<double>::infinity());
  // Beyond the range: infinity and zero; 4.9e-324 is the smallest denormal.
  EXPECT_TRUE(TextToDouble("-1e400", d));
  EXPECT_EQ(d, -std::numeric_limits<double>::infinity());
  EXPECT_TRUE(TextToDouble("1e-400", d));
  EXPECT_EQ(d, 0.0);
  EXPECT_TRUE(TextToDouble("4.9e-324", d));
  EXPECT_EQ(d, std::numeric_limits<double>::denorm_min());
  EXPECT_TRUE(TextToDouble("1e99999999999", d));
  EXPECT_EQ(d, std::numeric_limits<double>::infinity());
  d = 7;
  for (const char* bad : {"", "  ", "1,5", "1.5x", "+-1", "++1", "- 1", "1 2", "0x10", "e5"})
    EXPECT_FALSE(TextToDouble(bad, d)) << bad;
  EXPECT_EQ(d, 7);

  int32_t i = 0;
  EXPECT_TRUE(TextToInt32(" +2147483647 ", i));
  EXPECT_EQ(i, INT32_MAX);
  EXPECT_TRUE(TextToInt32("-2147483648", i));
  EXPECT_EQ(i, INT32_MIN);
  for (const char* bad : {"2147483648", "1.0", "", "+", "12a", "1e3"})
    EXPECT_FALSE(TextToInt32(bad, i)) << bad;
  EXPECT_EQ(i, INT32_MIN);
}
