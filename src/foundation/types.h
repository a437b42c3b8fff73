// Shared scalar, array and enumeration types of the library.
#pragma once

#include <cfloat>
#include <cstdint>
#include <string>
#include <vector>

namespace nuv {

/// 80-bit x87 extended float on x86-64; streamed as the 10-byte x87 layout everywhere.
using Extended = long double;

using TDoubleArray = std::vector<double>;
using TIntArray = std::vector<int32_t>;
using TDouble2DArray = std::vector<std::vector<double>>;

struct TPointDouble {
  double x = 0.0;
  double y = 0.0;
};

struct TRectDouble {
  double x1 = 0.0;
  double y1 = 0.0;
  double x2 = 0.0;
  double y2 = 0.0;
};

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
};

struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
};

/// Element type of an untyped array: 0 and 1 are 64-bit floats, 2 a 32-bit float,
/// 3 and 4 32-bit signed integers; the others are not numeric array kinds.
enum TVarKind : uint8_t {
  vkDouble,
  vkReal,
  vkSingle,
  vkInteger,
  vkLongint,
  vkByte,
  vkString,
  vkOther
};

/// Angle text layouts: decimal degrees; degrees and decimal minutes; degrees,
/// minutes and decimal seconds; a plain number.
enum TDegreeFormat : uint8_t { dfDecDegrees, dfDegDecMinutes, dfDegMinDecSeconds, dfPlainNumber };

/// Dimension selector: ordinal 0 runs along the columns, ordinal 1 along the rows.
enum TDims : uint8_t { dimColumns, dimRows };

enum TOrientation : uint8_t { orHorizontal, orVertical };

/// Bitwise combination of two bit fields.
enum TLogicOp : uint8_t { loAnd, loOr, loXor, loAndNot };

/// Parse state of ParseQuotedName.
enum TQuotedStrState : uint8_t { qssIdle, qssQuoted, qssUnquoted, qssQuoteInQuoted, qssComplete };

inline constexpr double uc_MaxDouble = DBL_MAX;
/// Largest "real" of the library's 64-bit real type (the same as the largest double).
inline constexpr double uc_MaxReal = DBL_MAX;
inline constexpr double uc_sqrt2 = 1.41421356237309504880;
/// 1 / sqrt(2 pi)
inline constexpr double uc_sqrt2pitom1 = 0.39894228040143267794;

}  // namespace nuv
