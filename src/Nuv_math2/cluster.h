// Clustering of the objects (rows) of a data matrix: k-means with the
// clusters renumbered by size, and hierarchical agglomeration by six merge
// rules with a dendrogram, merge distances and plotting positions.
#pragma once

#include <cstdint>
#include <functional>

#include "Nuv_matrix/intmatrix.h"
#include "Nuv_matrix/matrix_core.h"
#include "foundation/frame.h"

namespace nuv {

/// Merge rules of AgglomClustering (the Lance-Williams updates of the distances).
enum TClusterMethod : uint8_t {
  cmSingleLink,
  cmCompleteLink,
  cmWard,
  cmAvgLink,
  cmFlexLink,
  cmUpgma
};

inline constexpr const char* ClusterMethodID[] = {
    "single linkage",  "complete linkage",   "Ward's method",
    "average linkage", "flexible strategy", "unweighted pair group"};

/// (Sender, PercentDone, Stat): the progress procedure of AgglomClustering; Stat is ProcStat.
using TClusterFeedback = std::function<void(TObject* Sender, double PercentDone, double Stat)>;

/// k-means (Lloyd) of the rows of DataMat into NumClust clusters. Spare1 and Spare2 are not
/// used. Initial centres: with RandSeed > 0 the uniform generator is seeded with RandSeed and
/// each centre is a row drawn from all rows (a row may be drawn twice); otherwise centre c is
/// row c. Each pass adds 1 to ProcStat and calls MathFeedBackProc, then assigns every row to
/// the centre of smallest squared Euclidean distance (a later centre only when strictly
/// nearer, so ties go to the lower cluster; rows whose distances are all NaN or infinite stay
/// in cluster 1) and, when an assignment changed, recomputes the centres as in FindCenters.
/// The first pass compares with what ClassAssign held on entry. The loop ends when nothing
/// changed or after pass 1001; after every other pass it polls AbortMathProc (not cleared
/// here). Finally clusters are renumbered by size, largest first (equal sizes in the order of
/// the library's comb sort of the sizes), rewriting ClassAssign and the rows of Centers.
/// Centers is resized to (columns, NumClust), ClassAssign to the rows, ClustSize to NumClust,
/// each only where it differs; absent outputs are kept internally. Returns the sum of the
/// squared distances of the rows to their centres, 0 when aborted (outputs as they stand,
/// not renumbered). Raises ENUVMath2Error "kMeansClustering: number of clusters is greater
/// than number of objects" (also for an absent or empty DataMat), "kMeansClustering: number
/// of clusters must be at least 1", "kMeansClustering: max. number of iterations exceeded"
/// (after the renumbering) and "kMeansClustering: not enough memory".
NUV_API double kMeansClustering(const TMatrix* DataMat, int32_t Spare1, int32_t Spare2,
                                int32_t NumClust, int32_t RandSeed, TMatrix* Centers,
                                TIntVector* ClassAssign, TIntVector* ClustSize);
/// The form above with RandSeed 0 and the cluster sizes kept internally.
NUV_API double kMeansClustering(const TMatrix* DataMat, int32_t Spare1, int32_t Spare2,
                                int32_t NumClust, TMatrix* Centers, TIntVector* ClassAssign);

/// Empirical estimate of the passes of k-means: 0.18232 sqrt(Count1 Count2) - 108
/// - 0.00092427 Count1 - 0.00017557 Count1 Count3 + 0.38775 sqrt(Count1 Count3), rounded
/// (halves to even), at least 20. Products of negative counts under a root give 20.
NUV_API int32_t kMeansEstimatedSteps(int32_t Count1, int32_t Count2, int32_t Count3);

/// The centres of the clusters of an assignment, as k-means computes them: row c of Centers
/// (resized to (columns of DataMat, NumClust) where it differs) is the mean of the rows r of
/// DataMat with ClassAssign[r] = c, summed in row order and divided by their number; a
/// cluster without rows gets a centre of zeros. Rows beyond ClassAssign, and assignments
/// outside 1..NumClust, belong to no cluster. ClustSize (may be absent) is resized to
/// NumClust and receives the number of rows per cluster. Returns the number of rows that
/// belong to a cluster; 0, with nothing changed, for NumClust <= 0 or an absent DataMat,
/// ClassAssign or Centers. Fires OnChange of Centers and ClustSize once each.
/// Raises ENUVMath2Error "FindCenters: not enough memory".
NUV_API int32_t FindCenters(const TMatrix* DataMat, const TIntVector* ClassAssign,
                            int32_t NumClust, TMatrix* Centers, TIntVector* ClustSize);

/// Hierarchical agglomerative clustering of the n rows of DataMat. Calls Feedback (Sender, 0,
/// ProcStat) first; Alpha is clipped to [0.5, 1]. The distances are those of
/// DataMat.CalcDistMat(DistMode), with DataMat's OnCalcDistance replaced by OnCalcDist while
/// they are computed (dmUserDef calls it for every pair i < j, i ascending, then j ascending)
/// and restored afterwards, also when it raises. Clears AbortMathProc. Merge step s = 1 ..
/// n - 1 (while AbortMathProc is not set): ProcStat + 1, MathFeedBackProc, Feedback (Sender,
/// 100 s / n, ProcStat); the active pair of smallest distance merges, the first in the order
/// (i ascending, then j ascending) among equal ones; pairs whose distance is NaN or not below
/// uc_MaxReal merge only when no other pair is left, the first such pair then. Dendrogram row
/// s = (cluster of slot i, cluster of slot j, n + s), objects being clusters 1..n;
/// MergeDist[s] = d(i, j); slot j takes the new cluster. The distances d'(k) to it:
/// single min(d_ik, d_jk); complete max(d_ik, d_jk); Ward (d_ik (n_i + n_k) + d_jk (n_j +
/// n_k) - d_ij n_k) / (n_i + n_j + n_k), which is Ward's method when DistMode is dmEuclidSqr
/// (heights are then twice the increase in the within-cluster sum of squares, the squares of
/// the heights other libraries report for Ward on Euclidean distances); average (d_ik +
/// d_jk) / 2; flexible (d_ik + d_jk) Alpha + d_ij (1 - 2 Alpha); unweighted pair group
/// d_ik n_i / (n_i + n_j) + d_jk n_j / (n_i + n_j). XPos[leaf] is the leaf's position in the
/// plotting order, XPos[n + s] the mean of the positions of the two parts of merge s.
/// Dendrogram is resized to 3 x (n - 1), MergeDist to n - 1, XPos to 2n - 1 elements where
/// they differ; absent outputs are kept internally. Returns 0; -1 when aborted (MergeDist and
/// XPos cleared, the dendrogram filled with 0). Fewer than 2 rows: the dendrogram becomes
/// 3 x 0, MergeDist is cleared, XPos cleared too (n = 0) or resized to 1 element holding 1
/// (n = 1); result 0. Raises ENUVMath2Error "AgglomClustering: not enough memory"; exceptions
/// of OnCalcDist and Feedback pass through.
NUV_API int32_t AgglomClustering(TObject* Sender, TMatrix* DataMat, TDistMode DistMode,
                                 TClusterMethod ClustMethod, double Alpha,
                                 TIntMatrix* Dendrogram, TVector* MergeDist, TVector* XPos,
                                 const TClusterFeedback& Feedback,
                                 const TOnCalcDistanceEvent& OnCalcDist);

}  // namespace nuv
