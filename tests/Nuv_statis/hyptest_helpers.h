// Helpers of the hypothesis-test tests: vectors from literal arrays and the
// reproducible Irwin-Hall sample of the reference script.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Nuv_vector/Nuv_vector.h"

namespace nuv_test {

/// Resizes v to the values and stores them.
inline void SetValues(nuv::TVector& v, const double* x, size_t n) {
  v.Resize(static_cast<int32_t>(n));
  for (size_t i = 0; i < n; ++i) v.SetVal(static_cast<int32_t>(i + 1), x[i]);
}
inline void SetValues(nuv::TVector& v, const std::vector<double>& x) {
  SetValues(v, x.data(), x.size());
}
template <size_t N>
inline void SetValues(nuv::TVector& v, const double (&x)[N]) {
  SetValues(v, x, N);
}
template <size_t N>
inline void SetValues(nuv::TIntVector& v, const int32_t (&x)[N]) {
  v.Resize(static_cast<int32_t>(N));
  for (size_t i = 0; i < N; ++i) v.SetVal(static_cast<int32_t>(i + 1), x[i]);
}

/// make_hyptest_tables.py's irwin_hall(n): value i (from 1) is the sum of the three
/// uniforms (top 16 bits of i m mod 2^32)/2^16 for its three multipliers m; exact even in
/// single precision.
inline std::vector<double> IrwinHall(int32_t n) {
  const uint64_t mult[3] = {2654435761u, 2246822519u, 3266489917u};
  std::vector<double> v;
  for (uint64_t i = 1; i <= static_cast<uint64_t>(n); ++i) {
    double s = 0;
    for (const uint64_t m : mult) s += static_cast<double>(((i * m) % 4294967296u) >> 16) / 65536.0;
    v.push_back(s);
  }
  return v;
}

}  // namespace nuv_test
