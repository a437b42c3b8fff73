// Extended and 32-bit integer values in streams, in a portable byte layout:
// an extended value is the 10-byte little-endian x87 format (64-bit mantissa
// with explicit integer bit, then sign and 15-bit exponent) on every platform.
#pragma once

#include <cstdint>

#include "foundation/nuv_export.h"
#include "foundation/streams.h"
#include "foundation/types.h"

namespace nuv {

inline constexpr int32_t X87ByteCount = 10;

/// The 10 x87 bytes of x. Where long double is the x87 format itself the bytes
/// are copied, so every bit pattern (NaN payloads, pseudo-denormals) survives.
NUV_API void ExtendedToX87Bytes(Extended x, uint8_t* Bytes);
/// The value of 10 x87 bytes.
NUV_API Extended X87BytesToExtended(const uint8_t* Bytes);

/// Portable conversions used where long double is not the x87 format (and
/// callable everywhere). Values are rounded to nearest-even where the target
/// has fewer mantissa bits; NaNs keep their sign and quietness but not their
/// payload; x87 pseudo-denormals decode to their numeric value and unnormals
/// (exponent set, integer bit clear) likewise; pseudo-infinities and
/// pseudo-NaNs decode as NaN.
NUV_API void ExtendedToX87BytesSoft(Extended x, uint8_t* Bytes);
NUV_API Extended X87BytesToExtendedSoft(const uint8_t* Bytes);

/// Writes x as 10 x87 bytes at the stream's position. Raises EInOutError
/// when the bytes cannot all be written; does nothing for an absent stream.
NUV_API void WriteExtendedToStream(TStream* Stream, Extended x);
/// Reads 10 bytes. ReadError is set on every call: true when the stream
/// ended early (or is absent); the missing bytes count as 0 and the value of
/// what was read is returned.
NUV_API Extended ReadExtendedFromStream(TStream* Stream, bool& ReadError);

/// Writes Value as 4 bytes, little-endian two's complement.
NUV_API void WriteLongintToStream(TStream* Stream, int32_t Value);
/// Reads 4 bytes as written by WriteLongintToStream; ReadError as for extended values.
NUV_API int32_t ReadLongintFromStream(TStream* Stream, bool& ReadError);

}  // namespace nuv
