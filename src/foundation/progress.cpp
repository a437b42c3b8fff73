#include "foundation/progress.h"

#include <cstdint>

#include "foundation/ranges.h"

namespace nuv {

std::atomic<double> ProcStat{0.0};
TMathFeedBackProc MathFeedBackProc;
std::atomic<bool> AbortMathProc{false};

int32_t PercentOf(double Done, double Total) {
  if (!(Total > 0.0)) return 0;
  return RoundToInt32(100.0 * Done / Total);
}

}  // namespace nuv
