// Vector operations against plain loops over std::vector<double> in the same
// run: element-wise work at memory speed, order statistics against one
// nth_element on a copy, text files against to_chars / from_chars loops.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "Nuv_vector/Nuv_vector.h"

namespace {

constexpr int32_t kBig = 10000000;
constexpr int32_t kFile = 1000000;

std::vector<double> RandomData(size_t n, uint32_t seed) {
  std::mt19937_64 gen(seed);
  std::uniform_real_distribution<double> u(-1000.0, 1000.0);
  std::vector<double> d(n);
  for (double& x : d) x = u(gen);
  return d;
}

nuv::TVector* MakeVector(const std::vector<double>& d) {
  auto* v = new nuv::TVector();
  v->Resize(static_cast<int32_t>(d.size()));
  std::copy(d.begin(), d.end(), v->Data());
  return v;
}

struct Fixture {
  std::vector<double> a = RandomData(kBig, 1), b = RandomData(kBig, 2);
  nuv::TVector* va = MakeVector(a);
  nuv::TVector* vb = MakeVector(b);
};

Fixture& Data() {
  static Fixture f;
  return f;
}

void BM_Add(benchmark::State& s) {
  Fixture& d = Data();  // built outside the timed loop
  for (auto _ : s) d.va->Add(d.vb);
}
void BM_PlainAdd(benchmark::State& s) {
  auto& a = Data().a;
  const auto& b = Data().b;
  for (auto _ : s) {
    for (size_t i = 0; i < a.size(); ++i) a[i] += b[i];
    benchmark::ClobberMemory();
  }
}
void BM_SMult(benchmark::State& s) {
  for (auto _ : s) Data().va->SMult(1.0000001);
}
void BM_PlainSMult(benchmark::State& s) {
  auto& a = Data().a;
  for (auto _ : s) {
    for (double& x : a) x *= 1.0000001;
    benchmark::ClobberMemory();
  }
}
void BM_DotProduct(benchmark::State& s) {
  for (auto _ : s) benchmark::DoNotOptimize(Data().va->DotProduct(Data().vb));
}
void BM_PlainDotProduct(benchmark::State& s) {
  const auto& a = Data().a;
  const auto& b = Data().b;
  for (auto _ : s) {
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) sum += a[i] * b[i];
    benchmark::DoNotOptimize(sum);
  }
}
void BM_Sum(benchmark::State& s) {
  for (auto _ : s) benchmark::DoNotOptimize(Data().va->Sum(0, 0));
}
void BM_PlainSum(benchmark::State& s) {
  const auto& a = Data().a;
  for (auto _ : s) {
    double sum = 0;
    for (double x : a) sum += x;
    benchmark::DoNotOptimize(sum);
  }
}
void BM_MeanVar(benchmark::State& s) {
  double m, v;
  for (auto _ : s) {
    Data().va->MeanVar(0, 0, m, v);
    benchmark::DoNotOptimize(v);
  }
}
void BM_PlainMeanVar(benchmark::State& s) {
  const auto& a = Data().a;
  for (auto _ : s) {
    double s1 = 0, s2 = 0;
    for (double x : a) {
      s1 += x;
      s2 += x * x;
    }
    benchmark::DoNotOptimize(s1);
    benchmark::DoNotOptimize(s2);
  }
}
void BM_MinMax(benchmark::State& s) {
  double mn, mx;
  int32_t i, j;
  for (auto _ : s) {
    Data().va->MinMax(0, 0, mn, mx, i, j);
    benchmark::DoNotOptimize(mn);
  }
}
void BM_PlainMinMax(benchmark::State& s) {
  const auto& a = Data().a;
  for (auto _ : s) {
    double mn = a[0], mx = a[0];
    size_t mi = 0, xi = 0;
    for (size_t k = 1; k < a.size(); ++k) {
      if (a[k] < mn) {
        mn = a[k];
        mi = k;
      }
      if (a[k] > mx) {
        mx = a[k];
        xi = k;
      }
    }
    benchmark::DoNotOptimize(mi + xi);
  }
}
void BM_Percentile(benchmark::State& s) {
  for (auto _ : s) benchmark::DoNotOptimize(Data().va->Percentile(37.5, 0, 0));
}
void BM_Quartiles(benchmark::State& s) {
  double q1, q2, q3;
  for (auto _ : s) {
    Data().va->Quartiles(0, 0, q1, q2, q3);
    benchmark::DoNotOptimize(q2);
  }
}
void BM_NthElementOnCopy(benchmark::State& s) {
  const auto& a = Data().a;
  for (auto _ : s) {
    std::vector<double> c(a);
    std::nth_element(c.begin(), c.begin() + static_cast<long>(c.size() / 3), c.end());
    benchmark::DoNotOptimize(c[c.size() / 3]);
  }
}
void BM_Mode(benchmark::State& s) {
  for (auto _ : s) benchmark::DoNotOptimize(Data().va->Mode(0, 0));
}

std::string FilePath() {
  return (std::filesystem::temp_directory_path() / "nuv_vector_bench.txt").string();
}

void BM_StoreOnFile(benchmark::State& s) {
  nuv::TVector* v = MakeVector(RandomData(kFile, 3));
  for (auto _ : s) v->StoreOnFile(1, kFile, 6, FilePath());
  delete v;
}
void BM_PlainToCharsFile(benchmark::State& s) {
  const auto d = RandomData(kFile, 3);
  for (auto _ : s) {
    std::FILE* f = std::fopen(FilePath().c_str(), "wb");
    std::fprintf(f, "1 %d\r\n", kFile);
    char buf[64];
    for (double x : d) {
      auto r = std::to_chars(buf, buf + 62, x, std::chars_format::fixed, 6);
      *r.ptr++ = '\r';
      *r.ptr++ = '\n';
      std::fwrite(buf, 1, static_cast<size_t>(r.ptr - buf), f);
    }
    std::fclose(f);
  }
}
void BM_LoadFromFile(benchmark::State& s) {
  nuv::TVector* v = MakeVector(RandomData(kFile, 3));
  v->StoreOnFile(1, kFile, 6, FilePath());
  nuv::TVector back;
  for (auto _ : s) back.LoadFromFile(FilePath(), true);
  delete v;
}
void BM_PlainFromCharsFile(benchmark::State& s) {
  nuv::TVector* v = MakeVector(RandomData(kFile, 3));
  v->StoreOnFile(1, kFile, 6, FilePath());
  delete v;
  std::vector<double> out(kFile);
  for (auto _ : s) {
    std::ifstream f(FilePath(), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end && *p != '\n') ++p;
    for (double& x : out) {
      while (p < end && (*p == '\r' || *p == '\n' || *p == ' ')) ++p;
      p = std::from_chars(p, end, x).ptr;
    }
    benchmark::DoNotOptimize(out.data());
  }
}

}  // namespace

BENCHMARK(BM_Add)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainAdd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SMult)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainSMult)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DotProduct)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainDotProduct)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sum)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainSum)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeanVar)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainMeanVar)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MinMax)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainMinMax)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Percentile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Quartiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NthElementOnCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mode)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_StoreOnFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainToCharsFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainFromCharsFile)->Unit(benchmark::kMillisecond);
