// Bit counts, bit scans and byte swaps: the compiler's builtins where GCC or
// clang compile the library, plain code elsewhere (C++17 has no <bit>). The
// plain versions are always compiled, so that tests check them against the
// builtins. Internal to the library; not part of its interface.
#pragma once

#include <cstdint>

#if defined(__GNUC__) || defined(__clang__)
#define NUV_HAVE_BIT_BUILTINS 1
#else
#define NUV_HAVE_BIT_BUILTINS 0
#endif

namespace nuv::detail {

namespace plain_bits {

inline int32_t PopCount64(uint64_t w) {
  w = w - ((w >> 1) & 0x5555555555555555ull);
  w = (w & 0x3333333333333333ull) + ((w >> 2) & 0x3333333333333333ull);
  w = (w + (w >> 4)) & 0x0F0F0F0F0F0F0F0Full;
  return static_cast<int32_t>((w * 0x0101010101010101ull) >> 56);
}

/// w must not be 0.
inline int32_t CountTrailingZeros64(uint64_t w) {
  int32_t n = 0;
  for (int32_t step = 32; step > 0; step /= 2) {
    const uint64_t low = (uint64_t{1} << step) - 1u;
    if ((w & low) == 0) {
      n += step;
      w >>= step;
    }
  }
  return n;
}

inline uint32_t ByteSwap32(uint32_t x) {
  return (x >> 24) | ((x >> 8) & 0xFF00u) | ((x << 8) & 0xFF0000u) | (x << 24);
}

inline uint64_t ByteSwap64(uint64_t x) {
  return (static_cast<uint64_t>(ByteSwap32(static_cast<uint32_t>(x))) << 32) |
         ByteSwap32(static_cast<uint32_t>(x >> 32));
}

inline uint16_t ByteSwap16(uint16_t x) { return static_cast<uint16_t>((x >> 8) | (x << 8)); }

}  // namespace plain_bits

/// Number of set bits.
inline int32_t PopCount64(uint64_t w) {
#if NUV_HAVE_BIT_BUILTINS
  return __builtin_popcountll(w);
#else
  return plain_bits::PopCount64(w);
#endif
}

inline int32_t PopCount32(uint32_t w) {
#if NUV_HAVE_BIT_BUILTINS
  return __builtin_popcount(w);
#else
  return plain_bits::PopCount64(w);
#endif
}

/// Index of the lowest set bit; w must not be 0.
inline int32_t CountTrailingZeros64(uint64_t w) {
#if NUV_HAVE_BIT_BUILTINS
  return __builtin_ctzll(w);
#else
  return plain_bits::CountTrailingZeros64(w);
#endif
}

/// Index of the lowest set bit; w must not be 0.
inline int32_t CountTrailingZeros32(uint32_t w) {
#if NUV_HAVE_BIT_BUILTINS
  return __builtin_ctz(w);
#else
  return plain_bits::CountTrailingZeros64(w);
#endif
}

inline uint16_t ByteSwap16(uint16_t x) {
#if NUV_HAVE_BIT_BUILTINS
  return __builtin_bswap16(x);
#else
  return plain_bits::ByteSwap16(x);
#endif
}

inline uint32_t ByteSwap32(uint32_t x) {
#if NUV_HAVE_BIT_BUILTINS
  return __builtin_bswap32(x);
#else
  return plain_bits::ByteSwap32(x);
#endif
}

inline uint64_t ByteSwap64(uint64_t x) {
#if NUV_HAVE_BIT_BUILTINS
  return __builtin_bswap64(x);
#else
  return plain_bits::ByteSwap64(x);
#endif
}

}  // namespace nuv::detail
