#!/usr/bin/python3
"""Reference figures for the cases of `nuvstat test` in nuvstat_test_tests.cmake, from
scipy and statsmodels or closed forms written out here (not from nuv). Run from the
repository's root:

    /usr/bin/python3 tools/tests/reference_tests.py

scipy 1.10.1, statsmodels 0.13.5, pandas 1.5.3 gave the figures in the tests.
"""
import math

import numpy as np
import pandas as pd
import scipy.stats as st
from scipy.special import comb
from statsmodels.stats.diagnostic import lilliefors

D = "tools/tests/data/"


def show(title, *values):
    print("==", title)
    for v in values:
        print("  ", v)


two = pd.read_csv(D + "two_samples.csv")
x, y = two.x.dropna(), two.y.dropna()
show("ttest_1samp(x, 5.5)", len(x), x.mean(), st.ttest_1samp(x, 5.5))
pair = two.dropna(subset=["x", "y"])
show("ttest_rel(x, y) on pairwise complete rows", len(pair), (pair.x - pair.y).mean(),
     st.ttest_rel(pair.x, pair.y))
show("ttest_ind(x, y, equal_var=True)", st.ttest_ind(x, y, equal_var=True))
vx, vy = x.var() / len(x), y.var() / len(y)
df_w = (vx + vy) ** 2 / (vx ** 2 / (len(x) - 1) + vy ** 2 / (len(y) - 1))
show("ttest_ind(x, y, equal_var=False), Welch df", st.ttest_ind(x, y, equal_var=False), df_w)
for col in ["x", "y"]:
    g = two.dropna(subset=[col, "group"])
    a, b = g[g.group == "ctl"][col], g[g.group == "trt"][col]
    show(f"{col} by group: ttest_ind pooled, Welch, mannwhitneyu exact (no ties)", len(a), len(b),
         a.mean(), b.mean(), st.ttest_ind(a, b), st.ttest_ind(a, b, equal_var=False),
         st.mannwhitneyu(a, b, alternative="two-sided", method="exact"))
show("mannwhitneyu(x, y) asymptotic (ties)", st.mannwhitneyu(x, y, alternative="two-sided",
                                                             method="asymptotic"))
show("shapiro x, y", st.shapiro(x), st.shapiro(y))
show("kstest(x, 'norm', args=(5.5, 0.5))", st.kstest(x, "norm", args=(5.5, 0.5)))
show("lilliefors(x) D, p (Dallal-Wilkinson)", lilliefors(x, "norm", pvalmethod="approx"))


def dallal_wilkinson(n, d, c=0.974598):
    # The published approximation (n <= 100); c = 0.97498 is the library's constant.
    m = n + 2.78019
    return math.exp(-7.01256 * d * d * m + 2.99587 * d * math.sqrt(m) - 0.122119 +
                    c / math.sqrt(n) + 1.67997 / n)

three = pd.read_csv(D + "three_groups.csv").dropna()
groups = [g["yield"].values for _, g in three.groupby("plot", sort=False)]
grand = three["yield"].mean()
ssb = sum(len(g) * (g.mean() - grand) ** 2 for g in groups)
ssw = sum(((g - g.mean()) ** 2).sum() for g in groups)
show("f_oneway(yield by plot), SSbetween, SSwithin", st.f_oneway(*groups), ssb, ssw)


def grubbs(v, alpha):
    v = np.asarray(v, float)
    n = len(v)
    dev = np.abs(v - v.mean()) / v.std(ddof=1)
    t = st.t.ppf(1 - alpha / (2 * n), n - 2)
    return dev.max(), dev.argmax() + 1, (n - 1) / math.sqrt(n) * math.sqrt(t * t / (n - 2 + t * t))


def dixon_r11(v):
    # n = 8..10: (x2 - x1)/(x(n-1) - x1) at the low end, (xn - x(n-1))/(xn - x2) at the high.
    s = np.sort(np.asarray(v, float))
    return max((s[1] - s[0]) / (s[-2] - s[0]), (s[-1] - s[-2]) / (s[-1] - s[1]))


out = pd.read_csv(D + "outlier.csv")
for col in ["v", "w"]:
    show(f"Grubbs {col} at 0.05 (G, position, critical)", grubbs(out[col], 0.05))
    show(f"Dixon r11 {col}", dixon_r11(out[col]))


def runs_exact_le(n1, n2, r):
    # P(R <= r) for n1 and n2 items in random order, from the counts of the runs.
    total = comb(n1 + n2, n1, exact=True)
    count = 0
    for k in range(2, r + 1):
        if k % 2 == 0:
            m = k // 2
            count += 2 * comb(n1 - 1, m - 1, exact=True) * comb(n2 - 1, m - 1, exact=True)
        else:
            m = (k - 1) // 2
            count += (comb(n1 - 1, m, exact=True) * comb(n2 - 1, m - 1, exact=True) +
                      comb(n1 - 1, m - 1, exact=True) * comb(n2 - 1, m, exact=True))
    return count / total


ser = pd.read_csv(D + "series.csv")
for col in ["s", "t"]:
    d, p = lilliefors(ser[col].dropna(), "norm", pvalmethod="approx")
    n = len(ser[col].dropna())
    show(f"lilliefors {col}: D, p, p with 0.97498", d, p, dallal_wilkinson(n, d, 0.97498))
for col in ["s", "t"]:
    v = ser[col].dropna().values
    above = v > np.median(v)
    n1, n0 = int(above.sum()), int((~above).sum())
    runs = 1 + int((above[1:] != above[:-1]).sum())
    N = n1 + n0
    S = 2 * n1 * n0
    mu = S / N + 1
    sigma = math.sqrt(S * (S - N) / (N * N * (N - 1)))
    z = (runs - mu) / sigma
    show(f"runs {col}: n, above, below, runs, expected, exact P(R<=runs), normal Phi(-|z|)",
         N, n1, n0, runs, mu, runs_exact_le(n1, n0, runs), st.norm.cdf(-abs(z)))
