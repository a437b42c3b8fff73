// TMat4D as XML: <TMat4D version DataID columns rows layers timeslots> holding
// <values>, one line per row of a layer of a slot (storage order: slot outermost, columns innermost).
#include "Nuv_matrix/mat4d.h"
#include "Nuv_matrix/matrix_xml.h"

namespace nuv {

namespace {
constexpr TMatXmlTag kTags[] = {xmlMatNumCols, xmlMatNumRows, xmlMatNumLayers, xmlMatNumTimeSlots};
}  // namespace

void TMat4D::WriteXMLElement(TXmlWriter& W) const {
  const int32_t counts[] = {FNumX, FNumY, FNumZ, FNumT};
  detail::WriteArrayXml(W, "TMat4D", kTags, counts, FDataID, FMat.data(), FNumX);
}

void TMat4D::ParseXMLElement(TXmlReader& R, TMat4DXmlContent& C) {
  detail::ParseArrayXml(R, "TMat4D", kTags, C.Counts, C.DataID, C.Data);
}

void TMat4D::CommitXML(TMat4DXmlContent& C) {
  Commit(C.Data, C.Counts[0], C.Counts[1], C.Counts[2], C.Counts[3]);
  FDataID.swap(C.DataID);
  Changed();
}

bool TMat4D::SaveAsXMLFile(const std::string& FileName) const {
  return SaveXmlFile(FileName, [this](TXmlWriter& W) { WriteXMLElement(W); });
}

void TMat4D::WriteToOpenXMLFile(TTextWriter* OutFile, bool CreateHeader) const {
  WriteXmlText(OutFile, CreateHeader, [this](TXmlWriter& W) { WriteXMLElement(W); });
}

void TMat4D::WriteToXMLStream(TStream* OutStream, bool CreateHeader) const {
  WriteXmlStream(OutStream, CreateHeader, [this](TXmlWriter& W) { WriteXMLElement(W); });
}

bool TMat4D::LoadFromXMLFile(const std::string& FileName, const std::string& DataID,
                          TXmlReadInfo* Info) {
  return detail::ReadObject<TMat4DXmlContent>(*this, "TMat4D", DataID, [&](const auto& Read) {
    return LoadXmlFile(FileName, Info, Read);
  });
}

bool TMat4D::ReadFromOpenXMLFile(TTextReader* InFile, bool FromCurrentPos,
                              const std::string& DataID, TXmlReadInfo* Info) {
  return detail::ReadObject<TMat4DXmlContent>(*this, "TMat4D", DataID, [&](const auto& Read) {
    return ReadXmlText(InFile, FromCurrentPos, Info, Read);
  });
}

bool TMat4D::ReadFromXMLStream(TStream* InStream, bool FromCurrentPos, const std::string& DataID,
                            TXmlReadInfo* Info) {
  return detail::ReadObject<TMat4DXmlContent>(*this, "TMat4D", DataID, [&](const auto& Read) {
    return ReadXmlStream(InStream, FromCurrentPos, Info, Read);
  });
}

}  // namespace nuv
