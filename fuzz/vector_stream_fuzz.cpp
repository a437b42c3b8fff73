// The vector stream records of TVector and TIntVector. The first byte picks
// the class and AdjustVectorSize; the rest is the stream.
#include "fuzz_common.h"

namespace nuv_fuzz {

namespace {

template <class V>
void Load(const std::string& Bytes, bool Adjust) {
  V v;
  v.Resize(5);
  for (int32_t i = 1; i <= 5; ++i) v.SetVal(i, static_cast<typename V::ElemType>(i * 3 - 7));
  const std::string before = StateOf(v);
  nuv::TMemoryStream in;
  in.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
  in.SetPosition(0);
  if (!v.LoadFromStream(&in, Adjust)) Require(StateOf(v) == before, "a failed load changed the vector");
}

template <class V>
std::string Record(std::initializer_list<typename V::ElemType> Values, int32_t Lo, int32_t Hi) {
  V v;
  v.Resize(static_cast<int32_t>(Values.size()));
  int32_t i = 1;
  for (auto x : Values) v.SetVal(i++, x);
  nuv::TMemoryStream* s = nullptr;
  v.SaveToStream(s, Lo, Hi);
  std::string bytes = BytesOf(*s);
  delete s;
  return bytes;
}

}  // namespace

std::vector<std::string> Seeds() {
  return {
      std::string(1, '\0') + Record<nuv::TVector>({1.5, -2, 1e300, 0.0}, 0, 0),
      std::string(1, '\1') + Record<nuv::TVector>({1.5, -2, 1e-300, 7}, 2, 3),
      std::string(1, '\2') + Record<nuv::TIntVector>({7, 8, -9}, 0, 0),
      std::string(1, '\3') + Record<nuv::TIntVector>({7, 8, -9, 2147483647}, 3, 4),
  };
}

void TestOneInput(const uint8_t* Data, std::size_t Size) {
  if (Size == 0) return;
  const bool adjust = (Data[0] & 1) == 0;
  if ((Data[0] & 2) == 0)
    Load<nuv::TVector>(Rest(Data, Size), adjust);
  else
    Load<nuv::TIntVector>(Rest(Data, Size), adjust);
}

}  // namespace nuv_fuzz
