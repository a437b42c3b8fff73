// Subcommands whose library functions this build does not have yet.
#include "commands.h"
#include "errors.h"

namespace nuvstat {

namespace {
[[noreturn]] void NotAvailable(const char* Command) {
  throw ToolError(std::string(Command) + " is not available in this build");
}
}  // namespace

Report RunRegress(const DataSet&, const Options&) { NotAvailable("regress"); }

}  // namespace nuvstat
