// XML files of a 1000 x 1000 TMatrix against the delimited text files of the
// same matrix: writing, reading, and both (the target is XML within 3x of text).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "Nuv_matrix/Nuv_matrix.h"

namespace {

constexpr int32_t kN = 1000;

const nuv::TMatrix& Source() {
  static nuv::TMatrix m;
  if (m.NrOfColumns() != kN) {
    nuv::SetRandSeed(17);
    m.Resize(kN, kN);
    m.FillRandomGauss(0.0, 1.0);
  }
  return m;
}

std::string Path(const char* ext) { return std::string("nuv_matrix_xml_bench.") + ext; }

void BM_WriteText(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(Source().StoreOnFile(Path("csv")));
  std::remove(Path("csv").c_str());
}
BENCHMARK(BM_WriteText)->Unit(benchmark::kMillisecond);

void BM_WriteXML(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(Source().SaveAsXMLFile(Path("xml")));
  std::remove(Path("xml").c_str());
}
BENCHMARK(BM_WriteXML)->Unit(benchmark::kMillisecond);

void BM_ReadText(benchmark::State& state) {
  Source().StoreOnFile(Path("csv"));
  nuv::TMatrix m;
  for (auto _ : state) benchmark::DoNotOptimize(m.LoadFromFile(Path("csv"), true));
  std::remove(Path("csv").c_str());
}
BENCHMARK(BM_ReadText)->Unit(benchmark::kMillisecond);

void BM_ReadXML(benchmark::State& state) {
  Source().SaveAsXMLFile(Path("xml"));
  nuv::TMatrix m;
  for (auto _ : state) benchmark::DoNotOptimize(m.LoadFromXMLFile(Path("xml")));
  std::remove(Path("xml").c_str());
}
BENCHMARK(BM_ReadXML)->Unit(benchmark::kMillisecond);

void BM_WriteReadText(benchmark::State& state) {
  nuv::TMatrix m;
  for (auto _ : state) {
    Source().StoreOnFile(Path("csv"));
    benchmark::DoNotOptimize(m.LoadFromFile(Path("csv"), true));
  }
  std::remove(Path("csv").c_str());
}
BENCHMARK(BM_WriteReadText)->Unit(benchmark::kMillisecond);

void BM_WriteReadXML(benchmark::State& state) {
  nuv::TMatrix m;
  for (auto _ : state) {
    Source().SaveAsXMLFile(Path("xml"));
    benchmark::DoNotOptimize(m.LoadFromXMLFile(Path("xml")));
  }
  std::remove(Path("xml").c_str());
}
BENCHMARK(BM_WriteReadXML)->Unit(benchmark::kMillisecond);

}  // namespace
