// The facts every report starts with.
#include "commands.h"

namespace nuvstat {

Report StartReport(const std::string& Command, const DataSet& Data) {
  Report r;
  r.Command = Command;
  r.Info.emplace_back("source", Fact::Str(Data.Source));
  r.Info.emplace_back("rows", Fact::Number(Data.NRows()));
  r.Info.emplace_back("columns", Fact::Number(Data.NCols()));
  return r;
}

}  // namespace nuvstat
