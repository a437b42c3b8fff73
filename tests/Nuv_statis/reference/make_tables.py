#!/usr/bin/python3
"""Reference values for the Nuv_statis distribution tests.

Run once, by hand (the build never runs it):
    /usr/bin/python3 tests/Nuv_statis/reference/make_tables.py > tests/Nuv_statis/reference/distribution_reference.inc
with Debian's python3-mpmath (1.2.1) and python3-scipy (1.10.1).

Every value is evaluated in mpmath at 50 significant digits. Each tail is
computed directly from its own hypergeometric series or continued fraction
(never as 1 - other tail when it is the small one), so tails down to 1e-300
keep their digits. Quantiles are roots found by mpmath.findroot on those
tails, started from scipy.stats' ppf.
"""
import signal
import sys

import mpmath as mp
import scipy.stats as st

mp.mp.dps = 50
HALF = mp.mpf(1) / 2
BIG = 10**8


def gamma_tails(a, z):
    """P(a, z), Q(a, z); the smaller one directly."""
    a = mp.mpf(a); z = mp.mpf(z)
    if z <= a:
        lo = z**a * mp.exp(-z) / mp.gamma(a + 1) * mp.hyp1f1(1, a + 1, z, maxterms=BIG)
        return lo, 1 - lo
    up = mp.gammainc(a, z, mp.inf, regularized=True)
    return 1 - up, up


def beta_fraction(a, b, x, y):
    """I_x(a, b) by the continued fraction of DLMF 8.17.22 (Lentz), for x below the mean."""
    tiny = mp.mpf(10)**-300
    lnpre = a * mp.log(x) + b * mp.log(y) - (mp.loggamma(a) + mp.loggamma(b) - mp.loggamma(a + b))
    f = c = mp.mpf(1); d = mp.mpf(0)
    for i in range(0, 10**7):
        m = i // 2
        if i == 0:
            num = mp.mpf(1)
        elif i % 2 == 0:
            num = m * (b - m) * x / ((a + 2 * m - 1) * (a + 2 * m))
        else:
            num = -((a + m) * (a + b + m) * x) / ((a + 2 * m) * (a + 2 * m + 1))
        d = 1 + num * d
        d = tiny if d == 0 else d
        d = 1 / d
        c = 1 + num / c
        c = tiny if c == 0 else c
        f *= c * d
        if abs(1 - c * d) < mp.mpf(10)**-45:
            break
    return mp.exp(lnpre) / a * (f - 1)


def beta_small_tail(a, b, x, y):
    """I_x(a, b) for x below the mean: mpmath.betainc, or where its hypergeometric
    series does not converge (parameters of 10^5 and more), the continued fraction."""
    try:
        return mp.betainc(a, b, 0, x, regularized=True)
    except (ValueError, mp.libmp.NoConvergence):
        return beta_fraction(a, b, x, y)


def beta_tails(a, b, x, y):
    """I_x(a, b) and 1 - I_x(a, b); the one below the mean directly."""
    a = mp.mpf(a); b = mp.mpf(b)
    if x <= a / (a + b):
        lo = beta_small_tail(a, b, x, y)
        return lo, 1 - lo
    up = beta_small_tail(b, a, y, x)
    return 1 - up, up


def chi2_tails(x, df):
    return gamma_tails(mp.mpf(df) / 2, mp.mpf(x) / 2)


def chi2_pdf(x, df):
    a = mp.mpf(df) / 2; x = mp.mpf(x)
    return mp.exp((a - 1) * mp.log(x) - x / 2 - a * mp.log(2) - mp.loggamma(a))


def t_tails(t, df):
    nu = mp.mpf(df); t = mp.mpf(t)
    x = nu / (nu + t * t); y = t * t / (nu + t * t)
    lo, up = beta_tails(nu / 2, HALF, x, y)
    tail = lo / 2                     # P(T > |t|)
    centre = up / 2                   # P(0 < T < |t|)
    return (tail, HALF + centre) if t < 0 else (HALF + centre, tail)


def t_pdf(t, df):
    nu = mp.mpf(df); t = mp.mpf(t)
    lnB = mp.loggamma(nu / 2) + mp.loggamma(HALF) - mp.loggamma((nu + 1) / 2)
    return mp.exp(-(nu + 1) / 2 * mp.log1p(t * t / nu) - mp.log(nu) / 2 - lnB)


def f_tails(x, d1, d2):
    d1 = mp.mpf(d1); d2 = mp.mpf(d2); x = mp.mpf(x)
    return beta_tails(d1 / 2, d2 / 2, d1 * x / (d1 * x + d2), d2 / (d1 * x + d2))


def f_pdf(x, d1, d2):
    d1 = mp.mpf(d1); d2 = mp.mpf(d2); x = mp.mpf(x)
    lnB = mp.loggamma(d1 / 2) + mp.loggamma(d2 / 2) - mp.loggamma((d1 + d2) / 2)
    return mp.exp(d1 / 2 * mp.log(d1 / d2) + (d1 / 2 - 1) * mp.log(x) - (d1 + d2) / 2 * mp.log1p(d1 * x / d2) - lnB)


def quantile(tails, p, start, positive=True):
    """Root of the lower tail = p (p <= 1/2) or the upper tail = 1 - p, solved in ln x."""
    p = mp.mpf(p)
    if p <= HALF:
        g = lambda u: mp.log(tails(mp.exp(u))[0]) - mp.log(p)
    else:
        g = lambda u: mp.log(tails(mp.exp(u))[1]) - mp.log(1 - p)
    return mp.exp(solve(g, mp.log(mp.mpf(start)), rising=p <= HALF))


def solve(g, u0, rising):
    """Root of the monotone g in u: a bracket grown from u0, then the Anderson-Bjorck solver."""
    step = mp.mpf(1) / 4
    g0 = g(u0)
    up = (g0 < 0) == rising
    u1 = u0
    while True:
        u1 = u1 + step if up else u1 - step
        g1 = g(u1)
        if (g1 > 0) != (g0 > 0):
            break
        u0, g0 = u1, g1
        step *= 2
    return mp.findroot(g, (min(u0, u1), max(u0, u1)), solver='anderson', tol=mp.mpf(10)**-40)


def t_quantile(p, df):
    p = mp.mpf(p)
    if p == HALF:
        return mp.mpf(0)
    q = p if p < HALF else 1 - p
    start = -st.t.ppf(float(q), df)
    if q < mp.mpf(1) / 4:
        g = lambda u: mp.log(t_tails(mp.exp(u), df)[1]) - mp.log(q)
    else:
        g = lambda u: mp.log(t_tails(mp.exp(u), df)[0] - HALF) - mp.log(HALF - q)
    v = mp.exp(solve(g, mp.log(mp.mpf(start)), rising=q >= mp.mpf(1) / 4))
    return -v if p < HALF else v


DFS = [1, 2, 3, 5, 10, 30, 100, 1000, 10**4, 10**5, 10**6]
PS = [1e-300, 1e-100, 1e-10, 0.01, 0.3, 0.5 - 1e-12, 0.5, 0.5 + 1e-12, 0.7, 0.99, 1 - 1e-10, 1 - 1e-16]
rows = []


class Slow(Exception):
    pass


def on_alarm(signum, frame):
    raise Slow()


signal.signal(signal.SIGALRM, on_alarm)


def guarded(fn, *args):
    """fn(*args), or None when mpmath needs more than 40 s (the case is left out)."""
    signal.alarm(40)
    try:
        return fn(*args)
    except (Slow, mp.libmp.NoConvergence, ValueError, ZeroDivisionError) as e:
        sys.stderr.write('skipped %s%r: %s\n' % (fn.__name__, args, type(e).__name__))
        return None
    finally:
        signal.alarm(0)


def emit(kind, x, a, b, value):
    """One table row; values that a double cannot hold (below 2.3e-308) are left out."""
    if value is None or 0 < abs(value) < mp.mpf('2.3e-308'):
        return
    rows.append('  {%s, %r, %d, %d, %s},' % (kind, float(x), a, b, mp.nstr(value, 20, min_fixed=1, max_fixed=0)))


for df in DFS:
    sd = (2.0 * df) ** 0.5
    for x in sorted({1e-300, 1e-20, 1e-5, 0.01, 0.5, 1.0, 2.5, float(df), float(df + 1), df + 0.5 * sd, df - 2 * sd,
                     df + 5 * sd, df + 12 * sd + 60, 1400.0 + df}):
        if x <= 0:
            continue
        emit('kChi2Cdf', x, df, 0, guarded(lambda x, df: chi2_tails(x, df)[0], x, df))
        emit('kChi2Pdf', x, df, 0, guarded(chi2_pdf, x, df))
    for p in PS:
        start = st.chi2.ppf(p, df) if 0 < p < 1 else 1.0
        if not (start > 0) or start == float('inf'):
            start = max(float(st.chi2.isf(1 - p, df)), 1e-300)
        xq = guarded(lambda p, start: quantile(lambda x: chi2_tails(x, df), p, start), p, start)
        if xq is not None and xq > mp.mpf('2.3e-308'):
            emit('kChi2Quantile', p, df, 0, xq)
    for t in [-1e300, -1e10, -50.0, -5.0, -1.5, -0.3, -1e-10, 1e-10, 0.7, 3.0, 40.0]:
        emit('kTCdf', t, df, 0, guarded(lambda t, df: t_tails(t, df)[0], t, df))
        emit('kTPdf', t, df, 0, guarded(t_pdf, t, df))
    for p in PS:
        emit('kTQuantile', p, df, 0, guarded(t_quantile, p, df))
    for d2 in [1, 3, 10, 1000, 10**6]:
        for x in [1e-200, 1e-3, 0.5, 1.0, 2.0, 10.0, 1e5, 1e200]:
            lo = guarded(lambda x, df, d2: f_tails(x, df, d2)[0], x, df, d2)
            if lo is not None and lo > mp.mpf('2.3e-308'):
                emit('kFCdf', x, df, d2, lo)
            dens = guarded(f_pdf, x, df, d2)
            if dens is not None and dens > mp.mpf('2.3e-308'):
                emit('kFPdf', x, df, d2, dens)
    for d2 in [1, 7, 1000, 10**6]:
        for p in PS:
            start = st.f.ppf(p, df, d2)
            if not (start > 0) or start == float('inf'):
                start = 1.0
            xq = guarded(lambda p, start: quantile(lambda x: f_tails(x, df, d2), p, start), p, start)
            if xq is not None and mp.mpf('2.3e-308') < xq < mp.mpf('1.7e308'):
                emit('kFQuantile', p, df, d2, xq)

    sys.stderr.write('df %d done\n' % df)

print('// Generated by make_tables.py in this directory (mpmath 1.2.1, 50 digits); do not edit.')
print('// {function, argument, df1, df2, reference value}')
print('\n'.join(rows))
