#include "args.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

#include "args_fit.h"
#include "errors.h"

namespace nuvstat {

namespace {

const char* const kOverview =
    "usage: nuvstat COMMAND [OPTIONS] [FILE]\n"
    "\n"
    "Descriptive and multivariate statistics of delimited text, computed by nuv.\n"
    "\n"
    "commands:\n"
    "  describe   n, missing, mean, standard deviation, quartiles, extremes, skewness,\n"
    "             kurtosis per column (per group with --by)\n"
    "  corr       correlation matrix (Pearson, Spearman or Kendall), with p values\n"
    "  cov        covariance matrix of the columns\n"
    "  pca        principal components: eigenvalues, variance shares, loadings, scores\n"
    "  regress    multiple linear regression of one column on the others\n"
    "  test       hypothesis tests: ttest, mannwhitney, shapiro, normality, anova,\n"
    "             outliers, runs\n"
    "  cluster    k-means (cluster kmeans) or hierarchical clustering with a\n"
    "             dendrogram (cluster hier) of the rows\n"
    "  fit        a curve y = f(x): line, polynomial, exp, power, log, circle, spline\n"
    "  rank       Spearman and Kendall rank correlations of the pairs of columns\n"
    "  smooth     a column smoothed by a moving mean, triangle, median or Savitzky-Golay\n"
    "  derivative first or second derivative of a column (Savitzky-Golay)\n"
    "  spectrum   power spectrum of a column with a weighting window\n"
    "  density    kernel density estimate of a column on a grid\n"
    "\n"
    "FILE is CSV text: one row per line, the cells separated by commas, semicolons,\n"
    "colons, tabs or blanks (detected), '#' lines skipped. '-' or no FILE reads standard\n"
    "input when it is not a terminal; the bundled Iris sample (150 flowers, four\n"
    "columns in centimetres) is read with --sample iris, or with no FILE on a terminal\n"
    "(with a note on stderr). Every report names its source.\n"
    "\n"
    "Header: with --header auto (the default) the first line names the columns when\n"
    "some cell of it is not a number and the line is not shaped like the data below\n"
    "(a text above a column of numbers); a note on stderr tells when the guess could\n"
    "go either way. A first line that mixes numbers and texts above columns of\n"
    "numbers is refused: say --header yes, --header no or --skip 1. R's files with a\n"
    "header one cell short (row names below) and '\"\"' as first header cell have row\n"
    "names. Duplicate column names are made unique (a, a.2) with a note.\n"
    "\n"
    "Columns of numbers are analysed; columns of texts (a species, names, dates) are\n"
    "listed and left out, and describe --by groups by one. Empty cells and NA, NaN,\n"
    "nan, null, NULL, ? (and --na words) are missing values: describe skips them and\n"
    "counts them per column, corr and cov use the pairwise complete rows (--complete:\n"
    "listwise), pca and regress the rows without any and report how many they dropped.\n"
    "\n"
    "options of every command:\n"
    "  --format table|csv|json   output form (default: an aligned table); csv writes\n"
    "                            one table (see --table)\n"
    "  --header auto|yes|no      whether the first line names the columns\n"
    "  --row-names               the first column holds row names\n"
    "  --skip N                  skip N lines at the start\n"
    "  --delimiter D             , ; : or tab (default: detected)\n"
    "  --decimal C               . or , (with , the delimiter defaults to ;)\n"
    "  --na TEXT                 one more text meaning a missing value (repeatable)\n"
    "  --columns LIST            analyse only these columns: names or numbers from 1\n"
    "                            (of the file), separated by commas\n"
    "  --exclude LIST            leave these columns out\n"
    "  --sample iris             analyse the bundled Iris sample\n"
    "  --help                    help of the command\n"
    "\n"
    "Errors are reported on stderr with exit status 2, input errors as\n"
    "\"<source>, line L, column C: <reason>\" (the line of the file, the cell of the\n"
    "line, both from 1); Ctrl-C stops a running computation (exit status 130).\n"
    "'nuvstat COMMAND --help' tells more. The build puts the program in\n"
    "build/release/tools/nuvstat; 'cmake --install' copies it to <prefix>/bin.\n";

const char* const kDescribe =
    "usage: nuvstat describe [--by COLUMN] [--plot FILE.svg] [INPUT OPTIONS]\n"
    "                        [--format table|csv|json] [FILE]\n"
    "\n"
    "One line per column: n, missing, mean, standard deviation (divisor n - 1),\n"
    "minimum, first quartile, median, third quartile, maximum, skewness and excess\n"
    "kurtosis. Missing cells are skipped and counted; columns of texts are listed in\n"
    "a second table (with --format csv: --table other_columns).\n"
    "\n"
    "Quartiles interpolate at the positions (n + 1)/4, (n + 1)/2 and 3(n + 1)/4 of the\n"
    "sorted column. Skewness and kurtosis carry the small-sample correction\n"
    "(n^2 g1 / ((n-1)(n-2)) and its kurtosis counterpart, the figures of spreadsheets\n"
    "and of most statistics packages). A figure that needs more values than the column\n"
    "has (standard deviation: 3, skewness and kurtosis: 4) is shown as n/a.\n"
    "\n"
    "  --by COLUMN      the statistics per group: one line per group and column; the\n"
    "                   groups are the texts of COLUMN (a column of texts, or of\n"
    "                   numbers taken as texts), rows where it is missing are left out\n"
    "  --plot FILE.svg  also draw a histogram of every column (one panel each, all\n"
    "                   rows that hold a number; the bins are equal, their number\n"
    "                   Sturges' 1 + log2 n, at most 50)\n";

const char* const kCorr =
    "usage: nuvstat corr [--method pearson|spearman|kendall] [--p] [--complete]\n"
    "                    [--table correlation|n|p] [INPUT OPTIONS] [--format F] [FILE]\n"
    "\n"
    "The correlation matrix of the columns (at least 2 rows). A constant column has\n"
    "no correlation with anything: its row and column are shown as n/a. Each pair uses\n"
    "the rows where both of its columns hold a number; when these counts differ, a\n"
    "table of them follows.\n"
    "\n"
    "  --method M       pearson (default), spearman (mid-ranks for ties) or kendall\n"
    "                   (tau-b)\n"
    "  --p              also the two-sided p values: Pearson and Spearman from t =\n"
    "                   r sqrt((n-2)/(1-r^2)) with n - 2 degrees of freedom, Kendall\n"
    "                   from the normal approximation of tau\n"
    "  --complete       use only the rows where every column holds a number\n"
    "  --table T        the table written with --format csv (default correlation)\n";

const char* const kCov =
    "usage: nuvstat cov [--complete] [--table covariance|n] [INPUT OPTIONS] [--format F] [FILE]\n"
    "\n"
    "The covariance matrix of the columns, divisor n - 1 (at least 2 rows). Each pair\n"
    "uses the rows where both of its columns hold a number; when these counts differ,\n"
    "a table of them follows.\n"
    "\n"
    "  --complete       use only the rows where every column holds a number\n"
    "  --table T        the table written with --format csv (default covariance)\n";

const char* const kPca =
    "usage: nuvstat pca [--components K] [--standardize] [--scores]\n"
    "                   [--plot FILE.svg [--by COLUMN]]\n"
    "                   [--table eigenvalues|loadings|scores] [INPUT OPTIONS]\n"
    "                   [--format table|csv|json] [FILE]\n"
    "\n"
    "Principal components of the columns (at least 3 rows without a missing value):\n"
    "the eigenvalues of the covariance matrix in descending order with their shares\n"
    "of the total variance, the loadings (the unit eigenvectors, one column per\n"
    "component, each signed so that its largest component is positive) and, with\n"
    "--scores, the coordinates of every row on the components.\n"
    "\n"
    "  --components K   show the first K components (default: all)\n"
    "  --standardize    scale every column to unit variance first, that is, analyse\n"
    "                   the correlation matrix\n"
    "  --scores         also print the scores of the rows (centred, and scaled with\n"
    "                   --standardize, data times the loadings)\n"
    "  --table T        the table written with --format csv (default eigenvalues;\n"
    "                   scores implies --scores)\n"
    "  --plot FILE.svg  also draw the scree plot (eigenvalues as bars) and the scores\n"
    "                   of the rows on the first two components (on the first and the\n"
    "                   row number with one column)\n"
    "  --by COLUMN      colour the scores by the groups of COLUMN (a column of texts,\n"
    "                   or a column of numbers left out with --exclude), with a\n"
    "                   legend; rows where it is missing form the group (missing)\n";

const char* const kRegress =
    "usage: nuvstat regress --y COLUMN [--table coefficients|fit] [INPUT OPTIONS]\n"
    "                       [--format table|csv|json] [FILE]\n"
    "\n"
    "Multiple linear regression by least squares of COLUMN on all other columns, with\n"
    "an intercept (rows without a missing value): the coefficients with their standard\n"
    "errors, t values, two-sided p values and 95 % confidence intervals; R^2, adjusted\n"
    "R^2, the residual standard error and the overall F test with its p value. COLUMN\n"
    "is a column name from the header line or a column number counted from 1 among\n"
    "the analysed columns. Needs more rows than coefficients.\n"
    "\n"
    "  --y COLUMN       the response column\n"
    "  --table T        the table written with --format csv (default coefficients)\n";

const char* const kTest =
    "usage: nuvstat test ANALYSIS [OPTIONS] [INPUT OPTIONS] [--format table|csv|json] [FILE]\n"
    "\n"
    "A hypothesis test of the columns; each line gives the statistic, its degrees of\n"
    "freedom where it has them, the p value and the decision at --alpha (\"reject H0\"\n"
    "when p < alpha, else \"keep H0\"). Each test uses the cells that hold a number\n"
    "(the rows where both hold one for paired columns, and where the --by cell is\n"
    "given) and reports how many it used (n) and left out.\n"
    "\n"
    "analyses:\n"
    "  ttest        --mu M: each column against the mean M (one-sample t test);\n"
    "               two columns (choose them with --columns a,b): independent samples,\n"
    "               or pairs with --paired; --by G: each column split into the two\n"
    "               groups of G. Pooled variance (Student, n1 + n2 - 2 degrees of\n"
    "               freedom) unless --welch (separate variances, Welch-Satterthwaite\n"
    "               degrees of freedom). Two-sided p value.\n"
    "  mannwhitney  Mann-Whitney U (Wilcoxon rank sum) of two columns, or of each column\n"
    "               split by --by G into two groups: U of the first sample, z and the\n"
    "               two-sided p value (exact without ties when n1 n2 <= 10000, else the\n"
    "               normal approximation with continuity and tie corrections)\n"
    "  shapiro      Shapiro-Wilk W and p value of each column (3 to 5000 values)\n"
    "  normality    Kolmogorov-Smirnov distance D of each column to the normal with mean\n"
    "               --mu and standard deviation --sd (default 0 and 1) and its p value,\n"
    "               and the Lilliefors test (D after standardizing; p value for more\n"
    "               than 5 values)\n"
    "  anova        one-way analysis of variance of each column by the groups of --by G:\n"
    "               sums of squares, F, its degrees of freedom and p value\n"
    "  outliers     Grubbs' test (two-sided, at least 4 values) and Dixon's test (3 to\n"
    "               100 values, --alpha one of 0.001 0.002 0.005 0.01 0.02 0.05 0.1 0.2\n"
    "               0.5) for one outlier in each column: the statistic against its\n"
    "               critical value at --alpha, and the suspect value and its data row\n"
    "               when it is an outlier\n"
    "  runs         runs test of each column against its median (values above the\n"
    "               median against the others): the number of runs and the p value of\n"
    "               the library's runs test, one-sided: when neither kind has more than\n"
    "               25 values the exact P(R <= runs) (too few runs), otherwise the normal\n"
    "               tail beyond z on its side, Phi(-|z|)\n"
    "\n"
    "  --alpha A        significance level of the decisions (default 0.05)\n"
    "  --by COLUMN      ttest, mannwhitney: a column with two groups; anova: the groups\n"
    "                   (texts, or numbers taken as texts); rows where it is missing are\n"
    "                   left out\n"
    "  --mu M           ttest: the mean tested against; normality: the normal's mean\n"
    "  --sd S           normality: the normal's standard deviation (S > 0)\n"
    "  --paired         ttest: the two columns are pairs, row by row\n"
    "  --welch          ttest: separate variances (Welch) instead of the pooled one\n"
    "  --method M       outliers: grubbs, dixon or both (default)\n";
const char* const kCluster =
    "usage: nuvstat cluster kmeans --k K [--seed S] [--standardize] [INPUT OPTIONS]\n"
    "                       [--table centres|assignments] [--format F] [FILE]\n"
    "       nuvstat cluster hier [--method M] [--distance D] [--k K] [--standardize]\n"
    "                       [--plot FILE.svg] [--table merges|groups] [INPUT OPTIONS]\n"
    "                       [--format F] [FILE]\n"
    "\n"
    "Clusters of the rows over the analysed columns (choose them with --columns), using\n"
    "the rows where every one of them holds a number; the report says how many rows\n"
    "were left out. Rows are numbered as data rows of the file, from 1.\n"
    "\n"
    "kmeans: Lloyd's k-means on squared Euclidean distances. Without --seed the first K\n"
    "rows are the starting centres; --seed S (S >= 1) draws K rows at random with the\n"
    "library's generator seeded by S (the same S gives the same clusters). Clusters are\n"
    "numbered by size, 1 the largest. The report: per cluster its size, its sum of\n"
    "squared distances to the centre and the centre (the mean of its rows in the units\n"
    "of the file); the total sum of squares; the cluster of every row. More than 1000\n"
    "passes without settling is an error.\n"
    "  --k K            the number of clusters (at most the number of rows)\n"
    "  --seed S         random starting centres, reproducible by S\n"
    "\n"
    "hier: agglomerative clustering, the two nearest clusters joined at each step. The\n"
    "merge table lists per step the two clusters joined (rows are clusters 1..n, the\n"
    "cluster made at step s is n + s), the height (their distance) and the size of the\n"
    "new cluster. At most 20000 rows (the distances of all pairs are kept: 1.6 GB).\n"
    "  --method M       single, complete, average (the mean of the two distances: WPGMA,\n"
    "                   scipy's 'weighted'), upgma (weighted by the cluster sizes:\n"
    "                   scipy's 'average'), ward or flexible (default average)\n"
    "  --distance D     euclidean (default), sqeuclidean, manhattan, jaccard or dice\n"
    "                   (1 minus the coefficient). ward needs sqeuclidean, its default:\n"
    "                   its heights are then twice the rise of the within-cluster sum of\n"
    "                   squares, and a column \"root height\" gives their square roots,\n"
    "                   the heights of R's hclust and scipy for Ward\n"
    "  --flex-alpha A   the weight of the flexible strategy, 0.5 to 1 (default 0.625,\n"
    "                   Lance and Williams' beta = -0.25)\n"
    "  --k K            also cut the tree into K groups: the group of every row, groups\n"
    "                   numbered from left to right in the dendrogram\n"
    "  --plot FILE.svg  draw the dendrogram (leaves in the library's plotting order)\n"
    "\n"
    "  --standardize    scale every column to mean 0 and standard deviation 1 before\n"
    "                   clustering (kmeans centres stay in the units of the file; the\n"
    "                   sums of squares and heights are those of the scaled data)\n"
    "  --table T        the table written with --format csv (default: the first)\n";

const char* const kFit =
    "usage: nuvstat fit --x COLUMN --y COLUMN --model MODEL [--at X,...] [--smooth F]\n"
    "                   [--plot FILE.svg] [--table coefficients|fit|values]\n"
    "                   [INPUT OPTIONS] [--format F] [FILE]\n"
    "\n"
    "Fits a curve y = f(x) to the rows where both columns hold a number (the report\n"
    "says how many rows were left out): the coefficients and R^2.\n"
    "  --model line       y = intercept + slope x\n"
    "  --model parabola   y = a0 + a1 x + a2 x^2\n"
    "  --model poly N     y = a0 + a1 x + ... + aN x^N (N up to 20), least squares by\n"
    "                     the singular value decomposition (a note tells when the design\n"
    "                     is nearly singular)\n"
    "  --model exp        y = a e^(b x)     (least squares of ln y on x; y > 0)\n"
    "  --model power      y = a x^b         (ln y on ln x; x > 0, y > 0)\n"
    "  --model log        y = a + b ln x    (y on ln x; x > 0)\n"
    "  --model circle     (x - cx)^2 + (y - cy)^2 = r^2, algebraic least squares; the fit\n"
    "                     table gives the root mean square of the radial residuals\n"
    "  --model spline     the natural cubic spline through the points (equal x become\n"
    "                     one knot at the mean y), straight beyond the end knots; with\n"
    "                     --smooth F the smoothing spline of factor F (0 interpolates,\n"
    "                     about 1 smooths over neighbouring knots, larger approaches the\n"
    "                     straight line)\n"
    "For exp, power and log R^2 is that of the straight-line fit of the transformed data.\n"
    "  --at X,...         the fitted values at these x (a table \"values\")\n"
    "  --plot FILE.svg    draw the data and the fitted curve\n";

const char* const kRank =
    "usage: nuvstat rank [INPUT OPTIONS] [--format F] [FILE]\n"
    "\n"
    "Rank correlations of every pair of the analysed columns (choose them with\n"
    "--columns), each pair over the rows where both hold a number: n, Spearman's rho\n"
    "(mid-ranks for ties) with its two-sided p value from t = rho sqrt((n-2)/(1-rho^2))\n"
    "with n - 2 degrees of freedom, Kendall's tau-b with its two-sided p value from the\n"
    "normal approximation (variance (4n + 10)/(9n(n - 1)), no tie correction) and\n"
    "Goodman and Kruskal's gamma. The same rho, tau and p values as corr --method\n"
    "spearman|kendall --p, one line per pair. Needs 3 rows per pair; a figure that\n"
    "cannot be computed is shown as n/a.\n";
const char* const kSmooth =
    "usage: nuvstat smooth --column COLUMN [--method mean|triangle|median|savgol]\n"
    "                      [--width W] [INPUT OPTIONS] [--format table|csv|json] [FILE]\n"
    "\n"
    "The column as a series in file order, smoothed over a moving window of W rows\n"
    "centred on each row; one line per row with the value and the smoothed value\n"
    "(with --format csv a table that loads as it stands). With h = W div 2, the first\n"
    "h and the last h rows, which have no full window, repeat the first and the last\n"
    "smoothed value. Needs more rows than W and a number in every row of the column:\n"
    "a missing cell is refused with its row (a series with a gap has no neighbours to\n"
    "smooth over; fill it or cut the file).\n"
    "\n"
    "  --column COLUMN  the series: a name or a number from 1 among the analysed columns\n"
    "  --method M       mean (default): the window's mean; triangle: weights h + 1 - |k|\n"
    "                   at distance k, divided by their sum (h + 1)^2; median: the\n"
    "                   window's median; savgol: the quadratic Savitzky-Golay fit\n"
    "  --width W        the window, odd: 3 or more (default 5); savgol 5 to 25\n";

const char* const kDerivative =
    "usage: nuvstat derivative --column COLUMN [--order 1|2] [--width W]\n"
    "                          [--step H | --x COLUMN] [INPUT OPTIONS] [--format F] [FILE]\n"
    "\n"
    "The first or second derivative of the column as a series in file order, from a\n"
    "quadratic Savitzky-Golay fit over a moving window of W rows: the first\n"
    "derivative sum k y[i + k] / sum k^2 (k = -h..h, h = W div 2), the second from the\n"
    "quadratic fit's curvature. The rows are taken as equally spaced, H apart: the\n"
    "results per unit step are divided by H (first) or H^2 (second). The first h and\n"
    "the last h rows repeat the first and the last computed value. Needs more rows\n"
    "than W and a number in every row of the column (and of --x); a missing cell is\n"
    "refused with its row.\n"
    "\n"
    "  --column COLUMN  the series: a name or a number from 1 among the analysed columns\n"
    "  --order N        1 (default) or 2\n"
    "  --width W        the window, odd, 5 to 25 (default 5)\n"
    "  --step H         the spacing of the rows (default 1)\n"
    "  --x COLUMN       take the spacing from this column, which must rise or fall\n"
    "                   in equal steps (to 1e-6 of the step); refused otherwise\n";

const char* const kSpectrum =
    "usage: nuvstat spectrum --column COLUMN [--window W] [--rate HZ] [--segment N]\n"
    "                        [--plot FILE.svg] [INPUT OPTIONS] [--format F] [FILE]\n"
    "\n"
    "The one-sided power spectrum of the column as a series in file order, by Welch's\n"
    "method: blocks of N rows that overlap by half, each less its mean, weighted by\n"
    "the window and transformed by the FFT; the block spectra are averaged. One line\n"
    "per frequency 0, 1/N, ..., 1/2 cycles per row (times HZ with --rate) with\n"
    "  density  the power spectral density, |X|^2 / (rate sum w^2), doubled for the\n"
    "           lines other than 0 and 1/2: it sums, times the line spacing, to\n"
    "           the mean square of the blocks (scipy's welch, scaling 'density')\n"
    "  power    the power spectrum |X|^2 / (sum w)^2, doubled likewise: a sine of\n"
    "           amplitude A at a line shows A^2/2 there (scaling 'spectrum')\n"
    "Rows after the last whole block are left out (the report says how many). Needs\n"
    "a number in every row of the column: a missing cell is refused with its row.\n"
    "\n"
    "  --column COLUMN  the series: a name or a number from 1 among the analysed columns\n"
    "  --window W       hann (default; cos^2), rectangle, triangle, hamming, blackman,\n"
    "                   blackman-harris, blackman-nuttall or gauss\n"
    "  --rate HZ        samples per unit of time: frequencies in its units (default:\n"
    "                   cycles per row)\n"
    "  --segment N      the block length, a power of two of at least 8 (default: the\n"
    "                   largest power of two not above the rows: one block)\n"
    "  --plot FILE.svg  also draw the density in decibels (10 log10) over frequency\n";

const char* const kDensity =
    "usage: nuvstat density --column COLUMN [--grid N] [--width H | --window W [--factor F]]\n"
    "                       [--from A] [--to B] [--plot FILE.svg] [INPUT OPTIONS]\n"
    "                       [--format F] [FILE]\n"
    "\n"
    "The Gaussian kernel density estimate of the column's values (missing cells are\n"
    "left out and counted), f(t) = sum_j exp(-((t - x_j)/s_j)^2/2) / (s_j n sqrt(2 pi)),\n"
    "on N equally spaced points from A to B. Needs 2 values that are not all equal.\n"
    "\n"
    "  --column COLUMN  the sample: a name or a number from 1 among the analysed columns\n"
    "  --grid N         the points of the grid, 11 to 10001 (default 201)\n"
    "  --width H        every kernel's standard deviation s_j = H (default: Scott's\n"
    "                   rule, sd n^(-1/5), the width of scipy's gaussian_kde)\n"
    "  --window W       adaptive widths instead: s_j = F times the mean spacing of the\n"
    "                   sorted values closer than W to x_j, so that kernels are narrow\n"
    "                   where values crowd and wide where they are sparse\n"
    "  --factor F       the multiplier of the adaptive widths (default 1)\n"
    "  --from A, --to B the ends of the grid (default: the extremes of the values\n"
    "                   3 widths further out, with --window the largest width)\n"
    "  --plot FILE.svg  also draw the density curve\n";

struct CommandInfo {
  const char* Name;
  const char* Help;
  /// The tables --table may choose, separated by '|'; the first is the default.
  const char* Tables;
  /// The analyses that follow the command's name, separated by '|'; null for a
  /// command that has one.
  const char* Subs = nullptr;
  bool Plots = false;  ///< takes --plot FILE.svg
};

const CommandInfo kCommands[] = {
    {"describe", kDescribe, "describe|other_columns", nullptr, true},
    {"corr", kCorr, "correlation|n|p"},
    {"cov", kCov, "covariance|n"},
    {"pca", kPca, "eigenvalues|loadings|scores", nullptr, true},
    {"regress", kRegress, "coefficients|fit"},
    {"test", kTest, "test", "ttest|mannwhitney|shapiro|normality|anova|outliers|runs"},
    {"cluster", kCluster, "centres|assignments|merges|groups", "kmeans|hier", true},
    {"fit", kFit, "coefficients|fit|values", nullptr, true},
    {"rank", kRank, "rank"},
    {"smooth", kSmooth, "smooth"},
    {"derivative", kDerivative, "derivative"},
    {"spectrum", kSpectrum, "spectrum", nullptr, true},
    {"density", kDensity, "density", nullptr, true},
};

const CommandInfo* FindCommand(const std::string& Name) {
  for (const CommandInfo& c : kCommands)
    if (Name == c.Name) return &c;
  return nullptr;
}

Format ParseFormat(const std::string& Text, const std::string& Command) {
  if (Text == "table") return Format::Table;
  if (Text == "csv") return Format::Csv;
  if (Text == "json") return Format::Json;
  throw UsageError("unknown format \"" + Text + "\" (use table, csv or json)", Command);
}

int ParseCount(const std::string& Text, const std::string& Option, const std::string& Command,
               int Least) {
  int value = 0;
  const char* first = Text.data();
  const char* last = first + Text.size();
  const auto res = std::from_chars(first, last, value);
  if (Text.empty() || res.ec != std::errc() || res.ptr != last || value < Least)
    throw UsageError(Option + " needs a whole number of at least " + std::to_string(Least) +
                         ", not \"" + Text + "\"",
                     Command);
  return value;
}

// "a,b,3": the names or numbers of a column list, quotes not needed.
std::vector<std::string> SplitList(const std::string& Text, const std::string& Option,
                                   const std::string& Command) {
  std::vector<std::string> items;
  size_t start = 0;
  for (;;) {
    const size_t comma = Text.find(',', start);
    std::string item = Text.substr(start, comma == std::string::npos ? std::string::npos
                                                                     : comma - start);
    if (item.empty())
      throw UsageError(Option + " has an empty column in \"" + Text + "\"", Command);
    items.push_back(std::move(item));
    if (comma == std::string::npos) return items;
    start = comma + 1;
  }
}

char ParseDelimiter(const std::string& Text, const std::string& Command) {
  if (Text == "," || Text == ";" || Text == ":") return Text[0];
  if (Text == "tab" || Text == "\t" || Text == "\\t") return '\t';
  throw UsageError("unknown delimiter \"" + Text + "\" (use , ; : or tab)", Command);
}

double ParseReal(const std::string& Text, const std::string& Option, const std::string& Command) {
  double value = 0.0;
  const char* first = Text.data();
  const char* last = first + Text.size();
  const auto res = std::from_chars(first, last, value);
  if (Text.empty() || res.ec != std::errc() || res.ptr != last || !std::isfinite(value))
    throw UsageError(Option + " needs a number, not \"" + Text + "\"", Command);
  return value;
}

double ParsePositive(const std::string& Text, const std::string& Option,
                     const std::string& Command) {
  const double value = ParseReal(Text, Option, Command);
  if (!(value > 0))
    throw UsageError(Option + " needs a positive number, not \"" + Text + "\"", Command);
  return value;
}

// The options of each analysis of test besides --alpha.
bool TestTakes(const std::string& Sub, const std::string& Option) {
  if (Option == "--by") return Sub == "ttest" || Sub == "mannwhitney" || Sub == "anova";
  if (Option == "--mu") return Sub == "ttest" || Sub == "normality";
  if (Option == "--sd") return Sub == "normality";
  if (Option == "--paired" || Option == "--welch") return Sub == "ttest";
  if (Option == "--method") return Sub == "outliers";
  return Option == "--alpha";
}

bool InList(const char* List, const std::string& Name) {
  const std::string list = std::string("|") + List + "|";
  return list.find("|" + Name + "|") != std::string::npos;
}

bool HasTable(const CommandInfo& Info, const std::string& Name) {
  return InList(Info.Tables, Name);
}

// "a|b|c" as "a, b or c".
std::string ListText(const char* List) {
  std::string text = List;
  const size_t last = text.rfind('|');
  if (last != std::string::npos) text.replace(last, 1, " or ");
  size_t bar = 0;
  while ((bar = text.find('|', bar)) != std::string::npos) text.replace(bar, 1, ", ");
  return text;
}

}  // namespace

const char* const kWindows =
    "hann|rectangle|triangle|hamming|blackman|blackman-harris|blackman-nuttall|gauss";

std::string HelpText(const std::string& Command) {
  const CommandInfo* info = FindCommand(Command);
  return info != nullptr ? info->Help : kOverview;
}

std::string FormatName(Format F) {
  switch (F) {
    case Format::Csv: return "csv";
    case Format::Json: return "json";
    case Format::Table: break;
  }
  return "table";
}

Options ParseArguments(int argc, char** argv) {
  Options opt;
  std::vector<std::string> args(argv + 1, argv + argc);
  size_t i = 0;
  // Options before the command: only the overview's own.
  for (; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h" || a == "help") {
      opt.Help = true;
      // "nuvstat help pca" and "nuvstat --help pca" show the command's help.
      if (i + 1 < args.size() && FindCommand(args[i + 1]) != nullptr) opt.Command = args[i + 1];
      return opt;
    }
    if (a == "--version") {
      opt.Version = true;
      return opt;
    }
    // The output form may also come first: "nuvstat --format csv corr".
    if (a == "--format" || a.compare(0, 9, "--format=") == 0) {
      std::string value;
      if (a.size() > 8) {
        value = a.substr(9);
      } else {
        if (i + 1 >= args.size()) throw UsageError("--format needs a value", "");
        value = args[++i];
      }
      opt.OutFormat = ParseFormat(value, "");
      continue;
    }
    break;
  }
  if (i >= args.size()) throw UsageError("no command given", "");
  const CommandInfo* info = FindCommand(args[i]);
  if (info == nullptr) throw UsageError("unknown command \"" + args[i] + "\"", "");
  opt.Command = info->Name;
  const std::string& cmd = opt.Command;
  const bool isPca = cmd == "pca";
  const bool isCorr = cmd == "corr";
  const bool isSignal = cmd == "smooth" || cmd == "derivative" || cmd == "spectrum" ||
                        cmd == "density";
  ++i;
  // "nuvstat test ttest ...": the analysis comes right after the command.
  if (info->Subs != nullptr) {
    if (i < args.size() && (args[i] == "--help" || args[i] == "-h")) {
      opt.Help = true;
      return opt;
    }
    if (i >= args.size())
      throw UsageError(cmd + " needs an analysis: " + ListText(info->Subs), cmd);
    if (!InList(info->Subs, args[i]))
      throw UsageError("unknown analysis \"" + args[i] + "\" for " + cmd + " (use " +
                           ListText(info->Subs) + ")",
                       cmd);
    opt.Sub = args[i++];
  }

  bool haveFile = false;
  bool optionsEnded = false;
  bool delimiterGiven = false;
  InputOptions& in = opt.Input;
  for (; i < args.size(); ++i) {
    std::string a = args[i];
    if (optionsEnded || a == "-" || a.size() < 2 || a[0] != '-') {
      if (haveFile) throw UsageError("more than one FILE given", cmd);
      in.File = a;
      haveFile = true;
      continue;
    }
    if (a == "--") {
      optionsEnded = true;
      continue;
    }
    // --name=value is the same as --name value.
    std::string value;
    bool inlineValue = false;
    const size_t eq = a.find('=');
    if (a.compare(0, 2, "--") == 0 && eq != std::string::npos) {
      value = a.substr(eq + 1);
      a.resize(eq);
      inlineValue = true;
    }
    auto takeValue = [&]() -> std::string {
      if (inlineValue) return value;
      if (i + 1 >= args.size()) throw UsageError(a + " needs a value", cmd);
      return args[++i];
    };
    auto noValue = [&]() {
      if (inlineValue) throw UsageError(a + " takes no value", cmd);
    };
    if (a == "--help" || a == "-h") {
      noValue();
      opt.Help = true;
    } else if (a == "--format") {
      opt.OutFormat = ParseFormat(takeValue(), cmd);
    } else if (a == "--header") {
      const std::string v = takeValue();
      if (v == "auto") in.Header = Choice::Auto;
      else if (v == "yes") in.Header = Choice::Yes;
      else if (v == "no") in.Header = Choice::No;
      else throw UsageError("--header needs auto, yes or no, not \"" + v + "\"", cmd);
    } else if (a == "--row-names") {
      noValue();
      in.RowNames = true;
    } else if (a == "--skip") {
      in.Skip = ParseCount(takeValue(), a, cmd, 0);
    } else if (a == "--delimiter") {
      in.Delimiter = ParseDelimiter(takeValue(), cmd);
      delimiterGiven = true;
    } else if (a == "--decimal") {
      const std::string v = takeValue();
      if (v != "." && v != ",") throw UsageError("--decimal needs . or ,, not \"" + v + "\"", cmd);
      in.Decimal = v[0];
    } else if (a == "--na") {
      in.NaWords.push_back(takeValue());
    } else if (a == "--columns") {
      for (std::string& c : SplitList(takeValue(), a, cmd)) in.Columns.push_back(std::move(c));
    } else if (a == "--exclude") {
      for (std::string& c : SplitList(takeValue(), a, cmd)) in.Exclude.push_back(std::move(c));
    } else if (a == "--sample") {
      in.Sample = takeValue();
      if (in.Sample != "iris")
        throw UsageError("unknown sample \"" + in.Sample + "\" (the bundled one is iris)", cmd);
    } else if (a == "--table") {
      opt.TableName = takeValue();
      if (!HasTable(*info, opt.TableName)) {
        std::string list = info->Tables;
        for (char& ch : list)
          if (ch == '|') ch = ',';
        throw UsageError("unknown table \"" + opt.TableName + "\" for " + cmd + " (use one of " +
                             list + ")",
                         cmd);
      }
    } else if (info->Plots && a == "--plot") {
      opt.PlotFile = takeValue();
      if (opt.PlotFile.empty()) throw UsageError("--plot needs a file name", cmd);
    } else if (isPca && a == "--components") {
      opt.Components = ParseCount(takeValue(), a, cmd, 1);
    } else if ((isPca || cmd == "cluster") && a == "--standardize") {
      noValue();
      opt.Standardize = true;
    } else if (isPca && a == "--scores") {
      noValue();
      opt.Scores = true;
    } else if (cmd == "regress" && a == "--y") {
      opt.YColumn = takeValue();
      if (opt.YColumn.empty()) throw UsageError("--y needs a column name or number", cmd);
    } else if ((isCorr || cmd == "cov") && a == "--complete") {
      noValue();
      opt.Complete = true;
    } else if (isCorr && a == "--p") {
      noValue();
      opt.PValues = true;
    } else if (isCorr && a == "--method") {
      const std::string v = takeValue();
      if (v == "pearson") opt.CorrMethod = Method::Pearson;
      else if (v == "spearman") opt.CorrMethod = Method::Spearman;
      else if (v == "kendall") opt.CorrMethod = Method::Kendall;
      else throw UsageError("unknown method \"" + v + "\" (use pearson, spearman or kendall)", cmd);
    } else if (cmd == "test" && TestTakes(opt.Sub, a)) {
      if (a == "--alpha") {
        const std::string text = takeValue();
        opt.Alpha = ParseReal(text, a, cmd);
        if (!(opt.Alpha > 0.0 && opt.Alpha < 1.0))
          throw UsageError("--alpha needs a level between 0 and 1, not \"" + text + "\"", cmd);
      } else if (a == "--by") {
        opt.By = takeValue();
        if (opt.By.empty()) throw UsageError("--by needs a column name or number", cmd);
      } else if (a == "--mu") {
        opt.Mu = ParseReal(takeValue(), a, cmd);
        opt.HaveMu = true;
      } else if (a == "--sd") {
        opt.Sd = ParseReal(takeValue(), a, cmd);
        if (!(opt.Sd > 0.0)) throw UsageError("--sd needs a positive number", cmd);
      } else if (a == "--paired") {
        noValue();
        opt.Paired = true;
      } else if (a == "--welch") {
        noValue();
        opt.Welch = true;
      } else {
        opt.Outliers = takeValue();
        if (opt.Outliers != "grubbs" && opt.Outliers != "dixon" && opt.Outliers != "both")
          throw UsageError("unknown method \"" + opt.Outliers + "\" (use grubbs, dixon or both)",
                           cmd);
      }
    } else if (isSignal && a == "--column") {
      opt.Column = takeValue();
      if (opt.Column.empty()) throw UsageError("--column needs a column name or number", cmd);
    } else if (cmd == "smooth" && a == "--method") {
      opt.SmoothMethod = takeValue();
      if (!InList("mean|triangle|median|savgol", opt.SmoothMethod))
        throw UsageError("unknown method \"" + opt.SmoothMethod +
                             "\" (use mean, triangle, median or savgol)",
                         cmd);
    } else if ((cmd == "smooth" || cmd == "derivative") && a == "--width") {
      opt.Width = ParseCount(takeValue(), a, cmd, 3);
    } else if (cmd == "derivative" && a == "--order") {
      const std::string v = takeValue();
      if (v != "1" && v != "2") throw UsageError("--order needs 1 or 2, not \"" + v + "\"", cmd);
      opt.Order = v[0] - '0';
    } else if (cmd == "derivative" && a == "--step") {
      opt.Step = ParsePositive(takeValue(), a, cmd);
    } else if (cmd == "derivative" && a == "--x") {
      opt.SeriesX = takeValue();
      if (opt.SeriesX.empty()) throw UsageError("--x needs a column name or number", cmd);
    } else if (cmd == "spectrum" && a == "--window") {
      opt.Window = takeValue();
      if (!InList(kWindows, opt.Window))
        throw UsageError("unknown window \"" + opt.Window + "\" (use " + ListText(kWindows) + ")",
                         cmd);
    } else if (cmd == "spectrum" && a == "--rate") {
      opt.Rate = ParsePositive(takeValue(), a, cmd);
    } else if (cmd == "spectrum" && a == "--segment") {
      opt.Segment = ParseCount(takeValue(), a, cmd, 8);
      if ((opt.Segment & (opt.Segment - 1)) != 0)
        throw UsageError("--segment needs a power of two, not " + std::to_string(opt.Segment), cmd);
    } else if (cmd == "density" && a == "--grid") {
      opt.Grid = ParseCount(takeValue(), a, cmd, 11);
      if (opt.Grid > 10001) throw UsageError("--grid takes at most 10001 points", cmd);
    } else if (cmd == "density" && a == "--width") {
      opt.Bandwidth = ParsePositive(takeValue(), a, cmd);
    } else if (cmd == "density" && a == "--window") {
      opt.LocalWindow = ParsePositive(takeValue(), a, cmd);
    } else if (cmd == "density" && a == "--factor") {
      opt.Factor = ParsePositive(takeValue(), a, cmd);
    } else if (cmd == "density" && a == "--from") {
      opt.From = ParseReal(takeValue(), a, cmd);
    } else if (cmd == "density" && a == "--to") {
      opt.To = ParseReal(takeValue(), a, cmd);
    } else if ((cmd == "describe" || isPca) && a == "--by") {
      opt.By = takeValue();
      if (opt.By.empty()) throw UsageError("--by needs a column name or number", cmd);
    } else if (ParseFitOption(opt, a, takeValue, noValue, args, i)) {
    } else {
      throw UsageError("unknown option \"" + a + "\" for " + cmd +
                           (opt.Sub.empty() ? "" : " " + opt.Sub),
                       cmd);
    }
  }
  if (opt.Help) return opt;
  CheckFitOptions(opt);
  if (cmd == "regress" && opt.YColumn.empty()) throw UsageError("regress needs --y COLUMN", cmd);
  if (opt.Sub == "ttest" && opt.HaveMu && (opt.Paired || !opt.By.empty()))
    throw UsageError("ttest --mu tests each column on its own: not with --paired or --by", cmd);
  if (opt.Sub == "ttest" && opt.Paired && !opt.By.empty())
    throw UsageError("ttest --paired takes two columns, not --by groups", cmd);
  if (opt.Sub == "ttest" && opt.Paired && opt.Welch)
    throw UsageError("ttest --paired has no variances to pool: not with --welch", cmd);
  if (opt.Sub == "anova" && opt.By.empty()) throw UsageError("anova needs --by COLUMN", cmd);
  if (isPca && !opt.By.empty() && opt.PlotFile.empty())
    throw UsageError("--by colours the plot: give --plot FILE.svg too", cmd);
  if (isSignal && opt.Column.empty()) throw UsageError(cmd + " needs --column COLUMN", cmd);
  if (cmd == "derivative" && opt.Step > 0 && !opt.SeriesX.empty())
    throw UsageError("--step and --x given: choose one", cmd);
  if (cmd == "density" && opt.Bandwidth > 0 && opt.LocalWindow > 0)
    throw UsageError("--width and --window given: choose one", cmd);
  if (cmd == "density" && opt.From >= opt.To)
    throw UsageError("--from must be below --to", cmd);
  if (in.Decimal == ',' && !delimiterGiven) in.Delimiter = ';';
  if (in.Decimal == ',' && in.Delimiter == ',')
    throw UsageError("--decimal , needs another delimiter than the comma", cmd);
  if (!in.Sample.empty() && haveFile)
    throw UsageError("--sample and a FILE given: choose one", cmd);
  if (isPca && opt.TableName == "scores") opt.Scores = true;
  if (isCorr && opt.TableName == "p") opt.PValues = true;
  return opt;
}

}  // namespace nuvstat
