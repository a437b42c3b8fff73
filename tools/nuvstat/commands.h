// The subcommands: each computes a complete Report from the data, or raises.
#pragma once

#include "args.h"
#include "input.h"
#include "output.h"

namespace nuvstat {

Report RunDescribe(const DataSet& Data, const Options& Opt);
Report RunCorr(const DataSet& Data, const Options& Opt);
Report RunCov(const DataSet& Data, const Options& Opt);
Report RunPca(const DataSet& Data, const Options& Opt);
Report RunRegress(const DataSet& Data, const Options& Opt);
/// test: the analysis Opt.Sub (ttest, mannwhitney, shapiro, normality, anova, outliers, runs).
Report RunTest(const DataSet& Data, const Options& Opt);
Report RunCluster(const DataSet& Data, const Options& Opt);
Report RunFit(const DataSet& Data, const Options& Opt);
Report RunRank(const DataSet& Data, const Options& Opt);
Report RunSmooth(const DataSet& Data, const Options& Opt);
Report RunDerivative(const DataSet& Data, const Options& Opt);
Report RunSpectrum(const DataSet& Data, const Options& Opt);
Report RunDensity(const DataSet& Data, const Options& Opt);

/// The report's head: command, source, number of rows and numeric columns, the
/// columns left out, and with CompleteRows the rows left out for a missing cell.
Report StartReport(const std::string& Command, const DataSet& Data, bool CompleteRows = true);

}  // namespace nuvstat
