#include "Nuv_math1/random_deviates.h"

#include <cmath>

namespace nuv {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct GaussCache {
  double Value = 0.0;
  bool Valid = false;
};

thread_local GaussCache gGauss;

constexpr int64_t kMod1 = 1001003;
constexpr int64_t kMod2 = 990923;
constexpr int64_t kMod3 = 1400423;

struct LongRandState {
  int64_t S1, S2, S3;
};

LongRandState DrawLongRandStates() {
  LongRandState s;
  // In the order S1, S2, S3.
  s.S1 = static_cast<int64_t>(std::nearbyint(Random() * 990000.0));
  s.S2 = static_cast<int64_t>(std::nearbyint(Random() * 990000.0));
  s.S3 = static_cast<int64_t>(std::nearbyint(Random() * 990000.0));
  return s;
}

// Drawn while the library is loaded, before the application can seed or draw, so
// that a first LongRand call later takes nothing from the application's sequence.
const LongRandState gLoadTimeStates = DrawLongRandStates();

LongRandState& LongRandStates() {
  thread_local LongRandState s = gLoadTimeStates;
  return s;
}

// |a xor (a shl k)| in 32-bit arithmetic: the shift drops the high bits.
int64_t AbsXorShift(int32_t a, int k) {
  const uint32_t u = static_cast<uint32_t>(a);
  const int32_t v = static_cast<int32_t>(u ^ (u << k));
  return std::llabs(static_cast<int64_t>(v));
}

}  // namespace

bool BRandom(double p) {
  if (p >= 1.0) return true;
  return Random() < p;
}

double CRandom(double Center, double Scale) {
  return std::tan((Random() - 0.5) * kPi) * Scale + Center;
}

double GRandom() {
  GaussCache& c = gGauss;
  if (c.Valid) {
    c.Valid = false;
    return c.Value;
  }
  double p, q, s;
  do {
    p = 2.0 * Random() - 1.0;
    q = 2.0 * Random() - 1.0;
    s = p * p + q * q;
  } while (!(s > 0.0 && s < 1.0));
  const double f = std::sqrt(-2.0 * std::log(s) / s);
  c.Value = p * f;
  c.Valid = true;
  return q * f;
}

double LongRand(int32_t Seed) {
  LongRandState& st = LongRandStates();
  if (Seed != 0) {
    const int32_t a = Seed % static_cast<int32_t>(kMod2);  // sign of Seed
    st.S1 = std::llabs(static_cast<int64_t>(a));
    st.S2 = AbsXorShift(a, 8) % kMod2;
    st.S3 = AbsXorShift(a, 16) % kMod2;
  }
  st.S1 = st.S1 * 1187 % kMod1;
  st.S2 = st.S2 * 983 % kMod2;
  st.S3 = st.S3 * 1283 % kMod3;
  const double e = static_cast<double>(st.S1) / static_cast<double>(kMod1) +
                   static_cast<double>(st.S2) / static_cast<double>(kMod2) +
                   static_cast<double>(st.S3) / static_cast<double>(kMod3);
  return e - std::floor(e);
}

}  // namespace nuv
