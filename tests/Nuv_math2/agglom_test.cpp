#include <cmath>
#include <limits>
#include <set>
#include <stdexcept>
#include <utility>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "common/matrix_helpers.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol2;

namespace {

#include "Nuv_math2/reference/cluster_reference.inc"

// The merge steps exactly as written for the method: every step scans all
// active pairs (i ascending, then j ascending) for a strictly smaller
// distance, starting from uc_MaxReal; the new distances go into row and
// column j of the full matrix. A pair found nowhere is taken as the first two
// active slots.
struct TLiteral {
  std::vector<int32_t> Pairs;  // cluster numbers, two per step
  std::vector<double> Heights;
};

TLiteral LiteralAgglom(const TMatrix& Data, TDistMode Mode, TClusterMethod Method,
                       double Alpha) {
  const int32_t n = Data.NrOfRows();
  TMatrix D;
  D.Resize(n, n);
  EXPECT_EQ(Data.CalcDistMat(Mode, &D), 0);
  std::vector<std::vector<double>> d(n, std::vector<double>(n));
  for (int32_t i = 0; i < n; ++i)
    for (int32_t j = 0; j < n; ++j) d[i][j] = D.GetVal(i + 1, j + 1);
  std::vector<int32_t> num(n), size(n, 1);
  std::vector<bool> active(n, true);
  for (int32_t k = 0; k < n; ++k) num[k] = k + 1;
  TLiteral out;
  for (int32_t s = 1; s < n; ++s) {
    double best = uc_MaxReal;
    int32_t bi = -1, bj = -1;
    for (int32_t i = 0; i < n; ++i) {
      if (!active[i]) continue;
      for (int32_t j = i + 1; j < n; ++j)
        if (active[j] && d[i][j] < best) {
          best = d[i][j];
          bi = i;
          bj = j;
        }
    }
    if (bi < 0) {
      for (bi = 0; !active[bi];) ++bi;
      for (bj = bi + 1; !active[bj];) ++bj;
    }
    const int32_t i = bi, j = bj;
    const double dij = d[i][j], ni = size[i], nj = size[j];
    out.Pairs.push_back(num[i]);
    out.Pairs.push_back(num[j]);
    out.Heights.push_back(dij);
    for (int32_t k = 0; k < n; ++k) {
      if (!active[k] || k == i || k == j) continue;
      const double dik = d[i][k], djk = d[j][k], nk = size[k];
      double v;
      switch (Method) {
        case cmSingleLink: v = dik < djk ? dik : djk; break;
        case cmCompleteLink: v = dik > djk ? dik : djk; break;
        case cmWard: v = (dik * (ni + nk) + djk * (nj + nk) - dij * nk) / (ni + nj + nk); break;
        case cmAvgLink: v = (dik + djk) * 0.5; break;
        case cmFlexLink: v = (dik + djk) * Alpha + dij * (1 - 2 * Alpha); break;
        default: v = dik * ni / (ni + nj) + djk * nj / (ni + nj); break;
      }
      d[j][k] = d[k][j] = v;
    }
    num[j] = n + s;
    size[j] += size[i];
    active[i] = false;
  }
  return out;
}

// The plotting order by repeated scans of the list, replacing a merged
// cluster by its second part followed by its first.
std::vector<double> LiteralXPos(const std::vector<int32_t>& Pairs, int32_t n) {
  std::vector<int32_t> list = {Pairs[2 * (n - 2)], Pairs[2 * (n - 2) + 1]};
  for (bool found = true; found;) {
    found = false;
    for (size_t p = 0; p < list.size(); ++p) {
      if (list[p] > n) {
        const int32_t c = list[p] - n - 1;
        list[p] = Pairs[2 * c + 1];
        list.insert(list.begin() + p + 1, Pairs[2 * c]);
        found = true;
      }
    }
  }
  std::vector<double> x(2 * n - 1);
  for (int32_t p = 0; p < n; ++p) x[list[p] - 1] = p + 1;
  for (int32_t s = 0; s < n - 1; ++s) x[n + s] = (x[Pairs[2 * s] - 1] + x[Pairs[2 * s + 1] - 1]) / 2;
  return x;
}

struct TRun {
  int32_t Result = 0;
  TIntMatrix Dendrogram;
  TVector MergeDist, XPos;
};

void Cluster(TRun& r, TMatrix& Data, TDistMode Mode, TClusterMethod Method, double Alpha = 0.625,
         const TClusterFeedback& Feedback = nullptr, const TOnCalcDistanceEvent& OnDist = nullptr) {
  r.Result = AgglomClustering(nullptr, &Data, Mode, Method, Alpha, &r.Dendrogram, &r.MergeDist,
                              &r.XPos, Feedback, OnDist);
}

void ExpectSameAsLiteral(TMatrix& Data, TDistMode Mode, TClusterMethod Method, double Alpha,
                         const char* What) {
  SCOPED_TRACE(std::string(What) + ", " + ClusterMethodID[Method]);
  const int32_t n = Data.NrOfRows();
  const TLiteral want = LiteralAgglom(Data, Mode, Method, Alpha);
  TRun got;
  Cluster(got, Data, Mode, Method, Alpha);
  ASSERT_EQ(got.Result, 0);
  ASSERT_EQ(got.Dendrogram.NrOfRows(), n - 1);
  for (int32_t s = 1; s < n; ++s) {
    ASSERT_EQ(got.Dendrogram.GetVal(1, s), want.Pairs[2 * (s - 1)]) << "step " << s;
    ASSERT_EQ(got.Dendrogram.GetVal(2, s), want.Pairs[2 * (s - 1) + 1]) << "step " << s;
    ASSERT_EQ(got.Dendrogram.GetVal(3, s), n + s);
    // Bit for bit: the same arithmetic in the same order (NaN as NaN).
    const double h = got.MergeDist.GetVal(s), w = want.Heights[s - 1];
    if (!(std::isnan(h) && std::isnan(w))) {
      ASSERT_EQ(h, w) << "step " << s;
    }
  }
  const std::vector<double> x = LiteralXPos(want.Pairs, n);
  for (int32_t e = 1; e < 2 * n; ++e) ASSERT_EQ(got.XPos.GetVal(e), x[e - 1]) << "XPos " << e;
}

constexpr TClusterMethod kMethods[] = {cmSingleLink, cmCompleteLink, cmWard,
                                       cmAvgLink,    cmFlexLink,     cmUpgma};

}  // namespace

TEST(AgglomClustering, ThreeObjectsOnALine) {
  TMatrix data;
  nuv_test::FromRows(data, {{0}, {1}, {5}});
  TRun r;
  Cluster(r, data, dmEuclid, cmSingleLink);
  EXPECT_EQ(r.Result, 0);
  ASSERT_EQ(r.Dendrogram.NrOfColumns(), 3);
  ASSERT_EQ(r.Dendrogram.NrOfRows(), 2);
  const int32_t rows[2][3] = {{1, 2, 4}, {4, 3, 5}};
  for (int s = 0; s < 2; ++s)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(r.Dendrogram.GetVal(c + 1, s + 1), rows[s][c]);
  ASSERT_EQ(r.MergeDist.NrOfElem(), 2);
  EXPECT_EQ(r.MergeDist.GetVal(1), 1);
  EXPECT_EQ(r.MergeDist.GetVal(2), 4);
  const double xpos[] = {2, 1, 3, 1.5, 2.25};
  ASSERT_EQ(r.XPos.NrOfElem(), 5);
  for (int e = 0; e < 5; ++e) EXPECT_EQ(r.XPos.GetVal(e + 1), xpos[e]) << e;

  Cluster(r, data, dmEuclid, cmCompleteLink);
  EXPECT_EQ(r.MergeDist.GetVal(1), 1);
  EXPECT_EQ(r.MergeDist.GetVal(2), 5);
  Cluster(r, data, dmEuclid, cmAvgLink);
  EXPECT_EQ(r.MergeDist.GetVal(1), 1);
  EXPECT_EQ(r.MergeDist.GetVal(2), 4.5);
  // Flexible with Alpha 0.625: (4 + 5) 0.625 + 1 (1 - 1.25) = 5.375; Alpha below 0.5 is 0.5.
  Cluster(r, data, dmEuclid, cmFlexLink, 0.625);
  EXPECT_EQ(r.MergeDist.GetVal(2), 5.375);
  Cluster(r, data, dmEuclid, cmFlexLink, 0.1);
  EXPECT_EQ(r.MergeDist.GetVal(2), 4.5);
  Cluster(r, data, dmEuclid, cmFlexLink, 7);  // clipped to 1: 9 - 1
  EXPECT_EQ(r.MergeDist.GetVal(2), 8);
  // Ward on squared distances: (16 * 2 + 25 * 2 - 1) / 3 = 27 = 2 * (2 * 1 / 3) * 4.5^2.
  Cluster(r, data, dmEuclidSqr, cmWard);
  EXPECT_EQ(r.MergeDist.GetVal(2), 27);
  EXPECT_EQ(ClusterMethodID[cmWard], std::string("Ward's method"));
  EXPECT_EQ(ClusterMethodID[cmUpgma], std::string("unweighted pair group"));
}

TEST(AgglomClustering, MatchesScipyLinkage) {
  TMatrix data;
  data.Resize(kAggCols, kAggRows);
  for (int r = 0; r < kAggRows; ++r)
    for (int c = 0; c < kAggCols; ++c) data.SetVal(c + 1, r + 1, kAggX[r * kAggCols + c]);
  struct TCase {
    TClusterMethod Method;
    TDistMode Mode;
    const int32_t* Pairs;
    const double* Heights;
    bool Squared;
  };
  // scipy.cluster.hierarchy.linkage, scipy 1.10.1 (make_cluster_tables.py): single, complete,
  // weighted (= our average link), average (= our unweighted pair group), ward (Euclidean
  // heights, ours on squared distances are their squares), average on cityblock distances.
  const TCase cases[] = {
      {cmSingleLink, dmEuclid, kAggSinglePairs, kAggSingleHeights, false},
      {cmCompleteLink, dmEuclid, kAggCompletePairs, kAggCompleteHeights, false},
      {cmAvgLink, dmEuclid, kAggWeightedPairs, kAggWeightedHeights, false},
      {cmUpgma, dmEuclid, kAggAveragePairs, kAggAverageHeights, false},
      {cmWard, dmEuclidSqr, kAggWardPairs, kAggWardHeights, true},
      {cmUpgma, dmManhattan, kAggManhattanAveragePairs, kAggManhattanAverageHeights, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(ClusterMethodID[c.Method]);
    TRun r;
    Cluster(r, data, c.Mode, c.Method);
    ASSERT_EQ(r.Result, 0);
    for (int s = 0; s < kAggRows - 1; ++s) {
      const std::set<int32_t> got = {r.Dendrogram.GetVal(1, s + 1), r.Dendrogram.GetVal(2, s + 1)};
      const std::set<int32_t> want = {c.Pairs[2 * s], c.Pairs[2 * s + 1]};
      EXPECT_EQ(got, want) << "step " << s + 1;
      const double h = c.Squared ? c.Heights[s] * c.Heights[s] : c.Heights[s];
      EXPECT_REL_NEAR(r.MergeDist.GetVal(s + 1), h, kTol2) << "step " << s + 1;
    }
  }
}

TEST(AgglomClustering, FastPathGivesTheLiteralMerges) {
  SetRandSeed(2024);
  TMatrix random, ties, line, integers;
  random.Resize(4, 70);
  random.FillRandomGauss(0, 1);
  // Values 0..2 in three columns: 27 distinct objects among 80, Manhattan distances 0..6.
  ties.Resize(3, 80);
  for (int r = 1; r <= 80; ++r)
    for (int c = 1; c <= 3; ++c) ties.SetVal(c, r, Random(3));
  // One variable with values 0..5: distances 0..5 (squares 0..25) tie everywhere.
  line.Resize(1, 120);
  for (int r = 1; r <= 120; ++r) line.SetVal(1, r, Random(6));
  integers.Resize(2, 60);
  for (int r = 1; r <= 60; ++r)
    for (int c = 1; c <= 2; ++c) integers.SetVal(c, r, Random(40) - 20);
  for (TClusterMethod m : kMethods) {
    ExpectSameAsLiteral(random, dmEuclid, m, 0.625, "random");
    ExpectSameAsLiteral(random, dmEuclidSqr, m, 0.8, "random, squared");
    ExpectSameAsLiteral(ties, dmManhattan, m, 0.625, "tied");
    ExpectSameAsLiteral(ties, dmEuclidSqr, m, 0.5, "tied, squared");
    ExpectSameAsLiteral(line, dmManhattan, m, 0.75, "tied line");
    ExpectSameAsLiteral(line, dmEuclidSqr, m, 0.625, "tied line, squared");
    ExpectSameAsLiteral(integers, dmEuclidSqr, m, 1.0, "integers");
    ExpectSameAsLiteral(integers, dmJaccard, m, 0.625, "integers, Jaccard");
  }
}

TEST(AgglomClustering, NonFiniteDistancesMergeLast) {
  TMatrix data;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  nuv_test::FromRows(data, {{0.0}, {nan}, {3.0}, {1.0}, {1e300}});
  for (TClusterMethod m : kMethods) ExpectSameAsLiteral(data, dmEuclidSqr, m, 0.625, "NaN, inf");
  TRun r;
  Cluster(r, data, dmEuclidSqr, cmSingleLink);
  // 1-4 (1), then 3 joins (4), then the infinite and NaN rows: every cluster used once.
  EXPECT_EQ(r.MergeDist.GetVal(1), 1);
  EXPECT_EQ(r.MergeDist.GetVal(2), 4);
  std::set<int32_t> used;
  for (int s = 1; s <= 4; ++s) {
    EXPECT_TRUE(used.insert(r.Dendrogram.GetVal(1, s)).second);
    EXPECT_TRUE(used.insert(r.Dendrogram.GetVal(2, s)).second);
  }
  EXPECT_EQ(*used.rbegin(), 8);
}

TEST(AgglomClustering, FewerThanTwoObjects) {
  TMatrix data;
  data.Resize(2, 0);
  TRun r;
  r.MergeDist.Resize(3);
  r.MergeDist.Fill(7);
  Cluster(r, data, dmEuclid, cmWard);
  EXPECT_EQ(r.Result, 0);
  EXPECT_EQ(r.Dendrogram.NrOfColumns(), 3);
  EXPECT_EQ(r.Dendrogram.NrOfRows(), 0);
  EXPECT_TRUE(r.MergeDist.IsEmpty());
  EXPECT_EQ(r.MergeDist.GetVal(1), 0);
  data.Resize(2, 1);
  Cluster(r, data, dmEuclid, cmWard);
  EXPECT_EQ(r.Result, 0);
  EXPECT_EQ(r.Dendrogram.NrOfRows(), 0);
  ASSERT_EQ(r.XPos.NrOfElem(), 1);
  EXPECT_EQ(r.XPos.GetVal(1), 1);
  EXPECT_EQ(AgglomClustering(nullptr, nullptr, dmEuclid, cmWard, 0.5, nullptr, nullptr, nullptr,
                             nullptr, nullptr),
            0);
}

TEST(AgglomClustering, DistanceEventSwappedInAndRestored) {
  TMatrix data;
  nuv_test::FromRows(data, {{0}, {0}, {0}, {0}});
  int ownCalls = 0;
  data.SetOnCalcDistance([&](TObject*, int32_t, int32_t, double&) { ++ownCalls; });
  std::vector<std::pair<int32_t, int32_t>> seen;
  TOnCalcDistanceEvent user = [&](TObject* Sender, int32_t r1, int32_t r2, double& d) {
    EXPECT_EQ(Sender, &data);
    seen.emplace_back(r1, r2);
    d = (r1 * 7 + r2 * 3) % 11;
  };
  TRun r;
  Cluster(r, data, dmUserDef, cmSingleLink, 0.5, nullptr, user);
  const std::vector<std::pair<int32_t, int32_t>> order = {{1, 2}, {1, 3}, {1, 4},
                                                          {2, 3}, {2, 4}, {3, 4}};
  EXPECT_EQ(seen, order);
  // d(1,2) = 2, d(1,3) = 5, d(1,4) = 8, d(2,3) = 1, d(2,4) = 4, d(3,4) = 0.
  EXPECT_EQ(r.MergeDist.GetVal(1), 0);
  EXPECT_EQ(r.Dendrogram.GetVal(1, 1), 3);
  EXPECT_EQ(r.Dendrogram.GetVal(2, 1), 4);
  EXPECT_EQ(r.MergeDist.GetVal(2), 1);  // single link: min(d(2,3), d(2,4))
  double d = -1;
  data.OnCalcDistance()(&data, 1, 2, d);
  EXPECT_EQ(ownCalls, 1);
  // Restored also when the handler raises.
  TOnCalcDistanceEvent raising = [](TObject*, int32_t, int32_t, double&) {
    throw std::runtime_error("no distance");
  };
  EXPECT_THROW(Cluster(r, data, dmUserDef, cmSingleLink, 0.5, nullptr, raising), std::runtime_error);
  data.OnCalcDistance()(&data, 1, 2, d);
  EXPECT_EQ(ownCalls, 2);
  // Without a handler the user-defined distances are 0.
  Cluster(r, data, dmUserDef, cmSingleLink, 0.5, nullptr, nullptr);
  EXPECT_EQ(r.MergeDist.GetVal(3), 0);
  EXPECT_EQ(ownCalls, 2);
}

class AgglomProgress : public nuv_test::ProgressTest {};

TEST_F(AgglomProgress, FeedbackStepsAndAbort) {
  TMatrix data;
  nuv_test::FromRows(data, {{0}, {1}, {5}, {9}, {2.5}});
  std::vector<std::pair<double, double>> calls;
  TObject sender;
  TClusterFeedback fb = [&](TObject* s, double pct, double stat) {
    EXPECT_EQ(s, &sender);
    calls.emplace_back(pct, stat);
  };
  TIntMatrix dendro;
  TVector merge, xpos;
  AbortMathProc = true;  // cleared at the start
  EXPECT_EQ(AgglomClustering(&sender, &data, dmEuclid, cmUpgma, 0.5, &dendro, &merge, &xpos, fb,
                             nullptr),
            0);
  const std::vector<std::pair<double, double>> want = {
      {0, 0}, {20, 1}, {40, 2}, {60, 3}, {80, 4}};
  EXPECT_EQ(calls, want);
  EXPECT_EQ(ProcStat, 4);

  calls.clear();
  TClusterFeedback aborting = [&](TObject*, double pct, double) {
    if (pct == 40) AbortMathProc = true;
  };
  EXPECT_EQ(AgglomClustering(&sender, &data, dmEuclid, cmUpgma, 0.5, &dendro, &merge, &xpos,
                             aborting, nullptr),
            -1);
  EXPECT_EQ(ProcStat, 6);  // the step that saw the request still ran
  EXPECT_TRUE(merge.IsEmpty());
  EXPECT_TRUE(xpos.IsEmpty());
  ASSERT_EQ(xpos.NrOfElem(), 9);
  for (int e = 1; e <= 9; ++e) EXPECT_EQ(xpos.GetVal(e), 0);
  ASSERT_EQ(dendro.NrOfRows(), 4);
  for (int s = 1; s <= 4; ++s)
    for (int c = 1; c <= 3; ++c) EXPECT_EQ(dendro.GetVal(c, s), 0);
}
