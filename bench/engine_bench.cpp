// Engine benchmarks. Every iteration processes one second of audio at 48 kHz in blocks of
// 512 samples, so the reported CPU time is the CPU cost of one second of audio.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "engine/engine.h"
#include "engine/params.h"

using namespace kelvoran;

namespace {
constexpr float kRate = 48000.0f;
constexpr int kBlock = 512;
constexpr int kBlocksPerSecond = 94;  // 48,128 samples

void switchProgram(ReverbEngine& e, int index) {
    e.setProgramAndRate(index, kRate);
    e.loadRoom(index);
    for (int i : kProgramApplyOrder) e.applyParameter(i, e.programs[index].slot[kParameterSlot[i]]);
    e.restart();
}

void box(KelvoranProgram& p, int x1, int y1, int x2, int y2) {
    AddWall(p, x1, y1, x2, y1), AddWall(p, x2, y1, x2, y2);
    AddWall(p, x2, y2, x1, y2), AddWall(p, x1, y2, x1, y1);
}

// A long hall with two rows of square pillars: 4 + 19 * 4 + 3 = 83 walls.
void hall83(KelvoranProgram& p) {
    box(p, 2, 5, 48, 45);
    for (int i = 0; i < 10; ++i) box(p, 6 + 4 * i, 15, 7 + 4 * i, 16);
    for (int i = 0; i < 9; ++i) box(p, 8 + 4 * i, 34, 9 + 4 * i, 35);
    AddWall(p, 20, 40, 30, 40), AddWall(p, 20, 40, 18, 44), AddWall(p, 30, 40, 32, 44);
}

struct Setup {
    std::unique_ptr<ReverbEngine> e = std::make_unique<ReverbEngine>();
    std::vector<float> in1 = std::vector<float>(kBlock), in2 = std::vector<float>(kBlock);
    std::vector<std::vector<float>> out = std::vector<std::vector<float>>(6, std::vector<float>(kBlock));
    float* ins[2];
    float* outs[6];
    Setup(bool stereo, int outputs) {
        box(e->programs[0], 10, 10, 40, 40);
        e->programs[0].slot[parStereoOnOff] = stereo ? 1.0f : 0.0f;
        e->programs[0].slot[parNumRays] = 1.0f;
        switchProgram(*e, 0);
        e->numOutputs = outputs;
        e->updateSurroundGains();
        uint32_t s = 1;
        for (int j = 0; j < kBlock; ++j) {
            s = s * 1664525u + 1013904223u;
            in1[j] = float(int32_t(s)) / 4.3e9f;
            in2[j] = -in1[j];
        }
        ins[0] = in1.data(), ins[1] = in2.data();
        for (int k = 0; k < 6; ++k) outs[k] = out[k].data();
        second();  // the rebuild block and the first tracing slices
    }
    void second() {
        for (int b = 0; b < kBlocksPerSecond; ++b) e->processBlock(ins, outs, kBlock);
    }
    // Every tap audible and settled, with spread delays; the tracer leaves them alone.
    void steadyTaps(int n) {
        for (int i = 0; i < n; ++i) {
            RayTap& t = e->taps[i];
            t.pending = 0;
            t.inFlight = 0;
            t.traceSerial = e->roomSerial;
            t.curDelay = -(200 + i * 97) % 90000 - 10;
            t.curLowpassCoef = 0.3f + 0.001f * i;
            for (int k = 0; k < 5; ++k) t.curGain[k] = 0.01f * (1 + (i + k) % 5);
        }
        e->numTaps = n;
    }
};

void BM_BlockNoTaps(benchmark::State& state) {
    Setup s(state.range(0) != 0, int(state.range(1)));
    s.e->applyParameter(0, 0.0f);  // silent taps are skipped
    s.e->commitTaps();             // every ray re-traced and committed before timing
    s.e->trace(1 << 16);
    s.e->commitTaps();
    s.second();
    for (auto _ : state) s.second();
}
BENCHMARK(BM_BlockNoTaps)->ArgNames({"stereo", "outputs"})
    ->Args({0, 2})->Args({1, 2})->Args({0, 5})->Args({1, 5})->Unit(benchmark::kMillisecond);

void BM_Block512Taps(benchmark::State& state) {
    Setup s(true, int(state.range(0)));
    s.steadyTaps(512);
    for (auto _ : state) s.second();
}
BENCHMARK(BM_Block512Taps)->ArgNames({"outputs"})->Arg(2)->Arg(5)->Unit(benchmark::kMillisecond);

// The first block after a program switch: commit, trace 4096 units, commit.
void BM_RebuildAfterSwitch(benchmark::State& state) {
    auto e = std::make_unique<ReverbEngine>();
    if (state.range(0) == 83) hall83(e->programs[1]);
    else box(e->programs[1], 10, 10, 40, 40);
    e->programs[1].slot[parNumRays] = 1.0f;
    e->programs[1].slot[parAbsorb] = 0.4f;
    switchProgram(*e, 1);
    std::vector<float> in(kBlock), out(kBlock);
    float* ins[2] = {in.data(), in.data()};
    float* outs[6] = {out.data(), out.data(), out.data(), out.data(), out.data(), out.data()};
    for (auto _ : state) {
        state.PauseTiming();
        e->restart();
        ++e->roomSerial;
        state.ResumeTiming();
        e->processBlock(ins, outs, kBlock);
    }
}
BENCHMARK(BM_RebuildAfterSwitch)->ArgNames({"walls"})->Arg(4)->Arg(83)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
