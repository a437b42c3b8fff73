// TDataTable files: CSV import and export of awkward files, text and nominal
// columns, failures that leave the table unchanged; the ASC layout.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "Nuv_datatable/Nuv_datatable.h"
#include "common/test_util.h"

using namespace nuv;

namespace {

std::string TmpFile(const std::string& Name) { return std::string(NUV_TEST_TMP_DIR) + "/" + Name; }

bool Import(TDataTable& t, const std::string& Text, TCSVImportInfo& Info,
            TCSVImportOptions Opt = TCSVImportOptions()) {
  return t.ImportFromCSVText(Text, Opt, Info);
}

/// Cell values (bit for bit), states, labels and names of a table as text.
std::string Cells(const TDataTable& t) {
  std::string s;
  for (int32_t c = 1; c <= t.NrOfColumns(); ++c) {
    s += "[" + t.GetColName(c) + "|" + MScaleTypeNames[t.GetMScaleType(c)] + "]";
    for (int32_t r = 1; r <= t.NrOfRows(); ++r) {
      const uint8_t st = t.GetCellState(c, r);
      s += " " + std::to_string(st) + ":";
      if (st & 3) continue;
      const TMScaleType sc = t.GetMScaleType(c);
      if (sc == stNominal || sc == stOrdinal) {
        s += t.GetElemNominal(c, r);
      } else {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%a", t.GetElem(c, r));
        s += buf;
      }
    }
    s += "\n";
  }
  for (int32_t r = 1; r <= t.NrOfRows(); ++r) s += t.GetRowName(r) + ";";
  return s;
}

}  // namespace

TEST(DataTableCSV, AwkwardFile) {
  // A byte order mark, CRLF, a quoted header, delimiters, doubled quotes and
  // a line end inside quotes, missing-value words, blanks around cells, a
  // text column and a numeric column with an infinity.
  const std::string text =
      "\xEF\xBB\xBF\"name, full\",x,\"spe\"\"cies\"\r\n"
      "\"Smith, J.\", 1.5 ,setosa\r\n"
      "\"say \"\"hi\"\"\",NA,\"versi\ncolor\"\r\n"
      "plain,-Inf,setosa\r\n"
      "\"\",,?\r\n";
  TDataTable t;
  TCSVImportInfo info;
  ASSERT_TRUE(Import(t, text, info)) << info.ErrorMessage();
  EXPECT_EQ(info.Delimiter, ',');
  EXPECT_TRUE(info.HasHeader);
  EXPECT_FALSE(info.HasRowNames);
  ASSERT_EQ(t.NrOfColumns(), 3);
  ASSERT_EQ(t.NrOfRows(), 4);
  EXPECT_EQ(t.GetColName(1), "name, full");
  EXPECT_EQ(t.GetColName(3), "spe\"cies");
  EXPECT_EQ(t.GetMScaleType(1), stNominal);
  EXPECT_EQ(t.GetElemNominal(1, 1), "Smith, J.");  // 9 bytes: fits a label
  EXPECT_EQ(t.GetElemNominal(1, 2), "say \"hi\"");
  EXPECT_TRUE(t.GetIsEmpty(1, 4));
  EXPECT_EQ(t.GetMScaleType(2), stInterval);
  EXPECT_EQ(t.GetElem(2, 1), 1.5);
  EXPECT_TRUE(t.GetIsEmpty(2, 2));
  EXPECT_EQ(t.GetElem(2, 3), -HUGE_VAL);
  EXPECT_TRUE(t.GetIsEmpty(2, 4));
  EXPECT_EQ(t.GetMScaleType(3), stNominal);
  EXPECT_EQ(t.GetElemNominal(3, 2), "versi\ncolo");
  EXPECT_EQ(t.GetElem(3, 3), 1.0);  // setosa: slot 1
  EXPECT_TRUE(t.GetIsEmpty(3, 4));
  EXPECT_EQ(info.EmptyCells, 4);
  EXPECT_EQ(info.InvalidCells, 0);
  ASSERT_EQ(info.Columns.size(), 3u);
  EXPECT_EQ(info.Columns[2].Kind, ckNominal);
  EXPECT_EQ(info.Columns[2].Labels, 2);
  EXPECT_EQ(info.Columns[1].EmptyCells, 2);
  EXPECT_TRUE(info.Warnings.empty());
}

TEST(DataTableCSV, DelimitersHeadersRowNames) {
  TDataTable t;
  TCSVImportInfo info;
  // Semicolons with a decimal comma; no header (the first line is numbers).
  TCSVImportOptions opt;
  opt.DecimalSeparator = ',';
  ASSERT_TRUE(Import(t, "1,5;2\n3;4,25\n", info, opt)) << info.ErrorMessage();
  EXPECT_EQ(info.Delimiter, ';');
  EXPECT_FALSE(info.HasHeader);
  EXPECT_EQ(t.GetElem(1, 1), 1.5);
  EXPECT_EQ(t.GetElem(2, 2), 4.25);
  EXPECT_EQ(t.GetColName(2), "C-2");
  // Tabs, R-style row names (empty first header cell).
  ASSERT_TRUE(Import(t, "\"\"\t\"a\"\t\"b\"\n\"r1\"\t1\t2\n\"r2\"\t3\tNA\n", info));
  EXPECT_EQ(info.Delimiter, '\t');
  EXPECT_TRUE(info.HasRowNames);
  ASSERT_EQ(t.NrOfColumns(), 2);
  EXPECT_EQ(t.GetRowName(2), "r2");
  EXPECT_EQ(t.GetColName(1), "a");
  EXPECT_TRUE(t.GetIsEmpty(2, 2));
  // Runs of blanks, a comment line, skipped lines.
  opt = TCSVImportOptions();
  opt.CommentChar = '#';
  opt.SkipLines = 1;
  ASSERT_TRUE(Import(t, "junk, here\n# comment\n  1   2\n\n  3 4\n", info, opt));
  EXPECT_EQ(info.Delimiter, ' ');
  EXPECT_EQ(t.NrOfColumns(), 2);
  EXPECT_EQ(t.NrOfRows(), 2);
  EXPECT_EQ(t.GetElem(2, 2), 4.0);
  // A header forced off: the names become data of a nominal column.
  opt = TCSVImportOptions();
  opt.Header = ccNo;
  opt.MissingWords = {"-"};
  ASSERT_TRUE(Import(t, "a,b\n1,-\n", info, opt));
  EXPECT_EQ(t.NrOfRows(), 2);
  EXPECT_EQ(t.GetMScaleType(1), stNominal);
  EXPECT_EQ(t.GetElemNominal(1, 2), "1");  // numbers of a text column are labels
  EXPECT_TRUE(t.GetIsEmpty(2, 2));
  // A column of numbers and texts takes every cell as a label, in order.
  ASSERT_TRUE(Import(t, "v\n2\nx\n2\n1.50\n", info));
  EXPECT_EQ(t.GetNominalID(1, 1), "2");
  EXPECT_EQ(t.GetNominalID(1, 2), "x");
  EXPECT_EQ(t.GetNominalID(1, 3), "1.50");
  EXPECT_EQ(t.GetElem(1, 3), 1.0);
  // Quoted numbers: texts when the file also holds unquoted numbers, else numbers.
  ASSERT_TRUE(Import(t, "\"g\",\"v\"\n\"1\",5\n\"2\",6\n", info));
  EXPECT_EQ(t.GetMScaleType(1), stNominal);
  EXPECT_EQ(t.GetMScaleType(2), stInterval);
  ASSERT_TRUE(Import(t, "\"g\",\"v\"\n\"1\",\"5\"\n", info));
  EXPECT_EQ(t.GetMScaleType(1), stInterval);
  EXPECT_EQ(t.GetElem(2, 1), 5.0);
}

TEST(DataTableCSV, TextColumnsInsteadOfMergedLabels) {
  TDataTable t;
  TCSVImportInfo info;
  // Two texts that cut to the same 10-byte label; two that differ only in case.
  ASSERT_TRUE(Import(t, "name,case,n\nChristopher,Yes,1\nChristophe,yes,2\nAnn,,3\n", info));
  ASSERT_EQ(info.Warnings.size(), 2u);
  EXPECT_EQ(info.Warnings[0],
            "column \"name\": the texts \"Christopher\" and \"Christophe\" make the same label "
            "\"Christophe\"; kept as a text column");
  EXPECT_EQ(info.Warnings[1],
            "column \"case\": the texts \"Yes\" and \"yes\" make the same label \"yes\"; kept as "
            "a text column");
  EXPECT_EQ(t.GetMScaleType(1), stUnknown);
  EXPECT_EQ(t.GetCellState(1, 1), 1);
  EXPECT_FALSE(t.GetIsNumber(1, 3));
  EXPECT_EQ(t.GetCellState(2, 3), 2);  // missing stays empty
  EXPECT_EQ(info.Columns[0].Kind, ckText);
  EXPECT_EQ(info.InvalidCells, 5);
  EXPECT_EQ(t.GetMScaleType(3), stInterval);
  EXPECT_EQ(t.CountNumCells(0, 0, 0, 0), 3);
  // 151 distinct texts; 150 still make a nominal column.
  for (int n : {150, 151}) {
    std::string text = "id,v\n";
    for (int k = 1; k <= n; ++k) text += "t" + std::to_string(k) + "," + std::to_string(k) + "\n";
    ASSERT_TRUE(Import(t, text, info));
    if (n == 150) {
      EXPECT_TRUE(info.Warnings.empty());
      EXPECT_EQ(t.GetMScaleType(1), stNominal);
      EXPECT_EQ(t.GetElemNominal(1, 150), "t150");
    } else {
      ASSERT_EQ(info.Warnings.size(), 1u);
      EXPECT_EQ(info.Warnings[0],
                "column \"id\": 151 distinct texts, more than the 150 labels of a nominal "
                "column; kept as a text column");
      EXPECT_EQ(t.GetMScaleType(1), stUnknown);
    }
  }
  // Labels are cut at a character boundary: 5 two-byte characters, then a sixth.
  ASSERT_TRUE(Import(t, "c\na\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\n", info));
  EXPECT_EQ(t.GetElemNominal(1, 1), "a\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4");
}

TEST(DataTableCSV, FailuresLeaveTheTableUnchanged) {
  TDataTable t;
  TCSVImportInfo info;
  ASSERT_TRUE(Import(t, "a,b\n1,2\n3,4\n", info));
  const std::string before = Cells(t);
  int events = 0;
  t.SetOnChange([&](TObject*) { ++events; });
  t.SetOnResize([&](TObject*, int32_t, int32_t, int32_t, int32_t) { ++events; });
  struct TCase {
    const char* Text;
    int32_t Line, Column;
    const char* Error;
  };
  const TCase cases[] = {
      {"a,b\n1,2\n3\n", 3, 2, "1 cell where 2 are expected"},
      {"a,b\n1,2\n\n3,4,5\n", 4, 3, "3 cells where 2 are expected"},
      {"a,b\n1,\"2\n3,4\n", 2, 2, "a quoted cell has no closing quote"},
      {"a,b\n1,\"2\"x\n", 2, 2, "text after the closing quote of a cell"},
      {"", 0, 0, "no data"},
      {"a,b\n", 0, 0, "no data"},
      {"# only\n", 0, 0, "no data"},
  };
  TCSVImportOptions opt;
  opt.CommentChar = '#';
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_FALSE(Import(t, c.Text, info, opt));
    EXPECT_EQ(info.ErrorLine, c.Line);
    EXPECT_EQ(info.ErrorColumn, c.Column);
    EXPECT_EQ(info.ErrorText, c.Error);
  }
  EXPECT_EQ(info.ErrorMessage(), "no data");
  EXPECT_FALSE(Import(t, "a,b\n1,2\n3\n", info));
  EXPECT_EQ(info.ErrorMessage(), "line 3, column 2: 1 cell where 2 are expected");
  opt.DecimalSeparator = ',';
  opt.Delimiter = csvComma;
  EXPECT_FALSE(Import(t, "1,2\n", info, opt));
  EXPECT_EQ(Cells(t), before);
  EXPECT_EQ(events, 0);
  EXPECT_FALSE(t.ImportFromCSV(TmpFile("no_such_file.csv"), opt, info));
  EXPECT_NE(info.ErrorText.find("no_such_file.csv"), std::string::npos);
}

TEST(DataTableCSV, RoundTrip) {
  TDataTable t;
  t.Resize(4, 5);
  t.SetColName(1, "x, \"quoted\"");
  t.SetColName(2, "2019");
  t.SetColName(3, "kind");
  t.SetColName(4, "NA");
  const double xs[] = {0.1, 1.0 / 3.0, -0.0, 1e-310, HUGE_VAL};
  for (int32_t r = 1; r <= 5; ++r) {
    t.SetElem(1, r, xs[r - 1]);
    t.SetElem(2, r, r * 1e15 + 0.5);
    t.SetElem(4, r, -r);
    t.SetRowName(r, r == 3 ? " padded " : "row\n" + std::to_string(r));
  }
  t.SetMScaleType(3, stNominal);
  const char* labels[] = {"5", "NA", "a,b", "5", "#x"};
  for (int32_t r = 1; r <= 5; ++r) t.SetElemNominal(3, r, labels[r - 1]);
  t.SetCellState(2, 2, 2);
  t.SetCellState(4, 5, 1);  // an invalid cell comes back empty
  for (TCSVDelimiters d : {csvComma, csvSemicolon, csvTab, csvColon}) {
    for (int rowNames = 0; rowNames < 2; ++rowNames) {
      SCOPED_TRACE(std::to_string(d) + " " + std::to_string(rowNames));
      TCSVExportOptions eo;
      eo.Delimiter = d;
      eo.RowNames = rowNames == 1;
      const std::string file = TmpFile("roundtrip.csv");
      ASSERT_EQ(t.ExportAsCSV(file, eo), "");
      TDataTable u;
      TCSVImportInfo info;
      ASSERT_TRUE(u.ImportFromCSV(file, TCSVImportOptions(), info)) << info.ErrorMessage();
      EXPECT_EQ(info.Delimiter, CSVDelimiters[d]);
      TDataTable expect;
      expect.CopyContentsFrom(&t);
      expect.SetCellState(4, 5, 2);
      if (rowNames == 0)
        for (int32_t r = 1; r <= 5; ++r) expect.SetRowName(r, "R-" + std::to_string(r));
      EXPECT_EQ(Cells(u), Cells(expect));
    }
  }
  // A decimal comma with semicolons.
  TCSVExportOptions eo;
  eo.Delimiter = csvSemicolon;
  eo.DecimalSeparator = ',';
  const std::string text = t.ExportAsCSVText(eo);
  EXPECT_NE(text.find("0,1;"), std::string::npos);
  TDataTable u;
  TCSVImportInfo info;
  TCSVImportOptions io;
  io.DecimalSeparator = ',';
  ASSERT_TRUE(u.ImportFromCSVText(text, io, info)) << info.ErrorMessage();
  EXPECT_EQ(u.GetElem(1, 2), 1.0 / 3.0);
  EXPECT_EQ(t.ExportAsCSV(TmpFile("no_such_dir/x.csv")).empty(), false);
}

TEST(DataTableASC, RoundTripAndCurveFitterFiles) {
  TDataTable t;
  t.Resize(3, 4);
  t.SetFComment("a table");
  t.SetColName(2, "with \"quote\" and blank");
  t.SetColAttrib(3, -5);
  t.SetRowAttrib(2, 9);
  t.SetRowName(4, "");
  t.SetMScaleType(1, stOrdinal);
  t.SetElemNominal(1, 1, "low");
  t.SetElemNominal(1, 2, "high");
  t.SetMScaleType(3, stRatio);
  for (int32_t r = 1; r <= 4; ++r) t.SetElem(2, r, 1.0 / (r + 2));
  t.SetElem(3, 3, std::nan(""));
  t.SetCellState(3, 3, 2);
  t.SetCellState(2, 4, 64 | 32);
  const std::string file = TmpFile("table.asc");
  ASSERT_EQ(t.ExportAsASC(file), "");
  std::string cm;
  int32_t nc = 0, nr = 0;
  bool ra = false, cn = false, rn = false, ca = false;
  EXPECT_EQ(ReadHeaderOfASC(file, cm, nc, nr, ra, cn, rn, ca), 0);
  EXPECT_EQ(cm, "a table");
  EXPECT_EQ(nc, 3);
  EXPECT_EQ(nr, 4);
  EXPECT_TRUE(ra && cn && rn && ca);
  TDataTable u;
  ASSERT_EQ(u.ImportASC(file), 0);
  EXPECT_EQ(Cells(u), Cells(t));
  EXPECT_EQ(u.CRCofNamesAndAttributes(), t.CRCofNamesAndAttributes());
  EXPECT_EQ(u.CRCofCellStates(), t.CRCofCellStates());
  EXPECT_EQ(u.NumericData->CRCofData(), t.NumericData->CRCofData());

  // A file as the curve fitter writes it: two columns, unquoted names, no sections.
  const std::string cf = TmpFile("curvefit.asc");
  {
    TTextWriter w(cf);
    w.WriteLine("Exported by NUV TCurveFit component: x.asc");
    w.WriteLine("2\t;nr. of columns");
    w.WriteLine("2\t;nr. of rows");
    w.WriteLine("FALSE TRUE FALSE\t;row attributes, column names, row names");
    w.WriteLine("x   y");
    w.WriteLine("1.50\t2.00");
    w.WriteLine("3\t-4e2");
    w.Close();
  }
  ASSERT_EQ(u.ImportASC(cf), 0);
  EXPECT_EQ(u.GetColName(2), "y");
  EXPECT_EQ(u.GetElem(2, 2), -400.0);
  EXPECT_EQ(u.GetRowName(2), "R-2");

  // Failures: code, line and item; the table unchanged.
  const std::string before = Cells(u);
  struct TCase {
    const char* Text;
    int32_t Code, Line, Item;
  };
  const TCase cases[] = {
      {"c\n2\n", -3, 3, 0},
      {"c\n2\n1\nTRUE FALSE FALSE\n1.5 2 3\n", -5, 5, 1},
      {"c\n2\n2\nFALSE FALSE FALSE\n1 2\n3 x\n", -6, 6, 2},
      {"c\n2\n2\nFALSE FALSE FALSE\n1 2\n3\n", -6, 7, 0},  // at the end of the file
      {"c\n2\n1\nFALSE TRUE FALSE\n\"a\" \"b\n1 2\n", -7, 5, 2},
      {"c\n2\n1\nFALSE FALSE FALSE\n1 2\n;scales Interval Odd\n", -7, 6, 3},
      {"c\n2\n1\nFALSE FALSE FALSE\n1 2\nextra\n", -7, 6, 1},
      // A header that claims far more values than the file holds: refused before allocating.
      {"c\n100000\n100000000\nFALSE FALSE FALSE\n1 2\n", -6, 5, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text);
    TMemoryStream ms;
    ms.Write(c.Text, static_cast<int64_t>(std::string(c.Text).size()));
    ms.SetPosition(0);
    TASCImportInfo info;
    EXPECT_EQ(u.ReadFromASC(&ms, info), c.Code);
    EXPECT_EQ(info.ErrorLine, c.Line);
    EXPECT_EQ(info.ErrorColumn, c.Item);
    EXPECT_EQ(ms.Position(), 0);
  }
  EXPECT_EQ(Cells(u), before);
  // Two blocks in one stream: each read stops after its ";end".
  TMemoryStream ms;
  TMemoryStream* pms = &ms;
  TMemoryStream file2;
  file2.LoadFromFile(file);
  file2.SaveToStream(pms);
  file2.SaveToStream(pms);
  ms.SetPosition(0);
  TASCImportInfo info;
  ASSERT_EQ(u.ReadFromASC(&ms, info), 0);
  EXPECT_EQ(ms.Position(), file2.Size());
  ASSERT_EQ(u.ReadFromASC(&ms, info), 0);
  EXPECT_EQ(Cells(u), Cells(t));
  EXPECT_EQ(u.ImportASC(TmpFile("missing.asc")), -1);
}
