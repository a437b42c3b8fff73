// Data tables: ImportFromCSV of 10^6 rows x 10 numeric columns against a bare
// std::from_chars loop over the same bytes (and with one text column added);
// SortRows of 10^5 rows against the matrix's SortRows; block statistics
// against the matrix's. pandas.read_csv of the same text is timed by
// bench/datatable_pandas.py.
#include <benchmark/benchmark.h>

#include <charconv>
#include <string>

#include "Nuv_datatable/Nuv_datatable.h"

namespace {

constexpr int kRows = 1000000;
constexpr int kCols = 10;
const char* const kSpecies[] = {"setosa", "versicolor", "virginica"};

// Numbers with six decimals in -1000..1000, as measurements are written;
// with Text a species column at the end.
std::string MakeCSV(bool Text) {
  nuv::SetRandSeed(4711);
  std::string s;
  s.reserve(static_cast<size_t>(kRows) * (kCols * 12 + 12));
  for (int c = 1; c <= kCols; ++c) s += (c > 1 ? ",x" : "x") + std::to_string(c);
  if (Text) s += ",species";
  s += "\n";
  char buf[32];
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < kCols; ++c) {
      if (c > 0) s += ',';
      const auto res = std::to_chars(buf, buf + sizeof buf, (nuv::Random() - 0.5) * 2000.0,
                                     std::chars_format::fixed, 6);
      s.append(buf, res.ptr);
    }
    if (Text) {
      s += ',';
      s += kSpecies[r % 3];
    }
    s += '\n';
  }
  return s;
}

const std::string& Numeric() {
  static const std::string s = MakeCSV(false);
  return s;
}
const std::string& WithText() {
  static const std::string s = MakeCSV(true);
  return s;
}

void BM_FromCharsLoop(benchmark::State& state) {
  const std::string& text = Numeric();
  for (auto _ : state) {
    const char* p = text.data() + text.find('\n') + 1;
    const char* end = text.data() + text.size();
    double sum = 0.0, v = 0.0;
    while (p < end) {
      p = std::from_chars(p, end, v).ptr + 1;  // past the comma or line end
      sum += v;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_FromCharsLoop)->Unit(benchmark::kMillisecond);

void ImportBench(benchmark::State& state, const std::string& text) {
  nuv::TDataTable t;
  nuv::TCSVImportOptions opt;
  nuv::TCSVImportInfo info;
  for (auto _ : state) {
    if (!t.ImportFromCSVText(text, opt, info)) state.SkipWithError(info.ErrorMessage().c_str());
    benchmark::DoNotOptimize(t.NumericData->ColData(1));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}

void BM_ImportFromCSV_Numeric(benchmark::State& state) { ImportBench(state, Numeric()); }
BENCHMARK(BM_ImportFromCSV_Numeric)->Unit(benchmark::kMillisecond);

void BM_ImportFromCSV_TextColumn(benchmark::State& state) { ImportBench(state, WithText()); }
BENCHMARK(BM_ImportFromCSV_TextColumn)->Unit(benchmark::kMillisecond);

constexpr int kSortRows = 100000;
constexpr int kSortCols = 5;

void FillRandom(nuv::TMatrix& m) {
  nuv::SetRandSeed(99);
  m.Resize(kSortCols, kSortRows);
  m.FillRandomUniform(0, 1);
}

void BM_SortRows_Matrix(benchmark::State& state) {
  nuv::TMatrix m;
  for (auto _ : state) {
    state.PauseTiming();
    FillRandom(m);
    state.ResumeTiming();
    m.SortRows(1, true, 0, 0, 0, 0);
  }
}
BENCHMARK(BM_SortRows_Matrix)->Unit(benchmark::kMillisecond);

void BM_SortRows_Table(benchmark::State& state) {
  nuv::TDataTable t;
  t.Resize(kSortCols, kSortRows);
  for (auto _ : state) {
    state.PauseTiming();
    FillRandom(*t.NumericData);
    state.ResumeTiming();
    t.SortRows(1, true, 0, 0, 0, 0, true);
  }
}
BENCHMARK(BM_SortRows_Table)->Unit(benchmark::kMillisecond);

// Block statistics over 10^6 x 10 cells without a missing one.
struct TStatsData {
  nuv::TDataTable Table;
  TStatsData() {
    Table.Resize(kCols, kRows);
    nuv::SetRandSeed(7);
    Table.NumericData->FillRandomUniform(-1, 1);
  }
};
TStatsData& Stats() {
  static TStatsData d;
  return d;
}

void BM_MeanVar_Matrix(benchmark::State& state) {
  const nuv::TMatrix& m = *Stats().Table.NumericData;
  double mean = 0, var = 0;
  for (auto _ : state) {
    m.MeanVar(0, 0, 0, 0, mean, var);
    benchmark::DoNotOptimize(var);
  }
}
BENCHMARK(BM_MeanVar_Matrix)->Unit(benchmark::kMillisecond);

void BM_MeanVarOfNumCells_Table(benchmark::State& state) {
  const nuv::TDataTable& t = Stats().Table;
  double mean = 0, var = 0;
  for (auto _ : state) {
    t.MeanVarOfNumCells(0, 0, 0, 0, mean, var);
    benchmark::DoNotOptimize(var);
  }
}
BENCHMARK(BM_MeanVarOfNumCells_Table)->Unit(benchmark::kMillisecond);

void BM_MinMax_Matrix(benchmark::State& state) {
  const nuv::TMatrix& m = *Stats().Table.NumericData;
  double mn = 0, mx = 0;
  for (auto _ : state) {
    m.MinMax(0, 0, 0, 0, mn, mx);
    benchmark::DoNotOptimize(mx);
  }
}
BENCHMARK(BM_MinMax_Matrix)->Unit(benchmark::kMillisecond);

void BM_MinMaxOfNumCells_Table(benchmark::State& state) {
  const nuv::TDataTable& t = Stats().Table;
  double mn = 0, mx = 0;
  for (auto _ : state) {
    t.MinMaxOfNumCells(0, 0, 0, 0, mn, mx);
    benchmark::DoNotOptimize(mx);
  }
}
BENCHMARK(BM_MinMaxOfNumCells_Table)->Unit(benchmark::kMillisecond);

}  // namespace
