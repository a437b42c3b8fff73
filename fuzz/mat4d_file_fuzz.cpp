// The binary file of TMat4D: LoadBinary, ReadLayer (into the array and into a
// 2-D array), ReadBinary and ReadBinaryHeader, each on an array holding data.
// The first byte picks the operation and its slot and layer arguments. The
// rest is the file with its header record shortened to the 272 bytes that
// carry meaning (the remaining 3824 are zeros when the file is written), so
// that short inputs reach the data records.
#include <cstring>

#include "fuzz_common.h"

namespace nuv_fuzz {

namespace {

constexpr std::size_t kRecord = 4096;
constexpr std::size_t kHeaderUsed = 272;

std::string StateOf(const nuv::TMat4D& a) {
  return std::to_string(a.NrOfColumns()) + "x" + std::to_string(a.NrOfRows()) + "x" +
         std::to_string(a.NrOfLayers()) + "x" + std::to_string(a.NrOfTimeSlots()) + " " +
         a.DataID() + " " + a.CRCofData();
}

// The file a compact input stands for: the header bytes, zeros up to the
// first data record, the data.
std::string Expanded(const std::string& Compact) {
  if (Compact.size() <= kHeaderUsed) return Compact;
  std::string file = Compact.substr(0, kHeaderUsed);
  file.resize(kRecord, '\0');
  return file + Compact.substr(kHeaderUsed);
}

std::string Compacted(const std::string& File) {
  return File.size() <= kRecord ? File.substr(0, kHeaderUsed)
                                : File.substr(0, kHeaderUsed) + File.substr(kRecord);
}

std::string Saved(int32_t NX, int32_t NY, int32_t NZ, int32_t NT, const std::string& Id) {
  nuv::TMat4D a;
  a.Resize(NX, NY, NZ, NT);
  a.FillRandomUniform(-3, 3);
  a.SetDataID(Id);
  const std::string file = SeedFile("seed.m4d");
  a.SaveBinary(file, 0, 0);
  return Compacted(BytesOfFile(file));
}

void Prepare(nuv::TMat4D& a) {
  a.Resize(3, 2, 2, 2);
  a.FillRandomUniform(0, 1);
  a.SetDataID("kept");
}

}  // namespace

std::vector<std::string> Seeds() {
  return {std::string(1, '\0') + Saved(2, 2, 2, 3, "abc"),
          std::string(1, '\x15') + Saved(3, 2, 2, 2, ""),
          std::string(1, '\x45') + Saved(3, 1, 2, 1, "layer"),
          std::string(1, '\x06') + Saved(2, 1, 2, 1, "two-d"),
          std::string(1, '\x1b') + Saved(1, 4, 1, 4, "read")};
}

void TestOneInput(const uint8_t* Data, std::size_t Size) {
  if (Size == 0) return;
  const int op = Data[0] & 3;
  const int32_t start = (Data[0] >> 2) & 3;  // 0 means all slots
  const int32_t end = (Data[0] >> 4) & 3;
  const int32_t layer = ((Data[0] >> 6) & 3) + (op == 1 ? 0 : 1);
  const std::string bytes = Expanded(Rest(Data, Size));
  const std::string& file = AsFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());

  nuv::TMat4D a;
  Prepare(a);
  int changes = 0;
  a.SetOnChange([&](nuv::TObject*) { ++changes; });
  const std::string before = StateOf(a);
  bool failed = false;
  try {
    switch (op) {
      case 0:
        a.LoadBinary(file, start, end);
        Require(changes == 1, "a load did not fire OnChange once");
        break;
      case 1:
        a.ReadLayer(file, layer, start == 0 ? 1 : start);
        break;
      case 2: {
        nuv::TDouble2DArray layerData(2, std::vector<double>(3, 7.0));
        try {
          a.ReadLayer(file, layer, start == 0 ? 1 : start, layerData);
        } catch (const nuv::Exception&) {
          Require(layerData.size() == 2 && layerData[1].size() == 3 && layerData[1][2] == 7.0,
                  "a failed layer read changed its receiver");
          throw;
        }
        break;
      }
      default: {
        const int64_t held = bytes.size() < kRecord ? 0 : static_cast<int64_t>(bytes.size() - kRecord) / 8;
        int32_t nx = 0, ny = 0, nz = 0, nt = 0;
        std::string id;
        bool valid = false;
        try {
          valid = nuv::TMat4D::ReadBinaryHeader(file, nx, ny, nz, nt, id);
        } catch (const nuv::Exception&) {
          Require(bytes.size() < kHeaderUsed, "a complete header record raised");
        }
        if (valid)
          Require(static_cast<double>(nx) * ny * nz * nt <= static_cast<double>(held),
                  "a header claiming more than the file holds called valid");
        int64_t elements = 0;
        a.SetOnReadElement([&](nuv::TObject*, int32_t, int32_t, int32_t, int32_t, double) { ++elements; });
        a.ReadBinary(file, start, end);
        Require(elements <= held, "more elements read than the file holds");
        Require(StateOf(a) == before, "reading without storing changed the array");
        break;
      }
    }
  } catch (const nuv::Exception&) {
    failed = true;
  }
  if (failed) {
    Require(StateOf(a) == before, "a failed read changed the array");
    Require(changes == 0, "a failed load fired OnChange");
  }
}

}  // namespace nuv_fuzz
