// TMat3D: storage order, sizing, events, search and statistics, the layer
// copies to and from TMatrix, and TMatrix.CopyFrom of one layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"
#include "common/matrix_helpers.h"
#include "common/test_util.h"

using namespace nuv;

namespace {

/// Element (x, y, z) := 100 x + 10 y + z: every position has its own value.
void FillPositions(TMat3D& m, int32_t nx, int32_t ny, int32_t nz) {
  m.Resize(nx, ny, nz);
  for (int32_t x = 1; x <= nx; ++x)
    for (int32_t y = 1; y <= ny; ++y)
      for (int32_t z = 1; z <= nz; ++z) m.SetVal(x, y, z, 100.0 * x + 10.0 * y + z);
}

double Pos(int32_t x, int32_t y, int32_t z) { return 100.0 * x + 10.0 * y + z; }

TEST(Mat3D, LayersOfOnePixelAreContiguousAndResizeKeepsValues) {
  TMat3D m;
  FillPositions(m, 4, 3, 5);
  // The layers of pixel (2, 3) are one array, pixel after pixel with the row inner.
  const double* px = m.PixelData(2, 3);
  for (int32_t z = 1; z <= 5; ++z) EXPECT_EQ(px[z - 1], Pos(2, 3, z));
  EXPECT_EQ(m.Data()[((2 - 1) * 3 + (3 - 1)) * 5 + 4], Pos(2, 3, 5));

  int changes = 0;
  m.SetOnChange([&](TObject*) { ++changes; });
  EXPECT_TRUE(m.Resize(2, 0, 3));  // a count <= 0: nothing happens
  EXPECT_TRUE(m.Resize(4, 3, 5));  // the same counts: nothing happens
  EXPECT_EQ(changes, 0);
  m.Resize(5, 2, 7);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(m.GetVal(4, 2, 5), Pos(4, 2, 5));
  EXPECT_EQ(m.GetVal(5, 2, 5), 0.0);
  EXPECT_EQ(m.GetVal(4, 2, 6), 0.0);
  EXPECT_EQ(m.GetVal(4, 3, 5), 0.0);  // outside: row 3 is gone
  m.SetNRows(0);
  EXPECT_EQ(m.NrOfRows(), 1);
  EXPECT_EQ(m.GetVal(3, 1, 2), Pos(3, 1, 2));

  // Out-of-range writes, Fill and SetVal fire nothing; FillDiag and the random fills do.
  changes = 0;
  m.SetVal(0, 1, 1, 9.0);
  m.SetVal(1, 1, 8, 9.0);
  m.SetVal(1, 1, 1, 9.0);
  m.Fill(0.0);
  EXPECT_EQ(changes, 0);
  m.FillDiag(2.0);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(m.GetVal(1, 1, 1), 2.0);
  EXPECT_EQ(m.GetVal(2, 1, 2), 0.0);  // row 2 does not exist: only (1, 1, 1)
  m.FillRandomUniform(0, 1);
  EXPECT_EQ(changes, 2);
}

TEST(Mat3D, LayerCopiesFollowTheStorageOrder) {
  TMat3D m;
  FillPositions(m, 5, 4, 3);
  m.SetName("cube");
  TMatrix d;
  d.Resize(2, 2);
  d.Fill(7.0);
  EXPECT_THROW_MSG(m.CopyLayerToMatrix(&d, 0, 0, 0, 0, 0), ENUVMatrixError,
                   "Component \"cube\": specified layer beyond data range");
  EXPECT_THROW_MSG(m.CopyLayerToMatrix(&d, 0, 0, 0, 0, 4), ENUVMatrixError,
                   "Component \"cube\": specified layer beyond data range");
  EXPECT_EQ(d.NrOfColumns(), 2);  // untouched
  EXPECT_EQ(d.GetVal(1, 1), 7.0);

  // Columns 2..4, rows 3..6 (clipped to 4) of layer 2.
  m.CopyLayerToMatrix(&d, 4, 2, 3, 6, 2);
  ASSERT_EQ(d.NrOfColumns(), 3);
  ASSERT_EQ(d.NrOfRows(), 2);
  for (int32_t c = 1; c <= 3; ++c)
    for (int32_t r = 1; r <= 2; ++r) EXPECT_EQ(d.GetVal(c, r), Pos(c + 1, r + 2, 2));
  // With a handler every element goes through SetVal: one event each.
  int events = 0;
  d.SetOnChange([&](TObject*) { ++events; });
  m.CopyLayerToMatrix(&d, 0, 0, 0, 0, 3);
  EXPECT_EQ(events, 1 + 20);  // the resize, then 5 x 4 elements
  EXPECT_EQ(d.GetVal(5, 4), Pos(5, 4, 3));

  // Into a layer: LayLowCol 0 drops the first source column and shifts the rest left.
  TMatrix s;
  nuv_test::FromRows(s, {{1, 2, 3}, {4, 5, 6}});
  m.Fill(-1.0);
  m.CopyMatrixToLayer(&s, 1, 3, 1, 2, 2, 0, 1);
  EXPECT_EQ(m.GetVal(1, 1, 2), 2.0);
  EXPECT_EQ(m.GetVal(2, 1, 2), 3.0);
  EXPECT_EQ(m.GetVal(1, 2, 2), 5.0);
  EXPECT_EQ(m.GetVal(3, 1, 2), -1.0);
  EXPECT_EQ(m.GetVal(1, 1, 1), -1.0);  // other layers untouched
  // A range beyond the source reads 0.0; a reversed range copies nothing; a huge
  // range costs only the targets inside.
  m.CopyMatrixToLayer(&s, 3, 4, 2, 2, 1, 5, 4);
  EXPECT_EQ(m.GetVal(5, 4, 1), 6.0);
  m.CopyMatrixToLayer(&s, 3, 1, 1, 2, 1, 1, 1);
  EXPECT_EQ(m.GetVal(1, 1, 1), -1.0);
  m.CopyMatrixToLayer(&s, -2000000000, 2000000000, 1, 1, 3, 1, 1);
  EXPECT_EQ(m.GetVal(1, 1, 3), 0.0);  // source column -2e9 lies outside s
  EXPECT_THROW_MSG(m.CopyMatrixToLayer(&s, 1, 1, 1, 1, 4, 1, 1), ENUVMatrixError,
                   "Component \"cube\": specified layer beyond data range");
}

TEST(Mat3D, MatrixCopyFromOneLayer) {
  TMat3D m;
  FillPositions(m, 4, 3, 2);
  TMatrix d;
  d.Resize(3, 3);
  d.Fill(-1.0);
  // (0, 0) is element 1; the layer is clipped into 1..2.
  d.CopyFrom(&m, 0, 0, 0, 0, 9, 2, 2);
  EXPECT_EQ(d.GetVal(2, 2), Pos(1, 1, 2));
  EXPECT_EQ(d.GetVal(1, 1), -1.0);
  // A reversed block, partly beyond the receiver.
  d.CopyFrom(&m, 4, 3, 2, 1, 0, 1, 1);
  EXPECT_EQ(d.GetVal(1, 1), Pos(2, 1, 1));
  EXPECT_EQ(d.GetVal(3, 3), Pos(4, 3, 1));
  int events = 0;
  d.SetOnChange([&](TObject*) { ++events; });
  d.CopyFrom(&m, 1, 1, 4, 3, 2, 2, 2);  // 4 x 3 source, 2 x 2 land inside
  EXPECT_EQ(events, 4 + 1);
  EXPECT_EQ(d.GetVal(3, 3), Pos(2, 2, 2));
}

using Mat3DProgress = nuv_test::ProgressTest;

TEST_F(Mat3DProgress, FindMinMaxPercentileAndChecksum) {
  TMat3D m;
  FillPositions(m, 3, 4, 5);
  int32_t cx, cy, cz;
  // 233 and 234 are equally close to 233.5: the first in column order wins.
  m.Find(0, 0, 0, 0, 0, 0, 233.5, cx, cy, cz);
  EXPECT_EQ(cx * 100 + cy * 10 + cz, 233);
  m.SetVal(1, 1, 2, 234.0);
  m.Find(0, 0, 0, 0, 0, 0, 233.5, cx, cy, cz);
  EXPECT_EQ(cx * 100 + cy * 10 + cz, 112);
  m.Find(0, 0, 0, 0, 0, 0, std::nan(""), cx, cy, cz);
  EXPECT_EQ(cx + cy + cz, 0);

  // Extremes over a block; progress once every (pixels div 100 + 1) pixels.
  ProcStat = 0;
  double mn, mx;
  m.MinMax(2, 3, 2, 4, 2, 3, mn, mx);
  EXPECT_EQ(mn, Pos(2, 2, 2));
  EXPECT_EQ(mx, Pos(3, 4, 3));
  EXPECT_EQ(ProcStat.load(), 6.0);  // 2 x 3 pixels, one step each
  m.SetVal(2, 2, 2, std::nan(""));
  m.SetVal(3, 4, 3, -INFINITY);
  m.MinMax(2, 3, 2, 4, 2, 3, mn, mx);
  EXPECT_EQ(mn, -INFINITY);
  EXPECT_EQ(mx, Pos(3, 4, 2));
  TMat3D big;
  big.Resize(25, 10, 1);
  ProcStat = 0;
  big.MinMax(0, 0, 0, 0, 0, 0, mn, mx);
  EXPECT_EQ(ProcStat.load(), 250 / 3);  // every third pixel

  // Percentiles select over the block; the largest and smallest at 100 and 0.
  FillPositions(m, 3, 4, 5);
  EXPECT_EQ(m.Percentile(100, 0, 0, 0, 0, 0, 0), Pos(3, 4, 5));
  EXPECT_EQ(m.Percentile(-5, 0, 0, 0, 0, 0, 0), Pos(1, 1, 1));
  // The 9 values 2xy of layer 2..2 of rows 1..3, columns 1..3: rank round(4.5) = 4.
  EXPECT_EQ(m.Percentile(50, 1, 3, 1, 3, 2, 2), Pos(2, 2, 2));
  // A sample as large as the block is the block itself.
  EXPECT_EQ(m.Percentile(50, 1, 3, 1, 3, 2, 2, 9), Pos(2, 2, 2));
  const double sampled = m.Percentile(50, 0, 0, 0, 0, 0, 0, 20);
  EXPECT_GE(sampled, Pos(1, 1, 1));
  EXPECT_LE(sampled, Pos(3, 4, 5));

  // The checksum runs column, row, layer: the same as a matrix holding those
  // values column after column.
  TMatrix flat;
  flat.Resize(3, 4 * 5);
  for (int32_t x = 1; x <= 3; ++x)
    for (int32_t y = 1; y <= 4; ++y)
      for (int32_t z = 1; z <= 5; ++z) flat.SetVal(x, (y - 1) * 5 + z, m.GetVal(x, y, z));
  EXPECT_EQ(m.CRCofData(), flat.CRCofData());
  TMat3D copy;
  int events = 0;
  copy.SetOnChange([&](TObject*) { ++events; });
  copy.Clone(&m);
  EXPECT_EQ(copy.CRCofData(), m.CRCofData());
  EXPECT_EQ(events, 2);  // the resize and the end
}

TEST(Mat3D, HugeSizesRaiseNotEnoughMemory) {
  TMat3D m;
  m.SetName("big");
  FillPositions(m, 2, 2, 2);
  EXPECT_THROW_MSG(m.Resize(2147483647, 2147483647, 2147483647), ENUVMatrixError,
                   "Component \"big\": not enough memory on heap");
  EXPECT_EQ(m.NrOfColumns(), 2);
  EXPECT_EQ(m.GetVal(2, 2, 2), Pos(2, 2, 2));
}

}  // namespace
