// TKohonen: the training loop (quadratic schedules, winner search, open and
// cyclic windows, the data-space learning rate) and the mapping of objects.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "Nuv_kohonen/kohonen.h"
#include "Nuv_kohonen/kohonen_distance.h"
#include "foundation/memory.h"
#include "foundation/messages.h"
#include "foundation/progress.h"
#include "foundation/ranges.h"
#include "foundation/types.h"

namespace nuv {

namespace {

// Radius of the window along a grid side of Size cells. On a cyclic grid a
// radius that would reach round to the other side of the winner is cut to
// Size div 2 - 1, so no cell is visited twice.
int32_t WindowRadius(int32_t CurNeighb, int32_t Size, bool Cyclic) {
  if (Cyclic && CurNeighb >= Size / 2) return std::max(Size / 2 - 1, 0);
  return std::max(CurNeighb, 0);
}

// The grid indices (0-based) of a window of radius R around W along a side of
// Size cells: clipped to the grid when open, wrapped when cyclic.
void WindowIndices(int32_t W, int32_t R, int32_t Size, bool Cyclic, std::vector<int32_t>& Out) {
  Out.clear();
  if (Cyclic) {
    for (int64_t i = int64_t{W} - R; i <= int64_t{W} + R; ++i)
      Out.push_back(static_cast<int32_t>(i < 0 ? i + Size : (i >= Size ? i - Size : i)));
  } else {
    const int64_t lo = std::max<int64_t>(int64_t{W} - R, 0);
    const int64_t hi = std::min<int64_t>(int64_t{W} + R, Size - 1);
    for (int64_t i = lo; i <= hi; ++i) Out.push_back(static_cast<int32_t>(i));
  }
}

}  // namespace

void TKohonen::Trainit() {
  FCurStep = 1;
  SetWeigtsToRandom();
  ContinueTraining();
}

bool TKohonen::CanTrain() const {
  return FMaxSteps > 0 && FCurStep <= FMaxSteps && FDataMat->NrOfRows() > 0 &&
         FDataMat->NrOfColumns() == FNrInSens;
}

void TKohonen::ContinueTraining() {
  FAbort.store(false, std::memory_order_relaxed);
  // Each step reads the sizes afresh: the feedback handler may change them.
  while (CanTrain()) {
    TrainStep();
    DoFeedback(PercentOf(FCurStep, FMaxSteps));
    if (FCurStep == INT32_MAX) break;
    ++FCurStep;
    if (FAbort.load(std::memory_order_relaxed) || FCurStep >= FMaxSteps) break;
  }
  FAbort.store(false, std::memory_order_relaxed);
}

void TKohonen::TrainStep() {
  const double r = (static_cast<double>(FMaxSteps) - FCurStep) / FMaxSteps;
  const double r2 = r * r;
  FCurNeighb = RoundToInt32(r2 * (static_cast<double>(FMaxNeighb) - 1.0) + 1.0);
  FCurAlpha = r2 * FMaxAlpha;

  const int32_t sx = FSizeX, sy = FSizeY;
  const size_t n = static_cast<size_t>(FNrInSens);
  const size_t cells = static_cast<size_t>(sx) * static_cast<size_t>(sy);
  const int32_t rx = WindowRadius(FCurNeighb, sx, FCyclic);
  const int32_t ry = WindowRadius(FCurNeighb, sy, FCyclic);
  const double alpha = FCurAlpha;

  std::vector<double> obj;
  std::vector<int32_t> xs, ys;
  if (!TryAllocate(obj, n)) RaiseComponentError<ENUVKohonenError>(this, "not enough memory on heap");
  double* w = FKohMat->Data();
  const double* data = FDataMat->ColData(1);
  const size_t stride = static_cast<size_t>(FDataMat->ColStride());
  const int32_t rows = FDataMat->NrOfRows();

  for (int32_t row = 0; row < rows; ++row) {
    for (size_t z = 0; z < n; ++z) obj[z] = data[z * stride + static_cast<size_t>(row)];
    double f = uc_MaxDouble;
    const size_t win = detail::NearestCell(w, cells, obj.data(), n, f);
    if (win == cells) continue;  // NaN, or farther than any double from every cell
    const int32_t wx = static_cast<int32_t>(win / static_cast<size_t>(sy));
    const int32_t wy = static_cast<int32_t>(win % static_cast<size_t>(sy));
    WindowIndices(wx, rx, sx, FCyclic, xs);
    WindowIndices(wy, ry, sy, FCyclic, ys);
    for (const int32_t x : xs) {
      for (const int32_t y : ys) {
        double* c = w + (static_cast<size_t>(x) * static_cast<size_t>(sy) +
                         static_cast<size_t>(y)) * n;
        // The excess distance over the winner's, never below 0 (the winner's
        // own is exactly 0: both sums run in the same order).
        double excess = detail::SquaredDistance(c, obj.data(), n) - f;
        if (!(excess > 0.0)) excess = 0.0;
        const double h = alpha / (std::sqrt(excess) + 1.0);
        for (size_t z = 0; z < n; ++z) c[z] += (obj[z] - c[z]) * h;
      }
    }
  }
}

void TKohonen::ApplyIt(const TVector* InData, int32_t& BestIx, int32_t& BestIy,
                       double& Distance) const {
  Distance = uc_MaxDouble;
  if (InData == nullptr) return;
  const size_t n = static_cast<size_t>(FNrInSens);
  std::vector<double> obj;
  if (!TryAllocate(obj, n)) RaiseComponentError<ENUVKohonenError>(this, "not enough memory on heap");
  for (int32_t z = 1; z <= FNrInSens; ++z) {
    const double sd = FStdDevVec->GetVal(z);
    const double v = InData->GetVal(z) - FMeanVec->GetVal(z);
    obj[static_cast<size_t>(z - 1)] = sd != 0.0 ? v / sd : v;
  }
  const size_t cells = static_cast<size_t>(FSizeX) * static_cast<size_t>(FSizeY);
  double best = uc_MaxDouble;
  const size_t win = detail::NearestCell(FKohMat->Data(), cells, obj.data(), n, best);
  if (win == cells) return;
  BestIx = static_cast<int32_t>(win / static_cast<size_t>(FSizeY)) + 1;
  BestIy = static_cast<int32_t>(win % static_cast<size_t>(FSizeY)) + 1;
  Distance = best;
}

}  // namespace nuv
