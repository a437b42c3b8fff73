// Null distributions of the one-sample Kolmogorov-Smirnov and Lilliefors
// statistics: significance levels, the tabulated critical values of D, and
// the Dallal-Wilkinson p-value and quantile of the Lilliefors statistic.
#pragma once

#include <cstdint>

#include "foundation/nuv_export.h"

namespace nuv {

/// Significance levels alpha = 0.20, 0.15, 0.10, 0.05, 0.01.
enum TSignifLevel : uint8_t { Dot20, Dot15, Dot10, Dot05, Dot01 };

/// alpha of each TSignifLevel, in its order.
inline constexpr double SignifLevelAlpha[5] = {0.20, 0.15, 0.10, 0.05, 0.01};

/// Critical values of the one-sample D for n = 1 ... 20 (row n - 1), columns in
/// TSignifLevel order.
inline constexpr double KSCriticalValues[20][5] = {
    {0.900, 0.925, 0.950, 0.975, 0.995}, {0.684, 0.726, 0.776, 0.842, 0.929},
    {0.565, 0.597, 0.642, 0.708, 0.828}, {0.494, 0.525, 0.564, 0.624, 0.733},
    {0.446, 0.474, 0.510, 0.565, 0.669}, {0.410, 0.436, 0.470, 0.521, 0.618},
    {0.381, 0.405, 0.438, 0.486, 0.577}, {0.358, 0.381, 0.411, 0.457, 0.543},
    {0.339, 0.360, 0.388, 0.432, 0.514}, {0.322, 0.342, 0.368, 0.410, 0.490},
    {0.307, 0.326, 0.352, 0.391, 0.468}, {0.295, 0.313, 0.338, 0.375, 0.450},
    {0.284, 0.302, 0.325, 0.361, 0.433}, {0.274, 0.292, 0.314, 0.349, 0.418},
    {0.266, 0.283, 0.304, 0.338, 0.404}, {0.258, 0.274, 0.295, 0.328, 0.392},
    {0.250, 0.266, 0.286, 0.318, 0.381}, {0.244, 0.259, 0.278, 0.309, 0.371},
    {0.237, 0.252, 0.272, 0.301, 0.363}, {0.231, 0.246, 0.264, 0.294, 0.356}};

/// c of the large-sample critical value c / sqrt(n), in TSignifLevel order.
inline constexpr double KSAsymptoticFactor[5] = {1.073, 1.138, 1.224, 1.358, 1.628};

/// Critical value of D: the table for 1 <= n <= 20, c / sqrt(n) above. -1 for a
/// level outside the enumeration or n < 1.
NUV_API double KolmogSmir1SampleTestStat(int32_t n, TSignifLevel level);

/// Dallal-Wilkinson approximation of the Lilliefors p-value, never above 1.
/// -1 if n <= 5.
NUV_API double LillieforsPValue(int32_t n, double d);

/// 1 / sqrt(n A(1 - alpha) + B(1 - alpha)) with the two sextic fits; 0 where
/// the radicand is not positive.
NUV_API double LillieforsQuantile(int32_t n, double alpha);

}  // namespace nuv
