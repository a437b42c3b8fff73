// Matrices and multi-dimensional arrays: TMatrix, the dense column-major
// matrix of doubles, with its linear algebra, block statistics,
// normalization, sorting, object distances and persistence; TIntMatrix, the
// matrix of 32-bit integers in a dense or a sparse form; TMat3D, the 3-D
// array; TMat4D, the 4-D array with its binary file.
#pragma once

#include "Nuv_matrix/intmatrix.h"
#include "Nuv_matrix/mat3d.h"
#include "Nuv_matrix/mat4d.h"
#include "Nuv_matrix/matrix_core.h"
#include "Nuv_matrix/matrix_distance.h"
#include "Nuv_matrix/matrix_svd.h"
