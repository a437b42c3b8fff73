// The delimited text matrix files through LoadFromText into a matrix holding
// data; the first byte picks AdjustSize.
#include "fuzz_common.h"

namespace nuv_fuzz {

namespace {

std::string Stored(char Delimiter, const std::vector<std::string>& Names, int32_t Precis1,
                   int32_t Precis2) {
  nuv::TMatrix m;
  m.Resize(3, 4);
  m.FillRandomGauss(0, 1000);
  m.SetVal(2, 2, -0.0);
  m.SetFPrecis(1, Precis1);
  m.SetFPrecis(2, Precis2);
  const std::string f = SeedFile("matrix.csv");
  m.StoreOnFile(f, Delimiter, Names);
  return BytesOfFile(f);
}

}  // namespace

std::vector<std::string> Seeds() {
  return {std::string(1, '\0') + Stored(',', {"a", "b \"q\"", "c"}, 15, -1),
          std::string(1, '\1') + Stored(';', {}, 6, -1),
          std::string(1, '\0') + Stored('\t', {"x", "", "z"}, 15, 2),
          std::string(1, '\0') + Stored(' ', {}, 3, -1),
          std::string(1, '\1') + "\xEF\xBB\xBF# comment\r\n\"n\",m\r\n1,NaN\r\n\r\n-Inf,2e3\r\n"};
}

void TestOneInput(const uint8_t* Data, std::size_t Size) {
  if (Size == 0) return;
  const bool adjust = (Data[0] & 1) == 0;
  nuv::TMatrix m;
  m.Resize(4, 6);
  m.FillRandomUniform(0, 1);
  const std::string before = StateOf(m);
  nuv::TMatrixTextInfo info;
  if (m.LoadFromText(Rest(Data, Size), adjust, info)) {
    Require(m.NrOfColumns() >= 0 && m.NrOfRows() >= 0, "a negative size");
  } else {
    Require(StateOf(m) == before, "a failed load changed the matrix");
    Require(!info.ErrorText.empty(), "a failed load gave no reason");
  }
}

}  // namespace nuv_fuzz
