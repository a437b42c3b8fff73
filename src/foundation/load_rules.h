// What every reader of files and streams follows (docs/formats.md, "Reading
// untrusted input"):
// - the allocation rule: storage that a header claims is allocated only as
//   far as the bytes left in the input can fill it, plus a small fixed
//   allowance for storage that no byte fills; input of unknown length is read
//   first, into storage that grows with the data, and checked after;
// - scratch, then commit: a load reads and checks everything into scratch
//   storage (TLoadBuffer) and changes the object only once nothing can fail
//   any more, so a failed load leaves the object as it was;
// - no exception leaves a reader that reports failure by its result
//   (LoadWithoutRaising).
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "foundation/memory.h"
#include "foundation/nuv_export.h"

namespace nuv {

class TStream;

/// Storage that no input byte fills (the kept cell line of an empty matrix,
/// the zeros before a vector record's first index) may take this many bytes
/// per load at most.
inline constexpr int64_t UnfilledAllowanceBytes = int64_t{64} * 1024;

/// The allocation rule: true when Count items, each needing at least
/// ItemBytes bytes of input, can come from Available bytes. Count <= 0 always
/// fits; an unknown Available (< 0) fits nothing.
constexpr bool InputCanFill(int64_t Count, int64_t ItemBytes, int64_t Available) noexcept {
  if (Count <= 0) return true;
  if (Available < 0 || ItemBytes <= 0) return Available >= 0;
  return Count <= Available / ItemBytes;
}

/// True when Count items of ItemBytes bytes of storage that the input does
/// not fill stay within UnfilledAllowanceBytes.
constexpr bool WithinUnfilledAllowance(int64_t Count, int64_t ItemBytes) noexcept {
  return Count <= 0 || (ItemBytes > 0 && Count <= UnfilledAllowanceBytes / ItemBytes);
}

/// Bytes from the stream's position to its end; 0 for an absent stream or a
/// position at or beyond the end.
NUV_API int64_t BytesLeft(const TStream* S) noexcept;

/// Size in bytes of a regular file; -1 when it cannot be told (missing, a
/// pipe, a device), in which case a reader reads first and checks after.
NUV_API int64_t KnownFileSize(const std::string& FileName) noexcept;

/// Scratch storage of a reader. Items are appended as they are read and the
/// storage grows with them, so it never runs ahead of the input; Reserve
/// takes a first block sized by what the input can fill. Running out of
/// memory gives false, never an exception.
template <class T>
class TLoadBuffer {
 public:
  /// Room for min(Claimed, the items Available bytes can fill at ItemBytes
  /// each); with Available unknown (< 0), for at most 4096 items.
  bool Reserve(int64_t Claimed, int64_t ItemBytes, int64_t Available) {
    int64_t n = Claimed;
    const int64_t fill = Available < 0 ? 4096 : (ItemBytes > 0 ? Available / ItemBytes : Available);
    if (n > fill) n = fill;
    return n <= 0 || TryReserve(FItems, static_cast<std::size_t>(n));
  }
  bool Append(const T& Value) { return TryAppend(FItems, Value); }
  int64_t Count() const { return static_cast<int64_t>(FItems.size()); }
  const T& operator[](int64_t i) const { return FItems[static_cast<std::size_t>(i)]; }
  const T* Data() const { return FItems.data(); }
  /// The items, to be swapped into the object on commit.
  std::vector<T>& Items() { return FItems; }

 private:
  std::vector<T> FItems;
};

/// Runs the body of a reader that reports failure by its result and never
/// raises: running out of memory (std::bad_alloc, std::length_error, a
/// unit's "not enough memory" error) and stream errors (EInOutError) inside
/// it give false.
template <class Body>
bool LoadWithoutRaising(Body&& B) {
  try {
    return B();
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace nuv
