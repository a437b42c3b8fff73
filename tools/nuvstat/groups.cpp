// The groups of the rows given by a column of the table: describe --by and the
// tests that compare groups read them here.
#include <map>

#include "errors.h"
#include "input.h"
#include "output.h"

namespace nuvstat {

std::vector<int32_t> GroupRows(const DataSet& Data, int32_t Col, std::vector<std::string>& Names) {
  const nuv::TDataTable& t = *Data.Table;
  const bool nominal = t.GetMScaleType(Col) == nuv::stNominal;
  const bool numeric = t.GetMScaleType(Col) == nuv::stInterval;
  if (!nominal && !numeric)
    throw ToolError(Data.Source + ": --by: column \"" +
                    Data.TableNames[static_cast<size_t>(Col - 1)] +
                    "\" holds too many or clashing texts to group by");
  std::map<std::string, int32_t> index;
  std::vector<int32_t> group(static_cast<size_t>(t.NrOfRows()), -1);
  for (int32_t r = 1; r <= t.NrOfRows(); ++r) {
    if (!t.GetIsNumber(Col, r)) continue;
    const std::string key = nominal ? std::string(t.GetElemNominal(Col, r))
                                    : RoundTripText(t.NumericData->GetVal(Col, r));
    const auto it = index.emplace(key, static_cast<int32_t>(Names.size()));
    if (it.second) Names.push_back(key);
    group[static_cast<size_t>(r - 1)] = it.first->second;
  }
  return group;
}

}  // namespace nuvstat
