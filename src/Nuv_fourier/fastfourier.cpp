// TFastFourier: the block of samples, its windows and the transforms.
#include "Nuv_fourier/fastfourier.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "Nuv_fourier/fft_engine.h"

namespace nuv {

namespace {

constexpr double kPi = 3.14159265358979323846264338328;

bool IsPowerOfTwo(int32_t n) { return n >= 1 && (n & (n - 1)) == 0; }

/// Weight of the 1-based sample j of N for the windows other than the triangle and the
/// user's; c(k) = cos(k pi (j - N/2) / N).
double WindowWeight(TFastFourierWgtWin w, int32_t j, int32_t N) {
  const double u = (j - N / 2) / static_cast<double>(N);
  auto c = [u](int k) { return std::cos(k * kPi * u); };
  switch (w) {
    case fwCos2: {
      const double c1 = c(1);
      return c1 * c1;
    }
    case fwGauss: {
      const double a = (j - N / 2) * 3.0 / N * 2;
      return std::exp(-0.5 * a * a);
    }
    case fwHamming:
      return 0.543478261 + 0.456521739 * c(2);
    case fwBlackman:
      return 0.42659 + 0.49656 * c(2) + 0.076848 * c(4);
    case fwBlkmHarris:
      return 0.35875 + 0.48829 * c(2) + 0.14128 * c(4) + 0.01168 * c(6);
    case fwBlkmNuttall:
      return 0.3635819 + 0.4891775 * c(2) + 0.1365995 * c(4) + 0.0106411 * c(6);
    default:
      return 1.0;
  }
}

}  // namespace

TFastFourier::TFastFourier(TComponent* AOwner) : TComponent(AOwner) {
  if (!TryAllocate(FData, 2 * static_cast<size_t>(FNumData)) ||
      !TryAllocate(FUserWgt, static_cast<size_t>(FNumData), 1.0))
    RaiseNoHeap();
}

TFastFourier::~TFastFourier() = default;

void TFastFourier::RaiseNoHeap() const {
  RaiseComponentError<ENUVFourierError>(this, "not enough memory on heap");
}

void TFastFourier::SetNumData(int32_t n) {
  if (!IsPowerOfTwo(n))
    RaiseComponentError<ENUVFourierError>(this, "data length must be power of 2");
  std::vector<double> data, wgt;
  const size_t count = static_cast<size_t>(n);
  if (!ByteCountFits(count, 2 * sizeof(double)) || !TryAllocate(data, 2 * count) ||
      !TryAllocate(wgt, count))
    RaiseNoHeap();
  FData.swap(data);
  FUserWgt.swap(wgt);
  FNumData = n;
  MaxValuesValid = false;
  FPlan.reset();
  std::vector<double>().swap(FWinWeights);
}

void TFastFourier::Clear() {
  std::fill(FData.begin(), FData.end(), 0.0);
  MaxValuesValid = false;
}

void TFastFourier::ClearReal() {
  for (size_t k = 0; k < FData.size(); k += 2) FData[k] = 0.0;
  MaxValuesValid = false;
}

void TFastFourier::ClearImag() {
  for (size_t k = 1; k < FData.size(); k += 2) FData[k] = 0.0;
  MaxValuesValid = false;
}

void TFastFourier::ApplyWindow() {
  const size_t n = static_cast<size_t>(FNumData);
  const double* w = nullptr;
  if (FWgtWin == fwRectangle) return;
  if (FWgtWin == fwUserDef) {
    w = FUserWgt.data();
  } else {
    // The weights are computed once per window and size.
    if (FWinWeights.size() != n || FWinWeightsOf != FWgtWin) {
      std::vector<double> fresh;
      if (!TryAllocate(fresh, n)) RaiseNoHeap();
      if (FWgtWin == fwTriangle) {
        std::fill(fresh.begin(), fresh.end(), 1.0);
        for (int32_t b = 1; b <= FNumData / 2; ++b) {
          const double t = 2.0 * b / FNumData;
          fresh[Pos(b)] = t;
          fresh[Pos(FNumData + 1 - b)] = t;
        }
      } else {
        for (int32_t j = 1; j <= FNumData; ++j) fresh[Pos(j)] = WindowWeight(FWgtWin, j, FNumData);
      }
      FWinWeights.swap(fresh);
      FWinWeightsOf = FWgtWin;
    }
    w = FWinWeights.data();
  }
  double* d = FData.data();
  for (size_t k = 0; k < n; ++k) {
    d[2 * k] *= w[k];
    d[2 * k + 1] *= w[k];
  }
}

void TFastFourier::PreparePlan() {
  if (FPlan && FPlan->Size() == FNumData) return;
  std::unique_ptr<detail::TFftPlan> plan;
  try {
    plan = std::make_unique<detail::TFftPlan>();
  } catch (const std::bad_alloc&) {
    RaiseNoHeap();
  }
  if (!plan->Build(FNumData)) RaiseNoHeap();
  FPlan = std::move(plan);
}

void TFastFourier::Transform() {
  PreparePlan();
  ApplyWindow();
  FPlan->Execute(FData.data(), +1, 1.0);
  MaxValuesValid = false;
}

void TFastFourier::InverseTransform() {
  PreparePlan();
  FPlan->Execute(FData.data(), -1, 1.0 / FNumData);
  MaxValuesValid = false;
}

}  // namespace nuv
