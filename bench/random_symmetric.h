// A random symmetric test matrix shared by the eigensolver benchmarks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/random.h"

namespace nuv_bench {

/// Order n, entries uniform in [-1, 1) from GRandom seeded with Seed; symmetric, so the
/// same array read row-major or column-major.
inline std::vector<double> RandomSymmetric(int n, uint32_t Seed) {
  nuv::SetRandSeed(Seed);
  std::vector<double> a(static_cast<size_t>(n) * static_cast<size_t>(n));
  for (size_t i = 0; i < static_cast<size_t>(n); ++i)
    for (size_t j = i; j < static_cast<size_t>(n); ++j)
      a[i * static_cast<size_t>(n) + j] = a[j * static_cast<size_t>(n) + i] = 2 * nuv::Random() - 1;
  return a;
}

}  // namespace nuv_bench
