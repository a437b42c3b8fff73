#include "foundation/bitfld.h"

#include <algorithm>

#include "foundation/bit_ops.h"
#include "foundation/exceptions.h"
#include "foundation/memory.h"

namespace nuv {

namespace {

inline int PopCount(uint64_t w) { return detail::PopCount64(w); }

}  // namespace

TBitFld::TBitFld(TComponent* AOwner) : TComponent(AOwner), FBits(1, 0) {}

TBitFld::~TBitFld() = default;

void TBitFld::SetSize(int32_t n) {
  if (n < 0) n = 0;
  if (n > MaxSize) n = MaxSize;
  if (n == FSize) return;
  if (!TryResize(FBits, WordCount(n), uint64_t{0}))
    throw ENUVError("TBitFld.SetSize: not enough memory");
  FSize = n;
  FBits.back() &= TopMask(n);
}

void TBitFld::Clear() { std::fill(FBits.begin(), FBits.end(), uint64_t{0}); }

int32_t TBitFld::CountTrueBits() const {
  int64_t count = 0;
  for (const uint64_t w : FBits) count += PopCount(w);
  return static_cast<int32_t>(count);
}

void TBitFld::Invert() {
  for (uint64_t& w : FBits) w = ~w;
  FBits.back() &= TopMask(FSize);
}

TBitFld* TBitFld::Clone() const {
  auto* copy = new TBitFld();
  try {
    copy->FBits = FBits;
  } catch (const std::bad_alloc&) {
    delete copy;
    throw ENUVError("TBitFld.Clone: not enough memory");
  }
  copy->FSize = FSize;
  return copy;
}

void TBitFld::Clone(const TBitFld* Source) {
  if (Source == nullptr || Source == this) return;
  try {
    FBits = Source->FBits;
  } catch (const std::bad_alloc&) {
    throw ENUVError("TBitFld.Clone: not enough memory");
  }
  FSize = Source->FSize;
}

void TBitFld::CombineWith(const TBitFld* Other, TLogicOp Op) {
  if (Other == nullptr) return;
  const int32_t common = std::min(FSize, Other->FSize);
  const std::size_t full = static_cast<std::size_t>(common) >> 6;  // words wholly common
  uint64_t* a = FBits.data();
  const uint64_t* b = Other->FBits.data();
  // The word holding the last common bit is combined under a mask, so that
  // bits of this field beyond Other's size keep their values.
  const uint64_t lastMask = TopMask(common);
  const auto combine = [Op](uint64_t x, uint64_t y) -> uint64_t {
    switch (Op) {
      case loAnd:
        return x & y;
      case loOr:
        return x | y;
      case loXor:
        return x ^ y;
      case loAndNot:
        return x & ~y;
    }
    return x;
  };
  switch (Op) {
    case loAnd:
      for (std::size_t i = 0; i < full; ++i) a[i] &= b[i];
      break;
    case loOr:
      for (std::size_t i = 0; i < full; ++i) a[i] |= b[i];
      break;
    case loXor:
      for (std::size_t i = 0; i < full; ++i) a[i] ^= b[i];
      break;
    case loAndNot:
      for (std::size_t i = 0; i < full; ++i) a[i] &= ~b[i];
      break;
    default:
      return;
  }
  a[full] = (a[full] & ~lastMask) | (combine(a[full], b[full]) & lastMask);
}

}  // namespace nuv
