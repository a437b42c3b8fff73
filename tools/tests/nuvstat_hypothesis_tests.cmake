# CTest cases of `nuvstat test`. The expected figures come from scipy 1.10.1 and
# statsmodels 0.13.5 through tools/tests/reference_tests.py (the call that gave each is
# named beside it), or from published tables where the library's test compares with one.
# two_samples.csv: x (one empty cell, row 4), y (row 7), group ctl/trt (row 12 empty).

# ---- ttest --------------------------------------------------------------------------
# scipy.stats.ttest_1samp(x.dropna(), 5.5): t 0.5007733956671927, p 0.62736827731449, df 10.
nuvstat_test(test_ttest_one_sample ARGS test ttest --mu 5.5 --columns x ${D}/two_samples.csv
  OUT "analysis: one-sample t test" "H0: the mean of the column is 5\\.5" "alpha: 0\\.05"
      "\ncolumn +n +left out +mean +t +df +p value +decision\n"
      "\nx +11 +1 +5\\.58182 +0\\.500773 +10 +0\\.627368 +keep H0\n")
# Paired on the 10 rows where both hold a number: scipy.stats.ttest_rel(x, y) on
# two.dropna(subset=["x", "y"]): t -1.2350948123670185, p 0.2480656144965715, df 9.
nuvstat_test(test_ttest_paired ARGS test ttest --paired --format csv --columns x,y ${D}/two_samples.csv
  CSV_TABLE
  OUT "^pair,n,left out,mean difference,t,df,p value,decision\n"
      "\nx - y,10,2,-0\\.2699999[0-9]*,-1\\.23509481236[0-9]*,9,0\\.24806561449[0-9]*,keep H0\n")
# Two columns, all their values: scipy.stats.ttest_ind(x, y, equal_var=True): t
# -1.2579418040663015, p 0.22290204009022463 (df 20); equal_var=False: p 0.2235392913896128,
# Welch-Satterthwaite df 19.145727782614284 (formula in reference_tests.py).
nuvstat_test(test_ttest_student ARGS test ttest ${D}/two_samples.csv
  OUT "pooled variance \\(Student\\)" "\nx vs y +11 +11 +2 +5\\.58182 +5\\.90909 +-1\\.25794 +20 +0\\.222902 +keep H0\n")
nuvstat_test(test_ttest_welch ARGS test ttest --welch --format json ${D}/two_samples.csv
  OUT "\"analysis\": \"two-sample t test, separate variances \\(Welch\\)\""
      "{\"columns\": \"x vs y\", \"n1\": 11, \"n2\": 11, \"left out\": 2, \"mean1\": 5\\.58181818181818[0-9]*, \"mean2\": 5\\.9090909090909[0-9]*, \"t\": -1\\.257941804066[0-9]*, \"df\": 19\\.14572778261[0-9]*, \"p value\": 0\\.223539291389[0-9]*, \"decision\": \"keep H0\"}")
# Split by group (ctl first, as it appears first): x ctl n 6, trt n 4; y 5 and 5.
# scipy.stats.ttest_ind(ctl, trt): x t 1.7908093175791857 p 0.11110212795216502;
# y t -0.9511127086814622 p 0.36939347761398095; equal_var=False: x t 1.7134569647200317
# p 0.14081363904665262, y p 0.36940370810779366.
nuvstat_test(test_ttest_by ARGS test ttest --by group ${D}/two_samples.csv
  OUT "by: group\ngroup 1: ctl\ngroup 2: trt\n"
      "\nx +6 +4 +2 +5\\.81667 +5\\.225 +1\\.79081 +8 +0\\.111102 +keep H0\n"
      "\ny +5 +5 +2 +5\\.66 +6\\.08 +-0\\.951113 +8 +0\\.369393 +keep H0\n")
nuvstat_test(test_ttest_by_welch ARGS test ttest --by 3 --welch --format csv ${D}/two_samples.csv
  CSV_TABLE
  OUT "\nx,6,4,2,5\\.81666666666666[0-9]*,5\\.225,1\\.71345696472003[0-9]*,[0-9.]+,0\\.1408136390466[0-9]*,keep H0\n"
      "\ny,5,5,2,[0-9.]+,6\\.08,-0\\.951112708681[0-9]*,[0-9.]+,0\\.3694037081077[0-9]*,keep H0\n")
# Decisions follow --alpha: p 0.111 is below 0.2.
nuvstat_test(test_ttest_alpha ARGS test ttest --by group --alpha 0.2 --columns x ${D}/two_samples.csv
  OUT "alpha: 0\\.2\n" "\nx +6 +4 +2 .* 0\\.111102 +reject H0\n")

# ---- mannwhitney ----------------------------------------------------------------------
# No ties within x or y by group: scipy.stats.mannwhitneyu(ctl, trt, method="exact"):
# x U 19 p 0.17142857142857143, y U 8 p 0.42063492063492064.
nuvstat_test(test_mannwhitney_by ARGS test mannwhitney --by group ${D}/two_samples.csv
  OUT "\nx +6 +4 +2 +19 +[-0-9.]+ +0\\.171429 +keep H0\n"
      "\ny +5 +5 +2 +8 +[-0-9.]+ +0\\.420635 +keep H0\n")
# x and y share the value 5.3: the normal approximation with tie and continuity corrections,
# scipy.stats.mannwhitneyu(x, y, method="asymptotic"): U 43, p 0.2634811675769313.
nuvstat_test(test_mannwhitney_columns ARGS test mannwhitney --format csv ${D}/two_samples.csv
  CSV_TABLE OUT "\nx vs y,11,11,2,43,-1\\.118[0-9]*,0\\.263481167576[0-9]*,keep H0\n")

# ---- anova ----------------------------------------------------------------------------
# three_groups.csv (R's PlantGrowth, shortened, one NA): scipy.stats.f_oneway over the
# groups of plot: F 2.4259564152093027, p 0.13037437885568645; SS between 2.49508, within
# 6.17096 (numpy, in reference_tests.py).
nuvstat_test(test_anova ARGS test anova --by plot ${D}/three_groups.csv
  OUT "groups: 3"
      "\nyield +3 +15 +1 +2\\.49508 +6\\.17096 +2\\.42596 +2 +12 +0\\.130374 +keep H0\n")

# ---- shapiro, normality ---------------------------------------------------------------
# scipy.stats.shapiro (single precision): x W 0.9764735698699951 p 0.9433939456939697,
# y W 0.9920693635940552 p 0.9990617036819458. A constant column has no W.
nuvstat_test(test_shapiro ARGS test shapiro ${D}/two_samples.csv
  OUT "\nx +11 +1 +0\\.97647[0-9] +0\\.94339[0-9] +keep H0\n" "\ny +11 +1 +0\\.99206[0-9] +0\\.99906[0-9] +keep H0\n")
nuvstat_test(test_shapiro_constant ARGS test shapiro --columns b ${D}/constant.csv
  OUT "\nb +4 +0 +n/a +n/a +n/a\n")
# scipy.stats.kstest(x, "norm", args=(5.5, 0.5)): D 0.18029233679538093, p 0.8067296427441247
# (the library's normal integral is good to about 1e-8: nine digits are checked).
# statsmodels lilliefors(v, "norm", pvalmethod="approx"), D: series.csv's s
# 0.2571955178391728, t 0.12212072307618294. The library's Dallal-Wilkinson p value
# takes 0.97498/sqrt(n) where statsmodels (and R's nortest) take 0.974598/sqrt(n): with
# that term, the closed form in reference_tests.py gives s 0.0012190015526, t 0.026382153593
# (statsmodels: 0.0012188974326, 0.026380852563).
nuvstat_test(test_normality_ks ARGS test normality --mu 5.5 --sd 0.5 --columns x --format csv ${D}/two_samples.csv
  CSV_TABLE
  OUT "^column,test,n,left out,D,p value,decision\n"
      "\nx,Kolmogorov-Smirnov,11,1,0\\.180292336[0-9]*,0\\.80672964[0-9]*,keep H0\n"
      "\nx,Lilliefors,11,1,0\\.110937796[0-9]*,")
nuvstat_test(test_normality_lilliefors ARGS test normality ${D}/series.csv
  OUT "\ns +Lilliefors +20 +40 +0\\.257196 +0\\.001219 +reject H0\n"
      "\nt +Lilliefors +60 +0 +0\\.122121 +0\\.0263822 +reject H0\n")

# ---- outliers -------------------------------------------------------------------------
# outlier.csv: v has 14.9 in row 8. Grubbs: G = max|x - mean|/s and the two-sided critical
# value ((n-1)/sqrt n) sqrt(t^2/(n-2+t^2)), t = scipy.stats.t.ppf(1 - 0.05/20, 8):
# v G 2.8167290008360655 at position 8, w 1.7473611613050668, critical 2.28995408447961.
# Dixon's r11 (n = 8..10) by hand in reference_tests.py: v 0.8823529411764707, w 0.2;
# the critical r11 for n = 10 is 0.477 at 0.05 and 0.597 at 0.01 (Dixon, Ann. Math.
# Statist. 22 (1951), table of r11).
nuvstat_test(test_outliers ARGS test outliers ${D}/outlier.csv
  OUT "\ncolumn +test +n +left out +statistic +critical value +suspect +row +decision\n"
      "\nv +Grubbs +10 +0 +2\\.81673 +2\\.28995 +14\\.9 +8 +outlier\n"
      "\nv +Dixon +10 +0 +0\\.882353 +0\\.477 +14\\.9 +8 +outlier\n"
      "\nw +Grubbs +10 +0 +1\\.74736 +2\\.28995 +n/a +n/a +no outlier\n"
      "\nw +Dixon +10 +0 +0\\.2 +0\\.477 +n/a +n/a +no outlier\n")
nuvstat_test(test_outliers_dixon ARGS test outliers --method dixon --alpha 0.01 --format json ${D}/outlier.csv
  OUT "{\"column\": \"v\", \"test\": \"Dixon\", \"n\": 10, \"left out\": 0, \"statistic\": 0\\.88235294117647[0-9]*, \"critical value\": 0\\.597, \"suspect\": 14\\.9, \"row\": 8, \"decision\": \"outlier\"}")
# The suspect's row counts the data rows, missing cells included: 14.9 moves to row 9
# when an empty cell comes first.
nuvstat_test(test_outliers_row ARGS test outliers --method grubbs --columns v ${D}/outlier_gap.csv
  OUT "\nv +Grubbs +10 +1 +2\\.81673 +2\\.28995 +14\\.9 +9 +outlier\n")

# ---- runs -----------------------------------------------------------------------------
# series.csv: s (20 values, then empty cells) and t (60 values). Above the median against
# the others, runs counted in reference_tests.py; s: 9 above, 11 below, 4 runs, exact
# P(R <= 4) = 0.0010716837342224339 (counts of the runs distribution with
# scipy.special.comb); t: 30 and 30, 8 runs, normal tail Phi(-|z|) 1.052110317993484e-09.
nuvstat_test(test_runs ARGS test runs ${D}/series.csv
  OUT "\ns +20 +40 +9 +11 +4 +10\\.9 +0\\.00107168 +reject H0\n"
      "\nt +60 +0 +30 +30 +8 +31 +1\\.05211e-09 +reject H0\n")
# A constant column has values on one side only: nothing to test.
nuvstat_test(test_runs_constant ARGS test runs --columns b ${D}/constant.csv
  OUT "\nb +4 +0 +0 +4 +1 +1 +n/a +n/a\n")

# ---- errors: exit 2, one line, nothing on stdout -------------------------------------
nuvstat_test(test_no_analysis ARGS test EXIT 2 OUT_EMPTY
  ERR "^nuvstat: test needs an analysis: ttest, mannwhitney, shapiro, normality, anova, outliers or runs \\(see 'nuvstat test --help'\\)\n$")
nuvstat_test(test_unknown_analysis ARGS test wilcoxon ${D}/small.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: unknown analysis \"wilcoxon\" for test")
nuvstat_test(test_ttest_three_groups ARGS test ttest --by plot ${D}/three_groups.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*three_groups.csv: --by: column \"plot\" has 3 groups \\(ctrl, trt1, trt2\\): ttest compares two\n$")
nuvstat_test(test_mannwhitney_one_group ARGS test mannwhitney --by group --columns x ${D}/one_group.csv
  EXIT 2 OUT_EMPTY ERR "^nuvstat: [^\n]*: --by: column \"group\" has 1 groups? \\(a\\): mannwhitney compares two\n$")
nuvstat_test(test_ttest_too_few ARGS test ttest --mu 0 ${D}/one_row.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*one_row.csv: too few values: ttest --mu needs at least 2, column \"a\" has 1\n$")
nuvstat_test(test_ttest_pooled_too_few ARGS test ttest ${D}/one_row.csv EXIT 2 OUT_EMPTY
  ERR "too few values: ttest needs at least 3 in the two samples together, columns \"a\" and \"b\" together have 2\n$")
nuvstat_test(test_ttest_three_columns ARGS test ttest ${D}/constant.csv EXIT 2 OUT_EMPTY
  ERR "ttest compares two columns, the data has 3 \\(a, b, c\\): choose two with --columns a,b, or give --mu M or --by COLUMN\n$")
nuvstat_test(test_shapiro_too_few ARGS test shapiro ${D}/one_row.csv EXIT 2 OUT_EMPTY
  ERR "too few values: shapiro needs at least 3, column \"a\" has 1\n$")
nuvstat_test(test_anova_no_by ARGS test anova ${D}/small.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: anova needs --by COLUMN \\(see 'nuvstat test --help'\\)\n$")
nuvstat_test(test_outliers_dixon_range ARGS test outliers --sample iris EXIT 2 OUT_EMPTY
  ERR "^nuvstat: bundled Iris sample: Dixon's test takes 3 to 100 values, column \"sepal_length\" has 150 \\(use --method grubbs\\)\n$")
nuvstat_test(test_outliers_dixon_level ARGS test outliers --alpha 0.03 ${D}/outlier.csv EXIT 2 OUT_EMPTY
  ERR "--alpha 0\\.03: Dixon's table has the levels 0\\.001, 0\\.002, 0\\.005, 0\\.01, 0\\.02, 0\\.05, 0\\.1, 0\\.2 and 0\\.5")
nuvstat_test(test_bad_alpha ARGS test runs --alpha 1 ${D}/small.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: --alpha needs a level between 0 and 1, not \"1\"")
nuvstat_test(test_option_of_other_analysis ARGS test shapiro --welch ${D}/small.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: unknown option \"--welch\" for test shapiro")
nuvstat_test(test_help ARGS test --help
  OUT "^usage: nuvstat test ANALYSIS" "\n  ttest +--mu M" "\n  --welch +ttest: separate variances")
