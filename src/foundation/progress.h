// Process-wide progress counter, progress procedure and abort flag.
#pragma once

#include <atomic>

#include "foundation/events.h"
#include "foundation/nuv_export.h"

namespace nuv {

/// Step counter of long operations; the library adds to it and never resets it.
extern NUV_API std::atomic<double> ProcStat;
/// Called with the new ProcStat after every step when assigned.
extern NUV_API TMathFeedBackProc MathFeedBackProc;
/// Set by the application to abort the running operation; the library only clears it.
extern NUV_API std::atomic<bool> AbortMathProc;

/// One progress step of a long loop: ProcStat + 1, then MathFeedBackProc if assigned.
inline void ProgressStep() {
  const double next = ProcStat.load(std::memory_order_relaxed) + 1.0;
  ProcStat.store(next, std::memory_order_relaxed);
  if (MathFeedBackProc) MathFeedBackProc(next);
}

inline bool AbortRequested() { return AbortMathProc.load(std::memory_order_relaxed); }

inline void ClearAbort() { AbortMathProc.store(false, std::memory_order_relaxed); }

/// A progress step followed by the abort poll; true when the loop must leave.
inline bool ProgressStepAborted() {
  ProgressStep();
  return AbortRequested();
}

/// Percentage 100 * Done / Total rounded to the nearest integer (halves to even), 0 for Total <= 0.
NUV_API int32_t PercentOf(double Done, double Total);

}  // namespace nuv
