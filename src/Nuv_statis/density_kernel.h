// Internal: the Gaussian kernel sum of the density estimate, compiled once for the
// baseline instruction set of the target and, on x86, once more for AVX2; the widest set
// the CPU runs is chosen on first use. Both add the same terms in the same order (no fused
// multiply-add), so results do not depend on the CPU.
#pragma once

#include <cstdint>

namespace nuv::detail {

/// sum over j < n of InvWidth[j] exp(-((t - x[j]) InvWidth[j])^2 / 2), in eight interleaved
/// partial sums. The exponential is a vectorizable one, within 2 units in the last place of
/// the correctly rounded value (also for denormal results; 0 below e^-745.2).
using TKernelSumFn = double (*)(const double* x, const double* InvWidth, int64_t n, double t);

/// The variant for the widest instruction set this CPU runs, chosen on first use.
TKernelSumFn KernelSum();

TKernelSumFn KernelSumBaseline();
/// Null where the build cannot emit AVX2.
TKernelSumFn KernelSumAvx2();

}  // namespace nuv::detail
