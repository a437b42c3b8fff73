// The block list behind the sparse TIntMatrix.
#include "Nuv_matrix/intmatrix_sparse.h"

#include <algorithm>
#include <utility>

namespace nuv {
namespace detail {

namespace {

/// First entry of B at or after key K.
std::vector<TSpMatElemInt>::const_iterator LowerBound(const std::vector<TSpMatElemInt>& B,
                                                      uint64_t K) {
  return std::lower_bound(B.begin(), B.end(), K, [](const TSpMatElemInt& e, uint64_t k) {
    return TSparseIntList::Key(e) < k;
  });
}

/// Room for one more element, growing geometrically (std::bad_alloc leaves V as it was).
template <class T>
void RoomForOne(std::vector<T>& V) {
  if (V.size() == V.capacity()) V.reserve(V.size() < 8 ? 8 : 2 * V.size());
}

}  // namespace

std::vector<TSpMatElemInt> TSparseIntList::NewBlock() {
  std::vector<TSpMatElemInt> b;
  b.reserve(kMaxBlock);
  return b;
}

const int32_t* TSparseIntList::Find(int32_t c, int32_t r) const {
  if (FLast.empty()) return nullptr;
  const uint64_t k = Key(c, r);
  if (k > FLast.back()) return nullptr;
  const size_t i = static_cast<size_t>(std::lower_bound(FLast.begin(), FLast.end(), k) -
                                       FLast.begin());
  const auto& b = FBlocks[i];
  const auto it = LowerBound(b, k);
  return it != b.end() && Key(*it) == k ? &it->value : nullptr;
}

void TSparseIntList::Insert(int32_t c, int32_t r, int32_t v) {
  const TSpMatElemInt e{c, r, v};
  const uint64_t k = Key(c, r);
  // Every step that can fail comes before the first change.
  if (FLast.empty() || k > FLast.back()) {
    // Appending in list order fills the last block and then starts a new one.
    if (!FBlocks.empty() && FBlocks.back().size() < kMaxBlock) {
      FBlocks.back().push_back(e);
      FLast.back() = k;
    } else {
      std::vector<TSpMatElemInt> nb = NewBlock();
      nb.push_back(e);
      RoomForOne(FBlocks);
      RoomForOne(FLast);
      FBlocks.push_back(std::move(nb));
      FLast.push_back(k);
    }
    ++FCount;
    return;
  }
  const size_t i = static_cast<size_t>(std::lower_bound(FLast.begin(), FLast.end(), k) -
                                       FLast.begin());
  if (FBlocks[i].size() < kMaxBlock) {
    auto& b = FBlocks[i];
    // Not after the block's last key, so never at its end: FLast stays.
    b.insert(b.begin() + (LowerBound(b, k) - b.begin()), e);
    ++FCount;
    return;
  }
  // A full block splits in halves.
  RoomForOne(FBlocks);
  RoomForOne(FLast);
  auto& b = FBlocks[i];
  const size_t half = b.size() / 2;
  std::vector<TSpMatElemInt> upper = NewBlock();
  upper.assign(b.begin() + static_cast<std::ptrdiff_t>(half), b.end());
  b.resize(half);
  const uint64_t lowerLast = Key(b.back());
  auto& target = k <= lowerLast ? b : upper;
  target.insert(target.begin() + (LowerBound(target, k) - target.begin()), e);
  const uint64_t newLowerLast = Key(b.back());
  FBlocks.insert(FBlocks.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(upper));
  FLast.insert(FLast.begin() + static_cast<std::ptrdiff_t>(i) + 1, FLast[i]);
  FLast[i] = newLowerLast;
  ++FCount;
}

void TSparseIntList::Clear() {
  FBlocks.clear();
  FLast.clear();
  FCount = 0;
}

void TSparseIntList::Assign(const std::vector<TSpMatElemInt>& Sorted) {
  std::vector<std::vector<TSpMatElemInt>> blocks;
  std::vector<uint64_t> last;
  const size_t n = Sorted.size();
  const size_t nb = (n + kMaxBlock - 1) / kMaxBlock;
  blocks.reserve(nb);
  last.reserve(nb);
  for (size_t s = 0; s < n; s += kMaxBlock) {
    const size_t e = std::min(n, s + kMaxBlock);
    std::vector<TSpMatElemInt> b = NewBlock();
    b.assign(Sorted.begin() + static_cast<std::ptrdiff_t>(s),
             Sorted.begin() + static_cast<std::ptrdiff_t>(e));
    last.push_back(Key(b.back()));
    blocks.push_back(std::move(b));
  }
  FBlocks.swap(blocks);
  FLast.swap(last);
  FCount = n;
}

void TSparseIntList::CopyTo(std::vector<TSpMatElemInt>& Out) const {
  Out.reserve(Out.size() + FCount);
  for (const auto& b : FBlocks) Out.insert(Out.end(), b.begin(), b.end());
}

}  // namespace detail
}  // namespace nuv
