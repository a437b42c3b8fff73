#include "progress.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <utility>

#include "errors.h"
#include "foundation/frame.h"

namespace nuvstat {

namespace {

static_assert(std::atomic<bool>::is_always_lock_free,
              "the signal handler stores into AbortMathProc");

volatile std::sig_atomic_t gInterrupted = 0;

using Clock = std::chrono::steady_clock;

// Short runs stay silent; longer ones refresh one line a few times a second.
constexpr auto kQuietTime = std::chrono::milliseconds(400);
constexpr auto kRefresh = std::chrono::milliseconds(150);

struct Display {
  std::string Label = "working";
  Clock::time_point Start = Clock::now();
  double FirstStep = 0.0;  // ProcStat counts for the whole process: show this step's share
  Clock::time_point Last{};
  unsigned Calls = 0;
  bool Shown = false;
  std::vector<ProgressStage> Stages;  // none: the line counts steps
};

Display gDisplay;

extern "C" void OnSigInt(int) {
  gInterrupted = 1;
  nuv::AbortMathProc.store(true, std::memory_order_relaxed);
}

void ShowProgress(double Steps) {
  // Reading the clock on every step would cost more than many steps do.
  if ((++gDisplay.Calls & 255u) != 0) return;
  const Clock::time_point now = Clock::now();
  if (now - gDisplay.Start < kQuietTime || now - gDisplay.Last < kRefresh) return;
  gDisplay.Last = now;
  gDisplay.Shown = true;
  const double seconds = std::chrono::duration<double>(now - gDisplay.Start).count();
  const double done = Steps - gDisplay.FirstStep;
  const std::vector<ProgressStage>& stages = gDisplay.Stages;
  if (stages.empty()) {
    std::fprintf(stderr, "\rnuvstat: %s, %.0f steps in %.0f s (Ctrl-C stops)\033[K",
                 gDisplay.Label.c_str(), done, seconds);
  } else {
    size_t i = 0;
    double before = 0.0;
    while (i + 1 < stages.size() && done >= before + stages[i].Steps) before += stages[i++].Steps;
    const int32_t percent = std::min(nuv::PercentOf(done - before, stages[i].Steps), int32_t{100});
    std::fprintf(stderr, "\rnuvstat: %s: %s (%zu of %zu), %d %% in %.0f s (Ctrl-C stops)\033[K",
                 gDisplay.Label.c_str(), stages[i].Name.c_str(), i + 1, stages.size(),
                 static_cast<int>(percent), seconds);
  }
  std::fflush(stderr);
}

bool gShowProgress = false;

// Library operations clear AbortMathProc when they start: a Ctrl-C that lands
// between one operation's last poll and the next one's start would be lost, so
// every progress step raises the request again.
void OnStep(double Steps) {
  if (gInterrupted != 0) nuv::AbortMathProc.store(true, std::memory_order_relaxed);
  if (gShowProgress) ShowProgress(Steps);
}

}  // namespace

ProgressScope::ProgressScope() {
  struct sigaction sa {};
  sa.sa_handler = OnSigInt;
  sigemptyset(&sa.sa_mask);
  // A second Ctrl-C ends the program at once, should an operation not poll.
  sa.sa_flags = SA_RESETHAND;
  sigaction(SIGINT, &sa, nullptr);
  gDisplay = Display{};
  gShowProgress = isatty(STDERR_FILENO) != 0;
  nuv::MathFeedBackProc = OnStep;
}

ProgressScope::~ProgressScope() {
  nuv::MathFeedBackProc = nullptr;
  std::signal(SIGINT, SIG_DFL);
  if (gDisplay.Shown) {
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
  }
}

void SetProgressLabel(const std::string& Label) { SetProgressStages(Label, {}); }

void SetProgressStages(const std::string& Label, std::vector<ProgressStage> Stages) {
  gDisplay.Label = Label;
  gDisplay.Stages = std::move(Stages);
  gDisplay.Start = Clock::now();
  gDisplay.FirstStep = nuv::ProcStat.load(std::memory_order_relaxed);
}

bool InterruptRequested() { return gInterrupted != 0; }

void CheckInterrupted() {
  if (InterruptRequested()) throw Interrupted();
}

}  // namespace nuvstat
