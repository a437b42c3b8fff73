#include "Nuv_math1/formatting.h"

#include <gtest/gtest.h>

#include "common/test_util.h"

using namespace nuv;

TEST(ScanDateTime, DayCounts) {
  // Day counts of the TDateTime / spreadsheet serial scale: 2000-01-01 is
  // 36526, 1900-03-01 is 61, 1970-01-01 is 25569, 1899-12-30 is 0.
  const std::pair<const char*, double> dates[] = {
      {"2000-01-01", 36526},         {"1900-03-01", 61},  {"1970-01-01", 25569},
      {"1899-12-30", 0},             {"2000-01-01 12:00", 36526.5},
      {"2000-01-01T06:00:00", 36526.25}, {"1899-12-29 06:00", -1.25},
      {"1970-01-02 00:00:01.5", 25570 + 1.5 / 86400}};
  for (const auto& [text, want] : dates) {
    double v = 0;
    int32_t pos = 1;
    EXPECT_TRUE(ScanDateTime(text, pos, v)) << text;
    EXPECT_NEAR(v, want, 1e-9) << text;
    EXPECT_EQ(pos, static_cast<int32_t>(std::string(text).size()) + 1) << text;
  }
  // 2024 is a leap year, 1900 is not; 9999-12-31 is day 2958465.
  double v = 0;
  int32_t pos = 1;
  EXPECT_TRUE(ScanDateTime("2024-02-29", pos, v));
  EXPECT_TRUE(ScanDateTime("9999-12-31", pos = 1, v));
  EXPECT_EQ(v, 2958465);
  // A time that does not follow the form is left unread.
  EXPECT_TRUE(ScanDateTime("2000-01-01 25:00", pos = 1, v));
  EXPECT_EQ(v, 36526);
  EXPECT_EQ(pos, 11);
  v = 3;
  for (const char* bad : {"1900-02-29", "2023-13-01", "2023-04-31", "0000-01-01", "2023-1-01", "",
                          "abcd-ef-gh"}) {
    pos = 1;
    EXPECT_FALSE(ScanDateTime(bad, pos, v)) << bad;
    EXPECT_EQ(v, 3);
    EXPECT_EQ(pos, 1);
  }
}
