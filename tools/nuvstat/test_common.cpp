#include "test_common.h"

#include <cmath>

#include "commands.h"
#include "errors.h"
#include "input_text.h"

namespace nuvstat {

std::string Decision(const Cell& P, double Alpha) {
  if (P.What != Cell::kNumber || std::isnan(P.Value)) return "n/a";
  return P.Value < Alpha ? "reject H0" : "keep H0";
}

Table TestTable(const std::string& Title, const std::string& KeyHeader,
                std::vector<std::string> Headers, size_t PColumn) {
  Table t;
  t.Name = "test";
  t.Title = Title;
  t.KeyHeader = KeyHeader;
  t.Columns = std::move(Headers);
  t.PColumns = {PColumn};
  t.TextHeader = "decision";
  return t;
}

std::vector<int32_t> TestedColumns(const DataSet& Data, int32_t ByCol, const std::string& What) {
  std::vector<int32_t> cols;
  for (int32_t k = 0; k < Data.NCols(); ++k)
    if (Data.TableCols[static_cast<size_t>(k)] != ByCol) cols.push_back(k);
  if (cols.empty())
    throw ToolError(Data.Source + ": " + What + " has no numeric column to test besides --by");
  return cols;
}

int32_t GatherValues(const double* X, int32_t Rows, const std::vector<int32_t>* Group, int32_t G,
                     nuv::TVector& Out) {
  auto taken = [&](int32_t r) {
    return !std::isnan(X[r]) && (Group == nullptr || (*Group)[static_cast<size_t>(r)] == G);
  };
  int32_t n = 0;
  for (int32_t r = 0; r < Rows; ++r) n += taken(r) ? 1 : 0;
  if (n == 0) return 0;
  Out.Resize(n);
  double* dst = Out.Data();
  for (int32_t r = 0; r < Rows; ++r)
    if (taken(r)) *dst++ = X[r];
  Out.SetIsEmpty(false);
  return n;
}

void RequireValues(const DataSet& Data, int32_t N, int32_t Least, const std::string& What,
                   const std::string& Where) {
  if (N >= Least) return;
  throw ToolError(Data.Source + ": too few values: " + What + " needs at least " +
                  std::to_string(Least) + ", " + Where + " has " + std::to_string(N));
}

std::string ColumnPlace(const DataSet& Data, int32_t K) {
  return "column " + Quoted(Data.Names[static_cast<size_t>(K)]);
}

Report StartTestReport(const DataSet& Data, const Options& Opt, const std::string& Analysis,
                       const std::string& H0) {
  Report r = StartReport("test " + Opt.Sub, Data, false);
  r.Info.emplace_back("analysis", Fact::Str(Analysis));
  r.Info.emplace_back("H0", Fact::Str(H0));
  r.Info.emplace_back("alpha", Fact::Number(Opt.Alpha));
  return r;
}

}  // namespace nuvstat
