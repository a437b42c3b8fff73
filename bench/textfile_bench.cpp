// Reading 10^6 numbers from a vector text file: TTextReader::ReadDouble
// against a bare std::from_chars loop over the same bytes.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>

#include "foundation/frame.h"

namespace {

constexpr int kCount = 1000000;

// One number per line, CRLF, as the vector text files hold them.
const std::string& NumberFile() {
  static const std::string path = [] {
    const std::string p =
        (std::filesystem::temp_directory_path() / "nuv_textfile_bench.txt").string();
    nuv::SetRandSeed(12345);
    nuv::TTextWriter w(p);
    w.WriteLine("1 1000000");
    for (int i = 0; i < kCount; ++i) w.WriteLine(nuv::strff((nuv::Random() - 0.5) * 2000.0, 1, 6));
    w.Close();
    return p;
  }();
  return path;
}

std::string FileContent(const std::string& path) {
  std::string s;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  char buf[1 << 16];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
  std::fclose(f);
  return s;
}

double FromCharsSum(const std::string& s) {
  const char* p = s.data();
  const char* end = p + s.size();
  double sum = 0.0;
  while (p < end) {
    while (p < end && static_cast<unsigned char>(*p) <= ' ') ++p;
    if (p == end) break;
    double v = 0.0;
    const auto r = std::from_chars(p, end, v);
    if (r.ec != std::errc()) break;
    sum += v;
    p = r.ptr;
  }
  return sum;
}

void BM_TextReaderReadDouble(benchmark::State& state) {
  const std::string& path = NumberFile();
  for (auto _ : state) {
    nuv::TTextReader r(path);
    double v = 0.0, sum = 0.0;
    while (r.ReadDouble(v)) sum += v;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * (kCount + 2));
}
BENCHMARK(BM_TextReaderReadDouble)->Unit(benchmark::kMillisecond);

// The same bytes already in memory: the parse alone.
void BM_FromCharsInMemory(benchmark::State& state) {
  const std::string content = FileContent(NumberFile());
  for (auto _ : state) benchmark::DoNotOptimize(FromCharsSum(content));
  state.SetItemsProcessed(state.iterations() * (kCount + 2));
}
BENCHMARK(BM_FromCharsInMemory)->Unit(benchmark::kMillisecond);

// Reading the file into a string, then the loop: the fair peer of the reader.
void BM_FromCharsWithFileRead(benchmark::State& state) {
  const std::string& path = NumberFile();
  for (auto _ : state) benchmark::DoNotOptimize(FromCharsSum(FileContent(path)));
  state.SetItemsProcessed(state.iterations() * (kCount + 2));
}
BENCHMARK(BM_FromCharsWithFileRead)->Unit(benchmark::kMillisecond);

void BM_TextReaderReadLine(benchmark::State& state) {
  const std::string& path = NumberFile();
  for (auto _ : state) {
    nuv::TTextReader r(path);
    std::string line;
    int64_t n = 0;
    while (r.ReadLine(line)) n += static_cast<int64_t>(line.size());
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_TextReaderReadLine)->Unit(benchmark::kMillisecond);

}  // namespace
