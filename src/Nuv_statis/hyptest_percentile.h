// A percentile picked out of a plain array by partial ordering.
#pragma once

#include <cstdint>

#include "foundation/nuv_export.h"
#include "foundation/types.h"

namespace nuv {

/// Value receives the element that would stand at 0-based index
/// k = Low + round(Percent/100 (High - Low + 1)) (halves to even), clipped to High, if
/// Data[Low..High] were sorted ascending: QuickSelect partly orders that range of the
/// caller's array in place (NaN counts as the largest value). So Percent = 0 gives the
/// smallest and Percent = 100 the largest value of the range.
/// Returns 0, or a code with Value = 0 and the array untouched; of the checks below the
/// last one that fails decides: -1 when Low or High lies outside 0..last index, -3 when
/// High < Low, -2 when Percent lies outside 0..100 (NaN included).
NUV_API int32_t PercentileOfArray(TDoubleArray& Data, double Percent, int32_t Low, int32_t High,
                                  double& Value);

}  // namespace nuv
