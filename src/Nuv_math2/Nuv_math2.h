// Multivariate analysis: covariance and correlation matrices, eigenvectors
// by the cyclic Jacobi method with a per-thread eigen store, principal
// components, the singular value decomposition with its least-squares solver
// and the pseudo-inverse, the Mahalanobis distance, multiple linear and
// ridge regression, partial least squares (SIMPLS) and vertex component
// analysis; smoothing by moving windows and Savitzky-Golay fits with their
// derivatives, windowed-sinc kernels and their application, and Chebyshev
// recursive filters with zero-phase filtering; TCurveFit, which collects pairs
// for bivariate statistics, rank correlations, curve fits and splines;
// k-means and agglomerative clustering, nearest neighbours and estimates from
// them; plane geometry (point in polygon, area, bounding rectangle, the convex
// hull) and the great-circle distance; the correlation of bitmap areas and the
// parenthesis check of expressions.
// CalcFishQ, the Fisher ratio of two groups, is shared with the statistics
// unit and comes from there.
#pragma once

#include "Nuv_math2/cluster.h"
#include "Nuv_math2/covariance.h"
#include "Nuv_math2/curvefit.h"
#include "Nuv_math2/curvefit_spline.h"
#include "Nuv_math2/eigen.h"
#include "Nuv_math2/eigen_sym.h"
#include "Nuv_math2/expression_check.h"
#include "Nuv_math2/filter_cheb.h"
#include "Nuv_math2/filter_kernel.h"
#include "Nuv_math2/geometry.h"
#include "Nuv_math2/imgcorr.h"
#include "Nuv_math2/knn.h"
#include "Nuv_math2/mahalanobis.h"
#include "Nuv_math2/pls.h"
#include "Nuv_math2/princomp.h"
#include "Nuv_math2/regression.h"
#include "Nuv_math2/smooth.h"
#include "Nuv_math2/smooth_tables.h"
#include "Nuv_math2/svd_solve.h"
#include "Nuv_math2/vca.h"
#include "Nuv_statis/normal_distribution.h"
