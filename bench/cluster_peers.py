"""Times the peers of cluster_bench on the same data (bench/cluster_data.h).

    OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 python3 bench/cluster_peers.py

Prints the median CPU time of three runs of each: fastcluster.linkage and
scipy.cluster.hierarchy.linkage on the raw objects (distances included),
scikit-learn's Lloyd k-means from the first 8 rows on one thread.
"""
import time
import warnings

import fastcluster
import numpy as np
import scipy
import sklearn
from scipy.cluster import hierarchy
from sklearn.cluster import KMeans
from threadpoolctl import threadpool_limits


def hash_unit(i, salt):
    i = np.asarray(i, dtype=np.uint64)
    h = (i * np.uint64(2654435761) + np.uint64(salt * 40503)) & np.uint64(0xFFFFFFFF)
    return h.astype(np.float64) / 4294967296.0


def uniform_x(n, p):
    i = np.arange(n, dtype=np.uint64)
    return np.column_stack([hash_unit(i, 40 + v) for v in range(p)])


def grouped_x(n, p):
    i = np.arange(n, dtype=np.uint64)
    g = (hash_unit(i, 11) * 8).astype(np.uint64)
    return np.column_stack([hash_unit(g, 20 + v) * 10 + (hash_unit(i, 30 + v) - 0.5) * 4
                            for v in range(p)])


def median_cpu(f, runs=3):
    times = []
    for _ in range(runs):
        t = time.process_time()
        f()
        times.append(time.process_time() - t)
    return sorted(times)[runs // 2]


print(f"numpy {np.__version__}, scipy {scipy.__version__}, fastcluster {fastcluster.__version__}, "
      f"scikit-learn {sklearn.__version__}")
for n, runs in [(2000, 5), (10000, 1)]:
    X = uniform_x(n, 5)
    for method in ["single", "complete", "ward", "weighted", "average"]:
        fc = median_cpu(lambda: fastcluster.linkage(X, method=method, metric="euclidean"), runs)
        sp = median_cpu(lambda: hierarchy.linkage(X, method=method), runs)
        print(f"linkage {method:8s} {n:5d} x 5: fastcluster {fc * 1e3:8.1f} ms, scipy {sp * 1e3:8.1f} ms")

X = grouped_x(100000, 10)
with threadpool_limits(1), warnings.catch_warnings():
    warnings.simplefilter("ignore")
    km = KMeans(8, init=X[:8], n_init=1, algorithm="lloyd", max_iter=1000, tol=0.0).fit(X)
    passes = km.n_iter_
    t = median_cpu(lambda: KMeans(8, init=X[:8], n_init=1, algorithm="lloyd", max_iter=passes,
                                  tol=0.0).fit(X))
print(f"KMeans lloyd 1e5 x 10, k = 8, {passes} passes, one thread: {t * 1e3:.1f} ms")
