#include "Nuv_math2/expression_check.h"

#include <algorithm>

namespace nuv {

int32_t CheckParanthInExp(const std::string& Expression) {
  // 64-bit counts: a text of more than 2^31 characters cannot overflow them;
  // the result is clipped to the 32-bit range.
  int64_t open = 0;
  int64_t position = 0;
  for (const char ch : Expression) {
    // A UTF-8 continuation byte belongs to the character before it.
    if ((static_cast<unsigned char>(ch) & 0xC0u) != 0x80u) ++position;
    if (ch == '(') {
      ++open;
    } else if (ch == ')') {
      if (open == 0) return static_cast<int32_t>(-std::min<int64_t>(position, INT32_MAX));
      --open;
    }
  }
  return static_cast<int32_t>(std::min<int64_t>(open, INT32_MAX));
}

}  // namespace nuv
