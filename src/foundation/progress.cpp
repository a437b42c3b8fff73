#include "foundation/progress.h"

#include <cmath>
#include <cstdint>

namespace nuv {

std::atomic<double> ProcStat{0.0};
TMathFeedBackProc MathFeedBackProc;
std::atomic<bool> AbortMathProc{false};

int32_t PercentOf(double Done, double Total) {
  if (!(Total > 0.0)) return 0;
  const double p = std::nearbyint(100.0 * Done / Total);
  if (!(p > -2147483648.0)) return INT32_MIN;
  if (!(p < 2147483647.0)) return INT32_MAX;
  return static_cast<int32_t>(p);
}

}  // namespace nuv
