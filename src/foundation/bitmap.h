// A minimal bitmap with a canvas for reading and writing pixel colours.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/component.h"
#include "foundation/nuv_export.h"

namespace nuv {

/// A 32-bit colour: red in bits 0..7, green in 8..15, blue in 16..23.
using TColor = uint32_t;
/// What a canvas reads outside its bitmap; no pixel ever holds it.
inline constexpr TColor clrInvalid = 0xFFFFFFFFu;

inline constexpr TColor RGBToColor(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}
inline constexpr uint8_t ColorRed(TColor c) { return static_cast<uint8_t>(c); }
inline constexpr uint8_t ColorGreen(TColor c) { return static_cast<uint8_t>(c >> 8); }
inline constexpr uint8_t ColorBlue(TColor c) { return static_cast<uint8_t>(c >> 16); }

class TBitmap;

/// The pixel access of a bitmap. (0, 0) is the top left pixel.
class NUV_API TCanvas : public TObject {
 public:
  /// The colour at (x, y); clrInvalid outside the bitmap.
  TColor Pixels(int32_t x, int32_t y) const;
  /// Stores Color (its bits 24..31 cleared) at (x, y); nothing outside the bitmap.
  void SetPixel(int32_t x, int32_t y, TColor Color);

 private:
  friend class TBitmap;
  explicit TCanvas(TBitmap* Owner) : FBitmap(Owner) {}
  TBitmap* FBitmap;
};

/// Pixels in rows from the top, each row from the left. A new bitmap is 0 x 0.
class NUV_API TBitmap : public TObject {
 public:
  TBitmap();
  ~TBitmap() override;

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  /// Resizes; pixels inside both sizes keep their colours, new ones are black.
  /// Negative sizes count as 0. Raises ENUVError "TBitmap.SetSize: not
  /// enough memory" (bitmap unchanged) when the pixels cannot be had; the
  /// loaders raise the same with their own names.
  void SetSize(int32_t AWidth, int32_t AHeight);
  TCanvas* GetCanvas() { return FCanvas.get(); }

  /// Replaces the image by AWidth x AHeight colours at Colors, row by row.
  void LoadFromMemory(const TColor* Colors, int32_t AWidth, int32_t AHeight);
  /// Reads a binary PPM (P6) with maxval 255; "#" comments in the header are
  /// allowed. A missing, malformed or truncated file raises EInOutError and
  /// leaves the bitmap unchanged.
  void LoadFromFile(const std::string& FileName);
  /// Writes the image as binary PPM (P6, maxval 255). Raises EInOutError.
  void SaveToFile(const std::string& FileName) const;

  /// Row y (0-based) of Width() colours; nullptr outside 0..Height()-1.
  const TColor* ScanLine(int32_t y) const;

 private:
  friend class TCanvas;
  void Replace(std::vector<TColor>& Pixels, int32_t AWidth, int32_t AHeight);

  int32_t FWidth = 0;
  int32_t FHeight = 0;
  std::vector<TColor> FPixels;
  std::unique_ptr<TCanvas> FCanvas;
};

}  // namespace nuv
