// TIntMatrix: the sparse triple file (LoadSparseMat) and the dense readers
// (LoadFromFile, LoadFromStream), which go through the TMatrix formats and
// then convert to 32-bit integers. The first byte picks the reader and, for
// the sparse file, whether the receiver is dense or sparse.
#include "fuzz_common.h"

namespace nuv_fuzz {

namespace {

std::string StateOf(const nuv::TIntMatrix& m) {
  return std::to_string(m.NrOfColumns()) + "x" + std::to_string(m.NrOfRows()) +
         (m.IsSparse() ? " sparse " + std::to_string(m.SparseNumElem()) + "/" +
                             std::to_string(m.NumAllocated())
                       : " dense") +
         " " + m.DataID() + " " + m.CRCofData();
}

void Prepare(nuv::TIntMatrix& m, bool Sparse) {
  m.Resize(3, 4);
  for (int32_t c = 1; c <= 3; ++c)
    for (int32_t r = 1; r <= 4; ++r) m.SetVal(c, r, c * 10 - r * r);
  m.SetDataID("kept");
  if (Sparse) m.ArrayToSparse(2);
}

void MakeSample(nuv::TIntMatrix& m, bool Sparse) {
  m.Resize(4, 3);
  m.SetVal(1, 3, 7);
  m.SetVal(4, 1, -2147483647 - 1);
  m.SetVal(2, 2, 2147483647);
  m.SetDataID("sample");
  if (Sparse) m.ArrayToSparse(3);
}

}  // namespace

std::vector<std::string> Seeds() {
  const std::string file = SeedFile("seed.txt");
  nuv::TIntMatrix sparseSample, denseSample;
  MakeSample(sparseSample, true);
  MakeSample(denseSample, false);
  sparseSample.StoreSparseMat(file);
  const std::string sparse = BytesOfFile(file);
  denseSample.StoreOnFile(file, ';', {"a", "b", "c", "d"});
  const std::string text = BytesOfFile(file);
  nuv::TMemoryStream* s = nullptr;
  denseSample.SaveToStream(s);
  const std::string record = BytesOf(*s);
  delete s;
  return {std::string(1, '\0') + sparse, std::string(1, '\1') + sparse,
          std::string(1, '\2') + text, std::string(1, '\3') + record,
          std::string(1, '\0') + "NUV sparse integer matrix 1\n2147483647 2147483647 2\n1 1 5\n"
                                 "2147483647 2147483647 -1\n"};
}

void TestOneInput(const uint8_t* Data, std::size_t Size) {
  if (Size == 0) return;
  const int mode = Data[0] & 3;
  const bool adjust = (Data[0] & 4) == 0;
  nuv::TIntMatrix m;
  Prepare(m, mode == 1);
  int changes = 0;
  m.SetOnChange([&](nuv::TObject*) { ++changes; });
  const std::string before = StateOf(m);
  bool ok = false;
  if (mode <= 1) {
    ok = m.LoadSparseMat(AsFile(Data + 1, Size - 1));
    if (ok) Require(m.IsSparse(), "a sparse file loaded as dense");
  } else if (mode == 2) {
    ok = m.LoadFromFile(AsFile(Data + 1, Size - 1), adjust);
  } else {
    const std::string bytes = Rest(Data, Size);
    nuv::TMemoryStream in;
    in.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    in.SetPosition(0);
    ok = m.LoadFromStream(&in, adjust);
    if (!ok) Require(in.Position() == 0, "a failed load moved the stream");
  }
  if (ok) {
    Require(changes == 1, "a load did not fire OnChange once");
  } else {
    Require(StateOf(m) == before, "a failed load changed the matrix");
    Require(changes == 0, "a failed load fired OnChange");
  }
}

}  // namespace nuv_fuzz
