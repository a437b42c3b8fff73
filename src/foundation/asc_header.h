// Reader of the four header lines of an ASC data file.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/nuv_export.h"

namespace nuv {

/// Codes returned by ReadHeaderOfASC.
inline constexpr int32_t ascOK = 0;
inline constexpr int32_t ascCannotOpen = -1;
inline constexpr int32_t ascBadColumnCount = -2;
inline constexpr int32_t ascBadRowCount = -3;
inline constexpr int32_t ascBadFlags = -4;

/// Reads the header of an ASC file:
///   line 1  the comment (the whole line);
///   line 2  the number of columns, >= 1, then anything (";nr. of columns");
///   line 3  the number of rows, >= 0, then anything (";nr. of rows");
///   line 4  three or four words TRUE or FALSE (any case) separated by blanks
///           or tabs, optionally followed by a ";" comment: row attributes,
///           column names, row names, and ColAttrib, which is false when the
///           word is absent.
/// ColAttrib (the fourth flag) announces a line of column attributes after
/// the names line; readers that do not know that layout refuse such files.
/// Returns 0, or -1 when the file is missing or cannot be opened, -2 when the
/// file ends before line 2 or line 2 does not begin with a valid count, -3
/// likewise for line 3, -4 for a missing or malformed line 4. The outputs are
/// set to "", 0 and false first and filled as far as the header was read.
NUV_API int32_t ReadHeaderOfASC(const std::string& FileName, std::string& Comment, int32_t& NumCols,
                                int32_t& NumRows, bool& RowAttrib, bool& ColNames, bool& RowNames,
                                bool& ColAttrib);

/// The same rules for the four header lines given as text (Lines[0..NLines-1],
/// without line ends; fewer than four lines mean the file ended there).
NUV_API int32_t ParseHeaderOfASC(const std::string* Lines, int32_t NLines, std::string& Comment,
                                 int32_t& NumCols, int32_t& NumRows, bool& RowAttrib,
                                 bool& ColNames, bool& RowNames, bool& ColAttrib);

}  // namespace nuv
