// The XML readers of every class that persists itself as XML, from a memory
// stream (the first byte picks the class): a failed read must leave the
// object and the stream position as they were.
#include "Nuv_datatable/Nuv_datatable.h"
#include "Nuv_kohonen/Nuv_kohonen.h"
#include "fuzz_common.h"

namespace nuv_fuzz {

namespace {

using nuv_fuzz::StateOf;

std::string StateOf(const nuv::TIntMatrix& m) {
  return std::to_string(m.NrOfColumns()) + "x" + std::to_string(m.NrOfRows()) +
         (m.IsSparse() ? " sparse " + std::to_string(m.SparseNumElem()) : " dense " + m.CRCofData()) +
         " " + m.DataID();
}
std::string StateOf(const nuv::TMat3D& m) { return m.DataID() + " " + m.CRCofData(); }
std::string StateOf(const nuv::TMat4D& m) {
  return m.DataID() + " " + std::to_string(m.NrOfTimeSlots()) + " " + m.CRCofData();
}
std::string StateOf(const nuv::TDataTable& t) {
  return std::to_string(t.NrOfColumns()) + "x" + std::to_string(t.NrOfRows()) + t.Comment() +
         t.CRCofNamesAndAttributes() + t.CRCofCellStates() + t.NumericData->CRCofData();
}
std::string StateOf(const nuv::TKohonen& k) {
  return std::to_string(k.SizeX()) + "x" + std::to_string(k.SizeY()) + "x" +
         std::to_string(k.NrOfInSens()) + k.Comment() + k.TrainData()->CRCofData() +
         std::to_string(k.GetWeight(1, 1, 1));
}

template <class Obj, class Read>
void Check(Obj& O, const std::string& Bytes, Read&& R) {
  const std::string before = StateOf(O);
  nuv::TMemoryStream in;
  in.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
  in.SetPosition(0);
  nuv::TXmlReadInfo info;
  if (R(O, &in, &info)) {
    Require(in.Position() <= in.Size(), "the stream is left beyond its end");
  } else {
    Require(StateOf(O) == before, "a failed read changed the object");
    Require(in.Position() == 0, "a failed read moved the stream");
    Require(!info.ErrorText.empty(), "a failed read gave no reason");
  }
}

template <class Obj>
std::string Xml(const Obj& O) {
  nuv::TMemoryStream s;
  O.WriteToXMLStream(&s, true);
  return BytesOf(s);
}

}  // namespace

std::vector<std::string> Seeds() {
  nuv::TMatrix m;
  m.Resize(3, 2);
  m.FillRandomUniform(-1, 1);
  m.SetDataID("a<b");
  nuv::TIntMatrix im;
  im.Resize(4, 3);
  im.SetVal(2, 2, -7);
  nuv::TIntMatrix sp;
  sp.ArrayToSparse(3);
  sp.SetVal(5, 2, 9);
  nuv::TMat3D m3;
  m3.Resize(2, 2, 2);
  nuv::TMat4D m4;
  m4.Resize(2, 1, 2, 2);
  nuv::TDataTable t;
  t.Resize(2, 3);
  t.SetMScaleType(1, nuv::stNominal);
  t.SetElemNominal(1, 2, "x&y");
  t.SetCellState(2, 2, 2);
  nuv::TKohonen k;
  return {std::string(1, '\0') + Xml(m),  std::string(1, '\1') + Xml(im),
          std::string(1, '\1') + Xml(sp), std::string(1, '\2') + Xml(m3),
          std::string(1, '\3') + Xml(m4), std::string(1, '\4') + Xml(t),
          std::string(1, '\5') + Xml(k)};
}

void TestOneInput(const uint8_t* Data, std::size_t Size) {
  if (Size == 0) return;
  const std::string bytes = Rest(Data, Size);
  switch (Data[0] % 6) {
    case 0: {
      nuv::TMatrix m;
      m.Resize(3, 4);
      m.FillRandomUniform(0, 1);
      Check(m, bytes, [](auto& O, auto* S, auto* I) { return O.ReadFromXMLStream(S, true, "", I); });
      break;
    }
    case 1: {
      nuv::TIntMatrix m;
      m.Resize(2, 2);
      m.SetVal(1, 2, 5);
      Check(m, bytes, [](auto& O, auto* S, auto* I) { return O.ReadFromXMLStream(S, true, "", I); });
      break;
    }
    case 2: {
      nuv::TMat3D m;
      m.Resize(2, 1, 3);
      m.FillRandomUniform(0, 1);
      Check(m, bytes, [](auto& O, auto* S, auto* I) { return O.ReadFromXMLStream(S, true, "", I); });
      break;
    }
    case 3: {
      nuv::TMat4D m;
      m.Resize(1, 2, 1, 2);
      m.FillRandomUniform(0, 1);
      Check(m, bytes, [](auto& O, auto* S, auto* I) { return O.ReadFromXMLStream(S, true, "", I); });
      break;
    }
    case 4: {
      nuv::TDataTable t;
      t.Resize(2, 2);
      t.SetFComment("kept");
      Check(t, bytes, [](auto& O, auto* S, auto* I) { return O.ReadFromXMLStream(S, true, I); });
      break;
    }
    default: {
      nuv::TKohonen k;
      k.SetComment("kept");
      Check(k, bytes, [](auto& O, auto* S, auto* I) { return O.ReadFromXMLStream(S, true, I); });
      break;
    }
  }
}

}  // namespace nuv_fuzz
