"""Times pandas.read_csv on the CSV texts of datatable_bench (the same
generator: 10^6 rows x 10 numeric columns with six decimals, and the same
with a species column), single-threaded (pandas' C parser has one thread).

Run with the Python that has pandas: /usr/bin/python3 bench/datatable_pandas.py
"""
import io
import time

import numpy as np
import pandas as pd

ROWS, COLS = 1_000_000, 10


def make_csv(text):
    rng = np.random.default_rng(4711)
    data = (rng.random((ROWS, COLS)) - 0.5) * 2000.0
    df = pd.DataFrame(data, columns=[f"x{c}" for c in range(1, COLS + 1)])
    if text:
        df["species"] = np.array(["setosa", "versicolor", "virginica"])[np.arange(ROWS) % 3]
    return df.to_csv(index=False, float_format="%.6f")


def best_of(text, repeats=3):
    times = []
    for _ in range(repeats):
        t0 = time.process_time()
        pd.read_csv(io.StringIO(text), engine="c")
        times.append(time.process_time() - t0)
    times.sort()
    return times[len(times) // 2]


if __name__ == "__main__":
    for label, text in (("numeric", make_csv(False)), ("with a text column", make_csv(True))):
        print(f"pandas {pd.__version__} read_csv, {label}: {best_of(text) * 1000:.0f} ms "
              f"(median of 3, CPU time, {len(text) / 1e6:.0f} MB)")
