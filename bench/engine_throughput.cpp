// How many samples per second the engine moves through a chain of filters,
// with and without a delivery queue. The engine's own overhead per sample
// bounds how fast a conversion can run, so this should stay far above any
// real frame rate (hundreds of thousands of samples per second).
#include <benchmark/benchmark.h>

#include "tests/platform/dshow/graph_harness.h"
#include "tests/platform/dshow/test_filters.h"

using namespace testing_filters;

static void RunChain(benchmark::State& state, bool queued)
{
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        GraphHarness h;
        auto* source = new CNumberedSource({.count = count});
        auto* pass = new CPassThrough();
        auto* converter = new CConverter(CLSID_ConverterAB, kSubtypeA, kSubtypeB);
        auto* sink = new CTestSink(kSubtypeB);
        ComPtr<IBaseFilter> refs[] = {source, pass, converter, sink};
        if (queued) converter->Output()->UseDeliveryQueue(8);
        h.AddChain({{source, "Source"}, {pass, "Pass"}, {converter, "Converter"}, {sink, "Sink"}});
        h.RunFree();
        if (h.EventCodesUntilEnd().back() != EC_COMPLETE) state.SkipWithError("the graph did not complete");
        h.control->Stop();
    }
    state.SetItemsProcessed(state.iterations() * count);
}

static void BM_DirectChain(benchmark::State& state) { RunChain(state, false); }
static void BM_QueuedChain(benchmark::State& state) { RunChain(state, true); }

BENCHMARK(BM_DirectChain)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_QueuedChain)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
