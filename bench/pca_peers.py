"""Times `nuvstat pca` on wide data against numpy: the covariance (numpy.cov)
and its eigen decomposition (numpy.linalg.eigh, LAPACK dsyevd) of the same
data, numpy with its default threads and with one. The data: 2500 rows of 20
factors plus noise in 200 and 2000 columns, written as CSV to a temporary
directory. nuvstat's time is the whole run (reading the CSV included); numpy's
excludes reading. The first eigenvalues of both are printed side by side.

Run with the Python that has numpy, from the worktree after a release build:
/usr/bin/python3 bench/pca_peers.py build/release/tools/nuvstat
"""
import os
import subprocess
import sys
import tempfile
import time

import numpy as np

ROWS = 2500


def make_data(cols):
    rng = np.random.default_rng(5)
    factors = rng.standard_normal((ROWS, 20))
    return factors @ rng.standard_normal((20, cols)) + rng.standard_normal((ROWS, cols))


def numpy_pca(x, threads):
    code = (
        "import numpy as np, sys, time\n"
        "x = np.load(sys.argv[1])\n"
        "t = time.perf_counter(); w = np.linalg.eigh(np.cov(x, rowvar=False))[0]\n"
        "print(time.perf_counter() - t, *w[::-1][:3])\n"
    )
    env = dict(os.environ)
    if threads:
        env["OPENBLAS_NUM_THREADS"] = str(threads)
    with tempfile.NamedTemporaryFile(suffix=".npy") as f:
        np.save(f.name, x)
        out = subprocess.run([sys.executable, "-c", code, f.name], env=env, check=True,
                             capture_output=True, text=True).stdout.split()
    return float(out[0]), [float(v) for v in out[1:]]


def nuvstat_pca(binary, path):
    t = time.perf_counter()
    out = subprocess.run([binary, "pca", "--components", "3", "--format", "csv", path],
                         check=True, capture_output=True, text=True).stdout
    seconds = time.perf_counter() - t
    rows = [line.split(",") for line in out.splitlines() if line.startswith("PC")]
    return seconds, [float(r[1]) for r in rows[:3]]


def main():
    binary = sys.argv[1] if len(sys.argv) > 1 else "build/release/tools/nuvstat"
    with tempfile.TemporaryDirectory() as tmp:
        for cols in (200, 2000):
            x = make_data(cols)
            path = os.path.join(tmp, f"wide{cols}.csv")
            np.savetxt(path, x, delimiter=",", fmt="%.10g", comments="",
                       header=",".join(f"c{c}" for c in range(1, cols + 1)))
            x = np.loadtxt(path, delimiter=",", skiprows=1)  # the values nuvstat reads
            nuv_s, nuv_ev = nuvstat_pca(binary, path)
            np_s, np_ev = numpy_pca(x, None)
            np1_s, _ = numpy_pca(x, 1)
            print(f"{cols} columns: nuvstat pca {nuv_s:.2f} s (whole run); numpy cov + eigh "
                  f"{np_s:.2f} s (default threads), {np1_s:.2f} s (one thread)")
            print("  eigenvalues nuvstat", nuv_ev, "numpy", np_ev)


if __name__ == "__main__":
    main()
