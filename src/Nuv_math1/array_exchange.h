// Min, Max and Signum of doubles, and the ExChange family.
#pragma once

#include <string>
#include <utility>

#include "foundation/frame.h"

namespace nuv {

/// The smaller of X and Y; X on equality (so Min(+0, -0) is +0) and when unordered.
inline double Min(double X, double Y) { return Y < X ? Y : X; }
/// The larger of X and Y; X on equality (so Max(+0, -0) is +0) and when unordered.
inline double Max(double X, double Y) { return Y > X ? Y : X; }
/// -1 for x < 0, otherwise +1 (zero and NaN give +1).
inline int32_t Signum(double x) { return x < 0 ? -1 : 1; }

/// Exchanges the two variables.
inline void ExChange(int32_t& A, int32_t& B) { std::swap(A, B); }
inline void ExChange(uint8_t& A, uint8_t& B) { std::swap(A, B); }
inline void ExChange(float& A, float& B) { std::swap(A, B); }
inline void ExChange(double& A, double& B) { std::swap(A, B); }
inline void ExChange(Extended& A, Extended& B) { std::swap(A, B); }
inline void ExChange(std::string& A, std::string& B) { A.swap(B); }
inline void ExChange(bool& A, bool& B) { std::swap(A, B); }
inline void ExChange(char16_t& A, char16_t& B) { std::swap(A, B); }
inline void ExChange(uint16_t& A, uint16_t& B) { std::swap(A, B); }
inline void ExChange(int8_t& A, int8_t& B) { std::swap(A, B); }
inline void ExChange(uint32_t& A, uint32_t& B) { std::swap(A, B); }
inline void ExChange(int64_t& A, int64_t& B) { std::swap(A, B); }

/// Exchanges Size bytes of the two untyped variables. Null pointers do nothing;
/// overlapping regions are exchanged byte by byte in ascending address order.
NUV_API void ExChange(void* A, void* B, uint16_t Size);

}  // namespace nuv
