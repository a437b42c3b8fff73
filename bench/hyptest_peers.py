"""Times the scipy peers of hyptest_bench on the same data.

    OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 python3 bench/hyptest_peers.py

Prints the median CPU time of five runs of each.
"""
import time

import numpy as np
import scipy
from scipy import stats


def hash_unit(n, salt):
    i = np.arange(n, dtype=np.uint64)
    h = (i * np.uint64(2654435761) + np.uint64(salt * 40503)) & np.uint64(0xFFFFFFFF)
    return h.astype(np.float64) / 4294967296.0


def normals(n, salt):
    u1 = 1 - hash_unit(n, salt)
    u2 = hash_unit(n, salt + 1)
    return np.sqrt(-2 * np.log(u1)) * np.cos(2 * np.pi * u2)


def median_cpu(f, runs=5):
    times = []
    for _ in range(runs):
        t = time.process_time()
        f()
        times.append(time.process_time() - t)
    return sorted(times)[runs // 2]


x = normals(10000, 1)
grid = np.linspace(-4, 4, 10001)
kde = stats.gaussian_kde(x)
s = normals(5000, 3)
a = normals(100000, 5)
b = normals(100000, 7) + 0.01

print(f"numpy {np.__version__}, scipy {scipy.__version__}")
print(f"scipy.stats.gaussian_kde(1e4 values)(1e4 + 1 points): {median_cpu(lambda: kde(grid)) * 1e3:.1f} ms")
print(f"scipy.stats.shapiro, 5000 values: {median_cpu(lambda: stats.shapiro(s), 21) * 1e6:.0f} us")
print(f"scipy.stats.mannwhitneyu, 1e5 + 1e5 values: {median_cpu(lambda: stats.mannwhitneyu(a, b)) * 1e3:.1f} ms")
