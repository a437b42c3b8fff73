// The TMat4D binary file: the byte layout (read back here by hand), slot
// ranges, appending, reading layers and elements, and files that are cut
// short or whose headers lie, which must leave array and file unchanged.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"
#include "common/test_util.h"

using namespace nuv;

// The largest single allocation since the last reset: a header must not make
// the library ask for more memory than its file can fill.
static std::atomic<size_t> gLargestAllocation{0};

// The replacements pair malloc with free; GCC cannot tell once it inlines them.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(size_t n) {
  size_t seen = gLargestAllocation.load();
  while (n > seen && !gLargestAllocation.compare_exchange_weak(seen, n)) {
  }
  if (void* p = std::malloc(n != 0 ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

double Pos(int32_t x, int32_t y, int32_t z, int32_t t) {
  return 1000.0 * x + 100.0 * y + 10.0 * z + t;
}

void FillPositions(TMat4D& m, int32_t nx, int32_t ny, int32_t nz, int32_t nt) {
  m.Resize(nx, ny, nz, nt);
  for (int32_t x = 1; x <= nx; ++x)
    for (int32_t y = 1; y <= ny; ++y)
      for (int32_t z = 1; z <= nz; ++z)
        for (int32_t t = 1; t <= nt; ++t) m.SetVal(x, y, z, t, Pos(x, y, z, t));
}

std::string ReadAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

int32_t I32At(const std::string& b, size_t at) {
  uint32_t v = 0;
  for (int k = 3; k >= 0; --k) v = (v << 8) | static_cast<uint8_t>(b[at + static_cast<size_t>(k)]);
  return static_cast<int32_t>(v);
}

void PutI32(std::string& b, size_t at, int32_t v) {
  for (int k = 0; k < 4; ++k) b[at + static_cast<size_t>(k)] = static_cast<char>(static_cast<uint32_t>(v) >> (8 * k));
}

/// The little-endian double at byte offset at.
double F64At(const std::string& b, size_t at) {
  uint64_t v = 0;
  for (int k = 7; k >= 0; --k) v = (v << 8) | static_cast<uint8_t>(b[at + static_cast<size_t>(k)]);
  double d;
  std::memcpy(&d, &v, 8);
  return d;
}

/// Byte offset of element E of the data: record 1 + E div 512, position E mod 512.
size_t ElemOffset(int64_t e) { return static_cast<size_t>(4096 * (1 + e / 512) + 8 * (e % 512)); }

std::string Dims(const TMat4D& m) {
  return std::to_string(m.NrOfColumns()) + "x" + std::to_string(m.NrOfRows()) + "x" +
         std::to_string(m.NrOfLayers()) + "x" + std::to_string(m.NrOfTimeSlots());
}

class Mat4DFile : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const std::string& f : files) std::remove(f.c_str());
  }
  std::string Tmp(const std::string& name) {
    files.push_back(std::string(NUV_TEST_TMP_DIR) + "/mat4d_" + name);
    return files.back();
  }
  std::vector<std::string> files;
};

TEST_F(Mat4DFile, LayoutOfHeaderAndRecords) {
  TMat4D m;
  FillPositions(m, 2, 2, 2, 3);
  m.SetDataID("abc");
  const std::string f = Tmp("layout.bin");
  m.SaveBinary(f, 0, 0);
  const std::string b = ReadAll(f);
  ASSERT_EQ(b.size(), 8192u);
  EXPECT_EQ(I32At(b, 0), 2);
  EXPECT_EQ(I32At(b, 4), 2);
  EXPECT_EQ(I32At(b, 8), 2);
  EXPECT_EQ(I32At(b, 12), 3);
  EXPECT_EQ(b.substr(16, 4), std::string("\x03" "abc"));
  EXPECT_TRUE(b.substr(20, 4076) == std::string(4076, '\0'));  // unused header bytes are zeros
  // 24 values in record 1, slot outermost and column innermost.
  int64_t e = 0;
  for (int32_t t = 1; t <= 3; ++t)
    for (int32_t z = 1; z <= 2; ++z)
      for (int32_t y = 1; y <= 2; ++y)
        for (int32_t x = 1; x <= 2; ++x) EXPECT_EQ(F64At(b, ElemOffset(e++)), Pos(x, y, z, t));
  EXPECT_EQ(b.find_first_not_of('\0', ElemOffset(24)), std::string::npos);

  // 1024 values fill records 1 and 2 exactly: no third data record.
  m.Resize(32, 32, 1, 1);
  m.SaveBinary(f, 1, 1);
  EXPECT_EQ(ReadAll(f).size(), 3u * 4096);

  int32_t nc, nr, nl, nt;
  std::string id;
  m.SaveBinary(f, 0, 0);
  EXPECT_TRUE(TMat4D::ReadBinaryHeader(f, nc, nr, nl, nt, id));
  EXPECT_EQ(nc * 1000 + nr * 10 + nl + nt, 32322);
  EXPECT_EQ(id, "abc");

  // The identifier is stored in Latin-1, at most 255 characters.
  m.SetDataID("Größe 5 €");
  m.SaveBinary(f, 0, 0);
  EXPECT_EQ(ReadAll(f).substr(16, 10), std::string("\x09Gr\xF6\xDF" "e 5 ?"));
  TMat4D::ReadBinaryHeader(f, nc, nr, nl, nt, id);
  EXPECT_EQ(id, "Größe 5 ?");
  m.SetDataID(std::string(300, 'x'));
  m.SaveBinary(f, 0, 0);
  TMat4D::ReadBinaryHeader(f, nc, nr, nl, nt, id);
  EXPECT_EQ(id, std::string(255, 'x'));
}

TEST_F(Mat4DFile, SlotRangesOfSaveAndLoad) {
  TMat4D m;
  m.SetName("m");
  FillPositions(m, 10, 10, 3, 4);
  const std::string f = Tmp("slots.bin");
  int32_t nc, nr, nl, nt;
  std::string id;
  m.SaveBinary(f, 0, 5);  // a bound <= 0: all slots
  TMat4D::ReadBinaryHeader(f, nc, nr, nl, nt, id);
  EXPECT_EQ(nt, 4);
  m.SaveBinary(f, 2, 9);  // the end clipped: slots 2..4
  TMat4D::ReadBinaryHeader(f, nc, nr, nl, nt, id);
  EXPECT_EQ(nt, 3);
  EXPECT_EQ(F64At(ReadAll(f), ElemOffset(0)), Pos(1, 1, 1, 2));
  m.SaveBinary(f, 4, 2);  // reversed: exchanged
  TMat4D::ReadBinaryHeader(f, nc, nr, nl, nt, id);
  EXPECT_EQ(nt, 3);
  const std::string before = ReadAll(f);
  EXPECT_THROW_MSG(m.SaveBinary(f, 5, 5), ENUVMatrixError,
                   "Component \"m\": specified time slot beyond data range");
  EXPECT_TRUE(ReadAll(f) == before);  // the file is not touched

  // Slots 2..3 of a file of 4 start at element 300: record 1, position 300.
  m.SaveBinary(f, 0, 0);
  TMat4D r;
  r.SetName("r");
  int changes = 0;
  r.SetOnChange([&](TObject*) { ++changes; });
  r.LoadBinary(f, 2, 3);
  EXPECT_EQ(Dims(r), "10x10x3x2");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(r.GetVal(1, 1, 1, 1), F64At(ReadAll(f), ElemOffset(300)));
  for (int32_t t = 1; t <= 2; ++t)
    for (int32_t z = 1; z <= 3; ++z) EXPECT_EQ(r.GetVal(7, 9, z, t), Pos(7, 9, z, t + 1));
  r.LoadBinary(f, 3, 0);  // TSlotEnd <= 0: all slots
  EXPECT_EQ(r.NrOfTimeSlots(), 4);
  EXPECT_THROW_MSG(r.LoadBinary(f, 5, 6), ENUVMatrixError,
                   "Component \"r\": specified time slot beyond data range");
  EXPECT_EQ(r.NrOfTimeSlots(), 4);
}

TEST_F(Mat4DFile, RoundTripIsBitForBit) {
  TMat4D m;
  m.Resize(37, 11, 3, 5);  // 6105 values: the last record is partly filled
  SetRandSeed(17);
  m.FillRandomGauss(0, 1e6);
  m.SetVal(1, 1, 1, 1, -0.0);
  m.SetVal(2, 1, 1, 1, std::numeric_limits<double>::quiet_NaN());
  m.SetVal(3, 1, 1, 1, -std::numeric_limits<double>::infinity());
  m.SetVal(4, 1, 1, 1, std::numeric_limits<double>::denorm_min());
  m.SetDataID("run 7");
  const std::string f = Tmp("bits.bin");
  std::vector<int32_t> percents;
  m.SetOnPercentDone([&](TObject*, int32_t p) { percents.push_back(p); });
  m.SaveBinary(f, 0, 0);
  EXPECT_EQ(percents.size(), 100u);  // every 61st of 6105 values
  EXPECT_EQ(percents.back(), 100);
  EXPECT_EQ(ReadAll(f).size(), 4096u * (1 + 12));
  TMat4D r;
  r.LoadBinary(f, 0, 0);
  EXPECT_EQ(Dims(r), "37x11x3x5");
  EXPECT_EQ(r.DataID(), "run 7");
  ASSERT_EQ(r.ElementCount(), m.ElementCount());
  EXPECT_EQ(std::memcmp(r.Data(), m.Data(), m.ElementCount() * sizeof(double)), 0);
}

TEST_F(Mat4DFile, AppendContinuesThePartlyFilledRecord) {
  TMat4D m;
  m.SetName("m");
  FillPositions(m, 10, 10, 3, 2);
  m.SetDataID("grow");
  const std::string f = Tmp("append.bin");
  m.SaveBinary(f, 1, 1);
  const std::string before = ReadAll(f);
  ASSERT_EQ(before.size(), 8192u);
  m.AppendToBinaryFile(f, 2, 2);
  const std::string after = ReadAll(f);
  EXPECT_EQ(I32At(after, 12), 2);
  EXPECT_EQ(after.size(), 4096u * 3);
  EXPECT_TRUE(after.substr(16, 4096 + 2400 - 16) == before.substr(16, 4096 + 2400 - 16));
  EXPECT_EQ(F64At(after, ElemOffset(300)), Pos(1, 1, 1, 2));  // record 1, position 300
  EXPECT_EQ(F64At(after, ElemOffset(512)), Pos(3, 2, 3, 2));  // on into record 2
  EXPECT_EQ(after.find_first_not_of('\0', ElemOffset(600)), std::string::npos);
  TMat4D r;
  r.LoadBinary(f, 0, 0);
  EXPECT_EQ(r.DataID(), "grow");
  EXPECT_EQ(r.CRCofData(), m.CRCofData());

  // Refused appends leave the file byte for byte as it was.
  TMat4D other;
  other.SetName("o");
  FillPositions(other, 10, 10, 2, 1);
  EXPECT_THROW_MSG(other.AppendToBinaryFile(f, 0, 0), ENUVMatrixError,
                   "Component \"o\": X,Y,Z of matrices do not match");
  EXPECT_THROW_MSG(m.AppendToBinaryFile(f, 3, 3), ENUVMatrixError,
                   "Component \"m\": specified time slot beyond data range");
  std::string lying = after;
  PutI32(lying, 12, 4);  // claims slots the file does not hold
  WriteAll(f, lying);
  EXPECT_THROW(m.AppendToBinaryFile(f, 1, 1), EInOutError);
  EXPECT_TRUE(ReadAll(f) == lying);
  EXPECT_THROW(m.AppendToBinaryFile(Tmp("missing.bin"), 1, 1), EInOutError);
}

TEST_F(Mat4DFile, AppendThatFailsWhileWritingIsUndone) {
  TMat4D m;
  FillPositions(m, 10, 10, 3, 4);
  const std::string f = Tmp("undo.bin");
  m.SaveBinary(f, 1, 1);
  const std::string before = ReadAll(f);
  // The device takes only 100 bytes more than the file holds.
  void (*old)(int) = std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit capped = saved;
  capped.rlim_cur = before.size() + 100;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &capped), 0);
  EXPECT_THROW(m.AppendToBinaryFile(f, 2, 4), EInOutError);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old);
  EXPECT_TRUE(ReadAll(f) == before);
}

TEST_F(Mat4DFile, ReadBinaryFiresOneEventPerElement) {
  TMat4D m;
  FillPositions(m, 3, 2, 2, 4);
  const std::string f = Tmp("events.bin");
  m.SaveBinary(f, 0, 0);
  TMat4D r;
  std::vector<double> got;
  bool positionsMatch = true;
  r.SetOnReadElement([&](TObject* s, int32_t x, int32_t y, int32_t z, int32_t t, double v) {
    positionsMatch = positionsMatch && s == &r && v == Pos(x, y, z, t + 1);
    got.push_back(v);
  });
  r.ReadBinary(f, 2, 3);  // the slot is counted from 1 at slot 2
  EXPECT_TRUE(positionsMatch);
  ASSERT_EQ(got.size(), 24u);
  EXPECT_EQ(got[1], Pos(2, 1, 1, 2));  // file order: column innermost
  EXPECT_EQ(got[3], Pos(1, 2, 1, 2));
  EXPECT_EQ(Dims(r), "1x1x1x1");  // nothing stored
}

TEST_F(Mat4DFile, ReadLayerIntoArraysAndArrays2D) {
  TMat4D m;
  FillPositions(m, 5, 4, 3, 3);
  const std::string f = Tmp("layer.bin");
  m.SaveBinary(f, 0, 0);
  TDouble2DArray d;
  m.ReadLayer(f, 2, 3, d);
  ASSERT_EQ(d.size(), 5u);
  ASSERT_EQ(d[0].size(), 4u);
  EXPECT_EQ(d[4][1], Pos(5, 2, 2, 3));

  // Into an array larger than the file: file column c, row r to array column c, row r.
  TMat4D r;
  r.SetName("r");
  r.Resize(7, 6, 2, 3);
  r.Fill(-1.0);
  int changes = 0;
  r.SetOnChange([&](TObject*) { ++changes; });
  r.ReadLayer(f, 2, 3);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(r.GetVal(5, 4, 2, 3), Pos(5, 4, 2, 3));
  EXPECT_EQ(r.GetVal(3, 1, 2, 3), Pos(3, 1, 2, 3));
  EXPECT_EQ(r.GetVal(6, 4, 2, 3), -1.0);
  EXPECT_EQ(r.GetVal(5, 4, 1, 3), -1.0);

  // An array that cannot hold the layer is refused and left as it was.
  struct TCase {
    int32_t nx, ny, nz, nt, layer, slot;
    const char* what;
  };
  for (const TCase c : {TCase{7, 6, 2, 3, 3, 1, "layer"}, TCase{7, 6, 3, 3, 1, 4, "time slot"},
                        TCase{4, 6, 3, 3, 1, 1, "column"}, TCase{7, 3, 3, 3, 1, 1, "row"},
                        TCase{7, 6, 3, 2, 1, 3, "time slot"}}) {
    TMat4D a;
    a.SetName("a");
    a.Resize(c.nx, c.ny, c.nz, c.nt);
    a.Fill(-1.0);
    const std::string crc = a.CRCofData();
    EXPECT_THROW_MSG(a.ReadLayer(f, c.layer, c.slot), ENUVMatrixError,
                     std::string("Component \"a\": specified ") + c.what + " beyond data range");
    EXPECT_EQ(a.CRCofData(), crc);
  }

  // Only the layer's own bytes are needed: a file cut right after layer 3 of
  // slot 1 (elements 40..59) still serves it.
  WriteAll(f, ReadAll(f).substr(0, ElemOffset(60)));
  m.ReadLayer(f, 3, 1, d);
  EXPECT_EQ(d[4][3], Pos(5, 4, 3, 1));
  EXPECT_THROW(m.ReadLayer(f, 1, 2, d), EInOutError);
  EXPECT_EQ(d[4][3], Pos(5, 4, 3, 1));  // Data unchanged
}

TEST_F(Mat4DFile, LyingOrTruncatedFilesLeaveTheArrayUnchanged) {
  TMat4D src;
  FillPositions(src, 6, 5, 2, 3);
  const std::string f = Tmp("lie.bin");
  src.SaveBinary(f, 0, 0);
  const std::string good = ReadAll(f);

  TMat4D m;
  m.SetName("m");
  FillPositions(m, 3, 2, 2, 2);
  m.SetDataID("mine");
  int changes = 0;
  m.SetOnChange([&](TObject*) { ++changes; });
  const std::string crc = m.CRCofData();
  auto unchanged = [&] {
    EXPECT_EQ(Dims(m), "3x2x2x2");
    EXPECT_EQ(m.CRCofData(), crc);
    EXPECT_EQ(m.DataID(), "mine");
    EXPECT_EQ(changes, 0);
  };
  const std::string msg = "Component \"m\": cannot resize, memory low";
  int32_t nc, nr, nl, nt;
  std::string id;
  struct TLie {
    size_t at;
    int32_t value;
  };
  for (const TLie lie : {TLie{0, -6}, TLie{4, 0}, TLie{8, -1}, TLie{12, 0}, TLie{12, 100},
                         TLie{0, 2147483647}, TLie{12, 2147483647}}) {
    std::string bad = good;
    PutI32(bad, lie.at, lie.value);
    WriteAll(f, bad);
    gLargestAllocation = 0;
    EXPECT_THROW_MSG(m.LoadBinary(f, 0, 0), ENUVMatrixError, msg);
    EXPECT_LT(gLargestAllocation.load(), size_t{1} << 20);
    EXPECT_THROW(m.ReadBinary(f, 0, 0), EInOutError);
    EXPECT_FALSE(TMat4D::ReadBinaryHeader(f, nc, nr, nl, nt, id));
    unchanged();
  }
  // Cut short by one value, or within the header.
  WriteAll(f, good.substr(0, ElemOffset(6 * 5 * 2 * 3 - 1)));
  EXPECT_THROW_MSG(m.LoadBinary(f, 0, 0), ENUVMatrixError, msg);
  m.LoadBinary(f, 1, 2);  // the slots it does hold
  EXPECT_EQ(Dims(m), "6x5x2x2");
  FillPositions(m, 3, 2, 2, 2);
  m.SetDataID("mine");
  changes = 0;
  WriteAll(f, good.substr(0, 100));
  EXPECT_THROW_MSG(m.LoadBinary(f, 0, 0), ENUVMatrixError, msg);
  EXPECT_THROW(TMat4D::ReadBinaryHeader(f, nc, nr, nl, nt, id), EInOutError);
  unchanged();
  EXPECT_THROW(m.LoadBinary(Tmp("missing.bin"), 0, 0), EInOutError);
  unchanged();
}

}  // namespace
