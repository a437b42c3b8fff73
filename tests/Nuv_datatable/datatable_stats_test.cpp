// TDataTable: block statistics over numeric, valid and marked cells,
// covariance, normalization, marks, exchanging and sorting.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Nuv_datatable/Nuv_datatable.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::kTol1;
using nuv_test::kTol2;

namespace {

/// A table of the given columns (each a column of values, NaN = empty cell).
void FromColumns(TDataTable& t, const std::vector<std::vector<double>>& cols) {
  t.Resize(static_cast<int32_t>(cols.size()), static_cast<int32_t>(cols[0].size()));
  t.Clear();
  for (size_t c = 0; c < cols.size(); ++c)
    for (size_t r = 0; r < cols[c].size(); ++r) {
      const auto ci = static_cast<int32_t>(c + 1), ri = static_cast<int32_t>(r + 1);
      t.SetElem(ci, ri, cols[c][r]);
      if (std::isnan(cols[c][r])) t.SetCellState(ci, ri, 2);
    }
}

}  // namespace

TEST(DataTableStats, CellKindsAndCounts) {
  TDataTable t;
  // Column 1 numeric with one empty cell, column 2 nominal, column 3 numeric with
  // an invalid cell and a marked cell.
  FromColumns(t, {{1, 2, NAN, 4}, {1, 2, 2, 1}, {10, 20, 30, 40}});
  t.SetMScaleType(2, stNominal);
  t.SetCellState(3, 2, 1);
  t.SetCellState(3, 3, 64 | 32);
  t.SetCellState(1, 4, 64);
  EXPECT_EQ(t.CountNumCells(0, 0, 0, 0), 6);
  EXPECT_EQ(t.CountValidCells(0, 0, 0, 0), 10);
  EXPECT_EQ(t.CountEmptyCells(0, 0, 0, 0), 1);
  EXPECT_EQ(t.CountImputedCells(0, 0, 0, 0), 1);
  int32_t n = 0;
  EXPECT_EQ(t.SumOfNumCells(0, 0, 0, 0, n), 1 + 2 + 4 + 10 + 30 + 40.0);
  EXPECT_EQ(n, 6);
  EXPECT_EQ(t.SumOfMarkedCells(0, 0, 0, 0, 64 | 3, n), 34.0);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(t.SumOfMarkedCells(0, 0, 0, 0, 3, n), 0.0);  // bits 1 and 2 do not mark
  EXPECT_EQ(n, 0);
  // Reversed and clipped ranges.
  EXPECT_EQ(t.CountNumCells(3, 9, 1, -2), 6);
  EXPECT_EQ(t.CountNumCells(2, 1, 2, 4), 0);
  double mn = 0, mx = 0;
  EXPECT_EQ(t.MinMaxOfNumCells(2, 0, 2, 0, mn, mx), 0);
  EXPECT_EQ(mn, uc_MaxReal);
  EXPECT_EQ(mx, -uc_MaxReal);
  double mean = 5, var = 5;
  EXPECT_EQ(t.MeanVarOfNumCells(2, 0, 2, 0, mean, var), 0);
  EXPECT_EQ(mean, 0.0);
  EXPECT_EQ(var, 1.0);
  EXPECT_EQ(t.MinMaxOfNumCells(0, 0, 0, 0, mn, mx), 6);
  EXPECT_EQ(mn, 1.0);
  EXPECT_EQ(mx, 40.0);
  // Marked cells of any column; valid cells with nominal values rounded.
  t.SetCellState(2, 1, 128);
  t.SetElem(2, 1, 2.5);
  EXPECT_EQ(t.MinMaxOfMarkedCells(0, 0, 0, 0, 128, mn, mx), 1);
  EXPECT_EQ(mn, 2.5);
  EXPECT_EQ(t.MinMaxOfValidCells(2, 0, 2, 0, mn, mx), 4);
  EXPECT_EQ(mn, 1.0);
  EXPECT_EQ(mx, 2.0);
  TVector v;
  EXPECT_EQ(t.CopyCellsToVector(0, 0, 0, 0, 64, &v), 2);
  EXPECT_EQ(v.NrOfElem(), 2);
  EXPECT_EQ(v.GetVal(1), 4.0);
  EXPECT_EQ(v.GetVal(2), 30.0);
  EXPECT_EQ(t.CopyCellsToVector(0, 0, 0, 0, 255, &v), 10);
  EXPECT_EQ(t.CopyCellsToVector(0, 0, 0, 0, 16, &v), 0);
  EXPECT_EQ(v.NrOfElem(), 1);
  EXPECT_TRUE(v.IsEmpty());
}

TEST(DataTableStats, MeanVarianceAboutTheMean) {
  TDataTable t;
  FromColumns(t, {{1, 3}});
  double mean = 0, var = 0;
  EXPECT_EQ(t.MeanVarOfNumCells(0, 0, 0, 0, mean, var), 2);
  EXPECT_EQ(mean, 2.0);
  EXPECT_EQ(var, 1.0);  // fewer than 3 cells
  FromColumns(t, {{1, 2, 3}});
  t.MeanVarOfNumCells(0, 0, 0, 0, mean, var);
  EXPECT_EQ(var, 1.0);
  // A large common offset: the raw sums Q - S^2/n lose everything here.
  // numpy.var([1e9+1, 1e9+2, 1e9+3, 1e9+4], ddof=1) = 1.6666666666666667
  FromColumns(t, {{1e9 + 1, 1e9 + 2}, {1e9 + 3, 1e9 + 4}});
  t.MeanVarOfNumCells(0, 0, 0, 0, mean, var);
  EXPECT_REL_NEAR(var, 5.0 / 3.0, kTol1);
  EXPECT_EQ(mean, 1e9 + 2.5);
  // The same with an empty cell and a mark: every path of the scan.
  FromColumns(t, {{1e9 + 1, NAN, 1e9 + 2, 1e9 + 3, 1e9 + 4}});
  t.MeanVarOfNumCells(0, 0, 0, 0, mean, var);
  EXPECT_REL_NEAR(var, 5.0 / 3.0, kTol1);
  for (int32_t r = 1; r <= 5; ++r) t.SetCellState(1, r, r == 2 ? 2 : 4);
  t.MeanVarOfMarkedCells(0, 0, 0, 0, 4, mean, var);
  EXPECT_REL_NEAR(var, 5.0 / 3.0, kTol1);
  // Many cells over several lanes and columns against the closed form: the
  // values 1..n have variance n (n + 1) / 12.
  TDataTable big;
  big.Resize(3, 333);
  for (int32_t c = 1; c <= 3; ++c)
    for (int32_t r = 1; r <= 333; ++r) big.SetElem(c, r, (c - 1) * 333 + r);
  EXPECT_EQ(big.MeanVarOfNumCells(0, 0, 0, 0, mean, var), 999);
  EXPECT_REL_NEAR(mean, 500.0, kTol1);
  EXPECT_REL_NEAR(var, 999.0 * 1000.0 / 12.0, kTol1);
  // Centred on 0: the one-pass sums (the spread dominates the mean).
  big.NumericData->SAdd(-500.0);
  big.SetCellState(2, 7, 2);  // and a masked segment: the cell 340 - 500 leaves
  EXPECT_EQ(big.MeanVarOfNumCells(0, 0, 0, 0, mean, var), 998);
  const double m = 160.0 / 998.0;
  double q = 0.0;
  for (int k = -499; k <= 499; ++k)
    if (k != -160) q += (k - m) * (k - m);
  EXPECT_REL_NEAR(mean, m, kTol2);
  EXPECT_REL_NEAR(var, q / 997.0, kTol1);
}

TEST(DataTableStats, MeansQuartilesPercentiles) {
  TDataTable t;
  FromColumns(t, {{0, 4}});
  int32_t n = 0;
  EXPECT_EQ(t.GeometricMeanOfNumCells(0, 0, 0, 0, n), 0.0);
  EXPECT_EQ(n, 1);
  FromColumns(t, {{2, 8, NAN}});
  EXPECT_REL_NEAR(t.GeometricMeanOfNumCells(0, 0, 0, 0, n), 4.0, kTol1);
  EXPECT_EQ(n, 2);
  EXPECT_REL_NEAR(t.HarmonicMeanOfNumCells(0, 0, 0, 0, n), 3.2, kTol1);
  // No usable cell: 0 and a count of 0.
  t.SetMScaleType(1, stNominal);
  EXPECT_EQ(t.GeometricMeanOfNumCells(0, 0, 0, 0, n), 0.0);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(t.HarmonicMeanOfNumCells(0, 0, 0, 0, n), 0.0);
  EXPECT_EQ(n, 0);
  t.SetName("T");
  FromColumns(t, {{4, -1}});
  t.SetMScaleType(1, stInterval);
  EXPECT_THROW_MSG(t.GeometricMeanOfNumCells(0, 0, 0, 0, n), ENUVMatrixError,
                   "Component \"T\": negative argument passed to GeometricMean");
  FromColumns(t, {{4, 0}});
  EXPECT_THROW_MSG(t.HarmonicMeanOfNumCells(0, 0, 0, 0, n), ENUVMatrixError,
                   "Component \"T\": negative or zero argument passed to HarmonicMean");

  double q1 = 0, q2 = 0, q3 = 0;
  FromColumns(t, {{3, 1, 2}});
  EXPECT_TRUE(t.QuartilesOfNumCells(0, 0, 0, 0, q1, q2, q3, n));
  EXPECT_EQ(q1, 1.0);
  EXPECT_EQ(q2, 2.0);
  EXPECT_EQ(q3, 3.0);
  FromColumns(t, {{4, NAN, 1, 3}, {99, 2, 99, 99}});
  t.SetCellState(2, 1, 1);
  t.SetCellState(2, 3, 2);
  t.SetCellState(2, 4, 3);
  t.QuartilesOfNumCells(0, 0, 0, 0, q1, q2, q3, n);
  EXPECT_EQ(n, 4);
  EXPECT_EQ(q1, 1.25);
  EXPECT_EQ(q2, 2.5);
  EXPECT_EQ(q3, 3.75);
  EXPECT_EQ(t.PercentileOfNumCells(25, 0, 0, 0, 0, n), 1.75);
  EXPECT_EQ(t.PercentileOfNumCells(100, 0, 0, 0, 0, n), 4.0);
  EXPECT_EQ(t.PercentileOfNumCells(-5, 0, 0, 0, 0, n), 1.0);
  FromColumns(t, {{7}});
  EXPECT_EQ(t.PercentileOfNumCells(63, 0, 0, 0, 0, n), 7.0);
  t.QuartilesOfNumCells(0, 0, 0, 0, q1, q2, q3, n);
  EXPECT_EQ(q3, 7.0);
  t.SetCellState(1, 1, 2);
  EXPECT_EQ(t.PercentileOfNumCells(50, 0, 0, 0, 0, n), 0.0);
  EXPECT_EQ(n, 0);
  // Marked cells only.
  FromColumns(t, {{1, 2, 3, 4, 5}});
  t.SetCellState(1, 2, 64);
  t.SetCellState(1, 4, 128);
  EXPECT_EQ(t.PercentileOfMarkedCells(50, 0, 0, 0, 0, 192, n), 3.0);
  EXPECT_EQ(n, 2);
}

TEST(DataTableStats, CalcCovar) {
  TDataTable t;
  // numpy.cov / numpy.corrcoef of x, y, z (numpy 1.24.2); z carries a large offset.
  const std::vector<double> x = {1, 2, 3, 4, 5, 6}, y = {2, 1, 4, 3, 7, 5};
  std::vector<double> z = {1, 3, 2, 6, 4, 5};
  for (double& v : z) v += 1e9;
  FromColumns(t, {x, y, z});
  TMatrix cm;
  cm.Resize(3, 3);
  ASSERT_TRUE(t.CalcCovar(&cm, 1, 3, 1, 6, 1));
  EXPECT_REL_NEAR(cm.GetVal(1, 1), 3.5, kTol2);
  EXPECT_REL_NEAR(cm.GetVal(2, 1), 3.2, kTol2);
  EXPECT_REL_NEAR(cm.GetVal(1, 2), 3.2, kTol2);
  EXPECT_REL_NEAR(cm.GetVal(2, 2), 4.666666666666667, kTol2);
  EXPECT_REL_NEAR(cm.GetVal(3, 1), 2.7, kTol2);
  EXPECT_REL_NEAR(cm.GetVal(3, 3), 3.5, kTol2);
  ASSERT_TRUE(t.CalcCovar(&cm, 1, 3, 1, 6, 2));
  EXPECT_EQ(cm.GetVal(1, 1), 1.0);
  EXPECT_REL_NEAR(cm.GetVal(2, 1), 0.7917946548886295, kTol2);
  EXPECT_REL_NEAR(cm.GetVal(3, 1), 0.7714285714285715, kTol2);
  EXPECT_REL_NEAR(cm.GetVal(3, 2), 0.34641016151377546, kTol2);
  ASSERT_TRUE(t.CalcCovar(&cm, 1, 3, 1, 6, 3));
  EXPECT_REL_NEAR(cm.GetVal(3, 2), 0.34641016151377546 * 0.34641016151377546, kTol2);
  // Mode 0: cross products / (b - 1); mode 4: squared differences / (b - 1).
  ASSERT_TRUE(t.CalcCovar(&cm, 1, 2, 1, 6, 0));
  EXPECT_REL_NEAR(cm.GetVal(2, 1), (2 + 2 + 12 + 12 + 35 + 30) / 5.0, kTol1);
  ASSERT_TRUE(t.CalcCovar(&cm, 1, 2, 1, 6, 4));
  EXPECT_REL_NEAR(cm.GetVal(2, 1), (1 + 1 + 1 + 1 + 4 + 1) / 5.0, kTol1);
  EXPECT_EQ(cm.GetVal(1, 1), 0.0);
  EXPECT_EQ(t.CalcCovar(&cm, 1, 4, 1, 6, 1), false);  // result too small
  // Missing cells: each pair over its common valid rows.
  // pandas.DataFrame({'x': [1,2,nan,4,5,6], 'y': [2,1,4,nan,7,5]}).corr(), pandas 1.5.3
  FromColumns(t, {{1, 2, NAN, 4, 5, 6}, {2, 1, 4, NAN, 7, 5}});
  ASSERT_TRUE(t.CalcCovar(&cm, 1, 2, 1, 6, 2));
  EXPECT_REL_NEAR(cm.GetVal(1, 2), 0.8390131796985203, kTol2);
  // Fewer than two common rows: defined zeros, no division by zero.
  FromColumns(t, {{1, NAN, NAN}, {NAN, 2, 3}});
  for (int32_t mode : {0, 1, 4}) {
    ASSERT_TRUE(t.CalcCovar(&cm, 1, 2, 1, 3, mode));
    EXPECT_EQ(cm.GetVal(1, 2), 0.0);
    EXPECT_EQ(cm.GetVal(1, 1), 0.0);
  }
  // Two identical columns: 1 everywhere; a constant column gives 0.
  FromColumns(t, {{1, 5, 2, 8}, {1, 5, 2, 8}, {3, 3, 3, 3}});
  ASSERT_TRUE(t.CalcCovar(&cm, 1, 3, 1, 4, 2));
  EXPECT_REL_NEAR(cm.GetVal(1, 2), 1.0, kTol1);
  EXPECT_EQ(cm.GetVal(3, 1), 0.0);
  // With LoC = 2 the states of column 2 decide the first result column.
  t.SetCellState(2, 1, 1);
  ASSERT_TRUE(t.CalcCovar(&cm, 2, 3, 1, 4, 2));
  EXPECT_EQ(cm.GetVal(1, 1), 1.0);
  // Aborted from the progress hook: false.
  MathFeedBackProc = [](double) { AbortMathProc = true; };
  EXPECT_FALSE(t.CalcCovar(&cm, 1, 3, 1, 4, 0));
  MathFeedBackProc = nullptr;
  ClearAbort();
}

TEST(DataTableStats, Normalization) {
  TDataTable t;
  FromColumns(t, {{1e9 + 1, 1e9 + 2, NAN, 1e9 + 3}, {5, 5, 5, 5}, {1, 2, 3, 4}});
  t.SetMScaleType(3, stNominal);
  TVector means, sds;
  means.Resize(3);
  sds.Resize(3);
  sds.SetVal(3, -1);
  int changes = 0;
  t.SetOnChange([&](TObject*) { ++changes; });
  t.StandardizeNumCellColumns(&means, &sds);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(means.GetVal(1), 1e9 + 2);
  EXPECT_REL_NEAR(sds.GetVal(1), 1.0, kTol1);
  EXPECT_REL_NEAR(t.GetElem(1, 1), -1.0, kTol1);
  EXPECT_TRUE(std::isnan(t.NumericData->GetVal(1, 3)));  // the empty cell is untouched
  EXPECT_EQ(t.GetElem(2, 1), 5.0);                       // variance 0: unchanged
  EXPECT_EQ(sds.GetVal(2), 0.0);
  EXPECT_EQ(sds.GetVal(3), -1.0);  // nominal: entry untouched
  EXPECT_EQ(t.GetElem(3, 4), 4.0);
  t.MeanCenterNumCellColumns(nullptr);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(t.GetElem(2, 1), 0.0);
  // Rows are refused with a nominal column, and nothing changes.
  EXPECT_THROW_MSG(t.StandardizeNumCellRows(nullptr, nullptr), ENUVDataTableError,
                   "standardization of rows is not possible with nominal or ordinal variables");
  EXPECT_THROW_MSG(t.MeanCenterNumCellRows(nullptr), ENUVDataTableError,
                   "mean centering of rows is not possible with nominal or ordinal variables");
  EXPECT_EQ(t.GetElem(3, 4), 4.0);
  FromColumns(t, {{1, 10}, {2, 20}, {3, 60}, {NAN, 1}});
  t.SetMScaleType(4, stUnknown);
  TVector rm;
  rm.Resize(2);
  t.StandardizeNumCellRows(&rm, nullptr);
  EXPECT_EQ(rm.GetVal(1), 2.0);
  EXPECT_EQ(t.GetElem(1, 1), -1.0);
  EXPECT_EQ(t.GetElem(3, 1), 1.0);
  EXPECT_EQ(rm.GetVal(2), 30.0);
  EXPECT_EQ(t.GetElem(4, 2), -29.0 / std::sqrt(700.0));  // a valid cell of any column
}

TEST(DataTableStats, DichotomyAndConstancy) {
  TDataTable t;
  FromColumns(t, {{1, 1, 0, 1}, {2, 2, 2, 2}, {1, 2, 3, 1}});
  double v1 = 0, v2 = 0;
  EXPECT_TRUE(t.CheckDichotomousColumn(1, v1, v2));
  EXPECT_EQ(v1, 1.0);
  EXPECT_EQ(v2, 0.0);
  EXPECT_FALSE(t.CheckDichotomousColumn(2, v1, v2));
  EXPECT_FALSE(t.CheckDichotomousColumn(3, v1, v2));
  EXPECT_FALSE(t.CheckDichotomousColumn(4, v1, v2));
  EXPECT_TRUE(t.IsConstantColumn(2));
  EXPECT_FALSE(t.IsConstantColumn(3));
  EXPECT_FALSE(t.IsConstantColumn(0));
}

TEST(DataTableStats, Marks) {
  TDataTable t;
  t.Resize(2, 3);
  int states = 0, changes = 0;
  t.SetOnChangeCellState([&](TObject*) { ++states; });
  t.SetOnChange([&](TObject*) { ++changes; });
  t.SetAllCellStates(227);
  t.UnmarkAllCells();
  EXPECT_EQ(t.GetCellState(2, 3), 35);
  t.SetCellState(1, 1, 64);
  t.ExchangeMarkings();
  EXPECT_EQ(t.GetCellState(1, 1), 128);
  t.InvertCellStates(0x81);
  EXPECT_EQ(t.GetCellState(1, 1), 1);
  EXPECT_EQ(t.GetCellState(2, 2), 35 ^ 0x81);
  EXPECT_EQ(states, 5);
  EXPECT_TRUE(t.IfRowHasCellState(1, 1));
  EXPECT_FALSE(t.IfRowHasCellState(2, 1));
  EXPECT_FALSE(t.IfRowHasCellState(4, 0xFF));
  EXPECT_TRUE(t.IfColHasCellState(2, 32));
  EXPECT_EQ(t.CountMarkedCellsInColumn(1, 32), 2);
  EXPECT_EQ(t.CountMarkedCellsInRow(1, 33), 2);
  EXPECT_EQ(t.FillMarkedCells(9, 1), 1);
  EXPECT_EQ(t.GetElem(1, 1), 9.0);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(t.FillMarkedCells(9, 64), 0);
  EXPECT_EQ(changes, 1);
}

TEST(DataTableSort, ExchangeAndMirror) {
  TDataTable t;
  FromColumns(t, {{1, 2, 3}, {4, 5, 6}});
  t.SetColName(1, "a");
  t.SetColAttrib(1, 7);
  t.SetMScaleType(1, stNominal);
  t.SetNominalID(1, 1, "L");
  t.SetCellState(1, 3, 64);
  t.SetRowName(3, "three");
  std::string order;
  t.SetOnChange([&](TObject*) { order += "D"; });
  t.SetOnChangeSetup([&](TObject*) { order += "S"; });
  t.SetOnChangeNames([&](TObject*) { order += "N"; });
  t.SetOnChangeAttrib([&](TObject*) { order += "A"; });
  t.SetOnChangeCellState([&](TObject*) { order += "C"; });
  t.ExchangeColumns(1, 2);
  EXPECT_EQ(order, "DCANS");
  EXPECT_EQ(t.GetColName(2), "a");
  EXPECT_EQ(t.GetColAttrib(2), 7);
  EXPECT_EQ(t.GetNominalID(2, 1), "L");
  EXPECT_EQ(t.GetCellState(2, 3), 64);
  EXPECT_EQ(t.GetElem(1, 1), 4.0);
  order.clear();
  t.ExchangeColumns(1, 3);
  EXPECT_EQ(order, "");
  t.ExchangeRows(1, 3);
  EXPECT_EQ(t.GetRowName(1), "three");
  EXPECT_EQ(t.GetCellState(2, 1), 64);
  EXPECT_EQ(t.GetElem(1, 1), 6.0);
  order.clear();
  t.MirrorRows();  // one exchange and once more at the end
  EXPECT_EQ(order, "DCANSDCSNA");
  EXPECT_EQ(t.GetRowName(3), "three");
  t.MirrorColumns();
  EXPECT_EQ(t.GetColName(1), "a");
}

TEST(DataTableSort, SortRowsKeepsStatesAndHeadersInStep) {
  // The same sort with and without an exchange handler ends in the same table.
  std::string result[2];
  for (int handler = 0; handler < 2; ++handler) {
    TDataTable t;
    const int32_t n = 40;
    t.Resize(3, n);
    for (int32_t r = 1; r <= n; ++r) {
      const double key = static_cast<double>((r * 17) % 11);  // ties included
      t.SetElem(1, r, key);
      t.SetElem(2, r, r);
      t.SetElem(3, r, -r);
      t.SetCellState(2, r, static_cast<uint8_t>(r));
      t.SetCellState(1, r, static_cast<uint8_t>(100 + r));
      t.SetRowName(r, "r" + std::to_string(r));
      t.SetRowAttrib(r, r);
    }
    int exchanges = 0;
    if (handler == 1)
      t.SetOnSortExchange([&](TObject* s, uint8_t what, int32_t, int32_t, int32_t f, int32_t l) {
        EXPECT_EQ(s, &t);
        EXPECT_EQ(what, 2);
        EXPECT_EQ(f, 2);
        EXPECT_EQ(l, 3);
        ++exchanges;
      });
    int names = 0;
    t.SetOnChangeNames([&](TObject*) { ++names; });
    // Sort rows 1..n of columns 2..3 by column 1, which lies outside: the keys
    // move with the rows, the states of column 1 do not.
    t.SortRows(1, true, 2, 0, 3, 0, true);
    EXPECT_EQ(names, 1);
    if (handler == 1) {
      EXPECT_GT(exchanges, 0);
    }
    for (int32_t r = 1; r <= n; ++r) {
      const auto orig = static_cast<int32_t>(t.GetElem(2, r));
      EXPECT_EQ(t.GetElem(3, r), -orig);
      EXPECT_EQ(t.GetCellState(2, r), orig);
      EXPECT_EQ(t.GetRowName(r), "r" + std::to_string(orig));
      EXPECT_EQ(t.GetRowAttrib(r), orig);
      EXPECT_EQ(t.GetElem(1, r), static_cast<double>((orig * 17) % 11));
      EXPECT_EQ(t.GetCellState(1, r), 100 + r);
      if (r > 1) {
        EXPECT_LE(t.GetElem(1, r - 1), t.GetElem(1, r));
      }
    }
    for (int32_t r = 1; r <= n; ++r) result[handler] += t.GetRowName(r) + ",";
    // Without headers names stay.
    t.SetOnSortExchange(nullptr);
    t.SortRows(2, false, 0, 0, 0, 0, false);
    EXPECT_EQ(names, 1);
  }
  EXPECT_EQ(result[0], result[1]);
}

TEST(DataTableSort, SortColsMovesScaleDescriptions) {
  for (int handler = 0; handler < 2; ++handler) {
    TDataTable t;
    FromColumns(t, {{3, 0}, {1, 0}, {2, 0}});
    t.SetMScaleType(2, stNominal);
    t.SetNominalID(2, 1, "one");
    t.SetColName(2, "b");
    t.SetCellState(2, 2, 5);
    if (handler == 1)
      t.SetOnSortExchange([](TObject*, uint8_t, int32_t, int32_t, int32_t, int32_t) {});
    t.SortCols(1, true, 0, 0, 0, 0, true);
    EXPECT_EQ(t.GetColName(1), "b");
    EXPECT_EQ(t.GetMScaleType(1), stNominal);
    EXPECT_EQ(t.GetNominalID(1, 1), "one");
    EXPECT_EQ(t.GetCellState(1, 2), 5);
    EXPECT_EQ(t.GetElem(3, 1), 3.0);
  }
}

TEST(DataTableSort, NameAndAttributeSorts) {
  TDataTable t;
  FromColumns(t, {{1, 2, 3}});
  t.SetRowName(1, "B");
  t.SetRowName(2, "a");
  t.SetRowName(3, "C");
  t.SetCellState(1, 2, 64);
  std::vector<std::vector<int32_t>> ex;
  t.SetOnSortExchange([&](TObject*, uint8_t w, int32_t i, int32_t j, int32_t f, int32_t l) {
    ex.push_back({w, i, j, f, l});
  });
  int names = 0;
  t.SetOnChangeNames([&](TObject*) { ++names; });
  t.SortRowNames(true, true, 0, 0, 0, 0);
  EXPECT_EQ(t.GetRowName(1), "a");
  EXPECT_EQ(t.GetRowName(2), "B");
  EXPECT_EQ(t.GetRowName(3), "C");
  EXPECT_EQ(t.GetElem(1, 1), 2.0);
  EXPECT_EQ(t.GetCellState(1, 1), 64);
  ASSERT_FALSE(ex.empty());
  EXPECT_EQ(ex[0], (std::vector<int32_t>{2, 1, 2, 1, 1}));
  t.SortRowNames(true, 0, 0, 0, 0);  // case-sensitive: B, C, a
  EXPECT_EQ(t.GetRowName(1), "B");
  EXPECT_EQ(t.GetRowName(2), "C");
  EXPECT_EQ(t.GetRowName(3), "a");
  EXPECT_EQ(names, 2);
  t.SortRowNames(false, 0, 0, 0, 0);
  EXPECT_EQ(t.GetRowName(1), "a");
  // A range of one row does nothing.
  t.SortRowNames(true, 0, 2, 0, 2);
  EXPECT_EQ(names, 3);
  // Attribute sorts over a part of the columns.
  TDataTable u;
  FromColumns(u, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
  u.SetColAttrib(1, 30);
  u.SetColAttrib(2, 20);
  u.SetColAttrib(3, 10);
  u.SortColAttributes(true, 2, 1, 3, 2);
  EXPECT_EQ(u.GetColAttrib(2), 10);
  EXPECT_EQ(u.GetElem(2, 1), 7.0);
  EXPECT_EQ(u.GetElem(2, 3), 6.0);  // row 3 is outside the moved range
  EXPECT_EQ(u.GetColAttrib(1), 30);
  u.SortRowAttributes(false, 0, 0, 0, 0);
}
