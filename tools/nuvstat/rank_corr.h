// Rank correlations of two columns over the rows where both hold a number, with
// their two-sided p values: shared by corr --method spearman|kendall and rank.
#pragma once

#include <cstdint>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"

namespace nuvstat {

/// Spearman's rho, Kendall's tau-b and Kruskal's gamma of a pair of columns.
struct RankFigures {
  int32_t N = 0;             ///< rows where both hold a number
  double Spearman = 0.0;     ///< 0 for N < 3
  double SpearmanP = 0.0;    ///< NaN for N < 3
  double Kendall = 0.0;      ///< 0 when a column is constant
  double KendallP = 0.0;     ///< NaN for N < 3
  double Gamma = 0.0;        ///< 0 without untied pairs
};

/// Enters the rows of X and Y where both hold a number into Fit (emptied first).
void EnterPairs(nuv::TCurveFit& Fit, const double* X, const double* Y, int32_t Rows);

/// Two-sided p of a correlation r from t = r sqrt((n - 2)/(1 - r^2)) with n - 2 degrees
/// of freedom (Pearson exactly for normal data, Spearman approximately); NaN for n < 3.
double PFromT(double r, int32_t n);

/// Two-sided p of Kendall's tau-b Tau of the pairs held by Fit, from the normal
/// approximation of S = C - D with the variance corrected for ties in either column
/// ((4n + 10) / (9n(n - 1)) for tau without ties); NaN for n < 3 or a constant column.
double KendallP(const nuv::TCurveFit& Fit, double Tau);

/// The rank figures of the pairs held by Fit (Spearman's p from PFromT).
RankFigures RankStatistics(const nuv::TCurveFit& Fit);

/// The ranks of the columns of a matrix that hold a number in every row, computed
/// once, so that a pair of such columns (whose common rows are all rows) needs no
/// fitter: Spearman for all of them at once as the correlation matrix of the
/// mid-rank columns, Kendall's counts per pair from the columns' sorted orders in
/// O(n log n). The figures are the fitter's to rounding. Columns with a missing
/// cell are marked and left to the per-pair path. Polls for interruption per column.
class RankedColumns {
 public:
  /// Mid-ranks for Spearman and the sorted orders for Kendall, as asked for.
  RankedColumns(const nuv::TMatrix& X, bool ForSpearman, bool ForKendall);

  /// Column C (1-based) holds a number in every row.
  bool Full(int32_t C) const { return Full_[static_cast<size_t>(C - 1)] != 0; }

  /// Full column C takes more than one value.
  bool Varies(int32_t C) const;

  /// Spearman's rho of full columns I and J (1-based); 0 when either is constant,
  /// as the fitter gives it; only valid for three rows or more.
  double Spearman(int32_t I, int32_t J) const;

  /// Kendall's tau-b with its tie-corrected p value and Kruskal's gamma of full
  /// columns I and J, as RankStatistics gives them.
  RankFigures Rank(int32_t I, int32_t J) const;

 private:
  struct Column {
    std::vector<uint32_t> Order;  // rows by ascending value (ties by row)
    std::vector<uint32_t> Dense;  // dense rank of each row
  };
  int32_t Rows_ = 0;
  int32_t Cols_ = 0;
  std::vector<char> Full_;
  std::vector<Column> Ranked_;
  std::vector<double> TiePairs_, TieTriples_, TieVar_;
  nuv::TMatrix Rho_;  // correlations of the mid-rank columns
  mutable std::vector<uint32_t> Seq_, Buf_;
};

}  // namespace nuvstat
