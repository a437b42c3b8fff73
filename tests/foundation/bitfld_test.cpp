#include <gtest/gtest.h>

#include <memory>

#include "common/test_util.h"
#include "foundation/frame.h"

using namespace nuv;

// Sizes around the 64-bit word boundaries, where masking mistakes show.
TEST(BitFld, BitNExistsAndBitNPlusOneDoesNot) {
  TBitFld bf;
  EXPECT_EQ(bf.Size(), 0);
  bf.SetBit(0, true);
  EXPECT_TRUE(bf.GetBit(0));
  for (const int32_t n : {0, 1, 62, 63, 64, 65, 127, 128, 1000}) {
    bf.SetSize(n);
    bf.Clear();
    EXPECT_EQ(bf.Size(), n);
    bf.SetBit(n, true);
    bf.SetBit(n + 1, true);  // no-op
    bf.SetBit(-1, true);     // no-op
    EXPECT_TRUE(bf.GetBit(n)) << n;
    EXPECT_FALSE(bf.GetBit(n + 1)) << n;
    EXPECT_FALSE(bf.GetBit(-1)) << n;
    EXPECT_EQ(bf.CountTrueBits(), 1) << n;
    bf.SetBit(n, false);
    EXPECT_EQ(bf.CountTrueBits(), 0) << n;
  }
  bf.SetSize(-5);
  EXPECT_EQ(bf.Size(), 0);
}

TEST(BitFld, ResizeKeepsBitsAndShrinkingDropsTheRest) {
  TBitFld bf;
  bf.SetSize(200);
  for (int32_t i = 0; i <= 200; i += 3) bf.SetBit(i, true);
  EXPECT_EQ(bf.CountTrueBits(), 67);  // 0, 3, ..., 198: 200 / 3 + 1
  bf.SetSize(64);                     // keeps 0, 3, ..., 63: 22 bits
  EXPECT_EQ(bf.CountTrueBits(), 22);
  bf.SetSize(300);  // bits 65..300 come back false
  EXPECT_EQ(bf.CountTrueBits(), 22);
  EXPECT_FALSE(bf.GetBit(66));
  EXPECT_TRUE(bf.GetBit(63));
}

TEST(BitFld, InvertCountsOnlyExistingBits) {
  TBitFld bf;
  for (const int32_t n : {0, 63, 64, 100}) {
    bf.SetSize(n);
    bf.Clear();
    bf.SetBit(0, true);
    bf.Invert();
    EXPECT_EQ(bf.CountTrueBits(), n) << n;  // n + 1 bits, one was true
    EXPECT_FALSE(bf.GetBit(0));
    EXPECT_TRUE(bf.GetBit(n) || n == 0);
    bf.Invert();
    EXPECT_EQ(bf.CountTrueBits(), 1) << n;
  }
  // Growing after Invert must not reveal inverted padding bits.
  bf.SetSize(10);
  bf.Clear();
  bf.Invert();
  bf.SetSize(70);
  EXPECT_EQ(bf.CountTrueBits(), 11);
}

TEST(BitFld, CloneCopiesSizeAndBits) {
  TBitFld bf;
  bf.SetSize(130);
  bf.SetBit(1, true);
  bf.SetBit(130, true);
  std::unique_ptr<TBitFld> copy(bf.Clone());
  EXPECT_EQ(copy->Size(), 130);
  EXPECT_EQ(copy->Words(), bf.Words());
}

// The receiver form takes size and bits from the source, shrinking or growing
// the receiver; bits set in the receiver beforehand must not survive.
TEST(BitFld, CloneFromSourceCopiesSizeAndBits) {
  for (const int32_t n : {0, 1, 31, 32, 33, 1000}) {
    TBitFld src;
    src.SetSize(n);
    for (int32_t i = 0; i <= n; i += 3) src.SetBit(i, true);
    src.SetBit(n, true);
    TBitFld dst;
    dst.SetSize(2000);
    dst.Invert();
    dst.Clone(&src);
    EXPECT_EQ(dst.Size(), n);
    for (int32_t i = 0; i <= n; ++i) EXPECT_EQ(dst.GetBit(i), src.GetBit(i)) << n << " bit " << i;
    EXPECT_EQ(dst.CountTrueBits(), src.CountTrueBits()) << n;
    dst.SetSize(n + 100);  // bits beyond the copied size come up false
    EXPECT_EQ(dst.CountTrueBits(), src.CountTrueBits()) << n;
  }
  TBitFld keep;
  keep.SetSize(40);
  keep.SetBit(7, true);
  keep.Clone(nullptr);
  EXPECT_EQ(keep.Size(), 40);
  EXPECT_TRUE(keep.GetBit(7));
  EXPECT_EQ(keep.CountTrueBits(), 1);
}

TEST(BitFld, CombineWithWorksOnCommonBitsOnly) {
  // a = {1, 2, 70, 100}, size 100; b = {2, 3, 70}, size 70
  TBitFld a, b;
  a.SetSize(100);
  b.SetSize(70);
  for (const int32_t i : {1, 2, 70, 100}) a.SetBit(i, true);
  for (const int32_t i : {2, 3, 70}) b.SetBit(i, true);
  const auto bits = [](const TBitFld& f) {
    std::vector<int32_t> out;
    for (int32_t i = 0; i <= f.Size(); ++i)
      if (f.GetBit(i)) out.push_back(i);
    return out;
  };
  using V = std::vector<int32_t>;
  std::unique_ptr<TBitFld> r(a.Clone());
  r->CombineWith(&b, loAnd);
  EXPECT_EQ(bits(*r), (V{2, 70, 100}));  // 100 lies beyond b and stays
  r.reset(a.Clone());
  r->CombineWith(&b, loOr);
  EXPECT_EQ(bits(*r), (V{1, 2, 3, 70, 100}));
  r.reset(a.Clone());
  r->CombineWith(&b, loXor);
  EXPECT_EQ(bits(*r), (V{1, 3, 100}));
  r.reset(a.Clone());
  r->CombineWith(&b, loAndNot);
  EXPECT_EQ(bits(*r), (V{1, 100}));
  EXPECT_EQ(r->Size(), 100);

  // The smaller field keeps its size; a's bit 100 does not leak in.
  std::unique_ptr<TBitFld> s(b.Clone());
  s->CombineWith(&a, loOr);
  EXPECT_EQ(s->Size(), 70);
  EXPECT_EQ(bits(*s), (V{1, 2, 3, 70}));
  EXPECT_EQ(s->CountTrueBits(), 4);

  s->CombineWith(s.get(), loXor);  // with itself
  EXPECT_EQ(s->CountTrueBits(), 0);
  s->CombineWith(nullptr, loOr);
  EXPECT_EQ(s->Size(), 70);
}

// A field given an owner goes with it (the sanitizer build reports a leak otherwise).
TEST(BitFld, OwnedFieldIsDestroyedWithItsOwner) {
  auto owner = std::make_unique<TComponent>();
  auto* bf = new TBitFld(owner.get());
  bf->SetSize(200);
  EXPECT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(owner->Components(0), bf);
  std::unique_ptr<TBitFld> copy(bf->Clone());
  EXPECT_EQ(copy->Owner(), nullptr);
  EXPECT_EQ(copy->Size(), 200);
}
