// The plug-in as a host meets it: constructing an instance (factory bank
// included), writing and restoring a bank chunk, and one instance's heap.
#include "vst2/Vst2.h"

#include <benchmark/benchmark.h>

#include <dlfcn.h>
#include <malloc.h>

#include <vector>

namespace {

using PluginMain = AEffect* (*)(audioMasterCallback);

VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

PluginMain pluginMain()
{
    static void* module = dlopen(VOLANTOR_PLUGIN_SO, RTLD_NOW | RTLD_LOCAL);
    return module ? reinterpret_cast<PluginMain>(dlsym(module, "VSTPluginMain")) : nullptr;
}

VstIntPtr call(AEffect* e, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr)
{
    return e->dispatcher(e, opcode, index, value, ptr, 0);
}

void BM_ConstructWithFactoryBank(benchmark::State& state)
{
    PluginMain main = pluginMain();
    if (!main) {
        state.SkipWithError("cannot load the plug-in");
        return;
    }
    for (auto _ : state) {
        AEffect* e = main(host);
        benchmark::DoNotOptimize(e);
        call(e, effClose);
    }
}

void BM_WriteAndRestoreBankChunk(benchmark::State& state)
{
    PluginMain main = pluginMain();
    if (!main) {
        state.SkipWithError("cannot load the plug-in");
        return;
    }
    AEffect* e = main(host);
    void* data = nullptr;
    VstIntPtr size = 0;
    for (auto _ : state) {
        size = call(e, effGetChunk, 0, 0, &data);
        std::vector<char> copy(static_cast<char*>(data), static_cast<char*>(data) + size);
        call(e, effSetChunk, 0, size, copy.data());
    }
    state.counters["bank_bytes"] = (double)size;
    call(e, effClose);
}

void BM_InstanceHeap(benchmark::State& state)
{
    PluginMain main = pluginMain();
    if (!main) {
        state.SkipWithError("cannot load the plug-in");
        return;
    }
    AEffect* warm = main(host); // the shared tables exist once per process
    double bytes = 0;
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks;
        AEffect* e = main(host);
        bytes = (double)(mallinfo2().uordblks - before);
        call(e, effClose);
    }
    state.counters["instance_heap_MB"] = bytes / (1024.0 * 1024.0);
    call(warm, effClose);
}

} // namespace

BENCHMARK(BM_ConstructWithFactoryBank)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteAndRestoreBankChunk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InstanceHeap)->Unit(benchmark::kMillisecond)->Iterations(3);
