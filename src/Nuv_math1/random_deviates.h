// Random deviates on top of the uniform generator: Bernoulli, Cauchy, normal,
// and the combined congruential generator LongRand. The state of GRandom and
// LongRand is kept per thread.
#pragma once

#include "foundation/frame.h"

namespace nuv {

/// True with probability p: always for p >= 1, otherwise one uniform draw u and u < p.
NUV_API bool BRandom(double p);

/// Cauchy deviate tan((u - 0.5)*pi)*Scale + Center from one uniform draw u.
NUV_API double CRandom(double Center, double Scale);

/// Standard normal deviate by the polar method. Every second call returns the
/// deviate cached by the call before without drawing.
NUV_API double GRandom();

/// Uniform double in [0, 1) from three combined multiplicative congruential
/// generators. A nonzero Seed restarts the sequence reproducibly; 0 continues it.
/// A Seed that is a multiple of 990923 stops the generators at 0 until reseeded.
/// Every thread starts from the states drawn when the library was loaded (three
/// uniform draws of the loading thread), so a first call draws nothing.
NUV_API double LongRand(int32_t Seed);

}  // namespace nuv
