// TMatrix as XML: <TMatrix version DataID columns rows precision1 precision2>
// with one <values> element, column after column (docs/formats.md).
#include <algorithm>

#include "Nuv_matrix/matrix_core.h"
#include "Nuv_matrix/matrix_xml.h"

namespace nuv {

void TMatrix::WriteXMLElement(TXmlWriter& W) const {
  W.BeginElement("TMatrix");
  W.Attribute("version", XmlSchemeVersion);
  W.Attribute("DataID", FDataID);
  W.Attribute(MatXmlName(xmlMatNumCols), FNCol);
  W.Attribute(MatXmlName(xmlMatNumRows), FNRow);
  W.Attribute("precision1", FPrecis[0]);
  W.Attribute("precision2", FPrecis[1]);
  W.EndAttributes();
  detail::WriteXmlValues(W, FMat.data(), FNCol, FNRow, FRowsAlloc);
  W.EndElement("TMatrix");
}

void TMatrix::ParseXMLElement(TXmlReader& R, TMatrixXmlContent& C) {
  R.OnlyAttributes({"version", "DataID", MatXmlName(xmlMatNumCols), MatXmlName(xmlMatNumRows),
                    "precision1", "precision2"});
  R.CheckVersion();
  C.DataID = R.TextAttribute("DataID", std::string());
  C.NCols = static_cast<int32_t>(R.IntAttribute(MatXmlName(xmlMatNumCols), 0, INT32_MAX));
  C.NRows = static_cast<int32_t>(R.IntAttribute(MatXmlName(xmlMatNumRows), 0, INT32_MAX));
  C.Precis[0] = static_cast<int32_t>(R.IntAttribute("precision1", -1, 25, 15));
  C.Precis[1] = static_cast<int32_t>(R.IntAttribute("precision2", -1, 25, -1));
  R.Enter();
  bool values = false;
  while (R.NextChild()) {
    if (R.Name() != MatXmlName(xmlMatCell) || values) R.Fail("unexpected element <" + R.Name() + "> in <TMatrix>");
    detail::ReadXmlValues(R, C.NCols, C.NRows, C.Data);
    values = true;
  }
  if (!values) R.Fail("<TMatrix> has no <values>");
}

void TMatrix::CommitXML(TMatrixXmlContent& C) {
  CommitLoaded(C.Data, C.NCols, C.NRows, true);
  FDataID.swap(C.DataID);
  FPrecis[0] = C.Precis[0];
  FPrecis[1] = C.Precis[1];
  Changed();
}

bool TMatrix::SaveAsXMLFile(const std::string& FileName) const {
  return SaveXmlFile(FileName, [this](TXmlWriter& W) { WriteXMLElement(W); });
}

void TMatrix::WriteToOpenXMLFile(TTextWriter* OutFile, bool CreateHeader) const {
  WriteXmlText(OutFile, CreateHeader, [this](TXmlWriter& W) { WriteXMLElement(W); });
}

void TMatrix::WriteToXMLStream(TStream* OutStream, bool CreateHeader) const {
  WriteXmlStream(OutStream, CreateHeader, [this](TXmlWriter& W) { WriteXMLElement(W); });
}

bool TMatrix::LoadFromXMLFile(const std::string& FileName, const std::string& DataID,
                          TXmlReadInfo* Info) {
  return detail::ReadObject<TMatrixXmlContent>(*this, "TMatrix", DataID, [&](const auto& Read) {
    return LoadXmlFile(FileName, Info, Read);
  });
}

bool TMatrix::ReadFromOpenXMLFile(TTextReader* InFile, bool FromCurrentPos,
                              const std::string& DataID, TXmlReadInfo* Info) {
  return detail::ReadObject<TMatrixXmlContent>(*this, "TMatrix", DataID, [&](const auto& Read) {
    return ReadXmlText(InFile, FromCurrentPos, Info, Read);
  });
}

bool TMatrix::ReadFromXMLStream(TStream* InStream, bool FromCurrentPos, const std::string& DataID,
                            TXmlReadInfo* Info) {
  return detail::ReadObject<TMatrixXmlContent>(*this, "TMatrix", DataID, [&](const auto& Read) {
    return ReadXmlStream(InStream, FromCurrentPos, Info, Read);
  });
}

}  // namespace nuv
