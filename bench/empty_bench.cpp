#include <benchmark/benchmark.h>

#include "foundation/frame.h"

// Cost of a progress step with no hook assigned: it sits in every long loop.
static void BM_ProgressStepUnassigned(benchmark::State& state) {
  for (auto _ : state) nuv::ProgressStep();
}
BENCHMARK(BM_ProgressStepUnassigned);
