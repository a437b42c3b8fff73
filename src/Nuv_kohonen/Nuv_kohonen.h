// Self-organizing maps: TKohonen, a rectangular Kohonen map (open or
// toroidal) trained on the rows of a matrix, with standardization of the
// training data and the mapping of new objects to their best-matching cell.
#pragma once

#include "Nuv_kohonen/kohonen.h"
