// Moving-window smoothing of a signal held in a TVector: mean, triangular weights,
// median and quadratic Savitzky-Golay fits with their first and second derivatives.
#pragma once

#include <cstdint>

#include "Nuv_math2/smooth_tables.h"
#include "Nuv_vector/vector.h"

namespace nuv {

// Shared rules of the six functions below. Source elements LowElem..HighElem are
// processed; each bound is clipped into 1..NrOfElem of SourceVec (there is no "0 means
// all" rule here) and a reversed pair is exchanged. With h = WinWidth div 2, the value of
// source element e (e = LowElem + h .. HighElem - h) is computed from elements e - h ..
// e + h and goes to DestVec element e - LowElem + 1; the first h and the last h
// destination elements repeat the first and the last computed value. DestVec is not
// resized (elements beyond it are dropped) and may be SourceVec itself; it fires OnChange
// once. Raises ENUVMath2Error "<function>: ..." in this order: either vector absent; a
// range with HighElem - LowElem < WinWidth; WinWidth out of range (<= 2, or for the
// Savitzky-Golay functions outside 5..25); an even WinWidth.

/// Mean of the window.
NUV_API void MovingAverageSmooth(const TVector* SourceVec, int32_t LowElem, int32_t HighElem,
                                 TVector* DestVec, int32_t WinWidth);
/// Triangular weights h + 1 - |k| at distance k from the centre, divided by their sum (h + 1)^2.
NUV_API void WeightedAverageSmooth(const TVector* SourceVec, int32_t LowElem, int32_t HighElem,
                                   TVector* DestVec, int32_t WinWidth);
/// Median of the window: the value TVector::Quartiles gives as second quartile (NaN counts
/// as larger than every number).
NUV_API void MovingMedianSmooth(const TVector* SourceVec, int32_t LowElem, int32_t HighElem,
                                TVector* DestVec, int32_t WinWidth);
/// Quadratic Savitzky-Golay smoothing with the GolayPoly weights; WinWidth 5..25.
NUV_API void PolynomialSmooth(const TVector* SourceVec, int32_t LowElem, int32_t HighElem,
                              TVector* DestVec, int32_t WinWidth);
/// Savitzky-Golay second derivative per squared sampling step (Golay2ndDeriv); WinWidth 5..25.
NUV_API void SecondDeriv(const TVector* SourceVec, int32_t LowElem, int32_t HighElem,
                         TVector* DestVec, int32_t WinWidth);
/// Savitzky-Golay first derivative per sampling step: sum k x[e + k] / sum k^2; WinWidth 5..25.
NUV_API void FirstDeriv(const TVector* SourceVec, int32_t LowElem, int32_t HighElem,
                        TVector* DestVec, int32_t WinWidth);

}  // namespace nuv
