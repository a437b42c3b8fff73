#include "foundation/load_rules.h"

#include <filesystem>
#include <system_error>

#include "foundation/streams.h"

namespace nuv {

int64_t BytesLeft(const TStream* S) noexcept {
  if (S == nullptr) return 0;
  const int64_t left = S->Size() - S->Position();
  return left > 0 ? left : 0;
}

int64_t KnownFileSize(const std::string& FileName) noexcept {
  // Only a regular file has a size that tells how much its reader will get.
  // The path itself needs memory: without it the size is not known either.
  try {
    std::error_code ec;
    const std::filesystem::path path(FileName);
    if (!std::filesystem::is_regular_file(path, ec) || ec) return -1;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > static_cast<std::uintmax_t>(INT64_MAX)) return -1;
    return static_cast<int64_t>(size);
  } catch (const std::exception&) {
    return -1;
  }
}

}  // namespace nuv
