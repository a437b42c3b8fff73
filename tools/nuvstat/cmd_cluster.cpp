// cluster: k-means and hierarchical agglomerative clustering of the rows where
// every analysed column holds a number, through the library's kMeansClustering
// and AgglomClustering; the dendrogram drawn from its leaf positions.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "Nuv_math2/Nuv_math2.h"
#include "commands.h"
#include "errors.h"
#include "progress.h"
#include "svg_plot.h"

namespace nuvstat {

namespace {

// The distances of all pairs are kept (a packed triangle of n(n - 1)/2 doubles):
// 20000 rows take 1.6 GB, and the merges grow faster still.
constexpr int32_t kMaxHierRows = 20000;

// The data row of the file (from 1) of each complete row.
std::vector<int32_t> FileRowNumbers(const DataSet& Data) {
  std::vector<int32_t> rows;
  rows.reserve(static_cast<size_t>(Data.NRows()));
  if (!Data.All) {
    rows.resize(static_cast<size_t>(Data.NRows()));
    std::iota(rows.begin(), rows.end(), 1);
    return rows;
  }
  const nuv::TMatrix& all = *Data.All;
  std::vector<uint8_t> complete(static_cast<size_t>(all.NrOfRows()), 1);
  for (int32_t c = 1; c <= all.NrOfColumns(); ++c) {
    const double* x = all.ColData(c);
    for (int32_t r = 0; r < all.NrOfRows(); ++r)
      if (std::isnan(x[r])) complete[static_cast<size_t>(r)] = 0;
  }
  for (int32_t r = 0; r < all.NrOfRows(); ++r)
    if (complete[static_cast<size_t>(r)] != 0) rows.push_back(r + 1);
  return rows;
}

// The matrix clustered: the complete rows, standardized when asked.
void ClusterData(const DataSet& Data, const Options& Opt, Report& R, nuv::TMatrix& X) {
  X.Assign(Data.Mat.get());
  if (Opt.Standardize) {
    X.StandardizeColumns(nullptr, nullptr);
    R.Info.emplace_back("scaling", Fact::Str("columns standardized (mean 0, sd 1)"));
  }
}

Report RunKMeans(const DataSet& Data, const Options& Opt) {
  const int32_t k = Opt.K;
  RequireRows(Data, k, "cluster kmeans --k " + std::to_string(k));
  Report report = StartReport("cluster", Data);
  report.Info.emplace_back("analysis", Fact::Str("k-means"));
  report.Info.emplace_back("clusters", Fact::Number(k));
  report.Info.emplace_back("start", Opt.Seed > 0 ? Fact::Str("random rows, seed " +
                                                             std::to_string(Opt.Seed))
                                                 : Fact::Str("the first " + std::to_string(k) +
                                                             " rows"));
  nuv::TMatrix x;
  ClusterData(Data, Opt, report, x);
  nuv::TMatrix centres;
  nuv::TIntVector assign, sizes;
  SetProgressLabel("k-means");
  const double total =
      nuv::kMeansClustering(&x, 0, 0, k, Opt.Seed, &centres, &assign, &sizes);
  CheckInterrupted();

  const int32_t n = x.NrOfRows();
  const int32_t p = x.NrOfColumns();
  // Sum of squares per cluster in the units clustered, the columns in turn.
  std::vector<double> within(static_cast<size_t>(k), 0.0);
  const int32_t* cl = assign.Data();
  for (int32_t c = 1; c <= p; ++c) {
    const double* col = x.ColData(c);
    for (int32_t r = 0; r < n; ++r) {
      const double d = col[r] - centres.GetVal(c, cl[r]);
      within[static_cast<size_t>(cl[r] - 1)] += d * d;
    }
  }
  // Centres in the units of the file: the means of the clusters' rows.
  nuv::TMatrix fileCentres;
  if (Opt.Standardize) nuv::FindCenters(Data.Mat.get(), &assign, k, &fileCentres, nullptr);
  const nuv::TMatrix& shown = Opt.Standardize ? fileCentres : centres;

  report.Info.emplace_back("within-cluster sum of squares", Fact::Number(total));
  Table ct;
  ct.Name = "centres";
  ct.Title = "Clusters (centres in the units of the file)";
  ct.KeyHeader = "cluster";
  ct.Columns = {"size", "sum of squares"};
  ct.Columns.insert(ct.Columns.end(), Data.Names.begin(), Data.Names.end());
  for (int32_t c = 1; c <= k; ++c) {
    std::vector<Cell> cells = {Cell::Number(sizes.GetVal(c)),
                               Cell::Number(within[static_cast<size_t>(c - 1)])};
    // A cluster that ends without rows has no centre (the library leaves zeros).
    for (int32_t j = 1; j <= p; ++j)
      cells.push_back(sizes.GetVal(c) > 0 ? Cell::Number(shown.GetVal(j, c)) : Cell::Missing());
    ct.AddRow(std::to_string(c), std::move(cells));
  }
  report.Tables.push_back(std::move(ct));

  Table at;
  at.Name = "assignments";
  at.Title = "Cluster of every row";
  at.KeyHeader = "row";
  at.Columns = {"cluster"};
  const std::vector<int32_t> fileRows = FileRowNumbers(Data);
  at.RowLabels.reserve(static_cast<size_t>(n));
  at.Rows.reserve(static_cast<size_t>(n));
  for (int32_t r = 0; r < n; ++r)
    at.AddRow(std::to_string(fileRows[static_cast<size_t>(r)]), {Cell::Number(cl[r])});
  report.Tables.push_back(std::move(at));
  return report;
}

nuv::TClusterMethod Linkage(const std::string& Name) {
  if (Name == "single") return nuv::cmSingleLink;
  if (Name == "complete") return nuv::cmCompleteLink;
  if (Name == "ward") return nuv::cmWard;
  if (Name == "upgma") return nuv::cmUpgma;
  if (Name == "flexible") return nuv::cmFlexLink;
  return nuv::cmAvgLink;
}

// The groups of the tree cut into K: the clusters standing after the first n - K
// merges, numbered by their leftmost leaf in the dendrogram.
std::vector<int32_t> CutTree(const nuv::TIntMatrix& Tree, const nuv::TVector& XPos, int32_t n,
                             int32_t K) {
  std::vector<int32_t> parent(static_cast<size_t>(2 * n - 1));
  std::iota(parent.begin(), parent.end(), 0);
  auto root = [&](int32_t c) {
    // Path halving keeps a long chain of merges from costing n steps per row.
    while (parent[static_cast<size_t>(c)] != c) {
      int32_t& up = parent[static_cast<size_t>(c)];
      up = parent[static_cast<size_t>(up)];
      c = up;
    }
    return c;
  };
  for (int32_t s = 1; s <= n - K; ++s) {
    parent[static_cast<size_t>(Tree.GetVal(1, s) - 1)] = n + s - 1;
    parent[static_cast<size_t>(Tree.GetVal(2, s) - 1)] = n + s - 1;
  }
  std::vector<int32_t> top(static_cast<size_t>(n));
  std::vector<double> leftmost(static_cast<size_t>(2 * n - 1), HUGE_VAL);
  for (int32_t r = 0; r < n; ++r) {
    top[static_cast<size_t>(r)] = root(r);
    double& lm = leftmost[static_cast<size_t>(top[static_cast<size_t>(r)])];
    lm = std::min(lm, XPos.GetVal(r + 1));
  }
  std::vector<int32_t> roots;
  for (int32_t c = 0; c < 2 * n - 1; ++c)
    if (leftmost[static_cast<size_t>(c)] < HUGE_VAL) roots.push_back(c);
  std::sort(roots.begin(), roots.end(), [&](int32_t a, int32_t b) {
    return leftmost[static_cast<size_t>(a)] < leftmost[static_cast<size_t>(b)];
  });
  std::vector<int32_t> number(static_cast<size_t>(2 * n - 1), 0);
  for (size_t g = 0; g < roots.size(); ++g)
    number[static_cast<size_t>(roots[g])] = static_cast<int32_t>(g + 1);
  std::vector<int32_t> group(static_cast<size_t>(n));
  for (int32_t r = 0; r < n; ++r)
    group[static_cast<size_t>(r)] = number[static_cast<size_t>(top[static_cast<size_t>(r)])];
  return group;
}

// The dendrogram: each merge a bracket from its parts' heights up to its own, at
// the library's plotting positions; leaves at height 0, labelled by their rows.
Plot Dendrogram(const nuv::TIntMatrix& Tree, const nuv::TVector& Heights, const nuv::TVector& XPos,
                const std::vector<int32_t>& FileRows, const std::string& Method,
                const std::string& Distance) {
  const auto n = static_cast<int32_t>(FileRows.size());
  PlotPanel panel;
  panel.Title = "Dendrogram (" + Method + ", " + Distance + ")";
  panel.XLabel = "row";
  panel.YLabel = "height";
  panel.YFromZero = true;
  auto height = [&](int32_t c) { return c > n ? Heights.GetVal(c - n) : 0.0; };
  for (int32_t s = 1; s < n; ++s) {
    const int32_t a = Tree.GetVal(1, s), b = Tree.GetVal(2, s);
    const double xa = XPos.GetVal(a), xb = XPos.GetVal(b), h = Heights.GetVal(s);
    panel.Links.push_back({xa, height(a), xa, h});
    panel.Links.push_back({xb, height(b), xb, h});
    panel.Links.push_back({xa, h, xb, h});
  }
  for (int32_t r = 1; r <= n; ++r)
    panel.XCategories.emplace_back(XPos.GetVal(r),
                                   std::to_string(FileRows[static_cast<size_t>(r - 1)]));
  Plot plot;
  plot.Panels.push_back(std::move(panel));
  return plot;
}

Report RunHier(const DataSet& Data, const Options& Opt) {
  const int32_t n = Data.NRows();
  if (n > kMaxHierRows)
    throw ToolError(Data.Source + ": cluster hier handles at most " +
                    std::to_string(kMaxHierRows) + " rows (the distances of all pairs take "
                    "n^2/2 doubles, 1.6 GB at the limit), the data has " + std::to_string(n) +
                    ": use cluster kmeans, or a sample");
  RequireRows(Data, 2, "cluster hier");
  if (Opt.K > n)
    throw ToolError(Data.Source + ": --k " + std::to_string(Opt.K) + " is more groups than the " +
                    std::to_string(n) + " rows");
  Report report = StartReport("cluster", Data);
  report.Info.emplace_back("analysis", Fact::Str("hierarchical"));
  report.Info.emplace_back("method", Fact::Str(Opt.Linkage));
  report.Info.emplace_back("distance", Fact::Str(Opt.Distance));
  if (Opt.Linkage == "flexible") report.Info.emplace_back("alpha", Fact::Number(Opt.FlexAlpha));
  nuv::TMatrix x;
  ClusterData(Data, Opt, report, x);

  nuv::TDistMode mode = nuv::dmEuclid;
  nuv::TOnCalcDistanceEvent similarity;
  if (Opt.Distance == "sqeuclidean") mode = nuv::dmEuclidSqr;
  else if (Opt.Distance == "manhattan") mode = nuv::dmManhattan;
  else if (Opt.Distance == "jaccard" || Opt.Distance == "dice") {
    // The coefficients are similarities (1 for equal rows): their complements merge.
    const nuv::TDistMode coeff = Opt.Distance == "jaccard" ? nuv::dmJaccard : nuv::dmDice;
    mode = nuv::dmUserDef;
    similarity = [&x, coeff](nuv::TObject*, int32_t r1, int32_t r2, double& d) {
      d = 1.0 - x.DistanceOfObjects(coeff, r1, r2);
    };
  }
  nuv::TIntMatrix tree;
  nuv::TVector heights, xpos;
  SetProgressLabel("hierarchical clustering");
  const int32_t res = nuv::AgglomClustering(nullptr, &x, mode, Linkage(Opt.Linkage),
                                            Opt.FlexAlpha, &tree, &heights, &xpos, {},
                                            similarity);
  CheckInterrupted();
  if (res != 0) throw Interrupted();

  const bool ward = Opt.Linkage == "ward";
  Table mt;
  mt.Name = "merges";
  mt.Title = "Merges (rows are clusters 1.." + std::to_string(n) + ", step s makes cluster " +
             std::to_string(n) + " + s)";
  mt.KeyHeader = "step";
  mt.Columns = {"cluster 1", "cluster 2", "new cluster", "height", "size"};
  if (ward) mt.Columns.push_back("root height");
  std::vector<int32_t> size(static_cast<size_t>(2 * n), 1);
  for (int32_t s = 1; s < n; ++s) {
    const int32_t a = tree.GetVal(1, s), b = tree.GetVal(2, s);
    const int32_t sz = size[static_cast<size_t>(a)] + size[static_cast<size_t>(b)];
    size[static_cast<size_t>(n + s)] = sz;
    const double h = heights.GetVal(s);
    // A pair without a distance (NaN) joins last, at no height.
    const Cell height = std::isfinite(h) ? Cell::Number(h) : Cell::Missing();
    std::vector<Cell> cells = {Cell::Number(a), Cell::Number(b), Cell::Number(tree.GetVal(3, s)),
                               height, Cell::Number(sz)};
    if (ward) cells.push_back(h >= 0 ? Cell::Number(std::sqrt(h)) : Cell::Missing());
    mt.AddRow(std::to_string(s), std::move(cells));
  }
  report.Tables.push_back(std::move(mt));

  const std::vector<int32_t> fileRows = FileRowNumbers(Data);
  if (Opt.K > 0) {
    const std::vector<int32_t> group = CutTree(tree, xpos, n, Opt.K);
    Table gt;
    gt.Name = "groups";
    gt.Title = "Group of every row (tree cut into " + std::to_string(Opt.K) + ")";
    gt.KeyHeader = "row";
    gt.Columns = {"group"};
    for (int32_t r = 0; r < n; ++r)
      gt.AddRow(std::to_string(fileRows[static_cast<size_t>(r)]),
                {Cell::Number(group[static_cast<size_t>(r)])});
    report.Tables.push_back(std::move(gt));
  }
  if (!Opt.PlotFile.empty())
    WritePlot(Dendrogram(tree, heights, xpos, fileRows, Opt.Linkage, Opt.Distance), Opt.PlotFile);
  return report;
}

}  // namespace

Report RunCluster(const DataSet& Data, const Options& Opt) {
  return Opt.Sub == "kmeans" ? RunKMeans(Data, Opt) : RunHier(Data, Opt);
}

}  // namespace nuvstat
