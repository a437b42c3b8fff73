// The facts every report starts with.
#include "commands.h"

namespace nuvstat {

Report StartReport(const std::string& Command, const DataSet& Data, bool CompleteRows) {
  Report r;
  r.Command = Command;
  r.Info.emplace_back("source", Fact::Str(Data.Source));
  r.Info.emplace_back("rows", Fact::Number(Data.FileRows));
  r.Info.emplace_back("columns", Fact::Number(Data.NCols()));
  if (!Data.Others.empty()) {
    std::string list;
    for (const OtherColumn& o : Data.Others)
      list += (list.empty() ? "" : ", ") + o.Name + " (" + o.Kind + ")";
    r.Info.emplace_back("left out", Fact::Str(list));
  }
  if (CompleteRows && Data.LeftOutRows() > 0)
    r.Info.emplace_back("rows with missing values left out", Fact::Number(Data.LeftOutRows()));
  return r;
}

}  // namespace nuvstat
