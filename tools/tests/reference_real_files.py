#!/usr/bin/python3
"""Reference figures for nuvstat's tests on tests/data/real_files, from pandas,
scipy and statsmodels (not from nuv). Run from the repository's root:

    /usr/bin/python3 tools/tests/reference_real_files.py

pandas 1.5.3, scipy 1.10.1, statsmodels 0.13.5 gave the figures in
tools/tests/nuvstat_tests.cmake.
"""
import numpy as np
import pandas as pd
import scipy.stats as st
import statsmodels.api as sm

D = "tests/data/real_files/"
pd.set_option("display.precision", 10)
pd.set_option("display.width", 200)


def show(title, value):
    print("==", title)
    print(value)


aq = pd.read_csv(D + "r_airquality_write_csv.csv")
num = aq[["Ozone", "Solar.R", "Wind", "Temp"]]
show("airquality describe (pandas)", num.describe())
show("airquality pairwise corr (pandas)", num.corr())
show("airquality pairwise counts", num.notna().astype(int).T @ num.notna().astype(int))
show("airquality listwise corr", num.dropna().corr())
show("airquality spearman pairwise (pandas)", num.corr(method="spearman"))
show("airquality kendall pairwise (pandas)", num.corr(method="kendall"))
pair = num[["Ozone", "Temp"]].dropna()
show("Ozone/Temp pearsonr", st.pearsonr(pair.Ozone, pair.Temp))
show("Ozone/Temp spearmanr", st.spearmanr(pair.Ozone, pair.Temp))
show("Ozone/Temp kendalltau asymptotic", st.kendalltau(pair.Ozone, pair.Temp, method="asymptotic"))

iris = pd.read_csv(D + "r_iris_write_csv.csv", index_col=0)
show("iris by species (pandas)", iris.groupby("Species")["Petal.Length"].describe())
show("iris skew by species", iris.groupby("Species")["Petal.Length"].skew())

wine = pd.read_csv(D + "r_wine_write_csv2.csv", sep=";", decimal=",", index_col=0)
show("wine csv2 cov (pandas)", wine.cov())

lin = pd.read_csv(D + "r_linnerud_write_table.tsv", sep="\t")
show("linnerud tsv row names", lin.index[:3].tolist())
show("linnerud corr", lin.corr())

boston = pd.read_csv(D + "sklearn_boston_house_prices.csv", skiprows=1)
fit = sm.OLS(boston.MEDV, sm.add_constant(boston.drop(columns="MEDV"))).fit()
show("boston OLS params", fit.params)
show("boston OLS conf_int", fit.conf_int(0.05))
show("boston OLS F, p", (fit.fvalue, fit.f_pvalue, fit.rsquared, fit.rsquared_adj))

sk_iris = pd.read_csv(D + "sklearn_iris.csv", skiprows=1, header=None)
show("sklearn iris --skip 1 covariance eigenvalues",
     np.sort(np.linalg.eigvalsh(sk_iris.cov().values))[::-1])

pct = pd.read_csv(D + "mpl_percent_bachelors.csv")
show("percent bachelors corr Year/Biology", pct["Year"].corr(pct["Biology"]))

stocks = pd.read_csv(D + "mpl_stocks_shape.csv", comment="#")
show("stocks describe AMZN", stocks["AMZN"].describe())
show("stocks pairwise corr", stocks.drop(columns="Date").corr())

trail = pd.read_csv(D + "trailing_delimiter.csv")
show("trailing delimiter corr", trail[["x", "y", "z"]].corr())

# Values near 1e300 (tools/tests/data/huge_corr.csv): r of x and y.
h = pd.read_csv("tools/tests/data/huge_corr.csv")
show("huge corr (scipy on scaled values)", st.pearsonr(h.x / 1e300, h.y / 1e300))
