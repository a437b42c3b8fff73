#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/test_util.h"
#include "foundation/frame.h"

using namespace nuv;

namespace {

// Records its destruction so tests can check order and completeness.
class Probe : public TComponent {
 public:
  Probe(TComponent* AOwner, std::vector<std::string>* Log, std::string Id)
      : TComponent(AOwner), log_(Log), id_(std::move(Id)) {}
  ~Probe() override { log_->push_back(id_); }

 private:
  std::vector<std::string>* log_;
  std::string id_;
};

class TFoo : public TComponent {
 public:
  using TComponent::TComponent;
};
class TBar : public TComponent {
 public:
  using TComponent::TComponent;
};

}  // namespace

TEST(Component, OwnerDestroysOwnedLastFirstAndEarlyDeleteLeavesList) {
  std::vector<std::string> log;
  auto* owner = new Probe(nullptr, &log, "owner");
  auto* a = new Probe(owner, &log, "a");
  auto* b = new Probe(owner, &log, "b");
  auto* c = new Probe(owner, &log, "c");
  new Probe(b, &log, "b1");  // grandchild, destroyed with b
  EXPECT_EQ(owner->ComponentCount(), 3);
  EXPECT_EQ(a->Owner(), owner);

  delete c;  // leaves the owner's list; no double delete later
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(owner->Components(1), b);
  EXPECT_EQ(owner->Components(2), nullptr);
  EXPECT_EQ(owner->Components(-1), nullptr);

  // A destructor body runs before the base destroys what the object owns.
  delete owner;
  EXPECT_EQ(log, (std::vector<std::string>{"c", "owner", "b", "b1", "a"}));
}

TEST(Component, InsertAndRemoveMoveBetweenOwners) {
  TComponent first, second;
  auto* child = new TComponent(&first);
  second.InsertComponent(child);
  EXPECT_EQ(first.ComponentCount(), 0);
  EXPECT_EQ(second.ComponentCount(), 1);
  EXPECT_EQ(child->Owner(), &second);
  second.RemoveComponent(child);
  EXPECT_EQ(child->Owner(), nullptr);
  EXPECT_EQ(second.ComponentCount(), 0);
  delete child;
}

TEST(Component, NameTagAndClassName) {
  TFoo foo;
  EXPECT_EQ(foo.Name(), "");
  foo.SetName("Foo1");
  foo.SetTag(-7);
  EXPECT_EQ(foo.Name(), "Foo1");
  EXPECT_EQ(foo.Tag(), -7);
  EXPECT_EQ(foo.ClassName(), "TFoo");
}

TEST(Component, AssignAcrossUnrelatedClassesRaisesConvertError) {
  TFoo foo;
  TBar bar;
  EXPECT_THROW_MSG(foo.Assign(&bar), EConvertError, "Cannot assign a TBar to a TFoo");
  EXPECT_THROW_MSG(foo.Assign(nullptr), EConvertError, "Cannot assign a nil to a TFoo");
  EXPECT_THROW_MSG(bar.AssignTo(&foo), EConvertError, "Cannot assign a TBar to a TFoo");
}

TEST(Exceptions, HierarchyAndMessageForms) {
  auto caughtAsNUV = [](auto thrower) {
    try {
      thrower();
    } catch (const ENUVError&) {
      return true;
    } catch (const Exception&) {
      return false;
    }
    return false;
  };
  EXPECT_TRUE(caughtAsNUV([] { throw ENUVVectorError("x"); }));
  EXPECT_TRUE(caughtAsNUV([] { throw ENUVMath1Error("x"); }));
  EXPECT_TRUE(caughtAsNUV([] { throw ENUVMathExp("x"); }));
  EXPECT_TRUE(caughtAsNUV([] { throw ENUVWaveletError("x"); }));
  EXPECT_FALSE(caughtAsNUV([] { throw ENUVSLineError("x"); }));
  EXPECT_FALSE(caughtAsNUV([] { throw EMathError("x"); }));

  TComponent c;
  EXPECT_THROW_MSG(RaiseComponentError<ENUVVectorError>(&c, "vectors have different dimensions"),
                   ENUVVectorError, "Component \"\": vectors have different dimensions");
  c.SetName("V1");
  EXPECT_EQ(ComponentMessage(&c, "not enough memory"), "Component \"V1\": not enough memory");
  EXPECT_THROW_MSG(RaiseFunctionError<ENUVMath1Error>("Polynomial", "invalid order of polynomial"),
                   ENUVMath1Error, "Polynomial: invalid order of polynomial");
  ENUVError e("plain");
  EXPECT_EQ(e.Message(), "plain");
}

TEST(Ranges, ClippingRule) {
  struct Case {
    int32_t lo, hi, count, wantLo, wantHi;
  };
  const Case cases[] = {
      {0, 0, 5, 1, 5}, {7, -3, 5, 1, 5}, {4, 2, 5, 2, 4}, {9, 9, 5, 5, 5},
      {0, 3, 5, 1, 3}, {-2, 0, 5, 1, 1}, {1, 1, 1, 1, 1}, {0, 0, 1, 1, 1},
  };
  for (const Case& c : cases) {
    int32_t lo = c.lo, hi = c.hi;
    EXPECT_TRUE(MakeValidRange(lo, hi, c.count));
    EXPECT_EQ(lo, c.wantLo) << c.lo << "," << c.hi;
    EXPECT_EQ(hi, c.wantHi) << c.lo << "," << c.hi;
  }
  int32_t lo = 0, hi = 0;
  EXPECT_FALSE(MakeValidRange(lo, hi, 0));
  EXPECT_GT(lo, hi);
}

TEST(Progress, StepCallsHookAndAbortIsPolled) {
  std::vector<double> seen;
  const double start = ProcStat.load();
  MathFeedBackProc = [&](double p) {
    seen.push_back(p);
    if (seen.size() == 3) AbortMathProc = true;
  };
  int steps = 0;
  while (!ProgressStepAborted()) ++steps;
  EXPECT_EQ(steps, 2);
  EXPECT_EQ(seen, (std::vector<double>{start + 1, start + 2, start + 3}));
  EXPECT_TRUE(AbortRequested());
  ClearAbort();
  EXPECT_FALSE(AbortRequested());
  MathFeedBackProc = nullptr;
  ProgressStep();  // unassigned hook: only the counter moves
  EXPECT_EQ(ProcStat.load(), start + 4);

  EXPECT_EQ(PercentOf(1, 3), 33);
  EXPECT_EQ(PercentOf(2, 3), 67);
  EXPECT_EQ(PercentOf(1, 8), 12);  // 12.5 rounds to even
  EXPECT_EQ(PercentOf(3, 8), 38);  // 37.5 rounds to even
  EXPECT_EQ(PercentOf(5, 0), 0);
}

TEST(Crc32, KnownCheckValue) {
  // The CRC-32 check value of "123456789" with start ~0 and final inversion.
  const char text[] = "123456789";
  uint32_t crc = 0xFFFFFFFFu;
  for (int i = 0; i < 9; ++i) crc = CalcNextCRC32(static_cast<uint8_t>(text[i]), crc);
  EXPECT_EQ(crc ^ 0xFFFFFFFFu, 0xCBF43926u);
  EXPECT_EQ(CalcNextCRC32Block(text, 9, 0xFFFFFFFFu) ^ 0xFFFFFFFFu, 0xCBF43926u);
}

TEST(Random, ReproducibleAndInRange) {
  SetRandSeed(42);
  std::vector<double> a;
  for (int i = 0; i < 100; ++i) a.push_back(Random());
  SetRandSeed(42);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(Random(), a[static_cast<size_t>(i)]);
  int counts[7] = {};
  for (int i = 0; i < 70000; ++i) {
    const double u = Random();
    ASSERT_GE(u, 0.0);
    ASSERT_LT(u, 1.0);
    const int32_t k = Random(7);
    ASSERT_GE(k, 0);
    ASSERT_LT(k, 7);
    ++counts[k];
  }
  for (int c : counts) EXPECT_NEAR(c, 10000, 500);
  EXPECT_EQ(Random(0), 0);
  EXPECT_EQ(Random(-5), 0);
}
