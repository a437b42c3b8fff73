// Accuracy of the transform on long signals: the error against a long-double transform,
// compared with the error of the textbook radix-2 transform whose twiddle factors come
// from the recurrence w <- w + w (cos theta - 1) + i w sin theta.
#include <cmath>
#include <random>
#include <vector>

#include "Nuv_fourier/Nuv_fourier.h"
#include "common/test_util.h"

using namespace nuv;

namespace {

template <class T>
void BitReverse(std::vector<T>& x) {
  const size_t n = x.size() / 2;
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j |= bit;
    if (i < j) {
      std::swap(x[2 * i], x[2 * j]);
      std::swap(x[2 * i + 1], x[2 * j + 1]);
    }
  }
}

// Radix-2 decimation in time in long double, every twiddle from cosl / sinl.
std::vector<long double> ReferenceFft(const std::vector<double>& in, int sign) {
  std::vector<long double> x(in.begin(), in.end());
  BitReverse(x);
  const size_t n = x.size() / 2;
  const long double twoPi = 6.283185307179586476925286766559005768L;
  std::vector<long double> wr, wi;
  for (size_t h = 1; h < n; h *= 2) {
    wr.resize(h);
    wi.resize(h);
    for (size_t j = 0; j < h; ++j) {
      wr[j] = std::cos(twoPi * j / (2 * h));
      wi[j] = sign * std::sin(twoPi * j / (2 * h));
    }
    for (size_t g = 0; g < n; g += 2 * h)
      for (size_t j = 0; j < h; ++j) {
        const size_t a = g + j, b = a + h;
        const long double tr = x[2 * b] * wr[j] - x[2 * b + 1] * wi[j];
        const long double ti = x[2 * b] * wi[j] + x[2 * b + 1] * wr[j];
        x[2 * b] = x[2 * a] - tr;
        x[2 * b + 1] = x[2 * a + 1] - ti;
        x[2 * a] += tr;
        x[2 * a + 1] += ti;
      }
  }
  return x;
}

// The textbook transform in double: per stage the twiddle advances by the recurrence.
std::vector<double> RecurrenceFft(std::vector<double> x, int sign) {
  BitReverse(x);
  const size_t n = x.size() / 2;
  for (size_t h = 1; h < n; h *= 2) {
    const double theta = sign * 6.283185307179586 / (2 * h);
    const double s = std::sin(0.5 * theta);
    const double wpr = -2 * s * s, wpi = std::sin(theta);
    double wr = 1, wi = 0;
    for (size_t j = 0; j < h; ++j) {
      for (size_t a = j; a < n; a += 2 * h) {
        const size_t b = a + h;
        const double tr = wr * x[2 * b] - wi * x[2 * b + 1];
        const double ti = wr * x[2 * b + 1] + wi * x[2 * b];
        x[2 * b] = x[2 * a] - tr;
        x[2 * b + 1] = x[2 * a + 1] - ti;
        x[2 * a] += tr;
        x[2 * a + 1] += ti;
      }
      const double t = wr;
      wr = wr + (wr * wpr - wi * wpi);
      wi = wi + (wi * wpr + t * wpi);
    }
  }
  return x;
}

template <class T>
double RelativeError(const T& got, const std::vector<long double>& want) {
  long double err = 0, norm = 0;
  for (size_t k = 0; k < want.size(); ++k) {
    const long double d = got[k] - want[k];
    err += d * d;
    norm += want[k] * want[k];
  }
  return static_cast<double>(std::sqrt(err / norm));
}

}  // namespace

TEST(FftAccuracy, ErrorGrowthAgainstLongDouble) {
  std::mt19937_64 gen(5);
  std::uniform_real_distribution<double> u(-1, 1);
  TFastFourier f;
  for (int log2 : {10, 13, 15, 16, 17, 20}) {
    const int32_t n = 1 << log2;
    std::vector<double> x(2 * static_cast<size_t>(n));
    for (double& v : x) v = u(gen);
    for (int sign : {1, -1}) {
      SCOPED_TRACE(testing::Message() << "N 2^" << log2 << " sign " << sign);
      f.SetNumData(n);
      for (int32_t k = 0; k < n; ++k) {
        f.SetRealVal(k + 1, x[2 * k]);
        f.SetImagVal(k + 1, x[2 * k + 1]);
      }
      // The inverse divides by N, a power of two: compare it before the scaling.
      sign > 0 ? f.Transform() : f.InverseTransform();
      std::vector<double> ours(x.size());
      for (int32_t k = 0; k < n; ++k) {
        ours[2 * k] = f.GetRealVal(k + 1) * (sign > 0 ? 1 : n);
        ours[2 * k + 1] = f.GetImagVal(k + 1) * (sign > 0 ? 1 : n);
      }
      const std::vector<long double> want = ReferenceFft(x, sign);
      const double eOurs = RelativeError(ours, want);
      const double eRecurrence = RelativeError(RecurrenceFft(x, sign), want);
      // At least as accurate as the recurrence (50 times more at 2^20), and growing like
      // sqrt(log2 N) epsilon (0.3 epsilon sqrt(log2 N) here).
      EXPECT_LE(eOurs, eRecurrence);
      EXPECT_LT(eOurs, 0.5 * DBL_EPSILON * std::sqrt(log2)) << eOurs << " vs " << eRecurrence;
    }
  }
}
