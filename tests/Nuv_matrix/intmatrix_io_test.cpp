// TIntMatrix files and streams: delimited text and the binary record shared
// with TMatrix, and the sparse triple file.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "Nuv_matrix/Nuv_matrix.h"

using nuv::TIntMatrix;

namespace {

std::string TempPath(const std::string& Name) {
  return ::testing::TempDir() + "nuv_intmatrix_" + Name;
}

void WriteFile(const std::string& Path, const std::string& Text) {
  std::ofstream(Path, std::ios::binary) << Text;
}

std::string ReadFile(const std::string& Path) {
  std::ifstream f(Path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

void Fill3x2(TIntMatrix& m) {
  m.Resize(3, 2);
  m.SetVal(1, 1, 2147483647);
  m.SetVal(2, 1, -2147483647 - 1);
  m.SetVal(3, 1, 1000000000);
  m.SetVal(1, 2, 0);
  m.SetVal(2, 2, -5);
  m.SetVal(3, 2, 7);
}

}  // namespace

TEST(IntMatrixIO, TextRoundTripAndRefusals) {
  TIntMatrix m;
  Fill3x2(m);
  const std::string path = TempPath("text.csv");
  ASSERT_TRUE(m.StoreOnFile(path, ';', {"a", "b", "c"}));
  EXPECT_EQ(ReadFile(path),
            "\"a\";\"b\";\"c\"\r\n2147483647;-2147483648;1000000000\r\n0;-5;7\r\n");
  TIntMatrix back;
  ASSERT_TRUE(back.LoadFromFile(path, true));
  EXPECT_EQ(back.CRCofData(), m.CRCofData());
  EXPECT_EQ(back.NrOfColumns(), 3);
  // Values are rounded halves to even; out of range, NaN or a bad cell refuse the file.
  WriteFile(path, "2.5,3.5\r\n-0.5,1e3\r\n");
  ASSERT_TRUE(back.LoadFromFile(path, true));
  EXPECT_EQ(back.GetVal(1, 1), 2);
  EXPECT_EQ(back.GetVal(2, 1), 4);
  EXPECT_EQ(back.GetVal(2, 2), 1000);
  const std::string crc = back.CRCofData();
  int changes = 0;
  back.SetOnChange([&](nuv::TObject*) { ++changes; });
  for (const char* bad :
       {"1,2\r\n3,2147483648\r\n", "1,NaN\r\n", "1,2\r\n3\r\n", "1,2\r\n3,x\r\n", ""}) {
    WriteFile(path, bad);
    nuv::TMatrixTextInfo info;
    EXPECT_FALSE(back.LoadFromFile(path, true, info)) << bad;
    EXPECT_FALSE(info.ErrorText.empty());
  }
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(back.CRCofData(), crc);
  // Without AdjustSize the data must fit.
  WriteFile(path, "1,2,3\r\n");
  EXPECT_FALSE(back.LoadFromFile(path, false));
  WriteFile(path, "9\r\n");
  EXPECT_TRUE(back.LoadFromFile(path, false));
  EXPECT_EQ(back.GetVal(1, 1), 9);
  EXPECT_EQ(back.GetVal(2, 2), 1000);
  std::remove(path.c_str());
}

TEST(IntMatrixIO, BinaryRecordSharedWithTMatrix) {
  TIntMatrix m;
  Fill3x2(m);
  m.SetDataID("ids");
  const std::string path = TempPath("rec.bin");
  ASSERT_TRUE(m.SaveBinary(path));
  int32_t nc = 0, nr = 0;
  std::string id;
  EXPECT_EQ(TIntMatrix::ReadBinaryHeader(path, nc, nr, id), 0);
  EXPECT_EQ(nc, 3);
  EXPECT_EQ(nr, 2);
  EXPECT_EQ(id, "ids");
  nuv::TMatrix d;
  ASSERT_TRUE(d.LoadBinary(path, true));
  EXPECT_EQ(d.GetVal(2, 1), -2147483648.0);
  TIntMatrix back;
  ASSERT_TRUE(back.LoadBinary(path, true));
  EXPECT_EQ(back.CRCofData(), m.CRCofData());
  EXPECT_EQ(back.DataID(), "ids");

  // Two records in one stream; a record holding a fraction-free but too large
  // value is refused and the stream goes back to its start.
  nuv::TMemoryStream* s = nullptr;
  m.SaveToStream(s);
  std::unique_ptr<nuv::TMemoryStream> owner(s);
  d.SetVal(1, 1, 4e9);
  d.SaveToStream(s);
  s->SetPosition(0);
  ASSERT_TRUE(back.LoadFromStream(s, true));
  const int64_t second = s->Position();
  const std::string crc = back.CRCofData();
  EXPECT_FALSE(back.LoadFromStream(s, true));
  EXPECT_EQ(s->Position(), second);
  EXPECT_EQ(back.CRCofData(), crc);
  // A truncated file is refused with the matrix unchanged.
  const std::string bytes = ReadFile(path);
  WriteFile(path, bytes.substr(0, bytes.size() - 5));
  EXPECT_FALSE(back.LoadBinary(path, true));
  EXPECT_EQ(back.CRCofData(), crc);
  std::remove(path.c_str());
}

TEST(IntMatrixIO, SparseFileRoundTripAndRefusals) {
  std::unique_ptr<TIntMatrix> s(TIntMatrix::CreateSparse(nullptr, 4));
  s->SetVal(3, 2, -9);
  s->SetVal(1, 5, 7);
  s->SetVal(2, 2, 0);
  s->Resize(6, 5);
  const std::string path = TempPath("sparse.txt");
  ASSERT_TRUE(s->StoreSparseMat(path));
  EXPECT_EQ(ReadFile(path),
            "NUV sparse integer matrix 1\r\n6 5 3\r\n1 5 7\r\n2 2 0\r\n3 2 -9\r\n");
  // Loading makes a dense receiver sparse, with the file's counts.
  TIntMatrix back;
  ASSERT_TRUE(back.LoadSparseMat(path));
  EXPECT_TRUE(back.IsSparse());
  EXPECT_EQ(back.NrOfColumns(), 6);
  EXPECT_EQ(back.NrOfRows(), 5);
  EXPECT_EQ(back.SparseNumElem(), 3);
  EXPECT_EQ(back.GetVal(3, 2), -9);
  EXPECT_EQ(back.SparseHighCol(), 3);
  // A dense matrix writes its nonzero elements.
  TIntMatrix d;
  d.Resize(2, 2);
  d.SetVal(2, 1, 4);
  ASSERT_TRUE(d.StoreSparseMat(path));
  EXPECT_EQ(ReadFile(path), "NUV sparse integer matrix 1\r\n2 2 1\r\n2 1 4\r\n");
  // Entries in any order are accepted.
  WriteFile(path, "NUV sparse integer matrix 1\n3 3 2\n3 1 5\n1 2 6\n\n");
  ASSERT_TRUE(back.LoadSparseMat(path));
  EXPECT_EQ(back.SpMat()[0].colidx, 1);
  const auto before = back.SpMat();
  int changes = 0;
  back.SetOnChange([&](nuv::TObject*) { ++changes; });
  for (const char* bad : {
           "NUV sparse integer matrix 2\n1 1 0\n",               // unknown version
           "NUV sparse integer matrix 1\n3 3 2\n1 1 5\n",        // truncated
           "NUV sparse integer matrix 1\n3 3 1\n4 1 5\n",        // outside the counts
           "NUV sparse integer matrix 1\n3 3 1\n1 1 5 6\n",      // four fields
           "NUV sparse integer matrix 1\n3 3 2\n1 1 5\n1 1 6\n",  // a position twice
           "NUV sparse integer matrix 1\n3 3 1\n1 1 5\n2 2 2\n",  // more than claimed
           "NUV sparse integer matrix 1\n3 3 2000000000\n1 1 5\n",  // a count it cannot fill
           "NUV sparse integer matrix 1\n3 3 1\n1 1 2147483648\n", ""}) {
    WriteFile(path, bad);
    EXPECT_FALSE(back.LoadSparseMat(path)) << bad;
  }
  EXPECT_FALSE(back.LoadSparseMat(TempPath("missing.txt")));
  EXPECT_EQ(changes, 0);
  ASSERT_EQ(back.SpMat().size(), before.size());
  EXPECT_EQ(back.GetVal(3, 1), 5);
  // The dense formats refuse a sparse matrix.
  EXPECT_FALSE(back.StoreOnFile(path));
  EXPECT_FALSE(back.SaveBinary(path));
  std::remove(path.c_str());
}
