// Helpers shared by the data table's topic files. Private to the unit.
#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "Nuv_datatable/datatable.h"

namespace nuv {

/// Reaches the table's storage from the free helpers of the topic files.
struct TDataTableAccess {
  static std::vector<uint8_t>& States(TDataTable& T) { return T.FCState; }
  static const std::vector<uint8_t>& States(const TDataTable& T) { return T.FCState; }
  static std::vector<TVTypeSpec>& VTypes(TDataTable& T) { return T.FVType; }
  static const std::vector<TVTypeSpec>& VTypes(const TDataTable& T) { return T.FVType; }
  static std::vector<TDTNameStr>& ColNames(TDataTable& T) { return T.FColName; }
  static std::vector<TDTNameStr>& RowNames(TDataTable& T) { return T.FRowName; }
  static std::vector<int32_t>& ColAtt(TDataTable& T) { return T.FColAtt; }
  static std::vector<int32_t>& RowAtt(TDataTable& T) { return T.FRowAtt; }
  static std::string& Comment(TDataTable& T) { return T.FComment; }
  static void SetSize(TDataTable& T, int32_t Cols, int32_t Rows) {
    T.FNrOfCols = Cols;
    T.FNrOfRows = Rows;
  }
  static void FireResize(TDataTable& T, int32_t OldCols, int32_t OldRows) {
    T.FireResize(OldCols, OldRows);
  }
  static void FireAllChanges(TDataTable& T) { T.FireAllChanges(); }
  [[noreturn]] static void RaiseNoHeap(const TDataTable& T) { T.RaiseNoHeap(); }
};

namespace detail {

inline TDTNameStr CutName(std::string_view s) {
  return TDTNameStr(CutUTF8(s, static_cast<std::size_t>(MaxDTNameLength)));
}
inline TNominalIDStr CutLabel(std::string_view s) {
  return TNominalIDStr(CutUTF8(s, static_cast<std::size_t>(MaxNominalIDLength)));
}
/// "C-3", "R-12"
inline TDTNameStr DefaultName(char Prefix, int64_t Number) {
  char buf[24] = {Prefix, '-'};
  const auto r = std::to_chars(buf + 2, buf + sizeof buf, Number);
  return TDTNameStr(buf, r.ptr);
}

/// Detaches the matrix's OnChange for the lifetime of the guard.
class TMatrixChangeOff {
 public:
  explicit TMatrixChangeOff(TMatrix* M) : FMat(M), FSaved(M->OnChange()) {
    M->SetOnChange(nullptr);
  }
  ~TMatrixChangeOff() { FMat->SetOnChange(std::move(FSaved)); }
  TMatrixChangeOff(const TMatrixChangeOff&) = delete;
  TMatrixChangeOff& operator=(const TMatrixChangeOff&) = delete;

 private:
  TMatrix* FMat;
  TNotifyEvent FSaved;
};

/// Eight CRC-32 registers fed byte by byte; Text() complements them and
/// writes r0 .. r7 as 8 upper-case hexadecimal digits each.
struct TCRC8 {
  uint32_t R[8] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu,
                   0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
  void Feed(uint8_t B, int64_t K) { R[K & 7] = CalcNextCRC32(B, R[K & 7]); }
  /// Character k (from 1) of Text to register k mod 8.
  void FeedText(std::string_view Text) {
    for (std::size_t k = 0; k < Text.size(); ++k)
      Feed(static_cast<uint8_t>(Text[k]), static_cast<int64_t>(k) + 1);
  }
  std::string Text() const;
};

/// A whole table built by an import before it replaces the table's contents.
struct TTableContent {
  int32_t Cols = 0;
  int32_t Rows = 0;
  std::vector<double> Data;     ///< column after column, Cols x Rows
  std::vector<uint8_t> States;  ///< column after column
  std::vector<TDTNameStr> ColNames, RowNames;
  std::vector<int32_t> ColAtt, RowAtt;
  std::vector<TVTypeSpec> VType;
  std::string Comment;
};

/// Replaces the table's contents by C (whose arrays are taken). All or
/// nothing: raises "not enough memory on heap" with the table unchanged.
/// Fires OnResize when the size changes, then OnChange, OnChangeCellState,
/// OnChangeSetup, OnChangeNames, OnChangeAttrib.
void ReplaceContent(TDataTable& T, TTableContent& C);

/// Writes Text as a new file: "" on success, otherwise the error message.
std::string WriteTextFile(const TComponent* Owner, const std::string& FileName,
                          const std::string& Text);

/// Reads a whole file into Out; false with the error message in Error.
bool ReadWholeFile(const std::string& FileName, TMemoryStream& Out, std::string& Error);

/// Rounds a nominal or ordinal cell value (halves to even).
double RoundCategory(double v);

/// The shortest text that reads back as the same double ("NaN", "Inf", "-Inf"
/// for the others); with Decimal ',' the point is written as a comma.
std::string ShortestText(double v, char Decimal = '.');

}  // namespace detail
}  // namespace nuv
