// TBitFld: a fixed-size array of bits, packed into 64-bit words.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/component.h"
#include "foundation/nuv_export.h"
#include "foundation/types.h"

namespace nuv {

/// A bit array numbered from 0. After SetSize(n) the bits 0..n exist (n + 1
/// bits) and Size() reads n back. A new field has Size 0, that is bit 0 only.
/// Bits above Size are kept zero in storage, so counts stay exact after Invert.
class NUV_API TBitFld : public TComponent {
 public:
  /// Largest accepted size: the count of true bits must fit an int32_t.
  static constexpr int32_t MaxSize = INT32_MAX - 1;

  /// The library creates its fields without owner; an owner, when given,
  /// destroys the field with itself as for every other component.
  explicit TBitFld(TComponent* AOwner = nullptr);
  ~TBitFld() override;

  /// Highest bit index n; the field holds n + 1 bits.
  int32_t Size() const { return FSize; }
  /// Resizes to the bits 0..n; bits that remain keep their values, new ones are
  /// false. A negative n is taken as 0, one above MaxSize as MaxSize.
  /// Raises ENUVError "TBitFld.SetSize: not enough memory" (field unchanged)
  /// when the storage cannot be had.
  void SetSize(int32_t n);

  /// Sets every bit false; the size stays.
  void Clear();
  /// Stores Value in bit Ix; nothing happens outside 0..Size().
  void SetBit(int32_t Ix, bool Value) {
    if (Ix < 0 || Ix > FSize) return;
    const uint64_t mask = uint64_t{1} << (static_cast<uint32_t>(Ix) & 63u);
    uint64_t& w = FBits[static_cast<uint32_t>(Ix) >> 6];
    w = Value ? (w | mask) : (w & ~mask);
  }
  /// Bit Ix; false outside 0..Size().
  bool GetBit(int32_t Ix) const {
    if (Ix < 0 || Ix > FSize) return false;
    return ((FBits[static_cast<uint32_t>(Ix) >> 6] >> (static_cast<uint32_t>(Ix) & 63u)) & 1u) != 0;
  }
  /// Number of true bits among 0..Size().
  int32_t CountTrueBits() const;
  /// Flips every bit 0..Size().
  void Invert();
  /// A new field without owner with this size and these bits; the caller owns it.
  TBitFld* Clone() const;
  /// Copies the size and the bits of Source into this field; nothing happens
  /// when Source is absent or is this field. Raises ENUVError
  /// "TBitFld.Clone: not enough memory" (field unchanged) when the storage
  /// cannot be had.
  void Clone(const TBitFld* Source);
  /// this := this Op Other on the bits both fields have (0..min of the sizes);
  /// bits of this field above Other's size keep their values and the size of
  /// this field does not change. Nothing happens when Other is absent.
  /// Other may be this field itself.
  void CombineWith(const TBitFld* Other, TLogicOp Op);

  /// The storage words, bit i in word i / 64 at position i % 64.
  const std::vector<uint64_t>& Words() const { return FBits; }

 private:
  static std::size_t WordCount(int32_t n) { return (static_cast<std::size_t>(n) >> 6) + 1; }
  /// Mask of the valid bits of the last storage word of a field of size n.
  static uint64_t TopMask(int32_t n) {
    return ~uint64_t{0} >> (63u - (static_cast<uint32_t>(n) & 63u));
  }

  int32_t FSize = 0;
  std::vector<uint64_t> FBits;
};

}  // namespace nuv
