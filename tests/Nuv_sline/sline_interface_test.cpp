// Pins the public signatures of TSLine (var results by reference, the other
// line as a const pointer) and its place among the exceptions. A changed
// signature fails to compile, a missing export to link.
#include <gtest/gtest.h>

#include <type_traits>
#include <vector>

#include "Nuv_sline/Nuv_sline.h"
#include "common/pin_member.h"

using namespace nuv;

namespace {
using D = double;
}

TEST(SLineInterface, SignaturesOfTSLine) {
  std::vector<const void*> pins;
  PIN(TSLine, ParA, D() const);
  PIN(TSLine, ParB, D() const);
  PIN(TSLine, ParC, D() const);
  PIN(TSLine, SetParA, void(D));
  PIN(TSLine, SetParB, void(D));
  PIN(TSLine, SetParC, void(D));
  PIN(TSLine, SubstituteInf, bool() const);
  PIN(TSLine, SetSubstituteInf, void(bool));
  PIN(TSLine, LineFrom2Points, bool(D, D, D, D));
  PIN(TSLine, LineThroughPoint, void(D, D, D));
  PIN(TSLine, LineFromSlopeIcpt, void(D, D));
  PIN(TSLine, NormalLine, void(D, D, const TSLine*));
  PIN(TSLine, ParallelLine, void(D, D, const TSLine*));
  PIN(TSLine, InterSection, bool(const TSLine*, D&, D&) const);
  PIN(TSLine, AngleBetweenLines, D(const TSLine*) const);
  PIN(TSLine, Distance, D(D, D) const);
  PIN(TSLine, CalcKDForm, void(D&, D&) const);
  PIN(TSLine, CalcX, D(D) const);
  PIN(TSLine, CalcY, D(D) const);
  PIN(TSLine, GetDirect, D() const);
  PIN(TSLine, GetSlope, D() const);
  PIN(TSLine, GetIntercept, D() const);
  PIN(TSLine, ClipBox, bool(D, D, D, D, D&, D&, D&, D&) const);
  EXPECT_EQ(pins.size(), 23u);
  static_assert(std::is_base_of<TComponent, TSLine>::value, "");
  static_assert(std::is_base_of<Exception, ENUVSLineError>::value, "");
  static_assert(!std::is_base_of<ENUVError, ENUVSLineError>::value, "");
  TComponent owner;
  TSLine* owned = new TSLine(&owner);  // destroyed with its owner
  EXPECT_EQ(owned->Owner(), &owner);
}
