#include "args_fit.h"

#include "errors.h"
#include "option_values.h"

namespace nuvstat {

namespace {

bool OneOf(const std::string& V, std::initializer_list<const char*> List) {
  for (const char* s : List)
    if (V == s) return true;
  return false;
}

}  // namespace

bool ParseFitOption(Options& Opt, const std::string& A,
                    const std::function<std::string()>& TakeValue,
                    const std::function<void()>& NoValue, const std::vector<std::string>& Args,
                    size_t& I) {
  const std::string& cmd = Opt.Command;
  (void)NoValue;
  if (cmd == "cluster") {
    if (A == "--k") {
      Opt.K = ParseCount(TakeValue(), A, cmd, 1);
    } else if (A == "--seed" && Opt.Sub == "kmeans") {
      Opt.Seed = ParseCount(TakeValue(), A, cmd, 1);
    } else if (A == "--method" && Opt.Sub == "hier") {
      Opt.Linkage = TakeValue();
      if (!OneOf(Opt.Linkage, {"single", "complete", "average", "upgma", "ward", "flexible"}))
        throw UsageError("unknown method \"" + Opt.Linkage +
                             "\" (use single, complete, average, upgma, ward or flexible)",
                         cmd);
    } else if (A == "--distance" && Opt.Sub == "hier") {
      Opt.Distance = TakeValue();
      if (!OneOf(Opt.Distance, {"euclidean", "sqeuclidean", "manhattan", "jaccard", "dice"}))
        throw UsageError("unknown distance \"" + Opt.Distance +
                             "\" (use euclidean, sqeuclidean, manhattan, jaccard or dice)",
                         cmd);
    } else if (A == "--flex-alpha" && Opt.Sub == "hier") {
      Opt.FlexAlpha = ParseReal(TakeValue(), A, cmd);
      if (Opt.FlexAlpha < 0.5 || Opt.FlexAlpha > 1.0)
        throw UsageError("--flex-alpha needs a number from 0.5 to 1", cmd);
    } else {
      return false;
    }
    return true;
  }
  if (cmd != "fit") return false;
  if (A == "--x") {
    Opt.XColumn = TakeValue();
    if (Opt.XColumn.empty()) throw UsageError("--x needs a column name or number", cmd);
  } else if (A == "--y") {
    Opt.YColumn = TakeValue();
    if (Opt.YColumn.empty()) throw UsageError("--y needs a column name or number", cmd);
  } else if (A == "--model") {
    Opt.Model = TakeValue();
    if (!OneOf(Opt.Model,
               {"line", "parabola", "poly", "exp", "power", "log", "circle", "spline"}))
      throw UsageError("unknown model \"" + Opt.Model +
                           "\" (use line, parabola, poly N, exp, power, log, circle or spline)",
                       cmd);
    if (Opt.Model == "poly") {
      if (I + 1 >= Args.size()) throw UsageError("--model poly needs its degree N", cmd);
      Opt.Degree = ParseCount(Args[++I], "--model poly", cmd, 1);
      if (Opt.Degree > 20) throw UsageError("--model poly takes a degree up to 20", cmd);
    }
  } else if (A == "--at") {
    const std::string list = TakeValue();
    size_t start = 0;
    for (;;) {
      const size_t comma = list.find(',', start);
      Opt.At.push_back(ParseReal(
          list.substr(start, comma == std::string::npos ? std::string::npos : comma - start),
          A, cmd));
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
  } else if (A == "--smooth") {
    Opt.Smooth = ParseReal(TakeValue(), A, cmd);
    if (Opt.Smooth < 0) throw UsageError("--smooth needs a factor of at least 0", cmd);
  } else {
    return false;
  }
  return true;
}

void CheckFitOptions(Options& Opt) {
  const std::string& cmd = Opt.Command;
  if (cmd == "cluster") {
    if (Opt.Sub == "kmeans") {
      if (Opt.K == 0) throw UsageError("cluster kmeans needs --k K", cmd);
      if (!Opt.PlotFile.empty()) throw UsageError("--plot goes with cluster hier", cmd);
      if (Opt.TableName == "merges" || Opt.TableName == "groups")
        throw UsageError("--table " + Opt.TableName + " is a table of cluster hier", cmd);
      return;
    }
    if (Opt.Linkage.empty()) Opt.Linkage = "average";
    const bool ward = Opt.Linkage == "ward";
    if (Opt.Distance.empty()) Opt.Distance = ward ? "sqeuclidean" : "euclidean";
    if (ward && Opt.Distance != "sqeuclidean")
      throw UsageError("--method ward needs --distance sqeuclidean (its default)", cmd);
    if (Opt.TableName == "groups" && Opt.K == 0)
      throw UsageError("--table groups needs --k K", cmd);
    if (Opt.TableName == "centres" || Opt.TableName == "assignments")
      throw UsageError("--table " + Opt.TableName + " is a table of cluster kmeans", cmd);
  } else if (cmd == "fit") {
    if (!Opt.PlotFile.empty() && Opt.PlotFile == Opt.Input.File)
      throw UsageError("--plot would overwrite the input file", cmd);
    if (Opt.XColumn.empty()) throw UsageError("fit needs --x COLUMN", cmd);
    if (Opt.YColumn.empty()) throw UsageError("fit needs --y COLUMN", cmd);
    if (Opt.Model.empty()) throw UsageError("fit needs --model MODEL", cmd);
    if (Opt.Smooth >= 0 && Opt.Model != "spline")
      throw UsageError("--smooth goes with --model spline", cmd);
    if (Opt.TableName == "values" && Opt.At.empty())
      throw UsageError("--table values needs --at X,...", cmd);
  }
}

}  // namespace nuvstat
