#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "Nuv_math1/formatting.h"

// Number text per value against the C library's printf/strtod, which do the
// same work through the locale.

namespace {

std::vector<double> Values() {
  std::mt19937_64 gen(7);
  std::uniform_real_distribution<double> mant(1.0, 10.0);
  std::uniform_int_distribution<int> expo(-30, 30);
  std::vector<double> v(1024);
  for (double& x : v) x = mant(gen) * std::pow(10.0, expo(gen)) * (gen() & 1 ? 1 : -1);
  return v;
}

const std::vector<double> kValues = Values();

std::vector<std::string> Texts(std::string (*Format)(double)) {
  std::vector<std::string> t;
  for (double x : kValues) t.push_back(Format(x));
  return t;
}

}  // namespace

static void BM_strf_Scientific(benchmark::State& state) {
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(nuv::strf(kValues[i++ & 1023], 26, -1));
}
BENCHMARK(BM_strf_Scientific);

static void BM_snprintf_Scientific(benchmark::State& state) {
  size_t i = 0;
  char buf[64];
  for (auto _ : state) {
    std::snprintf(buf, sizeof buf, "%26.17E", kValues[i++ & 1023]);
    benchmark::DoNotOptimize(std::string(buf));
  }
}
BENCHMARK(BM_snprintf_Scientific);

static void BM_EEngStr(benchmark::State& state) {
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(nuv::EEngStr(kValues[i++ & 1023], 4));
}
BENCHMARK(BM_EEngStr);

static void BM_MakeEFormat(benchmark::State& state) {
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(nuv::MakeEFormat(kValues[i++ & 1023], 12, 6));
}
BENCHMARK(BM_MakeEFormat);

static void BM_ScanFPNum_Scientific(benchmark::State& state) {
  const auto texts = Texts([](double x) { return nuv::strf(x, 26, -1); });
  size_t i = 0;
  double v = 0;
  for (auto _ : state) {
    int32_t pos = 1;
    benchmark::DoNotOptimize(nuv::ScanFPNum(texts[i++ & 1023], pos, v));
  }
}
BENCHMARK(BM_ScanFPNum_Scientific);

static void BM_strtod_Scientific(benchmark::State& state) {
  const auto texts = Texts([](double x) { return nuv::strf(x, 26, -1); });
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(std::strtod(texts[i++ & 1023].c_str(), nullptr));
}
BENCHMARK(BM_strtod_Scientific);

static void BM_ScanFPNum_Engineering(benchmark::State& state) {
  const auto texts = Texts([](double x) { return nuv::EEngStr(x, -4); });
  size_t i = 0;
  double v = 0;
  for (auto _ : state) {
    int32_t pos = 1;
    benchmark::DoNotOptimize(nuv::ScanFPNum(texts[i++ & 1023], pos, v));
  }
}
BENCHMARK(BM_ScanFPNum_Engineering);

static void BM_FPNumToHex_HexToDouble(benchmark::State& state) {
  size_t i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(nuv::HexToDouble(nuv::FPNumToHex(kValues[i++ & 1023])));
}
BENCHMARK(BM_FPNumToHex_HexToDouble);

static void BM_DegreeToStr_Seconds(benchmark::State& state) {
  size_t i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(nuv::DegreeToStr(kValues[i++ & 1023], nuv::dfDegMinDecSeconds, 3));
}
BENCHMARK(BM_DegreeToStr_Seconds);
