#include "Nuv_math1/sort_array.h"

#include <cstring>
#include <limits>

#include "Nuv_math1/sort_comb.h"

namespace nuv {

namespace {

template <class T>
void SortTyped(T* Data, int32_t NumElems, bool Ascending) {
  detail::CombSort(Data, NumElems, NumElems, Ascending, [] { ProgressStep(); });
}

// Caller arrays beyond the 32-bit count cannot be addressed by the 32-bit
// positions of the list functions; they are taken as their first 2^31 - 1 elements.
template <class T>
int32_t CountOf(const std::vector<T>& Data) {
  constexpr size_t kMax = static_cast<size_t>(std::numeric_limits<int32_t>::max());
  return static_cast<int32_t>(Data.size() < kMax ? Data.size() : kMax);
}

template <class T>
int32_t SortIntoTyped(T* Data, int32_t n, T Value, bool Ascending, bool AllowDuplicates) {
  if (Data == nullptr || n <= 0) return -1;
  // The first element not before Value, or the last one whatever its value.
  int32_t pos = 0;
  if (Ascending) {
    while (pos < n - 1 && detail::CombBefore(Data[pos], Value)) ++pos;
  } else {
    while (pos < n - 1 && detail::CombBefore(Value, Data[pos])) ++pos;
  }
  const T e = Data[pos];
  const bool before = Ascending ? detail::CombBefore(e, Value) : detail::CombBefore(Value, e);
  const bool equal = !detail::CombBefore(e, Value) && !detail::CombBefore(Value, e);
  if (before || (equal && !AllowDuplicates)) return -1;
  std::memmove(Data + pos + 1, Data + pos, static_cast<size_t>(n - 1 - pos) * sizeof(T));
  Data[pos] = Value;
  return pos;
}

template <class T>
void InsertTyped(T* Data, int32_t n, T Value, int32_t Index) {
  if (Data == nullptr || Index < 0 || Index >= n) return;
  std::memmove(Data + Index + 1, Data + Index, static_cast<size_t>(n - 1 - Index) * sizeof(T));
  Data[Index] = Value;
}

}  // namespace

void SortArray(std::vector<double>& Data, bool Ascending) {
  SortTyped(Data.data(), CountOf(Data), Ascending);
}

void SortArray(std::vector<float>& Data, bool Ascending) {
  SortTyped(Data.data(), CountOf(Data), Ascending);
}

void SortArray(std::vector<int32_t>& Data, bool Ascending) {
  SortTyped(Data.data(), CountOf(Data), Ascending);
}

void SortArray(void* Data, int32_t NumElems, TVarKind Kind, bool Ascending) {
  if (Data == nullptr || NumElems <= 0) return;
  switch (Kind) {
    case vkDouble:
    case vkReal:
      SortTyped(static_cast<double*>(Data), NumElems, Ascending);
      break;
    case vkSingle:
      SortTyped(static_cast<float*>(Data), NumElems, Ascending);
      break;
    case vkInteger:
    case vkLongint:
      SortTyped(static_cast<int32_t*>(Data), NumElems, Ascending);
      break;
    default:
      break;
  }
}

int32_t SortIntoArray(std::vector<double>& Data, double Value, bool Ascending,
                      bool AllowDuplicates) {
  return SortIntoTyped(Data.data(), CountOf(Data), Value, Ascending, AllowDuplicates);
}

int32_t SortIntoArray(std::vector<float>& Data, float Value, bool Ascending,
                      bool AllowDuplicates) {
  return SortIntoTyped(Data.data(), CountOf(Data), Value, Ascending, AllowDuplicates);
}

int32_t SortIntoArray(std::vector<int32_t>& Data, int32_t Value, bool Ascending,
                      bool AllowDuplicates) {
  return SortIntoTyped(Data.data(), CountOf(Data), Value, Ascending, AllowDuplicates);
}

int32_t SortIntoArray(void* Data, int32_t NumElems, TVarKind Kind, const void* ValuePtr,
                      bool Ascending, bool AllowDuplicates) {
  if (Data == nullptr || ValuePtr == nullptr || NumElems <= 0) return 0;
  int32_t pos = -1;
  // The value is copied byte-wise: ValuePtr need not be aligned.
  switch (Kind) {
    case vkDouble:
    case vkReal: {
      double v;
      std::memcpy(&v, ValuePtr, sizeof v);
      pos = SortIntoTyped(static_cast<double*>(Data), NumElems, v, Ascending, AllowDuplicates);
      break;
    }
    case vkSingle: {
      float v;
      std::memcpy(&v, ValuePtr, sizeof v);
      pos = SortIntoTyped(static_cast<float*>(Data), NumElems, v, Ascending, AllowDuplicates);
      break;
    }
    case vkInteger:
    case vkLongint: {
      int32_t v;
      std::memcpy(&v, ValuePtr, sizeof v);
      pos = SortIntoTyped(static_cast<int32_t*>(Data), NumElems, v, Ascending, AllowDuplicates);
      break;
    }
    default:
      break;
  }
  return pos + 1;
}

void InsertIntoArray(std::vector<double>& Data, double Value, int32_t Index) {
  InsertTyped(Data.data(), CountOf(Data), Value, Index);
}

void InsertIntoArray(std::vector<float>& Data, float Value, int32_t Index) {
  InsertTyped(Data.data(), CountOf(Data), Value, Index);
}

void InsertIntoArray(std::vector<int32_t>& Data, int32_t Value, int32_t Index) {
  InsertTyped(Data.data(), CountOf(Data), Value, Index);
}

void InsertIntoArray(void* Data, int32_t NumElems, TVarKind Kind, const void* ValuePtr,
                     int32_t Index) {
  if (Data == nullptr || ValuePtr == nullptr || Index < 1 || Index > NumElems) return;
  switch (Kind) {
    case vkDouble:
    case vkReal: {
      double v;
      std::memcpy(&v, ValuePtr, sizeof v);
      InsertTyped(static_cast<double*>(Data), NumElems, v, Index - 1);
      break;
    }
    case vkSingle: {
      float v;
      std::memcpy(&v, ValuePtr, sizeof v);
      InsertTyped(static_cast<float*>(Data), NumElems, v, Index - 1);
      break;
    }
    case vkInteger:
    case vkLongint: {
      int32_t v;
      std::memcpy(&v, ValuePtr, sizeof v);
      InsertTyped(static_cast<int32_t*>(Data), NumElems, v, Index - 1);
      break;
    }
    default:
      break;
  }
}

}  // namespace nuv
