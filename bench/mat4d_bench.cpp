// The 4-D array against plain code over the same memory, side by side in one
// run, on a 256 x 256 x 16 x 16 array (16.8 million doubles, 134 MB):
// SaveBinary / LoadBinary against one fwrite / fread of the same bytes,
// ReadLayer of a file of 16 slots against one of 1 slot, the block and
// per-pixel statistics, Cut, Transpose, Resample and Clone against plain
// loops, and Percentile against one nth_element on a copy. The files go to
// the temporary directory and are removed at exit.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"

namespace {

constexpr int32_t kX = 256, kY = 256, kZ = 16, kT = 16;
constexpr size_t kPlane = size_t{kX} * kY;
constexpr size_t kCount = kPlane * kZ * kT;

struct Fixture {
  nuv::TMat4D a, b;
  std::string file, oneSlot, plainFile;
  Fixture() {
    a.Resize(kX, kY, kZ, kT);
    std::mt19937_64 gen(7);
    std::uniform_real_distribution<double> u(-1000.0, 1000.0);
    double* p = a.Data();
    for (size_t i = 0; i < kCount; ++i) p[i] = u(gen);
    const auto dir = std::filesystem::temp_directory_path();
    const std::string tag = std::to_string(std::random_device{}());
    file = (dir / ("nuv_mat4d_bench_" + tag + ".bin")).string();
    oneSlot = (dir / ("nuv_mat4d_bench_" + tag + "_1.bin")).string();
    plainFile = (dir / ("nuv_mat4d_bench_" + tag + "_plain.bin")).string();
    a.SaveBinary(file, 0, 0);
    a.SaveBinary(oneSlot, 1, 1);
  }
  ~Fixture() {
    std::remove(file.c_str());
    std::remove(oneSlot.c_str());
    std::remove(plainFile.c_str());
  }
};

Fixture& Data() {
  static Fixture f;
  return f;
}

// ------------------------------------------------------------------ files

void BM_SaveBinary(benchmark::State& s) {
  Fixture& f = Data();
  for (auto _ : s) f.a.SaveBinary(f.plainFile, 0, 0);
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations() * kCount * 8));
}
BENCHMARK(BM_SaveBinary)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainFwrite(benchmark::State& s) {
  Fixture& f = Data();
  std::vector<unsigned char> header(4096, 0);
  for (auto _ : s) {
    std::FILE* out = std::fopen(f.plainFile.c_str(), "wb");
    std::fwrite(header.data(), 1, header.size(), out);
    std::fwrite(f.a.Data(), 8, kCount, out);
    std::fclose(out);
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations() * kCount * 8));
}
BENCHMARK(BM_PlainFwrite)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadBinary(benchmark::State& s) {
  Fixture& f = Data();
  for (auto _ : s) f.b.LoadBinary(f.file, 0, 0);
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations() * kCount * 8));
}
BENCHMARK(BM_LoadBinary)->Unit(benchmark::kMillisecond)->UseRealTime();

// Arg 1: into a buffer allocated for each read, as a load into a new array
// must; arg 0: into the same buffer every time.
void BM_PlainFread(benchmark::State& s) {
  Fixture& f = Data();
  std::vector<double> warm(s.range(0) == 0 ? kCount : 0);
  for (auto _ : s) {
    std::unique_ptr<double[]> fresh(s.range(0) == 1 ? new double[kCount] : nullptr);
    double* to = fresh ? fresh.get() : warm.data();
    std::FILE* in = std::fopen(f.file.c_str(), "rb");
    std::fseek(in, 4096, SEEK_SET);
    benchmark::DoNotOptimize(std::fread(to, 8, kCount, in));
    std::fclose(in);
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations() * kCount * 8));
}
BENCHMARK(BM_PlainFread)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// One layer of the last slot: a file of 16 slots against one of 1 slot.
void BM_ReadLayer(benchmark::State& s) {
  Fixture& f = Data();
  f.b.Resize(kX, kY, kZ, kT);
  const bool many = s.range(0) == 16;
  for (auto _ : s) f.b.ReadLayer(many ? f.file : f.oneSlot, 9, many ? 16 : 1);
}
BENCHMARK(BM_ReadLayer)->Arg(16)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

// ------------------------------------------------------------ statistics

void BM_MeanOfLayersToMatrix(benchmark::State& s) {
  nuv::TMatrix d;
  for (auto _ : s) Data().a.MeanOfLayersToMatrix(&d, 0, 0, 0, 0, 0, 0, 0, 0);
}
BENCHMARK(BM_MeanOfLayersToMatrix)->Unit(benchmark::kMillisecond);

void BM_StdDevOfLayersToMatrix(benchmark::State& s) {
  nuv::TMatrix d;
  for (auto _ : s) Data().a.StdDevOfLayersToMatrix(&d, 0, 0, 0, 0, 0, 0, 0, 0);
}
BENCHMARK(BM_StdDevOfLayersToMatrix)->Unit(benchmark::kMillisecond);

// Per-pixel sums of every layer and slot, plane after plane.
void BM_PlainPixelSums(benchmark::State& s) {
  const double* p = Data().a.Data();
  std::vector<double> sum(kPlane), sq(kPlane);
  const bool squares = s.range(0) == 1;
  for (auto _ : s) {
    std::fill(sum.begin(), sum.end(), 0.0);
    std::fill(sq.begin(), sq.end(), 0.0);
    for (size_t k = 0; k < kZ * kT; ++k) {
      const double* q = p + k * kPlane;
      for (size_t i = 0; i < kPlane; ++i) sum[i] += q[i];
      if (squares)
        for (size_t i = 0; i < kPlane; ++i) sq[i] += q[i] * q[i];
    }
    benchmark::DoNotOptimize(sum.data());
    benchmark::DoNotOptimize(sq.data());
  }
}
BENCHMARK(BM_PlainPixelSums)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_MinMax(benchmark::State& s) {
  double mn, mx;
  for (auto _ : s) {
    Data().a.MinMax(0, 0, 0, 0, 0, 0, 0, 0, mn, mx);
    benchmark::DoNotOptimize(mn + mx);
  }
}
BENCHMARK(BM_MinMax)->Unit(benchmark::kMillisecond);

void BM_PlainMinMax(benchmark::State& s) {
  const double* p = Data().a.Data();
  for (auto _ : s) {
    const auto mm = std::minmax_element(p, p + kCount);
    benchmark::DoNotOptimize(*mm.first + *mm.second);
  }
}
BENCHMARK(BM_PlainMinMax)->Unit(benchmark::kMillisecond);

void BM_Sum(benchmark::State& s) {
  for (auto _ : s) benchmark::DoNotOptimize(Data().a.Sum(0, 0, 0, 0, 0, 0, 0, 0));
}
BENCHMARK(BM_Sum)->Unit(benchmark::kMillisecond);

void BM_PlainSum(benchmark::State& s) {
  const double* p = Data().a.Data();
  for (auto _ : s) {
    double a0 = 0, a1 = 0, a2 = 0, a3 = 0;
    for (size_t i = 0; i < kCount; i += 4) a0 += p[i], a1 += p[i + 1], a2 += p[i + 2], a3 += p[i + 3];
    benchmark::DoNotOptimize(a0 + a1 + a2 + a3);
  }
}
BENCHMARK(BM_PlainSum)->Unit(benchmark::kMillisecond);

// -------------------------------------------------------------- reshaping

// Cut: the middle half of the columns and rows of every layer and slot.
void BM_Cut(benchmark::State& s) {
  Fixture& f = Data();
  for (auto _ : s) {
    s.PauseTiming();
    f.b.Assign(&f.a);
    s.ResumeTiming();
    f.b.Cut(65, 192, 65, 192, 0, 0, 0, 0);
  }
}
BENCHMARK(BM_Cut)->Unit(benchmark::kMillisecond);

void BM_PlainCut(benchmark::State& s) {
  const double* p = Data().a.Data();
  for (auto _ : s) {
    std::vector<double> out(kCount / 4);
    double* o = out.data();
    for (size_t k = 0; k < kZ * kT; ++k)
      for (size_t y = 64; y < 192; ++y)
        for (size_t x = 64; x < 192; ++x) *o++ = p[k * kPlane + y * kX + x];
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_PlainCut)->Unit(benchmark::kMillisecond);

void BM_Transpose(benchmark::State& s) {
  Fixture& f = Data();
  f.b.Assign(&f.a);
  for (auto _ : s) f.b.Transpose();  // a square image keeps its shape
}
BENCHMARK(BM_Transpose)->Unit(benchmark::kMillisecond);

void BM_PlainTranspose(benchmark::State& s) {
  const double* p = Data().a.Data();
  for (auto _ : s) {
    std::vector<double> out(kCount);
    for (size_t k = 0; k < kZ * kT; ++k)
      for (size_t y = 0; y < kY; ++y)
        for (size_t x = 0; x < kX; ++x) out[k * kPlane + x * kY + y] = p[k * kPlane + y * kX + x];
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_PlainTranspose)->Unit(benchmark::kMillisecond);

// Resample: averages of 2 x 2 pixel blocks.
void BM_Resample(benchmark::State& s) {
  Fixture& f = Data();
  for (auto _ : s) {
    s.PauseTiming();
    f.b.Assign(&f.a);
    s.ResumeTiming();
    f.b.Resample(2, 0, 2, 0, 1, 0, 1, 0, true);
  }
}
BENCHMARK(BM_Resample)->Unit(benchmark::kMillisecond);

void BM_PlainResample(benchmark::State& s) {
  const double* p = Data().a.Data();
  for (auto _ : s) {
    std::vector<double> out(kCount / 4);
    double* o = out.data();
    for (size_t k = 0; k < kZ * kT; ++k)
      for (size_t y = 0; y < kY; y += 2) {
        const double* r0 = p + k * kPlane + y * kX;
        const double* r1 = r0 + kX;
        for (size_t x = 0; x < kX; x += 2) *o++ = (r0[x] + r0[x + 1] + r1[x] + r1[x + 1]) / 4;
      }
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_PlainResample)->Unit(benchmark::kMillisecond);

void BM_Clone(benchmark::State& s) {
  Fixture& f = Data();
  for (auto _ : s) f.b.Clone(&f.a);
}
BENCHMARK(BM_Clone)->Unit(benchmark::kMillisecond);

void BM_PlainCopy(benchmark::State& s) {
  const double* p = Data().a.Data();
  std::vector<double> out(kCount);
  for (auto _ : s) {
    std::copy(p, p + kCount, out.data());
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond);

// ------------------------------------------------------------- percentile

// Arg 0: general data; arg 1: a zero background with 2 % other values.
void PrepareB(int64_t Kind) {
  Fixture& f = Data();
  f.b.Assign(&f.a);
  if (Kind == 1) {
    double* p = f.b.Data();
    for (size_t i = 0; i < kCount; ++i)
      if (i % 50 != 0) p[i] = 0.0;
  }
}

void BM_Percentile(benchmark::State& s) {
  PrepareB(s.range(0));
  for (auto _ : s) benchmark::DoNotOptimize(Data().b.Percentile(50, 0, 0, 0, 0, 0, 0, 0, 0));
}
BENCHMARK(BM_Percentile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PlainNthElement(benchmark::State& s) {
  PrepareB(s.range(0));
  const double* p = Data().b.Data();
  for (auto _ : s) {
    std::vector<double> w(p, p + kCount);
    std::nth_element(w.begin(), w.begin() + static_cast<ptrdiff_t>(kCount / 2), w.end());
    benchmark::DoNotOptimize(w[kCount / 2]);
  }
}
BENCHMARK(BM_PlainNthElement)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
