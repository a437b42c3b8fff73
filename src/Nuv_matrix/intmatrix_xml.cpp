// TIntMatrix as XML: <TIntMatrix version DataID columns rows form> holding
// <values> (dense) or <entries> of (column, row, value) triples (sparse).
#include <algorithm>
#include <new>

#include "Nuv_matrix/intmatrix.h"
#include "Nuv_matrix/matrix_xml.h"

namespace nuv {

void TIntMatrix::WriteXMLElement(TXmlWriter& W) const {
  W.BeginElement("TIntMatrix");
  W.Attribute("version", XmlSchemeVersion);
  W.Attribute("DataID", FDataID);
  W.Attribute(MatXmlName(xmlMatNumCols), FNCol);
  W.Attribute(MatXmlName(xmlMatNumRows), FNRow);
  W.Attribute("form", FIsSparse ? "sparse" : "dense");
  if (FIsSparse) {
    W.Attribute("allocby", FAllocBy);
    W.Attribute("count", FSparseNumElem);
  }
  W.EndAttributes();
  if (FIsSparse) {
    W.BeginElement("entries");
    if (FSparseNumElem == 0) {
      W.EndEmptyElement();
    } else {
      W.EndAttributes();
      FSparse.ForEach([&W](const TSpMatElemInt& e) {
        W.LineBreak();
        W.Int(e.colidx);
        W.Separator();
        W.Int(e.rowidx);
        W.Separator();
        W.Int(e.value);
      });
      W.EndElement("entries");
    }
  } else {
    detail::WriteXmlValues(W, FMat.data(), FNCol, FNRow, FRowsAlloc);
  }
  W.EndElement("TIntMatrix");
}

void TIntMatrix::ParseXMLElement(TXmlReader& R, TIntMatrixXmlContent& C) {
  R.OnlyAttributes({"version", "DataID", MatXmlName(xmlMatNumCols), MatXmlName(xmlMatNumRows),
                    "form", "allocby", "count"});
  R.CheckVersion();
  C.DataID = R.TextAttribute("DataID", std::string());
  C.NCols = static_cast<int32_t>(R.IntAttribute(MatXmlName(xmlMatNumCols), 0, INT32_MAX));
  C.NRows = static_cast<int32_t>(R.IntAttribute(MatXmlName(xmlMatNumRows), 0, INT32_MAX));
  const std::string form = R.TextAttribute("form", "dense");
  if (form != "dense" && form != "sparse") R.Fail("the form \"" + form + "\" is neither dense nor sparse");
  C.Sparse = form == "sparse";
  int64_t count = 0;
  if (C.Sparse) {
    C.AllocBy = static_cast<int32_t>(R.IntAttribute("allocby", 1, INT32_MAX, 1));
    count = R.IntAttribute("count", 0, INT32_MAX);
  }
  const char* listName = C.Sparse ? "entries" : MatXmlName(xmlMatCell);
  R.Enter();
  bool list = false;
  while (R.NextChild()) {
    if (R.Name() != listName || list)
      R.Fail("unexpected element <" + R.Name() + "> in <TIntMatrix>");
    list = true;
    if (!C.Sparse) {
      detail::ReadXmlValues(R, C.NCols, C.NRows, C.Data);
      continue;
    }
    // Three numbers of at least two bytes each per entry.
    std::vector<int32_t> triples;
    detail::ReadXmlList(R, 3 * count, triples);
    if (!TryReserve(C.Entries, static_cast<std::size_t>(count))) throw std::bad_alloc();
    for (int64_t i = 0; i < count; ++i) {
      const int32_t c = triples[3 * i], r = triples[3 * i + 1];
      if (c < 1 || c > C.NCols || r < 1 || r > C.NRows)
        R.Fail("entry " + std::to_string(i + 1) + " lies outside the matrix");
      C.Entries.push_back({c, r, triples[3 * i + 2]});
    }
    if (!detail::SortUniqueEntries(C.Entries)) R.Fail("a position occurs twice in <entries>");
  }
  if (!list) R.Fail(std::string("<TIntMatrix> has no <") + listName + ">");
}

void TIntMatrix::CommitXML(TIntMatrixXmlContent& C) {
  if (C.Sparse) {
    const int32_t oldStep = FAllocBy;
    FAllocBy = C.AllocBy;
    try {
      TakeSparse(C.Entries, C.NCols, C.NRows);
    } catch (...) {
      FAllocBy = oldStep;
      throw;
    }
  } else {
    if (FIsSparse) {
      FSparse.Clear();
      FIsSparse = false;
      FNumAllocated = 0;
      FSparseNumElem = 0;
      FSparseLowCol = FSparseLowRow = 2147483647;
      FSparseHighCol = FSparseHighRow = 1;
    }
    TakeDense(C.Data, C.NCols, C.NRows);
  }
  FDataID.swap(C.DataID);
  Changed();
}

bool TIntMatrix::SaveAsXMLFile(const std::string& FileName) const {
  return SaveXmlFile(FileName, [this](TXmlWriter& W) { WriteXMLElement(W); });
}

void TIntMatrix::WriteToOpenXMLFile(TTextWriter* OutFile, bool CreateHeader) const {
  WriteXmlText(OutFile, CreateHeader, [this](TXmlWriter& W) { WriteXMLElement(W); });
}

void TIntMatrix::WriteToXMLStream(TStream* OutStream, bool CreateHeader) const {
  WriteXmlStream(OutStream, CreateHeader, [this](TXmlWriter& W) { WriteXMLElement(W); });
}

namespace {

auto IntMatrixReader(TIntMatrixXmlContent& C, const std::string& DataID) {
  return [&C, &DataID](TXmlReader& R) {
    R.FindObject("TIntMatrix", DataID);
    TIntMatrix::ParseXMLElement(R, C);
  };
}

/// The commit can run out of memory while it builds the sparse list (the
/// matrix then unchanged); a read reports that as its result.
bool Commit(TIntMatrix& M, TIntMatrixXmlContent& C, TXmlReadInfo* Info) {
  try {
    M.CommitXML(C);
    return true;
  } catch (const std::exception&) {
    if (Info != nullptr) *Info = TXmlReadInfo{0, 0, "not enough memory"};
    return false;
  }
}

}  // namespace

bool TIntMatrix::LoadFromXMLFile(const std::string& FileName, const std::string& DataID,
                                 TXmlReadInfo* Info) {
  TIntMatrixXmlContent c;
  return LoadXmlFile(FileName, Info, IntMatrixReader(c, DataID)) && Commit(*this, c, Info);
}

bool TIntMatrix::ReadFromOpenXMLFile(TTextReader* InFile, bool FromCurrentPos,
                                     const std::string& DataID, TXmlReadInfo* Info) {
  TIntMatrixXmlContent c;
  return ReadXmlText(InFile, FromCurrentPos, Info, IntMatrixReader(c, DataID)) &&
         Commit(*this, c, Info);
}

bool TIntMatrix::ReadFromXMLStream(TStream* InStream, bool FromCurrentPos,
                                   const std::string& DataID, TXmlReadInfo* Info) {
  TIntMatrixXmlContent c;
  return ReadXmlStream(InStream, FromCurrentPos, Info, IntMatrixReader(c, DataID)) &&
         Commit(*this, c, Info);
}

}  // namespace nuv
