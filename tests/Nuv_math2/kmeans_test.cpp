#include <cmath>
#include <map>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "common/matrix_helpers.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol2;

namespace {

#include "Nuv_math2/reference/cluster_reference.inc"

class KMeans : public nuv_test::ProgressTest {};

}  // namespace

TEST_F(KMeans, FiveValuesInTwoClusters) {
  TMatrix data, centers;
  nuv_test::FromRows(data, {{1}, {2}, {10}, {11}, {12}});
  TIntVector assign, sizes;
  int changes = 0;
  centers.SetOnChange([&](TObject*) { ++changes; });
  // Passes: centres (1, 2) -> (1, 8.75) -> (1.5, 11) -> no change.
  EXPECT_EQ(kMeansClustering(&data, 0, 0, 2, 0, &centers, &assign, &sizes), 2.5);
  EXPECT_EQ(ProcStat, 3);
  ASSERT_EQ(assign.NrOfElem(), 5);
  const int32_t want[] = {2, 2, 1, 1, 1};
  for (int r = 0; r < 5; ++r) EXPECT_EQ(assign.GetVal(r + 1), want[r]) << r;
  ASSERT_EQ(centers.NrOfColumns(), 1);
  ASSERT_EQ(centers.NrOfRows(), 2);
  EXPECT_EQ(centers.GetVal(1, 1), 11);
  EXPECT_EQ(centers.GetVal(1, 2), 1.5);
  ASSERT_EQ(sizes.NrOfElem(), 2);
  EXPECT_EQ(sizes.GetVal(1), 3);
  EXPECT_EQ(sizes.GetVal(2), 2);
  EXPECT_GE(changes, 1);
  // The short form: RandSeed 0, sizes kept inside.
  TIntVector assign2;
  EXPECT_EQ(kMeansClustering(&data, 5, -9, 2, &centers, &assign2), 2.5);
  for (int r = 0; r < 5; ++r) EXPECT_EQ(assign2.GetVal(r + 1), want[r]) << r;
  // Given the assignment of the first pass already, that pass changes nothing: the centres
  // stay the objects 1 and 2, renumbered by the sizes counted from that assignment.
  const int32_t given[] = {1, 2, 2, 2, 2};
  for (int r = 0; r < 5; ++r) assign2.SetVal(r + 1, given[r]);
  EXPECT_EQ(kMeansClustering(&data, 0, 0, 2, 0, &centers, &assign2, &sizes), 64 + 81 + 100);
  EXPECT_EQ(centers.GetVal(1, 1), 2);
  EXPECT_EQ(centers.GetVal(1, 2), 1);
  EXPECT_EQ(sizes.GetVal(1), 4);
  EXPECT_EQ(sizes.GetVal(2), 1);
  const int32_t want2[] = {2, 1, 1, 1, 1};
  for (int r = 0; r < 5; ++r) EXPECT_EQ(assign2.GetVal(r + 1), want2[r]) << r;
}

TEST_F(KMeans, TiesEmptyClustersAndEqualSizes) {
  // Objects (5, 5), (5, 5), (9, 9), (9, 9) with centres rows 1, 2 (both (5, 5)): every tie
  // goes to cluster 1; cluster 2 stays empty with a centre of zeros, too far to win.
  TMatrix data, centers;
  nuv_test::FromRows(data, {{5, 5}, {5, 5}, {9, 9}, {9, 9}});
  TIntVector assign, sizes;
  EXPECT_EQ(kMeansClustering(&data, 0, 0, 2, 0, &centers, &assign, &sizes), 32);
  EXPECT_EQ(ProcStat, 2);
  for (int r = 1; r <= 4; ++r) EXPECT_EQ(assign.GetVal(r), 1);
  EXPECT_EQ(sizes.GetVal(1), 4);
  EXPECT_EQ(sizes.GetVal(2), 0);
  EXPECT_EQ(centers.GetVal(1, 1), 7);
  EXPECT_EQ(centers.GetVal(2, 2), 0);
  // Object 3 lies halfway between the seeds 0 and 2 and goes to cluster 1.
  nuv_test::FromRows(data, {{0}, {2}, {1}});
  EXPECT_EQ(kMeansClustering(&data, 0, 0, 2, 0, &centers, &assign, &sizes), 0.5);
  const int32_t halfway[] = {1, 2, 1};
  for (int r = 0; r < 3; ++r) EXPECT_EQ(assign.GetVal(r + 1), halfway[r]) << r;
  EXPECT_EQ(centers.GetVal(1, 1), 0.5);
  // Three clusters of two: the comb sort of the sizes (2, 2, 2) exchanges nothing, so
  // the numbers stay those of the seeds.
  nuv_test::FromRows(data, {{0, 0}, {10, 0}, {0, 10}, {0, 11}, {10, 1}, {1, 0}});
  EXPECT_EQ(kMeansClustering(&data, 0, 0, 3, 0, &centers, &assign, &sizes), 1.5);
  const int32_t want[] = {1, 2, 3, 3, 2, 1};
  for (int r = 0; r < 6; ++r) EXPECT_EQ(assign.GetVal(r + 1), want[r]) << r;
  // Sizes (1, 3, 2) sort descending to (3, 2, 1).
  nuv_test::FromRows(data, {{0}, {10}, {20}, {11}, {21}, {12}});
  EXPECT_EQ(kMeansClustering(&data, 0, 0, 3, 0, &centers, &assign, &sizes), 2.5);
  const int32_t want3[] = {3, 1, 2, 1, 2, 1};
  for (int r = 0; r < 6; ++r) EXPECT_EQ(assign.GetVal(r + 1), want3[r]) << r;
  EXPECT_EQ(centers.GetVal(1, 1), 11);
  EXPECT_EQ(centers.GetVal(1, 2), 20.5);
  EXPECT_EQ(centers.GetVal(1, 3), 0);
}

TEST_F(KMeans, MatchesScikitLearnFromTheSameCentres) {
  TMatrix data, centers;
  data.Resize(kKmCols, kKmRows);
  for (int r = 0; r < kKmRows; ++r)
    for (int c = 0; c < kKmCols; ++c) data.SetVal(c + 1, r + 1, kKmX[r * kKmCols + c]);
  TIntVector assign, sizes;
  // sklearn.cluster.KMeans(4, init=X[:4], n_init=1, algorithm="lloyd", tol=0), 1.2.1:
  // the same passes, labels up to the numbering, centres and inertia to rounding.
  const double sum = kMeansClustering(&data, 0, 0, kKmK, 0, &centers, &assign, &sizes);
  EXPECT_REL_NEAR(sum, kKmInertia, kTol2);
  EXPECT_EQ(ProcStat, kKmIter);
  std::map<int32_t, int32_t> ours_of;
  for (int r = 0; r < kKmRows; ++r) {
    const auto it = ours_of.emplace(kKmLabels[r], assign.GetVal(r + 1)).first;
    EXPECT_EQ(it->second, assign.GetVal(r + 1)) << "row " << r + 1;
  }
  ASSERT_EQ(ours_of.size(), 4u);
  for (const auto& [theirs, ours] : ours_of)
    for (int c = 0; c < kKmCols; ++c)
      EXPECT_REL_NEAR(centers.GetVal(c + 1, ours), kKmCenters[(theirs - 1) * kKmCols + c], kTol2);
  for (int c = 1; c < 4; ++c) EXPECT_GE(sizes.GetVal(c), sizes.GetVal(c + 1));
}

TEST_F(KMeans, RandomSeedsDrawRows) {
  TMatrix data, centers;
  nuv_test::FromRows(data, {{0}, {0.5}, {9}, {10}, {30}});
  TIntVector assign, sizes;
  const double a = kMeansClustering(&data, 0, 0, 2, 17, &centers, &assign, &sizes);
  TIntVector again;
  EXPECT_EQ(kMeansClustering(&data, 0, 0, 2, 17, &centers, &again, &sizes), a);
  for (int r = 1; r <= 5; ++r) EXPECT_EQ(again.GetVal(r), assign.GetVal(r));
}

TEST_F(KMeans, RefusedArguments) {
  TMatrix data, centers;
  nuv_test::FromRows(data, {{1}, {2}});
  TIntVector assign;
  EXPECT_THROW_MSG(kMeansClustering(&data, 0, 0, 3, &centers, &assign), ENUVMath2Error,
                   "kMeansClustering: number of clusters is greater than number of objects");
  EXPECT_THROW_MSG(kMeansClustering(&data, 0, 0, 0, &centers, &assign), ENUVMath2Error,
                   "kMeansClustering: number of clusters must be at least 1");
  EXPECT_THROW_MSG(kMeansClustering(&data, 0, 0, -2, 5, &centers, &assign, nullptr),
                   ENUVMath2Error, "kMeansClustering: number of clusters must be at least 1");
  data.Resize(1, 0);
  EXPECT_THROW_MSG(kMeansClustering(&data, 0, 0, 1, 3, &centers, &assign, nullptr),
                   ENUVMath2Error,
                   "kMeansClustering: number of clusters is greater than number of objects");
  EXPECT_THROW_MSG(kMeansClustering(nullptr, 0, 0, 1, &centers, &assign), ENUVMath2Error,
                   "kMeansClustering: number of clusters is greater than number of objects");
  // No variables: every distance is 0, all objects in cluster 1.
  data.Resize(0, 3);
  EXPECT_EQ(kMeansClustering(&data, 0, 0, 2, nullptr, &assign), 0);
  for (int r = 1; r <= 3; ++r) EXPECT_EQ(assign.GetVal(r), 1);
}

TEST_F(KMeans, AbortReturnsZero) {
  TMatrix data, centers;
  nuv_test::FromRows(data, {{1}, {2}, {10}, {11}, {12}});
  TIntVector assign, sizes;
  AbortAt(1);
  EXPECT_EQ(kMeansClustering(&data, 0, 0, 2, 0, &centers, &assign, &sizes), 0);
  EXPECT_EQ(ProcStat, 1);
  // Outputs as they stand after pass 1: centres (1, 8.75), not renumbered.
  EXPECT_EQ(centers.GetVal(1, 1), 1);
  EXPECT_EQ(centers.GetVal(1, 2), 8.75);
  EXPECT_EQ(assign.GetVal(1), 1);
  EXPECT_EQ(assign.GetVal(5), 2);
}

TEST(FindCenters, MeansOfAnAssignment) {
  TMatrix data, centers;
  nuv_test::FromRows(data, {{1, 10}, {3, 20}, {5, 30}, {7, 40}});
  TIntVector assign, sizes;
  assign.Resize(4);
  const int32_t a[] = {2, 2, 9, 1};  // 9 belongs to no cluster
  for (int r = 0; r < 4; ++r) assign.SetVal(r + 1, a[r]);
  EXPECT_EQ(FindCenters(&data, &assign, 3, &centers, &sizes), 3);
  ASSERT_EQ(centers.NrOfColumns(), 2);
  ASSERT_EQ(centers.NrOfRows(), 3);
  EXPECT_EQ(centers.GetVal(1, 1), 7);
  EXPECT_EQ(centers.GetVal(2, 1), 40);
  EXPECT_EQ(centers.GetVal(1, 2), 2);
  EXPECT_EQ(centers.GetVal(2, 2), 15);
  EXPECT_EQ(centers.GetVal(1, 3), 0);  // empty
  EXPECT_EQ(sizes.GetVal(1), 1);
  EXPECT_EQ(sizes.GetVal(2), 2);
  EXPECT_EQ(sizes.GetVal(3), 0);
  EXPECT_EQ(FindCenters(&data, &assign, 0, &centers, &sizes), 0);
  EXPECT_EQ(centers.NrOfRows(), 3);
  // The data matrix may receive its own centres.
  EXPECT_EQ(FindCenters(&data, &assign, 2, &data, nullptr), 3);
  EXPECT_EQ(data.NrOfRows(), 2);
  EXPECT_EQ(data.GetVal(2, 2), 15);
}

TEST(kMeansEstimatedSteps, FormulaAndFloor) {
  // By hand, c1 = 10000, c2 = 50, c3 = 8: 128.920 - 108 - 9.2427 - 14.0456 + 109.672
  // = 107.30 -> 107.
  EXPECT_EQ(kMeansEstimatedSteps(10000, 50, 8), 107);
  EXPECT_EQ(kMeansEstimatedSteps(10, 2, 2), 20);
  EXPECT_EQ(kMeansEstimatedSteps(-5, 3, 3), 20);
}
