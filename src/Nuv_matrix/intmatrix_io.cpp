// TIntMatrix files and streams. A dense matrix uses the TMatrix formats: its
// elements go through a TMatrix work copy, so the delimited text and the
// checked binary record (and all their checks on reading) are the TMatrix
// ones, and files are exchangeable between the two classes. Values read are
// rounded to integers (halves to even); a value that is not finite or lies
// outside the 32-bit range refuses the whole file. The sparse text format of
// StoreSparseMat and LoadSparseMat is described in docs/formats.md.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <new>

#include "Nuv_matrix/intmatrix.h"
#include "Nuv_matrix/matrix_storage.h"

namespace nuv {

// Access to the private storage for the loaders below.
struct TIntMatrixAccess {
  /// The dense elements as a TMatrix work copy (DataID included).
  static void ToDouble(const TIntMatrix& M, TMatrix& Work) {
    Work.Resize(M.FNCol, M.FNRow);
    Work.SetDataID(M.FDataID);
    // Fixed point without decimals: integers in full, never in exponent form.
    Work.SetFPrecis(2, 0);
    for (int32_t c = 1; c <= M.FNCol; ++c)
      std::copy(M.ColData(c), M.ColData(c) + M.FNRow, Work.ColData(c));
  }

  /// Takes the loaded work copy into M: the whole of it (AdjustSize) or into the leading
  /// block. False, with M unchanged, when a value is no 32-bit integer or the block does
  /// not fit; Why says which.
  static bool FromDouble(TIntMatrix& M, const TMatrix& Work, bool AdjustSize, std::string& Why) {
    const int32_t nc = Work.NrOfColumns();
    const int32_t nr = Work.NrOfRows();
    if (!AdjustSize && (nc > M.FNCol || nr > M.FNRow)) {
      Why = "the matrix is smaller than the data (" + std::to_string(nc) + " columns, " +
            std::to_string(nr) + " rows)";
      return false;
    }
    std::string id = Work.DataID();  // copied first: nothing may fail after the commit
    std::vector<int32_t> data;
    int32_t colsAlloc = 0, rowsAlloc = 0;  // no cell to keep
    if (!detail::ResizeColMajor(data, colsAlloc, rowsAlloc, nc, nr)) {
      Why = "not enough memory";
      return false;
    }
    for (int32_t c = 1; c <= nc; ++c) {
      const double* p = Work.ColData(c);
      int32_t* q = data.data() + static_cast<size_t>(c - 1) * static_cast<size_t>(rowsAlloc);
      for (int32_t r = 0; r < nr; ++r) {
        const double v = std::nearbyint(p[r]);
        if (!(v >= -2147483648.0 && v <= 2147483647.0)) {
          Why = "not a 32-bit integer (column " + std::to_string(c) + ", row " +
                std::to_string(r + 1) + ")";
          return false;
        }
        q[r] = static_cast<int32_t>(v);
      }
    }
    if (AdjustSize) {
      M.TakeDense(data, nc, nr);
    } else {
      for (int32_t c = 1; c <= nc; ++c)
        std::copy(data.data() + static_cast<size_t>(c - 1) * static_cast<size_t>(rowsAlloc),
                  data.data() + static_cast<size_t>(c - 1) * static_cast<size_t>(rowsAlloc) + nr,
                  M.ColData(c));
    }
    M.FDataID.swap(id);
    return true;
  }

  /// The sparse state built by LoadSparseMat, committed at once.
  static void TakeSparse(TIntMatrix& M, const std::vector<TSpMatElemInt>& Sorted, int32_t Nc,
                         int32_t Nr) {
    detail::TSparseIntList list;
    try {
      list.Assign(Sorted);
    } catch (const std::bad_alloc&) {
      M.RaiseNoHeap();
    }
    const int64_t step = M.FAllocBy;
    const int64_t n = static_cast<int64_t>(Sorted.size());
    const int64_t allocated = n <= step ? step : (n + step - 1) / step * step;
    if (allocated > 2147483647) M.RaiseNoHeap();
    int32_t lowC = 2147483647, highC = 1, lowR = 2147483647, highR = 1;
    for (const TSpMatElemInt& e : Sorted) {
      lowC = std::min(lowC, e.colidx);
      highC = std::max(highC, e.colidx);
      lowR = std::min(lowR, e.rowidx);
      highR = std::max(highR, e.rowidx);
    }
    M.FIsSparse = true;
    M.FSparse = std::move(list);
    M.FSparseNumElem = static_cast<int32_t>(n);
    M.FNumAllocated = static_cast<int32_t>(allocated);
    M.FSparseLowCol = lowC;
    M.FSparseHighCol = highC;
    M.FSparseLowRow = lowR;
    M.FSparseHighRow = highR;
    M.FNCol = Nc;
    M.FNRow = Nr;
    std::vector<int32_t>().swap(M.FMat);
    M.FColsAlloc = 1;
    M.FRowsAlloc = 1;
  }
};

namespace {

/// Loads a binary record into M through a TMatrix work copy; false, with M and the
/// stream position unchanged, for a bad record or values that are no 32-bit integers.
template <class S>
bool LoadIntRecord(TIntMatrix& M, S* Stream, bool AdjustSize) {
  if (Stream == nullptr || M.IsSparse()) return false;
  const int64_t start = Stream->Position();
  const bool loaded = LoadWithoutRaising([&] {
    TMatrix work;
    std::string why;
    if (!work.LoadFromStream(Stream, true)) return false;
    if (TIntMatrixAccess::FromDouble(M, work, AdjustSize, why)) return true;
    Stream->Seek(start, soFromBeginning);
    return false;
  });
  if (!loaded) return false;
  M.Changed();
  return true;
}

}  // namespace

bool TIntMatrix::StoreOnFile(const std::string& FileName, char Delimiter,
                             const std::vector<std::string>& ColNames) const {
  if (FIsSparse) return false;
  TMatrix work;
  TIntMatrixAccess::ToDouble(*this, work);
  return work.StoreOnFile(FileName, Delimiter, ColNames);
}

bool TIntMatrix::LoadFromFile(const std::string& FileName, bool AdjustSize) {
  TMatrixTextInfo info;
  return LoadFromFile(FileName, AdjustSize, info);
}

bool TIntMatrix::LoadFromFile(const std::string& FileName, bool AdjustSize,
                              TMatrixTextInfo& Info) {
  Info = TMatrixTextInfo();
  if (FIsSparse) {
    Info.ErrorText = "the matrix is sparse";
    return false;
  }
  const bool loaded = LoadWithoutRaising([&] {
    TMatrix work;
    return work.LoadFromFile(FileName, true, Info) &&
           TIntMatrixAccess::FromDouble(*this, work, AdjustSize, Info.ErrorText);
  });
  if (!loaded) return false;
  Changed();
  return true;
}

void TIntMatrix::SaveToStream(TMemoryStream*& OutStream) const {
  if (FIsSparse) return;
  TMatrix work;
  TIntMatrixAccess::ToDouble(*this, work);
  work.SetFPrecis(2, -1);
  work.SaveToStream(OutStream);
}

void TIntMatrix::SaveToStream(TFileStream* OutStream) const {
  if (FIsSparse || OutStream == nullptr) return;
  TMatrix work;
  TIntMatrixAccess::ToDouble(*this, work);
  work.SetFPrecis(2, -1);
  work.SaveToStream(OutStream);
}

bool TIntMatrix::LoadFromStream(TMemoryStream* InStream, bool AdjustSize) {
  return LoadIntRecord(*this, InStream, AdjustSize);
}

bool TIntMatrix::LoadFromStream(TFileStream* InStream, bool AdjustSize) {
  return LoadIntRecord(*this, InStream, AdjustSize);
}

bool TIntMatrix::SaveBinary(const std::string& FileName) const {
  if (FIsSparse) return false;
  TMatrix work;
  TIntMatrixAccess::ToDouble(*this, work);
  work.SetFPrecis(2, -1);
  return work.SaveBinary(FileName);
}

bool TIntMatrix::LoadBinary(const std::string& FileName, bool AdjustSize) {
  if (FIsSparse) return false;
  const bool loaded = LoadWithoutRaising([&] {
    TMatrix work;
    std::string why;
    return work.LoadBinary(FileName, true) &&
           TIntMatrixAccess::FromDouble(*this, work, AdjustSize, why);
  });
  if (!loaded) return false;
  Changed();
  return true;
}

int32_t TIntMatrix::ReadBinaryHeader(const std::string& FileName, int32_t& NCols, int32_t& NRows,
                                     std::string& DataID) {
  return TMatrix::ReadBinaryHeader(FileName, NCols, NRows, DataID);
}

// --- the sparse text file -----------------------------------------------------

namespace {

constexpr const char* kSparseSignature = "NUV sparse integer matrix 1";

void AppendInt(std::string& Line, int32_t v) {
  char buf[16];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  Line.append(buf, r.ptr);
}

std::string TripleLine(int32_t a, int32_t b, int32_t c) {
  std::string line;
  AppendInt(line, a);
  line += ' ';
  AppendInt(line, b);
  line += ' ';
  AppendInt(line, c);
  return line;
}

/// Three blank-separated decimal integers, nothing else but blanks.
bool ParseTriple(const std::string& Line, int32_t (&Out)[3]) {
  const char* p = Line.data();
  const char* end = p + Line.size();
  for (int k = 0; k < 3; ++k) {
    while (p < end && (*p == ' ' || *p == '\t')) ++p;
    const char* first = p;
    while (p < end && *p != ' ' && *p != '\t') ++p;
    if (first == p || !detail::ParseInt32Token(first, p, Out[k])) return false;
  }
  while (p < end && (*p == ' ' || *p == '\t')) ++p;
  return p == end;
}

bool IsBlankLine(const std::string& Line) {
  return Line.find_first_not_of(" \t") == std::string::npos;
}

}  // namespace

namespace detail {

bool SortUniqueEntries(std::vector<TSpMatElemInt>& Entries) {
  // Files written by hand may list the entries in any order; a position given
  // twice is an error.
  auto before = [](const TSpMatElemInt& a, const TSpMatElemInt& b) {
    return TSparseIntList::Key(a) < TSparseIntList::Key(b);
  };
  if (!std::is_sorted(Entries.begin(), Entries.end(), before))
    std::sort(Entries.begin(), Entries.end(), before);
  for (size_t i = 1; i < Entries.size(); ++i)
    if (!before(Entries[i - 1], Entries[i])) return false;
  return true;
}

}  // namespace detail

void TIntMatrix::TakeSparse(const std::vector<TSpMatElemInt>& Sorted, int32_t Nc, int32_t Nr) {
  TIntMatrixAccess::TakeSparse(*this, Sorted, Nc, Nr);
}

bool TIntMatrix::StoreSparseMat(const std::string& FileName) const {
  try {
    TTextWriter w(FileName);
    w.WriteLine(kSparseSignature);
    int64_t count = 0;
    if (FIsSparse) {
      count = FSparseNumElem;
    } else if (FNCol > 0 && FNRow > 0) {
      for (int32_t v : FMat) count += v != 0;
    }
    w.WriteLine(TripleLine(FNCol, FNRow, static_cast<int32_t>(count)));
    if (FIsSparse) {
      FSparse.ForEach(
          [&](const TSpMatElemInt& e) { w.WriteLine(TripleLine(e.colidx, e.rowidx, e.value)); });
    } else {
      for (int32_t c = 1; c <= FNCol && FNRow > 0; ++c)
        for (int32_t r = 1; r <= FNRow; ++r) {
          const int32_t v = FMat[Index(c, r)];
          if (v != 0) w.WriteLine(TripleLine(c, r, v));
        }
    }
    w.Close();
  } catch (const EInOutError&) {
    // What was written stays: the path may name a device or a pipe.
    return false;
  }
  return true;
}

bool TIntMatrix::LoadSparseMat(const std::string& FileName) {
  // Running out of memory is a failed load like a malformed file.
  const bool loaded = LoadWithoutRaising([&] {
    TTextReader in;
    if (!in.Open(FileName)) return false;
    std::string line;
    if (!in.ReadLine(line)) return false;
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
    if (line != kSparseSignature) return false;
    int32_t head[3];
    if (!in.ReadLine(line) || !ParseTriple(line, head)) return false;
    const int32_t nc = head[0], nr = head[1], count = head[2];
    if (nc < 0 || nr < 0 || count < 0) return false;
    // The list grows with the lines actually read, never with the count claimed.
    std::vector<TSpMatElemInt> entries;
    for (int32_t i = 0; i < count; ++i) {
      int32_t t[3];
      if (!in.ReadLine(line) || !ParseTriple(line, t)) return false;
      if (t[0] < 1 || t[0] > nc || t[1] < 1 || t[1] > nr) return false;
      entries.push_back({t[0], t[1], t[2]});
    }
    while (in.ReadLine(line))
      if (!IsBlankLine(line)) return false;
    if (in.Failed()) return false;
    if (!detail::SortUniqueEntries(entries)) return false;
    TIntMatrixAccess::TakeSparse(*this, entries, nc, nr);
    return true;
  });
  if (!loaded) return false;
  Changed();
  return true;
}

}  // namespace nuv
