// Rank correlations of two columns over the rows where both hold a number, with
// their two-sided p values: shared by corr --method spearman|kendall and rank.
#pragma once

#include <cstdint>

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

}  // namespace nuvstat
