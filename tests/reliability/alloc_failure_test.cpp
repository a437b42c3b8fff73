// Allocation failure, one allocation at a time: every loader and resizer is
// run with its first, second, third ... allocation failing until it runs
// through without reaching the failing one. Each outcome must be the
// operation's own: a loader returns false (it never raises) and leaves its
// object as it was; a resizer raises its unit's "not enough memory" error and
// leaves its object as it was. A second group caps single allocations, as a
// small machine would, and loads inputs larger than the cap.
// This program replaces operator new (common/alloc_limit.cpp).
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "Nuv_matrix/Nuv_matrix.h"
#include "Nuv_vector/Nuv_vector.h"
#include "common/alloc_limit.h"
#include "common/test_util.h"

using namespace nuv;
using nuv_test::FailAllocationNumber;
using nuv_test::RefusedAllocations;

namespace {

std::string TmpFile(const std::string& Name) {
  return std::string(NUV_TEST_TMP_DIR) + "/allocfail_" + Name;
}

void WriteFile(const std::string& Path, const std::string& Bytes) {
  std::ofstream(Path, std::ios::binary) << Bytes;
}

// The n-th allocation from construction on fails, until destruction.
class FailingAllocation {
 public:
  explicit FailingAllocation(uint64_t N) { FailAllocationNumber(N); }
  ~FailingAllocation() { FailAllocationNumber(0); }
};

// Runs Attempt(n) for n = 1, 2, ... until an attempt does not reach its n-th
// allocation; returns the number of allocations the operation makes.
uint64_t WithEachAllocationFailing(const std::function<void(uint64_t)>& Attempt) {
  for (uint64_t n = 1; n <= 100000; ++n) {
    const uint64_t refused = RefusedAllocations();
    Attempt(n);
    if (RefusedAllocations() == refused) return n - 1;
  }
  ADD_FAILURE() << "the operation does not stop allocating";
  return 0;
}

template <class V>
struct VectorState {
  explicit VectorState(const V& v) : Size(v.NrOfElem()), Crc(v.CRCofData()), Empty(v.IsEmpty()) {}
  bool operator==(const VectorState& o) const {
    return Size == o.Size && Crc == o.Crc && Empty == o.Empty;
  }
  int32_t Size;
  std::string Crc;
  bool Empty;
};

struct MatrixState {
  explicit MatrixState(const TMatrix& m)
      : Cols(m.NrOfColumns()), Rows(m.NrOfRows()), Crc(m.CRCofData()), Id(m.DataID()),
        P1(m.GetFPrecis(1)), P2(m.GetFPrecis(2)) {}
  bool operator==(const MatrixState& o) const {
    return Cols == o.Cols && Rows == o.Rows && Crc == o.Crc && Id == o.Id && P1 == o.P1 &&
           P2 == o.P2;
  }
  int32_t Cols, Rows;
  std::string Crc, Id;
  int32_t P1, P2;
};

template <class V, class T>
void Fill(V& v, std::initializer_list<T> values) {
  v.Resize(static_cast<int32_t>(values.size()));
  int32_t i = 1;
  for (T x : values) v.SetVal(i++, x);
}

// Object as Setup prepares it, loaded by Load: with the n-th allocation
// failing the loader returns false and leaves the object as it was (State
// compares), or it succeeds and the object equals the one a run without
// failure gives. It never raises.
template <class Object, class State>
void CheckLoader(const char* What, const std::function<void(Object&)>& Setup,
                 const std::function<bool(Object&)>& Load) {
  Object want;
  Setup(want);
  ASSERT_TRUE(Load(want)) << What;
  const State loaded(want);
  const uint64_t points = WithEachAllocationFailing([&](uint64_t n) {
    Object o;
    Setup(o);
    const State before(o);
    bool ok = false;
    bool raised = false;
    {
      FailingAllocation fail(n);
      try {
        ok = Load(o);
      } catch (...) {
        raised = true;
      }
    }
    EXPECT_FALSE(raised) << What << ": allocation " << n << " failing raised";
    if (ok) {
      EXPECT_TRUE(State(o) == loaded) << What << ": allocation " << n;
    } else {
      EXPECT_TRUE(State(o) == before) << What << ": allocation " << n << " changed it";
    }
  });
  EXPECT_GT(points, 0u) << What;
}

// Vector loaders start from a vector of six elements.
template <class V>
void CheckVectorLoader(const char* What, const std::function<bool(V&)>& Load) {
  CheckLoader<V, VectorState<V>>(
      What, [](V& v) { Fill<V, typename V::ElemType>(v, {7, 8, 9, 10, 11, 12}); }, Load);
}

// Matrix loaders start from a 4 x 3 matrix of fives.
void CheckMatrixLoader(const char* What, const std::function<bool(TMatrix&)>& Load) {
  CheckLoader<TMatrix, MatrixState>(
      What,
      [](TMatrix& m) {
        m.Resize(4, 3);
        m.Fill(5.0);
        m.SetDataID("before");
      },
      Load);
}

}  // namespace

TEST(AllocationFailure, VectorLoadersFailCleanly) {
  TVector src;
  Fill<TVector, double>(src, {1.5, -2.0, 3.25, 4.0, 5.5});
  TMemoryStream* rec = nullptr;
  src.SaveToStream(rec, 0, 0);
  std::unique_ptr<TMemoryStream> owned(rec);
  const std::string text = TmpFile("vec.txt");
  ASSERT_TRUE(src.StoreOnFile(1, 5, 3, text));
  const std::string list = TmpFile("list.txt");
  WriteFile(list, "# list\n1.5\n\n-2\n3.25\nnone\n");

  for (bool adjust : {true, false}) {
    CheckVectorLoader<TVector>("TVector stream", [&](TVector& v) {
      rec->SetPosition(0);
      return v.LoadFromStream(rec, adjust);
    });
    CheckVectorLoader<TVector>("TVector text", [&](TVector& v) {
      return v.LoadFromFile(text, adjust);
    });
    CheckVectorLoader<TVector>("TVector list", [&](TVector& v) {
      return v.LoadFromFile(list, adjust, true);
    });
  }

  TIntVector isrc;
  Fill<TIntVector, int32_t>(isrc, {11, -12, 13, 14});
  TMemoryStream* irec = nullptr;
  isrc.SaveToStream(irec, 0, 0);
  std::unique_ptr<TMemoryStream> iowned(irec);
  const std::string itext = TmpFile("ivec.txt");
  ASSERT_TRUE(isrc.StoreOnFile(1, 4, itext));
  CheckVectorLoader<TIntVector>("TIntVector stream", [&](TIntVector& v) {
    irec->SetPosition(0);
    return v.LoadFromStream(irec, true);
  });
  CheckVectorLoader<TIntVector>("TIntVector text",
                                [&](TIntVector& v) { return v.LoadFromFile(itext, true); });
}

TEST(AllocationFailure, MatrixLoadersFailCleanly) {
  TMatrix src;
  src.Resize(3, 2);
  src.FillRandomUniform(-1, 1);
  src.SetDataID("sample");
  TMemoryStream* rec = nullptr;
  src.SaveToStream(rec);
  std::unique_ptr<TMemoryStream> owned(rec);
  const std::string bin = TmpFile("mat.bin");
  ASSERT_TRUE(src.SaveBinary(bin));
  const std::string csv = TmpFile("mat.csv");
  ASSERT_TRUE(src.StoreOnFile(csv, ';', {"a", "b", "c"}));

  for (bool adjust : {true, false}) {
    CheckMatrixLoader("matrix stream", [&](TMatrix& m) {
      rec->SetPosition(0);
      return m.LoadFromStream(rec, adjust);
    });
    CheckMatrixLoader("matrix binary file", [&](TMatrix& m) { return m.LoadBinary(bin, adjust); });
    CheckMatrixLoader("matrix text file", [&](TMatrix& m) {
      TMatrixTextInfo info;
      return m.LoadFromFile(csv, adjust, info);
    });
    CheckMatrixLoader("matrix text", [&](TMatrix& m) {
      TMatrixTextInfo info;
      return m.LoadFromText("x y\n1 2\n3 4\n", adjust, info);
    });
  }
}

struct IntMatrixState {
  explicit IntMatrixState(const TIntMatrix& m)
      : Cols(m.NrOfColumns()), Rows(m.NrOfRows()), Sparse(m.IsSparse()),
        Entries(m.SparseNumElem()), Crc(m.CRCofData()), Id(m.DataID()) {}
  bool operator==(const IntMatrixState& o) const {
    return Cols == o.Cols && Rows == o.Rows && Sparse == o.Sparse && Entries == o.Entries &&
           Crc == o.Crc && Id == o.Id;
  }
  int32_t Cols, Rows;
  bool Sparse;
  int32_t Entries;
  std::string Crc, Id;
};

// The integer matrix's loaders, the sparse triple file among them, return
// false when memory runs out, the matrix as it was.
TEST(AllocationFailure, IntMatrixLoadersFailCleanly) {
  TIntMatrix src;
  src.Resize(3, 4);
  src.SetVal(2, 3, -17);
  src.SetVal(3, 1, 2147483647);
  src.SetDataID("ints");
  const std::string dense = TmpFile("int.csv");
  const std::string bin = TmpFile("int.bin");
  const std::string sparse = TmpFile("int.sparse");
  ASSERT_TRUE(src.StoreOnFile(dense, ';', {"a", "b", "c"}));
  ASSERT_TRUE(src.SaveBinary(bin));
  ASSERT_TRUE(src.StoreSparseMat(sparse));
  const auto setup = [](TIntMatrix& m) {
    m.Resize(4, 5);
    m.Fill(5);
    m.SetDataID("before");
  };
  CheckLoader<TIntMatrix, IntMatrixState>("sparse triple file", setup,
                                          [&](TIntMatrix& m) { return m.LoadSparseMat(sparse); });
  for (bool adjust : {true, false}) {
    CheckLoader<TIntMatrix, IntMatrixState>(
        "integer text file", setup, [&](TIntMatrix& m) { return m.LoadFromFile(dense, adjust); });
    CheckLoader<TIntMatrix, IntMatrixState>(
        "integer binary file", setup, [&](TIntMatrix& m) { return m.LoadBinary(bin, adjust); });
  }
}

// The XML readers return false when memory runs out anywhere (in the reader,
// the parse or the commit), the matrix as it was and a stream put back.
TEST(AllocationFailure, XmlReadersFailCleanly) {
  TMatrix src;
  src.Resize(3, 2);
  src.FillRandomUniform(-1, 1);
  src.SetDataID("sample <&>");
  const std::string xml = TmpFile("mat.xml");
  ASSERT_TRUE(src.SaveAsXMLFile(xml));
  TFileStream in(xml, fmOpenRead);
  CheckMatrixLoader("matrix XML file", [&](TMatrix& m) { return m.LoadFromXMLFile(xml); });
  CheckMatrixLoader("matrix XML stream", [&](TMatrix& m) {
    in.SetPosition(0);
    const bool ok = m.ReadFromXMLStream(&in, true);
    EXPECT_TRUE(ok || in.Position() == 0);
    return ok;
  });
  TIntMatrix isrc;
  isrc.ArrayToSparse(4);
  isrc.SetVal(3, 2, -5);
  isrc.SetVal(1, 7, 9);
  const std::string ixml = TmpFile("int.xml");
  ASSERT_TRUE(isrc.SaveAsXMLFile(ixml));
  CheckLoader<TIntMatrix, IntMatrixState>(
      "sparse XML file",
      [](TIntMatrix& m) {
        m.Resize(2, 2);
        m.Fill(5);
      },
      [&](TIntMatrix& m) { return m.LoadFromXMLFile(ixml); });
}

// The 4-D file loader raises its "cannot resize, memory low" and keeps the
// array (its size, data, identifier), firing no OnChange.
TEST(AllocationFailure, Mat4DLoadFailsCleanly) {
  TMat4D src;
  src.Resize(5, 4, 3, 2);
  src.FillRandomUniform(-1, 1);
  src.SetDataID("cube");
  const std::string file = TmpFile("cube.m4d");
  src.SaveBinary(file, 0, 0);
  const uint64_t points = WithEachAllocationFailing([&](uint64_t n) {
    TMat4D a;
    a.SetName("a");
    a.Resize(2, 2, 2, 2);
    a.Fill(3.0);
    a.SetDataID("kept");
    int changes = 0;
    a.SetOnChange([&](TObject*) { ++changes; });
    std::string raised;
    {
      FailingAllocation fail(n);
      try {
        a.LoadBinary(file, 0, 0);
      } catch (const Exception& e) {
        FailAllocationNumber(0);
        raised = e.what();
      }
    }
    if (raised.empty()) {
      EXPECT_EQ(a.CRCofData(), src.CRCofData()) << "allocation " << n;
      EXPECT_EQ(changes, 1);
    } else {
      EXPECT_EQ(raised, "Component \"a\": cannot resize, memory low") << "allocation " << n;
      EXPECT_EQ(a.ElementCount(), 16u);
      EXPECT_EQ(a.GetVal(2, 2, 2, 2), 3.0);
      EXPECT_EQ(a.DataID(), "kept");
      EXPECT_EQ(changes, 0);
    }
  });
  EXPECT_GT(points, 0u);
}

// The curve fitter's import raises its "not enough memory" (or returns a
// header code) and keeps its pairs.
TEST(AllocationFailure, CurveFitImportFailsCleanly) {
  TCurveFit src;
  for (int i = 0; i < 5; ++i) src.EnterStatValue(i, 2.0 * i - 1);
  const std::string asc = TmpFile("pairs.asc");
  ASSERT_EQ(src.ExportAsASC(asc, "pairs", 4), "");
  const uint64_t points = WithEachAllocationFailing([&](uint64_t n) {
    TCurveFit f;
    f.SetName("fit");
    f.EnterStatValue(7, 8);
    int32_t code = 0;
    std::string raised;
    {
      FailingAllocation fail(n);
      try {
        code = f.ImportASC(asc);
      } catch (const ENUVMath2Error& e) {
        FailAllocationNumber(0);
        raised = e.what();
      }
    }
    if (!raised.empty()) {
      EXPECT_EQ(raised, "Component \"fit\": not enough memory");
    }
    if (!raised.empty() || code != 0) {
      EXPECT_EQ(f.NumData(), 1) << "allocation " << n;
      EXPECT_EQ(f.GetDataX(1), 7.0) << "allocation " << n;
    } else {
      EXPECT_EQ(f.NumData(), 5) << "allocation " << n;
    }
  });
  EXPECT_GT(points, 0u);
}

TEST(AllocationFailure, ResizersRaiseTheirErrorAndKeepTheObject) {
  WithEachAllocationFailing([](uint64_t n) {
    TVector v;
    v.SetName("v");
    Fill<TVector, double>(v, {1, 2, 3});
    const VectorState<TVector> before(v);
    FailingAllocation fail(n);
    try {
      v.Resize(100000);
    } catch (const ENUVVectorError& e) {
      FailAllocationNumber(0);
      EXPECT_EQ(std::string(e.what()), "Component \"v\": not enough memory");
      EXPECT_TRUE(VectorState<TVector>(v) == before);
    }
  });
  WithEachAllocationFailing([](uint64_t n) {
    TMatrix m;
    m.SetName("m");
    m.Resize(2, 3);
    m.Fill(4.0);
    const MatrixState before(m);
    FailingAllocation fail(n);
    try {
      m.Resize(300, 200);
    } catch (const ENUVMatrixError& e) {
      FailAllocationNumber(0);
      EXPECT_EQ(std::string(e.what()), "Component \"m\": not enough memory on heap");
      EXPECT_TRUE(MatrixState(m) == before);
    }
  });
  WithEachAllocationFailing([](uint64_t n) {
    TMat3D c;
    c.SetName("c");
    c.Resize(2, 3, 4);
    c.Fill(4.0);
    FailingAllocation fail(n);
    try {
      c.Resize(30, 20, 10);
    } catch (const ENUVMatrixError& e) {
      FailAllocationNumber(0);
      EXPECT_EQ(std::string(e.what()), "Component \"c\": not enough memory on heap");
      EXPECT_EQ(c.NrOfColumns() * c.NrOfRows() * c.NrOfLayers(), 24);
      EXPECT_EQ(c.GetVal(2, 3, 4), 4.0);
    }
  });
  WithEachAllocationFailing([](uint64_t n) {
    TMat4D a;
    a.SetName("a");
    a.Resize(2, 3, 4, 2);
    a.Fill(4.0);
    FailingAllocation fail(n);
    try {
      a.Resize(30, 20, 10, 3);
    } catch (const ENUVMatrixError& e) {
      FailAllocationNumber(0);
      EXPECT_EQ(std::string(e.what()), "Component \"a\": not enough memory on heap");
      EXPECT_EQ(a.ElementCount(), 48u);
      EXPECT_EQ(a.GetVal(2, 3, 4, 2), 4.0);
    }
  });
  WithEachAllocationFailing([](uint64_t n) {
    TBitFld b;
    b.SetSize(10);
    b.SetBit(3, true);
    FailingAllocation fail(n);
    try {
      b.SetSize(100000);
    } catch (const ENUVError& e) {
      FailAllocationNumber(0);
      EXPECT_EQ(std::string(e.what()), "TBitFld.SetSize: not enough memory");
      EXPECT_EQ(b.Size(), 10);
      EXPECT_TRUE(b.GetBit(3));
    }
  });
}

TEST(AllocationFailure, WritersAndHeaderReadersNeverRaise) {
  TVector v;
  Fill<TVector, double>(v, {1, 2, 3});
  const std::string f = TmpFile("store.txt");
  WithEachAllocationFailing([&](uint64_t n) {
    FailingAllocation fail(n);
    try {
      v.StoreOnFile(1, 3, 4, f);
    } catch (...) {
      FailAllocationNumber(0);
      ADD_FAILURE() << "StoreOnFile raised with allocation " << n << " failing";
    }
  });
  TMatrix m;
  m.Resize(2, 2);
  const std::vector<std::string> names = {"a long column name", "b"};
  WithEachAllocationFailing([&](uint64_t n) {
    FailingAllocation fail(n);
    try {
      m.StoreOnFile(f, ',', names);
      m.SaveBinary(f);
      int32_t c = 0, r = 0;
      std::string id;
      TMatrix::ReadBinaryHeader(f, c, r, id);
    } catch (...) {
      FailAllocationNumber(0);
      ADD_FAILURE() << "a matrix file operation raised with allocation " << n << " failing";
    }
  });
  const std::string asc = TmpFile("head.asc");
  WriteFile(asc, "comment\n2 ; columns\n3 ; rows\nTRUE FALSE TRUE TRUE\n");
  WithEachAllocationFailing([&](uint64_t n) {
    std::string comment;
    int32_t c = 0, r = 0;
    bool f1, f2, f3, f4;
    FailingAllocation fail(n);
    try {
      ReadHeaderOfASC(asc, comment, c, r, f1, f2, f3, f4);
    } catch (...) {
      FailAllocationNumber(0);
      ADD_FAILURE() << "ReadHeaderOfASC raised with allocation " << n << " failing";
    }
  });
}

// Single allocations capped at 64 KiB: inputs that need more fail as a load,
// without an exception and without touching the object.
TEST(AllocationFailure, CappedAllocationsRefuseLargeInputs) {
  TVector big;
  big.Resize(20000);
  big.FillRandomUniform(0, 1);
  TMemoryStream* rec = nullptr;
  big.SaveToStream(rec, 0, 0);
  std::unique_ptr<TMemoryStream> owned(rec);
  const std::string text = TmpFile("big.txt");
  ASSERT_TRUE(big.StoreOnFile(1, 20000, 6, text));
  TMatrix mbig;
  mbig.Resize(100, 100);
  TMemoryStream* mrec = nullptr;
  mbig.SaveToStream(mrec);
  std::unique_ptr<TMemoryStream> mowned(mrec);

  TVector v;
  Fill<TVector, double>(v, {1, 2, 3});
  TMatrix m;
  const VectorState<TVector> vb(v);
  const MatrixState mb(m);
  bool a = true, b = true, c = true, d = true;
  {
    nuv_test::ScopedAllocationCeiling cap(64 * 1024);
    rec->SetPosition(0);
    a = v.LoadFromStream(rec, true);
    b = v.LoadFromFile(text, true);
    c = v.LoadFromFile(text, true, true);
    mrec->SetPosition(0);
    d = m.LoadFromStream(mrec, true);
  }
  EXPECT_FALSE(a);
  EXPECT_FALSE(b);
  EXPECT_FALSE(c);
  EXPECT_FALSE(d);
  EXPECT_TRUE(VectorState<TVector>(v) == vb);
  EXPECT_TRUE(MatrixState(m) == mb);
}
