// TMat4D: addressing, storage order, sizing, events, assignment, the checksum
// order and the copies to and from TMatrix, TMat3D and plain arrays.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"
#include "common/matrix_helpers.h"
#include "common/test_util.h"

using namespace nuv;

namespace {

double Pos(int32_t x, int32_t y, int32_t z, int32_t t) {
  return 1000.0 * x + 100.0 * y + 10.0 * z + t;
}

/// Element (x, y, z, t) := 1000 x + 100 y + 10 z + t.
void FillPositions(TMat4D& m, int32_t nx, int32_t ny, int32_t nz, int32_t nt) {
  m.Resize(nx, ny, nz, nt);
  for (int32_t x = 1; x <= nx; ++x)
    for (int32_t y = 1; y <= ny; ++y)
      for (int32_t z = 1; z <= nz; ++z)
        for (int32_t t = 1; t <= nt; ++t) m.SetVal(x, y, z, t, Pos(x, y, z, t));
}

TEST(Mat4D, LinearAddressesAndTheirInverse) {
  TMat4D m;
  m.Resize(4, 3, 2, 1);
  EXPECT_EQ(m.Lin3DAddr(1, 1, 1), 0);
  EXPECT_EQ(m.Lin3DAddr(2, 1, 1), 2);
  EXPECT_EQ(m.Lin3DAddr(1, 2, 1), 8);
  EXPECT_EQ(m.Lin3DAddr(4, 3, 2), 23);
  EXPECT_EQ(m.Lin3DAddr(5, 1, 1), -1);
  EXPECT_EQ(m.Lin3DAddr(1, 1, 0), -1);
  int32_t x = 9, y = 9, z = 9;
  EXPECT_TRUE(m.ConvertLinTo3DAddr(23, x, y, z));
  EXPECT_EQ(x * 100 + y * 10 + z, 432);
  EXPECT_FALSE(m.ConvertLinTo3DAddr(24, x, y, z));
  EXPECT_FALSE(m.ConvertLinTo3DAddr(-1, x, y, z));
  EXPECT_EQ(x * 100 + y * 10 + z, 432);  // untouched on failure

  // Over a whole array every address is hit once and converts back.
  m.Resize(7, 5, 3, 2);
  std::set<int32_t> seen;
  for (int32_t ix = 1; ix <= 7; ++ix)
    for (int32_t iy = 1; iy <= 5; ++iy)
      for (int32_t il = 1; il <= 3; ++il) {
        const int32_t a = m.Lin3DAddr(ix, iy, il);
        ASSERT_TRUE(m.ConvertLinTo3DAddr(a, x, y, z));
        EXPECT_EQ(x * 100 + y * 10 + z, ix * 100 + iy * 10 + il);
        seen.insert(a);
      }
  EXPECT_EQ(seen.size(), 105u);
  EXPECT_EQ(*seen.rbegin(), 104);

  m.Resize(1024, 1024, 1, 1);
  EXPECT_EQ(m.MemoryConsumed(), 8.0);
}

TEST(Mat4D, ColumnsOfOneRowAreContiguousSlotOutermost) {
  TMat4D m;
  FillPositions(m, 5, 4, 3, 2);
  const double* d = m.Data();
  EXPECT_EQ(d[0], Pos(1, 1, 1, 1));
  EXPECT_EQ(d[1], Pos(2, 1, 1, 1));
  EXPECT_EQ(d[5], Pos(1, 2, 1, 1));
  EXPECT_EQ(d[20], Pos(1, 1, 2, 1));
  EXPECT_EQ(d[60], Pos(1, 1, 1, 2));
  EXPECT_EQ(d[119], Pos(5, 4, 3, 2));
  EXPECT_EQ(m.GetVal(6, 1, 1, 1), 0.0);
  EXPECT_EQ(m.GetVal(1, 1, 1, 3), 0.0);

  // Resize keeps the values whose four indices stay valid, in either buffer path.
  int changes = 0;
  m.SetOnChange([&](TObject*) { ++changes; });
  EXPECT_TRUE(m.Resize(5, 4, 0, 2));
  EXPECT_EQ(changes, 0);
  m.Resize(5, 4, 3, 3);  // slots only
  m.Resize(6, 3, 4, 2);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(m.GetVal(5, 3, 3, 2), Pos(5, 3, 3, 2));
  EXPECT_EQ(m.GetVal(6, 3, 4, 2), 0.0);
  m.SetNTSlots(-3);
  EXPECT_EQ(m.NrOfTimeSlots(), 1);

  // SetVal and FillLayer fire nothing; Fill and FillDiag do.
  changes = 0;
  m.SetVal(1, 1, 1, 1, 5.0);
  m.FillLayer(2, 3.0);
  m.FillLayer(5, 3.0);  // no such layer: nothing
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(m.GetVal(6, 3, 2, 1), 3.0);
  EXPECT_EQ(m.GetVal(6, 3, 3, 1), 0.0);
  m.Fill(0.0);
  m.FillDiag(1.0);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(m.GetVal(1, 1, 1, 1), 1.0);
  EXPECT_EQ(m.GetVal(2, 2, 2, 1), 0.0);  // one slot: only (1, 1, 1, 1)
}

TEST(Mat4D, RandomFillsDrawColumnFirstSlotInnermost) {
  TMat4D m;
  m.Resize(3, 2, 2, 4);
  SetRandSeed(11);
  m.FillRandomUniform(-1, 1);
  SetRandSeed(11);
  for (int32_t x = 1; x <= 3; ++x)
    for (int32_t y = 1; y <= 2; ++y)
      for (int32_t z = 1; z <= 2; ++z)
        for (int32_t t = 1; t <= 4; ++t) EXPECT_EQ(m.GetVal(x, y, z, t), -1 + Random() * 2);
}

TEST(Mat4D, ChecksumRunsColumnFirstSlotInnermost) {
  TMat4D m;
  FillPositions(m, 3, 4, 2, 5);
  // A 3-D array whose layer (z - 1) 5 + t holds element (x, y, z, t) is fed in
  // the same order.
  TMat3D flat;
  flat.Resize(3, 4, 10);
  for (int32_t x = 1; x <= 3; ++x)
    for (int32_t y = 1; y <= 4; ++y)
      for (int32_t z = 1; z <= 2; ++z)
        for (int32_t t = 1; t <= 5; ++t) flat.SetVal(x, y, (z - 1) * 5 + t, m.GetVal(x, y, z, t));
  std::vector<int32_t> percents;
  m.SetOnPercentDone([&](TObject*, int32_t p) { percents.push_back(p); });
  EXPECT_EQ(m.CRCofData(), flat.CRCofData());
  // One step per column-row pixel: 12 steps, each reported.
  ASSERT_EQ(percents.size(), 12u);
  EXPECT_EQ(percents[0], 8);  // 100 / 12 rounded
  EXPECT_EQ(percents[5], 50);
  EXPECT_EQ(percents[11], 100);
  m.SetVal(1, 1, 1, 2, Pos(1, 1, 1, 3));
  m.SetVal(1, 1, 1, 3, Pos(1, 1, 1, 2));
  EXPECT_NE(m.CRCofData(), flat.CRCofData());
}

TEST(Mat4D, AssignCopiesDataIdAndEventsCloneDoesNot) {
  TMat4D a, b;
  FillPositions(a, 3, 2, 2, 2);
  a.SetDataID("source");
  int changes = 0;
  a.SetOnChange([&](TObject*) { ++changes; });
  b.Assign(&a);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(b.DataID(), "source");
  EXPECT_EQ(b.CRCofData(), a.CRCofData());
  b.Fill(1.0);  // b now notifies a's handler
  EXPECT_EQ(changes, 1);
  TMat3D cube;
  EXPECT_THROW(b.Assign(&cube), EConvertError);
  EXPECT_THROW(cube.Assign(&a), EConvertError);

  TMat4D c;
  int cChanges = 0;
  c.SetOnChange([&](TObject*) { ++cChanges; });
  c.Clone(&a);
  EXPECT_EQ(c.CRCofData(), a.CRCofData());
  EXPECT_EQ(c.DataID(), "");
  EXPECT_EQ(cChanges, 2);  // the resize and the end
  c.Clone(nullptr);
  EXPECT_EQ(cChanges, 2);
}

TEST(Mat4D, CopiesToAndFromMatricesCubesAndArrays) {
  TMat4D m;
  m.SetName("m4");
  FillPositions(m, 5, 4, 3, 2);
  m.SetVal(2, 3, 2, 2, -7.5);

  TMatrix d;
  m.CopyLayerToMatrix(&d, 0, 0, 0, 0, 2, 2);
  ASSERT_EQ(d.NrOfColumns() * 10 + d.NrOfRows(), 54);
  EXPECT_EQ(d.GetVal(2, 3), -7.5);
  EXPECT_EQ(d.GetVal(5, 1), Pos(5, 1, 2, 2));
  EXPECT_THROW_MSG(m.CopyLayerToMatrix(&d, 0, 0, 0, 0, 4, 1), ENUVMatrixError,
                   "Component \"m4\": specified layer beyond data range");
  EXPECT_THROW_MSG(m.CopyLayerToMatrix(&d, 0, 0, 0, 0, 1, 3), ENUVMatrixError,
                   "Component \"m4\": specified time slot beyond data range");
  EXPECT_EQ(d.NrOfColumns(), 5);

  TMat3D cube;
  m.CopyTimeSlotToMat3D(&cube, 2, 3, 3, 4, 0, 0, 2);
  ASSERT_EQ(cube.NrOfColumns() * 100 + cube.NrOfRows() * 10 + cube.NrOfLayers(), 223);
  EXPECT_EQ(cube.GetVal(1, 1, 2), -7.5);
  EXPECT_EQ(cube.PixelData(2, 2)[2], Pos(3, 4, 3, 2));

  // Back: a matrix into a layer (source ranges made valid against the receiver),
  // a cube into a slot, an array into the layers of a pixel.
  TMatrix s;
  nuv_test::FromRows(s, {{1, 2}, {3, 4}});
  m.CopyMatrixToLayer(&s, 0, 0, 1, 2, 3, 1, 4, 3);
  EXPECT_EQ(m.GetVal(4, 3, 3, 1), 1.0);
  EXPECT_EQ(m.GetVal(5, 4, 3, 1), 4.0);
  EXPECT_EQ(m.GetVal(3, 3, 3, 1), Pos(3, 3, 3, 1));  // before LayLowCol
  // Columns 1..5 of a 2-column source: the columns beyond it read 0.0.
  EXPECT_EQ(m.GetVal(1, 1, 3, 1), Pos(1, 1, 3, 1));
  m.CopyMatrixToLayer(&s, 1, 5, 1, 1, 1, 1, 1, 1);
  EXPECT_EQ(m.GetVal(2, 1, 1, 1), 2.0);
  EXPECT_EQ(m.GetVal(3, 1, 1, 1), 0.0);
  EXPECT_THROW_MSG(m.CopyMatrixToLayer(&s, 0, 0, 0, 0, 0, 9, 1, 1), ENUVMatrixError,
                   "Component \"m4\": specified layer beyond data range");

  cube.Fill(9.0);
  m.CopyMat3DToTimeSlot(&cube, 0, 0, 0, 0, 0, 0, 1, 4, 4, 2);
  EXPECT_EQ(m.GetVal(4, 4, 2, 1), 9.0);
  EXPECT_EQ(m.GetVal(5, 4, 3, 1), 9.0);
  EXPECT_EQ(m.GetVal(4, 4, 1, 1), Pos(4, 4, 1, 1));
  EXPECT_THROW_MSG(m.CopyMat3DToTimeSlot(&cube, 0, 0, 0, 0, 0, 0, 3, 1, 1, 1), ENUVMatrixError,
                   "Component \"m4\": specified time slot beyond data range");

  // Four values from layer 2 of three layers: layers 2 and 3 take the first two.
  m.Copy1DArrayToPixel({0.5, 1.5, 2.5, 3.5}, 5, 1, 2, 2);
  EXPECT_EQ(m.GetVal(5, 1, 1, 2), Pos(5, 1, 1, 2));
  EXPECT_EQ(m.GetVal(5, 1, 2, 2), 0.5);
  EXPECT_EQ(m.GetVal(5, 1, 3, 2), 1.5);
  EXPECT_THROW_MSG(m.Copy1DArrayToPixel({1}, 6, 5, 4, 3), ENUVMatrixError,
                   "Component \"m4\": specified column beyond data range");
  EXPECT_THROW_MSG(m.Copy1DArrayToPixel({1}, 1, 5, 4, 3), ENUVMatrixError,
                   "Component \"m4\": specified row beyond data range");
  EXPECT_THROW_MSG(m.Copy1DArrayToPixel({1}, 1, 1, 4, 3), ENUVMatrixError,
                   "Component \"m4\": specified layer beyond data range");
  EXPECT_THROW_MSG(m.Copy1DArrayToPixel({1}, 1, 1, 1, 3), ENUVMatrixError,
                   "Component \"m4\": specified time slot beyond data range");
}

using Mat4DProgress = nuv_test::ProgressTest;

TEST_F(Mat4DProgress, BlockCopyBetweenArraysAndWithinOne) {
  TMat4D a, b;
  FillPositions(a, 6, 5, 3, 2);
  b.Resize(4, 4, 2, 2);
  int changes = 0;
  b.SetOnChange([&](TObject*) { ++changes; });
  // Source columns 2..6, rows 1..5, layers 2..3, slot 2 to (0, 2, 1, 2): the first
  // source column and the last rows fall outside.
  b.CopyFrom(&a, 2, 6, 0, 0, 2, 3, 2, 2, 0, 2, 1, 2);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(ProcStat.load(), 25.0);  // 5 x 5 source pixels, one step each
  for (int32_t x = 1; x <= 4; ++x)
    for (int32_t y = 2; y <= 4; ++y)
      for (int32_t z = 1; z <= 2; ++z) EXPECT_EQ(b.GetVal(x, y, z, 2), Pos(x + 2, y - 1, z + 1, 2));
  EXPECT_EQ(b.GetVal(1, 1, 1, 2), 0.0);
  EXPECT_EQ(b.GetVal(1, 2, 1, 1), 0.0);

  // Within one array an overlapping copy reads the original values, in either direction.
  FillPositions(a, 6, 5, 3, 2);
  a.CopyFrom(&a, 1, 5, 1, 4, 0, 0, 0, 0, 2, 2, 1, 1);
  EXPECT_EQ(a.GetVal(6, 5, 3, 2), Pos(5, 4, 3, 2));
  EXPECT_EQ(a.GetVal(2, 2, 1, 1), Pos(1, 1, 1, 1));
  EXPECT_EQ(a.GetVal(1, 1, 1, 1), Pos(1, 1, 1, 1));
  FillPositions(a, 6, 5, 3, 2);
  a.CopyFrom(&a, 2, 6, 2, 5, 0, 0, 0, 0, 1, 1, 1, 1);
  EXPECT_EQ(a.GetVal(1, 1, 1, 1), Pos(2, 2, 1, 1));
  EXPECT_EQ(a.GetVal(5, 4, 3, 2), Pos(6, 5, 3, 2));
}

}  // namespace
