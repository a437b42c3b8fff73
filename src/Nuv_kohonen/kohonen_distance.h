// The two loops all the map's work runs through: the squared distance of one
// weight vector to an object, and the search for the nearest cell over the
// contiguous weight buffer. Both sum the terms in input order, so the distance
// the search finds for the winner is, bit for bit, the one the update computes
// again.
#pragma once

#include <cstddef>

namespace nuv {
namespace detail {

inline double SquaredDistance(const double* W, const double* O, size_t N) {
  double s = 0.0;
  for (size_t z = 0; z < N; ++z) {
    const double d = W[z] - O[z];
    s += d * d;
  }
  return s;
}

/// Index of the first of the Cells weight vectors (N values each, one after
/// the other from W) that is strictly nearer to O than Best, which becomes its
/// squared distance; Cells when none is.
inline size_t NearestCell(const double* W, size_t Cells, const double* O, size_t N,
                          double& Best) {
  size_t winner = Cells;
  double best = Best;
  for (size_t c = 0; c < Cells; ++c, W += N) {
    const double s = SquaredDistance(W, O, N);
    if (s < best) {
      best = s;
      winner = c;
    }
  }
  Best = best;
  return winner;
}

}  // namespace detail
}  // namespace nuv
