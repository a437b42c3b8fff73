// The process-wide uniform generator (xoshiro256**, one state per thread).
#pragma once

#include <cstdint>

#include "foundation/nuv_export.h"

namespace nuv {

/// Uniform double in [0, 1) with 53 random bits.
NUV_API double Random();
/// Uniform integer in [0, Range); 0 when Range <= 0.
NUV_API int32_t Random(int32_t Range);
/// Reseeds the generator from the clock.
NUV_API void Randomize();
/// Reseeds the generator reproducibly.
NUV_API void SetRandSeed(uint32_t Seed);

}  // namespace nuv
