// nuvstat: descriptive and multivariate statistics of delimited numeric text
// from the command line, computed by the nuv library.
#include <cmath>
#include <cstdio>
#include <exception>
#include <new>

#include "args.h"
#include "commands.h"
#include "errors.h"
#include "foundation/frame.h"
#include "progress.h"

namespace {

int Fail(const std::string& Message) {
  std::fprintf(stderr, "nuvstat: %s\n", Message.c_str());
  return nuvstat::kExitError;
}

// The data are finite and the commands leave undefined figures out, so an infinite
// or NaN result can only come from values too large for double arithmetic.
void RejectOverflow(const nuvstat::Report& R, const nuvstat::DataSet& Data) {
  for (const nuvstat::Table& t : R.Tables)
    for (const auto& row : t.Rows)
      for (const nuvstat::Cell& c : row)
        if (c.What == nuvstat::Cell::kNumber && !std::isfinite(c.Value))
          throw nuvstat::ToolError(Data.Source + ": the values are too large: " + R.Command +
                                   " overflows double precision");
}

int Run(int argc, char** argv) {
  using namespace nuvstat;
  const Options opt = ParseArguments(argc, argv);
  if (opt.Version) {
    std::printf("nuvstat 0.1.0\n");
    return 0;
  }
  if (opt.Help) {
    std::fputs(HelpText(opt.Command).c_str(), stdout);
    return 0;
  }
  ProgressScope progress;
  const DataSet data = LoadData(opt.Input);
  Report report;
  if (opt.Command == "describe") report = RunDescribe(data, opt);
  else if (opt.Command == "corr") report = RunCorr(data, opt);
  else if (opt.Command == "cov") report = RunCov(data, opt);
  else if (opt.Command == "pca") report = RunPca(data, opt);
  else if (opt.Command == "test") report = RunTest(data, opt);
  else if (opt.Command == "cluster") report = RunCluster(data, opt);
  else if (opt.Command == "fit") report = RunFit(data, opt);
  else if (opt.Command == "rank") report = RunRank(data, opt);
  else if (opt.Command == "smooth") report = RunSmooth(data, opt);
  else if (opt.Command == "derivative") report = RunDerivative(data, opt);
  else if (opt.Command == "spectrum") report = RunSpectrum(data, opt);
  else if (opt.Command == "density") report = RunDensity(data, opt);
  else report = RunRegress(data, opt);
  CheckInterrupted();
  RejectOverflow(report, data);
  WriteReport(report, opt.OutFormat, opt.TableName, stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const nuvstat::UsageError& e) {
    const std::string hint = e.Command().empty() ? "nuvstat --help" : "nuvstat " + e.Command() + " --help";
    return Fail(std::string(e.what()) + " (see '" + hint + "')");
  } catch (const nuvstat::Interrupted&) {
    std::fputs("nuvstat: interrupted\n", stderr);
    return nuvstat::kExitInterrupted;
  } catch (const std::bad_alloc&) {
    return Fail("not enough memory for this data");
  } catch (const std::exception& e) {
    // ToolError and the library's own exceptions carry a complete message.
    return Fail(e.what());
  }
}
