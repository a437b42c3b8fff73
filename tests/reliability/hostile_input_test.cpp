// Small hostile inputs found by fuzzing: a few bytes that once asked for
// gigabytes, a truncated record that once changed the vector it failed to
// load, and the memory a text file may cost. Each load runs under a ceiling
// of 1 MiB per allocation and must neither be refused an allocation (so it
// never asked for more) nor change its object. This program replaces
// operator new (common/alloc_limit.cpp), which also measures the peak.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"
#include "Nuv_vector/Nuv_vector.h"
#include "common/alloc_limit.h"

using namespace nuv;

namespace {

std::string TmpFile(const std::string& Name) {
  return std::string(NUV_TEST_TMP_DIR) + "/hostile_" + Name;
}

void WriteFile(const std::string& Path, const std::string& Bytes) {
  std::ofstream(Path, std::ios::binary) << Bytes;
}

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int x : b) s += static_cast<char>(x);
  return s;
}

std::string X87(long double v) {
  uint8_t b[10];
  ExtendedToX87Bytes(v, b);
  return std::string(reinterpret_cast<const char*>(b), 10);
}

std::unique_ptr<TMemoryStream> StreamOf(const std::string& Bytes) {
  auto s = std::make_unique<TMemoryStream>();
  s->WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
  s->SetPosition(0);
  return s;
}

// Runs Load under the 1 MiB ceiling; true when no allocation was refused.
bool AsksNoMoreThanAMebibyte(const std::function<bool()>& Load, bool& Result) {
  const uint64_t refused = nuv_test::RefusedAllocations();
  nuv_test::ScopedAllocationCeiling cap(1 << 20);
  Result = Load();
  return nuv_test::RefusedAllocations() == refused;
}

template <class V>
struct Watched {
  Watched() {
    v.Resize(3);
    v.SetVal(1, 11);
    v.SetVal(2, 12);
    v.SetVal(3, 13);
    crc = v.CRCofData();
    v.SetOnChange([this](TObject*) { ++events; });
  }
  bool Unchanged() const { return v.NrOfElem() == 3 && v.CRCofData() == crc && events == 0; }
  V v;
  std::string crc;
  int events = 0;
};

}  // namespace

TEST(HostileInput, VectorRecordsThatClaimGigabytesAreRefused) {
  struct Case {
    const char* What;
    std::string Record;
    bool Integer;
  };
  const std::vector<Case> cases = {
      // first 2147483647, last 2147483646: no value, 8 GiB of zeros.
      {"TIntVector FF FF FF 7F FE FF FF 7F", Bytes({0xFF, 0xFF, 0xFF, 0x7F, 0xFE, 0xFF, 0xFF, 0x7F}),
       true},
      {"TIntVector 100000001..100000000", Bytes({0x01, 0xE1, 0xF5, 0x05, 0x00, 0xE1, 0xF5, 0x05}),
       true},
      // 20 bytes: first 0, last 2^31 - 1, no value.
      {"TVector 0..2147483647", X87(0) + X87(2147483647.0L), false},
      {"TVector 100000001..100000000", X87(100000001.0L) + X87(100000000.0L), false},
      {"TVector 2147483647..2147483646", X87(2147483647.0L) + X87(2147483646.0L), false},
  };
  for (const Case& c : cases) {
    for (bool adjust : {true, false}) {
      auto in = StreamOf(c.Record);
      const auto check = [&](auto& w) {
        bool ok = true;
        EXPECT_TRUE(AsksNoMoreThanAMebibyte([&] { return w.v.LoadFromStream(in.get(), adjust); }, ok))
            << c.What;
        EXPECT_FALSE(ok) << c.What;
        EXPECT_EQ(w.v.NrOfElem(), 3) << c.What;
        EXPECT_EQ(w.v.CRCofData(), w.crc) << c.What;
      };
      if (c.Integer) {
        Watched<TIntVector> w;
        check(w);
      } else {
        Watched<TVector> w;
        check(w);
      }
    }
  }
}

TEST(HostileInput, VectorTextHeadersThatClaimGigabytesAreRefused) {
  for (const char* text : {"2147483647 2147483646", "100000001 100000000", "1 2147483647\n5\n"}) {
    const std::string f = TmpFile("vec.txt");
    WriteFile(f, text);
    bool ok = true;
    Watched<TVector> w;
    EXPECT_TRUE(AsksNoMoreThanAMebibyte([&] { return w.v.LoadFromFile(f, true); }, ok)) << text;
    EXPECT_FALSE(ok) << text;
    EXPECT_TRUE(w.Unchanged()) << text;
    Watched<TIntVector> iw;
    EXPECT_TRUE(AsksNoMoreThanAMebibyte([&] { return iw.v.LoadFromFile(f, true); }, ok)) << text;
    EXPECT_FALSE(ok) << text;
    EXPECT_TRUE(iw.Unchanged()) << text;
  }
  // The same header read from a pipe, whose length nobody knows before the end.
  const std::string fifo = TmpFile("vec.fifo");
  std::remove(fifo.c_str());
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&] { WriteFile(fifo, "1 2147483647\n5\n6\n"); });
  bool ok = true;
  Watched<TVector> w;
  EXPECT_TRUE(AsksNoMoreThanAMebibyte([&] { return w.v.LoadFromFile(fifo, true); }, ok));
  writer.join();
  EXPECT_FALSE(ok);
  EXPECT_TRUE(w.Unchanged());
}

// A record of 3 values that holds only one: false, and element 1 keeps 11.
TEST(HostileInput, TruncatedRecordLeavesTheVectorAsItWas) {
  auto in = StreamOf(Bytes({0x01, 0, 0, 0, 0x03, 0, 0, 0, 0x63, 0, 0, 0}));
  Watched<TIntVector> w;
  EXPECT_FALSE(w.v.LoadFromStream(in.get(), false));
  EXPECT_EQ(w.v.GetVal(1), 11);
  EXPECT_TRUE(w.Unchanged());
  TVector v;
  v.Resize(3);
  v.Fill(4.0);
  auto ext = StreamOf(X87(1) + X87(3) + X87(99));
  EXPECT_FALSE(v.LoadFromStream(ext.get(), false));
  EXPECT_EQ(v.GetVal(1), 4.0);
}

TEST(HostileInput, EmptyMatrixRecordsThatClaimGigabytesAreRefused) {
  // 0 columns by R rows: no element, but R cells of kept storage.
  for (int32_t rows : {2147483647, 100000000}) {
    TMatrix empty;
    empty.Resize(0, 5);
    TMemoryStream* rec = nullptr;
    empty.SaveToStream(rec);
    std::unique_ptr<TMemoryStream> owned(rec);
    ASSERT_EQ(rec->Size(), 32);
    // Patch the row count and the checksum (CRC-32 of the first 28 bytes).
    uint8_t* p = rec->Memory();
    for (int k = 0; k < 4; ++k) p[12 + k] = static_cast<uint8_t>(static_cast<uint32_t>(rows) >> (8 * k));
    uint32_t crc = 0xFFFFFFFFu;
    for (int i = 0; i < 28; ++i) crc = CalcNextCRC32(p[i], crc);
    crc = ~crc;
    for (int k = 0; k < 4; ++k) p[28 + k] = static_cast<uint8_t>(crc >> (8 * k));
    rec->SetPosition(0);
    TMatrix m;
    m.Resize(2, 2);
    m.Fill(3.0);
    const std::string before = m.CRCofData();
    bool ok = true;
    EXPECT_TRUE(AsksNoMoreThanAMebibyte([&] { return m.LoadFromStream(rec, true); }, ok)) << rows;
    EXPECT_FALSE(ok) << rows;
    EXPECT_EQ(m.NrOfColumns(), 2);
    EXPECT_EQ(m.CRCofData(), before);
  }
  // A small empty matrix still makes the round trip.
  TMatrix empty;
  empty.Resize(0, 7);
  TMemoryStream* rec = nullptr;
  empty.SaveToStream(rec);
  std::unique_ptr<TMemoryStream> owned(rec);
  rec->SetPosition(0);
  TMatrix back;
  EXPECT_TRUE(back.LoadFromStream(rec, true));
  EXPECT_EQ(back.NrOfColumns(), 0);
  EXPECT_EQ(back.NrOfRows(), 7);
}

// The memory a text costs, as docs/formats.md states it: numbers at most 4x
// the text (8 bytes per cell of at least 2 characters) plus the text itself
// while it is parsed; a header of one-letter names, the worst case, about
// 40 bytes per name of 2 characters.
TEST(HostileInput, TextFilesCostAFixedMultipleOfTheirSize) {
  std::string numbers;
  for (int i = 0; i < 200000; ++i) numbers += "1,2,3,4,5\n";
  std::string names;
  for (int i = 0; i < 200000; ++i) names += i == 0 ? "a" : ",a";
  names += "\n";
  for (const auto& [what, text, factor] :
       {std::tuple<const char*, std::string, double>{"numbers", numbers, 5.01},
        std::tuple<const char*, std::string, double>{"names", names, 21.5}}) {
    const std::string f = TmpFile("cost.csv");
    WriteFile(f, text);
    TMatrix m;
    TMatrixTextInfo info;
    const std::size_t base = nuv_test::LiveBytes();
    nuv_test::ResetPeakBytes();
    ASSERT_TRUE(m.LoadFromFile(f, true, info)) << what;
    const double cost = static_cast<double>(nuv_test::PeakBytes() - base);
    EXPECT_LE(cost, factor * static_cast<double>(text.size())) << what;
  }
}
