// Internal: panels of column inner products over contiguous columns, the
// common kernel of the covariance types and of the regression normal sums.
#pragma once

#include <cstddef>
#include <cstdint>

namespace nuv {
namespace detail {

/// For columns i in [I0, I1) and j in [0, i]: G[(i - I0) * LdG + j] = sum over r < N of
/// op(W[i * N + r], W[j * N + r]), op the product or (SqDiff) the squared difference.
/// Zero is a column of N zeros used to pad short blocks.
void GramPanel(const double* W, size_t N, int64_t I0, int64_t I1, bool SqDiff, const double* Zero,
               double* G, size_t LdG);

}  // namespace detail
}  // namespace nuv
