#!/usr/bin/python3
"""Reference sequences for the random-number tests.

Run by hand (the build never runs it), with Debian's python3 3.11:
    /usr/bin/python3 tests/Nuv_math1/reference/random_sequences.py

The uniform generator is xoshiro256** seeded through splitmix64, written here
from the authors' published reference code (prng.di.unimi.it); a double takes
the top 53 bits of one output. From its draws the script derives, by the
rules the library documents:
  - GRandom: Marsaglia's polar method; a pair p, q = 2u - 1 (u drawn in that
    order) with 0 < s = p^2 + q^2 < 1 gives q*f first and p*f on the next call,
    f = sqrt(-2 ln s / s);
  - FillRandomUniform: RangeLow + u * (RangeHigh - RangeLow), in element order;
  - FillRandomGauss: g * StdDev + Mean, in element order;
  - the start states of LongRand: the first three draws after loading (seed 0),
    each * 990000 rounded to nearest, halves to even.
"""
import math

M64 = (1 << 64) - 1


def splitmix64(x):
    x = (x + 0x9E3779B97F4A7C15) & M64
    z = x
    z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & M64
    z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & M64
    return x, z ^ (z >> 31)


def rotl(x, k):
    return ((x << k) | (x >> (64 - k))) & M64


class Xoshiro256:
    def __init__(self, seed):
        self.s = []
        x = seed
        for _ in range(4):
            x, z = splitmix64(x)
            self.s.append(z)

    def next(self):
        s = self.s
        result = (rotl((s[1] * 5) & M64, 7) * 9) & M64
        t = (s[1] << 17) & M64
        s[2] ^= s[0]
        s[3] ^= s[1]
        s[1] ^= s[2]
        s[0] ^= s[3]
        s[2] ^= t
        s[3] = rotl(s[3], 45)
        return result

    def random(self):
        return (self.next() >> 11) * 2.0**-53


def polar(gen):
    while True:
        p = 2.0 * gen.random() - 1.0
        q = 2.0 * gen.random() - 1.0
        s = p * p + q * q
        if 0.0 < s < 1.0:
            f = math.sqrt(-2.0 * math.log(s) / s)
            return q * f, p * f


def show(name, values):
    print(name + " = {" + ", ".join(repr(v) for v in values) + "};")


gen = Xoshiro256(12345)
show("uniform(12345)", [gen.random() for _ in range(6)])
gen = Xoshiro256(12345)
g = []
for _ in range(3):
    g.extend(polar(gen))
show("GRandom(12345)", g)
# the uniform draw after the three pairs, and how many draws they took
follow = gen.random()
count = Xoshiro256(12345)
draws = 1
while count.random() != follow:
    draws += 1
print("after three pairs:", repr(follow), "draw number", draws)
gen = Xoshiro256(12345)
show("FillRandomUniform(-2, 6)", [-2.0 + gen.random() * (6.0 - -2.0) for _ in range(5)])
show("FillRandomGauss(10, 3)", [x * 3.0 + 10.0 for x in g[:5]])

gen = Xoshiro256(0)
states = [round(gen.random() * 990000.0) for _ in range(3)]  # round(): halves to even
e = (states[0] * 1187 % 1001003 / 1001003 + states[1] * 983 % 990923 / 990923 +
     states[2] * 1283 % 1400423 / 1400423)
print("LongRand start states:", states, "first LongRand(0):", repr(e - math.floor(e)))
