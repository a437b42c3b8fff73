// Two threads, each with its own objects, at once: the library keeps its
// process-wide state per thread (the uniform generator, the GRandom cache, the
// LongRand states, the LU parity, the eigen store) or atomic (the progress
// counter and the abort flag), so each thread must get exactly the results of
// a run on its own. Built with ThreadSanitizer in CI, which reports any data
// race on the way.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "Nuv_math1/Nuv_math1.h"
#include "Nuv_math2/Nuv_math2.h"
#include "Nuv_matrix/Nuv_matrix.h"
#include "Nuv_vector/Nuv_vector.h"

using namespace nuv;

namespace {

// Every number a workload produced, in order.
using Results = std::vector<double>;

void AddMatrix(Results& r, const TMatrix& m) {
  for (int32_t c = 1; c <= m.NrOfColumns(); ++c)
    for (int32_t row = 1; row <= m.NrOfRows(); ++row) r.push_back(m.GetVal(c, row));
}

void AddVector(Results& r, const TVector& v) {
  for (int32_t i = 1; i <= v.NrOfElem(); ++i) r.push_back(v.GetVal(i));
}

Results Workload(uint32_t Seed, const std::string& Tag) {
  Results r;
  SetRandSeed(Seed);

  // Inversion (LU with its parity).
  TMatrix a;
  a.Resize(40, 40);
  a.FillRandomUniform(-1, 1);
  for (int32_t i = 1; i <= 40; ++i) a.SetVal(i, i, a.GetVal(i, i) + 8.0);
  r.push_back(a.Determinant());
  r.push_back(a.Invert() ? 1.0 : 0.0);
  AddMatrix(r, a);

  // Covariance and the eigen decomposition into this thread's eigen store.
  TMatrix data, cov;
  data.Resize(6, 300);
  data.FillRandomGauss(2.0, 3.0);
  cov.Resize(6, 6);
  r.push_back(CalcCovar(&data, &cov, 0, 0, 0, 0, 1) ? 1.0 : 0.0);
  AddMatrix(r, cov);
  r.push_back(CalcEigVec(&cov) ? 1.0 : 0.0);
  for (int32_t e = 1; e <= 6; ++e)
    for (int32_t k = 0; k <= 6; ++k) r.push_back(GetEigenResult(e, k));

  // Vector statistics.
  TVector v;
  v.Resize(2000);
  v.FillRandomGauss(-1.0, 0.5);
  double mean = 0, var = 0, skew = 0, kurt = 0, q1 = 0, q2 = 0, q3 = 0;
  v.MeanVar(0, 0, mean, var);
  v.SkewKurt(0, 0, skew, kurt);
  v.Quartiles(0, 0, q1, q2, q3);
  r.insert(r.end(), {mean, var, skew, kurt, q1, q2, q3, v.Percentile(30, 0, 0)});

  // The generators.
  for (int i = 0; i < 200; ++i) r.push_back(GRandom());
  r.push_back(LongRand(static_cast<int32_t>(Seed) + 17));
  for (int i = 0; i < 200; ++i) r.push_back(LongRand(0));

  // Text files stored and loaded back (each thread its own files).
  const std::string vf = std::string(NUV_TEST_TMP_DIR) + "/threads_" + Tag + ".txt";
  const std::string mf = std::string(NUV_TEST_TMP_DIR) + "/threads_" + Tag + ".csv";
  TVector back;
  r.push_back(v.StoreOnFile(1, 2000, -2, vf) && back.LoadFromFile(vf, true) ? 1.0 : 0.0);
  AddVector(r, back);
  TMatrix mback;
  r.push_back(data.StoreOnFile(mf, ';') && mback.LoadFromFile(mf, true) ? 1.0 : 0.0);
  AddMatrix(r, mback);

  v.SortElems(true, 0, 0);
  AddVector(r, v);
  return r;
}

Results OnItsOwnThread(uint32_t Seed, const std::string& Tag) {
  Results r;
  std::thread t([&] { r = Workload(Seed, Tag); });
  t.join();
  return r;
}

// Bit for bit, so that NaN and -0 compare as what they are.
bool SameBits(const Results& a, const Results& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

}  // namespace

TEST(Threads, TwoThreadsGetTheResultsOfALoneRun) {
  const Results loneA = OnItsOwnThread(11, "a");
  const Results loneB = OnItsOwnThread(23, "b");
  ASSERT_FALSE(SameBits(loneA, loneB));  // the two workloads really differ
  for (int round = 0; round < 3; ++round) {
    Results a, b;
    std::thread ta([&] { a = Workload(11, "a"); });
    std::thread tb([&] { b = Workload(23, "b"); });
    ta.join();
    tb.join();
    EXPECT_TRUE(SameBits(a, loneA)) << "round " << round;
    EXPECT_TRUE(SameBits(b, loneB)) << "round " << round;
  }
}
