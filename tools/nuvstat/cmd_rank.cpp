// rank: Spearman's rho, Kendall's tau-b and Kruskal's gamma of every pair of
// columns over the rows where both hold a number, with p values, one line per pair.
#include <string>

#include "Nuv_math2/Nuv_math2.h"
#include "commands.h"
#include "errors.h"
#include "progress.h"
#include "rank_corr.h"

namespace nuvstat {

Report RunRank(const DataSet& Data, const Options& /*Opt*/) {
  const int32_t p = Data.NCols();
  if (p < 2) throw ToolError(Data.Source + ": rank needs at least two numeric columns");
  const nuv::TMatrix& all = Data.AllRows();
  Report report = StartReport("rank", Data, false);
  if (Data.AnyMissing())
    report.Info.emplace_back(
        "missing values", Fact::Str("each pair uses the rows where both columns hold a number"));
  Table t;
  t.Name = "rank";
  t.Title = "Rank correlations (two-sided p values)";
  t.GroupHeader = "column 1";
  t.KeyHeader = "column 2";
  t.Columns = {"n", "spearman", "spearman p", "kendall tau", "kendall p", "gamma"};
  t.PColumns = {2, 4};
  nuv::TCurveFit fit;
  SetProgressLabel("rank correlations");
  // Pairs of columns without a missing cell come from ranks computed once per column.
  const RankedColumns ranked(all, true, true);
  for (int32_t i = 1; i < p; ++i) {
    for (int32_t j = i + 1; j <= p; ++j) {
      RankFigures f;
      bool varies = false;
      if (ranked.Full(i) && ranked.Full(j)) {
        f = ranked.Rank(i, j);
        varies = ranked.Varies(i) && ranked.Varies(j);
      } else {
        EnterPairs(fit, all.ColData(i), all.ColData(j), all.NrOfRows());
        f = RankStatistics(fit);
        // A constant column over the pair's rows has no ranks to compare.
        varies = fit.MinX() < fit.MaxX() && fit.MinY() < fit.MaxY();
      }
      const bool ok = f.N >= 3 && varies;
      auto num = [ok](double v) { return ok && !std::isnan(v) ? Cell::Number(v) : Cell::Missing(); };
      t.Groups.push_back(Data.Names[static_cast<size_t>(i - 1)]);
      t.AddRow(Data.Names[static_cast<size_t>(j - 1)],
               {Cell::Number(f.N), num(f.Spearman), num(f.SpearmanP), num(f.Kendall),
                num(f.KendallP), num(f.Gamma)});
      CheckInterrupted();
    }
  }
  report.Tables.push_back(std::move(t));
  return report;
}

}  // namespace nuvstat
