// The ASC pair files of the curve fitter (TCurveFit::ImportASC) into a
// fitter holding pairs.
#include "Nuv_math2/Nuv_math2.h"
#include "fuzz_common.h"

namespace nuv_fuzz {

namespace {

std::string StateOf(const nuv::TCurveFit& f) {
  std::string s = std::to_string(f.NumData()) + ":" + std::to_string(f.MinX()) + "," +
                  std::to_string(f.MaxX()) + "," + std::to_string(f.GetMeanY());
  for (int32_t i = 1; i <= f.NumData(); ++i)
    s += " " + std::to_string(f.GetDataX(i)) + "/" + std::to_string(f.GetDataY(i));
  return s;
}

std::string Exported(int Rows, int32_t Precision) {
  nuv::TCurveFit f;
  for (int i = 0; i < Rows; ++i) f.EnterStatValue(i * 0.5 - 1, i * i - 3.25);
  const std::string file = SeedFile("pairs.asc");
  f.ExportAsASC(file, "a comment", Precision);
  return BytesOfFile(file);
}

}  // namespace

std::vector<std::string> Seeds() {
  return {Exported(5, 3), Exported(1, 0), Exported(12, 10),
          "c\r\n2\r\n2\r\nTRUE FALSE TRUE FALSE\r\n7 \"r1\" 1 2\r\n8 \"r 2\" 3 4\r\n"};
}

void TestOneInput(const uint8_t* Data, std::size_t Size) {
  nuv::TCurveFit f;
  f.EnterStatValue(1, 2);
  f.EnterStatValue(-3, 4.5);
  const std::string before = StateOf(f);
  int32_t code = 0;
  try {
    code = f.ImportASC(AsFile(Data, Size));
  } catch (const nuv::ENUVMath2Error&) {
    code = 1;  // two columns are required; or no memory
  }
  Require(code <= 1 && code >= -7, "an undocumented code");
  if (code != 0) Require(StateOf(f) == before, "a failed import changed the fitter");
}

}  // namespace nuv_fuzz
