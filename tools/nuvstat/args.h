// Command line of nuvstat: the subcommand, its options and its help text.
#pragma once

#include <limits>
#include <string>
#include <vector>

namespace nuvstat {

enum class Format { Table, Csv, Json };
enum class Choice { Auto, Yes, No };
enum class Method { Pearson, Spearman, Kendall };

/// How the input is read: the options every command takes.
struct InputOptions {
  std::string File;          ///< path, "-" for standard input, empty: see Sample
  std::string Sample;        ///< "iris" for the bundled sample, empty otherwise
  Choice Header = Choice::Auto;
  bool RowNames = false;     ///< the first column holds row names (also detected)
  int Skip = 0;              ///< physical lines skipped before anything is read
  char Delimiter = '\0';     ///< ',', ';', ':' or '\t'; '\0' detects it
  char Decimal = '.';        ///< '.' or ','
  std::vector<std::string> NaWords;  ///< more texts that mean "no value"
  std::vector<std::string> Columns;  ///< names or 1-based numbers to analyse (all when empty)
  std::vector<std::string> Exclude;  ///< names or 1-based numbers left out
};

struct Options {
  std::string Command;     ///< describe, corr, cov, pca, regress; empty for the overview
  InputOptions Input;
  Format OutFormat = Format::Table;
  bool Help = false;       ///< print the help of Command (or the overview) and stop
  bool Version = false;
  int Components = 0;      ///< pca: components shown; 0 for all
  bool Standardize = false;
  bool Scores = false;
  std::string YColumn;     ///< regress: name or 1-based number of the response
  std::string TableName;   ///< the table written with --format csv; empty: the main one
  bool Complete = false;   ///< corr, cov: rows without any missing value only
  bool PValues = false;    ///< corr: also the p values
  Method CorrMethod = Method::Pearson;
  std::string By;          ///< describe: the grouping column
  std::string Sub;         ///< the analysis of a command that has several (test ttest)
  std::string PlotFile;    ///< --plot: the SVG file to write; empty for none
  // test
  double Alpha = 0.05;     ///< significance level of the decisions, 0 < Alpha < 1
  bool HaveMu = false;     ///< --mu given
  double Mu = 0.0;         ///< ttest: the mean tested against; normality: the normal's mean
  double Sd = 1.0;         ///< normality: the standard deviation of the reference normal
  bool Paired = false;     ///< ttest: two columns as pairs
  bool Welch = false;      ///< ttest: separate variances (Welch) instead of pooled
  std::string Outliers = "both";  ///< outliers: grubbs, dixon or both
  // cluster, fit, rank
  int K = 0;               ///< cluster: --k, the number of clusters (groups of hier)
  int Seed = 0;            ///< cluster kmeans: --seed; 0 starts from the first K rows
  std::string Linkage;     ///< cluster hier: --method
  std::string Distance;    ///< cluster hier: --distance; empty for the method's default
  double FlexAlpha = 0.625;  ///< cluster hier --method flexible: --flex-alpha
  std::string XColumn;     ///< fit: --x
  std::string Model;       ///< fit: --model
  int Degree = 0;          ///< fit --model poly N
  std::vector<double> At;  ///< fit: --at, the x where the fitted curve is evaluated
  double Smooth = -1.0;    ///< fit --model spline: --smooth, the smoothing factor; < 0: none
  // smooth, derivative, spectrum, density
  std::string Column;      ///< --column: the series or sample (name or 1-based number)
  std::string SmoothMethod = "mean";  ///< smooth: mean, triangle, median or savgol
  int Width = 0;           ///< smooth, derivative: the window (odd); 0 for the default
  int Order = 1;           ///< derivative: 1 or 2
  std::string SeriesX;     ///< derivative --x: the equally spaced abscissa column
  double Step = 0.0;       ///< derivative --step: the sampling step; 0 when not given
  std::string Window = "hann";  ///< spectrum: the weighting window
  double Rate = 0.0;       ///< spectrum --rate: samples per unit of time; 0 when not given
  int Segment = 0;         ///< spectrum --segment: the block length; 0 for the default
  int Grid = 201;          ///< density: the points of the grid
  double Bandwidth = 0.0;  ///< density --width: the kernel's standard deviation; 0: Scott's rule
  double LocalWindow = 0.0;  ///< density --window: widths from the local spacing; 0: fixed width
  double Factor = 1.0;     ///< density --factor: the local width multiplier
  /// density --from/--to: the ends of the grid; NaN when not given
  double From = std::numeric_limits<double>::quiet_NaN();
  double To = std::numeric_limits<double>::quiet_NaN();
};

/// Parses argv; raises UsageError for unknown commands or options and missing values.
Options ParseArguments(int argc, char** argv);

/// The help text of a subcommand, or the overview for an empty or unknown name.
std::string HelpText(const std::string& Command);

std::string FormatName(Format F);

}  // namespace nuvstat
