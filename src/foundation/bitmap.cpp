#include "foundation/bitmap.h"

#include <algorithm>
#include <new>

#include "foundation/exceptions.h"
#include "foundation/memory.h"
#include "foundation/streams.h"

namespace nuv {

// ---------------------------------------------------------------- TCanvas

TColor TCanvas::Pixels(int32_t x, int32_t y) const {
  const TBitmap& bm = *FBitmap;
  if (x < 0 || y < 0 || x >= bm.FWidth || y >= bm.FHeight) return clrInvalid;
  return bm.FPixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(bm.FWidth) +
                    static_cast<std::size_t>(x)];
}

void TCanvas::SetPixel(int32_t x, int32_t y, TColor Color) {
  TBitmap& bm = *FBitmap;
  if (x < 0 || y < 0 || x >= bm.FWidth || y >= bm.FHeight) return;
  bm.FPixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(bm.FWidth) +
             static_cast<std::size_t>(x)] = Color & 0x00FFFFFFu;
}

// ---------------------------------------------------------------- TBitmap

namespace {

[[noreturn]] void Malformed(const std::string& FileName, const std::string& What) {
  throw EInOutError("PPM file \"" + FileName + "\" is malformed: " + What);
}

[[noreturn]] void Truncated(const std::string& FileName) {
  throw EInOutError("PPM file \"" + FileName + "\" is truncated");
}

[[noreturn]] void NoMemory(const char* Operation) {
  throw ENUVError(std::string(Operation) + ": not enough memory");
}

inline bool IsSpace(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

// Byte reader over a file stream; -1 at the end.
class HeaderReader {
 public:
  explicit HeaderReader(TFileStream& S) : FStream(S) {}
  int Get() {
    uint8_t c = 0;
    return FStream.Read(&c, 1) == 1 ? c : -1;
  }
  // Skips whitespace and "#" comments, then reads a decimal number of at most
  // 10 digits; returns -1 when there is none or it exceeds INT32_MAX. The
  // character after the number is consumed and returned in Next.
  int64_t Number(int& Next) {
    int c = Get();
    for (;;) {
      while (c >= 0 && IsSpace(c)) c = Get();
      if (c != '#') break;
      while (c >= 0 && c != '\n' && c != '\r') c = Get();
    }
    if (c < '0' || c > '9') {
      Next = c;
      return -1;
    }
    int64_t v = 0;
    int digits = 0;
    while (c >= '0' && c <= '9') {
      if (++digits > 10) return -1;
      v = v * 10 + (c - '0');
      c = Get();
    }
    Next = c;
    return v <= INT32_MAX ? v : -1;
  }

 private:
  TFileStream& FStream;
};

}  // namespace

TBitmap::TBitmap() : FCanvas(new TCanvas(this)) {}

TBitmap::~TBitmap() = default;

void TBitmap::Replace(std::vector<TColor>& Pixels, int32_t AWidth, int32_t AHeight) {
  FPixels.swap(Pixels);
  FWidth = AWidth;
  FHeight = AHeight;
}

void TBitmap::SetSize(int32_t AWidth, int32_t AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (AWidth == FWidth && AHeight == FHeight) return;
  const std::size_t w = static_cast<std::size_t>(AWidth);
  const std::size_t h = static_cast<std::size_t>(AHeight);
  if (h != 0 && w > SIZE_MAX / h) NoMemory("TBitmap.SetSize");
  std::vector<TColor> fresh;
  if (!TryAllocate(fresh, w * h, TColor{0})) NoMemory("TBitmap.SetSize");
  const std::size_t cw = std::min(w, static_cast<std::size_t>(FWidth));
  const std::size_t ch = std::min(h, static_cast<std::size_t>(FHeight));
  for (std::size_t y = 0; y < ch; ++y)
    std::copy_n(FPixels.data() + y * static_cast<std::size_t>(FWidth), cw, fresh.data() + y * w);
  Replace(fresh, AWidth, AHeight);
}

void TBitmap::LoadFromMemory(const TColor* Colors, int32_t AWidth, int32_t AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  const std::size_t w = static_cast<std::size_t>(AWidth);
  const std::size_t h = static_cast<std::size_t>(AHeight);
  if (h != 0 && w > SIZE_MAX / h) NoMemory("TBitmap.LoadFromMemory");
  const std::size_t n = Colors != nullptr ? w * h : 0;
  std::vector<TColor> fresh;
  if (!TryAllocate(fresh, n, TColor{0})) NoMemory("TBitmap.LoadFromMemory");
  for (std::size_t i = 0; i < n; ++i) fresh[i] = Colors[i] & 0x00FFFFFFu;
  if (n == 0) AWidth = AHeight = 0;
  Replace(fresh, AWidth, AHeight);
}

void TBitmap::LoadFromFile(const std::string& FileName) {
  TFileStream file(FileName, fmOpenRead);
  HeaderReader in(file);
  if (in.Get() != 'P' || in.Get() != '6') Malformed(FileName, "not a binary PPM (P6)");
  int next = 0;
  const int64_t w = in.Number(next);
  if (w < 1 || next < 0 || !IsSpace(next)) Malformed(FileName, "bad width");
  const int64_t h = in.Number(next);
  if (h < 1 || next < 0 || !IsSpace(next)) Malformed(FileName, "bad height");
  const int64_t maxval = in.Number(next);
  if (maxval < 0 || next < 0 || !IsSpace(next)) Malformed(FileName, "bad maximum value");
  if (maxval != 255) Malformed(FileName, "maximum value must be 255");
  // Checked before allocating, so that a lying header cannot ask for more
  // memory than the file holds.
  const int64_t count = w * h;
  if (count > (INT64_MAX / 3) || file.Size() - file.Position() < 3 * count) Truncated(FileName);
  if (static_cast<uint64_t>(count) > SIZE_MAX / sizeof(TColor)) NoMemory("TBitmap.LoadFromFile");
  std::vector<TColor> fresh;
  std::vector<uint8_t> row;
  if (!TryAllocate(fresh, static_cast<std::size_t>(count), TColor{0}) ||
      !TryAllocate(row, static_cast<std::size_t>(3 * w), uint8_t{0}))
    NoMemory("TBitmap.LoadFromFile");
  TColor* out = fresh.data();
  for (int64_t y = 0; y < h; ++y) {
    if (file.Read(row.data(), 3 * w) != 3 * w) Truncated(FileName);
    const uint8_t* p = row.data();
    for (int64_t x = 0; x < w; ++x, p += 3) *out++ = RGBToColor(p[0], p[1], p[2]);
  }
  Replace(fresh, static_cast<int32_t>(w), static_cast<int32_t>(h));
}

void TBitmap::SaveToFile(const std::string& FileName) const {
  TFileStream file(FileName, fmCreate);
  const std::string header =
      "P6\n" + std::to_string(FWidth) + " " + std::to_string(FHeight) + "\n255\n";
  file.WriteBuffer(header.data(), static_cast<int64_t>(header.size()));
  std::vector<uint8_t> row(static_cast<std::size_t>(FWidth) * 3);
  for (int32_t y = 0; y < FHeight; ++y) {
    const TColor* src = ScanLine(y);
    for (int32_t x = 0; x < FWidth; ++x) {
      row[3 * static_cast<std::size_t>(x)] = ColorRed(src[x]);
      row[3 * static_cast<std::size_t>(x) + 1] = ColorGreen(src[x]);
      row[3 * static_cast<std::size_t>(x) + 2] = ColorBlue(src[x]);
    }
    file.WriteBuffer(row.data(), static_cast<int64_t>(row.size()));
  }
  file.Flush();
}

const TColor* TBitmap::ScanLine(int32_t y) const {
  if (y < 0 || y >= FHeight) return nullptr;
  return FPixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(FWidth);
}

}  // namespace nuv
