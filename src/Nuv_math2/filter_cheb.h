// Chebyshev recursive filters: design by pole placement and the bilinear transform, and
// zero-phase application (a forward and a backward pass).
#pragma once

#include <cstdint>

#include "Nuv_matrix/matrix_core.h"
#include "Nuv_vector/vector.h"
#include "foundation/frame.h"

namespace nuv {

/// Designs a low-pass (or with HighPass a high-pass) Chebyshev filter of NPoles poles
/// (even, 2..20) with the cutoff CutOff (fraction of the sampling rate, 0..0.5) and a
/// pass-band ripple of Ripple percent (0..29; 0 gives a Butterworth filter), normalised to
/// unit gain in the pass band. A0 receives the coefficient of the current input; Coeffs is
/// resized to 2 columns and NPoles rows, row i holding the feed-forward coefficient a_i in
/// column 1 and the feedback coefficient b_i in column 2, so that
/// y[k] = A0 x[k] + sum_i (a_i x[k - i] + b_i y[k - i]); it fires OnChange once more at
/// the end. Raises ENUVMath2Error, checked in this order: "CalcChebFilterCoeffs: NPoles
/// must be even", "CalcChebFilterCoeffs: number of poles out of range", "...: invalid
/// Ripple value", "...: invalid cutoff frequency", "...: Coeffs is undefined".
NUV_API void CalcChebFilterCoeffs(int32_t NPoles, bool HighPass, double CutOff, double Ripple,
                                  double& A0, TMatrix* Coeffs);

/// Filters SourceVec forward and then backward with the recursion of A0 and Coeffs (np rows:
/// a_i in column 1, b_i in column 2), so that the phase shifts cancel. With off = np + 1
/// and L = HighElem + 2 off, the forward pass runs over k = 1..L with source elements
/// outside the vector read as 0 and shifted by off, the backward pass from L down to 1 with
/// zeros beyond L; DestVec element e (e = LowElem..HighElem; indexed by e itself, not
/// resized, elements beyond it dropped) receives the result at e + off. Each bound is
/// clipped into the source and the pair ordered; the passes start at element 1 whatever
/// LowElem is. DestVec may be SourceVec; it fires OnChange once. Raises ENUVMath2Error
/// "ChebychevFilter: SourceVec, DestVec and/or Coeffs is undefined" and
/// "ChebychevFilter: not enough memory".
NUV_API void ChebychevFilter(const TVector* SourceVec, int32_t LowElem, int32_t HighElem,
                             TVector* DestVec, double A0, const TMatrix* Coeffs);

}  // namespace nuv
