// The pictures of describe and pca: histograms of the columns, the scree plot and
// the scores of the first two components.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"
#include "input.h"

namespace nuvstat {

/// One panel per analysed column but ByCol (a table column, 0 for none): the histogram
/// of the cells that hold a number, in 1 + ceil(log2 n) equal bins (at most 50) over
/// the column's range. Raises ToolError when the file cannot be written.
void WriteHistograms(const DataSet& Data, int32_t ByCol, const std::string& File);

/// The scree plot of Eigen (all eigenvalues, descending) beside the scores of the
/// complete rows on the first two components (Scores: one column per component, one
/// row per complete row; with one component, against the row number). With By, a
/// table column (from 1), the points are coloured by its groups, with a legend.
void WritePcaPlot(const DataSet& Data, const std::vector<double>& Eigen,
                  const nuv::TMatrix& Scores, const std::string& By, const std::string& File);

}  // namespace nuvstat
