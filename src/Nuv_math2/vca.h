// Vertex component analysis: the observations of a data set that span the
// simplex enclosing it (the endmembers of a linear mixture).
#pragma once

#include <cstdint>

#include "Nuv_matrix/matrix_core.h"
#include "Nuv_vector/Nuv_vector.h"
#include "foundation/frame.h"

namespace nuv {

/// Finds NumEndMembers rows of Data (objects as rows, variables as columns) that are the
/// vertices of the simplex spanned by the data: the rows are projected onto the leading
/// NumEndMembers eigenvectors of the uncentred second-moment matrix, scaled projectively
/// onto the hyperplane of their mean direction, and the vertices are taken one by one as the
/// extreme of a random direction orthogonal to those found (GRandom; replayable with
/// SetRandSeed). Indices gets the 1-based row numbers in the order found; EndMembers (may be
/// absent) a copy of those rows (NrOfColumns columns, NumEndMembers rows). Clears
/// AbortMathProc; a progress step and an abort poll per endmember. False when aborted, for
/// NumEndMembers outside 1..min(rows, columns) or an absent argument.
/// Raises ENUVMath2Error "VertexCompAnalysis: not enough memory".
NUV_API bool VertexCompAnalysis(const TMatrix* Data, int32_t NumEndMembers, TIntVector* Indices,
                                TMatrix* EndMembers);

}  // namespace nuv
