// The binary matrix record: LoadFromStream into a matrix holding data (the
// first byte picks AdjustSize), and ReadBinaryHeader of the same bytes.
#include "fuzz_common.h"

namespace nuv_fuzz {

namespace {

std::string Record(int32_t Cols, int32_t Rows, const std::string& Id) {
  nuv::TMatrix m;
  m.Resize(Cols, Rows);
  m.FillRandomUniform(-5, 5);
  m.SetDataID(Id);
  m.SetFPrecis(2, 3);
  nuv::TMemoryStream* s = nullptr;
  m.SaveToStream(s);
  std::string bytes = BytesOf(*s);
  delete s;
  return bytes;
}

}  // namespace

std::vector<std::string> Seeds() {
  return {std::string(1, '\0') + Record(2, 3, "ab"), std::string(1, '\1') + Record(3, 1, ""),
          std::string(1, '\0') + Record(0, 4, "empty"),
          std::string(1, '\1') + Record(1, 1, "one") + Record(2, 2, "two")};
}

void TestOneInput(const uint8_t* Data, std::size_t Size) {
  if (Size == 0) return;
  const bool adjust = (Data[0] & 1) == 0;
  nuv::TMatrix m;
  m.Resize(3, 4);
  m.FillRandomUniform(0, 1);
  m.SetDataID("kept");
  const std::string before = StateOf(m);
  const std::string bytes = Rest(Data, Size);
  nuv::TMemoryStream in;
  in.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  in.SetPosition(0);
  if (m.LoadFromStream(&in, adjust)) {
    Require(in.Position() <= in.Size(), "the stream is left beyond its end");
  } else {
    Require(StateOf(m) == before, "a failed load changed the matrix");
    Require(in.Position() == 0, "a failed load moved the stream");
  }
  int32_t cols = -1, rows = -1;
  std::string id = "x";
  const int32_t code = nuv::TMatrix::ReadBinaryHeader(AsFile(Data + 1, Size - 1), cols, rows, id);
  Require(code <= 0 && code >= -7 && code != -6, "ReadBinaryHeader returned an undocumented code");
  Require(code == 0 || (cols == 0 && rows == 0 && id.empty()), "a refused header left outputs");
}

}  // namespace nuv_fuzz
