#!/usr/bin/python3
"""Times scipy on the tasks of smooth_bench: 10^6 uniform values in [-1000, 1000],
width 25, and filtfilt with the 8-pole coefficients that CalcChebFilterCoeffs(8, false,
0.1, 0.5) gives (copied below to 17 digits).

CPU times (process_time), best of five runs of three calls. Run with the system python that has scipy: /usr/bin/python3 bench/scipy_smooth.py
"""
import time
import timeit

import numpy as np
import scipy
import scipy.signal as ss

# CalcChebFilterCoeffs(8, false, 0.1, 0.5): A0 and rows (a_i, b_i), i = 1..8.
A0 = 2.6436837372765232e-06
A = [2.1149469898212186e-05, 7.4023144643742627e-05, 0.00014804628928748525,
     0.00018505786160935656, 0.00014804628928748525, 7.4023144643742627e-05,
     2.1149469898212186e-05, 2.6436837372765232e-06]
B = [6.2249413589820133, -17.557920635559316, 29.209602767119673, -31.276945346829653,
     22.038743481045955, -9.9689648496412069, 2.6448840659526938, -0.31501762410690393]

rng = np.random.default_rng(7)
x = rng.uniform(-1000.0, 1000.0, 1_000_000)
b = np.array([A0] + A)
a = np.array([1.0] + [-v for v in B])

tasks = {
    "savgol_filter (smoothing)": lambda: ss.savgol_filter(x, 25, 2),
    "savgol_filter deriv=1": lambda: ss.savgol_filter(x, 25, 2, deriv=1),
    "savgol_filter deriv=2": lambda: ss.savgol_filter(x, 25, 2, deriv=2),
    "medfilt": lambda: ss.medfilt(x, 25),
    "filtfilt, 8 poles": lambda: ss.filtfilt(b, a, x),
}
print(f"scipy {scipy.__version__}, numpy {np.__version__}")
for name, fn in tasks.items():
    runs = timeit.repeat(fn, number=3, repeat=5, timer=time.process_time)
    print(f"{name}: {min(runs) / 3 * 1e3:.2f} ms")
