// pca's eigen decomposition: the cyclic Jacobi for a few columns, the
// library's divide-and-conquer solver for more.
#pragma once

#include <cstdint>

#include "input.h"

namespace nuvstat {

/// From this many columns on, pca decomposes with CalcSymEigen: it is faster from about
/// ten columns on, and by far for wide data (200 columns: 10x, 2000: hours against seconds).
constexpr int32_t kFastEigenColumns = 10;

/// The covariance (CovType 1) or correlation (CovType 2) matrix of Data's columns, decomposed
/// into the library's eigen store: eigenvalues unscaled, the positive ones first in
/// descending order. Throws ToolError naming the cause when it fails, Interrupted on Ctrl-C.
void DecomposeForPca(const DataSet& Data, int32_t CovType);

}  // namespace nuvstat
