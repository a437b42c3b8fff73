// Pins the public signatures of TKohonen (var results of ApplyIt by reference,
// the property setters, the feedback event). The pins are compile and link
// checks (see common/pin_member.h).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "Nuv_kohonen/Nuv_kohonen.h"
#include "common/pin_member.h"

namespace nuv {
namespace {

using i32 = int32_t;
using D = double;

TEST(KohonenInterface, SignaturesOfTKohonen) {
  std::vector<const void*> pins;
  PIN(TKohonen, InitialNeighbors, i32() const);
  PIN(TKohonen, SetInitialNeighbors, void(i32));
  PIN(TKohonen, Comment, const std::string&() const);
  PIN(TKohonen, SetComment, void(const std::string&));
  PIN(TKohonen, NrOfTrnSteps, i32() const);
  PIN(TKohonen, SetNrOfTrnSteps, void(i32));
  PIN(TKohonen, InitialAlpha, D() const);
  PIN(TKohonen, SetInitialAlpha, void(D));
  PIN(TKohonen, Cyclic, bool() const);
  PIN(TKohonen, SetCyclic, void(bool));
  PIN(TKohonen, SizeX, i32() const);
  PIN(TKohonen, SizeY, i32() const);
  PIN(TKohonen, NrOfInSens, i32() const);
  PIN(TKohonen, SetSizeX, void(i32));
  PIN(TKohonen, SetSizeY, void(i32));
  PIN(TKohonen, SetNumInsens, void(i32));
  PIN(TKohonen, TrainData, TMatrix*());
  PIN(TKohonen, TrainData, const TMatrix*() const);
  PIN(TKohonen, SetDataMat, void(const TMatrix*));
  PIN(TKohonen, MeanVec, const TVector*() const);
  PIN(TKohonen, StdDevVec, const TVector*() const);
  PIN(TKohonen, StandardizeData, void());
  PIN(TKohonen, GetWeight, D(i32, i32, i32) const);
  PIN(TKohonen, SetWeigtsToRandom, void());
  PIN(TKohonen, Trainit, void());
  PIN(TKohonen, ContinueTraining, void());
  PIN(TKohonen, AbortTraining, void());
  PIN(TKohonen, DoFeedback, void(i32));
  PIN(TKohonen, ApplyIt, void(const TVector*, i32&, i32&, D&) const);
  PIN(TKohonen, CurStep, i32() const);
  PIN(TKohonen, CurNeighb, i32() const);
  PIN(TKohonen, CurAlpha, D() const);
  PIN(TKohonen, OnFeedback, const TOnPercentDoneEvent&() const);
  PIN(TKohonen, SetOnFeedback, void(TOnPercentDoneEvent));
  // XML
  PIN(TKohonen, SaveAsXMLFile, bool(const std::string&) const);
  PIN(TKohonen, WriteToOpenXMLFile, void(TTextWriter*, bool) const);
  PIN(TKohonen, WriteToXMLStream, void(TStream*, bool) const);
  PIN(TKohonen, LoadFromXMLFile, bool(const std::string&, TXmlReadInfo*));
  PIN(TKohonen, ReadFromOpenXMLFile, bool(TTextReader*, bool, TXmlReadInfo*));
  PIN(TKohonen, ReadFromXMLStream, bool(TStream*, bool, TXmlReadInfo*));
  PIN(TKohonen, WriteXMLElement, void(TXmlWriter&) const);
  EXPECT_EQ(pins.size(), 41u);
  static_assert(std::is_base_of_v<TComponent, TKohonen>, "a component");
  static_assert(!std::is_copy_constructible_v<TKohonen>, "components are not copied");
  static_assert(std::is_base_of_v<ENUVError, ENUVKohonenError>, "the unit's error class");
}

}  // namespace
}  // namespace nuv
