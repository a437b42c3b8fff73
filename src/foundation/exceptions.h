// The whole exception hierarchy of the library in one place. Units only use
// these classes; none declares its own.
#pragma once

#include <stdexcept>
#include <string>

#include "foundation/nuv_export.h"

namespace nuv {

/// General exception class of the platform layer: carries a message text.
class NUV_API Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& Msg) : std::runtime_error(Msg) {}
  std::string Message() const { return what(); }
};

/// Arithmetic error of the platform (lg, ld, tg, cot).
class NUV_API EMathError : public Exception {
 public:
  using Exception::Exception;
};

/// Assignment error of the platform ("Cannot assign a TFoo to a TBar").
class NUV_API EConvertError : public Exception {
 public:
  using Exception::Exception;
};

/// Input/output error of the platform: a file cannot be opened, created, read or written.
class NUV_API EInOutError : public Exception {
 public:
  using Exception::Exception;
};

/// Root of the library's own errors.
class NUV_API ENUVError : public Exception {
 public:
  using Exception::Exception;
};

#define NUV_DECLARE_ERROR(Name, Base)  \
  class NUV_API Name : public Base {   \
   public:                             \
    using Base::Base;                  \
  }

NUV_DECLARE_ERROR(ENUVMath1Error, ENUVError);
NUV_DECLARE_ERROR(ENUVComplexError, ENUVError);
NUV_DECLARE_ERROR(ENUVVectorError, ENUVError);
NUV_DECLARE_ERROR(ENUVMatrixError, ENUVError);
NUV_DECLARE_ERROR(ENUVDataTableError, ENUVError);
NUV_DECLARE_ERROR(ENUVStatisError, ENUVError);
NUV_DECLARE_ERROR(ENUVMath2Error, ENUVError);
NUV_DECLARE_ERROR(ENUVMathExp, ENUVError);
NUV_DECLARE_ERROR(ENUVFourierError, ENUVError);
NUV_DECLARE_ERROR(ENUVWaveletError, ENUVError);
NUV_DECLARE_ERROR(ENUVKohonenError, ENUVError);
/// Deliberately outside the ENUVError branch: a handler for ENUVError does not catch it.
NUV_DECLARE_ERROR(ENUVSLineError, Exception);

#undef NUV_DECLARE_ERROR

}  // namespace nuv
