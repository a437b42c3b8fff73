// Wavelets: TWavelet1D, the discrete wavelet transform of a signal whose length is a
// power of two with the orthonormal Daubechies filters of orders 1 to 3, one level or
// several levels at a time, forward and back, with periodic, zero-padded or symmetric
// extension of the signal.
#pragma once

#include "Nuv_wavelet/wavelet1d.h"
