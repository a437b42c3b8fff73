// Deterministic data of the clustering and neighbour benchmarks, generated the
// same way by cluster_peers.py so that the peers time the very same objects.
#pragma once

#include <cstdint>

#include "curvefit_data.h"

namespace nuv_bench {

// k-means: object i belongs to one of 8 groups with centres in [0, 10)^p, plus
// uniform noise in [-2, 2) per variable.
inline double GroupedX(uint64_t i, uint64_t v) {
  const uint64_t g = static_cast<uint64_t>(HashUnit(i, 11) * 8);
  return HashUnit(g, 20 + v) * 10 + (HashUnit(i, 30 + v) - 0.5) * 4;
}
// Agglomeration and neighbours: uniform in [0, 1) per variable.
inline double UniformX(uint64_t i, uint64_t v) { return HashUnit(i, 40 + v); }

}  // namespace nuv_bench
