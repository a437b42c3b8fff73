#include "args.h"

#include <charconv>
#include <cstring>
#include <vector>

#include "errors.h"

namespace nuvstat {

namespace {

const char* const kOverview =
    "usage: nuvstat COMMAND [OPTIONS] [FILE]\n"
    "\n"
    "Descriptive and multivariate statistics of delimited numeric text, computed by nuv.\n"
    "\n"
    "commands:\n"
    "  describe   n, mean, standard deviation, quartiles, extremes, skewness, kurtosis\n"
    "  corr       correlation matrix of the columns\n"
    "  cov        covariance matrix of the columns\n"
    "  pca        principal components: eigenvalues, variance shares, loadings, scores\n"
    "  regress    multiple linear regression of one column on the others\n"
    "\n"
    "FILE is CSV text: one row per line, the cells separated by commas, semicolons,\n"
    "tabs or blanks, with an optional header line of column names; '-' reads standard\n"
    "input. Columns of numbers are analysed; columns of texts (such as a species) are\n"
    "listed and left out. Empty cells and NA, NaN, null or ? are missing values: describe\n"
    "skips them column by column, the other commands use the rows without any.\n"
    "Without FILE the command runs on the bundled Iris measurements (150 flowers, four\n"
    "columns in centimetres).\n"
    "\n"
    "options of every command:\n"
    "  --format table|csv|json   output form (default: an aligned table)\n"
    "  --help                    help of the command\n"
    "\n"
    "Errors are reported on stderr with exit status 2; Ctrl-C stops a running\n"
    "computation (exit status 130). 'nuvstat COMMAND --help' tells more.\n";

const char* const kDescribe =
    "usage: nuvstat describe [--format table|csv|json] [FILE]\n"
    "\n"
    "One line per column: n, mean, standard deviation (divisor n - 1), minimum,\n"
    "first quartile, median, third quartile, maximum, skewness and excess kurtosis.\n"
    "\n"
    "Quartiles interpolate at the positions (n + 1)/4, (n + 1)/2 and 3(n + 1)/4 of the\n"
    "sorted column. Skewness and kurtosis carry the small-sample correction\n"
    "(n^2 g1 / ((n-1)(n-2)) and its kurtosis counterpart, the figures of spreadsheets\n"
    "and of most statistics packages). A figure that needs more rows than the column\n"
    "has (standard deviation: 3, skewness and kurtosis: 4) is shown as n/a. Missing\n"
    "cells are skipped and counted; columns of texts are listed below the statistics.\n";

const char* const kCorr =
    "usage: nuvstat corr [--format table|csv|json] [FILE]\n"
    "\n"
    "The Pearson correlation matrix of the columns (at least 2 rows). A constant column\n"
    "has no correlation with anything: its row and column are shown as n/a.\n";

const char* const kCov =
    "usage: nuvstat cov [--format table|csv|json] [FILE]\n"
    "\n"
    "The covariance matrix of the columns, divisor n - 1 (at least 2 rows).\n";

const char* const kPca =
    "usage: nuvstat pca [--components K] [--standardize] [--scores]\n"
    "                   [--format table|csv|json] [FILE]\n"
    "\n"
    "Principal components of the columns (at least 2 rows): the eigenvalues of the\n"
    "covariance matrix in descending order with their shares of the total variance,\n"
    "the loadings (the unit eigenvectors, one column per component, each signed so\n"
    "that its largest component is positive) and, with --scores, the coordinates of\n"
    "every row on the components.\n"
    "\n"
    "  --components K   show the first K components (default: all)\n"
    "  --standardize    scale every column to unit variance first, that is, analyse\n"
    "                   the correlation matrix\n"
    "  --scores         also print the scores of the rows (centred, and scaled with\n"
    "                   --standardize, data times the loadings)\n";

const char* const kRegress =
    "usage: nuvstat regress --y COLUMN [--format table|csv|json] [FILE]\n"
    "\n"
    "Multiple linear regression by least squares of COLUMN on all other columns, with\n"
    "an intercept: the coefficients with their standard errors and t values, the\n"
    "residual standard error, R^2 and adjusted R^2. COLUMN is a column name from the\n"
    "header line or a column number counted from 1. Needs more rows than coefficients.\n"
    "\n"
    "  --y COLUMN       the response column\n";

struct CommandInfo {
  const char* Name;
  const char* Help;
  bool TakesPcaOptions;
  bool TakesY;
};

const CommandInfo kCommands[] = {
    {"describe", kDescribe, false, false}, {"corr", kCorr, false, false},
    {"cov", kCov, false, false},           {"pca", kPca, true, false},
    {"regress", kRegress, false, true},
};

const CommandInfo* FindCommand(const std::string& Name) {
  for (const CommandInfo& c : kCommands)
    if (Name == c.Name) return &c;
  return nullptr;
}

Format ParseFormat(const std::string& Text, const std::string& Command) {
  if (Text == "table") return Format::Table;
  if (Text == "csv") return Format::Csv;
  if (Text == "json") return Format::Json;
  throw UsageError("unknown format \"" + Text + "\" (use table, csv or json)", Command);
}

int ParseCount(const std::string& Text, const std::string& Option, const std::string& Command) {
  int value = 0;
  const char* first = Text.data();
  const char* last = first + Text.size();
  const auto res = std::from_chars(first, last, value);
  if (Text.empty() || res.ec != std::errc() || res.ptr != last || value < 1)
    throw UsageError(Option + " needs a whole number of at least 1, not \"" + Text + "\"",
                     Command);
  return value;
}

}  // namespace

std::string HelpText(const std::string& Command) {
  const CommandInfo* info = FindCommand(Command);
  return info != nullptr ? info->Help : kOverview;
}

std::string FormatName(Format F) {
  switch (F) {
    case Format::Csv: return "csv";
    case Format::Json: return "json";
    case Format::Table: break;
  }
  return "table";
}

Options ParseArguments(int argc, char** argv) {
  Options opt;
  std::vector<std::string> args(argv + 1, argv + argc);
  size_t i = 0;
  // Options before the command: only the overview's own.
  for (; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h" || a == "help") {
      opt.Help = true;
      // "nuvstat help pca" and "nuvstat --help pca" show the command's help.
      if (i + 1 < args.size() && FindCommand(args[i + 1]) != nullptr) opt.Command = args[i + 1];
      return opt;
    }
    if (a == "--version") {
      opt.Version = true;
      return opt;
    }
    // The output form may also come first: "nuvstat --format csv corr".
    if (a == "--format" || a.compare(0, 9, "--format=") == 0) {
      std::string value;
      if (a.size() > 8) {
        value = a.substr(9);
      } else {
        if (i + 1 >= args.size()) throw UsageError("--format needs a value", "");
        value = args[++i];
      }
      opt.OutFormat = ParseFormat(value, "");
      continue;
    }
    break;
  }
  if (i >= args.size()) throw UsageError("no command given", "");
  const CommandInfo* info = FindCommand(args[i]);
  if (info == nullptr) throw UsageError("unknown command \"" + args[i] + "\"", "");
  opt.Command = info->Name;
  ++i;

  bool haveFile = false;
  bool optionsEnded = false;
  for (; i < args.size(); ++i) {
    std::string a = args[i];
    if (optionsEnded || a == "-" || a.size() < 2 || a[0] != '-') {
      if (haveFile) throw UsageError("more than one FILE given", opt.Command);
      opt.File = a;
      haveFile = true;
      continue;
    }
    if (a == "--") {
      optionsEnded = true;
      continue;
    }
    // --name=value is the same as --name value.
    std::string value;
    bool inlineValue = false;
    const size_t eq = a.find('=');
    if (a.compare(0, 2, "--") == 0 && eq != std::string::npos) {
      value = a.substr(eq + 1);
      a.resize(eq);
      inlineValue = true;
    }
    auto takeValue = [&]() -> std::string {
      if (inlineValue) return value;
      if (i + 1 >= args.size()) throw UsageError(a + " needs a value", opt.Command);
      return args[++i];
    };
    auto noValue = [&]() {
      if (inlineValue) throw UsageError(a + " takes no value", opt.Command);
    };
    if (a == "--help" || a == "-h") {
      noValue();
      opt.Help = true;
    } else if (a == "--format") {
      opt.OutFormat = ParseFormat(takeValue(), opt.Command);
    } else if (info->TakesPcaOptions && a == "--components") {
      opt.Components = ParseCount(takeValue(), a, opt.Command);
    } else if (info->TakesPcaOptions && a == "--standardize") {
      noValue();
      opt.Standardize = true;
    } else if (info->TakesPcaOptions && a == "--scores") {
      noValue();
      opt.Scores = true;
    } else if (info->TakesY && a == "--y") {
      opt.YColumn = takeValue();
      if (opt.YColumn.empty()) throw UsageError("--y needs a column name or number", opt.Command);
    } else {
      throw UsageError("unknown option \"" + a + "\" for " + opt.Command, opt.Command);
    }
  }
  if (!opt.Help && info->TakesY && opt.YColumn.empty())
    throw UsageError("regress needs --y COLUMN", opt.Command);
  return opt;
}

}  // namespace nuvstat
