// The text file of a fitted partial-least-squares model: the coefficients,
// weights and loadings that SimPLS computes, the centring and scaling the data
// went through before, and a comment line. The format is described in
// docs/formats.md.
#pragma once

#include <string>

#include "Nuv_matrix/matrix_core.h"
#include "Nuv_vector/vector.h"
#include "foundation/nuv_export.h"

namespace nuv {

/// Writes a PLS model of p predictors, m responses and a components to FileName (replaced if
/// it exists), in text with CR LF line ends and shortest round-trip numbers:
/// - Coeffs (m columns, p + 1 rows: the intercepts, then one row per predictor) is required;
/// - Weights and XLoadings (a columns, p rows) and YLoadings (a columns, m rows) may all be
///   absent (a = 0); present ones must agree in a;
/// - XMeans, XScales (p elements) and YMeans, YScales (m elements) give the preprocessing
///   the data had before the model was fitted, x' = (x - XMean)/XScale and
///   y' = (y - YMean)/YScale; an absent vector stands for 0 (means) or 1 (scales).
/// Line ends in Comment become blanks. Returns "" on success, otherwise the reason: the
/// message of the file error, or "StorePLSModel: ..." for absent or mismatched arguments.
NUV_API std::string StorePLSModel(const std::string& FileName, const std::string& Comment,
                                  const TMatrix* Coeffs, const TMatrix* Weights,
                                  const TMatrix* XLoadings, const TMatrix* YLoadings,
                                  const TVector* XMeans, const TVector* XScales,
                                  const TVector* YMeans, const TVector* YScales);

/// The comment of the PLS model file FileName, read from its first two lines without
/// reading the rest. False, with Comment unchanged, when the file cannot be opened or does
/// not start like a PLS model file.
NUV_API bool LoadPLSModelComment(const std::string& FileName, std::string& Comment);

/// Reads a whole PLS model file into the outputs (each may be absent; matrices and vectors
/// are resized to the file's counts, those of absent parts to 0 columns). False, with every
/// output unchanged, when the file cannot be opened or is malformed or truncated; nothing is
/// allocated beyond what the file's lines hold.
NUV_API bool LoadPLSModel(const std::string& FileName, std::string& Comment, TMatrix* Coeffs,
                          TMatrix* Weights, TMatrix* XLoadings, TMatrix* YLoadings, TVector* XMeans,
                          TVector* XScales, TVector* YMeans, TVector* YScales);

}  // namespace nuv
