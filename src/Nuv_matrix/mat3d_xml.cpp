// TMat3D as XML: <TMat3D version DataID columns rows layers> holding
// <values>, one line per column-row pixel with its layers (storage order).
#include "Nuv_matrix/mat3d.h"
#include "Nuv_matrix/matrix_xml.h"

namespace nuv {

namespace {
constexpr TMatXmlTag kTags[] = {xmlMatNumCols, xmlMatNumRows, xmlMatNumLayers};
}  // namespace

void TMat3D::WriteXMLElement(TXmlWriter& W) const {
  const int32_t counts[] = {FNumX, FNumY, FNumZ};
  detail::WriteArrayXml(W, "TMat3D", kTags, counts, FDataID, FMat.data(), FNumZ);
}

void TMat3D::ParseXMLElement(TXmlReader& R, TMat3DXmlContent& C) {
  detail::ParseArrayXml(R, "TMat3D", kTags, C.Counts, C.DataID, C.Data);
}

void TMat3D::CommitXML(TMat3DXmlContent& C) {
  FMat.swap(C.Data);
  FNumX = C.Counts[0];
  FNumY = C.Counts[1];
  FNumZ = C.Counts[2];
  FDataID.swap(C.DataID);
  Changed();
}

bool TMat3D::SaveAsXMLFile(const std::string& FileName) const {
  return SaveXmlFile(FileName, [this](TXmlWriter& W) { WriteXMLElement(W); });
}

void TMat3D::WriteToOpenXMLFile(TTextWriter* OutFile, bool CreateHeader) const {
  WriteXmlText(OutFile, CreateHeader, [this](TXmlWriter& W) { WriteXMLElement(W); });
}

void TMat3D::WriteToXMLStream(TStream* OutStream, bool CreateHeader) const {
  WriteXmlStream(OutStream, CreateHeader, [this](TXmlWriter& W) { WriteXMLElement(W); });
}

bool TMat3D::LoadFromXMLFile(const std::string& FileName, const std::string& DataID,
                          TXmlReadInfo* Info) {
  return detail::ReadObject<TMat3DXmlContent>(*this, "TMat3D", DataID, [&](const auto& Read) {
    return LoadXmlFile(FileName, Info, Read);
  });
}

bool TMat3D::ReadFromOpenXMLFile(TTextReader* InFile, bool FromCurrentPos,
                              const std::string& DataID, TXmlReadInfo* Info) {
  return detail::ReadObject<TMat3DXmlContent>(*this, "TMat3D", DataID, [&](const auto& Read) {
    return ReadXmlText(InFile, FromCurrentPos, Info, Read);
  });
}

bool TMat3D::ReadFromXMLStream(TStream* InStream, bool FromCurrentPos, const std::string& DataID,
                            TXmlReadInfo* Info) {
  return detail::ReadObject<TMat3DXmlContent>(*this, "TMat3D", DataID, [&](const auto& Read) {
    return ReadXmlStream(InStream, FromCurrentPos, Info, Read);
  });
}

}  // namespace nuv
