// Savitzky-Golay weight tables of the quadratic moving-window fits.
#pragma once

#include <cstdint>

namespace nuv {

/// Quadratic Savitzky-Golay smoothing weights. Row r (0..10) serves the window of 2r + 5
/// points (half-width m = r + 2): entry 0 is the divisor N, entry 1 the weight c0 of the
/// centre point and entry 1 + i the weight ci of the two points at distance i (i = 1..m);
/// the entries beyond are 0. ci / N = (3m^2 + 3m - 1 - 5i^2) / ((2m + 3)(2m + 1)(2m - 1) / 3),
/// stored as a reduced fraction per row.
inline constexpr int32_t GolayPoly[11][14] = {
    {35, 17, 12, -3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {21, 7, 6, 3, -2, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {231, 59, 54, 39, 14, -21, 0, 0, 0, 0, 0, 0, 0, 0},
    {429, 89, 84, 69, 44, 9, -36, 0, 0, 0, 0, 0, 0, 0},
    {143, 25, 24, 21, 16, 9, 0, -11, 0, 0, 0, 0, 0, 0},
    {1105, 167, 162, 147, 122, 87, 42, -13, -78, 0, 0, 0, 0, 0},
    {323, 43, 42, 39, 34, 27, 18, 7, -6, -21, 0, 0, 0, 0},
    {2261, 269, 264, 249, 224, 189, 144, 89, 24, -51, -136, 0, 0, 0},
    {3059, 329, 324, 309, 284, 249, 204, 149, 84, 9, -76, -171, 0, 0},
    {805, 79, 78, 75, 70, 63, 54, 43, 30, 15, -2, -21, -42, 0},
    {5175, 467, 462, 447, 422, 387, 342, 287, 222, 147, 62, -33, -138, -253}};

/// Quadratic Savitzky-Golay second-derivative weights (per squared sampling step), laid out
/// as GolayPoly: ci / N = 2 (i^2 - m(m + 1)/3) / (S4 - S2^2 / (2m + 1)) with S2 = sum k^2 and
/// S4 = sum k^4 over k = -m..m.
inline constexpr int32_t Golay2ndDeriv[11][14] = {
    {7, -2, -1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {42, -4, -3, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {462, -20, -17, -8, 7, 28, 0, 0, 0, 0, 0, 0, 0, 0},
    {429, -10, -9, -6, -1, 6, 15, 0, 0, 0, 0, 0, 0, 0},
    {1001, -14, -13, -10, -5, 2, 11, 22, 0, 0, 0, 0, 0, 0},
    {6188, -56, -53, -44, -29, -8, 19, 52, 91, 0, 0, 0, 0, 0},
    {3876, -24, -23, -20, -15, -8, 1, 12, 25, 40, 0, 0, 0, 0},
    {6783, -30, -29, -26, -21, -14, -5, 6, 19, 34, 51, 0, 0, 0},
    {33649, -110, -107, -98, -83, -62, -35, -2, 37, 82, 133, 190, 0, 0},
    {17710, -44, -43, -40, -35, -28, -19, -8, 5, 20, 37, 56, 77, 0},
    {26910, -52, -51, -48, -43, -36, -27, -16, -3, 12, 29, 48, 69, 92}};

/// Divisors of the Savitzky-Golay first derivative, entry m - 2 for the half-width
/// m = 2..12: sum k^2 over k = -m..m = m(m + 1)(2m + 1) / 3.
inline constexpr int32_t Golay1stDerivDiv[11] = {10,  28,  60,  110,  182, 280,
                                                 408, 570, 770, 1012, 1300};

}  // namespace nuv
