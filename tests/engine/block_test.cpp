#include <gtest/gtest.h>

#include <cmath>

#include "tests/engine/fixture.h"

using namespace kelvoran;
using namespace kelvoran::test;

namespace {
// An engine whose taps and diffusion add nothing, so a block shows routing and mix alone.
std::unique_ptr<ReverbEngine> quietEngine() {
    auto e = makeEngine();
    e->applyParameter(0, 0.0f);   // no wet gain: every traced tap is silent
    e->applyParameter(17, 0.0f);  // no diffusion
    e->applyParameter(1, 1.0f);   // full dry
    for (int gain : {26, 29, 32, 35}) e->applyParameter(gain, 0.5f);  // flat equaliser
    float in[64] = {}, out[6][64] = {};
    float* ins[2] = {in, in};
    float* outs[6] = {out[0], out[1], out[2], out[3], out[4], out[5]};
    e->processBlock(ins, outs, 64);  // the rebuild traces the room and configures the diffuser
    e->trace(4096);
    e->commitTaps();
    return e;
}

// One steady tap on history 1 at delay 0, unfiltered.
void setDirectTap(ReverbEngine& e, float gainL, float gainR) {
    RayTap& t = e.taps[0];
    t.curHistory = e.history1;
    t.curDelay = 0;
    t.curLowpassCoef = 1;
    t.curLowpassState = 0;
    for (float& g : t.curGain) g = 0;
    t.curGain[0] = gainL, t.curGain[1] = gainR;
    t.pending = 0;
    t.traceSerial = e.roomSerial;
    t.inFlight = 0;
}

struct Block {
    std::vector<float> in1, in2;
    std::vector<std::vector<float>> out;
    explicit Block(int n) : in1(noise(n, 3)), in2(noise(n, 7)), out(6, std::vector<float>(n, 99.0f)) {}
    void run(ReverbEngine& e) {
        float* ins[2] = {in1.data(), in2.data()};
        float* outs[6];
        for (int k = 0; k < 6; ++k) outs[k] = out[k].data();
        e.processBlock(ins, outs, int(in1.size()));
    }
};
}  // namespace

TEST(BlockProcessing, DryOnlyPassesTheInputsAndLeavesOtherChannelsAlone) {
    auto e = quietEngine();
    Block b(100);
    b.run(*e);
    for (int j = 0; j < 100; ++j) {
        EXPECT_EQ(b.out[0][j], b.in1[j] + 1e-20f);
        EXPECT_EQ(b.out[1][j], b.in2[j] + 1e-20f);
        for (int k = 2; k < 6; ++k) ASSERT_EQ(b.out[k][j], 99.0f) << "channel " << k;
    }
}

TEST(BlockProcessing, OneHostInputFeedsBothLogicalInputs) {
    auto e = quietEngine();
    e->applyParameter(24, 0.0f);  // mono source
    e->numInputs = 1;
    int p = e->writePos;
    Block b(64);
    b.run(*e);
    for (int j = 0; j < 64; ++j) {
        EXPECT_NEAR(e->history1[(p + j) & kHistoryMask], 2 * b.in1[j], 1e-3f) << "flat up to rounding";
        EXPECT_EQ(b.out[1][j], b.in1[j] + 1e-20f) << "dry 2 holds the same channel";
    }
}

TEST(BlockProcessing, OneHostOutputAddsBothSidesAndAppliesBothGains) {
    auto e = quietEngine();
    e->applyParameter(24, 0.0f);
    e->numOutputs = 1;
    e->applyParameter(22, 0.28f);  // panX 14: the two front gains differ
    const float g0 = e->outputGain[0], g1 = e->outputGain[1];
    ASSERT_GT(std::fabs(g0 - g1), 0.5f);
    setDirectTap(*e, 1.0f, 0.5f);
    int p = e->writePos;
    Block b(64);
    b.run(*e);
    for (int j = 0; j < 64; ++j) {
        float y = e->history1[(p + j) & kHistoryMask];
        float wet = 1.5f * y * g0 * g1;
        EXPECT_NEAR(b.out[0][j], b.in2[j] + wet, 1e-5f) << j;
        EXPECT_EQ(b.out[1][j], 99.0f);
    }
}

TEST(BlockProcessing, WidthZeroIsMonoAndHalfLeavesThePair) {
    for (float slot : {0.0f, 0.5f}) {
        auto e = quietEngine();
        e->applyParameter(24, 0.0f);
        e->applyParameter(1, 0.0f);
        e->applyParameter(20, slot);  // width = 2 x^2: 0 or 0.5
        setDirectTap(*e, 1.0f, 0.0f);
        int p = e->writePos;
        Block b(64);
        b.run(*e);
        for (int j = 0; j < 64; ++j) {
            float y = e->history1[(p + j) & kHistoryMask];
            if (slot == 0.0f) {
                EXPECT_EQ(b.out[0][j], b.out[1][j]);
                EXPECT_NEAR(b.out[0][j], 0.5f * y, 1e-6f);
            } else {
                EXPECT_NEAR(b.out[0][j], y, 1e-6f);
                EXPECT_NEAR(b.out[1][j], 0.0f, 1e-6f);
            }
        }
    }
}

TEST(BlockProcessing, ResetFillsHistoriesWithTheGuardValue) {
    auto e = quietEngine();
    Block b(512);
    b.run(*e);
    e->resetSignalPath();
    for (int i = 0; i < kHistoryLength; i += 997) {
        ASSERT_EQ(e->history1[i], 1e-20f);
        ASSERT_EQ(e->history2[i], 1e-20f);
    }
}

TEST(BlockProcessing, NotReadyLeavesOutputsUntouchedButZeroLengthBlocksStillCount) {
    auto e = makeEngine();
    e->ready = 0;
    Block b(32);
    b.run(*e);
    EXPECT_EQ(b.out[0][0], 99.0f);
    e->ready = 1;
    int blocks = e->blockCounter;
    e->processBlock(nullptr, nullptr, 0);
    EXPECT_EQ(e->blockCounter, blocks + 1);
    EXPECT_EQ(e->rebuildRequested, 0);
}

TEST(BlockProcessing, OutputCountsZeroAndThree) {
    for (int count : {0, 3}) {
        auto e = quietEngine();
        e->numOutputs = count;
        Block b(64);
        b.run(*e);
        for (int k = 0; k < 6; ++k) {
            bool written = count == 3 && k < 2;
            EXPECT_EQ(b.out[k][10] != 99.0f, written) << count << " outputs, channel " << k;
        }
    }
}

TEST(BlockProcessing, PinsBeyondTheHostChannelsAreNeverTouched) {
    auto e = quietEngine();
    e->applyParameter(38, 9.0f);   // input pin the host does not have: silence
    e->applyParameter(41, 17.0f);  // output pin the host does not have: discarded
    Block b(64);
    b.run(*e);
    for (int j = 0; j < 64; ++j) {
        EXPECT_EQ(b.out[0][j], 1e-20f);
        EXPECT_EQ(b.out[1][j], 99.0f);
    }
}

TEST(BlockProcessing, BlocksLongerThanAnnouncedComeInPieces) {
    auto a = quietEngine();
    auto b = quietEngine();
    a->applyParameter(0, 0.8f);
    b->applyParameter(0, 0.8f);
    a->blockSize = 64;
    a->resetSignalPath();
    b->resetSignalPath();
    EXPECT_EQ(a->dryCapacity, 64);
    auto in = noise(3000);
    auto ra = render(*a, in, in, 3000);
    auto rb = render(*b, in, in, 3000);
    EXPECT_EQ(ra.left, rb.left);
    EXPECT_EQ(ra.right, rb.right);
}

TEST(BlockProcessing, UnusableSampleRatesKeepThePreviousRate) {
    for (float rate : {0.0f, -44100.0f, 1e9f, NAN}) {
        auto e = makeEngine();
        e->setProgramAndRate(0, rate);
        e->resetSignalPath();
        EXPECT_EQ(e->sampleRate, 44100.0f) << rate;
        auto in = noise(2048);
        auto r = render(*e, in, in, 256);
        for (float x : r.left) ASSERT_TRUE(std::isfinite(x));
    }
}

TEST(BlockProcessing, NonFiniteInputDoesNotStayInTheHistories) {
    auto e = makeEngine();
    std::vector<float> in(512, NAN);
    in[5] = INFINITY;
    render(*e, in, in, 512);
    auto r = render(*e, noise(4096), noise(4096), 512);
    for (float x : r.left) ASSERT_TRUE(std::isfinite(x));
}

TEST(BlockProcessing, ValuesBeyondTheRangeNeverMakeTheRoomExplode) {
    const std::pair<int, float> cases[] = {
        {3, 2.0f}, {7, 50.0f}, {4, 999.0f}, {2, -5.0f}, {3, -5.0f}, {6, -5.0f}, {7, -5.0f},
        {2, 0.0f},  // no absorption at all, with the most scatter below
    };
    for (auto [index, value] : cases) {
        auto e = makeEngine();
        addBox(e->programs[0], 5, 5, 45, 40);
        switchProgram(*e, 0);
        e->applyParameter(4, 1.0f);  // full scatter
        e->applyParameter(index, value);
        e->restart();  // the whole room traced again at the next block
        auto in = noise(44100);
        auto r = render(*e, in, in, 512);
        bool finite = true;
        float peak = 0;
        for (float x : r.left) finite &= std::isfinite(x), peak = std::max(peak, std::fabs(x));
        EXPECT_TRUE(finite) << index << " = " << value;
        EXPECT_LT(peak, 1000.0f) << index << " = " << value;
    }
}
