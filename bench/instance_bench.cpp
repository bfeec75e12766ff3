// One plug-in instance as a host makes it: hosts scan plug-ins by creating and closing
// each one, so creation and destruction must be quick. The library is loaded with
// dlopen and used only through its entry point and dispatcher.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "vst/aeffect.h"

namespace {

VstIntPtr VSTCALLBACK host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

using Entry = AEffect* (*)(audioMasterCallback);

Entry entry() {
    static Entry e = [] {
        void* lib = dlopen(KELVORAN_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
        if (!lib) {
            std::fprintf(stderr, "%s\n", dlerror());
            std::exit(1);
        }
        return reinterpret_cast<Entry>(dlsym(lib, "VSTPluginMain"));
    }();
    return e;
}

void close(AEffect* e) { e->dispatcher(e, effClose, 0, 0, nullptr, 0); }

double residentMegabytes() {
    long pages = 0, resident = 0;
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (f) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Resident memory that one instance adds once it has processed one second of audio
// (every page it uses touched). Measured in a child of a process that has made no
// instance yet, and run first: the allocator keeps freed pages, so an instance made
// after another one would reuse them.
double residentOfOneInstance() {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    pid_t child = fork();
    if (child == 0) {
        double before = residentMegabytes();
        AEffect* e = entry()(host);
        e->dispatcher(e, effSetBlockSize, 0, 512, nullptr, 0);
        e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0);
        std::vector<float> in(512), out(512);
        float* ins[2] = {in.data(), in.data()};
        float* outs[6] = {out.data(), out.data(), out.data(), out.data(), out.data(), out.data()};
        for (int block = 0; block < 87; ++block) e->processReplacing(e, ins, outs, 512);
        double added = residentMegabytes() - before;
        if (write(fds[1], &added, sizeof added) != sizeof added) _exit(1);
        _exit(0);
    }
    double added = -1;
    if (read(fds[0], &added, sizeof added) != sizeof added) added = -1;
    waitpid(child, nullptr, 0);
    ::close(fds[0]);
    ::close(fds[1]);
    return added;
}

void BM_ResidentMemoryOfOneInstance(benchmark::State& state) {
    entry();  // the library itself is loaded before measuring
    double added = 0;
    for (auto _ : state) added = residentOfOneInstance();
    state.counters["resident_MB"] = added;
}
BENCHMARK(BM_ResidentMemoryOfOneInstance)->Unit(benchmark::kMillisecond)->Iterations(3);

// What a scanning host does: create, ask for the name, close.
void BM_CreateAndDestroy(benchmark::State& state) {
    for (auto _ : state) {
        AEffect* e = entry()(host);
        char name[64];
        e->dispatcher(e, effGetProductString, 0, 0, name, 0);
        close(e);
    }
}
BENCHMARK(BM_CreateAndDestroy)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
