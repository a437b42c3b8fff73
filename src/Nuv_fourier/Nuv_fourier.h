// Fourier transform: TFastFourier, a block of complex samples whose length is a power
// of two, with weighting windows, the forward and inverse fast transforms, spectra
// (power, magnitude, phase, Fourier-series coefficients), RMS over a band of lines and
// conversions between lines and frequencies.
#pragma once

#include "Nuv_fourier/fastfourier.h"
