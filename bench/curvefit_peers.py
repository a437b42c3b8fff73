"""Times the peers of curvefit_bench on the same data (bench/curvefit_data.h).

    OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 python3 bench/curvefit_peers.py

Prints the median CPU time of five runs of each.
"""
import numpy as np
import scipy
from peer_timing import hash_unit, median_cpu
from scipy import stats

n = 100000
tx = np.floor(hash_unit(n, 1) * 1000)
ty = tx + np.floor(hash_unit(n, 2) * 300)
n = 1000000
sx = hash_unit(n, 3)
sy = sx + hash_unit(n, 4)
px = 2 * hash_unit(n, 5) - 1
py = px**3 - px + 0.1 * hash_unit(n, 6)

print(f"numpy {np.__version__}, scipy {scipy.__version__}")
print(f"scipy.stats.kendalltau, 1e5 pairs with ties: {median_cpu(lambda: stats.kendalltau(tx, ty)) * 1e3:.1f} ms")
print(f"scipy.stats.spearmanr, 1e6 pairs: {median_cpu(lambda: stats.spearmanr(sx, sy)) * 1e3:.1f} ms")
print(f"numpy.polyfit order 6, 1e6 pairs: {median_cpu(lambda: np.polyfit(px, py, 6)) * 1e3:.1f} ms")
