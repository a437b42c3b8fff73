// Comb sorting of caller and untyped arrays, and insertion into sorted
// fixed-length lists.
#pragma once

#include <vector>

#include "foundation/frame.h"

namespace nuv {

/// Comb sort in place (gap shrink 10/13, not stable). Every pass adds 1 to
/// ProcStat and calls MathFeedBackProc. NaN counts as larger than every
/// number: it ends up last in ascending order and first in descending order.
NUV_API void SortArray(std::vector<double>& Data, bool Ascending);
NUV_API void SortArray(std::vector<float>& Data, bool Ascending);
NUV_API void SortArray(std::vector<int32_t>& Data, bool Ascending);
/// Untyped form on positions 1..NumElems of the kind's element type (kinds 0
/// and 1 double, 2 float, 3 and 4 int32). Other kinds, a null pointer or
/// NumElems <= 0 do nothing.
NUV_API void SortArray(void* Data, int32_t NumElems, TVarKind Kind, bool Ascending);

/// Inserts Value into the sorted fixed-length list Data at its place and drops
/// the last element. Returns the 0-based position, or -1 when Value lies beyond
/// the last element, equals the element found while AllowDuplicates is false,
/// or Data is empty. NaN is ordered as in SortArray.
NUV_API int32_t SortIntoArray(std::vector<double>& Data, double Value, bool Ascending,
                              bool AllowDuplicates);
NUV_API int32_t SortIntoArray(std::vector<float>& Data, float Value, bool Ascending,
                              bool AllowDuplicates);
NUV_API int32_t SortIntoArray(std::vector<int32_t>& Data, int32_t Value, bool Ascending,
                              bool AllowDuplicates);
/// Untyped form: ValuePtr points to a value of the element type; returns the
/// 1-based position or 0 (also for other kinds, null pointers, NumElems <= 0).
NUV_API int32_t SortIntoArray(void* Data, int32_t NumElems, TVarKind Kind, const void* ValuePtr,
                              bool Ascending, bool AllowDuplicates);

/// Moves Data[Index..last-1] one place up (the last element is lost) and
/// stores Value at the 0-based Index. An Index outside the array does nothing.
NUV_API void InsertIntoArray(std::vector<double>& Data, double Value, int32_t Index);
NUV_API void InsertIntoArray(std::vector<float>& Data, float Value, int32_t Index);
NUV_API void InsertIntoArray(std::vector<int32_t>& Data, int32_t Value, int32_t Index);
/// Untyped form with a 1-based Index; Index outside 1..NumElems, other kinds
/// and null pointers do nothing.
NUV_API void InsertIntoArray(void* Data, int32_t NumElems, TVarKind Kind, const void* ValuePtr,
                             int32_t Index);

}  // namespace nuv
