#include <sim/DisplacementField.h>
#include <sim/WarpedGridMesh.h>

#include <platform/crt.h>

#include <benchmark/benchmark.h>

#include "AllocationCounter.h"

#include <memory>

namespace {

std::unique_ptr<DisplacementField> SeededField() {
    crt::srand(1);
    auto field = std::make_unique<DisplacementField>();
    SeedFields(*field);
    return field;
}

void ReportAllocations(benchmark::State& state, long before) {
    const long made = AllocationCount() - before;
    state.counters["allocs/iter"] =
        benchmark::Counter(static_cast<double>(made), benchmark::Counter::kAvgIterations);
}

void BM_StepFields(benchmark::State& state) {
    auto field = SeededField();
    const long before = AllocationCount();
    for (auto _ : state) {
        StepFields(*field);
        benchmark::DoNotOptimize(field->uDisplacement[FieldIndex(25, 25)]);
        benchmark::ClobberMemory();
    }
    ReportAllocations(state, before);
}
BENCHMARK(BM_StepFields);

void BM_WarpedGridMesh(benchmark::State& state) {
    auto field = SeededField();
    const long before = AllocationCount();
    for (auto _ : state) {
        WarpedGridMesh(*field, [](GridVertex* quad) {
            benchmark::DoNotOptimize(quad);
            benchmark::ClobberMemory();
        });
    }
    ReportAllocations(state, before);
}
BENCHMARK(BM_WarpedGridMesh);

} // namespace

BENCHMARK_MAIN();
