// What the analyses of `nuvstat test` share: the samples they draw from the
// columns (the cells that hold a number) and the layout of their result table.
#pragma once

#include <string>
#include <vector>

#include "Nuv_vector/Nuv_vector.h"
#include "args.h"
#include "input.h"
#include "output.h"

namespace nuvstat {

/// The decision at Alpha: "reject H0" when P < Alpha, "keep H0" otherwise, "n/a"
/// when the test gave no p value.
std::string Decision(const Cell& P, double Alpha);

/// The result table of a test: one row per column (or pair), the value columns
/// Headers, the p values in column PColumn, a decision after them.
Table TestTable(const std::string& Title, const std::string& KeyHeader,
                std::vector<std::string> Headers, size_t PColumn);

/// The analysed columns to test: all of them, without the --by column ByCol (a table
/// column from 1; 0 for none). ToolError when none is left.
std::vector<int32_t> TestedColumns(const DataSet& Data, int32_t ByCol, const std::string& What);

/// Copies the values of X[0..Rows) that are numbers (and, with Group, whose group is G)
/// into Out; returns their count. Out keeps its size when the count is 0.
int32_t GatherValues(const double* X, int32_t Rows, const std::vector<int32_t>* Group, int32_t G,
                     nuv::TVector& Out);

/// ToolError unless N >= Least: "<source>: too few values: <What> needs at least
/// <Least>, <Where> has <N>", Where naming the sample (column "x", group "a").
void RequireValues(const DataSet& Data, int32_t N, int32_t Least, const std::string& What,
                   const std::string& Where);

/// A count as a cell.
inline Cell Count(int64_t N) { return Cell::Number(static_cast<double>(N)); }

/// "column "x"": the analysed column K (from 0) in messages.
std::string ColumnPlace(const DataSet& Data, int32_t K);

/// The facts every test report starts with: the analysis, H0 and alpha.
Report StartTestReport(const DataSet& Data, const Options& Opt, const std::string& Analysis,
                       const std::string& H0);

Report RunShapiro(const DataSet& Data, const Options& Opt);
Report RunNormality(const DataSet& Data, const Options& Opt);
Report RunOutliers(const DataSet& Data, const Options& Opt);
Report RunRuns(const DataSet& Data, const Options& Opt);

}  // namespace nuvstat
