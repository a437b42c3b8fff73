// The options of cluster, fit and rank.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "args.h"

namespace nuvstat {

/// Takes option A of the command in Opt when it is one of cluster's or fit's; TakeValue
/// gives its value, NoValue refuses an inline one. "--model poly N" also takes the next
/// argument, Args[I + 1], advancing I. False for an option of another command.
bool ParseFitOption(Options& Opt, const std::string& A,
                    const std::function<std::string()>& TakeValue,
                    const std::function<void()>& NoValue, const std::vector<std::string>& Args,
                    size_t& I);

/// Raises UsageError for what cluster and fit need and were not given.
void CheckFitOptions(Options& Opt);

}  // namespace nuvstat
