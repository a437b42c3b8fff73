// TKohonen XML: a trained, standardized map written and read back maps and
// goes on training exactly as the original; refused documents change nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Nuv_kohonen/Nuv_kohonen.h"

namespace nuv {
namespace {

std::string TmpFile(const std::string& Name) {
  return std::string(NUV_TEST_TMP_DIR) + "/xml_" + Name;
}

/// The raw weights, settings and vectors of a map, bit for bit, as text.
std::string State(const TKohonen& k) {
  std::string s = std::to_string(k.SizeX()) + "x" + std::to_string(k.SizeY()) + "x" +
                  std::to_string(k.NrOfInSens()) + " " + std::to_string(k.InitialNeighbors()) +
                  " " + std::to_string(k.NrOfTrnSteps()) + " " + std::to_string(k.CurStep()) +
                  " " + std::to_string(k.CurNeighb()) + " " + (k.Cyclic() ? "cyclic " : "open ") +
                  k.Comment() + " " + k.TrainData()->CRCofData() + " " +
                  k.MeanVec()->CRCofData() + " " + k.StdDevVec()->CRCofData() + " ";
  for (double v : {k.InitialAlpha(), k.CurAlpha()}) {
    uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    s += std::to_string(b) + " ";
  }
  for (int32_t x = 1; x <= k.SizeX(); ++x)
    for (int32_t y = 1; y <= k.SizeY(); ++y)
      for (int32_t z = 1; z <= k.NrOfInSens(); ++z) {
        const double w = k.GetWeight(x, y, z);
        uint64_t b;
        std::memcpy(&b, &w, sizeof b);
        s += std::to_string(b) + ",";
      }
  return s;
}

void TrainedMap(TKohonen& k) {
  TMatrix data;
  data.Resize(3, 40);
  SetRandSeed(5);
  data.FillRandomGauss(2.0, 3.0);
  k.SetDataMat(&data);
  k.SetSizeX(4);
  k.SetSizeY(3);
  k.SetCyclic(true);
  k.SetInitialNeighbors(3);
  k.SetNrOfTrnSteps(20);
  k.SetInitialAlpha(0.7);
  k.SetComment("map <&> \xC3\xA9");
  k.StandardizeData();
  k.SetOnFeedback([&k](TObject*, int32_t Percent) {
    if (Percent >= 40) k.AbortTraining();
  });
  SetRandSeed(9);
  k.Trainit();  // stops part way, so that training can go on after a load
  k.SetOnFeedback(nullptr);
}

}  // namespace

TEST(KohonenXml, ALoadedMapMapsAndTrainsOnAsTheOriginal) {
  TKohonen k;
  TrainedMap(k);
  ASSERT_GT(k.CurStep(), 1);
  ASSERT_LT(k.CurStep(), k.NrOfTrnSteps());
  const std::string path = TmpFile("map.xml");
  ASSERT_TRUE(k.SaveAsXMLFile(path));

  TKohonen back;
  int trainChanges = 0;
  back.TrainData()->SetOnChange([&](TObject*) { ++trainChanges; });
  const TMatrix* trainObject = back.TrainData();
  TXmlReadInfo info;
  ASSERT_TRUE(back.LoadFromXMLFile(path, &info)) << info.ErrorMessage();
  EXPECT_EQ(State(back), State(k));
  EXPECT_EQ(back.TrainData(), trainObject);
  EXPECT_EQ(trainChanges, 1);

  TVector probe;
  probe.SetVecSize(3);
  probe.SetVal(1, 1.0);
  probe.SetVal(2, 5.0);
  probe.SetVal(3, -2.0);
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  double d1 = 0, d2 = 0;
  k.ApplyIt(&probe, x1, y1, d1);
  back.ApplyIt(&probe, x2, y2, d2);
  EXPECT_EQ(x1, x2);
  EXPECT_EQ(y1, y2);
  EXPECT_EQ(d1, d2);

  k.ContinueTraining();
  back.ContinueTraining();
  EXPECT_EQ(State(back), State(k));
}

TEST(KohonenXml, AMapAndItsWeightsShareAStreamAndFaultsChangeNothing) {
  TKohonen k;
  TrainedMap(k);
  TMemoryStream ms;
  k.WriteToXMLStream(&ms, true);
  TMat3D weights;
  weights.Resize(2, 2, 2);
  weights.Fill(0.5);
  weights.WriteToXMLStream(&ms, false);

  TKohonen back;
  TMat3D gotWeights;
  TXmlReadInfo info;
  ASSERT_TRUE(back.ReadFromXMLStream(&ms, false, &info)) << info.ErrorMessage();
  // The map's own weights are inside its element: the next TMat3D is the one after it.
  ASSERT_TRUE(gotWeights.ReadFromXMLStream(&ms, true, "", &info)) << info.ErrorMessage();
  EXPECT_EQ(gotWeights.CRCofData(), weights.CRCofData());

  const std::string doc(reinterpret_cast<const char*>(ms.Memory()), static_cast<size_t>(ms.Size()));
  TKohonen fresh;
  const std::string before = State(fresh);
  auto refuse = [&](const std::string& from, const std::string& to, const std::string& why) {
    std::string bad = doc;
    const size_t at = bad.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    bad.replace(at, from.size(), to);
    TMemoryStream in;
    in.WriteBuffer(bad.data(), static_cast<int64_t>(bad.size()));
    EXPECT_FALSE(fresh.ReadFromXMLStream(&in, false, &info)) << to;
    EXPECT_EQ(info.ErrorText, why);
    EXPECT_EQ(State(fresh), before);
  };
  refuse("sizex=\"4\"", "sizex=\"5\"", "the weights are not of sizex x sizey x inputs");
  refuse("cyclic=\"true\"", "cyclic=\"yes\"",
         "the attribute cyclic is neither true nor false: \"yes\"");
  refuse("<MeanVec>", "<MeanVec>1 ", "<MeanVec> holds more than 3 numbers");
  refuse("<TMatrix", "<TMatri", "unexpected element <TMatri> in <TKohonen>");
}

}  // namespace nuv
