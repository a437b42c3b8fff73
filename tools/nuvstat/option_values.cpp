#include "option_values.h"

#include <charconv>
#include <cmath>

#include "errors.h"

namespace nuvstat {

int ParseCount(const std::string& Text, const std::string& Option, const std::string& Command,
               int Least) {
  int value = 0;
  const char* first = Text.data();
  const char* last = first + Text.size();
  const auto res = std::from_chars(first, last, value);
  if (Text.empty() || res.ec != std::errc() || res.ptr != last || value < Least)
    throw UsageError(Option + " needs a whole number of at least " + std::to_string(Least) +
                         ", not \"" + Text + "\"",
                     Command);
  return value;
}

// "a,b,3": the names or numbers of a column list, quotes not needed.
std::vector<std::string> SplitList(const std::string& Text, const std::string& Option,
                                   const std::string& Command) {
  std::vector<std::string> items;
  size_t start = 0;
  for (;;) {
    const size_t comma = Text.find(',', start);
    std::string item = Text.substr(start, comma == std::string::npos ? std::string::npos
                                                                     : comma - start);
    if (item.empty())
      throw UsageError(Option + " has an empty column in \"" + Text + "\"", Command);
    items.push_back(std::move(item));
    if (comma == std::string::npos) return items;
    start = comma + 1;
  }
}

double ParseReal(const std::string& Text, const std::string& Option, const std::string& Command) {
  double value = 0.0;
  const char* first = Text.data();
  const char* last = first + Text.size();
  const auto res = std::from_chars(first, last, value);
  if (Text.empty() || res.ec != std::errc() || res.ptr != last || !std::isfinite(value))
    throw UsageError(Option + " needs a number, not \"" + Text + "\"", Command);
  return value;
}

double ParsePositive(const std::string& Text, const std::string& Option,
                     const std::string& Command) {
  const double value = ParseReal(Text, Option, Command);
  if (!(value > 0))
    throw UsageError(Option + " needs a positive number, not \"" + Text + "\"", Command);
  return value;
}

}  // namespace nuvstat
