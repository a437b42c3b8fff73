// Binary PPM images (TBitmap::LoadFromFile) into a bitmap holding pixels.
#include "fuzz_common.h"

namespace nuv_fuzz {

namespace {

std::string Image(int32_t W, int32_t H) {
  nuv::TBitmap b;
  b.SetSize(W, H);
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x)
      b.GetCanvas()->SetPixel(x, y, static_cast<nuv::TColor>((x * 40503u + y * 9973u) & 0xFFFFFFu));
  const std::string f = SeedFile("image.ppm");
  b.SaveToFile(f);
  return BytesOfFile(f);
}

std::string StateOf(const nuv::TBitmap& b) {
  std::string s = std::to_string(b.Width()) + "x" + std::to_string(b.Height());
  for (int32_t y = 0; y < b.Height(); ++y)
    for (int32_t x = 0; x < b.Width(); ++x) s += std::to_string(b.ScanLine(y)[x]) + ",";
  return s;
}

}  // namespace

std::vector<std::string> Seeds() {
  return {Image(3, 2), Image(1, 1), "P6\n# comment\n2 1\n255\n\x01\x02\x03\x04\x05\x06"};
}

void TestOneInput(const uint8_t* Data, std::size_t Size) {
  nuv::TBitmap b;
  b.SetSize(2, 2);
  b.GetCanvas()->SetPixel(1, 1, 0x123456u);
  const std::string before = StateOf(b);
  try {
    b.LoadFromFile(AsFile(Data, Size));
  } catch (const nuv::EInOutError&) {
    Require(StateOf(b) == before, "a refused image changed the bitmap");
  } catch (const nuv::ENUVError&) {
    Require(StateOf(b) == before, "an image without memory changed the bitmap");
  }
}

}  // namespace nuv_fuzz
