// Finding a shifted copy in an image: the example paints a texture into a
// 96 x 64 image and, from column 42 on, a copy of it moved 40 pixels right
// and 3 down; it saves the image as a PPM file and loads it back. A 20 x 20
// window of the original texture is then correlated with windows at a range
// of offsets; the best correlation marks the shift.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "Nuv_math2/Nuv_math2.h"

namespace {

// A smooth colour texture: sums of waves, each channel its own.
nuv::TColor Texture(int x, int y) {
  const auto wave = [](double v) { return static_cast<uint8_t>(127.5 + 127.0 * std::sin(v)); };
  return nuv::RGBToColor(wave(0.61 * x + 0.23 * y * y / 8.0), wave(0.37 * y - 0.19 * x),
                         wave(0.05 * x * y + 0.4 * x));
}

constexpr int kShiftX = 40, kShiftY = 3;

}  // namespace

int main() {
  nuv::TBitmap painted;
  painted.SetSize(96, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 96; ++x) {
      const bool copy = x >= 42 && y >= kShiftY;
      painted.GetCanvas()->SetPixel(x, y, copy ? Texture(x - kShiftX, y - kShiftY) : Texture(x, y));
    }

  // A name of its own, so that builds running the example at once do not meet.
  const std::string file =
      (std::filesystem::temp_directory_path() /
       ("nuv_image_correlation_" +
        std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + ".ppm"))
          .string();
  nuv::TBitmap image;
  try {
    painted.SaveToFile(file);
    image.LoadFromFile(file);
  } catch (const std::exception& e) {
    std::printf("cannot use %s: %s\n", file.c_str(), e.what());
    return 1;
  }
  std::filesystem::remove(file);
  std::printf("image of %d x %d pixels written and read back as PPM\n", image.Width(),
              image.Height());

  const nuv::TRect window{4, 10, 23, 29};
  int bestX = 0, bestY = 0;
  double best = -2;
  for (int dy = 0; dy <= 8; ++dy)
    for (int dx = 30; dx <= 50; ++dx) {
      const nuv::TRect moved{window.Left + dx, window.Top + dy, window.Right + dx,
                             window.Bottom + dy};
      const double r = nuv::CalcImgCorrelation(&image, &image, window, moved, nuv::icmGrayValues);
      if (r > best) {
        best = r;
        bestX = dx;
        bestY = dy;
      }
    }
  std::printf("best gray-value correlation %.6f at a shift of (%d, %d)\n", best, bestX, bestY);

  const nuv::TRect found{window.Left + bestX, window.Top + bestY, window.Right + bestX,
                         window.Bottom + bestY};
  const char* names[] = {"red", "blue", "green", "hue", "lightness", "saturation", "gray"};
  for (int m = nuv::icmRed; m <= nuv::icmGrayValues; ++m)
    std::printf("  %-10s r = %.6f\n", names[m],
                nuv::CalcImgCorrelation(&image, &image, window, found,
                                        static_cast<nuv::TImgCompareMode>(m)));
  // One pixel off the shift, the windows no longer match.
  const nuv::TRect off{found.Left + 1, found.Top, found.Right + 1, found.Bottom};
  std::printf("one pixel further right: r = %.6f\n",
              nuv::CalcImgCorrelation(&image, &image, window, off, nuv::icmGrayValues));
  return bestX == kShiftX && bestY == kShiftY && best > 0.999999 ? 0 : 1;
}
