#pragma once

#include "foundation/frame.h"
