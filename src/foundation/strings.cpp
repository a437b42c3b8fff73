#include "foundation/strings.h"

#include <charconv>
#include <cmath>

namespace nuv {

namespace {
constexpr int32_t kMaxDecimals = 60;
}

std::string strff(double x, int32_t Width, int32_t Decimals) {
  std::string text;
  if (std::isnan(x)) {
    text = "NaN";
  } else if (std::isinf(x)) {
    text = x > 0 ? "Inf" : "-Inf";
  } else {
    if (Decimals < 0) Decimals = 0;
    if (Decimals > kMaxDecimals) Decimals = kMaxDecimals;
    if (x == 0.0) x = 0.0;  // no sign on negative zero
    char buf[320 + kMaxDecimals];
    const auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, Decimals);
    text.assign(buf, res.ptr);
  }
  if (Width > static_cast<int32_t>(text.size()))
    text.insert(0, static_cast<size_t>(Width) - text.size(), ' ');
  return text;
}

}  // namespace nuv
