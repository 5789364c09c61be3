// Placeholder: replaced by the detection benchmark.
#include <benchmark/benchmark.h>

static void Placeholder(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(state.iterations());
}
BENCHMARK(Placeholder);
BENCHMARK_MAIN();
