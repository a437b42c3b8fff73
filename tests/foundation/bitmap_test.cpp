#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/test_util.h"
#include "foundation/frame.h"

using namespace nuv;

namespace {

std::string WriteRaw(const std::string& name, const std::string& content) {
  const std::string path = std::string(NUV_TEST_TMP_DIR) + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(content.data(), 1, content.size(), f);
  std::fclose(f);
  return path;
}

}  // namespace

TEST(Colors, GrayIsRoundedBt601Luma) {
  // 0.299 r + 0.587 g + 0.114 b by hand.
  EXPECT_EQ(RGBtoGray(255, 255, 255), 255);
  EXPECT_EQ(RGBtoGray(0, 255, 0), 150);  // 149.685
  EXPECT_EQ(RGBtoGray(10, 20, 30), 18);  // 2.99 + 11.74 + 3.42 = 18.15
  EXPECT_EQ(RGBtoGray(5, 0, 0), 1);      // 1.495
  // Exact halves go to the even neighbour: 587 * 12 + 114 * 4 = 7500 and
  // 587 * 8 + 114 * 86 = 14500 thousandths.
  EXPECT_EQ(RGBtoGray(0, 12, 4), 8);
  EXPECT_EQ(RGBtoGray(0, 8, 86), 14);
}

TEST(Colors, HsiOfPrimariesGreysAndMixes) {
  double h = -1, s = -1, i = -1;
  RGBtoHSI(255, 0, 0, h, s, i);
  EXPECT_REL_NEAR(h, 0.0, nuv_test::kTol1);
  EXPECT_REL_NEAR(s, 1.0, nuv_test::kTol1);
  EXPECT_REL_NEAR(i, 1.0 / 3.0, nuv_test::kTol1);
  RGBtoHSI(0, 0, 255, h, s, i);
  EXPECT_REL_NEAR(h, 240.0, nuv_test::kTol1);
  // Magenta (255, 0, 255): theta = acos(0.5 * 255 / 255) = 60, and b > g
  // gives 360 - 60.
  RGBtoHSI(255, 0, 255, h, s, i);
  EXPECT_REL_NEAR(h, 300.0, nuv_test::kTol1);
  // (100, 50, 50): I = 200/765, S = 1 - 3*50/200 = 0.25, theta = acos(1) = 0.
  RGBtoHSI(100, 50, 50, h, s, i);
  EXPECT_REL_NEAR(h, 0.0, nuv_test::kTol1);
  EXPECT_REL_NEAR(s, 0.25, nuv_test::kTol1);
  EXPECT_REL_NEAR(i, 200.0 / 765.0, nuv_test::kTol1);
  RGBtoHSI(128, 128, 128, h, s, i);  // grey: hue 0, saturation 0
  EXPECT_EQ(h, 0.0);
  EXPECT_EQ(s, 0.0);
  EXPECT_REL_NEAR(i, 128.0 / 255.0, nuv_test::kTol1);
  RGBtoHSI(0, 0, 0, h, s, i);  // black
  EXPECT_EQ(h, 0.0);
  EXPECT_EQ(s, 0.0);
  EXPECT_EQ(i, 0.0);
}

TEST(Bitmap, PixelsSizesAndMemory) {
  TBitmap bm;
  EXPECT_EQ(bm.Width(), 0);
  TCanvas* cv = bm.GetCanvas();
  EXPECT_EQ(cv->Pixels(0, 0), clrInvalid);
  bm.SetSize(3, 2);
  EXPECT_EQ(cv->Pixels(2, 1), 0u);
  cv->SetPixel(2, 1, 0xFF123456u);  // the top byte is not part of a colour
  EXPECT_EQ(cv->Pixels(2, 1), 0x123456u);
  cv->SetPixel(3, 1, 1);  // outside: nothing
  cv->SetPixel(-1, 0, 1);
  EXPECT_EQ(cv->Pixels(3, 1), clrInvalid);
  EXPECT_EQ(cv->Pixels(0, 2), clrInvalid);
  EXPECT_EQ(cv->Pixels(-1, 0), clrInvalid);
  bm.SetSize(4, 4);  // overlapping pixels kept
  EXPECT_EQ(cv->Pixels(2, 1), 0x123456u);
  EXPECT_EQ(cv->Pixels(3, 3), 0u);
  // 2^62 pixels of 4 bytes: refused before any allocation, bitmap unchanged.
  EXPECT_THROW_MSG(bm.SetSize(INT32_MAX, INT32_MAX), ENUVError,
                   "TBitmap.SetSize: not enough memory");
  EXPECT_EQ(cv->Pixels(2, 1), 0x123456u);
  bm.SetSize(1, 1);
  EXPECT_EQ(cv->Pixels(0, 0), 0u);
  EXPECT_EQ(cv->Pixels(1, 0), clrInvalid);

  const TColor img[6] = {RGBToColor(1, 2, 3), 2, 3, 4, 5, RGBToColor(250, 0, 7)};
  bm.LoadFromMemory(img, 3, 2);
  EXPECT_TRUE(bm.Width() == 3 && bm.Height() == 2);
  EXPECT_EQ(cv->Pixels(0, 0), 0x030201u);
  EXPECT_EQ(cv->Pixels(2, 1), 0x0700FAu);
  EXPECT_EQ(cv->Pixels(1, 0), 2u);
}

TEST(Bitmap, LoadPpmAndRejectBadFiles) {
  // 2 x 2 image: red, green / blue, (1, 2, 3); a comment in the header.
  const std::string pixels = std::string("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\x01\x02\x03", 12);
  const std::string good = WriteRaw("good.ppm", "P6\n# made by hand\n2 2\n255\n" + pixels);
  TBitmap bm;
  bm.LoadFromFile(good);
  TCanvas* cv = bm.GetCanvas();
  ASSERT_EQ(bm.Width(), 2);
  ASSERT_EQ(bm.Height(), 2);
  EXPECT_EQ(cv->Pixels(0, 0), 0x0000FFu);
  EXPECT_EQ(cv->Pixels(1, 0), 0x00FF00u);
  EXPECT_EQ(cv->Pixels(0, 1), 0xFF0000u);
  EXPECT_EQ(cv->Pixels(1, 1), 0x030201u);

  const std::string copy = std::string(NUV_TEST_TMP_DIR) + "/copy.ppm";
  bm.SaveToFile(copy);
  TBitmap again;
  again.LoadFromFile(copy);
  EXPECT_EQ(again.GetCanvas()->Pixels(1, 1), 0x030201u);

  const std::string bad[] = {
      WriteRaw("trunc.ppm", "P6\n2 2\n255\n" + pixels.substr(0, 11)),
      WriteRaw("p3.ppm", "P3\n2 2\n255\n" + pixels),
      WriteRaw("maxval.ppm", "P6\n2 2\n65535\n" + pixels + pixels),
      WriteRaw("nowidth.ppm", "P6\n"),
      WriteRaw("huge.ppm", "P6\n2000000000 2000000000\n255\n" + pixels),
      WriteRaw("overflow.ppm", "P6\n99999999999 1\n255\n"),
      WriteRaw("zero.ppm", "P6\n0 2\n255\n"),
      WriteRaw("empty.ppm", ""),
  };
  for (const std::string& f : bad) {
    EXPECT_THROW(bm.LoadFromFile(f), EInOutError) << f;
    EXPECT_EQ(bm.Width(), 2);  // unchanged
    EXPECT_EQ(cv->Pixels(1, 1), 0x030201u);
  }
  EXPECT_THROW_MSG(bm.LoadFromFile(bad[0]), EInOutError,
                   "PPM file \"" + bad[0] + "\" is truncated");
  EXPECT_THROW(bm.LoadFromFile(std::string(NUV_TEST_TMP_DIR) + "/missing.ppm"), EInOutError);
}
