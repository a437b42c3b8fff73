"""Times the scipy peers of hyptest_bench on the same data.

    OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 python3 bench/hyptest_peers.py

Prints the median CPU time of five runs of each.
"""
import numpy as np
import scipy
from peer_timing import hash_unit, median_cpu
from scipy import stats


def normals(n, salt):
    u1 = 1 - hash_unit(n, salt)
    u2 = hash_unit(n, salt + 1)
    return np.sqrt(-2 * np.log(u1)) * np.cos(2 * np.pi * u2)


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
