// TMat4D reshaping: Cut, Resample (offsets, blocks past the edge, refused
// divisors), Transpose (with progress and abort), mirroring, huge sizes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"
#include "common/matrix_helpers.h"
#include "common/memory_limit.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol1;

namespace {

double Pos(int32_t x, int32_t y, int32_t z, int32_t t) {
  return 1000.0 * x + 100.0 * y + 10.0 * z + t;
}

void FillPositions(TMat4D& m, int32_t nx, int32_t ny, int32_t nz, int32_t nt) {
  m.Resize(nx, ny, nz, nt);
  for (int32_t x = 1; x <= nx; ++x)
    for (int32_t y = 1; y <= ny; ++y)
      for (int32_t z = 1; z <= nz; ++z)
        for (int32_t t = 1; t <= nt; ++t) m.SetVal(x, y, z, t, Pos(x, y, z, t));
}

std::string Dims(const TMat4D& m) {
  return std::to_string(m.NrOfColumns()) + "x" + std::to_string(m.NrOfRows()) + "x" +
         std::to_string(m.NrOfLayers()) + "x" + std::to_string(m.NrOfTimeSlots());
}

TEST(Mat4DReshape, CutKeepsTheBlock) {
  TMat4D m;
  FillPositions(m, 6, 5, 4, 3);
  std::vector<int32_t> percents;
  int changes = 0;
  m.SetOnPercentDone([&](TObject*, int32_t p) { percents.push_back(p); });
  m.SetOnChange([&](TObject*) { ++changes; });
  m.Cut(2, 4, 5, 3, 0, 0, 3, 2);
  EXPECT_EQ(Dims(m), "3x3x4x2");
  EXPECT_EQ(changes, 1);
  for (int32_t x = 1; x <= 3; ++x)
    for (int32_t y = 1; y <= 3; ++y)
      for (int32_t z = 1; z <= 4; ++z)
        for (int32_t t = 1; t <= 2; ++t)
          EXPECT_EQ(m.GetVal(x, y, z, t), Pos(x + 1, y + 2, z, t + 1));
  // Two steps per layer of each slot of the block: 16 steps.
  ASSERT_EQ(percents.size(), 16u);
  EXPECT_EQ(percents.front(), 6);  // 100 / 16 rounded half to even
  EXPECT_EQ(percents.back(), 100);
}

/// Resampling by its definition: each new element from GetVal over its block
/// (0.0 outside the array).
double Resampled(const TMat4D& m, const int32_t div[4], const int32_t off[4], int32_t x,
                 int32_t y, int32_t z, int32_t t, bool average) {
  const int32_t sx = (x - 1) * div[0] + off[0] + 1, sy = (y - 1) * div[1] + off[1] + 1,
                sz = (z - 1) * div[2] + off[2] + 1, st = (t - 1) * div[3] + off[3] + 1;
  if (!average) return m.GetVal(sx, sy, sz, st);
  double sum = 0;
  for (int32_t a = 0; a < div[0]; ++a)
    for (int32_t b = 0; b < div[1]; ++b)
      for (int32_t c = 0; c < div[2]; ++c)
        for (int32_t d = 0; d < div[3]; ++d) sum += m.GetVal(sx + a, sy + b, sz + c, st + d);
  return sum / (div[0] * div[1] * div[2] * div[3]);
}

TEST(Mat4DReshape, ResampleByBlocks) {
  TMat4D m;
  // 3 x 3 by 2 x 2 blocks: 2 x 2, the last block holds only the corner (3, 3).
  FillPositions(m, 3, 3, 1, 1);
  m.Resample(2, 0, 2, 0, 1, 0, 1, 0, true);
  EXPECT_EQ(Dims(m), "2x2x1x1");
  EXPECT_EQ(m.GetVal(2, 2, 1, 1), Pos(3, 3, 1, 1) / 4);
  EXPECT_EQ(m.GetVal(1, 1, 1, 1),
            (Pos(1, 1, 1, 1) + Pos(2, 1, 1, 1) + Pos(1, 2, 1, 1) + Pos(2, 2, 1, 1)) / 4);

  // Offsets (taken mod the block size, also negative ones) and blocks past the
  // edge in every dimension, averaged and not.
  const int32_t divs[][4] = {{2, 3, 2, 1}, {3, 2, 1, 2}, {4, 1, 3, 3}};
  const int32_t offs[][4] = {{3, 1, 0, 0}, {-1, 1, 0, 3}, {2, 0, -2, 1}};
  for (int i = 0; i < 3; ++i)
    for (bool average : {true, false}) {
      TMat4D src;
      FillPositions(src, 7, 5, 4, 3);
      m.Assign(&src);
      int changes = 0;
      m.SetOnChange([&](TObject*) { ++changes; });
      m.Resample(divs[i][0], offs[i][0], divs[i][1], offs[i][1], divs[i][2], offs[i][2],
                 divs[i][3], offs[i][3], average);
      EXPECT_EQ(changes, 1);
      m.SetOnChange(nullptr);
      int32_t off[4];
      const int32_t n[4] = {7, 5, 4, 3};
      int32_t want[4];
      for (int k = 0; k < 4; ++k) {
        off[k] = offs[i][k] % divs[i][k];
        want[k] = (n[k] - off[k] - 1) / divs[i][k] + 1;
      }
      ASSERT_EQ(Dims(m), std::to_string(want[0]) + "x" + std::to_string(want[1]) + "x" +
                             std::to_string(want[2]) + "x" + std::to_string(want[3]));
      for (int32_t x = 1; x <= want[0]; ++x)
        for (int32_t y = 1; y <= want[1]; ++y)
          for (int32_t z = 1; z <= want[2]; ++z)
            for (int32_t t = 1; t <= want[3]; ++t)
              EXPECT_REL_NEAR(m.GetVal(x, y, z, t),
                              Resampled(src, divs[i], off, x, y, z, t, average), kTol1)
                  << i << " " << average << " at " << x << y << z << t;
    }
  // Offset 3 with block size 2 is offset 1.
  FillPositions(m, 5, 1, 1, 1);
  m.Resample(2, 3, 1, 0, 1, 0, 1, 0, false);
  EXPECT_EQ(Dims(m), "2x1x1x1");
  EXPECT_EQ(m.GetVal(1, 1, 1, 1), Pos(2, 1, 1, 1));
  EXPECT_EQ(m.GetVal(2, 1, 1, 1), Pos(4, 1, 1, 1));

  // A block size of 0 or below is refused: nothing changes, nothing fires.
  FillPositions(m, 4, 3, 2, 2);
  int changes = 0;
  m.SetOnChange([&](TObject*) { ++changes; });
  const std::string before = m.CRCofData();
  m.Resample(2, 0, 0, 0, 1, 0, 1, 0, true);
  m.Resample(1, 0, 1, 0, 1, 0, -2, 0, false);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(Dims(m), "4x3x2x2");
  EXPECT_EQ(m.CRCofData(), before);
}

using Mat4DTranspose = nuv_test::ProgressTest;

TEST_F(Mat4DTranspose, ExchangesColumnsAndRowsOrRestoresWhenAborted) {
  TMat4D m;
  FillPositions(m, 13, 7, 2, 3);
  std::vector<int32_t> percents;
  m.SetOnPercentDone([&](TObject*, int32_t p) { percents.push_back(p); });
  EXPECT_TRUE(m.Transpose());
  EXPECT_EQ(Dims(m), "7x13x2x3");
  for (int32_t x = 1; x <= 7; ++x)
    for (int32_t y = 1; y <= 13; ++y)
      for (int32_t z = 1; z <= 2; ++z)
        for (int32_t t = 1; t <= 3; ++t) ASSERT_EQ(m.GetVal(x, y, z, t), Pos(y, x, z, t));
  // 2 x 13 x 7 = 182 steps, reported after every first: 182 reports ending at 100.
  ASSERT_EQ(percents.size(), 182u);
  EXPECT_EQ(percents[90], 50);  // 91 of 182
  EXPECT_EQ(percents.back(), 100);
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));

  // An abort during the work leaves the array exactly as it was.
  FillPositions(m, 13, 7, 2, 3);
  const std::string before = m.CRCofData();
  int changes = 0;
  m.SetOnChange([&](TObject*) { ++changes; });
  m.SetOnPercentDone([&](TObject*, int32_t p) {
    if (p >= 40) AbortMathProc = true;
  });
  EXPECT_FALSE(m.Transpose());
  EXPECT_EQ(Dims(m), "13x7x2x3");
  EXPECT_EQ(m.CRCofData(), before);
  EXPECT_EQ(changes, 0);
}

TEST(Mat4DReshape, MirrorsReverseOneDimension) {
  TMat4D m;
  FillPositions(m, 4, 3, 3, 2);
  int changes = 0;
  m.SetOnChange([&](TObject*) { ++changes; });
  m.MirrorColumns();
  m.MirrorRows();
  m.MirrorLayers();
  m.MirrorTimeSlots();
  EXPECT_EQ(changes, 4);
  for (int32_t x = 1; x <= 4; ++x)
    for (int32_t y = 1; y <= 3; ++y)
      for (int32_t z = 1; z <= 3; ++z)
        for (int32_t t = 1; t <= 2; ++t)
          ASSERT_EQ(m.GetVal(x, y, z, t), Pos(5 - x, 4 - y, 4 - z, 3 - t));
  m.MirrorLayers();
  EXPECT_EQ(m.GetVal(1, 1, 1, 1), Pos(4, 3, 1, 2));
}

TEST(Mat4DReshape, HugeSizesRaiseNotEnoughMemoryAndChangeNothing) {
  NUV_SKIP_WITHOUT_MEMORY_LIMIT();
  TMat4D m;
  m.SetName("big");
  FillPositions(m, 3, 2, 2, 2);
  const std::string before = m.CRCofData();
  EXPECT_THROW_MSG(m.Resize(2147483647, 2147483647, 2147483647, 2147483647), ENUVMatrixError,
                   "Component \"big\": not enough memory on heap");
  {
    nuv_test::ScopedAddressSpaceLimit cap(uint64_t{1} << 32);
    EXPECT_THROW_MSG(m.Resize(65536, 65536, 2, 1), ENUVMatrixError,
                     "Component \"big\": not enough memory on heap");
  }
  EXPECT_EQ(Dims(m), "3x2x2x2");
  EXPECT_EQ(m.CRCofData(), before);
}

}  // namespace
