// pca: principal components from the library's eigen store.
#include <algorithm>
#include <cmath>
#include <string>

#include "Nuv_math2/Nuv_math2.h"
#include "Nuv_vector/Nuv_vector.h"
#include "commands.h"
#include "errors.h"
#include "pca_eigen.h"
#include "progress.h"
#include "summary_plots.h"

namespace nuvstat {

namespace {

constexpr int32_t kCovariance = 1;
constexpr int32_t kCorrelation = 2;

std::string PcName(int32_t k) { return "PC" + std::to_string(k); }

// An eigenvector's sign is arbitrary; the largest component is made positive so
// that runs and platforms agree. Components equal to rounding count as equal,
// and the first of them decides.
void FixSign(std::vector<double>& v) {
  double big = 0.0;
  for (double x : v) big = std::fmax(big, std::fabs(x));
  for (double x : v) {
    if (std::fabs(x) >= big * (1.0 - 1e-9)) {
      if (x < 0)
        for (double& y : v) y = -y;
      return;
    }
  }
}

}  // namespace

Report RunPca(const DataSet& Data, const Options& Opt) {
  RequireRows(Data, 3, "pca");
  const int32_t p = Data.NCols();
  const int32_t n = Data.NRows();
  const int32_t k = Opt.Components > 0 && Opt.Components < p ? Opt.Components : p;
  const bool plotting = !Opt.PlotFile.empty();
  // The picture shows the scores on the first two components whatever the table shows.
  const int32_t kScores = plotting ? std::max(k, std::min(p, 2)) : k;
  if (!Opt.By.empty()) {
    const int32_t byCol = FindTableColumn(Data, Opt.By, "--by");
    for (int32_t c : Data.TableCols)
      if (c == byCol)
        throw ToolError(Data.Source + ": --by: column \"" +
                        Data.TableNames[static_cast<size_t>(byCol - 1)] +
                        "\" is analysed; leave it out with --exclude to colour by it");
  }

  // A constant column has no variance to scale by.
  if (Opt.Standardize) {
    nuv::TVector v;
    v.Resize(n);
    for (int32_t c = 1; c <= p; ++c) {
      Data.Mat->CopyColToVec(&v, c, 1, n);
      double mn = 0.0, mx = 0.0;
      v.MinMax(0, 0, mn, mx);
      if (!(mn < mx))
        throw ToolError(Data.Source + ": column \"" + Data.Names[static_cast<size_t>(c - 1)] +
                        "\" is constant and cannot be standardized");
    }
  }

  DecomposeForPca(Data, Opt.Standardize ? kCorrelation : kCovariance);

  std::vector<double> eig(static_cast<size_t>(p));
  std::vector<std::vector<double>> load(static_cast<size_t>(p), std::vector<double>(p));
  double total = 0.0;
  for (int32_t e = 1; e <= p; ++e) {
    eig[static_cast<size_t>(e - 1)] = nuv::GetEigenResult(e, 0);
    total += std::fabs(eig[static_cast<size_t>(e - 1)]);
    for (int32_t j = 1; j <= p; ++j)
      load[static_cast<size_t>(e - 1)][static_cast<size_t>(j - 1)] = nuv::GetEigenResult(e, j);
    FixSign(load[static_cast<size_t>(e - 1)]);
  }

  Report report = StartReport("pca", Data);
  report.Info.emplace_back("matrix", Fact::Str(Opt.Standardize ? "correlation (standardized columns)"
                                                              : "covariance"));
  Table ev;
  ev.Name = "eigenvalues";
  ev.Title = "Eigenvalues";
  ev.KeyHeader = "component";
  ev.ZeroNoise = true;
  ev.Columns = {"eigenvalue", "share %", "cumulative %"};
  double cumulative = 0.0;
  for (int32_t e = 1; e <= k; ++e) {
    const double lambda = eig[static_cast<size_t>(e - 1)];
    // The same shares as the library's scaled eigenvalues: each over the sum of their sizes.
    const double share = total > 0 ? 100.0 * lambda / total : 0.0;
    cumulative += share;
    ev.AddRow(PcName(e), {Cell::Number(lambda), total > 0 ? Cell::Number(share) : Cell::Missing(),
                          total > 0 ? Cell::Number(cumulative) : Cell::Missing()});
  }
  report.Tables.push_back(std::move(ev));

  Table ld;
  ld.Name = "loadings";
  ld.Title = "Loadings (unit eigenvectors)";
  ld.KeyHeader = "variable";
  ld.ZeroNoise = true;
  for (int32_t e = 1; e <= k; ++e) ld.Columns.push_back(PcName(e));
  for (int32_t j = 1; j <= p; ++j) {
    std::vector<Cell> cells;
    for (int32_t e = 1; e <= k; ++e)
      cells.push_back(Cell::Number(load[static_cast<size_t>(e - 1)][static_cast<size_t>(j - 1)]));
    ld.AddRow(Data.Names[static_cast<size_t>(j - 1)], std::move(cells));
  }
  const std::vector<std::string> pcNames = ld.Columns;
  report.Tables.push_back(std::move(ld));

  nuv::TMatrix scores;
  if (Opt.Scores || plotting) {
    // Scores: the centred (or standardized) data times the loadings, one product.
    nuv::TMatrix centred, loadings;
    centred.Assign(Data.Mat.get());
    if (Opt.Standardize)
      centred.StandardizeColumns(nullptr, nullptr);
    else
      centred.MeanCenterColumns(nullptr);
    loadings.Resize(kScores, p);
    for (int32_t e = 1; e <= kScores; ++e)
      for (int32_t j = 1; j <= p; ++j)
        loadings.SetVal(e, j, load[static_cast<size_t>(e - 1)][static_cast<size_t>(j - 1)]);
    SetProgressLabel("scores");
    const bool multiplied = centred.Multiply(&loadings, &scores);
    CheckInterrupted();
    if (!multiplied) throw ToolError("the scores could not be computed");
    if (plotting) WritePcaPlot(Data, eig, scores, Opt.By, Opt.PlotFile);
  }
  if (Opt.Scores) {
    Table sc;
    sc.Name = "scores";
    sc.Title = "Scores";
    sc.KeyHeader = "row";
    sc.ZeroNoise = true;
    sc.Columns = pcNames;
    sc.RowLabels.reserve(static_cast<size_t>(n));
    sc.Rows.reserve(static_cast<size_t>(n));
    for (int32_t r = 1; r <= n; ++r) {
      std::vector<Cell> cells(static_cast<size_t>(k));
      for (int32_t e = 1; e <= k; ++e)
        cells[static_cast<size_t>(e - 1)] = Cell::Number(scores.GetVal(e, r));
      sc.AddRow(std::to_string(r), std::move(cells));
    }
    report.Tables.push_back(std::move(sc));
  }
  return report;
}

}  // namespace nuvstat
