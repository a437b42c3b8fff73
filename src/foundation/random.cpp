#include "foundation/random.h"

#include <chrono>

namespace nuv {

namespace {

uint64_t SplitMix64(uint64_t& x) {
  uint64_t z = (x += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

struct Xoshiro256 {
  uint64_t s[4];

  explicit Xoshiro256(uint64_t seed) { Seed(seed); }

  void Seed(uint64_t seed) {
    for (uint64_t& w : s) w = SplitMix64(seed);
  }

  static uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

  uint64_t Next() {
    const uint64_t result = Rotl(s[1] * 5, 7) * 9;
    const uint64_t t = s[1] << 17;
    s[2] ^= s[0];
    s[3] ^= s[1];
    s[1] ^= s[2];
    s[0] ^= s[3];
    s[2] ^= t;
    s[3] = Rotl(s[3], 45);
    return result;
  }
};

// A fixed start seed makes a program that never reseeds reproducible.
thread_local Xoshiro256 gen{0};

}  // namespace

double Random() { return static_cast<double>(gen.Next() >> 11) * 0x1.0p-53; }

int32_t Random(int32_t Range) {
  if (Range <= 0) return 0;
  // Lemire's multiply-shift with rejection: unbiased for every Range.
  const uint64_t range = static_cast<uint64_t>(Range);
  uint64_t m = (gen.Next() >> 32) * range;
  uint32_t low = static_cast<uint32_t>(m);
  if (low < range) {
    const uint32_t threshold = static_cast<uint32_t>(-static_cast<uint32_t>(range) % range);
    while (low < threshold) {
      m = (gen.Next() >> 32) * range;
      low = static_cast<uint32_t>(m);
    }
  }
  return static_cast<int32_t>(m >> 32);
}

void Randomize() {
  const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  gen.Seed(static_cast<uint64_t>(now));
}

void SetRandSeed(uint32_t Seed) { gen.Seed(Seed); }

}  // namespace nuv
