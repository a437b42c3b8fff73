#!/usr/bin/env python3
"""Runs nuvstat with --format csv for every command and table and loads each
output with pandas.read_csv as it stands. Exit status 77 (skipped) without pandas.

    load_csv_output.py NUVSTAT REAL_FILES_DIR
"""
import io
import subprocess
import sys

try:
    import pandas as pd
except ImportError:
    print("pandas is not installed: skipped")
    sys.exit(77)

nuvstat, real = sys.argv[1], sys.argv[2]
aq = real + "/r_airquality_write_csv.csv"
runs = {
    ("describe", "describe"): ["describe", aq],
    ("describe", "other_columns"): ["describe", "--table", "other_columns", aq],
    ("describe", "by"): ["describe", "--by", "Species", real + "/r_iris_write_csv.csv"],
    ("corr", "correlation"): ["corr", aq],
    ("corr", "n"): ["corr", "--table", "n", aq],
    ("corr", "p"): ["corr", "--table", "p", "--method", "kendall", aq],
    ("cov", "covariance"): ["cov", aq],
    ("pca", "eigenvalues"): ["pca", aq],
    ("pca", "loadings"): ["pca", "--table", "loadings", aq],
    ("pca", "scores"): ["pca", "--table", "scores", aq],
    ("regress", "coefficients"): ["regress", "--y", "Temp", aq],
    ("regress", "fit"): ["regress", "--y", "Temp", "--table", "fit", aq],
}
failed = 0
for (cmd, table), args in runs.items():
    out = subprocess.run([nuvstat] + args + ["--format", "csv"], capture_output=True,
                         text=True, check=True).stdout
    frame = pd.read_csv(io.StringIO(out))
    # Every value column must read as numbers, the label columns as texts.
    labels = 2 if table == "by" else 1
    values = frame.iloc[:, labels:]
    bad = [c for c in values.columns if not pd.api.types.is_numeric_dtype(values[c])]
    if frame.empty or bad:
        print("%s --table %s: %s" % (cmd, table, "empty" if frame.empty else "not numeric: %s" % bad))
        failed += 1
    if frame.iloc[:, 0].isna().any():
        print("%s --table %s: a label reads as missing" % (cmd, table))
        failed += 1
    print("%s --table %s: %d x %d" % (cmd, table, frame.shape[0], frame.shape[1]))
sys.exit(1 if failed else 0)
