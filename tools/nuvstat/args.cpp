#include "args.h"

#include <cstring>
#include <vector>

#include "args_fit.h"
#include "errors.h"
#include "help_texts.h"
#include "option_values.h"

namespace nuvstat {

namespace {

using namespace help;

struct CommandInfo {
  const char* Name;
  const char* Help;
  /// The tables --table may choose, separated by '|'; the first is the default.
  const char* Tables;
  /// The analyses that follow the command's name, separated by '|'; null for a
  /// command that has one.
  const char* Subs = nullptr;
  bool Plots = false;  ///< takes --plot FILE.svg
};

const CommandInfo kCommands[] = {
    {"describe", kDescribe, "describe|other_columns", nullptr, true},
    {"corr", kCorr, "correlation|n|p"},
    {"cov", kCov, "covariance|n"},
    {"pca", kPca, "eigenvalues|loadings|scores", nullptr, true},
    {"regress", kRegress, "coefficients|fit"},
    {"test", kTest, "test", "ttest|mannwhitney|shapiro|normality|anova|outliers|runs"},
    {"cluster", kCluster, "centres|assignments|merges|groups", "kmeans|hier", true},
    {"fit", kFit, "coefficients|fit|values", nullptr, true},
    {"rank", kRank, "rank"},
    {"smooth", kSmooth, "smooth"},
    {"derivative", kDerivative, "derivative"},
    {"spectrum", kSpectrum, "spectrum", nullptr, true},
    {"density", kDensity, "density", nullptr, true},
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

char ParseDelimiter(const std::string& Text, const std::string& Command) {
  if (Text == "," || Text == ";" || Text == ":") return Text[0];
  if (Text == "tab" || Text == "\t" || Text == "\\t") return '\t';
  throw UsageError("unknown delimiter \"" + Text + "\" (use , ; : or tab)", Command);
}

// The options of each analysis of test besides --alpha.
bool TestTakes(const std::string& Sub, const std::string& Option) {
  if (Option == "--by") return Sub == "ttest" || Sub == "mannwhitney" || Sub == "anova";
  if (Option == "--mu") return Sub == "ttest" || Sub == "normality";
  if (Option == "--sd") return Sub == "normality";
  if (Option == "--paired" || Option == "--welch") return Sub == "ttest";
  if (Option == "--method") return Sub == "outliers";
  return Option == "--alpha";
}

bool InList(const char* List, const std::string& Name) {
  const std::string list = std::string("|") + List + "|";
  return list.find("|" + Name + "|") != std::string::npos;
}

bool HasTable(const CommandInfo& Info, const std::string& Name) {
  return InList(Info.Tables, Name);
}

// "a|b|c" as "a, b or c".
std::string ListText(const char* List) {
  std::string text = List;
  const size_t last = text.rfind('|');
  if (last != std::string::npos) text.replace(last, 1, " or ");
  size_t bar = 0;
  while ((bar = text.find('|', bar)) != std::string::npos) text.replace(bar, 1, ", ");
  return text;
}

}  // namespace

const char* const kWindows =
    "hann|rectangle|triangle|hamming|blackman|blackman-harris|blackman-nuttall|gauss";

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
  const std::string& cmd = opt.Command;
  const bool isPca = cmd == "pca";
  const bool isCorr = cmd == "corr";
  const bool isSignal = cmd == "smooth" || cmd == "derivative" || cmd == "spectrum" ||
                        cmd == "density";
  ++i;
  // "nuvstat test ttest ...": the analysis comes right after the command.
  if (info->Subs != nullptr) {
    if (i < args.size() && (args[i] == "--help" || args[i] == "-h")) {
      opt.Help = true;
      return opt;
    }
    if (i >= args.size())
      throw UsageError(cmd + " needs an analysis: " + ListText(info->Subs), cmd);
    if (!InList(info->Subs, args[i]))
      throw UsageError("unknown analysis \"" + args[i] + "\" for " + cmd + " (use " +
                           ListText(info->Subs) + ")",
                       cmd);
    opt.Sub = args[i++];
  }

  bool haveFile = false;
  bool optionsEnded = false;
  bool delimiterGiven = false;
  InputOptions& in = opt.Input;
  for (; i < args.size(); ++i) {
    std::string a = args[i];
    if (optionsEnded || a == "-" || a.size() < 2 || a[0] != '-') {
      if (haveFile) throw UsageError("more than one FILE given", cmd);
      in.File = a;
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
      if (i + 1 >= args.size()) throw UsageError(a + " needs a value", cmd);
      return args[++i];
    };
    auto noValue = [&]() {
      if (inlineValue) throw UsageError(a + " takes no value", cmd);
    };
    if (a == "--help" || a == "-h") {
      noValue();
      opt.Help = true;
    } else if (a == "--format") {
      opt.OutFormat = ParseFormat(takeValue(), cmd);
    } else if (a == "--header") {
      const std::string v = takeValue();
      if (v == "auto") in.Header = Choice::Auto;
      else if (v == "yes") in.Header = Choice::Yes;
      else if (v == "no") in.Header = Choice::No;
      else throw UsageError("--header needs auto, yes or no, not \"" + v + "\"", cmd);
    } else if (a == "--row-names") {
      noValue();
      in.RowNames = true;
    } else if (a == "--skip") {
      in.Skip = ParseCount(takeValue(), a, cmd, 0);
    } else if (a == "--delimiter") {
      in.Delimiter = ParseDelimiter(takeValue(), cmd);
      delimiterGiven = true;
    } else if (a == "--decimal") {
      const std::string v = takeValue();
      if (v != "." && v != ",") throw UsageError("--decimal needs . or ,, not \"" + v + "\"", cmd);
      in.Decimal = v[0];
    } else if (a == "--na") {
      in.NaWords.push_back(takeValue());
    } else if (a == "--columns") {
      for (std::string& c : SplitList(takeValue(), a, cmd)) in.Columns.push_back(std::move(c));
    } else if (a == "--exclude") {
      for (std::string& c : SplitList(takeValue(), a, cmd)) in.Exclude.push_back(std::move(c));
    } else if (a == "--sample") {
      in.Sample = takeValue();
      if (in.Sample != "iris")
        throw UsageError("unknown sample \"" + in.Sample + "\" (the bundled one is iris)", cmd);
    } else if (a == "--table") {
      opt.TableName = takeValue();
      if (!HasTable(*info, opt.TableName)) {
        std::string list = info->Tables;
        for (char& ch : list)
          if (ch == '|') ch = ',';
        throw UsageError("unknown table \"" + opt.TableName + "\" for " + cmd + " (use one of " +
                             list + ")",
                         cmd);
      }
    } else if (info->Plots && a == "--plot") {
      opt.PlotFile = takeValue();
      if (opt.PlotFile.empty()) throw UsageError("--plot needs a file name", cmd);
    } else if (isPca && a == "--components") {
      opt.Components = ParseCount(takeValue(), a, cmd, 1);
    } else if ((isPca || cmd == "cluster") && a == "--standardize") {
      noValue();
      opt.Standardize = true;
    } else if (isPca && a == "--scores") {
      noValue();
      opt.Scores = true;
    } else if (cmd == "regress" && a == "--y") {
      opt.YColumn = takeValue();
      if (opt.YColumn.empty()) throw UsageError("--y needs a column name or number", cmd);
    } else if ((isCorr || cmd == "cov") && a == "--complete") {
      noValue();
      opt.Complete = true;
    } else if (isCorr && a == "--p") {
      noValue();
      opt.PValues = true;
    } else if (isCorr && a == "--method") {
      const std::string v = takeValue();
      if (v == "pearson") opt.CorrMethod = Method::Pearson;
      else if (v == "spearman") opt.CorrMethod = Method::Spearman;
      else if (v == "kendall") opt.CorrMethod = Method::Kendall;
      else throw UsageError("unknown method \"" + v + "\" (use pearson, spearman or kendall)", cmd);
    } else if (cmd == "test" && TestTakes(opt.Sub, a)) {
      if (a == "--alpha") {
        const std::string text = takeValue();
        opt.Alpha = ParseReal(text, a, cmd);
        if (!(opt.Alpha > 0.0 && opt.Alpha < 1.0))
          throw UsageError("--alpha needs a level between 0 and 1, not \"" + text + "\"", cmd);
      } else if (a == "--by") {
        opt.By = takeValue();
        if (opt.By.empty()) throw UsageError("--by needs a column name or number", cmd);
      } else if (a == "--mu") {
        opt.Mu = ParseReal(takeValue(), a, cmd);
        opt.HaveMu = true;
      } else if (a == "--sd") {
        opt.Sd = ParseReal(takeValue(), a, cmd);
        if (!(opt.Sd > 0.0)) throw UsageError("--sd needs a positive number", cmd);
      } else if (a == "--paired") {
        noValue();
        opt.Paired = true;
      } else if (a == "--welch") {
        noValue();
        opt.Welch = true;
      } else {
        opt.Outliers = takeValue();
        if (opt.Outliers != "grubbs" && opt.Outliers != "dixon" && opt.Outliers != "both")
          throw UsageError("unknown method \"" + opt.Outliers + "\" (use grubbs, dixon or both)",
                           cmd);
      }
    } else if (isSignal && a == "--column") {
      opt.Column = takeValue();
      if (opt.Column.empty()) throw UsageError("--column needs a column name or number", cmd);
    } else if (cmd == "smooth" && a == "--method") {
      opt.SmoothMethod = takeValue();
      if (!InList("mean|triangle|median|savgol", opt.SmoothMethod))
        throw UsageError("unknown method \"" + opt.SmoothMethod +
                             "\" (use mean, triangle, median or savgol)",
                         cmd);
    } else if ((cmd == "smooth" || cmd == "derivative") && a == "--width") {
      opt.Width = ParseCount(takeValue(), a, cmd, 3);
    } else if (cmd == "derivative" && a == "--order") {
      const std::string v = takeValue();
      if (v != "1" && v != "2") throw UsageError("--order needs 1 or 2, not \"" + v + "\"", cmd);
      opt.Order = v[0] - '0';
    } else if (cmd == "derivative" && a == "--step") {
      opt.Step = ParsePositive(takeValue(), a, cmd);
    } else if (cmd == "derivative" && a == "--x") {
      opt.SeriesX = takeValue();
      if (opt.SeriesX.empty()) throw UsageError("--x needs a column name or number", cmd);
    } else if (cmd == "spectrum" && a == "--window") {
      opt.Window = takeValue();
      if (!InList(kWindows, opt.Window))
        throw UsageError("unknown window \"" + opt.Window + "\" (use " + ListText(kWindows) + ")",
                         cmd);
    } else if (cmd == "spectrum" && a == "--rate") {
      opt.Rate = ParsePositive(takeValue(), a, cmd);
    } else if (cmd == "spectrum" && a == "--segment") {
      opt.Segment = ParseCount(takeValue(), a, cmd, 8);
      if ((opt.Segment & (opt.Segment - 1)) != 0)
        throw UsageError("--segment needs a power of two, not " + std::to_string(opt.Segment), cmd);
    } else if (cmd == "density" && a == "--grid") {
      opt.Grid = ParseCount(takeValue(), a, cmd, 11);
      if (opt.Grid > 10001) throw UsageError("--grid takes at most 10001 points", cmd);
    } else if (cmd == "density" && a == "--width") {
      opt.Bandwidth = ParsePositive(takeValue(), a, cmd);
    } else if (cmd == "density" && a == "--window") {
      opt.LocalWindow = ParsePositive(takeValue(), a, cmd);
    } else if (cmd == "density" && a == "--factor") {
      opt.Factor = ParsePositive(takeValue(), a, cmd);
    } else if (cmd == "density" && a == "--from") {
      opt.From = ParseReal(takeValue(), a, cmd);
    } else if (cmd == "density" && a == "--to") {
      opt.To = ParseReal(takeValue(), a, cmd);
    } else if ((cmd == "describe" || isPca) && a == "--by") {
      opt.By = takeValue();
      if (opt.By.empty()) throw UsageError("--by needs a column name or number", cmd);
    } else if (ParseFitOption(opt, a, takeValue, noValue, args, i)) {
    } else {
      throw UsageError("unknown option \"" + a + "\" for " + cmd +
                           (opt.Sub.empty() ? "" : " " + opt.Sub),
                       cmd);
    }
  }
  if (opt.Help) return opt;
  CheckFitOptions(opt);
  if (cmd == "regress" && opt.YColumn.empty()) throw UsageError("regress needs --y COLUMN", cmd);
  if (opt.Sub == "ttest" && opt.HaveMu && (opt.Paired || !opt.By.empty()))
    throw UsageError("ttest --mu tests each column on its own: not with --paired or --by", cmd);
  if (opt.Sub == "ttest" && opt.Paired && !opt.By.empty())
    throw UsageError("ttest --paired takes two columns, not --by groups", cmd);
  if (opt.Sub == "ttest" && opt.Paired && opt.Welch)
    throw UsageError("ttest --paired has no variances to pool: not with --welch", cmd);
  if (opt.Sub == "anova" && opt.By.empty()) throw UsageError("anova needs --by COLUMN", cmd);
  if (isPca && !opt.By.empty() && opt.PlotFile.empty())
    throw UsageError("--by colours the plot: give --plot FILE.svg too", cmd);
  if (isSignal && opt.Column.empty()) throw UsageError(cmd + " needs --column COLUMN", cmd);
  if (cmd == "derivative" && opt.Step > 0 && !opt.SeriesX.empty())
    throw UsageError("--step and --x given: choose one", cmd);
  if (cmd == "density" && opt.Bandwidth > 0 && opt.LocalWindow > 0)
    throw UsageError("--width and --window given: choose one", cmd);
  if (cmd == "density" && opt.From >= opt.To)
    throw UsageError("--from must be below --to", cmd);
  if (in.Decimal == ',' && !delimiterGiven) in.Delimiter = ';';
  if (in.Decimal == ',' && in.Delimiter == ',')
    throw UsageError("--decimal , needs another delimiter than the comma", cmd);
  if (!in.Sample.empty() && haveFile)
    throw UsageError("--sample and a FILE given: choose one", cmd);
  if (isPca && opt.TableName == "scores") opt.Scores = true;
  if (isCorr && opt.TableName == "p") opt.PValues = true;
  return opt;
}

}  // namespace nuvstat
