// Statistics: special functions (log-gamma, incomplete gamma and beta, error
// function, binomial coefficients), the normal, chi-square, t, F, Weibull,
// hypergeometric and Mann-Whitney U distributions, Fisher's z, and the null
// distributions of the Kolmogorov-Smirnov, Lilliefors and Shapiro-Wilk
// statistics; hypothesis tests (outliers, normality, runs, one-way analysis of
// variance, two-sample t and Mann-Whitney tests, Wilcoxon signed-rank critical
// values), percentiles of arrays, kernel density estimation, and the text file of
// a partial-least-squares model; TRandGen, random numbers of any tabulated
// distribution, and TCrossValidator, repeated random-split validation of an
// application's model.
//
// Two accuracy classes live side by side: the quick approximations of
// gamma_erf_beta.h and the normal integral (1e-8 tolerances), and the
// chi-square, t and F functions, which carry their own full-precision
// incomplete gamma and beta (relative error near 1e-14 up to 10^6 degrees of
// freedom).
#pragma once

#include "Nuv_statis/chi2_distribution.h"
#include "Nuv_statis/crossval.h"
#include "Nuv_statis/density.h"
#include "Nuv_statis/f_distribution.h"
#include "Nuv_statis/hyptest_anova.h"
#include "Nuv_statis/hyptest_normality.h"
#include "Nuv_statis/hyptest_outliers.h"
#include "Nuv_statis/hyptest_percentile.h"
#include "Nuv_statis/hyptest_runs.h"
#include "Nuv_statis/hyptest_twosample.h"
#include "Nuv_statis/hyptest_wilcoxon.h"
#include "Nuv_statis/ks_pvalue.h"
#include "Nuv_statis/ks_tests.h"
#include "Nuv_statis/mann_whitney_u.h"
#include "Nuv_statis/normal_distribution.h"
#include "Nuv_statis/pls_model_file.h"
#include "Nuv_statis/randgen.h"
#include "Nuv_statis/shapiro_wilk.h"
#include "Nuv_statis/gamma_erf_beta.h"
#include "Nuv_statis/t_distribution.h"
#include "Nuv_statis/weibull_hypergeometric.h"
