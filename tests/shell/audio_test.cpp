// Audio through the record: the tail, suspend and resume, sample-rate changes, the
// outputs the engine does not use, and audio running beside dispatcher calls.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "host.h"

using namespace host;

namespace {

constexpr int kTail = 22050;

// The program's reverb heard on its own, from an impulse.
Channels wetImpulse(Instance& p, int length = kTail) {
    p.set(1, 0.0f);
    return p.impulse(length);
}

// What one instance gives for the same impulse after `steps`, compared bit for bit.
using Steps = void (*)(Instance&);
Channels after(Steps steps) {
    Instance p;
    p.set(17, 1.0f);  // diffusion on: its lines depend on the rate
    wetImpulse(p);
    steps(p);
    return wetImpulse(p);
}

}  // namespace

TEST(Audio, SuspendThenResumeSilencesTheTail) {
    Instance p;
    wetImpulse(p);
    Channels ringing = p.render(std::vector<float>(4096), std::vector<float>(4096));
    ASSERT_GT(peak(ringing[0]), 1e-4f) << "the tail is still sounding";
    p.suspend();
    p.resume();
    Channels after = p.render(std::vector<float>(4096), std::vector<float>(4096));
    for (int k = 0; k < 2; ++k) {
        // Only the taps' own low-pass memory is left, and it is gone within a few samples.
        EXPECT_LT(peak(after[k], 0, 64), 0.05f * peak(ringing[k])) << k;
        EXPECT_LT(peak(after[k], 64), 1e-9f) << k;
    }
}

// Hosts seldom process while suspended, but when they do the engine still renders: only
// its own ready flag stops a block.
TEST(Audio, SuspendedInstanceStillRendersItsOutputs) {
    Instance p;
    p.suspend();
    Channels out(6, std::vector<float>(256, 0.7f));
    std::vector<float> in(256, 0.5f);
    float* ins[2] = {in.data(), in.data()};
    float* outs[6];
    for (int k = 0; k < 6; ++k) outs[k] = out[k].data();
    p.e->processReplacing(p.e, ins, outs, 256);
    for (int k = 0; k < 2; ++k) EXPECT_NE(out[k][100], 0.7f) << k;
    for (int k = 2; k < 6; ++k) EXPECT_EQ(peak(out[k]), 0.0f) << k << ": unused outputs are cleared";
}

TEST(Audio, AccumulatingAndDoubleEntriesProduceNothing) {
    Instance p;
    std::vector<float> in(128, 0.5f), out(128, 0.25f);
    std::vector<double> din(128, 0.5), dout(128, 0.25);
    float* ins[2] = {in.data(), in.data()};
    float* outs[6] = {out.data(), out.data(), out.data(), out.data(), out.data(), out.data()};
    double* dins[2] = {din.data(), din.data()};
    double* douts[6] = {dout.data(), dout.data(), dout.data(), dout.data(), dout.data(), dout.data()};
    p.e->process(p.e, ins, outs, 128);
    p.e->processDoubleReplacing(p.e, dins, douts, 128);
    EXPECT_EQ(out, std::vector<float>(128, 0.25f));
    EXPECT_EQ(dout, std::vector<double>(128, 0.25));
}

TEST(Audio, OutputsNotInUseAreSilent) {
    Instance p;  // two outputs in use until the editor or host sets more
    Channels out = p.impulse(8192);
    EXPECT_GT(peak(out[0]), 1e-3f);
    EXPECT_GT(peak(out[1]), 1e-3f);
    for (int k = 2; k < 6; ++k) EXPECT_EQ(peak(out[k]), 0.0f) << k;
}

TEST(Audio, InPlaceBuffersAreReadBeforeTheyAreWritten) {
    Instance a, b;
    a.set(1, 1.0f), b.set(1, 1.0f);
    std::vector<float> x(512);
    x[0] = 1;
    Channels separate = a.render(x, x, 512);
    std::vector<float> l(x), r(x), o[4];
    for (auto& c : o) c.assign(512, 0.3f);
    float* ins[2] = {l.data(), r.data()};
    float* outs[6] = {l.data(), r.data(), o[0].data(), o[1].data(), o[2].data(), o[3].data()};
    b.e->processReplacing(b.e, ins, outs, 512);
    EXPECT_EQ(l, separate[0]);
    EXPECT_EQ(r, separate[1]);
}

TEST(Audio, AnImpulseRingsOutAndStaysFinite) {
    Instance p;
    Channels out = wetImpulse(p, 3 * 44100);
    EXPECT_GT(peak(out[0]), 1e-3f);
    for (int k = 0; k < 2; ++k)
        for (float x : out[k]) ASSERT_TRUE(std::isfinite(x));
    EXPECT_LT(peak(out[0], 2 * 44100), peak(out[0], 0, 44100)) << "it decays";
}

TEST(Audio, SampleRateChangeWaitsForSuspendResumeProgramOrChunk) {
    const Channels unchanged = after([](Instance& p) {});
    EXPECT_EQ(after([](Instance& p) { p.setSampleRate(96000); }), unchanged) << "not while running";

    const Channels resumed = after([](Instance& p) { p.suspend(), p.resume(); });
    EXPECT_NE(after([](Instance& p) { p.setSampleRate(96000), p.suspend(), p.resume(); }), resumed);
    EXPECT_NE(after([](Instance& p) { p.setSampleRate(96000), p.resume(); }),
              after([](Instance& p) { p.resume(); }));

    const Channels reloaded = after([](Instance& p) { p.selectProgram(0); });
    EXPECT_NE(after([](Instance& p) { p.setSampleRate(96000), p.selectProgram(0); }), reloaded);
    const Channels loaded = after([](Instance& p) { p.setChunk(p.chunk(false), false); });
    EXPECT_NE(after([](Instance& p) { p.setSampleRate(96000), p.setChunk(p.chunk(false), false); }), loaded);
    // Rates no engine can use are kept out.
    EXPECT_EQ(after([](Instance& p) { p.setSampleRate(0), p.selectProgram(0); }), reloaded);
    EXPECT_EQ(after([](Instance& p) { p.setSampleRate(1e9f), p.selectProgram(0); }), reloaded);
}

TEST(Audio, BlocksLongerThanAnnouncedReachTheirEnd) {
    Instance p;
    p.dispatch(effSetBlockSize, 0, 64);
    p.resume();
    std::vector<float> x(20000);
    x[0] = 1;
    Channels whole = p.render(x, x, 20000);
    EXPECT_GT(peak(whole[0], 10000), 1e-4f) << "the tail reaches the end of the host's block";
    // Nothing to do: no samples, or no buffers.
    p.e->processReplacing(p.e, nullptr, nullptr, 512);
    float* none[6] = {};
    p.e->processReplacing(p.e, none, none, 0);
    p.e->processReplacing(p.e, none, none, -5);
}

TEST(Audio, RunsWhileTheHostSwitchesProgramsAndLoadsChunks) {
    Instance p;
    Bytes bank = p.chunk(false), program = p.chunk(true);
    std::atomic<bool> stop{false};
    std::atomic<bool> finite{true};
    std::thread audio([&] {
        std::vector<float> in(256, 0.1f);
        std::vector<float> out[6];
        for (auto& c : out) c.resize(256);
        float* ins[2] = {in.data(), in.data()};
        float* outs[6];
        for (int k = 0; k < 6; ++k) outs[k] = out[k].data();
        while (!stop) {
            p.e->processReplacing(p.e, ins, outs, 256);
            for (float x : out[0]) finite = finite && std::isfinite(x);
        }
    });
    for (int round = 0; round < 20; ++round) {
        p.selectProgram(round * 7 % 90);
        p.set(round % 47, 0.5f);
        p.setChunk(round % 2 ? bank : program, round % 2 == 0);
        p.set(80, 0.0f);
        if (round % 5 == 0) p.suspend(), p.resume();
    }
    stop = true;
    audio.join();
    EXPECT_TRUE(finite);
}
