// TIntMatrix in the sparse form and the operations that serve both forms.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"
#include "common/test_util.h"

using nuv::TIntMatrix;
using nuv::TSpMatElemInt;

namespace {

std::unique_ptr<TIntMatrix> Sparse(int32_t AllocBy = 10) {
  return std::unique_ptr<TIntMatrix>(TIntMatrix::CreateSparse(nullptr, AllocBy));
}

std::vector<std::pair<int32_t, int32_t>> Positions(const TIntMatrix& m) {
  std::vector<std::pair<int32_t, int32_t>> out;
  for (const TSpMatElemInt& e : m.SpMat()) out.emplace_back(e.colidx, e.rowidx);
  return out;
}

using PosList = std::vector<std::pair<int32_t, int32_t>>;

}  // namespace

TEST(IntMatrixSparse, InsertionOrderBoxAndCounts) {
  auto m = Sparse(10);
  EXPECT_TRUE(m->IsSparse());
  EXPECT_EQ(m->NrOfColumns(), 0);
  EXPECT_EQ(m->NumAllocated(), 10);
  EXPECT_EQ(m->SparseLowCol(), 2147483647);
  EXPECT_EQ(m->SparseHighCol(), 1);
  int changes = 0;
  m->SetOnChange([&](nuv::TObject*) { ++changes; });
  m->SetVal(5, 3, 7);
  EXPECT_EQ(m->NrOfColumns(), 5);
  EXPECT_EQ(m->NrOfRows(), 3);
  EXPECT_EQ(m->GetVal(5, 3), 7);
  EXPECT_EQ(m->GetVal(4, 3), 0);
  EXPECT_EQ(m->GetVal(6, 3), 0);
  m->SetVal(2, 9, 1);
  m->SetVal(1, 4, 2);
  m->SetVal(2, 1, 3);
  EXPECT_EQ(Positions(*m), (PosList{{1, 4}, {2, 1}, {2, 9}, {5, 3}}));
  EXPECT_EQ(m->SparseLowCol(), 1);
  EXPECT_EQ(m->SparseHighCol(), 5);
  EXPECT_EQ(m->SparseLowRow(), 1);
  EXPECT_EQ(m->SparseHighRow(), 9);
  EXPECT_EQ(m->NrOfRows(), 9);
  // Writing 0 stores an entry; overwriting keeps the count; non-positive indices do nothing.
  m->SetVal(3, 3, 0);
  m->SetVal(3, 3, 0);
  m->SetVal(0, 2, 5);
  m->SetVal(2, -1, 5);
  EXPECT_EQ(m->SparseNumElem(), 5);
  EXPECT_EQ(changes, 6);
  // After 11 insertions with AllocBy 10 the list has room for 20.
  for (int32_t r = 1; r <= 6; ++r) m->SetVal(7, r, r);
  EXPECT_EQ(m->SparseNumElem(), 11);
  EXPECT_EQ(m->NumAllocated(), 20);
  // Fill(0) empties the list; a nonzero Fill writes only the stored entries.
  m->Fill(4);
  EXPECT_EQ(m->GetVal(2, 9), 4);
  EXPECT_EQ(m->GetVal(1, 1), 0);
  m->Fill(0);
  EXPECT_EQ(m->SparseNumElem(), 0);
  EXPECT_EQ(m->NumAllocated(), 10);
  EXPECT_EQ(m->NrOfColumns(), 0);
  EXPECT_EQ(m->SparseLowRow(), 2147483647);
  EXPECT_EQ(m->GetVal(2, 9), 0);
}

TEST(IntMatrixSparse, RandomInsertionsMatchAnOrderedMap) {
  // Enough entries to split blocks many times, in random order with repeats.
  auto m = Sparse(7);
  std::map<std::pair<int32_t, int32_t>, int32_t> ref;
  std::mt19937 gen(42);
  std::uniform_int_distribution<int32_t> pos(1, 120);
  for (int i = 0; i < 20000; ++i) {
    const int32_t c = pos(gen), r = pos(gen), v = static_cast<int32_t>(gen());
    m->SetVal(c, r, v);
    ref[{c, r}] = v;
  }
  const std::vector<TSpMatElemInt> list = m->SpMat();
  ASSERT_EQ(list.size(), ref.size());
  EXPECT_EQ(m->SparseNumElem(), static_cast<int32_t>(ref.size()));
  auto it = ref.begin();
  for (const TSpMatElemInt& e : list) {
    EXPECT_EQ(std::make_pair(e.colidx, e.rowidx), it->first);
    EXPECT_EQ(e.value, it->second);
    EXPECT_EQ(m->GetVal(e.colidx, e.rowidx), e.value);
    ++it;
  }
  const int32_t n = static_cast<int32_t>(ref.size());
  EXPECT_EQ(m->NumAllocated(), 7 * ((n + 6) / 7));
}

TEST(IntMatrixSparse, ResizeDropsEntriesAndKeepsOrder) {
  auto m = Sparse();
  m->SetVal(3, 1, 30);
  m->SetVal(1, 1, 10);
  m->SetVal(2, 2, 20);
  int changes = 0;
  m->SetOnChange([&](nuv::TObject*) { ++changes; });
  EXPECT_FALSE(m->Resize(2, 2));
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(Positions(*m), (PosList{{1, 1}, {2, 2}}));
  EXPECT_EQ(m->NrOfColumns(), 2);
  EXPECT_EQ(m->SparseHighCol(), 2);
  EXPECT_EQ(m->GetVal(3, 1), 0);
  // Not cleared by ResizeAndClear either, since Resize returned false.
  EXPECT_FALSE(m->ResizeAndClear(4, 4));
  EXPECT_EQ(m->GetVal(2, 2), 20);
  // Shrinking to nothing lowers the box with the counts.
  m->Resize(0, 0);
  EXPECT_EQ(m->SparseNumElem(), 0);
  EXPECT_EQ(m->SparseHighCol(), 0);
  EXPECT_EQ(m->SparseLowCol(), 0);
}

TEST(IntMatrixSparse, TransposeSortsTheListBack) {
  auto m = Sparse();
  m->SetVal(1, 3, 13);
  m->SetVal(2, 1, 21);
  m->SetVal(3, 2, 32);
  m->SetVal(3, 5, 35);
  const int32_t nc = m->NrOfColumns(), nr = m->NrOfRows();
  EXPECT_TRUE(m->Transpose());
  EXPECT_EQ(Positions(*m), (PosList{{1, 2}, {2, 3}, {3, 1}, {5, 3}}));
  EXPECT_EQ(m->GetVal(5, 3), 35);
  EXPECT_EQ(m->GetVal(1, 2), 21);
  EXPECT_EQ(m->SparseLowCol(), 1);
  EXPECT_EQ(m->SparseHighCol(), 5);
  EXPECT_EQ(m->SparseHighRow(), 3);
  // The counts are left as they were.
  EXPECT_EQ(m->NrOfColumns(), nc);
  EXPECT_EQ(m->NrOfRows(), nr);
}

TEST(IntMatrixSparse, ConversionsBothWays) {
  TIntMatrix d;
  d.Resize(2, 2);  // columns [0, 5], [0, 0]
  d.SetVal(1, 2, 5);
  d.ArrayToSparse(0);
  EXPECT_TRUE(d.IsSparse());
  EXPECT_EQ(d.AllocBy(), 1);
  EXPECT_EQ(Positions(d), (PosList{{1, 2}}));
  EXPECT_EQ(d.NrOfColumns(), 2);
  EXPECT_EQ(d.NrOfRows(), 2);
  EXPECT_EQ(d.GetVal(1, 2), 5);
  d.ArrayToSparse(5);  // already sparse: nothing
  EXPECT_EQ(d.AllocBy(), 1);
  d.SparseToArray();
  EXPECT_FALSE(d.IsSparse());
  EXPECT_EQ(d.NrOfColumns(), 1);
  EXPECT_EQ(d.NrOfRows(), 2);
  EXPECT_EQ(d.GetVal(1, 2), 5);
  EXPECT_EQ(d.GetVal(1, 1), 0);
  EXPECT_EQ(d.NumAllocated(), 0);

  auto e = Sparse();
  e->SparseToArray();
  EXPECT_FALSE(e->IsSparse());
  EXPECT_EQ(e->NrOfColumns(), 1);
  EXPECT_EQ(e->NrOfRows(), 1);
  EXPECT_EQ(e->GetVal(1, 1), 0);

  // A larger round trip: every nonzero element survives, in column order.
  TIntMatrix big;
  big.Resize(40, 30);
  for (int32_t c = 1; c <= 40; ++c)
    for (int32_t r = 1; r <= 30; ++r) big.SetVal(c, r, (c * 7 + r * 3) % 5 == 0 ? 0 : c * 100 + r);
  TIntMatrix copy;
  copy.Clone(&big);
  big.ArrayToSparse(16);
  EXPECT_EQ(big.NumAllocated() % 16, 0);
  EXPECT_GE(big.NumAllocated(), big.SparseNumElem());
  big.SparseToArray();
  EXPECT_EQ(big.CRCofData(), copy.CRCofData());
}

TEST(IntMatrixSparse, OwnerDestroysSparseMatrix) {
  nuv::TComponent owner;
  TIntMatrix* m = TIntMatrix::CreateSparse(&owner, -3);
  EXPECT_EQ(m->AllocBy(), 1);
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(owner.Components(0), m);
}

TEST(IntMatrixSparse, StatisticsOverStoredEntriesAndZeros) {
  auto s = Sparse();
  TIntMatrix d;
  d.Resize(4, 3);
  const int32_t vals[][3] = {{1, 1, 4}, {2, 3, -7}, {4, 2, 9}, {3, 3, 0}, {4, 3, 2}};
  for (const auto& v : vals) {
    s->SetVal(v[0], v[1], v[2]);
    d.SetVal(v[0], v[1], v[2]);
  }
  ASSERT_EQ(s->NrOfColumns(), 4);
  ASSERT_EQ(s->NrOfRows(), 3);
  EXPECT_EQ(s->Sum(0, 0, 0, 0), 8);
  EXPECT_EQ(s->Sum(2, 2, 4, 3), 4);
  int32_t mn, mx;
  s->MinMax(2, 1, 4, 3, mn, mx);
  EXPECT_EQ(mn, -7);
  EXPECT_EQ(mx, 9);
  s->MinMax(1, 2, 1, 3, mn, mx);  // no stored entry in the block
  EXPECT_EQ(mn, 2147483647);
  EXPECT_EQ(mx, -2147483647);
  // Mean, variance and shape as over the dense equivalent, zeros included.
  double m1, v1, m2, v2, s1, k1, s2, k2;
  s->MeanVar(0, 0, 0, 0, m1, v1);
  d.MeanVar(0, 0, 0, 0, m2, v2);
  EXPECT_REL_NEAR(m1, m2, nuv_test::kTol1);
  EXPECT_REL_NEAR(v1, v2, nuv_test::kTol1);
  s->SkewKurtSample(0, 0, 0, 0, s1, k1);
  d.SkewKurtSample(0, 0, 0, 0, s2, k2);
  EXPECT_REL_NEAR(s1, s2, nuv_test::kTol2);
  EXPECT_REL_NEAR(k1, k2, nuv_test::kTol2);
  // Trace: only with a square bounding box.
  EXPECT_EQ(s->Trace(), 0);
  s->SetVal(3, 4, 0);
  s->SetVal(4, 4, 5);
  EXPECT_EQ(s->Trace(), 4 + 5);
}

TEST(IntMatrixSparse, AddIntoDenseAndClone) {
  auto s = Sparse();
  s->SetVal(2, 3, 10);
  s->SetVal(1, 1, -4);
  TIntMatrix d;
  d.Resize(2, 2);
  EXPECT_FALSE(d.Add(s.get()));  // three rows needed
  EXPECT_FALSE(s->Add(&d));      // a sparse receiver adds nothing
  d.Resize(3, 3);
  d.Fill(1);
  int changes = 0;
  d.SetOnChange([&](nuv::TObject*) { ++changes; });
  EXPECT_TRUE(d.Add(s.get()));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(d.GetVal(2, 3), 11);
  EXPECT_EQ(d.GetVal(1, 1), -3);
  EXPECT_EQ(d.GetVal(3, 3), 1);

  auto t = Sparse(3);
  t->Resize(9, 9);
  t->Clone(s.get());
  EXPECT_EQ(Positions(*t), Positions(*s));
  EXPECT_EQ(t->AllocBy(), 10);
  EXPECT_EQ(t->NrOfColumns(), 9);  // the counts are kept
  d.Clone(s.get());                // other form: nothing
  EXPECT_EQ(d.GetVal(2, 3), 11);
}

TEST(IntMatrixSparse, CopiesThroughGetValAndSetVal) {
  auto s = Sparse();
  s->SetVal(1, 1, 1);
  s->SetVal(2, 2, 2);
  nuv::TMatrix m;
  m.Resize(3, 3);
  m.Fill(9.5);
  m.CopyFrom(s.get(), 1, 1, 2, 2, 2, 2);
  EXPECT_EQ(m.GetVal(2, 2), 1.0);
  EXPECT_EQ(m.GetVal(3, 2), 0.0);
  EXPECT_EQ(m.GetVal(3, 3), 2.0);
  EXPECT_EQ(m.GetVal(1, 1), 9.5);
  TIntMatrix d;
  d.Resize(2, 2);
  d.CopyFrom(s.get(), 0, 0, 0, 0, 2, 2);  // (0, 0) is element 1
  EXPECT_EQ(d.GetVal(2, 2), 1);
  nuv::TIntVector v;
  v.Resize(3);
  s->CopyRowToVec(&v, 2, 0, 0);
  EXPECT_EQ(v.GetVal(1), 0);
  EXPECT_EQ(v.GetVal(2), 2);
  EXPECT_EQ(v.GetVal(3), 0);
  s->CopyColToVec(&v, 1, 0, 0);
  EXPECT_EQ(v.GetVal(1), 1);
}

TEST(IntMatrixSparse, DenseOnlyOperationsRefuse) {
  auto s = Sparse();
  s->SetVal(2, 2, 4);
  s->SetVal(1, 1, 2);
  int changes = 0, exchanges = 0;
  s->SetOnChange([&](nuv::TObject*) { ++changes; });
  s->SetOnSortExchange(
      [&](nuv::TObject*, uint8_t, int32_t, int32_t, int32_t, int32_t) { ++exchanges; });
  const auto before = s->SpMat();
  EXPECT_EQ(s->CountValues(0, 0, 0, 0, 0, 10), 0);
  EXPECT_EQ(s->CountMaskedZeros(0, 0, 0, 0, 1), 0);
  EXPECT_EQ(s->GeometricMean(0, 0, 0, 0), 0.0);
  EXPECT_EQ(s->HarmonicMean(0, 0, 0, 0), 0.0);
  double q1 = 1, q2 = 1, q3 = 1;
  EXPECT_FALSE(s->Quartiles(0, 0, 0, 0, q1, q2, q3));
  EXPECT_EQ(q2, 0.0);
  EXPECT_EQ(s->Percentile(50, 0, 0, 0, 0), 0.0);
  EXPECT_EQ(s->Percentile(50, 0, 0, 0, 0, 1), 0.0);
  int32_t ci = 5, ri = 5;
  s->Find(0, 0, 0, 0, 4, ci, ri);
  EXPECT_EQ(ci, 0);
  EXPECT_EQ(s->FindInSortedColumn(1, true, 2), 0);
  EXPECT_EQ(s->CRCofData(), "");
  TIntMatrix d, res;
  d.Resize(2, 2);
  EXPECT_FALSE(s->Subtract(&d));
  EXPECT_FALSE(d.Subtract(s.get()));
  EXPECT_FALSE(s->Multiply(&d, &res));
  EXPECT_FALSE(d.Multiply(s.get(), &res));
  EXPECT_FALSE(s->MultiplyTransposed(&d, &res));
  EXPECT_FALSE(s->TransposeAndMultiply(&d, &res));
  EXPECT_FALSE(s->EMult(&d, &res));
  nuv::TIntVector vb, vr;
  vb.Resize(2);
  EXPECT_FALSE(s->Multiply(&vb, &vr));
  EXPECT_FALSE(s->TransposeAndMultiply(&vb, &vr));
  nuv::TVector means;
  means.Resize(5);
  s->MeanVec(nuv::dimColumns, &means);
  s->EdgeVector(nuv::orVertical, nuv::eopSum, &means);
  EXPECT_EQ(means.NrOfElem(), 5);
  s->SMult(3);
  s->SAdd(3);
  s->FillDiag(7);
  s->SortRows(1, false, 0, 0, 0, 0);
  s->SortCols(1, false, 0, 0, 0, 0);
  s->MirrorColumns();
  s->MirrorRows();
  s->ExchangeColumns(1, 2);
  s->ExchangeRows(1, 2);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(exchanges, 0);
  const auto after = s->SpMat();
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) EXPECT_EQ(after[i].value, before[i].value);
}
