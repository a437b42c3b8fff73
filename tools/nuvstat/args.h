// Command line of nuvstat: the subcommand, its options and its help text.
#pragma once

#include <string>

namespace nuvstat {

enum class Format { Table, Csv, Json };

struct Options {
  std::string Command;     ///< describe, corr, cov, pca, regress; empty for the overview
  std::string File;        ///< path, "-" for standard input, empty for the bundled sample
  Format OutFormat = Format::Table;
  bool Help = false;       ///< print the help of Command (or the overview) and stop
  bool Version = false;
  int Components = 0;      ///< pca: components shown; 0 for all
  bool Standardize = false;
  bool Scores = false;
  std::string YColumn;     ///< regress: name or 1-based number of the response
};

/// Parses argv; raises UsageError for unknown commands or options and missing values.
Options ParseArguments(int argc, char** argv);

/// The help text of a subcommand, or the overview for an empty or unknown name.
std::string HelpText(const std::string& Command);

std::string FormatName(Format F);

}  // namespace nuvstat
