// TKohonen: training of a 20 x 20 map of 10 inputs on 10^4 objects for 50
// steps, and the winner search of ApplyIt over 10^4 objects against a plain
// loop over the same contiguous weights in the same run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "Nuv_kohonen/Nuv_kohonen.h"
#include "Nuv_math1/Nuv_math1.h"

namespace {

constexpr int32_t kSide = 20, kInputs = 10, kObjects = 10000, kSteps = 50;

// Objects around eight centres, row after row.
struct Fixture {
  nuv::TMatrix data;
  std::vector<double> rows;  // the objects again, one after the other
  nuv::TKohonen map;
  std::vector<double> weights;  // the map's weights, cell after cell
  Fixture() {
    data.Resize(kInputs, kObjects);
    std::mt19937_64 gen(5);
    std::normal_distribution<double> noise(0.0, 0.3);
    std::uniform_int_distribution<int> centre(0, 7);
    for (int32_t r = 1; r <= kObjects; ++r) {
      const int c = centre(gen);
      for (int32_t z = 1; z <= kInputs; ++z) {
        const double v = ((c >> (z % 3)) & 1) + 0.5 * (z % 2) + noise(gen);
        data.SetVal(z, r, v);
        rows.push_back(v);
      }
    }
    map.SetDataMat(&data);
    map.SetSizeX(kSide);
    map.SetSizeY(kSide);
    map.SetNrOfTrnSteps(11);
    nuv::SetRandSeed(1);
    map.Trainit();
    for (int32_t x = 1; x <= kSide; ++x)
      for (int32_t y = 1; y <= kSide; ++y)
        for (int32_t z = 1; z <= kInputs; ++z) weights.push_back(map.GetWeight(x, y, z));
  }
};

Fixture& Data() {
  static Fixture f;
  return f;
}

void BM_Train(benchmark::State& s) {
  Fixture& f = Data();
  nuv::TKohonen map;
  map.SetDataMat(&f.data);
  map.SetSizeX(kSide);
  map.SetSizeY(kSide);
  map.SetInitialNeighbors(5);
  map.SetNrOfTrnSteps(kSteps + 1);  // Trainit makes NrOfTrnSteps - 1 steps
  for (auto _ : s) {
    nuv::SetRandSeed(2);
    map.Trainit();
    benchmark::DoNotOptimize(map.GetWeight(1, 1, 1));
  }
  s.counters["steps"] = map.CurStep() - 1;
}
BENCHMARK(BM_Train)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_WinnerSearchApplyIt(benchmark::State& s) {
  Fixture& f = Data();
  nuv::TVector in;
  in.SetVecSize(kInputs);
  int64_t sum = 0;
  for (auto _ : s) {
    for (int32_t r = 0; r < kObjects; ++r) {
      double* v = in.Data();
      for (int32_t z = 0; z < kInputs; ++z) v[z] = f.rows[static_cast<size_t>(r) * kInputs + z];
      int32_t bx = 0, by = 0;
      double d = 0;
      f.map.ApplyIt(&in, bx, by, d);
      sum += bx * kSide + by;
    }
  }
  benchmark::DoNotOptimize(sum);
  s.SetItemsProcessed(s.iterations() * kObjects);
}
BENCHMARK(BM_WinnerSearchApplyIt)->Unit(benchmark::kMillisecond);

void BM_WinnerSearchPlainLoop(benchmark::State& s) {
  Fixture& f = Data();
  const size_t cells = size_t{kSide} * kSide;
  int64_t sum = 0;
  for (auto _ : s) {
    for (int32_t r = 0; r < kObjects; ++r) {
      const double* o = f.rows.data() + static_cast<size_t>(r) * kInputs;
      const double* w = f.weights.data();
      double best = 1.79e308;
      size_t win = 0;
      for (size_t c = 0; c < cells; ++c, w += kInputs) {
        double d = 0;
        for (int32_t z = 0; z < kInputs; ++z) d += (w[z] - o[z]) * (w[z] - o[z]);
        if (d < best) {
          best = d;
          win = c;
        }
      }
      sum += static_cast<int64_t>(win);
    }
  }
  benchmark::DoNotOptimize(sum);
  s.SetItemsProcessed(s.iterations() * kObjects);
}
BENCHMARK(BM_WinnerSearchPlainLoop)->Unit(benchmark::kMillisecond);

}  // namespace
