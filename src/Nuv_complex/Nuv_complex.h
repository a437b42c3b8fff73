// Complex numbers in rectangular and polar form, in extended precision.
#pragma once

#include "foundation/frame.h"
