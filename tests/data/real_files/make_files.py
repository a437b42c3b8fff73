#!/usr/bin/python3
"""Writes the real-file samples nuvstat's tests read, from the Debian packages
python3-sklearn and python3-matplotlib (their licence-free sample data) and, for
the shapes R writes, from pandas. Run from this directory:

    /usr/bin/python3 make_files.py

Files copied as they ship: sklearn_*.csv, mpl_data_x_x2_x3.csv,
mpl_percent_bachelors.csv. Files in the shape of a package's file but with
made-up numbers (the originals are market data): mpl_msft_shape.csv,
mpl_stocks_shape.csv. Files in the shapes of R's write.csv, write.csv2 and
write.table: r_*.
"""
import gzip
import shutil

import numpy as np
import pandas as pd

SK = "/usr/lib/python3/dist-packages/sklearn/datasets/data/"
MPL = "/usr/share/matplotlib/mpl-data/sample_data/"

for name in ["iris", "wine_data", "breast_cancer", "boston_house_prices",
             "linnerud_exercise", "linnerud_physiological"]:
    shutil.copyfile(SK + name + ".csv", "sklearn_" + name + ".csv")
with gzip.open(SK + "diabetes_data_raw.csv.gz", "rb") as src, \
        open("sklearn_diabetes_data_raw.csv", "wb") as dst:
    shutil.copyfileobj(src, dst)
shutil.copyfile(MPL + "data_x_x2_x3.csv", "mpl_data_x_x2_x3.csv")
shutil.copyfile(MPL + "percent_bachelors_degrees_women_usa.csv", "mpl_percent_bachelors.csv")

rng = np.random.default_rng(20261208)

# msft.csv's shape: Date as 19-Sep-03, prices, a volume, a header ending in "*".
days = pd.bdate_range("2003-06-20", periods=64)[::-1]
close = 28 + np.cumsum(rng.normal(0, 0.3, 64))
with open("mpl_msft_shape.csv", "w") as f:
    f.write("Date,Open,High,Low,Close,Volume,Adj. Close*\n")
    for d, c in zip(days, close):
        o = c + rng.normal(0, 0.2)
        f.write("%s,%.2f,%.2f,%.2f,%.2f,%d,%.2f\n" % (
            d.strftime("%d-%b-%y"), o, max(o, c) + 0.3, min(o, c) - 0.3, c,
            int(rng.integers(3e7, 9e7)), c - 0.17))

# Stocks.csv's shape: a comment line, ISO dates, prices with 17 digits, empty cells
# where a share was not yet listed, a column named "^GSPC".
months = pd.date_range("1990-01-01", periods=120, freq="MS")
with open("mpl_stocks_shape.csv", "w") as f:
    f.write("# Data source: made-up prices in the shape of a package's sample\n")
    f.write("Date,IBM,AAPL,AMZN,^GSPC\n")
    ibm, aapl, amzn, gspc = 11.0, 0.25, 2.0, 330.0
    for i, m in enumerate(months):
        ibm *= np.exp(rng.normal(0.005, 0.05))
        aapl *= np.exp(rng.normal(0.01, 0.08))
        amzn *= np.exp(rng.normal(0.02, 0.1))
        gspc *= np.exp(rng.normal(0.006, 0.04))
        f.write("%s,%r,%r,%s,%r\n" % (m.strftime("%Y-%m-%d"), ibm, aapl,
                                      repr(amzn) if i >= 40 else "", gspc))

iris = pd.read_csv(SK + "iris.csv", skiprows=1, header=None,
                   names=["Sepal.Length", "Sepal.Width", "Petal.Length", "Petal.Width", "Species"])
iris["Species"] = iris["Species"].map({0: "setosa", 1: "versicolor", 2: "virginica"})
iris.index = range(1, len(iris) + 1)

# write.csv(iris): quoted header with "" above the row names, quoted row names and texts.
with open("r_iris_write_csv.csv", "w") as f:
    f.write('"","Sepal.Length","Sepal.Width","Petal.Length","Petal.Width","Species"\n')
    for i, r in iris.iterrows():
        f.write('"%d",%r,%r,%r,%r,"%s"\n' % (i, r.iloc[0], r.iloc[1], r.iloc[2], r.iloc[3], r.iloc[4]))

# write.csv2(wine): ";" between cells, decimal commas, quoted row names and header.
wine = pd.read_csv(SK + "wine_data.csv", skiprows=1, header=None).iloc[:, :5]
wine.columns = ["alcohol", "malic_acid", "ash", "alcalinity", "magnesium"]
with open("r_wine_write_csv2.csv", "w") as f:
    f.write('"";' + ";".join('"%s"' % c for c in wine.columns) + "\n")
    for i, r in wine.iterrows():
        f.write('"%d";' % (i + 1) + ";".join(repr(float(v)).replace(".", ",").replace(",0", "")
                                             if float(v) == int(v) else repr(float(v)).replace(".", ",")
                                             for v in r) + "\n")

# write.table(linnerud, sep = "\t"): the header one cell short, row names below.
ex = pd.read_csv(SK + "linnerud_exercise.csv", sep=r"\s+")
ph = pd.read_csv(SK + "linnerud_physiological.csv", sep=r"\s+")
lin = pd.concat([ex, ph], axis=1)
with open("r_linnerud_write_table.tsv", "w") as f:
    f.write("\t".join('"%s"' % c for c in lin.columns) + "\n")
    for i, r in lin.iterrows():
        f.write('"%d"\t' % (i + 1) + "\t".join(str(int(v)) for v in r) + "\n")

# write.csv(airquality-like, row.names = FALSE): NA cells, a Date column.
n = 60
aq = pd.DataFrame({
    "Ozone": rng.gamma(2.0, 20.0, n).round(0),
    "Solar.R": rng.uniform(10, 330, n).round(0),
    "Wind": rng.uniform(2, 20, n).round(1),
    "Temp": rng.integers(56, 97, n).astype(float),
    "Date": pd.date_range("1973-05-01", periods=n).strftime("%Y-%m-%d"),
})
aq.loc[[0, 4, 9, 24, 25, 31], "Ozone"] = np.nan
aq.loc[[4, 10, 26], "Solar.R"] = np.nan
with open("r_airquality_write_csv.csv", "w") as f:
    f.write('"Ozone","Solar.R","Wind","Temp","Date"\n')
    for _, r in aq.iterrows():
        cell = lambda v: "NA" if pd.isna(v) else ("%d" % v if v == int(v) else repr(v))
        f.write("%s,%s,%s,%s,\"%s\"\n" % (cell(r.Ozone), cell(r["Solar.R"]), cell(r.Wind),
                                          cell(r.Temp), r.Date))

# write.table(iris[1:40, ], sep = " ", quote = FALSE): blank separated, header one short.
with open("r_iris_write_table.txt", "w") as f:
    f.write(" ".join(iris.columns) + "\n")
    for i, r in iris.iloc[:40].iterrows():
        f.write("%d %r %r %r %r %s\n" % (i, r.iloc[0], r.iloc[1], r.iloc[2], r.iloc[3], r.iloc[4]))

# A spreadsheet export with a delimiter at the end of every line.
with open("trailing_delimiter.csv", "w") as f:
    f.write("x,y,z,\n")
    for i in range(1, 21):
        f.write("%d,%r,%r,\n" % (i, round(2.5 * i + np.sin(i), 6), round(100.0 / i, 6)))
