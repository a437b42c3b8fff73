// The values of command-line options: counts, numbers and column lists, each
// refused with a UsageError that names the option and the text given.
#pragma once

#include <string>
#include <vector>

namespace nuvstat {

/// A whole number of at least Least.
int ParseCount(const std::string& Text, const std::string& Option, const std::string& Command,
               int Least);

/// A finite number (the plain decimal or exponent form).
double ParseReal(const std::string& Text, const std::string& Option, const std::string& Command);

/// A finite number above 0.
double ParsePositive(const std::string& Text, const std::string& Option,
                     const std::string& Command);

/// The items of a comma-separated list ("a,b,3"); an empty item is refused.
std::vector<std::string> SplitList(const std::string& Text, const std::string& Option,
                                   const std::string& Command);

}  // namespace nuvstat
