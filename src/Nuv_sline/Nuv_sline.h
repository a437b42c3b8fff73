// Straight lines: TSLine, a line in the plane in the general form
// A x + B y + C = 0, built from two points, a point and an angle, a slope and
// an intercept, or as the normal or parallel of another line, with
// intersections, angles, distances, coordinates and clipping by a rectangle.
// Errors are ENUVSLineError, which is not an ENUVError.
#pragma once

#include "Nuv_sline/sline.h"
