"""What the peer timing scripts share: hashed uniforms that the C++ benchmarks
repeat bit for bit, and the median CPU time of a few runs."""
import time

import numpy as np


def hash_unit(n, salt):
    """(i * 2654435761 + salt * 40503) mod 2^32 / 2^32 for i = 0 .. n - 1."""
    i = np.arange(n, dtype=np.uint64)
    h = (i * np.uint64(2654435761) + np.uint64(salt * 40503)) & np.uint64(0xFFFFFFFF)
    return h.astype(np.float64) / 4294967296.0


def median_cpu(f, runs=5):
    """Median CPU time of runs calls of f, in seconds."""
    times = []
    for _ in range(runs):
        t = time.process_time()
        f()
        times.append(time.process_time() - t)
    return sorted(times)[runs // 2]
