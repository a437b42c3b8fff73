#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "Nuv_vector/Nuv_vector.h"
#include "common/memory_limit.h"
#include "common/test_util.h"

using namespace nuv;

namespace {

TVector* MakeVec(std::initializer_list<double> values, TComponent* owner = nullptr) {
  auto* v = new TVector(owner);
  v->Resize(static_cast<int32_t>(values.size()));
  int32_t i = 1;
  for (double x : values) v->SetVal(i++, x);
  return v;
}

std::vector<double> Values(const TVector& v) {
  std::vector<double> out;
  for (int32_t i = 1; i <= v.NrOfElem(); ++i) out.push_back(v.GetVal(i));
  return out;
}

}  // namespace

TEST(VectorCore, CreateResizeAndOutOfRangeAccess) {
  TComponent owner;
  TVector* v = MakeVec({1, 2, 3}, &owner);
  int changes = 0;
  v->SetOnChange([&](TObject* s) {
    EXPECT_EQ(s, v);
    ++changes;
  });
  EXPECT_FALSE(v->Resize(0));
  EXPECT_FALSE(v->Resize(-3));
  EXPECT_TRUE(v->Resize(3));
  v->SetVecSize(0);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(v->NrOfElem(), 3);

  EXPECT_TRUE(v->Resize(5));
  EXPECT_EQ(Values(*v), (std::vector<double>{1, 2, 3, 0, 0}));
  EXPECT_TRUE(v->Resize(2));
  EXPECT_EQ(Values(*v), (std::vector<double>{1, 2}));
  EXPECT_EQ(changes, 2);

  EXPECT_EQ(v->GetVal(0), 0.0);
  EXPECT_EQ(v->GetVal(3), 0.0);
  v->SetVal(0, 9);
  v->SetVal(3, 9);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(Values(*v), (std::vector<double>{1, 2}));

  TVector fresh;
  EXPECT_EQ(fresh.NrOfElem(), 1);
  EXPECT_TRUE(fresh.IsEmpty());
  fresh.Resize(4);
  EXPECT_TRUE(fresh.IsEmpty());  // resizing leaves the flag
  fresh.SetVal(2, 1.5);
  EXPECT_FALSE(fresh.IsEmpty());
  fresh.Clear();
  EXPECT_TRUE(fresh.IsEmpty());
  fresh.AbsVal();
  EXPECT_TRUE(fresh.IsEmpty());
  fresh.Fill(-2.5);
  EXPECT_FALSE(fresh.IsEmpty());
  fresh.AbsVal();
  EXPECT_EQ(fresh.GetVal(4), 2.5);
}

TEST(VectorCore, HugeResizeRaisesAndKeepsVector) {
  NUV_SKIP_WITHOUT_MEMORY_LIMIT();
  TVector v;
  v.SetName("Big");
  v.Resize(3);
  v.SetVal(2, 7);
  {
    nuv_test::ScopedAddressSpaceLimit cap(4ull << 30);  // 16 GiB of elements cannot fit
    EXPECT_THROW_MSG(v.Resize(2147483647), ENUVVectorError,
                     "Component \"Big\": not enough memory");
  }
  EXPECT_EQ(v.NrOfElem(), 3);
  EXPECT_EQ(v.GetVal(2), 7.0);
}

TEST(VectorCore, AssignCopiesHandlersAndRefusesOtherClasses) {
  TVector* src = MakeVec({4, 5, 6});
  int srcChanges = 0, sorts = 0;
  src->SetOnChange([&](TObject*) { ++srcChanges; });
  src->SetOnSortExchange([&](TObject*, uint8_t, int32_t, int32_t, int32_t, int32_t) { ++sorts; });
  srcChanges = 0;
  TVector dst;
  dst.Assign(src);
  EXPECT_EQ(srcChanges, 0);  // Assign fires nothing
  EXPECT_EQ(Values(dst), (std::vector<double>{4, 5, 6}));
  EXPECT_FALSE(dst.IsEmpty());
  dst.SetVal(1, 9);  // the copied handler hears the target's changes
  EXPECT_EQ(srcChanges, 1);
  dst.SortElems(true, 0, 0);
  EXPECT_GT(sorts, 0);

  TIntVector iv;
  EXPECT_THROW_MSG(dst.Assign(&iv), EConvertError, "Cannot assign a TIntVector to a TVector");
  EXPECT_THROW_MSG(iv.Assign(&dst), EConvertError, "Cannot assign a TVector to a TIntVector");
  TVector back;
  src->AssignTo(&back);
  EXPECT_EQ(Values(back), (std::vector<double>{4, 5, 6}));
  delete src;
}

TEST(VectorCore, CloneAndCopyFromClipping) {
  TVector* src = MakeVec({1, 2, 3, 4});
  TVector dst;
  int changes = 0;
  dst.SetOnChange([&](TObject*) { ++changes; });
  dst.Clone(src);
  // One resize, one event per element written, one at the end.
  EXPECT_EQ(changes, 1 + 4 + 1);
  EXPECT_EQ(Values(dst), (std::vector<double>{1, 2, 3, 4}));

  dst.Fill(0);
  dst.CopyFrom(src, 0, 0, 1);  // no "all" rule: element 1 only
  EXPECT_EQ(Values(dst), (std::vector<double>{1, 0, 0, 0}));
  dst.Fill(0);
  dst.CopyFrom(src, 9, 3, 3);  // (3, 4) copied to 3, 4
  EXPECT_EQ(Values(dst), (std::vector<double>{0, 0, 3, 4}));
  dst.Fill(0);
  dst.CopyFrom(src, 1, 4, -1);  // destinations -1, 0 skipped
  EXPECT_EQ(Values(dst), (std::vector<double>{3, 4, 0, 0}));
  src->CopyFrom(src, 1, 3, 2);  // overlapping copy reads the original values
  EXPECT_EQ(Values(*src), (std::vector<double>{1, 1, 2, 3}));
  dst.CopyFrom(nullptr, 1, 1, 1);
  dst.Clone(nullptr);
  delete src;
}

TEST(VectorCore, LengthAndChecksum) {
  TVector* v = MakeVec({3, 4});
  EXPECT_DOUBLE_EQ(v->CalcVecLeng(), 5.0);
  v->SetVecLeng(10);
  EXPECT_DOUBLE_EQ(v->GetVal(1), 6.0);
  EXPECT_DOUBLE_EQ(v->GetVal(2), 8.0);
  TVector zero;
  zero.Resize(3);
  EXPECT_THROW_MSG(zero.SetVecLeng(1), ENUVVectorError, "vector has zero length");

  // CRC-32 of one zero byte is 0xD202EF8D (standard check: zlib crc32(b"\0")).
  TVector one;
  std::string crc = one.CRCofData();
  ASSERT_EQ(crc.size(), 64u);
  for (int k = 0; k < 8; ++k) EXPECT_EQ(crc.substr(static_cast<size_t>(8 * k), 8), "D202EF8D");
  TVector* a = MakeVec({1, 2});
  TVector* b = MakeVec({2, 1});
  EXPECT_NE(a->CRCofData(), b->CRCofData());
  TIntVector iv;
  EXPECT_EQ(iv.CRCofData(), "D202EF8DD202EF8DD202EF8DD202EF8D");
  // Elements whose bytes differ at every position, so each register sees its own stream:
  // byte k of every element (little-endian) feeds register k. Python 3.11.2:
  //   bs = [struct.pack("<d", x) for x in xs]
  //   "".join("%08X" % zlib.crc32(bytes(b[k] for b in bs)) for k in range(8))
  // and the same with "<i" and range(4) for the integers.
  TVector* mixed = MakeVec({1.5, -2.25e-300, 3.141592653589793, -0.0});
  EXPECT_EQ(mixed->CRCofData(), "35F979D91C8A4CB4D7FE2A15369856BD7DA88993BDA8866E7819F5B5743A8A79");
  TIntVector imixed;
  imixed.Resize(4);
  const int32_t ints[] = {1, -2, 0x12345678, std::numeric_limits<int32_t>::min()};
  for (int32_t i = 1; i <= 4; ++i) imixed.SetVal(i, ints[i - 1]);
  EXPECT_EQ(imixed.CRCofData(), "C144155D733D112324F618060A901802");
  delete mixed;
  delete v;
  delete a;
  delete b;
}

TEST(VectorCore, ArithmeticEventsAndSizeErrors) {
  TVector* a = MakeVec({1, 2, 3});
  TVector* b = MakeVec({4, 5, 6});
  TVector* c = MakeVec({1, 2});
  int changes = 0;
  a->SetOnChange([&](TObject*) { ++changes; });
  a->Add(b);
  a->Subtract(b);
  a->SMult(2);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(Values(*a), (std::vector<double>{2, 4, 6}));
  EXPECT_DOUBLE_EQ(a->DotProduct(b), 2 * 4 + 4 * 5 + 6 * 6);
  EXPECT_EQ(a->DotProduct(nullptr), 0.0);
  EXPECT_THROW_MSG(a->Add(c), ENUVVectorError, "Component \"\": vectors have different dimensions");
  EXPECT_THROW_MSG(a->DotProduct(c), ENUVVectorError,
                   "Component \"\": vectors have different dimensions");
  EXPECT_THROW_MSG(a->EuclideanDistance(c), ENUVVectorError,
                   "EuclideanDistance: dimensions of vectors do not match");
  // Correlate: sum of a[i] * b[i + shift], elements outside b count as 0.
  EXPECT_DOUBLE_EQ(a->Correlate(b, 1), 2 * 5 + 4 * 6);
  EXPECT_DOUBLE_EQ(a->Correlate(b, -2), 6 * 4);
  EXPECT_EQ(a->Correlate(b, 3), 0.0);
  EXPECT_EQ(a->Correlate(b, -2147483647), 0.0);

  TVector* p = MakeVec({0, 0});
  TVector* q = MakeVec({3, 4});
  EXPECT_DOUBLE_EQ(p->EuclideanDistance(q), 5.0);
  delete a;
  delete b;
  delete c;
  delete p;
  delete q;
}

TEST(VectorCore, PearsonFindAndSortedSearch) {
  TVector* x = MakeVec({1, 2, 3, 4});
  TVector* y = MakeVec({2, 4, 6, 8.5});
  // r from the closed form: Sxy / sqrt(Sxx Syy) with centred sums 10.75, 5, 23.1875.
  EXPECT_REL_NEAR(x->PearsonCorrCoeff(y), 10.75 / std::sqrt(5 * 23.1875), nuv_test::kTol1);
  TVector* flat = MakeVec({2, 2, 2, 2});
  EXPECT_EQ(x->PearsonCorrCoeff(flat), 0.0);

  EXPECT_EQ(x->Find(0, 0, 2.5), 2);  // first of two equally close
  EXPECT_EQ(x->Find(3, 4, 0), 3);
  EXPECT_EQ(x->FindInSortedVector(true, 2.5), 3);  // equally close: the higher index
  EXPECT_EQ(x->FindInSortedVector(true, 2), 2);
  EXPECT_EQ(x->FindInSortedVector(true, -7), 1);
  EXPECT_EQ(x->FindInSortedVector(true, 99), 4);
  TVector* d = MakeVec({9, 7, 5, 3, 1});
  EXPECT_EQ(d->FindInSortedVector(false, 5.2), 3);
  EXPECT_EQ(d->FindInSortedVector(false, 1.9), 5);
  TVector single;
  EXPECT_EQ(single.FindInSortedVector(true, 42), 1);
  TVector* withNaN = MakeVec({NAN, 5, NAN, 4});
  EXPECT_EQ(withNaN->Find(0, 0, 0), 4);
  EXPECT_EQ(withNaN->Find(0, 0, NAN), 0);
  delete x;
  delete y;
  delete flat;
  delete d;
  delete withNaN;
}

TEST(VectorCore, SortElemsExchangeEventsMirrorShuffle) {
  TVector* v = MakeVec({3, 1, 2});
  std::vector<std::vector<int32_t>> swaps;
  int changes = 0;
  v->SetOnSortExchange([&](TObject*, uint8_t kind, int32_t i, int32_t j, int32_t f, int32_t l) {
    swaps.push_back({kind, i, j, f, l});
  });
  v->SetOnChange([&](TObject*) { ++changes; });
  v->SortElems(true, 0, 0);
  // Start gap 3 - 1 = 2 shrinks to 1: (3,1) swap, (3,2) swap; then a clean pass.
  EXPECT_EQ(swaps, (std::vector<std::vector<int32_t>>{{0, 1, 2, 0, 0}, {0, 2, 3, 0, 0}}));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(Values(*v), (std::vector<double>{1, 2, 3}));

  TVector* w = MakeVec({5, 9, 1, 7, 3});
  w->SortElems(false, 4, 2);  // positions 2..4 only
  EXPECT_EQ(Values(*w), (std::vector<double>{5, 9, 7, 1, 3}));
  w->SortElems(true, 3, 3);  // one element: nothing, no event
  w->Mirror();
  EXPECT_EQ(Values(*w), (std::vector<double>{3, 1, 7, 9, 5}));
  TVector* nan = MakeVec({2, NAN, 1, NAN, 0});
  nan->SortElems(true, 0, 0);
  EXPECT_EQ(nan->GetVal(1), 0.0);
  EXPECT_EQ(nan->GetVal(3), 2.0);
  EXPECT_TRUE(std::isnan(nan->GetVal(4)) && std::isnan(nan->GetVal(5)));

  TVector big;
  big.Resize(1000);
  for (int32_t i = 1; i <= 1000; ++i) big.SetVal(i, i);
  int shuffleChanges = 0;
  big.SetOnChange([&](TObject*) { ++shuffleChanges; });
  big.ShuffleElems();
  EXPECT_EQ(shuffleChanges, 0);
  EXPECT_DOUBLE_EQ(big.Sum(0, 0), 500500.0);  // a permutation keeps the sum
  delete v;
  delete w;
  delete nan;
}

TEST(VectorCore, RandomFills) {
  SetRandSeed(7);
  TVector v;
  v.Resize(20000);
  v.FillRandomUniform(-2, 6);
  double mn, mx, mean, var;
  v.MinMax(0, 0, mn, mx);
  EXPECT_GE(mn, -2.0);
  EXPECT_LT(mx, 6.0);
  v.MeanVar(0, 0, mean, var);
  EXPECT_NEAR(mean, 2.0, 0.1);         // uniform on [-2, 6): mean 2
  EXPECT_NEAR(var, 64.0 / 12, 0.2);    // variance (b - a)^2 / 12
  v.FillRandomGauss(10, 3);
  v.MeanVar(0, 0, mean, var);
  EXPECT_NEAR(mean, 10.0, 0.1);
  EXPECT_NEAR(var, 9.0, 0.4);
  EXPECT_FALSE(v.IsEmpty());

  // The formulas and the draw order on a seeded sequence: RangeLow + u (RangeHigh -
  // RangeLow) and g StdDev + Mean, element by element, from the values of
  // tests/Nuv_math1/reference/random_sequences.py at seed 12345. A fresh thread starts
  // with no cached normal deviate.
  std::thread([] {
    TVector w;
    w.Resize(5);
    SetRandSeed(12345);
    w.FillRandomUniform(-2, 6);
    const double uniform[] = {3.950465305252715, -0.9596357229773238, 5.706675944102836,
                              -1.6132790813092335, 2.4414628426116494};
    for (int32_t i = 1; i <= 5; ++i) EXPECT_EQ(w.GetVal(i), uniform[i - 1]) << i;
    SetRandSeed(12345);
    w.FillRandomGauss(10, 3);
    const double gauss[] = {8.258120738677786, 11.147936902765327, 9.26327405564553,
                            10.08308362620506, 8.515398980439763};
    for (int32_t i = 1; i <= 5; ++i) EXPECT_REL_NEAR(w.GetVal(i), gauss[i - 1], nuv_test::kTol1);
  }).join();
}
