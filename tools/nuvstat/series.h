// The column a series command works on (smooth, derivative, spectrum, density),
// and the table of a series with its computed counterpart.
#pragma once

#include <string>
#include <vector>

#include "Nuv_vector/Nuv_vector.h"
#include "input.h"
#include "output.h"

namespace nuvstat {

/// The analysed column that Option names (by name or 1-based number) over all rows
/// of the file, copied into Vec; the index of the column among the analysed ones.
/// With Whole, a missing cell raises ToolError naming its data row and column and
/// What; without, the missing cells are dropped and Vec holds the others in order.
/// A column without a number raises ToolError.
int32_t SeriesColumn(const DataSet& Data, const std::string& NameOrNumber, bool Whole,
                     const std::string& What, nuv::TVector& Vec);

/// One line per row: the row number, the series and its computed counterpart.
Table SeriesTable(const std::string& Name, const std::string& Title,
                  const std::string& ValueName, const nuv::TVector& Values,
                  const std::string& ResultName, const nuv::TVector& Results);

/// Writes a plot of one panel with the curve Y over X (broken where Y is NaN); the y
/// axis includes 0 with YFromZero. Raises ToolError when the file cannot be written.
void WriteCurvePlot(const std::string& File, const std::string& Title, const std::string& XLabel,
                    const std::string& YLabel, std::vector<double> X, std::vector<double> Y,
                    bool YFromZero);

}  // namespace nuvstat
