// The sparse storage of TIntMatrix: entries sorted by (column, row), kept in
// blocks of at most kMaxBlock entries. Finding a position costs a binary
// search over the blocks' last keys and one within a block; inserting shifts
// at most one block, so random-order filling stays near the cost of a
// balanced tree and appending in list order near that of a plain array.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/nuv_export.h"

namespace nuv {

/// One stored entry of a sparse TIntMatrix.
struct TSpMatElemInt {
  int32_t colidx;
  int32_t rowidx;
  int32_t value;
};

namespace detail {

/// Sorts Entries into list order (column, then row); false when a position
/// occurs twice.
NUV_API bool SortUniqueEntries(std::vector<TSpMatElemInt>& Entries);

class NUV_API TSparseIntList {
 public:
  static constexpr size_t kMaxBlock = 512;

  /// The list order as one number: column in the high half, row in the low half
  /// (both positive, so the unsigned order is the list order).
  static uint64_t Key(int32_t c, int32_t r) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(c)) << 32) | static_cast<uint32_t>(r);
  }
  static uint64_t Key(const TSpMatElemInt& e) { return Key(e.colidx, e.rowidx); }

  size_t Size() const { return FCount; }
  /// The stored value at (c, r), 0 when not stored.
  int32_t Get(int32_t c, int32_t r) const {
    const int32_t* v = Find(c, r);
    return v != nullptr ? *v : 0;
  }
  /// The stored value at (c, r), null when not stored.
  const int32_t* Find(int32_t c, int32_t r) const;
  int32_t* Find(int32_t c, int32_t r) {
    return const_cast<int32_t*>(static_cast<const TSparseIntList*>(this)->Find(c, r));
  }
  /// Inserts a position that is not stored yet. Throws std::bad_alloc with the list
  /// unchanged.
  void Insert(int32_t c, int32_t r, int32_t v);
  void Clear();
  /// Replaces the contents by Sorted (ascending, unique). Throws std::bad_alloc with the
  /// list unchanged.
  void Assign(const std::vector<TSpMatElemInt>& Sorted);
  /// Appends the entries in list order to Out.
  void CopyTo(std::vector<TSpMatElemInt>& Out) const;

  /// F(const TSpMatElemInt&) for every entry in list order.
  template <class F>
  void ForEach(F&& Fn) const {
    for (const auto& b : FBlocks)
      for (const TSpMatElemInt& e : b) Fn(e);
  }
  /// F(int32_t& value) for every entry in list order.
  template <class F>
  void ForEachValue(F&& Fn) {
    for (auto& b : FBlocks)
      for (TSpMatElemInt& e : b) Fn(e.value);
  }
  /// Drops the entries for which Drop(e) is true, keeping the order of the others.
  template <class P>
  void RemoveIf(P&& Drop) {
    size_t kept = 0;
    for (size_t i = 0; i < FBlocks.size(); ++i) {
      auto& b = FBlocks[i];
      size_t w = 0;
      for (size_t k = 0; k < b.size(); ++k)
        if (!Drop(b[k])) b[w++] = b[k];
      b.resize(w);
      if (w > 0) {
        FLast[kept] = Key(b.back());
        if (kept != i) FBlocks[kept].swap(b);
        ++kept;
      }
    }
    FBlocks.resize(kept);
    FLast.resize(kept);
    FCount = 0;
    for (const auto& b : FBlocks) FCount += b.size();
  }

 private:
  /// A block with room for kMaxBlock entries.
  static std::vector<TSpMatElemInt> NewBlock();

  std::vector<std::vector<TSpMatElemInt>> FBlocks;  ///< each non-empty
  std::vector<uint64_t> FLast;                       ///< key of each block's last entry
  size_t FCount = 0;
};

}  // namespace detail
}  // namespace nuv
