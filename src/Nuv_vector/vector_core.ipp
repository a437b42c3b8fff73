// Storage, element access, copying, filling and the checksum of the vector
// classes. Included by vector_instantiate.cpp only.
#include <cmath>
#include <cstring>

#include "Nuv_math1/Nuv_math1.h"
#include "Nuv_vector/byte_lane_crc.h"
#include "Nuv_vector/vector_core.h"

namespace nuv {

template <class T>
TVectorCore<T>::TVectorCore(TComponent* AOwner) : TComponent(AOwner) {
  if (!TryAllocate(FVec, 1, T(0))) RaiseNoHeap();
}

template <class T>
TVectorCore<T>::~TVectorCore() = default;

template <class T>
void TVectorCore<T>::RaiseNoHeap() const {
  RaiseComponentError<ENUVVectorError>(this, "not enough memory on heap");
}

template <class T>
bool TVectorCore<T>::Resize(int32_t NE) {
  if (NE == FNElem) return true;
  if (NE <= 0) return false;
  if (!TryResize(FVec, static_cast<size_t>(NE), T(0)))
    RaiseComponentError<ENUVVectorError>(this, "not enough memory");
  FNElem = NE;
  Changed();
  return true;
}

template <class T>
void TVectorCore<T>::AssignCore(const TVectorCore& Source) {
  if (&Source == this) return;
  std::vector<T> copy;
  try {
    copy = Source.FVec;
  } catch (const std::bad_alloc&) {
    RaiseComponentError<ENUVVectorError>(this, "not enough memory");
  }
  FVec.swap(copy);
  FNElem = Source.FNElem;
  FIsEmpty = Source.FIsEmpty;
  FOnChange = Source.FOnChange;
  FOnSortExchange = Source.FOnSortExchange;
}

template <class T>
void TVectorCore<T>::Assign(TPersistent* Source) {
  // TVector and TIntVector are the only vectors of their element types.
  if (auto* src = dynamic_cast<TVectorCore*>(Source)) {
    AssignCore(*src);
    return;
  }
  TComponent::Assign(Source);
}

template <class T>
void TVectorCore<T>::AssignTo(TPersistent* Dest) {
  if (auto* dest = dynamic_cast<TVectorCore*>(Dest)) {
    dest->Assign(this);
    return;
  }
  TComponent::AssignTo(Dest);
}

template <class T>
void TVectorCore<T>::Clone(const VectorType* VecSource) {
  if (VecSource == nullptr) return;
  Resize(VecSource->FNElem);
  // Element by element through SetVal: each write fires OnChange.
  for (int32_t i = 1; i <= FNElem; ++i) SetVal(i, VecSource->FVec[static_cast<size_t>(i - 1)]);
  Changed();
}

template <class T>
void TVectorCore<T>::CopyFrom(const VectorType* VecSource, int32_t SourceElemLo,
                              int32_t SourceElemHi, int32_t DestElem) {
  if (VecSource == nullptr) return;
  const int32_t n = VecSource->FNElem;
  // Each bound is clipped on its own: (0, 0) copies element 1 only.
  SourceElemLo = SourceElemLo < 1 ? 1 : (SourceElemLo > n ? n : SourceElemLo);
  SourceElemHi = SourceElemHi < 1 ? 1 : (SourceElemHi > n ? n : SourceElemHi);
  if (SourceElemHi < SourceElemLo) std::swap(SourceElemLo, SourceElemHi);
  // Copy from a snapshot so that copying a vector into itself reads the original values.
  const std::vector<T>* src = &VecSource->FVec;
  std::vector<T> snapshot;
  if (VecSource == this) {
    snapshot.assign(FVec.begin() + (SourceElemLo - 1), FVec.begin() + SourceElemHi);
    src = &snapshot;
  }
  const int64_t offset = static_cast<int64_t>(DestElem) - SourceElemLo;
  for (int32_t i = SourceElemLo; i <= SourceElemHi; ++i) {
    const int64_t dest = i + offset;
    if (dest < 1 || dest > FNElem) continue;
    const size_t from = VecSource == this ? static_cast<size_t>(i - SourceElemLo)
                                          : static_cast<size_t>(i - 1);
    SetVal(static_cast<int32_t>(dest), (*src)[from]);
  }
  Changed();
}

template <class T>
void TVectorCore<T>::Fill(T Value) {
  std::fill(FVec.begin(), FVec.end(), Value);
  FIsEmpty = false;
  Changed();
}

template <class T>
void TVectorCore<T>::Clear() {
  std::fill(FVec.begin(), FVec.end(), T(0));
  FIsEmpty = true;
  Changed();
}

template <class T>
void TVectorCore<T>::AbsVal() {
  T* p = FVec.data();
  const size_t n = FVec.size();
  for (size_t i = 0; i < n; ++i) {
    if constexpr (std::is_integral_v<T>) {
      // 32-bit arithmetic as for every integer operation: |INT32_MIN| wraps to itself.
      p[i] = p[i] < 0 ? static_cast<T>(0u - static_cast<uint32_t>(p[i])) : p[i];
    } else {
      p[i] = std::fabs(p[i]);
    }
  }
  Changed();
}

template <class T>
double TVectorCore<T>::CalcVecLeng() const {
  double sum = 0.0;
  const T* p = FVec.data();
  const size_t n = FVec.size();
  for (size_t i = 0; i < n; ++i) {
    if constexpr (std::is_integral_v<T>) {
      // The square is formed in 32-bit integer arithmetic, the sum in floating point.
      sum += static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(p[i]) *
                                                      static_cast<uint32_t>(p[i])));
    } else {
      sum += p[i] * p[i];
    }
  }
  return std::sqrt(sum);
}

template <class T>
std::string TVectorCore<T>::CRCofData() const {
  return detail::ByteLaneCRCText(FVec.data(), FVec.size());
}

}  // namespace nuv
