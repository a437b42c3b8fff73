// The cyclic Jacobi method written plainly from its textbook description,
// over an array of rows: the reference for the rotation sequence in the tests
// and the "plain" contender in the benchmark (the tests include it from here).
#pragma once

#include <cmath>
#include <vector>

namespace nuv_test {

/// a: n x n row-major, upper triangle read and overwritten; d: eigenvalues; v: row-major,
/// column p the eigenvector p. Returns the number of sweeps, or -1 without convergence.
inline int PlainJacobi(std::vector<double>& a, int n, std::vector<double>& d,
                       std::vector<double>& v) {
  std::vector<double> b(n), z(n, 0.0);
  d.assign(n, 0.0);
  v.assign(static_cast<size_t>(n) * n, 0.0);
  for (int i = 0; i < n; ++i) {
    v[i * n + i] = 1.0;
    b[i] = d[i] = a[i * n + i];
  }
  auto rot = [](double& x, double& y, double s, double tau) {
    const double g = x, h = y;
    x = g - s * (h + g * tau);
    y = h + s * (g - h * tau);
  };
  for (int sweep = 1; sweep <= 100; ++sweep) {
    double sm = 0.0;
    for (int p = 0; p < n - 1; ++p)
      for (int q = p + 1; q < n; ++q) sm += std::fabs(a[p * n + q]);
    if (sm == 0.0) return sweep;
    const double tresh = sweep < 4 ? 0.2 * sm / (static_cast<double>(n) * n) : 0.0;
    for (int p = 0; p < n - 1; ++p)
      for (int q = p + 1; q < n; ++q) {
        double& apq = a[p * n + q];
        const double g = 200.0 * std::fabs(apq);
        if (sweep > 4 && std::fabs(d[p]) + g == std::fabs(d[p]) &&
            std::fabs(d[q]) + g == std::fabs(d[q])) {
          apq = 0.0;
        } else if (std::fabs(apq) > tresh) {
          double h = d[q] - d[p], t;
          if (std::fabs(h) + g == std::fabs(h)) {
            t = apq / h;
          } else {
            const double theta = h / apq / 2.0;
            t = 1.0 / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
            if (theta < 0.0) t = -t;
          }
          const double c = 1.0 / std::sqrt(1 + t * t), s = t * c, tau = s / (1.0 + c);
          h = t * apq;
          z[p] -= h;
          z[q] += h;
          d[p] -= h;
          d[q] += h;
          apq = 0.0;
          for (int j = 0; j < p; ++j) rot(a[j * n + p], a[j * n + q], s, tau);
          for (int j = p + 1; j < q; ++j) rot(a[p * n + j], a[j * n + q], s, tau);
          for (int j = q + 1; j < n; ++j) rot(a[p * n + j], a[q * n + j], s, tau);
          for (int j = 0; j < n; ++j) rot(v[j * n + p], v[j * n + q], s, tau);
        }
      }
    for (int i = 0; i < n; ++i) {
      b[i] += z[i];
      d[i] = b[i];
      z[i] = 0.0;
    }
  }
  return -1;
}

}  // namespace nuv_test
