// TKohonen as XML: <TKohonen> with the settings and the training state as
// attributes, then <Comment>, <MeanVec>, <StdDevVec>, the weights as a
// <TMat3D> and the training data as a <TMatrix> (docs/formats.md).
#include <algorithm>
#include <limits>
#include <new>

#include "Nuv_kohonen/kohonen.h"
#include "Nuv_matrix/matrix_xml.h"

namespace nuv {

void TKohonen::WriteXMLElement(TXmlWriter& W) const {
  W.BeginElement("TKohonen");
  W.Attribute("version", XmlSchemeVersion);
  W.Attribute("sizex", FSizeX);
  W.Attribute("sizey", FSizeY);
  W.Attribute("inputs", FNrInSens);
  W.Attribute("neighbors", FMaxNeighb);
  W.Attribute("steps", FMaxSteps);
  W.AttributeDouble("alpha", FMaxAlpha);
  W.AttributeBool("cyclic", FCyclic);
  W.Attribute("curstep", FCurStep);
  W.Attribute("curneighbors", FCurNeighb);
  W.AttributeDouble("curalpha", FCurAlpha);
  W.EndAttributes();
  W.TextElement("Comment", FComment);
  detail::WriteXmlList(W, "MeanVec", FMeanVec->Data(), 1, FNrInSens, FNrInSens);
  detail::WriteXmlList(W, "StdDevVec", FStdDevVec->Data(), 1, FNrInSens, FNrInSens);
  FKohMat->WriteXMLElement(W);
  FDataMat->WriteXMLElement(W);
  W.EndElement("TKohonen");
}

bool TKohonen::SaveAsXMLFile(const std::string& FileName) const {
  return SaveXmlFile(FileName, [this](TXmlWriter& W) { WriteXMLElement(W); });
}

void TKohonen::WriteToOpenXMLFile(TTextWriter* OutFile, bool CreateHeader) const {
  WriteXmlText(OutFile, CreateHeader, [this](TXmlWriter& W) { WriteXMLElement(W); });
}

void TKohonen::WriteToXMLStream(TStream* OutStream, bool CreateHeader) const {
  WriteXmlStream(OutStream, CreateHeader, [this](TXmlWriter& W) { WriteXMLElement(W); });
}

namespace {

/// What a <TKohonen> element holds.
struct TKohonenXml {
  int32_t SizeX = 1, SizeY = 1, Inputs = 1, Neighbors = 2, Steps = 200, CurStep = 0,
          CurNeighbors = 0;
  double Alpha = 1.0, CurAlpha = 0.0;
  bool Cyclic = false;
  std::string Comment;
  std::vector<double> Means, StdDevs;
  TMat3DXmlContent Weights;
  TMatrixXmlContent Train;
};

void ParseKohonen(TXmlReader& R, TKohonenXml& K) {
  R.OnlyAttributes({"version", "sizex", "sizey", "inputs", "neighbors", "steps", "alpha",
                    "cyclic", "curstep", "curneighbors", "curalpha"});
  R.CheckVersion();
  K.SizeX = static_cast<int32_t>(R.IntAttribute("sizex", 1, INT32_MAX));
  K.SizeY = static_cast<int32_t>(R.IntAttribute("sizey", 1, INT32_MAX));
  K.Inputs = static_cast<int32_t>(R.IntAttribute("inputs", 1, INT32_MAX));
  K.Neighbors = static_cast<int32_t>(R.IntAttribute("neighbors", INT32_MIN, INT32_MAX));
  K.Steps = static_cast<int32_t>(R.IntAttribute("steps", INT32_MIN, INT32_MAX));
  K.Alpha = R.DoubleAttribute("alpha");
  K.Cyclic = R.BoolAttribute("cyclic");
  K.CurStep = static_cast<int32_t>(R.IntAttribute("curstep", INT32_MIN, INT32_MAX, 0));
  K.CurNeighbors = static_cast<int32_t>(R.IntAttribute("curneighbors", INT32_MIN, INT32_MAX, 0));
  K.CurAlpha = R.FindAttribute("curalpha") != nullptr ? R.DoubleAttribute("curalpha") : 0.0;
  R.Enter();
  // The children in the order they are written; only the comment may be left out.
  const char* order[] = {"Comment", "MeanVec", "StdDevVec", "TMat3D", "TMatrix"};
  std::size_t next = 0;
  while (R.NextChild()) {
    if (next == 0 && R.Name() != order[0]) next = 1;
    if (next >= 5 || R.Name() != order[next])
      R.Fail("unexpected element <" + R.Name() + "> in <TKohonen>");
    switch (next++) {
      case 0:
        R.OnlyAttributes({});
        K.Comment = R.ReadText(std::numeric_limits<std::size_t>::max());
        break;
      case 1:
        detail::ReadXmlList(R, K.Inputs, K.Means);
        break;
      case 2:
        detail::ReadXmlList(R, K.Inputs, K.StdDevs);
        break;
      case 3:
        TMat3D::ParseXMLElement(R, K.Weights);
        if (K.Weights.Counts[0] != K.SizeX || K.Weights.Counts[1] != K.SizeY ||
            K.Weights.Counts[2] != K.Inputs)
          R.Fail("the weights are not of sizex x sizey x inputs");
        break;
      default:
        TMatrix::ParseXMLElement(R, K.Train);
        break;
    }
  }
  if (next < 5) R.Fail(std::string("<TKohonen> has no <") + order[next] + ">");
}

}  // namespace

template <class F>
bool TKohonen::ReadXML(F&& Form) {
  TKohonenXml k;
  std::unique_ptr<TVector> means, devs;
  const bool parsed = Form([&](TXmlReader& R) {
    R.FindObject("TKohonen", std::string());
    ParseKohonen(R, k);
    // The new vectors are made before the map changes.
    means = NewZeroVector(k.Inputs);
    devs = NewZeroVector(k.Inputs);
    std::copy(k.Means.begin(), k.Means.end(), means->Data());
    std::copy(k.StdDevs.begin(), k.StdDevs.end(), devs->Data());
  });
  if (!parsed) return false;
  FKohMat->CommitXML(k.Weights);
  FDataMat->CommitXML(k.Train);
  FMeanVec.swap(means);
  FStdDevVec.swap(devs);
  FSizeX = k.SizeX;
  FSizeY = k.SizeY;
  FNrInSens = k.Inputs;
  FMaxNeighb = k.Neighbors;
  FMaxSteps = k.Steps;
  FMaxAlpha = k.Alpha;
  FCyclic = k.Cyclic;
  FCurStep = k.CurStep;
  FCurNeighb = k.CurNeighbors;
  FCurAlpha = k.CurAlpha;
  FComment.swap(k.Comment);
  return true;
}

bool TKohonen::LoadFromXMLFile(const std::string& FileName, TXmlReadInfo* Info) {
  return ReadXML([&](const auto& Read) { return LoadXmlFile(FileName, Info, Read); });
}

bool TKohonen::ReadFromOpenXMLFile(TTextReader* InFile, bool FromCurrentPos, TXmlReadInfo* Info) {
  return ReadXML(
      [&](const auto& Read) { return ReadXmlText(InFile, FromCurrentPos, Info, Read); });
}

bool TKohonen::ReadFromXMLStream(TStream* InStream, bool FromCurrentPos, TXmlReadInfo* Info) {
  return ReadXML(
      [&](const auto& Read) { return ReadXmlStream(InStream, FromCurrentPos, Info, Read); });
}

}  // namespace nuv
