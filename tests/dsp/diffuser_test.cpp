#include "dsp/diffuser.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

#include "dsp/eq_filter.h"
#include "engine/random.h"

// Allocations made so far by this test program (allocation_counter.cpp).
long allocationCount();

namespace kelvoran {
namespace {

constexpr int kHistory = 1 << 20;
constexpr int kMask = kHistory - 1;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

int delayOf(const DiffusionLine& line) {
    return (line.writeIndex - line.readIndex) & kDiffusionLineMask;
}

std::vector<float> noise(int count, uint32_t seed) {
    seedRandom(seed);
    std::vector<float> v(count);
    for (auto& s : v) s = float(drawRandom()) / 16384.0f - 1.0f;
    return v;
}

bool allFinite(const std::vector<float>& v) {
    for (float s : v)
        if (!std::isfinite(s)) return false;
    return true;
}

struct DiffuserTest : ::testing::Test {
    std::unique_ptr<Diffuser> d = std::make_unique<Diffuser>(8);
    std::vector<float> a = std::vector<float>(kHistory, 0.0f);
    std::vector<float> b = std::vector<float>(kHistory, 0.0f);

    void prepare(float rate = 44100.0f) { ASSERT_TRUE(d->prepare(rate)); }
    void mono(int start, int count) { d->process(a.data(), nullptr, start, count); }
    void stereo(int start, int count) { d->process(a.data(), b.data(), start, count); }
    // Energy held in the lines' delay windows (the part still to be read).
    double stateEnergy() const {
        double e = 0;
        for (const auto& line : d->lines)
            for (int n = 0; n < delayOf(line); ++n) {
                double v = line.buffer[(line.readIndex + n) & kDiffusionLineMask];
                e += v * v;
            }
        return e;
    }
};

// ---- layout ----

TEST_F(DiffuserTest, LayoutAt44100MatchesTheLineTable) {
    prepare();
    const int nominal[8] = {2072, 1900, 1742, 1598, 1465, 1343, 1232, 1130};
    const float decay[8] = {0.75f, 0.7681f, 0.7851f, 0.8010f, 0.8159f, 0.8298f, 0.8428f, 0.8548f};
    for (int i = 0; i < 8; ++i) {
        for (int line : {i, 8 + i}) {
            SCOPED_TRACE(line);
            const auto& L = d->lines[line];
            EXPECT_EQ(L.writeIndex, nominal[i]);
            EXPECT_NEAR(L.decay, decay[i], 5e-5);
            EXPECT_GE(L.readIndex, 0);
            EXPECT_LE(L.readIndex, 511);
            EXPECT_EQ(delayOf(L), nominal[i] - L.readIndex);
            // a cycle of 1.2 .. 4.8 s, one step every two samples
            EXPECT_GE(L.lfoHalfPeriod, 13229);
            EXPECT_LE(L.lfoHalfPeriod, 52920);
            EXPECT_GE(L.lfoValue, -1e-3f);
            EXPECT_LE(L.lfoValue, 1.001f);
            EXPECT_EQ(L.modOffset, 0);
        }
    }
    EXPECT_EQ(d->rotor, 1);
    EXPECT_TRUE(d->prepared.load());
}

TEST_F(DiffuserTest, LinesDrawInOrderFromTheFixedSeed) {
    prepare();
    // Each line draws read start, rate and phase; line i draws before line 8 + i.
    seedRandom(70192012);
    for (int i = 0; i < 8; ++i) {
        for (int line : {i, 8 + i}) {
            const int readStart = drawRandom() & 0x1FF;
            const int rate = drawRandom();
            drawRandom();
            const float h = 44100.0f / ((10.0f + 30.0f * float(rate) / 32768.0f) * 0.083333336f);
            EXPECT_EQ(d->lines[line].readIndex, readStart) << line;
            EXPECT_EQ(d->lines[line].lfoHalfPeriod, int(h)) << line;
            EXPECT_FLOAT_EQ(d->lines[line].lfoStep * (d->lines[line].lfoStep > 0 ? 1 : -1), 1.0f / h);
        }
    }
}

TEST_F(DiffuserTest, LayoutDependsOnTheRateAlone) {
    prepare(48000.0f);
    std::vector<int> first;
    for (const auto& L : d->lines) first.insert(first.end(), {L.readIndex, L.writeIndex, L.lfoCounter});
    seedRandom(12345);
    drawRandom();
    mono(0, 5000);
    prepare(48000.0f);
    std::vector<int> second;
    for (const auto& L : d->lines) second.insert(second.end(), {L.readIndex, L.writeIndex, L.lfoCounter});
    EXPECT_EQ(first, second);
}

// ---- configure ----

TEST_F(DiffuserTest, FeedbackIsSizeOverRootEightWithTheLoopGainKeptBelowOne) {
    prepare();
    struct Case { float size, loopGain; } cases[] = {
        {0.0f, 0.0f}, {-0.5f, -0.5f}, {-0.99f, -0.99f}, {-1.00064f, -kMaxDiffusionLoopGain},
        {-7.0f, -kMaxDiffusionLoopGain}, {3.0f, kMaxDiffusionLoopGain}, {kNaN, 0.0f}, {-kInf, -kMaxDiffusionLoopGain}};
    for (const auto& c : cases) {
        d->configure(c.size, 1.0f, 0.5f, 0.0f);
        for (const auto& L : d->lines) ASSERT_EQ(L.feedback, c.loopGain / 2.8284271f) << c.size;
    }
    EXPECT_LT(kMaxDiffusionLoopGain, 1.0f);
}

TEST_F(DiffuserTest, OutGainIsDecayTimesTwoSeventhsTimesGainCubed) {
    prepare();
    d->configure(-0.5f, 1.5f, 0.5f, 0.0f);
    for (const auto& L : d->lines) EXPECT_FLOAT_EQ(L.outGain, L.decay * 2.0f / 7.0f * 3.375f);
    d->configure(-0.5f, kNaN, 0.5f, 0.0f);
    for (const auto& L : d->lines) EXPECT_EQ(L.outGain, 0.0f);
}

TEST_F(DiffuserTest, BendAtExactlyHalfIsNormalModeAndAnyOtherValueBendsEveryLine) {
    const float justAbove = std::nextafter(0.5f, 1.0f);
    const float justBelow = std::nextafter(0.5f, 0.0f);
    struct Case { float rate, bend; int active; int base; bool negative; } cases[] = {
        {44100, 0.5f, 0, 0, false},      {44100, justAbove, 1, 0, false},
        {44100, justBelow, 1, 0, false}, {44100, 1.0f, 1, 30, false},
        {44100, 0.0f, 1, -30, true},     {22050, 1.0f, 1, 60, false},
        {88200, 0.25f, 1, -7, true},     {44100, kNaN, 0, 0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << " " << c.bend);
        ASSERT_TRUE(d->prepare(c.rate));
        d->configure(-0.5f, 1.0f, c.bend, 10.0f);
        EXPECT_EQ(d->bendActive, c.active);
        for (int k = 0; k < 16; ++k) {
            const int i = k % 8;
            const int expected = c.active ? (c.negative ? c.base - 3 * i : c.base + 3 * i) : 0;
            EXPECT_EQ(d->lines[k].bendRate, expected) << k;
        }
    }
}

TEST_F(DiffuserTest, BendPhaseRunsOnAcrossSettingsAndResetsAtTheCentre) {
    prepare();
    d->configure(0.0f, 1.0f, 1.0f, 0.0f);
    mono(0, 100);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(d->lines[i].bendPhase, 100 * (30 + 3 * i));
    d->configure(0.0f, 1.0f, 0.0f, 0.0f);
    mono(100, 10);
    EXPECT_EQ(d->lines[0].bendPhase, 100 * 30 - 10 * 30);
    d->configure(0.0f, 1.0f, 0.5f, 0.0f);
    for (const auto& L : d->lines) EXPECT_EQ(L.bendPhase, 0);
}

// ---- process ----

TEST_F(DiffuserTest, GainZeroAddsNothing) {
    prepare();
    d->configure(-0.9f, 0.0f, 0.5f, 100.0f);
    auto in = noise(20000, 7);
    std::copy(in.begin(), in.end(), a.begin());
    mono(0, 20000);
    for (int n = 0; n < 20000; ++n) ASSERT_EQ(a[n], in[n]) << n;
}

TEST_F(DiffuserTest, SizeZeroIsEightPlainDelaysWithAlternatingSigns) {
    for (bool useB : {false, true}) {
        SCOPED_TRACE(useB ? "second network" : "first network");
        prepare();
        d->configure(0.0f, 1.2f, 0.5f, 0.0f);
        std::fill(a.begin(), a.end(), 0.0f);
        std::fill(b.begin(), b.end(), 0.0f);
        (useB ? b : a)[0] = 1.0f;
        stereo(0, 4096);
        std::vector<double> expected(4096, 0.0);
        expected[0] = 1.0;
        for (int k = 0; k < 8; ++k) {
            const auto& L = d->lines[(useB ? 8 : 0) + k];
            expected[delayOf(L)] += (k % 2 ? -1.0 : 1.0) * L.outGain;
        }
        const auto& out = useB ? b : a;
        for (int n = 0; n < 4096; ++n) ASSERT_NEAR(out[n], expected[n], 1e-6) << n;
        const auto& other = useB ? a : b;
        for (int n = 0; n < 4096; ++n) ASSERT_NEAR(other[n], 0.0f, 1e-15f) << n;
    }
}

TEST_F(DiffuserTest, ModulationMovesTheOutputReadTowardsTheWritePosition) {
    prepare();
    d->configure(0.0f, 1.0f, 0.5f, 0.0f);
    stereo(0, 64);
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(d->lines[k].modOffset, 0) << k;
        EXPECT_EQ(d->lines[k].modWeightThis, 1.0f) << k;
        EXPECT_EQ(d->lines[k].modWeightNext, 0.0f) << k;
    }

    // With depth, the copies of an impulse arrive early, by at most the depth.
    const float mod = 150.0f;
    d->clear();
    d->configure(0.0f, 1.0f, 0.5f, mod);
    std::fill(a.begin(), a.end(), 0.0f);
    mono(0, 2);  // every oscillator has stepped and placed its read
    a[2] = 1.0f;
    mono(2, 4000);
    int earliest = -1;
    for (int n = 3; n < 4002 && earliest < 0; ++n)
        if (std::fabs(a[n]) > 1e-6f) earliest = n - 2;
    int shortest = 1 << 30;
    for (int k = 0; k < 8; ++k) shortest = std::min(shortest, delayOf(d->lines[k]));
    EXPECT_LT(earliest, shortest);
    EXPECT_GE(earliest, shortest - int(2 * mod) - 1);
}

TEST_F(DiffuserTest, HadamardMixIsScaledByFeedbackAndFedWithAlternatingInput) {
    prepare();
    const float size = -0.7f;
    d->configure(size, 0.0f, 0.5f, 0.0f);
    const float v[8] = {1.0f, -2.0f, 0.5f, 3.0f, -1.5f, 0.25f, 2.0f, -0.75f};
    int written[8];
    for (int k = 0; k < 8; ++k) {
        d->lines[k].buffer[d->lines[k].readIndex] = v[k];
        written[k] = d->lines[k].writeIndex;
    }
    a[0] = 0.5f;
    mono(0, 1);
    for (int r = 0; r < 8; ++r) {
        double h = 0;
        for (int c = 0; c < 8; ++c) h += (std::popcount(unsigned(r & c)) % 2 ? -1.0 : 1.0) * v[c];
        const double x = (r % 2 ? -1.0 : 1.0) * 0.5;
        EXPECT_NEAR(d->lines[r].buffer[written[r]], size / std::sqrt(8.0) * h + x, 1e-6) << r;
    }
}

TEST_F(DiffuserTest, OscillatorsStepFourLinesPerSampleFromTheRotor) {
    prepare();
    d->configure(-0.5f, 1.0f, 0.5f, 50.0f);
    float before[16];
    for (int k = 0; k < 16; ++k) before[k] = d->lines[k].lfoValue;
    mono(0, 1);
    const bool steppedFirst[8] = {false, true, true, true, true, false, false, false};
    for (int k = 0; k < 8; ++k) EXPECT_EQ(d->lines[k].lfoValue != before[k], steppedFirst[k]) << k;
    mono(1, 1);
    for (int k = 0; k < 16; ++k) EXPECT_EQ(d->lines[k].lfoValue != before[k], k < 8) << k;
    stereo(2, 2);
    for (int k = 8; k < 16; ++k) EXPECT_NE(d->lines[k].lfoValue, before[k]) << k;
    EXPECT_EQ(d->rotor & 7, 1);
}

TEST_F(DiffuserTest, OscillatorRisesToOneAndFallsBackToZero) {
    prepare();
    d->configure(0.0f, 0.0f, 0.5f, 0.0f);
    const auto& L = d->lines[0];
    // a full cycle is 2 * (halfPeriod + 1) steps, one step every two samples
    const int samples = 4 * (L.lfoHalfPeriod + 1) + 8;
    float lo = 10, hi = -10;
    for (int n = 0; n < samples; n += 2) {
        mono(n, 2);
        lo = std::min(lo, L.lfoValue);
        hi = std::max(hi, L.lfoValue);
    }
    EXPECT_NEAR(lo, 0.0f, 2e-3f);
    EXPECT_NEAR(hi, 1.0f, 2e-3f);
}

TEST_F(DiffuserTest, BendModeStopsTheOscillatorsAndStillDiffuses) {
    prepare();
    d->configure(-0.8f, 1.0f, 0.9f, 100.0f);
    float before[8];
    for (int k = 0; k < 8; ++k) before[k] = d->lines[k].lfoValue;
    auto in = noise(3000, 3);
    std::copy(in.begin(), in.end(), a.begin());
    mono(0, 10000);
    for (int k = 0; k < 8; ++k) EXPECT_EQ(d->lines[k].lfoValue, before[k]);
    double tail = 0;
    for (int n = 3000; n < 10000; ++n) tail += a[n] * a[n];
    EXPECT_GT(tail, 1.0);
    EXPECT_TRUE(allFinite(a));
}

TEST_F(DiffuserTest, LoopEnergyNeverGrowsEvenAtTheLargestSize) {
    prepare(8000.0f);  // low rate: the room hand-off may ask for |size| above 1
    d->configure(-1.00064f, 1.0f, 0.5f, 0.0f);
    auto in = noise(1000, 11);
    std::copy(in.begin(), in.end(), a.begin());
    mono(0, 1000);
    double last = stateEnergy();
    for (int block = 1; block < 100; ++block) {
        mono(block * 1000, 1000);
        const double e = stateEnergy();
        ASSERT_LE(e, last * (1 + 1e-5)) << block;
        last = e;
    }
    EXPECT_GT(last, 0.0);
}

TEST_F(DiffuserTest, CountZeroOrUnpreparedChangesNothing) {
    auto in = noise(5000, 5);
    std::copy(in.begin(), in.end(), a.begin());
    d->configure(-0.9f, 1.5f, 0.5f, 10.0f);
    mono(0, 5000);  // before prepare
    for (int n = 0; n < 5000; ++n) ASSERT_EQ(a[n], in[n]);

    prepare();
    d->configure(-0.9f, 1.5f, 0.5f, 10.0f);
    const int readIndex = d->lines[3].readIndex;
    const float lfo = d->lines[3].lfoValue;
    mono(0, 0);
    mono(0, -5);
    for (int n = 0; n < 5000; ++n) ASSERT_EQ(a[n], in[n]);
    EXPECT_EQ(d->lines[3].readIndex, readIndex);
    EXPECT_EQ(d->lines[3].lfoValue, lfo);
    d->process(nullptr, b.data(), 0, 100);
    EXPECT_EQ(d->lines[3].readIndex, readIndex);
}

TEST_F(DiffuserTest, HistoriesWrapAtTheEnd) {
    const int count = 5000;
    auto in = noise(count, 9);
    auto run = [&](int start) {
        prepare();
        d->configure(-0.9f, 1.4f, 0.5f, 120.0f);
        std::fill(a.begin(), a.end(), 0.0f);
        std::fill(b.begin(), b.end(), 0.0f);
        for (int n = 0; n < count; ++n) a[(start + n) & kMask] = b[(start + n) & kMask] = in[n];
        stereo(start, count);
        std::vector<float> out;
        for (int n = 0; n < count; ++n) out.push_back(a[(start + n) & kMask]);
        for (int n = 0; n < count; ++n) out.push_back(b[(start + n) & kMask]);
        return out;
    };
    const auto plain = run(1000);
    const int start = kHistory - 10;
    const auto wrapped = run(start);
    EXPECT_EQ(plain, wrapped);
    EXPECT_EQ(a[(start - 1) & kMask], 0.0f);
    EXPECT_EQ(a[(start + count) & kMask], 0.0f);
}

TEST_F(DiffuserTest, BlockSizesGiveTheSameSamples) {
    auto in = noise(20000, 21);
    auto run = [&](int block, float bend) {
        prepare();
        d->configure(-0.95f, 1.3f, 0.5f, 200.0f);  // the bend phase runs on until the centre resets it
        d->configure(-0.95f, 1.3f, bend, 200.0f);
        std::copy(in.begin(), in.end(), a.begin());
        std::copy(in.rbegin(), in.rend(), b.begin());
        for (int n = 0; n < 20000; n += block) stereo(n, std::min(block, 20000 - n));
        std::vector<float> out(a.begin(), a.begin() + 20000);
        out.insert(out.end(), b.begin(), b.begin() + 20000);
        return out;
    };
    for (float bend : {0.5f, 0.8f}) {
        const auto whole = run(20000, bend);
        for (int block : {1, 3, 64, 1000}) EXPECT_EQ(run(block, bend), whole) << block << " " << bend;
    }
}

TEST_F(DiffuserTest, MonoLeavesTheSecondNetworkAlone) {
    prepare();
    d->configure(-0.9f, 1.0f, 0.5f, 50.0f);
    const int readIndex = d->lines[9].readIndex;
    const float lfo = d->lines[9].lfoValue;
    a[0] = 1.0f;
    mono(0, 3000);
    EXPECT_EQ(d->lines[9].readIndex, readIndex);
    EXPECT_EQ(d->lines[9].lfoValue, lfo);
}

TEST_F(DiffuserTest, ClearEmptiesTheLinesAndKeepsTheLayout) {
    prepare();
    d->configure(-0.9f, 1.0f, 0.5f, 50.0f);
    auto in = noise(3000, 1);
    std::copy(in.begin(), in.end(), a.begin());
    mono(0, 3000);
    const int readIndex = d->lines[2].readIndex;
    d->clear();
    EXPECT_EQ(d->lines[2].readIndex, readIndex);
    EXPECT_TRUE(d->prepared.load());
    for (const auto& L : d->lines)
        for (float s : L.buffer) ASSERT_EQ(s, 0.0f);
    std::fill(a.begin(), a.end(), 0.0f);
    mono(3000, 3000);
    for (int n = 3000; n < 6000; ++n) ASSERT_NEAR(a[n], 0.0f, 1e-15f);
}

TEST_F(DiffuserTest, ProcessAndFilteringAllocateNothing) {
    prepare();
    EQfilter eq(kEqPeaking, 6.0f, 1000.0f, 44100.0f, 1.0f, true);
    const long before = allocationCount();
    for (float bend : {0.5f, 0.8f}) {
        d->configure(-0.9f, 1.2f, bend, 100.0f);
        stereo(kHistory - 100, 4096);
        mono(0, 4096);
    }
    for (int n = 0; n < 4096; ++n) a[n] = eq.process(a[n]);
    EXPECT_EQ(allocationCount(), before);
}

// ---- robustness ----

TEST_F(DiffuserTest, UnusableRatesAreRefusedAndKeepThePreviousLayout) {
    for (float rate : {0.0f, -1.0f, -44100.0f, kNaN, kInf, -kInf}) {
        Diffuser fresh(8);
        EXPECT_FALSE(fresh.prepare(rate)) << rate;
        EXPECT_FALSE(fresh.prepared.load());
    }
    prepare();
    const int writeIndex = d->lines[0].writeIndex, readIndex = d->lines[0].readIndex;
    for (float rate : {0.0f, -1.0f, kNaN}) {
        EXPECT_FALSE(d->prepare(rate));
        EXPECT_TRUE(d->prepared.load());
        EXPECT_EQ(d->lines[0].writeIndex, writeIndex);
        EXPECT_EQ(d->lines[0].readIndex, readIndex);
        EXPECT_EQ(d->sampleRate, 44100.0f);
    }
}

TEST_F(DiffuserTest, ExtremeRatesAndSettingsGiveFiniteOutput) {
    auto in = noise(4000, 17);
    for (float rate : {1e-3f, 1.0f, 8000.0f, 384000.0f, 1e9f, FLT_MAX}) {
        SCOPED_TRACE(rate);
        ASSERT_TRUE(d->prepare(rate));
        for (const auto& L : d->lines) {
            ASSERT_GE(L.writeIndex, 0);
            ASSERT_LE(L.writeIndex, kDiffusionLineMask);
            ASSERT_GE(L.lfoHalfPeriod, 1);
            ASSERT_LE(std::fabs(L.lfoStep), 1.0f);
        }
        for (float bend : {0.5f, 1.0f, 0.0f, 1e30f, kNaN}) {
            for (float mod : {300.0f, 1e30f, -5.0f, kNaN}) {
                d->configure(-1.00064f, 1.58489f, bend, mod);
                std::copy(in.begin(), in.end(), a.begin());
                std::copy(in.begin(), in.end(), b.begin());
                stereo(0, 4000);
                ASSERT_TRUE(allFinite(a)) << bend << " " << mod;
                ASSERT_TRUE(allFinite(b)) << bend << " " << mod;
            }
        }
        d->configure(kNaN, kInf, kNaN, kNaN);
        std::copy(in.begin(), in.end(), a.begin());
        mono(0, 4000);
        ASSERT_TRUE(allFinite(a));
    }
}

TEST_F(DiffuserTest, BadInputSamplesDoNotStayInTheLoop) {
    prepare();
    d->configure(-0.99f, 1.0f, 0.5f, 20.0f);
    a[0] = kNaN;
    a[1] = kInf;
    a[2] = -kInf;
    mono(0, 20000);
    for (int n = 3; n < 20000; ++n) ASSERT_TRUE(std::isfinite(a[n])) << n;
}

TEST_F(DiffuserTest, PrepareClearAndConfigureMayRunBesideProcess) {
    prepare();
    auto in = noise(512, 4);
    std::atomic<bool> done{false};
    std::thread audio([&] {
        for (int block = 0; !done.load(); ++block) {
            std::copy(in.begin(), in.end(), a.begin() + (block % 16) * 512);
            stereo((block % 16) * 512, 512);
        }
    });
    for (int n = 0; n < 40; ++n) {
        ASSERT_TRUE(d->prepare(n % 2 ? 48000.0f : 44100.0f));
        d->configure(-0.9f, 1.2f, n % 3 ? 0.5f : 0.7f, 100.0f);
        d->clear();
    }
    done = true;
    audio.join();
    EXPECT_TRUE(allFinite(a));
    EXPECT_EQ(d->sampleRate, 48000.0f);
}

}  // namespace
}  // namespace kelvoran
