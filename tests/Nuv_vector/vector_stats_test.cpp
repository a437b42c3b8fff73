#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Nuv_vector/Nuv_vector.h"
#include "common/test_util.h"

using namespace nuv;

namespace {

template <class V, class T>
V* Make(std::initializer_list<T> values) {
  auto* v = new V();
  v->Resize(static_cast<int32_t>(values.size()));
  int32_t i = 1;
  for (T x : values) v->SetVal(i++, x);
  return v;
}
TVector* Vec(std::initializer_list<double> values) { return Make<TVector, double>(values); }
TIntVector* IVec(std::initializer_list<int32_t> values) { return Make<TIntVector, int32_t>(values); }

}  // namespace

TEST(VectorStats, MinMaxRangesAndTrueExtremes) {
  TVector* v = Vec({3, 1, 1, 3, -2, 8});
  double mn, mx;
  int32_t mnIx, mxIx;
  v->MinMax(0, 0, mn, mx, mnIx, mxIx);
  EXPECT_EQ(mn, -2.0);
  EXPECT_EQ(mnIx, 5);
  EXPECT_EQ(mx, 8.0);
  EXPECT_EQ(mxIx, 6);
  v->MinMax(4, 1, mn, mx, mnIx, mxIx);  // reversed range 1..4: ties keep the first
  EXPECT_EQ(mnIx, 2);
  EXPECT_EQ(mxIx, 1);
  v->MinMax(-5, 2, mn, mx);
  EXPECT_EQ(mn, 1.0);
  EXPECT_EQ(mx, 3.0);

  // Extremes beyond the start values and NaN that is never an extreme.
  TVector* huge = Vec({NAN, 1.75e308, INFINITY});
  huge->MinMax(0, 0, mn, mx, mnIx, mxIx);
  EXPECT_EQ(mn, 1.75e308);
  EXPECT_EQ(mnIx, 2);
  EXPECT_EQ(mx, INFINITY);
  EXPECT_EQ(mxIx, 3);
  TVector* allNaN = Vec({NAN, NAN});
  allNaN->MinMax(0, 0, mn, mx, mnIx, mxIx);
  EXPECT_EQ(mn, 1.7e308);
  EXPECT_EQ(mx, -1.7e308);
  EXPECT_EQ(mnIx, 0);
  EXPECT_EQ(mxIx, 0);

  TIntVector* imin = IVec({INT32_MIN, INT32_MIN});
  int32_t imn, imx;
  imin->MinMax(0, 0, imn, imx, mnIx, mxIx);
  EXPECT_EQ(imn, INT32_MIN);
  EXPECT_EQ(imx, INT32_MIN);
  EXPECT_EQ(mxIx, 1);
  delete v;
  delete huge;
  delete allNaN;
  delete imin;
}

TEST(VectorStats, MeanVarSumAndMeans) {
  double mean, var;
  TVector* two = Vec({2, 4});
  two->MeanVar(0, 0, mean, var);
  EXPECT_EQ(mean, 3.0);
  EXPECT_EQ(var, 1.0);  // fewer than three values
  TVector* three = Vec({2, 4, 6});
  three->MeanVar(0, 0, mean, var);
  EXPECT_EQ(mean, 4.0);
  EXPECT_EQ(var, 4.0);
  three->MeanVar(3, 3, mean, var);
  EXPECT_EQ(mean, 6.0);
  EXPECT_EQ(var, 1.0);
  EXPECT_EQ(three->Sum(2, 9), 10.0);

  TVector* g = Vec({1, 4, 16});
  EXPECT_REL_NEAR(g->GeometricMean(0, 0), 4.0, nuv_test::kTol1);
  EXPECT_REL_NEAR(g->HarmonicMean(0, 0), 3.0 / (1 + 0.25 + 0.0625), nuv_test::kTol1);
  TVector* z = Vec({0, 4});
  EXPECT_EQ(z->GeometricMean(0, 0), 0.0);
  TVector* neg = Vec({-1, 0});
  neg->SetName("N");
  EXPECT_THROW_MSG(neg->GeometricMean(0, 0), ENUVVectorError,
                   "Component \"N\": negative argument passed to GeometricMean");
  EXPECT_THROW_MSG(z->HarmonicMean(0, 0), ENUVVectorError,
                   "Component \"\": negative or zero argument passed to HarmonicMean");

  // Integer sums wrap in 32 bits; the integer variance is not clipped at 0.
  TIntVector* iv = IVec({2147483647, 1});
  EXPECT_EQ(iv->Sum(0, 0), INT32_MIN);
  TIntVector* i3 = IVec({2, 4, 6});
  i3->MeanVar(0, 0, mean, var);
  EXPECT_EQ(var, 4.0);
  EXPECT_EQ(i3->DotProduct(i3), 56);
  delete two;
  delete three;
  delete g;
  delete z;
  delete neg;
  delete iv;
  delete i3;
}

TEST(VectorStats, SkewnessAndKurtosis) {
  // Data 1, 2, 3, 10: mean 4, centred -3 -2 -1 6; sums of powers 50, 180, 1394;
  // s = sqrt(50 / 3).
  TVector* v = Vec({1, 2, 3, 10});
  double skew, kurt;
  v->SkewKurt(0, 0, skew, kurt);
  const double s = std::sqrt(50.0 / 3);
  EXPECT_REL_NEAR(skew, 180.0 / 4 / (s * s * s), nuv_test::kTol1);
  EXPECT_REL_NEAR(kurt, 1394.0 / 4 / (s * s * s * s) - 3, nuv_test::kTol1);
  double g1 = skew, g2 = kurt;
  v->SkewKurtSample(0, 0, skew, kurt);
  EXPECT_REL_NEAR(skew, 16 * g1 / (3 * 2), nuv_test::kTol1);
  EXPECT_REL_NEAR(kurt, (g2 + 3) * 16 * 5 / (3 * 2 * 1) - 3 * 9 / (2 * 1.0), nuv_test::kTol1);
  v->SkewKurt(1, 3, skew, kurt);  // three values are too few
  EXPECT_EQ(skew, 0.0);
  EXPECT_EQ(kurt, 0.0);
  TVector* flat = Vec({5, 5, 5, 5, 5});
  flat->SkewKurtSample(0, 0, skew, kurt);
  EXPECT_EQ(skew, 0.0);
  EXPECT_EQ(kurt, 0.0);
  delete v;
  delete flat;
}

TEST(VectorStats, ModeQuartilesPercentilesNeverReorder) {
  TVector* m = Vec({3, 1, 3, 1, 2});
  EXPECT_EQ(m->Mode(0, 0), 1.0);  // equally frequent: the smaller wins
  EXPECT_EQ(m->GetVal(1), 3.0);   // the vector itself is untouched
  TVector* distinct = Vec({4, 2, 9});
  EXPECT_EQ(distinct->Mode(0, 0), 2.0);
  TIntVector* im = IVec({5, 1, 5, 1});
  EXPECT_EQ(im->Mode(0, 0), 1);

  double q1, q2, q3;
  TVector* four = Vec({4, 1, 3, 2});
  EXPECT_TRUE(four->Quartiles(0, 0, q1, q2, q3));
  EXPECT_EQ(q1, 1.25);
  EXPECT_EQ(q2, 2.5);
  EXPECT_EQ(q3, 3.75);
  EXPECT_EQ(four->GetVal(1), 4.0);
  TVector* twoV = Vec({2, 1});
  twoV->Quartiles(0, 0, q1, q2, q3);
  EXPECT_EQ(q1, 1.0);
  EXPECT_EQ(q2, 1.5);
  EXPECT_EQ(q3, 2.0);
  TVector* threeV = Vec({3, 1, 2});
  threeV->Quartiles(0, 0, q1, q2, q3);
  EXPECT_EQ(q1, 1.0);
  EXPECT_EQ(q2, 2.0);
  EXPECT_EQ(q3, 3.0);
  TVector one;
  one.SetVal(1, 5);
  one.Quartiles(0, 0, q1, q2, q3);
  EXPECT_EQ(q1 + q2 + q3, 15.0);

  EXPECT_EQ(four->Percentile(25, 0, 0), 1.75);  // position 0.75 from the first value
  EXPECT_EQ(four->Percentile(100, 0, 0), 4.0);
  EXPECT_EQ(four->Percentile(150, 0, 0), 4.0);
  EXPECT_EQ(four->Percentile(-3, 0, 0), 1.0);
  EXPECT_EQ(four->Percentile(50, 2, 3), 2.0);
  TIntVector* iq = IVec({4, 3, 2, 1});
  EXPECT_EQ(iq->Percentile(50, 0, 0), 2.5);

  // A sample of 1001 values, reversed: every order statistic is known.
  TVector big;
  big.Resize(1001);
  for (int32_t i = 1; i <= 1001; ++i) big.SetVal(i, 1002 - i);
  EXPECT_EQ(big.Percentile(10, 0, 0), 101.0);
  EXPECT_EQ(big.Percentile(25, 0, 0), 251.0);
  big.Quartiles(0, 0, q1, q2, q3);
  EXPECT_EQ(q1, 250.5);
  EXPECT_EQ(q2, 501.0);
  EXPECT_EQ(q3, 751.5);

  // NaN counts as the largest value; infinities do not poison exact positions.
  TVector* nan = Vec({NAN, 3, 1, 2});
  EXPECT_EQ(nan->Percentile(0, 0, 0), 1.0);
  EXPECT_EQ(nan->Percentile(50, 0, 0), 2.5);
  EXPECT_TRUE(std::isnan(nan->Percentile(100, 0, 0)));
  EXPECT_EQ(nan->Mode(0, 0), 1.0);
  TVector* inf = Vec({1, INFINITY});
  EXPECT_EQ(inf->Percentile(0, 0, 0), 1.0);
  delete m;
  delete distinct;
  delete im;
  delete four;
  delete twoV;
  delete threeV;
  delete iq;
  delete nan;
  delete inf;
}

TEST(VectorStats, HistogramBinsAndNoValueLost) {
  TVector* v = Vec({0.5, -1, 3.2, 20});
  TIntVector h;
  int histoChanges = 0;
  h.SetOnChange([&](TObject*) { ++histoChanges; });
  int32_t under, over, maxCnt;
  EXPECT_TRUE(v->Histogram(1, 4, 0, 10, 1, &h, under, over, maxCnt));
  EXPECT_EQ(h.NrOfElem(), 10);
  EXPECT_EQ(h.GetVal(1), 1);
  EXPECT_EQ(h.GetVal(4), 1);
  EXPECT_EQ(under, 1);
  EXPECT_EQ(over, 1);
  EXPECT_EQ(maxCnt, 1);
  EXPECT_EQ(histoChanges, 1 + 1 + 2);  // resize, clear, one per counted value

  // Values from 10 to 11 are accepted but lie past the tenth bin: overflow.
  TVector* edge = Vec({10, 10.5, 9.99});
  EXPECT_TRUE(edge->Histogram(0, 0, 0, 10, 1, &h, under, over, maxCnt));  // unclipped 0..0
  EXPECT_EQ(under, 0);
  EXPECT_EQ(over, 0);
  EXPECT_EQ(h.GetVal(1), 1);  // index 0 reads as 0
  EXPECT_TRUE(edge->Histogram(1, 3, 0, 10, 1, &h, under, over, maxCnt));
  EXPECT_EQ(h.GetVal(10), 1);
  EXPECT_EQ(over, 2);
  EXPECT_FALSE(edge->Histogram(1, 3, 0, 1000, 1, &h, under, over, maxCnt));  // > 500 bins
  EXPECT_FALSE(edge->Histogram(1, 3, 0, 10, 0, &h, under, over, maxCnt));
  EXPECT_FALSE(edge->Histogram(1, 3, 0, 10, NAN, &h, under, over, maxCnt));
  // The bin count is rounded with halves to even: 2.5 bins give 2, 3.5 give 4, 0.5 give 0
  // (a size the histogram refuses, so it keeps its 4 elements).
  EXPECT_TRUE(edge->Histogram(1, 3, 0, 2.5, 1, &h, under, over, maxCnt));
  EXPECT_EQ(h.NrOfElem(), 2);
  EXPECT_TRUE(edge->Histogram(1, 3, 0, 7, 2, &h, under, over, maxCnt));
  EXPECT_EQ(h.NrOfElem(), 4);
  EXPECT_TRUE(edge->Histogram(1, 3, 1, 1.5, 1, &h, under, over, maxCnt));
  EXPECT_EQ(h.NrOfElem(), 4);

  TIntVector* iv = IVec({0, 5, 9, 12, -3});
  iv->SetName("IV");
  EXPECT_TRUE(iv->Histogram(1, 3, 0, 9, 1, &h, under, over, maxCnt));
  EXPECT_EQ(h.NrOfElem(), 10);
  EXPECT_EQ(h.GetVal(1) + h.GetVal(6) + h.GetVal(10), 3);
  EXPECT_THROW_MSG(iv->Histogram(1, 3, 0, 9000, 1, &h, under, over, maxCnt), ENUVVectorError,
                   "Component \"IV.Histogram\": invalid number of bins");
  EXPECT_TRUE(iv->Histogram(1, 5, 0, 9, 0, &h, under, over, maxCnt));  // width 0 counts as 1
  EXPECT_EQ(under, 1);
  EXPECT_EQ(over, 1);
  // Width 4 over 0..9: 10 div 4 = 2 bins (0-3, 4-7); 9 is accepted below 13 but past them.
  EXPECT_TRUE(iv->Histogram(1, 5, 0, 9, 4, &h, under, over, maxCnt));
  EXPECT_EQ(h.NrOfElem(), 2);
  EXPECT_EQ(h.GetVal(1) + h.GetVal(2) + under + over, 5);
  EXPECT_EQ(over, 2);
  delete v;
  delete edge;
  delete iv;
}

TEST(VectorStats, NormalizationsFireNothing) {
  TVector* v = Vec({2, 4, 6});
  int changes = 0;
  v->SetOnChange([&](TObject*) { ++changes; });
  double mean, sd;
  v->Standardize(mean, sd);
  EXPECT_EQ(mean, 4.0);
  EXPECT_EQ(sd, 2.0);
  EXPECT_EQ(v->GetVal(1), -1.0);
  EXPECT_EQ(v->MeanCenter(), 0.0);
  double median, diff;
  TVector* q = Vec({1, 2, 3, 4, 5});
  q->QNormalize(25, median, diff);
  EXPECT_EQ(median, 3.0);
  EXPECT_EQ(diff, 1.0);
  EXPECT_EQ(q->GetVal(5), 2.0);
  EXPECT_EQ(changes, 0);
  delete v;
  delete q;
}

TEST(VectorStats, IntegrateAllMethods) {
  TVector* v = Vec({1, 2, 3});
  EXPECT_DOUBLE_EQ(v->Integrate(1, 3, imTrapezoidal), 4.0);
  EXPECT_DOUBLE_EQ(v->Integrate(1.5, 2.5, imTrapezoidal), 2.0);
  EXPECT_DOUBLE_EQ(v->Integrate(1, 3, imSimpson), 4.0);
  EXPECT_DOUBLE_EQ(v->Integrate(3, 1, imSimple), 2 * 2.0);  // exchanged; w times the mean
  EXPECT_DOUBLE_EQ(v->Integrate(1.2, 1.6, imSimple), 0.4 * 1.5);
  EXPECT_DOUBLE_EQ(v->Integrate(1.2, 1.6, imTrapezoidal), 0.4 * (1.2 + 1.6) / 2);
  for (TIntegMethod m : {imSimple, imTrapezoidal, imSimpson}) {
    EXPECT_EQ(v->Integrate(1, 1, m), 0.0);
    EXPECT_DOUBLE_EQ(v->Integrate(-5, 99, m), v->Integrate(1, 3, m));
  }
  EXPECT_EQ(v->Integrate(1, 3, static_cast<TIntegMethod>(7)), 0.0);

  // Simpson's rules integrate a cubic exactly: y = x^3 at x = 1..n, every m from 2 to 8,
  // plus head and tail trapezoids when the bounds fall between samples.
  TVector cube;
  cube.Resize(12);
  for (int32_t i = 1; i <= 12; ++i) cube.SetVal(i, double(i) * i * i);
  for (int32_t b = 3; b <= 9; ++b) {
    const double exact = (std::pow(b, 4) - 1) / 4;
    EXPECT_REL_NEAR(cube.Integrate(1, b, imSimpson), exact, 1e-12) << "b=" << b;
  }
  // Head from 1.5 to 2 and tail from 9 to 9.25 are trapezoids over the linear interpolation.
  const double head = 0.5 * ((1 + 0.5 * 7) + 8) / 2;
  const double tail = 0.25 * (729 + (729 + 0.25 * 271)) / 2;
  const double inner = (std::pow(9, 4) - std::pow(2, 4)) / 4;
  EXPECT_REL_NEAR(cube.Integrate(1.5, 9.25, imSimpson), head + inner + tail, 1e-12);
  delete v;
}
