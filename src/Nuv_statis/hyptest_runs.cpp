// Runs tests: the exact runs distribution and the tests on bits and series.
#include "Nuv_statis/hyptest_runs.h"

#include <algorithm>
#include <cmath>

#include "foundation/bit_ops.h"
#include "Nuv_statis/gamma_beta_accurate.h"
#include "Nuv_statis/normal_distribution.h"

namespace nuv {

namespace {

// ln C(n, k) for 0 <= k <= n, through ln B so that nothing large cancels.
Extended LnBinom(int64_t n, int64_t k) {
  if (k == 0 || k == n) return 0;
  return -std::log(static_cast<Extended>(n) + 1) -
         statis_detail::LnBetaAcc(static_cast<Extended>(k) + 1, static_cast<Extended>(n - k) + 1);
}

// ln C(n, k), or -inf where the coefficient is 0 (k < 0 or k > n).
Extended LnBinomOrZero(int64_t n, int64_t k) {
  if (k < 0 || k > n || n < 0) return -INFINITY;
  return LnBinom(n, k);
}

// Changes between neighbouring bits 0..size, word by word: bit i of (w ^ (w << 1)) with the
// carry from the word below tells whether bits i and i - 1 differ.
int64_t CountChanges(const TBitFld& Bits) {
  const std::vector<uint64_t>& w = Bits.Words();
  const int64_t size = Bits.Size();
  int64_t changes = 0;
  uint64_t carry = w[0] & 1u;  // bit 0 has no left neighbour: compare it with itself
  for (size_t k = 0; k < w.size(); ++k) {
    uint64_t diff = w[k] ^ ((w[k] << 1) | carry);
    carry = w[k] >> 63;
    const int64_t lastBit = size - static_cast<int64_t>(k) * 64;  // valid bits 0..lastBit
    if (lastBit < 63) diff &= ~uint64_t{0} >> (63 - lastBit);
    changes += detail::PopCount64(diff);
  }
  return changes;
}

}  // namespace

double ExactRunsTest(int32_t n1, int32_t n2, int32_t Runs) {
  const int64_t a = std::min(n1, n2), b = std::max(n1, n2);
  if (a <= 0 || Runs < 2) return 0.0;
  const Extended lnTotal = LnBinom(a + b, a);
  // Beyond 2a + 1 runs every term is 0.
  const int64_t last = std::min<int64_t>(Runs, 2 * a + 1);
  Extended sum = 0;
  for (int64_t i = 2; i <= last; ++i) {
    Extended lnTerm;
    if (i % 2 == 0) {
      const int64_t k = i / 2;
      lnTerm = std::log(2.0L) + LnBinomOrZero(a - 1, k - 1) + LnBinomOrZero(b - 1, k - 1);
      sum += std::exp(lnTerm - lnTotal);
    } else {
      const int64_t k = (i + 1) / 2;
      sum += std::exp(LnBinomOrZero(a - 1, k - 1) + LnBinomOrZero(b - 1, k - 2) - lnTotal) +
             std::exp(LnBinomOrZero(a - 1, k - 2) + LnBinomOrZero(b - 1, k - 1) - lnTotal);
    }
  }
  return std::min(1.0, std::max(0.0, static_cast<double>(sum)));
}

bool RunsTest(const TBitFld* Bits, double& p) {
  p = -1;
  if (Bits == nullptr) return false;
  const int64_t N = static_cast<int64_t>(Bits->Size()) + 1;
  const int64_t n1 = Bits->CountTrueBits();
  const int64_t n0 = N - n1;
  const int64_t runs = CountChanges(*Bits) + 1;
  if (n1 > 25 || n0 > 25) {
    const double S = 2.0 * static_cast<double>(n1) * static_cast<double>(n0);
    const double dN = static_cast<double>(N);
    const double sigma = std::sqrt(S * (S - dN) / (dN * dN * (dN - 1)));
    if (sigma == 0) {
      p = 0;
      return true;
    }
    const double z = (static_cast<double>(runs) - S / dN - 1) / sigma;
    // The tail beyond z, from the side that keeps its relative accuracy.
    p = nDistriIntegral(-std::fabs(z));
  } else {
    p = ExactRunsTest(static_cast<int32_t>(n1), static_cast<int32_t>(n0),
                      static_cast<int32_t>(runs));
  }
  return p < 0.05;
}

bool RunsTestSerial(const TVector* Data, double& p) {
  p = -1;
  if (Data == nullptr) return false;
  double q1, median, q3;
  if (!Data->Quartiles(0, 0, q1, median, q3)) return false;
  const int32_t n = Data->NrOfElem();
  TBitFld bits;
  bits.SetSize(n - 1);
  const double* x = Data->Data();
  for (int32_t i = 0; i < n; ++i) bits.SetBit(i, x[i] > median);
  return RunsTest(&bits, p);
}

}  // namespace nuv
