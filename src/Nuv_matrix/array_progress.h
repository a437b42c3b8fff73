// Progress of the long operations of the 3-D and 4-D arrays. Private to the
// matrix unit.
//
// Both reporters are told how much work was done since the last call and fire
// the steps that became due. A handler they fire may resize the array whose
// buffer the operation is reading; they notice that (the buffer's address or
// size changed) and return false, and the operation stops.
#pragma once

#include <cstdint>
#include <vector>

#include "Nuv_matrix/array_buffer.h"
#include "foundation/progress.h"

namespace nuv {
namespace detail {

/// Watches whether a buffer is still the one an operation started on.
class TStorageWatch {
 public:
  explicit TStorageWatch(const TDoubleBuffer& Storage)
      : FStorage(Storage), FData(Storage.data()), FSize(Storage.size()) {}
  bool Intact() const { return FStorage.data() == FData && FStorage.size() == FSize; }

 private:
  const TDoubleBuffer& FStorage;
  const double* FData;
  size_t FSize;
};

/// Library-wide progress over the column-row pixels of a block: ProcStat + 1,
/// then MathFeedBackProc, after every (Pixels div 100 + 1)-th pixel.
class THookProgress {
 public:
  THookProgress(int64_t Pixels, const TDoubleBuffer& Storage)
      : FEvery(Pixels / 100 + 1), FWatch(Storage) {}
  /// Pixels more are done; false when a handler changed the buffer.
  bool Done(int64_t Pixels) {
    const int64_t before = FDone / FEvery;
    FDone += Pixels;
    const int64_t after = FDone / FEvery;
    if (after == before) return true;
    for (int64_t k = before; k < after; ++k) ProgressStep();
    return FWatch.Intact();
  }

 private:
  int64_t FEvery;
  int64_t FDone = 0;
  TStorageWatch FWatch;
};

/// An object's percent-done progress over Total steps: PercDone(percentage of
/// steps done, rounded) after every (Total div 100)-th step, at least every
/// step. Costs one branch when the object has no OnPercentDone handler.
template <class Obj>
class TPercentProgress {
 public:
  TPercentProgress(const Obj& Owner, int64_t Total, const TDoubleBuffer& Storage)
      : FOwner(const_cast<Obj&>(Owner)),
        FTotal(Total),
        FEvery(Total / 100 > 0 ? Total / 100 : 1),
        FWatch(Storage) {}
  /// Steps more are done; false when a handler changed the buffer.
  bool Done(int64_t Steps) {
    const int64_t before = FDone / FEvery;
    FDone += Steps;
    if (!FOwner.OnPercentDone()) return true;
    const int64_t after = FDone / FEvery;
    for (int64_t k = before + 1; k <= after; ++k)
      FOwner.PercDone(&FOwner, PercentOf(static_cast<double>(k * FEvery),
                                         static_cast<double>(FTotal)));
    return after == before || FWatch.Intact();
  }

 private:
  Obj& FOwner;
  int64_t FTotal;
  int64_t FEvery;
  int64_t FDone = 0;
  TStorageWatch FWatch;
};

}  // namespace detail
}  // namespace nuv
