// Components, events and progress hooks at work: an owner that frees what it
// owns, a change event, and a long loop that reports progress and can be
// aborted from its progress procedure.
#include <cstdio>

#include "foundation/frame.h"

namespace {

// A tiny data component with a change event, in the manner of the library's containers.
class TCounter : public nuv::TComponent {
 public:
  using nuv::TComponent::TComponent;

  void SetOnChange(nuv::TNotifyEvent Handler) { FOnChange = std::move(Handler); }
  void Increment() {
    ++FValue;
    if (FOnChange) FOnChange(this);
  }
  int Value() const { return FValue; }

  /// Counts up to Steps, one progress step each; false when aborted.
  bool Run(int Steps) {
    nuv::ClearAbort();
    for (int i = 0; i < Steps; ++i) {
      Increment();
      if (nuv::ProgressStepAborted()) return false;
    }
    return true;
  }

 private:
  int FValue = 0;
  nuv::TNotifyEvent FOnChange;
};

}  // namespace

int main() {
  nuv::TComponent owner;
  owner.SetName("Owner");
  auto* counter = new TCounter(&owner);  // freed by its owner
  counter->SetName("Counter1");

  int changes = 0;
  counter->SetOnChange([&](nuv::TObject*) { ++changes; });

  nuv::MathFeedBackProc = [](double step) {
    std::printf("progress: step %.0f\n", step);
    if (step >= 5) nuv::AbortMathProc = true;  // ask the running loop to stop
  };
  const bool finished = counter->Run(100);
  nuv::MathFeedBackProc = nullptr;

  std::printf("%s owned by %s: finished=%s value=%d changes=%d\n", counter->Name().c_str(),
              counter->Owner()->Name().c_str(), finished ? "yes" : "no", counter->Value(),
              changes);

  try {
    nuv::RaiseComponentError<nuv::ENUVError>(counter, "an example error");
  } catch (const nuv::ENUVError& e) {
    std::printf("caught: %s\n", e.what());
  }
  return finished ? 1 : 0;
}
