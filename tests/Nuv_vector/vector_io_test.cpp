#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Nuv_vector/Nuv_vector.h"
#include "common/test_util.h"

using namespace nuv;

namespace {

std::string TmpFile(const std::string& name) { return std::string(NUV_TEST_TMP_DIR) + "/vec_" + name; }

std::string ReadAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

void WriteAll(const std::string& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary);
  f << text;
}

template <class V, class T>
void SetAll(V& v, std::initializer_list<T> values) {
  v.Resize(static_cast<int32_t>(values.size()));
  int32_t i = 1;
  for (T x : values) v.SetVal(i++, x);
}

// The x87 extended encoding of a double, built by hand: mantissa with the
// explicit integer bit, then sign and the exponent rebiased from 1023 to 16383.
std::vector<uint8_t> X87(double d) {
  uint64_t bits;
  std::memcpy(&bits, &d, 8);
  const uint64_t sign = bits >> 63;
  const int64_t exp = static_cast<int64_t>((bits >> 52) & 0x7FF);
  uint64_t mant = bits & ((1ull << 52) - 1);
  std::vector<uint8_t> out(10, 0);
  if (exp == 0 && mant == 0) {
    out[9] = static_cast<uint8_t>(sign << 7);
    return out;
  }
  const uint64_t m64 = (1ull << 63) | (mant << 11);
  const uint64_t e15 = static_cast<uint64_t>(exp - 1023 + 16383);
  for (int k = 0; k < 8; ++k) out[static_cast<size_t>(k)] = static_cast<uint8_t>(m64 >> (8 * k));
  out[8] = static_cast<uint8_t>(e15);
  out[9] = static_cast<uint8_t>((sign << 7) | (e15 >> 8));
  return out;
}

}  // namespace

TEST(VectorIO, StreamRecordByteForByteAndReload) {
  TVector v;
  SetAll(v, {1.5, -2.0, 1e-300});
  TMemoryStream* s = nullptr;
  v.SaveToStream(s, 0, 0);  // creates the stream
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(s->Size(), 50);
  std::vector<uint8_t> want;
  for (double d : {1.0, 3.0, 1.5, -2.0, 1e-300}) {
    const auto b = X87(d);
    want.insert(want.end(), b.begin(), b.end());
  }
  EXPECT_EQ(std::vector<uint8_t>(s->Memory(), s->Memory() + 50), want);

  TVector back;
  int changes = 0;
  back.SetOnChange([&](TObject*) { ++changes; });
  s->SetPosition(0);
  EXPECT_FALSE(back.LoadFromStream(s, false));  // too small: no element read
  EXPECT_EQ(changes, 1);                        // but the change is announced
  EXPECT_EQ(back.GetVal(1), 0.0);
  s->SetPosition(0);
  EXPECT_TRUE(back.LoadFromStream(s, true));
  EXPECT_EQ(back.NrOfElem(), 3);
  EXPECT_EQ(back.GetVal(1), 1.5);
  EXPECT_EQ(back.GetVal(3), 1e-300);

  // Partial range, appended to the existing stream.
  v.SaveToStream(s, 3, 2);
  EXPECT_EQ(s->Size(), 50 + 40);
  delete s;
  EXPECT_FALSE(back.LoadFromStream(static_cast<TMemoryStream*>(nullptr), true));
}

TEST(VectorIO, TruncatedAndImpossibleStreamsFailCleanly) {
  TVector v;
  SetAll(v, {1, 2, 3});
  TMemoryStream* s = nullptr;
  v.SaveToStream(s, 0, 0);
  // Only the header and one element survive.
  TMemoryStream cut;
  cut.WriteBuffer(s->Memory(), 30);
  cut.SetPosition(0);
  TVector target;
  SetAll(target, {9, 9, 9, 9});
  int changes = 0;
  target.SetOnChange([&](TObject*) { ++changes; });
  EXPECT_FALSE(target.LoadFromStream(&cut, false));
  EXPECT_EQ(target.GetVal(1), 9.0);  // a failed load leaves the vector as it was
  EXPECT_EQ(changes, 0);

  // A header claiming two billion values cannot be honoured by 30 bytes: nothing changes.
  TMemoryStream lie;
  WriteExtendedToStream(&lie, 1);
  WriteExtendedToStream(&lie, 2000000000);
  WriteExtendedToStream(&lie, 5);
  lie.SetPosition(0);
  EXPECT_FALSE(target.LoadFromStream(&lie, true));
  EXPECT_EQ(target.NrOfElem(), 4);
  EXPECT_EQ(changes, 0);

  TMemoryStream nanHeader;
  WriteExtendedToStream(&nanHeader, NAN);
  WriteExtendedToStream(&nanHeader, 1);
  nanHeader.SetPosition(0);
  EXPECT_FALSE(target.LoadFromStream(&nanHeader, true));
  TMemoryStream empty;
  EXPECT_FALSE(target.LoadFromStream(&empty, true));
  EXPECT_EQ(changes, 0);
  delete s;
}

// The vector grows beyond the values a record brings only within a small
// allowance: a slice saved alone loads into a fresh vector, a claim of
// millions of unfilled elements does not.
TEST(VectorIO, GrowthBeyondTheRecordIsBounded) {
  TVector v;
  v.Resize(200);
  for (int32_t i = 1; i <= 200; ++i) v.SetVal(i, i);
  TMemoryStream* s = nullptr;
  v.SaveToStream(s, 150, 151);
  TVector fresh;
  s->SetPosition(0);
  EXPECT_TRUE(fresh.LoadFromStream(s, true));
  EXPECT_EQ(fresh.NrOfElem(), 151);
  EXPECT_EQ(fresh.GetVal(149), 0.0);
  EXPECT_EQ(fresh.GetVal(150), 150.0);
  delete s;

  // Sound records with first > last hold no value: the vector takes the size.
  TMemoryStream small, huge;
  WriteExtendedToStream(&small, 3);
  WriteExtendedToStream(&small, 2);
  small.SetPosition(0);
  TVector one;
  EXPECT_TRUE(one.LoadFromStream(&small, true));
  EXPECT_EQ(one.NrOfElem(), 2);
  WriteExtendedToStream(&huge, 9000001);
  WriteExtendedToStream(&huge, 9000000);
  huge.SetPosition(0);
  EXPECT_FALSE(one.LoadFromStream(&huge, true));
  EXPECT_EQ(one.NrOfElem(), 2);

  // A text file shorter than its header: the values there are read, the
  // vector still takes the header's size when that stays within the allowance.
  const std::string f = TmpFile("short.txt");
  WriteAll(f, "1 5\n1\n2\n");
  TVector t;
  EXPECT_TRUE(t.LoadFromFile(f, true));
  EXPECT_EQ(t.NrOfElem(), 5);
  EXPECT_EQ(t.GetVal(2), 2.0);
  EXPECT_EQ(t.GetVal(3), 0.0);
  WriteAll(f, "7 2\r\n");  // what StoreOnFile writes for an empty range
  EXPECT_TRUE(t.LoadFromFile(f, true));
  EXPECT_EQ(t.NrOfElem(), 2);
  WriteAll(f, "1 9000000\n1\n2\n");
  EXPECT_FALSE(t.LoadFromFile(f, true));
  EXPECT_EQ(t.NrOfElem(), 2);
}

TEST(VectorIO, IntegerStreamRecord) {
  TIntVector v;
  SetAll<TIntVector, int32_t>(v, {7, 8});
  TMemoryStream* s = nullptr;
  v.SaveToStream(s, 0, 0);
  const uint8_t want[16] = {1, 0, 0, 0, 2, 0, 0, 0, 7, 0, 0, 0, 8, 0, 0, 0};
  ASSERT_EQ(s->Size(), 16);
  EXPECT_EQ(std::memcmp(s->Memory(), want, 16), 0);
  s->SetPosition(0);
  TIntVector back;
  EXPECT_TRUE(back.LoadFromStream(s, true));
  EXPECT_EQ(back.GetVal(2), 8);
  delete s;
}

TEST(VectorIO, TextFileLayoutsAndReload) {
  TVector v;
  SetAll(v, {1.5, -2.0});
  const std::string f = TmpFile("prec.txt");
  ASSERT_TRUE(v.StoreOnFile(1, 2, 3, f));
  EXPECT_EQ(ReadAll(f), "1 2\r\n1.500\r\n-2.000\r\n");
  ASSERT_TRUE(v.StoreOnFile(1, 2, -7, f));  // below -2 counts as 2
  EXPECT_EQ(ReadAll(f), "1 2\r\n1.50\r\n-2.00\r\n");
  ASSERT_TRUE(v.StoreOnFile(2, 1, -1, f));
  EXPECT_EQ(ReadAll(f), "1 2\r\n 1.5000E+0000\r\n-2.0000E+0000\r\n");
  ASSERT_TRUE(v.StoreOnFile(0, 9, -2, f));
  EXPECT_EQ(ReadAll(f), "1 2\r\n 1.50000000000000000E+0000\r\n-2.00000000000000000E+0000\r\n");
  ASSERT_TRUE(v.StoreOnFile(7, 9, 0, f));  // clipped to 7..2: the header only
  EXPECT_EQ(ReadAll(f), "7 2\r\n");
  EXPECT_FALSE(v.StoreOnFile(1, 2, 2, TmpFile("no/such/dir/x.txt")));

  TVector back;
  ASSERT_TRUE(v.StoreOnFile(0, 0, -2, f));  // no "all" rule: the header 1 0 only
  EXPECT_EQ(ReadAll(f), "1 0\r\n");
  ASSERT_TRUE(v.StoreOnFile(1, 2, -2, f));
  EXPECT_TRUE(back.LoadFromFile(f, true));
  EXPECT_EQ(back.NrOfElem(), 2);
  EXPECT_EQ(back.GetVal(1), 1.5);
  EXPECT_EQ(back.GetVal(2), -2.0);

  // Header 1 5 into three elements without adjusting: false, nothing read.
  WriteAll(f, "1 5\n1\n2\n3\n4\n5\n");
  TVector three;
  SetAll(three, {9.0, 9.0, 9.0});
  EXPECT_FALSE(three.LoadFromFile(f, false));
  EXPECT_EQ(three.GetVal(1), 9.0);
  // Blanks, tabs and any line ends separate numbers; a bad number keeps its element.
  WriteAll(f, "1\t3\r1.25 x\n\n 3e2");
  EXPECT_TRUE(three.LoadFromFile(f, false));
  EXPECT_EQ(three.GetVal(1), 1.25);
  EXPECT_EQ(three.GetVal(2), 9.0);
  EXPECT_EQ(three.GetVal(3), 300.0);
  // A header claiming far more values than the file can hold changes nothing.
  WriteAll(f, "1 2000000000\n1\n2\n");
  int changes = 0;
  three.SetOnChange([&](TObject*) { ++changes; });
  EXPECT_FALSE(three.LoadFromFile(f, true));
  EXPECT_EQ(three.NrOfElem(), 3);
  WriteAll(f, "one two\n");
  EXPECT_FALSE(three.LoadFromFile(f, true));
  EXPECT_FALSE(three.LoadFromFile(TmpFile("missing.txt"), true));
  EXPECT_EQ(changes, 0);
}

TEST(VectorIO, AutoDetectCountsNumberLines) {
  const std::string f = TmpFile("auto.txt");
  WriteAll(f, "# values\r\n1.5\r\n\r\n-2\r\nnone\r\n3e1\r\n");
  TVector v;
  EXPECT_TRUE(v.LoadFromFile(f, true, true));
  EXPECT_EQ(v.NrOfElem(), 3);
  EXPECT_EQ(v.GetVal(1), 1.5);
  EXPECT_EQ(v.GetVal(2), -2.0);
  EXPECT_EQ(v.GetVal(3), 30.0);
  WriteAll(f, "nothing here\n");
  EXPECT_TRUE(v.LoadFromFile(f, true, true));  // a count of 0 keeps the size
  EXPECT_EQ(v.NrOfElem(), 3);
  EXPECT_FALSE(v.LoadFromFile(TmpFile("missing.txt"), true, true));
}

TEST(VectorIO, IntegerTextFileRoundsHalvesToEven) {
  const std::string f = TmpFile("int.txt");
  TIntVector v;
  SetAll<TIntVector, int32_t>(v, {-4, 12});
  ASSERT_TRUE(v.StoreOnFile(0, 9, f));
  EXPECT_EQ(ReadAll(f), "1 2\r\n-4\r\n12\r\n");
  WriteAll(f, "1 3\n2.5\n3.5\n1e20\n");
  TIntVector back;
  SetAll<TIntVector, int32_t>(back, {0, 0, 7});
  EXPECT_TRUE(back.LoadFromFile(f, false));
  EXPECT_EQ(back.GetVal(1), 2);
  EXPECT_EQ(back.GetVal(2), 4);
  EXPECT_EQ(back.GetVal(3), 7);  // out of the integer range: left unchanged
}
