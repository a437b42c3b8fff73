// The failures nuvstat reports: each becomes one line on stderr.
#pragma once

#include <stdexcept>
#include <string>

namespace nuvstat {

/// Bad input or an impossible request: "nuvstat: <message>", exit status 2.
class ToolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// A command line nuvstat does not understand; the message adds a pointer to --help.
class UsageError : public ToolError {
 public:
  UsageError(const std::string& Message, const std::string& Command)
      : ToolError(Message), FCommand(Command) {}
  const std::string& Command() const { return FCommand; }

 private:
  std::string FCommand;
};

/// Ctrl-C stopped the running operation: exit status 130, as a shell reports SIGINT.
class Interrupted : public std::runtime_error {
 public:
  Interrupted() : std::runtime_error("interrupted") {}
};

inline constexpr int kExitError = 2;
inline constexpr int kExitInterrupted = 130;

}  // namespace nuvstat
