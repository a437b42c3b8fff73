// Deterministic data of the curve-fitter benchmarks, generated the same way by
// curvefit_peers.py so that scipy and numpy time the very same pairs.
#pragma once

#include <cstdint>

namespace nuv_bench {

// A multiplicative hash of (i, salt) mapped to [0, 1).
inline double HashUnit(uint64_t i, uint64_t salt) {
  const uint64_t h = (i * 2654435761u + salt * 40503u) & 0xFFFFFFFFu;
  return static_cast<double>(h) / 4294967296.0;
}

// Kendall: x integers 0..999, y = x + an integer 0..299 (ties everywhere).
inline double TiedX(uint64_t i) { return static_cast<double>(static_cast<int>(HashUnit(i, 1) * 1000)); }
inline double TiedY(uint64_t i) { return TiedX(i) + static_cast<int>(HashUnit(i, 2) * 300); }
// Spearman: continuous, correlated.
inline double SmoothX(uint64_t i) { return HashUnit(i, 3); }
inline double SmoothY(uint64_t i) { return HashUnit(i, 3) + HashUnit(i, 4); }
// Polynomial: x in [-1, 1), a cubic plus noise.
inline double PolyX(uint64_t i) { return 2 * HashUnit(i, 5) - 1; }
inline double PolyY(uint64_t i) {
  const double x = PolyX(i);
  return x * x * x - x + 0.1 * HashUnit(i, 6);
}

}  // namespace nuv_bench
