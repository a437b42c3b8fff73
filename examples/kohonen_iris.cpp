// A self-organizing map of Fisher's Iris flowers: train an 8 x 8 map on the
// four standardized measurements, map every flower to its best-matching cell
// and show which cells the three species occupy. The bundled data list the
// species in order, 50 flowers each: setosa, versicolor, virginica.
//
// Usage: example_kohonen_iris [path to iris.csv]   (default data/iris.csv)
// Exits with failure when the species do not fall into mostly separate
// regions of the map, as a trained map's do.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Nuv_kohonen/Nuv_kohonen.h"
#include "Nuv_math1/Nuv_math1.h"

namespace {

// Count[x][y][s]: flowers of species s whose best cell is (x, y).
using TCellCounts = std::vector<std::vector<std::vector<int>>>;

// Of all pairs of flowers in neighbouring cells (one step apart, diagonals
// included), the share of the same species. Regions make it high; cells
// scattered at random, as an untrained map's are, make it low.
double NeighbourAgreement(const TCellCounts& Count) {
  const int size = static_cast<int>(Count.size());
  long same = 0, all = 0;
  for (int x1 = 0; x1 < size; ++x1)
    for (int y1 = 0; y1 < size; ++y1)
      for (int x2 = std::max(x1 - 1, 0); x2 <= std::min(x1 + 1, size - 1); ++x2)
        for (int y2 = std::max(y1 - 1, 0); y2 <= std::min(y1 + 1, size - 1); ++y2) {
          if (x1 == x2 && y1 == y2) continue;
          for (int s1 = 0; s1 < 3; ++s1)
            for (int s2 = 0; s2 < 3; ++s2) {
              const long pairs = static_cast<long>(Count[x1][y1][s1]) * Count[x2][y2][s2];
              all += pairs;
              if (s1 == s2) same += pairs;
            }
        }
  return all > 0 ? static_cast<double>(same) / all : 0.0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : "data/iris.csv";
  nuv::TMatrix iris;
  if (!iris.LoadFromFile(path, true) || iris.NrOfRows() != 150 || iris.NrOfColumns() != 4) {
    std::fprintf(stderr, "cannot read the 150 x 4 Iris data from %s\n", path.c_str());
    return EXIT_FAILURE;
  }
  const char* const names[3] = {"setosa", "versicolor", "virginica"};
  const char letters[3] = {'S', 'c', 'V'};
  auto species = [](int32_t row) { return (row - 1) / 50; };

  constexpr int32_t kSize = 8;
  nuv::TKohonen map;
  map.SetName("IrisMap");
  map.SetDataMat(&iris);  // a copy: iris keeps the raw measurements
  map.SetSizeX(kSize);
  map.SetSizeY(kSize);
  map.SetInitialNeighbors(4);
  map.SetNrOfTrnSteps(101);
  map.SetInitialAlpha(0.5);
  map.StandardizeData();
  int32_t lastReport = 0;
  map.SetOnFeedback([&](nuv::TObject*, int32_t percent) {
    if (percent / 25 != lastReport / 25) std::printf("training: %d%%\n", percent);
    lastReport = percent;
  });
  nuv::SetRandSeed(1936);  // the year Fisher published the data
  map.Trainit();

  TCellCounts count(
      kSize, std::vector<std::vector<int>>(kSize, std::vector<int>(3, 0)));
  nuv::TVector flower;
  flower.SetVecSize(4);
  double sumDist = 0;
  for (int32_t r = 1; r <= 150; ++r) {
    for (int32_t c = 1; c <= 4; ++c) flower.SetVal(c, iris.GetVal(c, r));
    int32_t bx = 0, by = 0;
    double dist = 0;
    map.ApplyIt(&flower, bx, by, dist);  // raw values: ApplyIt standardizes them
    ++count[bx - 1][by - 1][species(r)];
    sumDist += dist;
  }

  std::printf("\nbest cells (S setosa, c versicolor, V virginica, * mixed, . empty):\n");
  int cells[3] = {0, 0, 0}, mixed = 0, majority = 0;
  for (int32_t y = 0; y < kSize; ++y) {
    std::printf("  ");
    for (int32_t x = 0; x < kSize; ++x) {
      const std::vector<int>& n = count[x][y];
      const int kinds = (n[0] > 0) + (n[1] > 0) + (n[2] > 0);
      char mark = '.';
      for (int s = 0; s < 3; ++s)
        if (n[s] > 0) {
          ++cells[s];
          mark = letters[s];
        }
      if (kinds > 1) {
        mark = '*';
        ++mixed;
      }
      majority += std::max(n[0], std::max(n[1], n[2]));
      std::printf(" %c", mark);
    }
    std::printf("\n");
  }
  std::printf("\n");
  for (int s = 0; s < 3; ++s) std::printf("%-10s occupies %2d cells\n", names[s], cells[s]);
  std::printf("mixed cells: %d\n", mixed);
  const double purity = majority / 150.0;
  std::printf("flowers in a cell where their species is the majority: %.1f%%\n", 100 * purity);
  const double agreement = NeighbourAgreement(count);
  std::printf("pairs of flowers in neighbouring cells of the same species: %.1f%%\n",
              100 * agreement);
  std::printf("mean squared distance to the best cell (standardized units): %.3f\n",
              sumDist / 150);
  std::printf("weights of cell (1, 1) in cm: %.2f %.2f %.2f %.2f\n", map.GetWeight(1, 1, 1),
              map.GetWeight(1, 1, 2), map.GetWeight(1, 1, 3), map.GetWeight(1, 1, 4));

  // A trained map keeps the species in mostly separate regions: its cells are
  // nearly pure and neighbouring cells mostly hold the same species. (The
  // random weights before training score about 80% and 1..55% here.)
  if (purity < 0.9 || agreement < 0.7) {
    std::printf("the species are not separated\n");
    return EXIT_FAILURE;
  }
  return EXIT_SUCCESS;
}
