// Pins the public signatures of TRandGen and TCrossValidator and their event types;
// taking each member's address also links every out-of-line member, which fails when
// one is not exported. The pins are compile and link checks (see common/pin_member.h).
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <type_traits>
#include <vector>

#include "Nuv_statis/Nuv_statis.h"
#include "common/pin_member.h"

namespace nuv {
namespace {

using i32 = int32_t;

TEST(RandGenCrossValInterface, Signatures) {
  static_assert(std::is_base_of_v<TComponent, TRandGen>);
  static_assert(std::is_base_of_v<TComponent, TCrossValidator>);
  static_assert(std::is_same_v<TOnModelCreateRequestEvent,
                               std::function<void(TObject*, i32, const std::vector<i32>&, bool&)>>);
  static_assert(std::is_same_v<TOnModelApplyRequestEvent,
                               std::function<void(TObject*, i32, const std::vector<double>&,
                                                  std::vector<double>&)>>);
  std::vector<const void*> pins;
  PIN(TRandGen, LowBorder, double() const);
  PIN(TRandGen, SetLowBorder, void(double));
  PIN(TRandGen, HighBorder, double() const);
  PIN(TRandGen, SetHighBorder, void(double));
  PIN(TRandGen, Resolution, i32() const);
  PIN(TRandGen, SetResolution, void(i32));
  PIN(TRandGen, GetProbability, double(i32) const);
  PIN(TRandGen, SetProbability, void(i32, double));
  PIN(TRandGen, GetLambda, double(i32) const);
  PIN(TRandGen, IndexOfLambda, i32(double) const);
  PIN(TRandGen, UniformDistri, void());
  PIN(TRandGen, NormalDistri, void(double, double));
  PIN(TRandGen, WeibullDistri, void(double, double));
  PIN(TRandGen, tDistri, void(i32));
  PIN(TRandGen, Chi2Distri, void(i32));
  PIN(TRandGen, FDistri, void(i32, i32));
  PIN(TRandGen, Normalize, void());
  PIN(TRandGen, Standardize, bool());
  PIN(TRandGen, GetRandNum, double());
  PIN(TRandGen, Random, double());

  PIN(TCrossValidator, SizeTestSet, i32() const);
  PIN(TCrossValidator, SetTestSize, void(i32));
  PIN(TCrossValidator, XMat, TMatrix*() const);
  PIN(TCrossValidator, SetXMat, void(TMatrix*));
  PIN(TCrossValidator, YMat, TMatrix*() const);
  PIN(TCrossValidator, SetYMat, void(TMatrix*));
  PIN(TCrossValidator, IsExecuting, bool() const);
  PIN(TCrossValidator, OnModelApplyRequest, const TOnModelApplyRequestEvent&() const);
  PIN(TCrossValidator, SetOnModelApplyRequest, void(TOnModelApplyRequestEvent));
  PIN(TCrossValidator, OnModelCreateRequest, const TOnModelCreateRequestEvent&() const);
  PIN(TCrossValidator, SetOnModelCreateRequest, void(TOnModelCreateRequestEvent));
  PIN(TCrossValidator, OnCheckAbort, const TOnCheckAbortEvent&() const);
  PIN(TCrossValidator, SetOnCheckAbort, void(TOnCheckAbortEvent));
  PIN(TCrossValidator, Execute, bool());
  PIN(TCrossValidator, GetRMSEP, double(i32) const);
  PIN(TCrossValidator, GetTPRate, double(i32) const);
  PIN(TCrossValidator, GetFPRate, double(i32) const);
  EXPECT_EQ(pins.size(), 37u);

  // Both construct with an owner that destroys them.
  TComponent owner;
  auto* g = new TRandGen(&owner);
  auto* cv = new TCrossValidator(&owner);
  EXPECT_EQ(g->Owner(), &owner);
  EXPECT_EQ(cv->Owner(), &owner);
  EXPECT_EQ(owner.ComponentCount(), 2);
}

}  // namespace
}  // namespace nuv
