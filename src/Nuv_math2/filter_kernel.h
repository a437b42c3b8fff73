// Windowed-sinc filter kernels (low pass, high pass, band stop, band pass) and the
// application of a kernel to a signal held in a TVector.
#pragma once

#include <cstdint>

#include "Nuv_vector/vector.h"
#include "foundation/frame.h"

namespace nuv {

// Kernel design. Frequencies are fractions of the sampling rate, each clipped to 0..0.5.
// With the centre m = NumElem div 2 + 1 and j = 1..NumElem, the low-pass kernel is
// sin(2 pi CutOff (j - m)) / (j - m) (2 pi CutOff at the centre), multiplied by the
// window (WinType 1 Hamming 0.54 - 0.46 cos(2 pi j / (NumElem + 1)), 2 Blackman
// 0.42 - 0.5 cos(..) + 0.08 cos(2 ..), any other value none) and divided by its sum
// unless that is 0 (unit gain at zero frequency). The high pass is the negated low pass
// with 1 added to the centre; the band stop is the low pass at the lower plus the high
// pass at the higher frequency; the band pass is the band stop negated with 1 added to
// the centre. The TVector forms resize Kernel to NumElem (leaving it as it is for
// NumElem < 1) and fire its OnChange; the TDoubleArray forms set NumElem elements (none
// for NumElem < 1). Raise ENUVMath2Error "<function>: Kernel is undefined" for an absent
// vector and "<function>: not enough memory" when the kernel cannot be allocated.

NUV_API void CalcSincLPKernel(int32_t NumElem, double CutOff, int32_t WinType, TVector* Kernel);
NUV_API void CalcSincLPKernel(int32_t NumElem, double CutOff, int32_t WinType,
                              TDoubleArray& Kernel);
NUV_API void CalcSincHPKernel(int32_t NumElem, double CutOff, int32_t WinType, TVector* Kernel);
NUV_API void CalcSincHPKernel(int32_t NumElem, double CutOff, int32_t WinType,
                              TDoubleArray& Kernel);
NUV_API void CalcSincBSKernel(int32_t NumElem, double FreqLow, double FreqHigh, int32_t WinType,
                              TVector* Kernel);
NUV_API void CalcSincBSKernel(int32_t NumElem, double FreqLow, double FreqHigh, int32_t WinType,
                              TDoubleArray& Kernel);
NUV_API void CalcSincBPKernel(int32_t NumElem, double FreqLow, double FreqHigh, int32_t WinType,
                              TVector* Kernel);
NUV_API void CalcSincBPKernel(int32_t NumElem, double FreqLow, double FreqHigh, int32_t WinType,
                              TDoubleArray& Kernel);

/// Applies FilterKernel (K elements, centre K div 2 + 1) to source elements LowElem..HighElem
/// (each bound clipped into the source, the pair ordered): DestVec element e - LowElem + 1
/// receives sum over j = 0..K - 1 of x[e + j - K div 2] FilterKernel[j + 1], where indices
/// outside LowElem..HighElem take the value at the nearer end. DestVec is resized to the
/// length of SourceVec and fires OnChange once more at the end; it may be SourceVec or
/// FilterKernel. Raises ENUVMath2Error "MovingKernelfilter: SourceVec, DestVec and/or
/// FilterKernel is undefined", "MovingKernelfilter: specified range for smoothing is smaller
/// than the length of the kernel" (HighElem - LowElem < K), "MovingKernelfilter: not
/// enough memory".
NUV_API void MovingKernelFilter(const TVector* SourceVec, int32_t LowElem, int32_t HighElem,
                                TVector* DestVec, const TVector* FilterKernel);

}  // namespace nuv
