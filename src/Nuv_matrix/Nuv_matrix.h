// Matrices: TMatrix, the dense column-major matrix of doubles, with its
// linear algebra, block statistics, normalization, sorting, object distances
// and persistence.
#pragma once

#include "Nuv_matrix/matrix_core.h"
#include "Nuv_matrix/matrix_svd.h"
