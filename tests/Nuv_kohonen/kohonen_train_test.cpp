// Training and mapping of TKohonen: the schedules, the winner rule, the open
// and cyclic windows, the data-space learning rate, the step count, abort and
// resumption, and ApplyIt. Expected weights follow from the update rule
// w + (o - w) h, h = alpha / (sqrt(s - f) + 1), worked by hand in each test.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "Nuv_kohonen/Nuv_kohonen.h"
#include "common/matrix_helpers.h"
#include "common/test_util.h"

namespace nuv {
namespace {

using nuv_test::FromRows;
using nuv_test::kTol0;

// The weights a map holds after SetWeigtsToRandom from Seed (read raw: the
// data are not standardized).
std::vector<double> RandomStart(TKohonen& k, uint32_t Seed) {
  SetRandSeed(Seed);
  k.SetWeigtsToRandom();
  std::vector<double> w;
  for (int32_t x = 1; x <= k.SizeX(); ++x)
    for (int32_t y = 1; y <= k.SizeY(); ++y)
      for (int32_t z = 1; z <= k.NrOfInSens(); ++z) w.push_back(k.GetWeight(x, y, z));
  return w;
}

// Grid of the single weight of every cell, row y of the text is y = 1, 2, ...
std::vector<std::vector<double>> Grid(const TKohonen& k) {
  std::vector<std::vector<double>> g(static_cast<size_t>(k.SizeY()));
  for (int32_t y = 1; y <= k.SizeY(); ++y)
    for (int32_t x = 1; x <= k.SizeX(); ++x) g[y - 1].push_back(k.GetWeight(x, y, 1));
  return g;
}

TEST(KohonenTraining, OneCellTwoStepsMovesAQuarterOfTheWay) {
  TKohonen k;
  TMatrix data;
  FromRows(data, {{3.25, -1.5}});
  k.SetDataMat(&data);
  k.SetNrOfTrnSteps(2);
  k.SetInitialAlpha(1.0);
  const std::vector<double> w0 = RandomStart(k, 11);
  SetRandSeed(11);
  k.Trainit();
  // One step with r = 0.5: alpha 0.25, radius round(0.25 (2 - 1) + 1) = 1.
  EXPECT_EQ(k.CurAlpha(), 0.25);
  EXPECT_EQ(k.CurNeighb(), 1);
  EXPECT_EQ(k.CurStep(), 2);
  EXPECT_REL_NEAR(k.GetWeight(1, 1, 1), w0[0] + 0.25 * (3.25 - w0[0]), kTol0);
  EXPECT_REL_NEAR(k.GetWeight(1, 1, 2), w0[1] + 0.25 * (-1.5 - w0[1]), kTol0);

  // Radius round(0.25 (7 - 1) + 1) = round(2.5): ties go to the even 2.
  k.SetInitialNeighbors(7);
  k.Trainit();
  EXPECT_EQ(k.CurNeighb(), 2);

  // One step of r = 0 changes nothing: the weights stay the random ones.
  k.SetNrOfTrnSteps(1);
  SetRandSeed(11);
  k.Trainit();
  EXPECT_EQ(k.CurAlpha(), 0.0);
  EXPECT_EQ(k.CurNeighb(), 1);
  EXPECT_EQ(k.GetWeight(1, 1, 1), w0[0]);
  EXPECT_EQ(k.GetWeight(1, 1, 2), w0[1]);
}

TEST(KohonenTraining, NeighboursLearnByTheirExcessDistanceInDataSpace) {
  // Two cells side by side, both inside the window of radius 1.
  TKohonen k;
  TMatrix data;
  FromRows(data, {{0.05}});
  k.SetDataMat(&data);
  k.SetSizeX(2);
  k.SetNrOfTrnSteps(2);
  k.SetInitialNeighbors(2);
  const std::vector<double> w0 = RandomStart(k, 5);
  SetRandSeed(5);
  k.Trainit();
  const double o = 0.05;
  const size_t win = std::fabs(w0[0] - o) <= std::fabs(w0[1] - o) ? 0 : 1;
  const size_t other = 1 - win;
  const double f = (w0[win] - o) * (w0[win] - o);
  const double s = (w0[other] - o) * (w0[other] - o);
  const double h = 0.25 / (std::sqrt(s - f) + 1.0);
  EXPECT_REL_NEAR(k.GetWeight(static_cast<int32_t>(win + 1), 1, 1), w0[win] + (o - w0[win]) * 0.25,
                  kTol0);
  EXPECT_REL_NEAR(k.GetWeight(static_cast<int32_t>(other + 1), 1, 1),
                  w0[other] + (o - w0[other]) * h, kTol0);
}

TEST(KohonenTraining, WindowSurroundsTheWinner) {
  // An object equal to the weights of cell (4, 2) of a 6 x 4 open grid: that
  // cell wins at distance 0 and keeps its weights; a step of r = 1 with radius
  // 1 moves the other cells of columns 3..5 and rows 1..3, and no others.
  TKohonen k;
  TMatrix data;
  data.Resize(3, 1);
  k.SetDataMat(&data);
  k.SetSizeX(6);
  k.SetSizeY(4);
  k.SetInitialNeighbors(1);
  k.SetNrOfTrnSteps(1);
  const std::vector<double> w0 = RandomStart(k, 8);
  for (int32_t z = 1; z <= 3; ++z) k.TrainData()->SetVal(z, 1, k.GetWeight(4, 2, z));
  k.ContinueTraining();
  for (int32_t x = 1; x <= 6; ++x)
    for (int32_t y = 1; y <= 4; ++y) {
      const bool moved = x >= 3 && x <= 5 && y <= 3 && !(x == 4 && y == 2);
      const size_t at = (static_cast<size_t>(x - 1) * 4 + static_cast<size_t>(y - 1)) * 3;
      EXPECT_EQ(k.GetWeight(x, y, 1) != w0[at], moved) << "cell " << x << ", " << y;
    }
}

// From all-zero weights every cell ties, so the winner is (1, 1); a single
// step from step 0 has r = 1 (radius InitialNeighbors, alpha 1), and each cell
// of the window becomes the object exactly.
TEST(KohonenTraining, CyclicWindowWrapsAndStopsShortOfItselfOpenWindowIsClipped) {
  TMatrix data;
  FromRows(data, {{1.0}});
  auto stepFromZero = [&](int32_t size, bool cyclic, int32_t neighbours) {
    auto k = std::make_unique<TKohonen>();
    k->SetDataMat(&data);
    k->SetSizeX(size);
    k->SetSizeY(size);
    k->SetCyclic(cyclic);
    k->SetInitialNeighbors(neighbours);
    k->SetNrOfTrnSteps(1);
    k->ContinueTraining();
    EXPECT_EQ(k->CurNeighb(), neighbours);
    return Grid(*k);
  };
  // Cyclic 4 x 4, radius 5: cut to 4 div 2 - 1 = 1 in both directions; the
  // window around (1, 1) wraps to column and row 4.
  const std::vector<std::vector<double>> cyc5 = {
      {1, 1, 0, 1}, {1, 1, 0, 1}, {0, 0, 0, 0}, {1, 1, 0, 1}};
  EXPECT_EQ(stepFromZero(4, true, 5), cyc5);
  // Radius 2 reaches 4 div 2: cut the same way.
  EXPECT_EQ(stepFromZero(4, true, 2), cyc5);
  // Open 4 x 4, radius 2: clipped at the border, no wrap.
  EXPECT_EQ(stepFromZero(4, false, 2),
            (std::vector<std::vector<double>>{
                {1, 1, 1, 0}, {1, 1, 1, 0}, {1, 1, 1, 0}, {0, 0, 0, 0}}));
  // Cyclic 6 x 6, radius 2 is below 6 div 2 and stays 2: five cells each way.
  const std::vector<std::vector<double>> got = stepFromZero(6, true, 2);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(got[y][x], (x == 3 || y == 3) ? 0.0 : 1.0) << "cell " << x + 1 << ", " << y + 1;
  // A negative radius still trains the winner.
  EXPECT_EQ(Grid(*[&] {
              auto k = std::make_unique<TKohonen>();
              k->SetDataMat(&data);
              k->SetSizeX(2);
              k->SetInitialNeighbors(-3);
              k->SetNrOfTrnSteps(1);
              k->ContinueTraining();
              return k;
            }()),
            (std::vector<std::vector<double>>{{1, 0}}));
}

TEST(KohonenTraining, StepsFeedbackAbortAndResumption) {
  TMatrix data;
  FromRows(data, {{0.3, 1.0}, {-0.7, 0.2}, {0.9, -0.4}, {0.1, 0.8}, {-0.2, -0.9}});
  auto make = [&] {
    auto k = std::make_unique<TKohonen>();
    k->SetDataMat(&data);
    k->SetSizeX(3);
    k->SetSizeY(2);
    k->SetNrOfTrnSteps(7);
    return k;
  };
  // Uninterrupted: NrOfTrnSteps - 1 steps, feedback round(step 100 / 7).
  auto whole = make();
  std::vector<int32_t> pct;
  whole->SetOnFeedback([&](TObject* s, int32_t p) {
    EXPECT_EQ(s, whole.get());
    pct.push_back(p);
  });
  SetRandSeed(3);
  whole->Trainit();
  EXPECT_EQ(pct, (std::vector<int32_t>{14, 29, 43, 57, 71, 86}));
  EXPECT_EQ(whole->CurStep(), 7);

  // Aborted from the handler after step 3, then resumed: the same map.
  auto parts = make();
  int32_t calls = 0;
  parts->SetOnFeedback([&](TObject*, int32_t) {
    if (++calls == 3) parts->AbortTraining();
  });
  SetRandSeed(3);
  parts->Trainit();
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(parts->CurStep(), 4);
  parts->AbortTraining();      // a request made before the call is dropped
  parts->ContinueTraining();  // and runs to the end
  EXPECT_EQ(calls, 6);
  EXPECT_EQ(parts->CurStep(), 7);
  for (int32_t x = 1; x <= 3; ++x)
    for (int32_t y = 1; y <= 2; ++y)
      for (int32_t z = 1; z <= 2; ++z)
        EXPECT_EQ(parts->GetWeight(x, y, z), whole->GetWeight(x, y, z));

  parts->ContinueTraining();  // step 7 of 7: r = 0, nothing moves
  EXPECT_EQ(calls, 7);
  EXPECT_EQ(parts->CurStep(), 8);
  // Past the last step there is nothing left: the schedule would rise again.
  parts->ContinueTraining();
  EXPECT_EQ(calls, 7);
  for (int32_t z = 1; z <= 2; ++z) EXPECT_EQ(parts->GetWeight(2, 1, z), whole->GetWeight(2, 1, z));
}

TEST(KohonenTraining, NothingToTrainReturnsQuietly) {
  TKohonen k;
  int32_t calls = 0;
  k.SetOnFeedback([&](TObject*, int32_t) { ++calls; });
  TMatrix data;
  FromRows(data, {{0.3, 1.0}, {-0.7, 0.2}});
  k.SetDataMat(&data);
  const std::vector<double> w0 = RandomStart(k, 9);
  for (int32_t steps : {0, -4}) {
    k.SetNrOfTrnSteps(steps);
    SetRandSeed(9);
    k.Trainit();
    EXPECT_EQ(k.GetWeight(1, 1, 1), w0[0]);
    EXPECT_EQ(k.GetWeight(1, 1, 2), w0[1]);
  }
  // Not even a fresh map's first step (step 0 of 0 steps would be 0 / 0).
  {
    TKohonen fresh;
    fresh.SetDataMat(&data);
    fresh.SetOnFeedback([&](TObject*, int32_t) { ++calls; });
    const std::vector<double> f0 = RandomStart(fresh, 9);
    fresh.SetNrOfTrnSteps(0);
    fresh.ContinueTraining();
    EXPECT_EQ(fresh.GetWeight(1, 1, 1), f0[0]);
  }
  // No training rows.
  k.SetNrOfTrnSteps(10);
  TMatrix empty;
  empty.Resize(2, 0);
  k.SetDataMat(&empty);
  EXPECT_EQ(k.NrOfInSens(), 2);
  k.Trainit();
  // Training matrix resized behind the map's back to other columns.
  k.SetDataMat(&data);
  k.TrainData()->Resize(3, 2);
  k.Trainit();
  EXPECT_EQ(calls, 0);

  // An object that is NaN (or too far for a double) moves nothing; the others train.
  TMatrix bad;
  FromRows(bad, {{NAN, 0.5}, {1e300, 1e300}, {0.5, 0.5}});
  k.SetDataMat(&bad);
  k.SetNrOfTrnSteps(2);
  const std::vector<double> w1 = RandomStart(k, 9);
  SetRandSeed(9);
  k.Trainit();
  EXPECT_EQ(calls, 1);
  for (int32_t z = 1; z <= 2; ++z)
    EXPECT_REL_NEAR(k.GetWeight(1, 1, z), w1[z - 1] + 0.25 * (0.5 - w1[z - 1]), kTol0);
}

TEST(KohonenTraining, FeedbackHandlerMayResizeTheMap) {
  TKohonen k;
  TMatrix data;
  FromRows(data, {{0.3, 1.0}, {-0.7, 0.2}, {0.9, -0.4}});
  k.SetDataMat(&data);
  k.SetSizeX(4);
  k.SetNrOfTrnSteps(6);
  int32_t calls = 0;
  k.SetOnFeedback([&](TObject*, int32_t) {
    ++calls;
    if (calls == 2) k.SetSizeX(2);
    if (calls == 3) k.SetNumInsens(3);  // the rows are kept, now with 3 zero inputs
  });
  k.Trainit();
  EXPECT_EQ(calls, 5);
  EXPECT_EQ(k.SizeX(), 2);
  EXPECT_EQ(k.TrainData()->NrOfColumns(), 3);
}

TEST(KohonenMapping, WinnerTiesDistanceAndTrainingScale) {
  TKohonen k;
  TMatrix data;
  FromRows(data, {{1.0}});
  k.SetDataMat(&data);
  k.SetSizeX(4);
  k.SetSizeY(4);
  TVector in;
  in.SetVecSize(1);
  int32_t bx = -7, by = -7;
  double d = 0;
  // All cells tie at 0: the first in x-then-y order.
  in.SetVal(1, 0.5);
  k.ApplyIt(&in, bx, by, d);
  EXPECT_EQ(bx, 1);
  EXPECT_EQ(by, 1);
  EXPECT_EQ(d, 0.25);
  // After one cyclic step around (1, 1) the cells of columns and rows 1, 2, 4
  // hold 1.0; of the cells still at 0, (1, 3) comes first with x outer.
  k.SetCyclic(true);
  k.SetNrOfTrnSteps(1);
  k.ContinueTraining();
  in.SetVal(1, 0.0);
  k.ApplyIt(&in, bx, by, d);
  EXPECT_EQ(bx, 1);
  EXPECT_EQ(by, 3);
  EXPECT_EQ(d, 0.0);

  // An object equal to a cell's weights finds that cell at distance 0.
  k.SetSizeX(3);
  k.SetSizeY(5);
  k.SetNumInsens(3);
  SetRandSeed(21);
  k.SetWeigtsToRandom();
  in.SetVecSize(3);
  for (int32_t z = 1; z <= 3; ++z) in.SetVal(z, k.GetWeight(2, 4, z));
  k.ApplyIt(&in, bx, by, d);
  EXPECT_EQ(bx, 2);
  EXPECT_EQ(by, 4);
  EXPECT_EQ(d, 0.0);

  // No cell nearer than uc_MaxDouble: indices kept, Distance uc_MaxDouble.
  in.SetVal(1, NAN);
  bx = by = -7;
  k.ApplyIt(&in, bx, by, d);
  EXPECT_EQ(bx, -7);
  EXPECT_EQ(by, -7);
  EXPECT_EQ(d, uc_MaxDouble);
  k.ApplyIt(nullptr, bx, by, d);
  EXPECT_EQ(bx, -7);
  EXPECT_EQ(d, uc_MaxDouble);
}

}  // namespace
}  // namespace nuv
