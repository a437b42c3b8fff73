// The vector text files: the header form of TVector and TIntVector and the
// headerless list of TVector. The first byte picks reader and AdjustVectorSize.
#include "fuzz_common.h"

namespace nuv_fuzz {

namespace {

template <class V, class Loader>
void Load(Loader&& L) {
  V v;
  v.Resize(5);
  for (int32_t i = 1; i <= 5; ++i) v.SetVal(i, static_cast<typename V::ElemType>(i * 5 - 9));
  const std::string before = StateOf(v);
  if (!L(v)) Require(StateOf(v) == before, "a failed load changed the vector");
}

std::string Stored(int32_t Precision, int32_t Lo, int32_t Hi) {
  nuv::TVector v;
  v.Resize(4);
  v.SetVal(1, 1.25);
  v.SetVal(2, -3e-7);
  v.SetVal(3, 12345.5);
  v.SetVal(4, 0.0);
  const std::string f = SeedFile("vector.txt");
  v.StoreOnFile(Lo, Hi, Precision, f);
  return BytesOfFile(f);
}

}  // namespace

std::vector<std::string> Seeds() {
  nuv::TIntVector iv;
  iv.Resize(3);
  iv.SetVal(1, -4);
  iv.SetVal(3, 2147483647);
  const std::string f = SeedFile("intvector.txt");
  iv.StoreOnFile(0, 9, f);
  return {std::string(1, '\0') + Stored(3, 1, 4), std::string(1, '\1') + Stored(-1, 2, 3),
          std::string(1, '\2') + Stored(-2, 1, 4), std::string(1, '\3') + BytesOfFile(f),
          std::string(1, '\4') + "# values\r\n1.5\r\n\r\n-2\r\nnone\r\n3e1\r\n",
          std::string(1, '\5') + Stored(0, 7, 2)};
}

void TestOneInput(const uint8_t* Data, std::size_t Size) {
  if (Size == 0) return;
  const bool adjust = (Data[0] & 1) == 0;
  const std::string& file = AsFile(Data + 1, Size - 1);
  switch ((Data[0] >> 1) % 3) {
    case 0:
      Load<nuv::TVector>([&](nuv::TVector& v) { return v.LoadFromFile(file, adjust); });
      break;
    case 1:
      Load<nuv::TIntVector>([&](nuv::TIntVector& v) { return v.LoadFromFile(file, adjust); });
      break;
    default:
      Load<nuv::TVector>([&](nuv::TVector& v) { return v.LoadFromFile(file, adjust, true); });
      break;
  }
}

}  // namespace nuv_fuzz
