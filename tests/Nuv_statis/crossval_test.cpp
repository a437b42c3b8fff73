// TCrossValidator: the rounds, the lists passed to the handlers, the error sums
// and counts, and the ways a run ends early.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <stdexcept>
#include <vector>

#include "Nuv_statis/Nuv_statis.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol1;

namespace {

// Column 1 of XMat holds the row number, so the apply handler knows its object;
// column 2 some other value. YMat's column 1 is 2.5 r.
struct TData {
  TMatrix X, Y;
  explicit TData(int32_t n, int32_t ny = 1) {
    X.Resize(2, n);
    Y.Resize(ny, n);
    for (int32_t r = 1; r <= n; ++r) {
      X.SetVal(1, r, r);
      X.SetVal(2, r, -0.5 * r);
      for (int32_t j = 1; j <= ny; ++j) Y.SetVal(j, r, 2.5 * r * j);
    }
  }
};

struct TRound {
  int32_t Percent = -1;
  std::vector<int32_t> Training;
  std::vector<int32_t> Tested;  // rows predicted after this model, in call order
  std::vector<int32_t> ApplyPercents;
};

// The rounds' test sets as the draws must make them: each draw 1..N steps on past
// tested rows (wrapping from N to 1); a size covering all untested rows takes them
// all; a failed round's rows become untested again.
std::vector<std::set<int32_t>> ReplayTestSets(uint32_t Seed, int32_t N, int32_t Size,
                                              const std::set<int>& FailedRounds) {
  SetRandSeed(Seed);
  std::vector<bool> tested(static_cast<size_t>(N) + 1, false);
  int32_t nTested = 0;
  std::vector<std::set<int32_t>> sets;
  for (int round = 0; nTested < N; ++round) {
    std::set<int32_t> cur;
    if (Size >= N - nTested) {
      for (int32_t i = 1; i <= N; ++i) {
        if (!tested[static_cast<size_t>(i)]) cur.insert(i);
      }
    } else {
      for (int32_t t = 0; t < Size; ++t) {
        int32_t i = Random(N) + 1;
        while (tested[static_cast<size_t>(i)]) i = i % N + 1;
        tested[static_cast<size_t>(i)] = true;
        cur.insert(i);
      }
    }
    for (int32_t i : cur) tested[static_cast<size_t>(i)] = !FailedRounds.count(round);
    if (!FailedRounds.count(round)) nTested += static_cast<int32_t>(cur.size());
    sets.push_back(cur);
  }
  return sets;
}

// Wires a validator to record every round; the prediction of object r is its
// known response plus 0.1 r. Rounds listed in Fail report no model.
void Record(TCrossValidator& cv, std::vector<TRound>& rounds, std::set<int> Fail = {}) {
  cv.SetOnModelCreateRequest([&rounds, Fail](TObject*, int32_t pc, const std::vector<int32_t>& list,
                                             bool& ok) {
    EXPECT_FALSE(ok);
    rounds.push_back(TRound{pc, list, {}, {}});
    ok = !Fail.count(static_cast<int>(rounds.size()) - 1);
  });
  cv.SetOnModelApplyRequest([&rounds, &cv](TObject*, int32_t pc, const std::vector<double>& x,
                                           std::vector<double>& y) {
    EXPECT_TRUE(cv.IsExecuting());
    ASSERT_EQ(x.size(), 2u);
    ASSERT_EQ(y.size(), static_cast<size_t>(cv.YMat()->NrOfColumns()));
    const auto r = static_cast<int32_t>(x[0]);
    EXPECT_EQ(x[1], -0.5 * r);
    rounds.back().Tested.push_back(r);
    rounds.back().ApplyPercents.push_back(pc);
    for (size_t j = 0; j < y.size(); ++j) y[j] = cv.YMat()->GetVal(static_cast<int32_t>(j) + 1, r) + 0.1 * r;
  });
}

}  // namespace

TEST(TCrossValidator, TenObjectsInRoundsOfThree) {
  TData d(10, 2);
  TCrossValidator cv;
  EXPECT_EQ(cv.SizeTestSet(), 2);
  EXPECT_FALSE(cv.IsExecuting());
  cv.SetXMat(&d.X);
  cv.SetYMat(&d.Y);
  cv.SetTestSize(3);
  std::vector<TRound> rounds;
  Record(cv, rounds);
  const auto want = ReplayTestSets(4711, 10, 3, {});
  SetRandSeed(4711);
  ASSERT_TRUE(cv.Execute());
  EXPECT_FALSE(cv.IsExecuting());
  EXPECT_EQ(cv.SizeTestSet(), 3);

  ASSERT_EQ(rounds.size(), 4u);
  ASSERT_EQ(want.size(), 4u);
  std::multiset<int32_t> all;
  const int32_t createPercents[4] = {0, 30, 60, 90};
  int32_t done = 0;
  for (size_t k = 0; k < rounds.size(); ++k) {
    const TRound& rd = rounds[k];
    EXPECT_EQ(rd.Tested.size(), k < 3 ? 3u : 1u);
    EXPECT_EQ(std::set<int32_t>(rd.Tested.begin(), rd.Tested.end()), want[k]) << "round " << k;
    EXPECT_TRUE(std::is_sorted(rd.Tested.begin(), rd.Tested.end()));
    EXPECT_EQ(rd.Percent, createPercents[k]);
    // The training list: every row not in this round's test set, ascending,
    // including rows tested earlier.
    std::vector<int32_t> training;
    for (int32_t i = 1; i <= 10; ++i) {
      if (!want[k].count(i)) training.push_back(i);
    }
    EXPECT_EQ(rd.Training, training) << "round " << k;
    for (size_t t = 0; t < rd.Tested.size(); ++t) {
      ++done;
      EXPECT_EQ(rd.ApplyPercents[t], 10 * done);
      all.insert(rd.Tested[t]);
    }
  }
  EXPECT_EQ(all, (std::multiset<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));

  // Every prediction is off by 0.1 r: PRESS = 0.01 * (1^2 + ... + 10^2) = 3.85 per column.
  EXPECT_REL_NEAR(cv.GetRMSEP(1), std::sqrt(0.385), kTol1);
  EXPECT_REL_NEAR(cv.GetRMSEP(2), std::sqrt(0.385), kTol1);
  // No response is 1 and no prediction within 0.001: ten false positives.
  EXPECT_EQ(cv.GetTPRate(1), 0.0);
  EXPECT_EQ(cv.GetFPRate(1), 1.0);

  // RMSEP keeps the divisor of the run when XMat is replaced or taken away.
  TMatrix other;
  cv.SetXMat(&other);
  EXPECT_REL_NEAR(cv.GetRMSEP(1), std::sqrt(0.385), kTol1);
  cv.SetXMat(nullptr);
  EXPECT_REL_NEAR(cv.GetRMSEP(1), std::sqrt(0.385), kTol1);

  // A new test size clears the results; 0 is stored as 1.
  cv.SetTestSize(0);
  EXPECT_EQ(cv.SizeTestSet(), 1);
  EXPECT_EQ(cv.GetRMSEP(1), -1.0);
  EXPECT_EQ(cv.GetTPRate(2), -1.0);
  EXPECT_EQ(cv.GetFPRate(2), -1.0);
}

TEST(TCrossValidator, TestSizeClampAndFailedRoundRedrawn) {
  TData d(4);
  TCrossValidator cv;
  cv.SetXMat(&d.X);
  cv.SetYMat(&d.Y);
  cv.SetTestSize(10);
  std::vector<TRound> rounds;
  Record(cv, rounds);
  ASSERT_TRUE(cv.Execute());
  EXPECT_EQ(cv.SizeTestSet(), 3);  // 4 div 2 + 1, kept after the run
  ASSERT_EQ(rounds.size(), 2u);
  EXPECT_EQ(rounds[0].Tested.size(), 3u);
  EXPECT_EQ(rounds[1].Tested.size(), 1u);

  // A round without a model returns its rows to the untested ones: they are
  // drawn anew and every object is still predicted exactly once.
  TData e(10);
  cv.SetXMat(&e.X);
  cv.SetYMat(&e.Y);
  cv.SetTestSize(3);
  rounds.clear();
  Record(cv, rounds, {0, 2});
  const auto want = ReplayTestSets(99, 10, 3, {0, 2});
  SetRandSeed(99);
  ASSERT_TRUE(cv.Execute());
  ASSERT_EQ(rounds.size(), want.size());
  std::multiset<int32_t> all;
  for (size_t k = 0; k < rounds.size(); ++k) {
    EXPECT_EQ(std::set<int32_t>(rounds[k].Tested.begin(), rounds[k].Tested.end()),
              k == 0 || k == 2 ? std::set<int32_t>{} : want[k]);
    all.insert(rounds[k].Tested.begin(), rounds[k].Tested.end());
    EXPECT_EQ(rounds[k].Training.size(), 10 - want[k].size());
  }
  EXPECT_EQ(all, (std::multiset<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST(TCrossValidator, ClassificationCountsAtTheTolerance) {
  // Column 1: responses 1, 1, 1, 1, 0, 0, 2 predicted 0.9995 (TP), 0.998 (FN), 1 (TP),
  // 1.0015 (FN), 0.0005 (TN), 0.5 (FP), 2.0009 (TN); 1.2 is not 1, so predicted
  // exactly it is a TN. Column 2 has no positives, column 3 no negatives.
  const double y1[8] = {1, 1, 1, 1, 0, 0, 2, 1.2};
  const double p1[8] = {0.9995, 0.998, 1, 1.0015, 0.0005, 0.5, 2.0009, 1.2};
  TMatrix x, y;
  x.Resize(1, 8);
  y.Resize(3, 8);
  for (int32_t r = 1; r <= 8; ++r) {
    x.SetVal(1, r, r);
    y.SetVal(1, r, y1[r - 1]);
    y.SetVal(2, r, 0);
    y.SetVal(3, r, 1);
  }
  TCrossValidator cv;
  cv.SetXMat(&x);
  cv.SetYMat(&y);
  cv.SetOnModelCreateRequest([](TObject*, int32_t, const std::vector<int32_t>&, bool& ok) { ok = true; });
  cv.SetOnModelApplyRequest([&](TObject*, int32_t, const std::vector<double>& in, std::vector<double>& out) {
    const auto r = static_cast<size_t>(in[0]) - 1;
    out[0] = p1[r];
    out[1] = 0.5;  // every negative missed
    out[2] = 1.0;  // every positive hit
  });
  ASSERT_TRUE(cv.Execute());
  EXPECT_EQ(cv.GetTPRate(1), 0.5);
  EXPECT_EQ(cv.GetFPRate(1), 0.25);
  EXPECT_EQ(cv.GetTPRate(2), 0.0);  // no positive objects
  EXPECT_EQ(cv.GetFPRate(2), 1.0);
  EXPECT_EQ(cv.GetTPRate(3), 1.0);
  EXPECT_EQ(cv.GetFPRate(3), 1.0);  // no negative objects
  double press = 0;
  for (int r = 0; r < 8; ++r) press += (p1[r] - y1[r]) * (p1[r] - y1[r]);
  EXPECT_REL_NEAR(cv.GetRMSEP(1), std::sqrt(press / 8), kTol1);
  EXPECT_REL_NEAR(cv.GetRMSEP(2), 0.5, kTol1);
  EXPECT_EQ(cv.GetRMSEP(3), 0.0);
}

TEST(TCrossValidator, MessagesInOrderChangeNothing) {
  TData d(5), e(6);
  TCrossValidator cv;
  cv.SetName("cv");
  EXPECT_EQ(cv.GetRMSEP(1), -1.0);  // no run yet
  const char* noData = "TCrossValidator.Execute: data matrix not assigned";
  EXPECT_THROW_MSG(cv.Execute(), ENUVStatisError, noData);
  cv.SetXMat(&d.X);
  EXPECT_THROW_MSG(cv.Execute(), ENUVStatisError, noData);
  cv.SetYMat(&e.Y);
  EXPECT_THROW_MSG(cv.Execute(), ENUVStatisError,
                   "TCrossValidator.Execute: number of rows of XMat and YMat not equal");
  cv.SetYMat(&d.Y);
  EXPECT_THROW_MSG(cv.Execute(), ENUVStatisError,
                   "TCrossValidator: OnModelApplyRequest event is not assigned");
  cv.SetOnModelApplyRequest([](TObject*, int32_t, const std::vector<double>&, std::vector<double>&) {});
  EXPECT_THROW_MSG(cv.Execute(), ENUVStatisError,
                   "TCrossValidator: OnModelCreateRequest event is not assigned");
  EXPECT_FALSE(cv.IsExecuting());
  EXPECT_EQ(cv.SizeTestSet(), 2);

  // After a run, a refused one leaves its results.
  cv.SetOnModelCreateRequest([](TObject*, int32_t, const std::vector<int32_t>&, bool& ok) { ok = true; });
  ASSERT_TRUE(cv.Execute());
  const double rmsep = cv.GetRMSEP(1);  // predictions 0 against 2.5 r
  EXPECT_REL_NEAR(rmsep, std::sqrt(6.25 * 55 / 5), kTol1);
  cv.SetYMat(&e.Y);
  EXPECT_THROW(cv.Execute(), ENUVStatisError);
  EXPECT_EQ(cv.GetRMSEP(1), rmsep);
}

TEST(TCrossValidator, AbortEndsTheRunWithResultsUnset) {
  TData d(10);
  TCrossValidator cv;
  cv.SetXMat(&d.X);
  cv.SetYMat(&d.Y);
  std::vector<TRound> rounds;
  Record(cv, rounds);
  int checks = 0;
  cv.SetOnCheckAbort([&](TObject* s, bool& abort) {
    EXPECT_EQ(s, &cv);
    EXPECT_FALSE(abort);
    abort = ++checks == 1;
  });
  EXPECT_FALSE(cv.Execute());
  EXPECT_EQ(checks, 1);
  ASSERT_EQ(rounds.size(), 1u);
  EXPECT_EQ(rounds[0].Tested.size(), 1u);  // stopped after the first object
  EXPECT_FALSE(cv.IsExecuting());
  EXPECT_EQ(cv.GetRMSEP(1), -1.0);
  EXPECT_EQ(cv.GetTPRate(1), -1.0);
  EXPECT_EQ(cv.GetFPRate(1), -1.0);

  // The library-wide flag stops it as well.
  cv.SetOnCheckAbort(nullptr);
  rounds.clear();
  cv.SetOnModelApplyRequest([&](TObject*, int32_t, const std::vector<double>&, std::vector<double>&) {
    AbortMathProc = rounds.size() == 2;
  });
  EXPECT_FALSE(cv.Execute());
  EXPECT_EQ(rounds.size(), 2u);
  EXPECT_EQ(cv.GetRMSEP(1), -1.0);
  AbortMathProc = false;
}

TEST(TCrossValidator, ModelNeverBuiltStopsTheRun) {
  TData d(7);
  TCrossValidator cv;
  cv.SetXMat(&d.X);
  cv.SetYMat(&d.Y);
  int creates = 0, applies = 0;
  cv.SetOnModelCreateRequest([&](TObject*, int32_t pc, const std::vector<int32_t>&, bool&) {
    ++creates;
    EXPECT_EQ(pc, 0);
  });
  cv.SetOnModelApplyRequest([&](TObject*, int32_t, const std::vector<double>&, std::vector<double>&) { ++applies; });
  EXPECT_FALSE(cv.Execute());
  EXPECT_EQ(creates, TCrossValidator::MaxFailedRounds);
  EXPECT_EQ(applies, 0);
  EXPECT_FALSE(cv.IsExecuting());
  EXPECT_EQ(cv.GetRMSEP(1), -1.0);

  // OnCheckAbort is asked after every failed round.
  creates = 0;
  int checks = 0;
  cv.SetOnCheckAbort([&](TObject*, bool& abort) { abort = ++checks == 5; });
  EXPECT_FALSE(cv.Execute());
  EXPECT_EQ(creates, 5);
  EXPECT_EQ(checks, 5);
}

TEST(TCrossValidator, HandlerExceptionLeavesValidatorUsable) {
  TData d(8);
  TCrossValidator cv;
  cv.SetXMat(&d.X);
  cv.SetYMat(&d.Y);
  int applies = 0;
  cv.SetOnModelCreateRequest([](TObject*, int32_t, const std::vector<int32_t>&, bool& ok) { ok = true; });
  cv.SetOnModelApplyRequest([&](TObject*, int32_t, const std::vector<double>&, std::vector<double>&) {
    if (++applies == 3) throw std::domain_error("model broke");
  });
  EXPECT_THROW(cv.Execute(), std::domain_error);
  EXPECT_FALSE(cv.IsExecuting());
  EXPECT_EQ(cv.GetRMSEP(1), -1.0);

  // The next run works, and a handler that restarts the run is refused.
  bool nested = true;
  cv.SetOnModelApplyRequest([&](TObject*, int32_t, const std::vector<double>&, std::vector<double>& y) {
    nested = cv.Execute();
    y.clear();  // a resized response array is sized again and counts as 0
  });
  ASSERT_TRUE(cv.Execute());
  EXPECT_FALSE(nested);
  EXPECT_REL_NEAR(cv.GetRMSEP(1), std::sqrt(6.25 * 204 / 8), kTol1);  // 1^2 + ... + 8^2 = 204
}

TEST(TCrossValidator, NoRowsAndOneRow) {
  TMatrix x, y;
  x.Resize(2, 0);
  y.Resize(1, 0);
  TCrossValidator cv;
  cv.SetXMat(&x);
  cv.SetYMat(&y);
  int creates = 0;
  std::vector<int32_t> lastList{-1};
  cv.SetOnModelCreateRequest([&](TObject*, int32_t, const std::vector<int32_t>& list, bool& ok) {
    ++creates;
    lastList = list;
    ok = true;
  });
  cv.SetOnModelApplyRequest([](TObject*, int32_t, const std::vector<double>&, std::vector<double>& r) {
    r[0] = 0.25;
  });
  EXPECT_TRUE(cv.Execute());
  EXPECT_EQ(creates, 0);
  EXPECT_EQ(cv.SizeTestSet(), 1);
  EXPECT_EQ(cv.GetRMSEP(1), -1.0);  // nothing to divide by

  // One object: a single round with an empty training list.
  x.Resize(2, 1);
  y.Resize(1, 1);
  EXPECT_TRUE(cv.Execute());
  EXPECT_EQ(creates, 1);
  EXPECT_TRUE(lastList.empty());
  EXPECT_EQ(cv.GetRMSEP(1), 0.25);
}
