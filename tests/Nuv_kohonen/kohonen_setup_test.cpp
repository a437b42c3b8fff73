// Set-up of TKohonen: defaults, the size and data setters and what they
// recreate, allocation failure, random weights, standardization and the
// weights read back in data units.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "Nuv_kohonen/Nuv_kohonen.h"
#include "common/matrix_helpers.h"
#include "common/memory_limit.h"
#include "common/test_util.h"

namespace nuv {
namespace {

using nuv_test::FromRows;
using nuv_test::kTol0;
using nuv_test::kTol2;

std::vector<double> AllWeights(const TKohonen& k) {
  std::vector<double> w;
  for (int32_t x = 1; x <= k.SizeX(); ++x)
    for (int32_t y = 1; y <= k.SizeY(); ++y)
      for (int32_t z = 1; z <= k.NrOfInSens(); ++z) w.push_back(k.GetWeight(x, y, z));
  return w;
}

bool AllZero(const std::vector<double>& v) {
  for (double x : v)
    if (x != 0.0) return false;
  return true;
}

TEST(KohonenSetup, DefaultsAndRandomWeights) {
  TComponent owner;
  auto* k = new TKohonen(&owner);  // destroyed with its owner
  EXPECT_EQ(k->InitialNeighbors(), 2);
  EXPECT_EQ(k->NrOfTrnSteps(), 200);
  EXPECT_EQ(k->InitialAlpha(), 1.0);
  EXPECT_EQ(k->SizeX(), 1);
  EXPECT_EQ(k->SizeY(), 1);
  EXPECT_EQ(k->NrOfInSens(), 1);
  EXPECT_FALSE(k->Cyclic());
  EXPECT_EQ(k->Comment(), "");
  EXPECT_EQ(k->TrainData()->NrOfColumns(), 1);
  EXPECT_EQ(k->TrainData()->NrOfRows(), 1);
  EXPECT_EQ(k->MeanVec()->NrOfElem(), 1);
  EXPECT_EQ(k->StdDevVec()->GetVal(1), 0.0);
  EXPECT_NE(k->GetWeight(1, 1, 1), 0.0);  // random from the start
  EXPECT_EQ(k->GetWeight(0, 1, 1), 0.0);
  EXPECT_EQ(k->GetWeight(1, 1, 2), 0.0);

  // (r - 0.5) 0.2 per weight, x outer, inputs innermost.
  k->SetSizeX(6);
  k->SetSizeY(7);
  k->SetNumInsens(5);
  SetRandSeed(77);
  k->SetWeigtsToRandom();
  SetRandSeed(77);
  const std::vector<double> w = AllWeights(*k);
  for (double v : w) {
    EXPECT_EQ(v, (Random() - 0.5) * 0.2);
    EXPECT_GE(v, -0.1);
    EXPECT_LT(v, 0.1);
  }
}

TEST(KohonenSetup, SizeSettersRecreateOrIgnore) {
  TKohonen k;
  k.SetName("som");
  TMatrix data;
  FromRows(data, {{1, 2}, {3, 4}, {5, 6}});
  k.SetDataMat(&data);
  k.SetSizeX(3);
  k.SetSizeY(2);
  k.SetWeigtsToRandom();
  const std::vector<double> w = AllWeights(k);
  for (int32_t bad : {0, -1, INT32_MIN}) {
    k.SetSizeX(bad);
    k.SetSizeY(bad);
    k.SetNumInsens(bad);
  }
  EXPECT_EQ(k.SizeX(), 3);
  EXPECT_EQ(k.SizeY(), 2);
  EXPECT_EQ(k.NrOfInSens(), 2);
  EXPECT_EQ(AllWeights(k), w);

  k.SetSizeX(3);  // the same size still discards the weights
  EXPECT_EQ(AllWeights(k).size(), 12u);
  EXPECT_TRUE(AllZero(AllWeights(k)));
  k.SetWeigtsToRandom();
  k.SetSizeY(4);
  EXPECT_EQ(AllWeights(k).size(), 24u);
  EXPECT_TRUE(AllZero(AllWeights(k)));

  // NrOfInSens: a zero training matrix of n columns and the same rows, the same
  // object with its handler, which fires once.
  TMatrix* train = k.TrainData();
  int32_t changes = 0;
  train->SetOnChange([&](TObject*) { ++changes; });
  k.SetNumInsens(4);
  EXPECT_EQ(k.TrainData(), train);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(train->NrOfColumns(), 4);
  EXPECT_EQ(train->NrOfRows(), 3);
  EXPECT_EQ(train->GetVal(1, 1), 0.0);
  EXPECT_EQ(train->GetVal(2, 3), 0.0);
  EXPECT_EQ(k.MeanVec()->NrOfElem(), 4);
  EXPECT_EQ(AllWeights(k).size(), 48u);
  EXPECT_TRUE(AllZero(AllWeights(k)));
}

TEST(KohonenSetup, TrainingDataIsCopied) {
  TKohonen k;
  TMatrix data;
  FromRows(data, {{1, 2, 3}, {4, 5, 6}});
  int32_t changes = 0;
  k.TrainData()->SetOnChange([&](TObject*) { ++changes; });
  k.SetDataMat(&data);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(k.NrOfInSens(), 3);
  data.SetVal(2, 2, 99);
  EXPECT_EQ(k.TrainData()->GetVal(2, 2), 5.0);
  EXPECT_EQ(k.TrainData()->GetVal(3, 1), 3.0);
  EXPECT_EQ(k.TrainData()->NrOfRows(), 2);
  EXPECT_EQ(k.MeanVec()->NrOfElem(), 3);
  EXPECT_TRUE(AllZero(AllWeights(k)));

  // Its own training matrix: kept, weights recreated.
  k.SetWeigtsToRandom();
  k.SetDataMat(k.TrainData());
  EXPECT_EQ(k.TrainData()->GetVal(2, 2), 5.0);
  EXPECT_TRUE(AllZero(AllWeights(k)));
  EXPECT_EQ(changes, 2);

  // Absent, or without columns: nothing changes.
  k.SetWeigtsToRandom();
  const std::vector<double> w = AllWeights(k);
  TMatrix noCols;
  noCols.Resize(0, 5);
  k.SetDataMat(nullptr);
  k.SetDataMat(&noCols);
  EXPECT_EQ(k.NrOfInSens(), 3);
  EXPECT_EQ(AllWeights(k), w);
  EXPECT_EQ(changes, 2);
}

TEST(KohonenSetup, SizesThatCannotBeHadLeaveTheMapUnchanged) {
  NUV_SKIP_WITHOUT_MEMORY_LIMIT();
  TKohonen k;
  k.SetName("som");
  TMatrix data;
  data.Resize(2, 100000);
  data.SetVal(2, 77, 1.5);
  k.SetDataMat(&data);
  k.SetSizeY(1000);
  k.SetWeigtsToRandom();
  const std::vector<double> w = AllWeights(k);
  nuv_test::ScopedAddressSpaceLimit cap(uint64_t{4} << 30);
  auto unchanged = [&](int32_t sizeY, const std::vector<double>& weights) {
    EXPECT_EQ(k.SizeX(), 1);
    EXPECT_EQ(k.SizeY(), sizeY);
    EXPECT_EQ(k.NrOfInSens(), 2);
    EXPECT_EQ(k.MeanVec()->NrOfElem(), 2);
    EXPECT_EQ(k.TrainData()->NrOfColumns(), 2);
    EXPECT_EQ(k.TrainData()->NrOfRows(), 100000);
    EXPECT_EQ(k.TrainData()->GetVal(2, 77), 1.5);
    EXPECT_EQ(AllWeights(k), weights);
  };
  // (2^31 - 1) x 1000 x 2 weights; 1000 x (2^31 - 1) inputs.
  EXPECT_THROW_MSG(k.SetSizeX(INT32_MAX), ENUVKohonenError,
                   "Component \"som\": not enough memory");
  unchanged(1000, w);
  EXPECT_THROW_MSG(k.SetNumInsens(INT32_MAX), ENUVKohonenError,
                   "Component \"som\": not enough memory");
  unchanged(1000, w);
  // Weights of 1 x 1 x 2^19 (4 MB) fit; a training matrix of 2^19 x 10^5 does not.
  k.SetSizeY(1);
  k.SetWeigtsToRandom();
  const std::vector<double> w1 = AllWeights(k);
  EXPECT_THROW_MSG(k.SetNumInsens(1 << 19), ENUVKohonenError,
                   "Component \"som\": not enough memory");
  unchanged(1, w1);
}

TEST(KohonenSetup, WeightsInDataUnitsWithAndWithoutStandardization) {
  TKohonen k;
  TMatrix data;
  // Column 1: mean 3, variance (4 + 1 + 9) / 2 = 7. Column 2 has no spread.
  FromRows(data, {{1, 5}, {2, 5}, {6, 5}});
  k.SetDataMat(&data);
  k.SetNrOfTrnSteps(2);  // one step, alpha 0.25, over the three rows in order
  SetRandSeed(4);
  k.SetWeigtsToRandom();
  const std::vector<double> w0 = AllWeights(k);  // raw: nothing standardized yet

  // Raw data: the weights read back as they are (not 0 + mean = 0).
  SetRandSeed(4);
  k.Trainit();
  double a = w0[0], b = w0[1];
  for (double o : {1.0, 2.0, 6.0}) a += (o - a) * 0.25;
  for (int i = 0; i < 3; ++i) b += (5.0 - b) * 0.25;
  EXPECT_REL_NEAR(k.GetWeight(1, 1, 1), a, kTol0);
  EXPECT_REL_NEAR(k.GetWeight(1, 1, 2), b, kTol0);

  // Standardized: column 1 is (x - 3) / sqrt 7, column 2 is centred to 0.
  k.StandardizeData();
  const double sd = std::sqrt(7.0);
  EXPECT_REL_NEAR(k.MeanVec()->GetVal(1), 3.0, kTol0);
  EXPECT_REL_NEAR(k.StdDevVec()->GetVal(1), sd, kTol0);
  EXPECT_EQ(k.MeanVec()->GetVal(2), 5.0);
  EXPECT_EQ(k.StdDevVec()->GetVal(2), 0.0);
  EXPECT_REL_NEAR(k.TrainData()->GetVal(1, 3), 3.0 / sd, kTol0);
  EXPECT_EQ(k.TrainData()->GetVal(2, 2), 0.0);
  SetRandSeed(4);
  k.Trainit();
  a = w0[0];
  b = w0[1];
  for (double o : {-2.0, -1.0, 3.0}) a += (o / sd - a) * 0.25;
  for (int i = 0; i < 3; ++i) b += (0.0 - b) * 0.25;
  EXPECT_REL_NEAR(k.GetWeight(1, 1, 1), a * sd + 3.0, kTol2);
  EXPECT_REL_NEAR(k.GetWeight(1, 1, 2), b + 5.0, kTol0);

  // A flower at the weights read back maps to that cell at distance 0 (to rounding).
  TVector in;
  in.SetVecSize(2);
  in.SetVal(1, k.GetWeight(1, 1, 1));
  in.SetVal(2, k.GetWeight(1, 1, 2));
  int32_t bx = 0, by = 0;
  double dist = -1;
  k.ApplyIt(&in, bx, by, dist);
  EXPECT_EQ(bx, 1);
  const double kRoundOff = 1e-30;  // squared differences of a few ulps of values near 1
  EXPECT_ABS_NEAR(dist, 0.0, kRoundOff);

  // Standardizing again keeps the scales of the raw data.
  const double g1 = k.GetWeight(1, 1, 1), g2 = k.GetWeight(1, 1, 2);
  k.StandardizeData();
  EXPECT_REL_NEAR(k.MeanVec()->GetVal(1), 3.0, kTol2);
  EXPECT_REL_NEAR(k.StdDevVec()->GetVal(1), sd, kTol2);
  EXPECT_EQ(k.MeanVec()->GetVal(2), 5.0);
  EXPECT_EQ(k.StdDevVec()->GetVal(2), 0.0);
  EXPECT_REL_NEAR(k.GetWeight(1, 1, 1), g1, kTol2);
  EXPECT_REL_NEAR(k.GetWeight(1, 1, 2), g2, kTol0);
  EXPECT_REL_NEAR(k.TrainData()->GetVal(1, 3), 3.0 / sd, kTol2);

  // New training data forget the scales.
  k.SetDataMat(&data);
  EXPECT_EQ(k.MeanVec()->GetVal(1), 0.0);
  EXPECT_EQ(k.StdDevVec()->GetVal(1), 0.0);
}

}  // namespace
}  // namespace nuv
