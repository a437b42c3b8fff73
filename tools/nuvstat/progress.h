// Progress on stderr through the library's progress hook, and Ctrl-C as an
// abort request through AbortMathProc.
#pragma once

#include <string>
#include <vector>

namespace nuvstat {

/// Installs the SIGINT handler and the progress hook (which shows progress when
/// stderr is a terminal, and raises a pending Ctrl-C again at every step); both
/// are removed again by the destructor.
class ProgressScope {
 public:
  ProgressScope();
  ~ProgressScope();
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;
};

/// Names the step shown in the progress line ("covariance", "eigenvectors").
void SetProgressLabel(const std::string& Label);

/// One part of a step and the number of progress steps the library makes in it.
struct ProgressStage {
  std::string Name;
  double Steps;
};

/// Names the step and its parts in order: the progress line then shows the part under
/// way and the percentage done of it.
void SetProgressStages(const std::string& Label, std::vector<ProgressStage> Stages);

/// True once Ctrl-C was pressed. Library operations clear AbortMathProc when
/// they start, so the tool keeps its own note of the request.
bool InterruptRequested();

/// Raises Interrupted when Ctrl-C was pressed; called around every library call.
void CheckInterrupted();

}  // namespace nuvstat
