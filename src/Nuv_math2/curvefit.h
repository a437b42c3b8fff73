// TCurveFit: collects pairs (x, y) one at a time and answers bivariate
// statistics and regression questions about them. Every pair adds its terms to
// 33 running sums in extended precision, so means, standard deviations, the
// Pearson correlation, the circle, the ANOVA and the transformed (linearised)
// fits cost constant time; the pairs are also kept, in a two-column matrix, for
// what needs them one by one (polynomial fits, rank statistics, quartiles,
// splines, export).
//
// The class is declared here whole; its operations are defined by topic:
// curvefit_core.cpp (pairs and running sums), curvefit_stats.cpp (descriptive
// statistics and ANOVA), curvefit_ranks.cpp (Spearman, Kendall, Kruskal),
// curvefit_fits.cpp (line, parabola, polynomials, circle),
// curvefit_transformed.cpp (fits from the reciprocal and logarithmic sums),
// curvefit_spline.cpp (splines) and curvefit_asc.cpp (ASC files).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Nuv_matrix/matrix_core.h"
#include "foundation/frame.h"

namespace nuv {

/// Conditions met by the entered values; the transformed fits refuse data by them.
enum TCurveFitError : uint8_t {
  cfeXLE0,  ///< an x was <= 0
  cfeYLE0,  ///< a y was <= 0
  cfeXEQ0,  ///< an x was zero (|x| <= 1e-30)
  cfeYEQ0   ///< a y was zero (|y| <= 1e-30)
};

/// A set of TCurveFitError in one byte: bit 0 for cfeXLE0 up to bit 3 for cfeYEQ0.
struct TCurveFitErrors {
  uint8_t Bits = 0;
  bool Contains(TCurveFitError e) const { return ((Bits >> e) & 1u) != 0; }
  void Include(TCurveFitError e) { Bits = static_cast<uint8_t>(Bits | (1u << e)); }
  bool Empty() const { return Bits == 0; }
};

/// The running sums of a TCurveFit: each is the total of its term over the pairs held.
/// A zero x (|x| <= 1e-30) stands in the reciprocal sums as uc_MaxReal (1/x as M, 1/x^2 as
/// M^2, y/x as y*M, 1/(xy) as M/y or M); likewise a zero y. Logarithmic sums leave out the
/// pairs whose logarithm does not exist; ln x / y leaves out y = 0, ln y / x leaves out x = 0.
struct TCurveFitSums {
  Extended sumx = 0;       ///< x
  Extended sumy = 0;       ///< y
  Extended sumxq = 0;      ///< x^2
  Extended sumyq = 0;      ///< y^2
  Extended sumDiff = 0;    ///< x - y
  Extended SumDiffq = 0;   ///< (x - y)^2
  Extended sumxy = 0;      ///< x y
  Extended sumx2y = 0;     ///< x^2 y
  Extended sumxy2 = 0;     ///< x y^2
  Extended sumx3 = 0;      ///< x^3
  Extended sumy3 = 0;      ///< y^3
  Extended sumx4 = 0;      ///< x^4
  Extended sumy4 = 0;      ///< y^4
  Extended sum1byy = 0;    ///< 1/y
  Extended sum1byxy = 0;   ///< 1/(x y)
  Extended sum1byyq = 0;   ///< 1/y^2
  Extended sumxbyy = 0;    ///< x/y
  Extended sumybyx = 0;    ///< y/x
  Extended sum1byx = 0;    ///< 1/x
  Extended sum1byxq = 0;   ///< 1/x^2
  Extended sumlnx = 0;     ///< ln x
  Extended sumlnxlny = 0;  ///< ln x ln y
  Extended sumlnxq = 0;    ///< (ln x)^2
  Extended sumylny = 0;    ///< y ln y
  Extended sumylnx = 0;    ///< y ln x
  Extended sumxlnx = 0;    ///< x ln x
  Extended sumlnxbyy = 0;  ///< ln x / y
  Extended sumlnybyx = 0;  ///< ln y / x
  Extended sumlny = 0;     ///< ln y
  Extended sumlnyq = 0;    ///< (ln y)^2
  Extended sumxlny = 0;    ///< x ln y
  Extended sumxqlny = 0;   ///< x^2 ln y
  Extended sumyqlnx = 0;   ///< y^2 ln x
};

namespace detail {
struct TCurveFitSplineCache;
}

class NUV_API TCurveFit : public TComponent, protected TCurveFitSums {
 public:
  /// Empty, with room for 1000 pairs; natural spline ends with derivatives 0, smoothing
  /// factor 0.5. Raises ENUVMath2Error "not enough memory on heap" (component form).
  explicit TCurveFit(TComponent* AOwner = nullptr);
  ~TCurveFit() override;

  // --- pairs and running sums (curvefit_core.cpp) ---------------------------
  /// Forgets every pair: sums 0, extremes reset (minima uc_MaxDouble, maxima its negative),
  /// FErrIndic empty, caches invalid. The storage keeps its capacity.
  void Init();
  /// Adds the pair to the running sums and the stored pairs; returns the new NumData. The
  /// storage grows geometrically. Raises ENUVMath2Error "not enough memory" (component
  /// form), the fitter unchanged, when it cannot grow.
  int32_t EnterStatValue(double x, double y);
  /// Removes pair Nr (1..NumData): its terms leave the sums, later pairs move up. Extremes
  /// and FErrIndic stay. Caches become invalid also when Nr is out of range.
  void RemoveStatValue(int32_t Nr);
  /// Exchanges x and y of every pair, with their sums, extremes and error conditions.
  void FlipXY();
  /// x or y of pair ix; 0 when ix is outside 1..NumData.
  double GetDataX(int32_t ix) const;
  double GetDataY(int32_t ix) const;
  int32_t NumData() const { return FNumData; }
  double MinX() const { return FMinX; }
  double MaxX() const { return FMaxX; }
  double MinY() const { return FMinY; }
  double MaxY() const { return FMaxY; }
  /// Conditions met by the values entered since the last Init (removing pairs keeps them).
  TCurveFitErrors ErrIndic() const { return FErrIndic; }
  /// The running sums as they stand.
  const TCurveFitSums& RunningSums() const { return *this; }

  bool SplineNatural1() const { return FNatural1; }
  bool SplineNaturalN() const { return FNaturalN; }
  double SplineDerivY1() const { return FY1Dash; }
  double SplineDerivYN() const { return FYNDash; }
  double SplineSmoothingFactor() const { return FPSplineSmooth; }
  /// The spline settings; each invalidates the cache of its spline.
  void SetSplineNatural1(bool Value);
  void SetSplineNaturalN(bool Value);
  void SetSplineDerivY1(double Value);
  void SetSplineDerivYN(double Value);
  void SetSplineSmoothingFactor(double Value);

  // --- statistics (curvefit_stats.cpp) --------------------------------------
  /// Means of x, y and x - y from the sums; 0 without pairs.
  double GetMeanX() const;
  double GetMeanY() const;
  double GetMeanDiff() const;
  /// sqrt(|(sum of squares - sum^2 / N) / (N - 1)|) of x, y or x - y; 0 for N < 3.
  double GetStdDevX() const;
  double GetStdDevY() const;
  double GetStdDevDiff() const;
  /// Pearson's r; 0 for N <= 2, when a sum of squares is <= 0 or a variance is 0.
  double GetRxy() const;
  /// All outputs start at 0; NumData gets N, the means are set for N > 0, the standard
  /// deviations and rxy for N > 2, as by the getters.
  void CalcStatistics(int32_t& NumData, double& MeanX, double& MeanY, double& StdevX,
                      double& StdevY, double& MeanDiff, double& StdevDiff, double& rxy) const;
  /// Sample skewness and kurtosis (TMatrix::SkewKurtSample) of x or y; 0 for N < 4.
  double GetSkewnessX() const;
  double GetSkewnessY() const;
  double GetKurtosisX() const;
  double GetKurtosisY() const;
  /// Quartiles of x or y (TMatrix::Quartiles). False, with zeros, without pairs.
  bool QuartilesX(double& q1, double& q2, double& q3) const;
  bool QuartilesY(double& q1, double& q2, double& q3) const;
  /// Mean direction of x (or y) taken as angles in degrees, in [0, 360). A cosine sum of
  /// exactly 0 gives 90 or 270 by the sign of the sine sum, and 0 when that is 0 too
  /// (also without pairs).
  double GetMeanXDegrees() const;
  double GetMeanYDegrees() const;
  /// ANOVA of a regression whose observed values were entered as x and estimated values as
  /// y. dfreg = NumVars; dftotal = N - 1 with IncludeConst, else N; dfres = dftotal - dfreg.
  /// A mean square whose degrees of freedom are not positive is 0, and so is F then;
  /// otherwise F = 0 when MSR = 0 and 1e10 when MSE = 0.
  void CalcAnovaReg(int32_t NumVars, bool IncludeConst, int32_t& dfreg, int32_t& dfres,
                    int32_t& dftotal, double& SSE, double& SSR, double& SST, double& MSE,
                    double& MSR, double& F) const;

  // --- rank statistics (curvefit_ranks.cpp) ---------------------------------
  /// Spearman's rank correlation with mid-ranks for ties; 0 for N < 3, NaN when a value is
  /// NaN. O(N log N).
  double GetSpearman() const;
  /// Kendall's tau-b from the pair counts, and in p the two-sided normal approximation
  /// 1 - ErfApprox(|tau / sigma| / sqrt 2), sigma^2 = (4N + 10) / (9N(N - 1)). Tau and p
  /// are 0 when the denominator vanishes. A pair of pairs counts concordant or discordant
  /// by the signs of its differences, as a tie in y only or in x only, or nowhere (tied in
  /// both, or a NaN among its values). The counts are cached, O(N log N).
  double KendallsTau(double& p) const;
  /// (C - D) / (C + D) from the same counts; 0 when C + D = 0.
  double GetKruskalGamma() const;

  // --- fits (curvefit_fits.cpp) ---------------------------------------------
  /// y = k x + d over the stored pairs, centred; FitQual is R^2. All x equal gives zeros.
  /// Raises ENUVMath2Error "CalcLinFit: not enough data points" for N < 2.
  void CalcLinFit(double& k, double& d, double& FitQual) const;
  /// y = k0 + k1 x + k2 x^2, centred; FitQual is R^2.
  /// Raises ENUVMath2Error "CalcParabolFit: not enough data points" for N < 3.
  void CalcParabolFit(double& k0, double& k1, double& k2, double& FitQual) const;
  /// Least-squares polynomial y = kArray[0] + sum kArray[i] x^i, i = 1..nOrder, by the
  /// singular value decomposition (the design columns scaled to unit length; singular
  /// values below 1e-14 of the largest are dropped and set NearSingular, giving the
  /// minimum-norm solution in the scaled columns). kArray is enlarged to nOrder + 1 when
  /// smaller. FitQual is the squared correlation of fitted and observed y. Clears
  /// AbortMathProc; progress and abort polls as SingValEquSolve on an
  /// (nOrder + 1)-square matrix. False, with kArray and FitQual unchanged, without pairs,
  /// with a non-finite value, or when the decomposition fails or is aborted.
  bool CalcPolyFit(uint8_t nOrder, std::vector<double>& kArray, double& FitQual,
                   bool& NearSingular) const;
  /// As CalcPolyFit for y = kArray[0] + sum kArray[i] (x - XShift)^i. XShift 0 on entry
  /// is replaced by the mean of x. The design uses (x - XShift) / s, s the standard
  /// deviation of x (TMatrix::MeanVar; 1 when 0), and y less its mean.
  bool CalcCenteredPolyFit(uint8_t nOrder, std::vector<double>& kArray, double& XShift,
                           double& FitQual, bool& NearSingular) const;
  /// Circle of radius r about (dx, dy) from the running sums.
  /// Raises ENUVMath2Error "CalcCircleFit: not enough data points" for N < 3 and
  /// "CalcCircleFit: radius is infinite" for collinear points.
  void CalcCircleFit(double& r, double& dx, double& dy) const;

  // --- transformed fits (curvefit_transformed.cpp) --------------------------
  // Each fits its model by ordinary least squares on transformed data, from the running
  // sums in constant time: FitQual is R^2 of that linearised fit (1 when the transformed
  // y does not vary). Outputs start at 0. False, with zeros, when ErrIndic holds a
  // condition the transform cannot take (named with each fit), when the transformed x do
  // not vary, or when a result would not be finite. Fewer pairs than parameters raise
  // ENUVMath2Error "<name>: not enough data points".

  /// y = 1 / (k x + d): 1/y on x. Refuses cfeYEQ0.
  bool CalcReciLinFit(double& k, double& d, double& FitQual) const;
  /// y = k / x + d: y on 1/x. Refuses cfeXEQ0.
  bool CalcHyperbolFit(double& k, double& d, double& FitQual) const;
  /// y = x / (k + d x), that is 1/y = k / x + d: 1/y on 1/x. Refuses cfeXEQ0, cfeYEQ0.
  bool CalcReciHyperbolFit(double& k, double& d, double& FitQual) const;
  /// y = k ln x + d: y on ln x. Refuses cfeXLE0.
  bool CalcLogFit(double& k, double& d, double& FitQual) const;
  /// y = 1 / (k ln x + d): 1/y on ln x. Refuses cfeXLE0, cfeYEQ0.
  bool CalcReciLogFit(double& k, double& d, double& FitQual) const;
  /// y = a x^b: ln y on ln x. Refuses cfeXLE0, cfeYLE0.
  bool CalcPowerFit(double& a, double& b, double& FitQual) const;
  /// y = a e^(b x): ln y on x. Refuses cfeYLE0.
  bool CalcExponentialFit(double& a, double& b, double& FitQual) const;
  /// y = a b^x x^c: ln y on x and ln x. Refuses cfeXLE0, cfeYLE0; needs 3 pairs.
  bool CalcHoerlFit(double& a, double& b, double& c, double& FitQual) const;
  /// y = Amplitude exp(-(x - Mean)^2 / (2 StdDev^2)): ln y on x and x^2. Refuses cfeYLE0
  /// and a parabola of ln y that does not open downwards; needs 3 pairs.
  bool CalcGaussFit(double& Amplitude, double& Mean, double& StdDev, double& FitQual) const;

  // --- splines (curvefit_spline.cpp) ----------------------------------------
  /// The interpolating cubic spline through the pairs sorted by x, at x. Pairs with equal
  /// x become one knot at the mean of their y. Each end is natural (second derivative 0)
  /// or clamped to SplineDerivY1 / SplineDerivYN. Beyond the end knots the spline goes on
  /// as a straight line with the end slope. One knot gives its y, no pairs 0, a
  /// non-finite value among the pairs (or x NaN) gives NaN. The knots and second
  /// derivatives are cached until the pairs or the settings change.
  /// Raises ENUVMath2Error "not enough memory" (component form).
  double CubicSpline(double x) const;
  /// The penalised (smoothing) cubic spline at x: minimises
  /// sum (y_i - f(x_i))^2 + lambda * integral f''(t)^2 dt over the pairs, with
  /// lambda = SplineSmoothingFactor * h^3 and h the mean spacing of the distinct x
  /// (so the factor does not depend on the units of x: 0 interpolates, about 1 smooths
  /// over neighbouring knots, large factors approach the least-squares line, which
  /// infinity gives). Knots as in CubicSpline; natural ends, linear beyond them.
  /// FitQual is R^2 of the spline at the pairs (1 when y does not vary). valid is false,
  /// with result and FitQual 0, without pairs, with a non-finite value or a negative or
  /// NaN factor. Cached until the pairs or the factor change.
  /// Raises ENUVMath2Error "not enough memory" (component form).
  double SmoothedSpline(double x, double& FitQual, bool& valid) const;

  // --- ASC files (curvefit_asc.cpp) -----------------------------------------
  /// Writes the pairs as an ASC file (CRLF, "." decimals, Precision digits after the
  /// point). Returns "" on success or the message when the file cannot be created (then
  /// nothing is written); errors while writing raise EInOutError.
  std::string ExportAsASC(const std::string& FName, const std::string& Comment,
                          int32_t Precision) const;
  /// Replaces the pairs by those of an ASC file of two columns. Returns 0, a negative
  /// code of ReadHeaderOfASC, -5 (a row attribute is not a number), -6 (a value is not a
  /// number or the file ends early) or -7 (column attributes); a failed import leaves the
  /// fitter as it was. Raises ENUVMath2Error "TCurveFit.ImportASC: number of columns must
  /// be 2 (is actually <n>)." and "not enough memory" (component form).
  int32_t ImportASC(const std::string& FName);

 protected:
  /// Adds (Add) or subtracts the terms of one pair; only adding updates the extremes and
  /// FErrIndic.
  template <bool Add>
  void AdjustSums(double x, double y);
  /// Mean direction in degrees of column Nc (1 x, 2 y).
  double CalcMeanDegrees(int32_t Nc) const;
  /// Fills the Kendall counts and marks them valid.
  void BasicRankCounts() const;
  void InvalidateCaches();
  /// Makes room for one more pair.
  void GrowData();
  const double* ColX() const { return FData->ColData(1); }
  const double* ColY() const { return FData->ColData(2); }
  /// The spline cache (created on first use) with knots of the current pairs.
  detail::TCurveFitSplineCache& Knots() const;

  int32_t FNumData = 0;
  double FMinX = uc_MaxDouble;
  double FMaxX = -uc_MaxDouble;
  double FMinY = uc_MaxDouble;
  double FMaxY = -uc_MaxDouble;
  bool FNatural1 = true;
  bool FNaturalN = true;
  double FY1Dash = 0.0;
  double FYNDash = 0.0;
  TCurveFitErrors FErrIndic;
  /// Knots, second derivatives and penalised-spline values.
  mutable std::unique_ptr<detail::TCurveFitSplineCache> FSpline;
  /// Column 1 x, column 2 y; the row count is the capacity.
  std::unique_ptr<TMatrix> FData;
  mutable bool FSplineValid = false;
  double FPSplineSmooth = 0.5;
  mutable double FPSplineFQ = 0.0;
  mutable bool FPenSplineValid = false;
  mutable bool FKendallValid = false;
  mutable int64_t FKendallConcord = 0;
  mutable int64_t FKendallDiscord = 0;
  mutable int64_t FKendallTies1 = 0;  ///< tied in y only
  mutable int64_t FKendallTies2 = 0;  ///< tied in x only
};

}  // namespace nuv
