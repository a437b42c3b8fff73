#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Nuv_matrix/Nuv_matrix.h"
#include "common/test_util.h"

using namespace nuv;

namespace {

/// A c x r matrix whose element (c, r) is 10 c + r: every value tells its place.
void FillPlaces(TMatrix& m, int32_t nc, int32_t nr) {
  m.Resize(nc, nr);
  for (int32_t c = 1; c <= nc; ++c)
    for (int32_t r = 1; r <= nr; ++r) m.SetVal(c, r, 10.0 * c + r);
}

struct ChangeCounter {
  int Count = 0;
  TNotifyEvent Handler() {
    return [this](TObject*) { ++Count; };
  }
};

}  // namespace

TEST(MatrixCore, CreateAndColumnFirstAddressing) {
  TMatrix m;
  EXPECT_EQ(m.NrOfColumns(), 1);
  EXPECT_EQ(m.NrOfRows(), 1);
  EXPECT_EQ(m.GetVal(1, 1), 0.0);
  EXPECT_EQ(m.GetFPrecis(1), 15);
  EXPECT_EQ(m.GetFPrecis(2), -1);
  EXPECT_TRUE(m.DataID().empty());

  FillPlaces(m, 2, 3);
  EXPECT_EQ(m.GetVal(2, 3), 23.0);  // column 2, row 3: the last element
  EXPECT_EQ(m.ColData(2)[2], 23.0);
  EXPECT_EQ(m.ColStride(), 3);
  EXPECT_EQ(m.GetVal(3, 1), 0.0);
  EXPECT_EQ(m.GetVal(0, 1), 0.0);
  EXPECT_EQ(m.GetVal(1, 4), 0.0);

  ChangeCounter cc;
  m.SetOnChange(cc.Handler());
  m.SetVal(3, 1, 5.0);
  m.SetVal(1, 0, 5.0);
  EXPECT_EQ(cc.Count, 0);
  m.SetVal(1, 1, 5.0);
  EXPECT_EQ(cc.Count, 1);

  m.SetFPrecis(1, 40);
  m.SetFPrecis(2, -5);
  EXPECT_EQ(m.GetFPrecis(1), 25);
  EXPECT_EQ(m.GetFPrecis(2), -1);
  EXPECT_EQ(m.GetFPrecis(0), 25);
  EXPECT_EQ(m.GetFPrecis(9), -1);
}

TEST(MatrixCore, ResizeKeepsCellsAndTheOneCellStorage) {
  TMatrix m;
  FillPlaces(m, 3, 4);
  ChangeCounter cc;
  m.SetOnChange(cc.Handler());
  EXPECT_TRUE(m.Resize(3, 4));
  EXPECT_EQ(cc.Count, 0);
  EXPECT_TRUE(m.Resize(3, 5));
  EXPECT_EQ(cc.Count, 1);
  for (int32_t c = 1; c <= 3; ++c) {
    for (int32_t r = 1; r <= 4; ++r) EXPECT_EQ(m.GetVal(c, r), 10.0 * c + r);
    EXPECT_EQ(m.GetVal(c, 5), 0.0);
  }
  // Shrinking rows and growing columns at once moves every column.
  m.Resize(5, 2);
  EXPECT_EQ(m.GetVal(3, 2), 32.0);
  EXPECT_EQ(m.GetVal(4, 1), 0.0);
  m.Resize(5, 4);
  EXPECT_EQ(m.GetVal(3, 3), 0.0);

  TMatrix k;
  k.Resize(3, 3);
  k.Fill(7.0);
  k.Resize(-2, 3);
  EXPECT_EQ(k.NrOfColumns(), 0);
  EXPECT_EQ(k.GetVal(1, 1), 0.0);
  k.Fill(1.0);  // no elements: the kept column stays as it was
  k.Resize(3, 3);
  for (int32_t r = 1; r <= 3; ++r) {
    EXPECT_EQ(k.GetVal(1, r), 7.0);
    EXPECT_EQ(k.GetVal(2, r), 0.0);
    EXPECT_EQ(k.GetVal(3, r), 0.0);
  }
  k.SetNRows(-1);
  EXPECT_EQ(k.NrOfRows(), 0);
  k.SetNRows(2);
  EXPECT_EQ(k.GetVal(2, 1), 0.0);
  EXPECT_EQ(k.GetVal(1, 1), 7.0);  // row 1 was the kept row
  EXPECT_EQ(k.GetVal(1, 2), 0.0);

  TMatrix z;
  z.Resize(0, 0);
  z.Resize(2, 2);
  EXPECT_EQ(z.CountValues(0, 0, 0, 0, 0.0, 0.0), 4);
}

TEST(MatrixCore, ResizeFailureRaisesAndKeepsTheMatrix) {
  TMatrix m;
  m.SetName("Big");
  FillPlaces(m, 2, 2);
  ChangeCounter cc;
  m.SetOnChange(cc.Handler());
  const int32_t huge = std::numeric_limits<int32_t>::max();
  EXPECT_THROW_MSG(m.Resize(huge, huge), ENUVMatrixError,
                   "Component \"Big\": not enough memory on heap");
  EXPECT_THROW_MSG(m.ResizeAndClear(huge, 1 << 30), ENUVMatrixError,
                   "Component \"Big\": not enough memory on heap");
  EXPECT_EQ(m.NrOfColumns(), 2);
  EXPECT_EQ(m.NrOfRows(), 2);
  EXPECT_EQ(m.GetVal(2, 2), 22.0);
  EXPECT_EQ(cc.Count, 0);
}

TEST(MatrixCore, Filling) {
  TMatrix m;
  m.Resize(3, 2);
  ChangeCounter cc;
  m.SetOnChange(cc.Handler());
  m.Fill(2.5);
  m.FillDiag(-1.0);
  EXPECT_EQ(cc.Count, 2);
  EXPECT_EQ(m.GetVal(1, 1), -1.0);
  EXPECT_EQ(m.GetVal(2, 2), -1.0);
  EXPECT_EQ(m.GetVal(3, 2), 2.5);
  EXPECT_EQ(m.GetVal(2, 1), 2.5);
  EXPECT_TRUE(m.ResizeAndClear(3, 2));
  EXPECT_EQ(m.CountValues(0, 0, 0, 0, 0.0, 0.0), 6);

  SetRandSeed(11);
  m.Resize(40, 50);
  m.FillRandomUniform(2.0, 5.0);
  double lo = 1e9, hi = -1e9;
  for (int32_t c = 1; c <= 40; ++c)
    for (int32_t r = 1; r <= 50; ++r) {
      lo = std::min(lo, m.GetVal(c, r));
      hi = std::max(hi, m.GetVal(c, r));
    }
  EXPECT_GE(lo, 2.0);
  EXPECT_LT(hi, 5.0);
  // Columns outer, rows inner: element (1, 2) is the second draw.
  SetRandSeed(11);
  const double u1 = Random(), u2 = Random();
  EXPECT_EQ(m.GetVal(1, 1), 2.0 + u1 * 3.0);
  EXPECT_EQ(m.GetVal(1, 2), 2.0 + u2 * 3.0);
  m.FillRandomGauss(10.0, 0.0);
  EXPECT_EQ(m.CountValues(0, 0, 0, 0, 10.0, 10.0), 2000);
}

TEST(MatrixCore, CloneAssignAndEvents) {
  TMatrix src;
  src.SetDataID("run 7");
  src.SetFPrecis(1, 9);
  src.SetFPrecis(2, 3);
  FillPlaces(src, 10, 10);
  int srcEvents = 0;
  src.SetOnChange([&srcEvents](TObject*) { ++srcEvents; });

  TMatrix dst;
  ChangeCounter cc;
  dst.SetOnChange(cc.Handler());
  dst.Clone(&src);
  EXPECT_EQ(cc.Count, 1 + 100 + 1);  // the resize, 100 elements, the final Changed
  cc.Count = 0;
  dst.Clone(&src);
  EXPECT_EQ(cc.Count, 101);
  EXPECT_EQ(dst.GetVal(10, 10), 110.0);
  EXPECT_TRUE(dst.DataID().empty());
  EXPECT_EQ(dst.GetFPrecis(1), 15);
  dst.Clone(nullptr);
  EXPECT_EQ(cc.Count, 101);

  TMatrix quiet;
  quiet.Clone(&src);
  EXPECT_EQ(quiet.CRCofData(), src.CRCofData());

  TMatrix a;
  a.Assign(&src);
  EXPECT_EQ(srcEvents, 0);  // Assign fires nothing
  EXPECT_EQ(a.NrOfColumns(), 10);
  EXPECT_EQ(a.GetVal(4, 7), 47.0);
  EXPECT_EQ(a.DataID(), "run 7");
  EXPECT_EQ(a.GetFPrecis(1), 9);
  EXPECT_EQ(a.GetFPrecis(2), 3);
  a.SetVal(1, 1, 0.0);  // the copied handler is the source's
  EXPECT_EQ(srcEvents, 1);
  EXPECT_EQ(src.GetVal(1, 1), 11.0);

  TMatrix b;
  src.AssignTo(&b);
  EXPECT_EQ(b.GetVal(10, 1), 101.0);
  TVector v;
  EXPECT_THROW(a.Assign(&v), EConvertError);
  EXPECT_THROW(a.AssignTo(&v), EConvertError);
}

TEST(MatrixCore, CopyFromClipsEachBound) {
  TMatrix src;
  FillPlaces(src, 4, 5);
  TMatrix m;
  m.Resize(3, 3);
  ChangeCounter cc;
  m.SetOnChange(cc.Handler());

  m.CopyFrom(&src, 0, 0, 0, 0, 1, 1);  // (0, 0) is element 1, not the whole block
  EXPECT_EQ(m.GetVal(1, 1), 11.0);
  EXPECT_EQ(m.GetVal(2, 1), 0.0);
  EXPECT_EQ(cc.Count, 2);

  // Reversed and oversized bounds: columns 4..3 -> 3..4, rows 9..4 -> 4..5;
  // targets beyond the 3 x 3 receiver are dropped.
  m.Fill(0.0);
  cc.Count = 0;
  m.CopyFrom(&src, 4, 9, 3, 4, 2, 2);
  EXPECT_EQ(m.GetVal(2, 2), 34.0);
  EXPECT_EQ(m.GetVal(2, 3), 35.0);
  EXPECT_EQ(m.GetVal(3, 2), 44.0);
  EXPECT_EQ(m.GetVal(3, 3), 45.0);
  EXPECT_EQ(m.GetVal(1, 1), 0.0);
  EXPECT_EQ(m.NrOfColumns(), 3);
  EXPECT_EQ(cc.Count, 4 + 1);

  // Negative destinations: only the part that lands inside is written.
  TMatrix q;
  q.Resize(3, 3);
  q.CopyFrom(&src, 1, 1, 4, 5, -1, 0);
  EXPECT_EQ(q.GetVal(1, 1), 32.0);  // source (3, 2)
  EXPECT_EQ(q.GetVal(2, 3), 44.0);
  EXPECT_EQ(q.GetVal(3, 1), 0.0);

  // Into itself, overlapping: the original values are read.
  TMatrix s;
  FillPlaces(s, 3, 3);
  s.CopyFrom(&s, 1, 1, 2, 2, 2, 2);
  EXPECT_EQ(s.GetVal(2, 2), 11.0);
  EXPECT_EQ(s.GetVal(3, 3), 22.0);
  EXPECT_EQ(s.GetVal(3, 2), 21.0);
  TMatrix se;
  FillPlaces(se, 3, 3);
  int n = 0;
  se.SetOnChange([&n](TObject*) { ++n; });
  se.CopyFrom(&se, 1, 1, 2, 2, 2, 2);
  EXPECT_EQ(se.CRCofData(), s.CRCofData());
  EXPECT_EQ(n, 4 + 1);

  // A source without elements copies nothing.
  TMatrix empty;
  empty.Resize(0, 3);
  m.CopyFrom(&empty, 0, 0, 0, 0, 1, 1);
  EXPECT_EQ(m.GetVal(1, 1), 0.0);
  m.CopyFrom(nullptr, 1, 1, 1, 1, 1, 1);
}

TEST(MatrixCore, VectorCopies) {
  TVector v;
  v.Resize(5);
  for (int32_t i = 1; i <= 5; ++i) v.SetVal(i, 1.5 * i);
  TMatrix m;
  m.Resize(4, 4);
  ChangeCounter cc;
  m.SetOnChange(cc.Handler());
  m.CopyFromVec(dimColumns, &v, 0, 0, 2, 3);  // along row 3 from column 2; 3 fit
  EXPECT_EQ(cc.Count, 3 + 1);
  EXPECT_EQ(m.GetVal(2, 3), 1.5);
  EXPECT_EQ(m.GetVal(4, 3), 4.5);
  m.CopyFromVec(&v, 4, 2, 1, 1);  // down column 1, elements 2..4
  EXPECT_EQ(m.GetVal(1, 1), 3.0);
  EXPECT_EQ(m.GetVal(1, 3), 6.0);
  EXPECT_EQ(m.GetVal(1, 4), 0.0);

  TMatrix src;
  FillPlaces(src, 5, 4);
  TVector three, six;
  three.Resize(3);
  six.Resize(6);
  six.Fill(9.0);
  src.CopyRowToVec(&three, 2, 0, 0);
  EXPECT_EQ(three.GetVal(1), 12.0);
  EXPECT_EQ(three.GetVal(3), 32.0);
  src.CopyRowToVec(&six, 7, 0, 0);  // row clamped to 4
  EXPECT_EQ(six.GetVal(1), 14.0);
  EXPECT_EQ(six.GetVal(5), 54.0);
  EXPECT_EQ(six.GetVal(6), 0.0);
  src.CopyColToVec(&three, 0, 4, 2);  // column clamped to 1, rows 2..4
  EXPECT_EQ(three.GetVal(1), 12.0);
  EXPECT_EQ(three.GetVal(3), 14.0);
  TMatrix e;
  e.Resize(3, 0);
  e.CopyColToVec(&three, 1, 0, 0);
  EXPECT_EQ(three.GetVal(1), 0.0);
  EXPECT_EQ(three.GetVal(3), 0.0);
}

TEST(MatrixCore, CountValuesAndChecksum) {
  TMatrix m;
  FillPlaces(m, 3, 4);
  m.SetVal(2, 2, 1.0);
  m.SetVal(3, 4, 1.0);
  m.SetVal(1, 1, std::nan(""));
  EXPECT_EQ(m.CountValues(0, 0, 0, 0, 1.0, 1.0), 2);
  EXPECT_EQ(m.CountValues(3, 2, 9, 3, 13.0, 34.0), 3);  // cols 2..3, rows 3..4: 23, 33 (34 is 1)
  EXPECT_EQ(m.CountValues(0, 0, 0, 0, -INFINITY, INFINITY), 11);

  // Reference: the CRC-32 of the zero byte is 0xD202EF8D (zlib crc32 of "\0");
  // a single 0.0 puts a zero byte into every register.
  TMatrix one;
  std::string zeros;
  for (int k = 0; k < 8; ++k) zeros += "D202EF8D";
  EXPECT_EQ(one.CRCofData(), zeros);
  // 1.0 is 00 00 00 00 00 00 F0 3F: registers 6 and 7 see 0xF0 and 0x3F;
  // zlib.crc32(b"\xf0") = 0x6FBF1D91, zlib.crc32(b"\x3f") = 0x6464C2B0 (Python zlib).
  one.SetVal(1, 1, 1.0);
  EXPECT_EQ(one.CRCofData(), zeros.substr(0, 48) + "6FBF1D91" + "6464C2B0");

  TMatrix e;
  e.Resize(0, 4);
  EXPECT_EQ(e.CRCofData(), std::string(64, '0'));

  TMatrix a, b;
  a.Resize(2, 3);
  b.Resize(3, 2);
  for (int32_t i = 0; i < 6; ++i) {
    a.ColData(1)[i] = 0.5 + i;
    b.ColData(1)[i] = 0.5 + i;
  }
  EXPECT_EQ(a.CRCofData(), b.CRCofData());
  EXPECT_EQ(a.CRCofData().size(), 64u);
  const std::string before = a.CRCofData();
  a.SetVal(1, 1, 1.5);
  a.SetVal(1, 2, 0.5);
  EXPECT_NE(a.CRCofData(), before);
}
