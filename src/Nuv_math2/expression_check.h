// The operators of an expression evaluator and the check of the parentheses
// of an expression text. Errors of expression evaluation are ENUVMathExp.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/frame.h"

namespace nuv {

/// Operators and operands an expression is made of.
enum TOperator : uint8_t {
  opNone,
  opNumber,
  opListElem,
  opAdd,
  opSubtract,
  opMultiply,
  opDivide,
  opMod,
  opPower,
  opGT,
  opGE,
  opLT,
  opLE,
  opEQ,
  opNE,
  opOpenParanth,
  opClosedParanth,
  opMinusSign,
  opPlusSign,
  opSine,
  opCosine,
  opTangens,
  opArcSin,
  opArcCos,
  opArcTan,
  opAbs,
  opSign,
  opSqrt,
  opSqr,
  opRound,
  opNDInt,
  opNDQuant,
  opNDDens,
  opSum,
  opMean,
  opVar,
  opPi,
  opTrue,
  opFalse,
  opExp,
  opLn,
  opLg,
  opGauss,
  opRand,
  opFrac,
  opInt,
  opAnd,
  opNot,
  opOr,
  opXor
};

/// 0 when the parentheses of Expression are balanced, the number of "(" left
/// open, or -p for the first ")" without a partner, p being its 1-based
/// position counted in characters (UTF-8 code points).
NUV_API int32_t CheckParanthInExp(const std::string& Expression);

}  // namespace nuv
