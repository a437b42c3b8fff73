// Convex2DHull: a scan around the centroid over the points sorted by angle,
// confirmed exactly, with a monotone chain for the sets the scan cannot take.
//
// The points are sorted by their angle around the centroid, counted
// counter-clockwise from straight below it, and scanned with a previous, a
// middle and a next point: the middle one is removed unless the three make a
// strict left turn, after which the scan steps back; otherwise it moves on.
// The scan starts at the lowest point (a corner of every hull), so it ends
// after one round with at most 2n steps, and the orientation test is exact.
// Its result is then confirmed: a strictly convex counter-clockwise polygon
// that winds once, has the centroid strictly inside and contains every point.
// Sets without an interior (collinear or equal points), or where the
// rounding of the angles misorders points that matter, fail the check and
// take Andrew's monotone chain instead; both give the same corners, which are
// returned in the order of the angles.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <vector>

#include "Nuv_math1/scalar_trig.h"
#include "Nuv_math2/geometry.h"
#include "Nuv_math2/geometry_orient.h"
#include "Nuv_matrix/matrix_core.h"

namespace nuv {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
// Points that fail the cheap containment test and are checked against every
// edge before the confirmation gives up on the scan.
constexpr int32_t kMaxSlowChecks = 1024;

using PointArray = std::vector<TPointDouble>;

thread_local int64_t scanFallbacks = 0;

[[noreturn]] void RaiseNoMemory() {
  RaiseFunctionError<ENUVMath2Error>("Convex2DHull", "not enough memory");
}

inline int Orient(const TPointDouble& a, const TPointDouble& b, const TPointDouble& c) {
  return detail::OrientSign(a.x, a.y, b.x, b.y, c.x, c.y);
}

inline bool LexLess(const TPointDouble& a, const TPointDouble& b) {
  return a.y < b.y || (a.y == b.y && a.x < b.x);
}

inline bool SamePoint(const TPointDouble& a, const TPointDouble& b) {
  return a.x == b.x && a.y == b.y;
}

// The geometry every step shares: the points, the centroid and the scale of
// the offsets from it (1/2 when full offsets could overflow).
struct HullInput {
  const PointArray& P;
  TPointDouble O;
  double Scale = 1.0;

  // Angle of P[i] around the centroid, counter-clockwise from straight below,
  // in (0, 2 pi]; the centroid itself gives 2 pi.
  double Key(const TPointDouble& p) const {
    double a = AngleToXAxis(Scale * p.x - Scale * O.x, Scale * p.y - Scale * O.y) + 0.5 * kPi;
    if (a > kTwoPi) a -= kTwoPi;
    return a;
  }
};

HullInput MakeInput(const PointArray& P) {
  HullInput in{P, {}, 1.0};
  long double sx = 0, sy = 0;  // no overflow: the extended exponent range is wider
  double big = 0.0;
  for (const TPointDouble& p : P) {
    sx += p.x;
    sy += p.y;
    big = std::max(big, std::max(std::fabs(p.x), std::fabs(p.y)));
  }
  const long double n = static_cast<long double>(P.size());
  in.O = {static_cast<double>(sx / n), static_cast<double>(sy / n)};
  if (big > 0x1p1020) in.Scale = 0.5;
  return in;
}

// The points sorted by angle: Order[k] is the index of the k-th point. The
// sort is the matrix row sort on a scratch matrix of angles and indices.
void SortByAngle(const HullInput& in, std::vector<int32_t>& Order) {
  const int32_t n = static_cast<int32_t>(in.P.size());
  TMatrix work;
  work.Resize(2, n);
  double* key = work.ColData(1);
  double* index = work.ColData(2);
  for (int32_t i = 0; i < n; ++i) {
    key[i] = in.Key(in.P[static_cast<size_t>(i)]);
    index[i] = i;
  }
  work.SortRows(1, true, 1, 1, 2, n);
  index = work.ColData(2);
  Order.resize(static_cast<size_t>(n));
  for (int32_t k = 0; k < n; ++k) Order[static_cast<size_t>(k)] = static_cast<int32_t>(index[k]);
}

// The scan from sorted position Start (the lowest point) round to it again.
// Returns the sorted positions of the points kept, in scan order.
std::vector<int32_t> Scan(const HullInput& in, const std::vector<int32_t>& Order, int32_t Start) {
  const int32_t n = static_cast<int32_t>(Order.size());
  auto point = [&](int32_t pos) -> const TPointDouble& {
    return in.P[static_cast<size_t>(Order[static_cast<size_t>(pos)])];
  };
  std::vector<int32_t> kept;
  kept.reserve(64);
  kept.push_back(Start);
  for (int32_t k = 1; k <= n; ++k) {
    int32_t t = Start + k;
    if (t >= n) t -= n;
    const TPointDouble& q = point(t);
    // The centroid has no angle; it lies inside whenever the scan can succeed.
    if (k < n && SamePoint(q, in.O)) continue;
    // Remove the middle point while previous, middle and next do not turn left.
    while (kept.size() >= 2 && Orient(point(kept[kept.size() - 2]), point(kept.back()), q) <= 0)
      kept.pop_back();
    if (k < n) kept.push_back(t);
  }
  return kept;
}

// True when the polygon of the sorted positions Hull (ascending) is strictly
// convex, counter-clockwise, winds once, holds the centroid strictly inside
// and contains every point.
bool ConfirmHull(const HullInput& in, const std::vector<int32_t>& Order,
                 const std::vector<int32_t>& Hull) {
  const size_t h = Hull.size();
  if (h < 3) return false;
  auto point = [&](int32_t pos) -> const TPointDouble& {
    return in.P[static_cast<size_t>(Order[static_cast<size_t>(pos)])];
  };
  int lowCorners = 0;
  for (size_t i = 0; i < h; ++i) {
    const TPointDouble& a = point(Hull[i]);
    const TPointDouble& b = point(Hull[(i + 1) % h]);
    const TPointDouble& c = point(Hull[(i + 2) % h]);
    if (Orient(a, b, c) <= 0 || Orient(a, b, in.O) <= 0) return false;
    // A polygon of left turns winds as often as it has lowest corners.
    if (LexLess(b, a) && LexLess(b, c)) ++lowCorners;
  }
  if (lowCorners != 1) return false;

  // Each point lies between two neighbouring corners in the sorted order; it
  // is inside when it lies in their triangle with the centroid. A point whose
  // rounded angle put it between the wrong corners is checked against every
  // edge.
  const int32_t n = static_cast<int32_t>(Order.size());
  int32_t slow = 0;
  size_t k = h - 1;  // positions before the first corner belong to the last edge
  for (int32_t t = 0; t < n; ++t) {
    if (k + 1 < h && Hull[k + 1] == t) {
      k = k + 1;
      continue;
    }
    if (k == h - 1 && Hull[0] == t) {
      k = 0;
      continue;
    }
    const TPointDouble& p = point(t);
    const TPointDouble& a = point(Hull[k]);
    const TPointDouble& b = point(Hull[(k + 1) % h]);
    if (Orient(in.O, a, p) >= 0 && Orient(in.O, p, b) >= 0 && Orient(a, b, p) >= 0) continue;
    if (++slow > kMaxSlowChecks) return false;
    for (size_t i = 0; i < h; ++i)
      if (Orient(point(Hull[i]), point(Hull[(i + 1) % h]), p) < 0) return false;
  }
  return true;
}

// Andrew's monotone chain with the exact orientation: the corners
// counter-clockwise from the lowest-leftmost one; one point for equal points,
// the two ends for collinear ones.
std::vector<int32_t> MonotoneChain(const PointArray& P) {
  std::vector<int32_t> idx(P.size());
  for (size_t i = 0; i < idx.size(); ++i) idx[i] = static_cast<int32_t>(i);
  auto at = [&](int32_t i) -> const TPointDouble& { return P[static_cast<size_t>(i)]; };
  std::sort(idx.begin(), idx.end(), [&](int32_t a, int32_t b) {
    return at(a).x < at(b).x || (at(a).x == at(b).x && at(a).y < at(b).y);
  });
  idx.erase(std::unique(idx.begin(), idx.end(),
                        [&](int32_t a, int32_t b) { return SamePoint(at(a), at(b)); }),
            idx.end());
  if (idx.size() <= 2) return idx;
  std::vector<int32_t> hull;
  hull.reserve(2 * idx.size());
  for (int pass = 0; pass < 2; ++pass) {
    const size_t floor = hull.size();
    for (int32_t i : idx) {
      while (hull.size() >= floor + 2 &&
             Orient(at(hull[hull.size() - 2]), at(hull.back()), at(i)) <= 0)
        hull.pop_back();
      hull.push_back(i);
    }
    hull.pop_back();  // the end point starts the other chain
    std::reverse(idx.begin(), idx.end());
  }
  return hull;
}

PointArray GeneralHull(const PointArray& P) {
  const HullInput in = MakeInput(P);
  std::vector<int32_t> order;
  SortByAngle(in, order);
  const int32_t n = static_cast<int32_t>(order.size());
  int32_t start = 0;
  for (int32_t k = 1; k < n; ++k) {
    if (LexLess(P[static_cast<size_t>(order[static_cast<size_t>(k)])],
                P[static_cast<size_t>(order[static_cast<size_t>(start)])]))
      start = k;
  }
  std::vector<int32_t> kept = Scan(in, order, start);
  // In angle order: the scan went round from the lowest point.
  std::rotate(kept.begin(), std::min_element(kept.begin(), kept.end()), kept.end());
  PointArray hull;
  if (ConfirmHull(in, order, kept)) {
    hull.reserve(kept.size());
    for (int32_t pos : kept)
      hull.push_back(P[static_cast<size_t>(order[static_cast<size_t>(pos)])]);
    return hull;
  }
  ++scanFallbacks;
  const std::vector<int32_t> chain = MonotoneChain(P);
  size_t first = 0;
  double firstKey = 0.0;
  for (size_t i = 0; i < chain.size(); ++i) {
    const double key = in.Key(P[static_cast<size_t>(chain[i])]);
    if (i == 0 || key < firstKey) {
      first = i;
      firstKey = key;
    }
  }
  hull.reserve(chain.size());
  for (size_t i = 0; i < chain.size(); ++i)
    hull.push_back(P[static_cast<size_t>(chain[(first + i) % chain.size()])]);
  return hull;
}

// Up to three points that are already a hull: one point, two distinct points,
// or a strictly counter-clockwise triangle.
bool IsSmallHull(const PointArray& P) {
  switch (P.size()) {
    case 1:
      return true;
    case 2:
      return !SamePoint(P[0], P[1]);
    case 3:
      return Orient(P[0], P[1], P[2]) > 0;
    default:
      return false;
  }
}

}  // namespace

int64_t detail::HullScanFallbacks() { return scanFallbacks; }

void Convex2DHull(const PointArray& Points, std::vector<TPointDouble>& Hull) {
  if (Points.size() > static_cast<size_t>(INT32_MAX - 1)) RaiseNoMemory();
  std::vector<TPointDouble> result;
  try {
    const bool allFinite = std::all_of(Points.begin(), Points.end(), [](const TPointDouble& p) {
      return std::isfinite(p.x) && std::isfinite(p.y);
    });
    std::vector<TPointDouble> finite;
    if (!allFinite) {
      for (const TPointDouble& p : Points)
        if (std::isfinite(p.x) && std::isfinite(p.y)) finite.push_back(p);
    }
    const std::vector<TPointDouble>& P = allFinite ? Points : finite;
    if (P.empty()) {
      result.clear();
    } else if (IsSmallHull(P)) {
      result = P;
    } else {
      result = GeneralHull(P);
    }
  } catch (const std::bad_alloc&) {
    RaiseNoMemory();
  } catch (const ENUVMatrixError&) {
    RaiseNoMemory();
  }
  Hull.swap(result);
}

}  // namespace nuv
