// Vectors: TVector (doubles) and TIntVector (32-bit integers), indexed from 1,
// with their statistics, arithmetic, sorting, streams and text files.
#pragma once

#include "Nuv_vector/intvector.h"
#include "Nuv_vector/vector.h"
#include "Nuv_vector/vector_core.h"
