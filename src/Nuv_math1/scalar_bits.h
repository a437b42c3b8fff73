// Bit and byte manipulation.
#pragma once

#include "foundation/frame.h"

namespace nuv {

/// Reflected binary code: w xor (w shr 1).
NUV_API uint16_t GrayCode(uint16_t w);

/// 2^n for 0 <= n <= 7, else 0.
NUV_API int32_t DecodeBit(int32_t n);

/// 2^n as a 32-bit pattern for 0 <= n <= 31 (31 gives the sign bit), else 0.
NUV_API int32_t DecodeLong(int32_t n);

/// Index of the lowest set bit of v; 31 for v = 0.
NUV_API int32_t EncodeLong(int32_t v);

/// Number of set bits of b.
NUV_API int32_t CountBits(uint8_t b);

/// b with its 8 bits in reverse order.
NUV_API uint8_t BitReversal(uint8_t b);

/// True if v and (v - 1) is 0 in 32-bit arithmetic: powers of two, 0 and the sign bit alone.
NUV_API bool CheckPowerOfTwo(int32_t v);

/// The value with its bytes in reverse order.
NUV_API double ConvertEndian(double x);
NUV_API float ConvertEndian(float x);
NUV_API uint16_t ConvertEndian(uint16_t x);
NUV_API int32_t ConvertEndian(int32_t x);

}  // namespace nuv
