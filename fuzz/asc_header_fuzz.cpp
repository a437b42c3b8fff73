// The header of the two-column ASC text files (ReadHeaderOfASC).
#include "fuzz_common.h"

namespace nuv_fuzz {

std::vector<std::string> Seeds() {
  return {"curve fit export\r\n2 ; columns\r\n14 ; rows\r\nFALSE TRUE FALSE FALSE ; flags\r\nx   y\r\n",
          "comment\n1\n0\nTRUE FALSE TRUE\n", "c\n3 ;\n-1\ntrue false true true\n"};
}

void TestOneInput(const uint8_t* Data, std::size_t Size) {
  std::string comment = "x";
  int32_t cols = -7, rows = -7;
  bool f1 = true, f2 = true, f3 = true, f4 = true;
  const int32_t code = nuv::ReadHeaderOfASC(AsFile(Data, Size), comment, cols, rows, f1, f2, f3, f4);
  Require(code <= 0 && code >= -4, "an undocumented code");
  Require(code != 0 || (cols >= 1 && rows >= 0), "a sound header with impossible counts");
}

}  // namespace nuv_fuzz
