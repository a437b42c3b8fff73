// Plane and sphere geometry: polygons given as arrays of vertices (closed
// implicitly, the last vertex joined to the first), point containment, signed
// area, bounding rectangle, containment in a convex hull, the convex hull of a
// point set, and the great-circle distance on a sphere.
//
// Orientation questions (which side of an edge a point lies on) are decided
// exactly, so a point on an edge is recognised as such whatever the rounding
// of the coordinates. Defined in geometry_polygon.cpp and geometry_hull.cpp.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/frame.h"

namespace nuv {

/// True only when (x, y) lies strictly inside Poly (crossing-product test); a
/// point on an edge or a vertex gives false, and so does an empty polygon or a
/// NaN coordinate.
NUV_API bool PointIsInsidePolygon(double x, double y, const std::vector<TPointDouble>& Poly);

/// Signed area: positive for counter-clockwise vertices, 0 for fewer than three.
NUV_API double PolygonArea(const std::vector<TPointDouble>& Poly);

/// The axis-parallel bounding rectangle of all vertices. An empty polygon
/// leaves the four outputs untouched.
NUV_API void OuterRectOfPolygon(const std::vector<TPointDouble>& Poly, double& MinX, double& MinY,
                                double& MaxX, double& MaxY);

/// True when (x, y) lies strictly to the left of every edge of Hull, a convex
/// polygon in counter-clockwise order; stops at the first edge where it does
/// not. False for an empty hull.
NUV_API bool PointIsInsideConvexHull(double x, double y, const std::vector<TPointDouble>& Hull);

/// The convex hull of Points: its corners (no point on an edge between two
/// corners, no corner twice) counter-clockwise, starting at the corner that
/// comes first when turning counter-clockwise from straight below the
/// centroid. Up to three points that already form such a polygon are copied
/// as they are. Points with a NaN or infinite coordinate are left out; no
/// points give an empty hull, one distinct point a hull of one point and
/// collinear points the two ends of their segment. Hull may be Points itself.
/// Raises ENUVMath2Error "Convex2DHull: not enough memory".
NUV_API void Convex2DHull(const std::vector<TPointDouble>& Points, std::vector<TPointDouble>& Hull);

namespace detail {
/// How many hulls on this thread were taken from the monotone chain because
/// the scan's result was not confirmed (sets without an interior, or angles
/// whose rounding misordered points that matter). For tests and benchmarks.
NUV_API int64_t HullScanFallbacks();
}  // namespace detail

/// Radius * arccos(c), c = cos(Lat1) cos(Lat2) cos(Long1 - Long2) + sin(Lat1) sin(Lat2),
/// the angles in degrees; c is clipped to [-1, 1], so equal points give 0.
NUV_API double SphereGreatCircleDist(double Radius, double Lat1, double Long1, double Lat2,
                                     double Long2);

}  // namespace nuv
