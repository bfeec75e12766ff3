#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "dsp/eq_filter.h"
#include "tests/engine/fixture.h"

using namespace kelvoran;
using kelvoran::test::makeEngine;

namespace {
struct Case {
    int index;
    float value;
    float expected;
    std::function<float(ReverbEngine&)> field;
    const char* what;
};
}  // namespace

TEST(ParameterApplication, ConversionTable) {
    const Case cases[] = {
        {0, 0.5f, 0.25f, [](auto& e) { return e.wetGain.load(); }, "wet gain"},
        {1, 0.5f, 0.25f, [](auto& e) { return e.dryGain.load(); }, "dry gain"},
        {2, 1.0f, 0.3f, [](auto& e) { return e.wallAbsorb.load(); }, "wall absorb"},
        {3, 0.5f, 1 - 0.7f * 0.125f, [](auto& e) { return e.wallHiCut.load(); }, "wall hi cut"},
        {4, 0.5f, 0.25f, [](auto& e) { return e.scatter.load(); }, "scatter"},
        {5, 0.25f, 10.0f, [](auto& e) { return e.height.load(); }, "height"},
        {6, 1.0f, 0.995f, [](auto& e) { return e.airAbsorb.load(); }, "air absorb"},
        {7, 1.0f, 0.995f, [](auto& e) { return e.airHiCut.load(); }, "air hi cut"},
        {8, 0.44f, 22, [](auto& e) { return e.earsX.load(); }, "position 0.44"},
        {9, 0.45f, 23, [](auto& e) { return e.earsY.load(); }, "position 0.45"},
        {12, 1.0f, 50, [](auto& e) { return e.source2X.load(); }, "source 2 x"},
        {14, 0.0f, -500, [](auto& e) { return e.preDelayMs.load(); }, "pre-delay"},
        {15, 0.02f, 0.1f, [](auto& e) { return e.scale.load(); }, "scale clamp"},
        {15, 0.75f, 1.5f, [](auto& e) { return e.scale.load(); }, "scale"},
        {16, 0.5f, 0, [](auto& e) { return float(e.headAngleDegrees.load()); }, "head 0.5"},
        {16, 0.5f, 1, [](auto& e) { return e.headCos.load(); }, "head cos"},
        {16, 0.0f, 180, [](auto& e) { return float(e.headAngleDegrees.load()); }, "head 0"},
        {16, 0.25f, 270, [](auto& e) { return float(e.headAngleDegrees.load()); }, "head 0.25"},
        {17, 1.0f, 1.58489f, [](auto& e) { return e.diffusionGain.load(); }, "diffusion"},
        {18, 0.5f, 1.0f, [](auto& e) { return e.diffusionSize.load(); }, "diff size 0.5"},
        {18, 0.499f, 0.998f, [](auto& e) { return e.diffusionSize.load(); }, "diff size 0.499"},
        {18, 1.0f, 8.0f, [](auto& e) { return e.diffusionSize.load(); }, "diff size 1"},
        {19, 1.0f, 300, [](auto& e) { return e.diffusionMod.load(); }, "diff mod"},
        {20, 0.5f, 0.5f, [](auto& e) { return e.width.load(); }, "width"},
        {21, 0.3f, 0.3f, [](auto& e) { return e.bend.load(); }, "bend"},
        {22, 0.0f, 0, [](auto& e) { return e.panX.load(); }, "pan x"},
        {25, 1.0f, 16000, [](auto& e) { return e.eqFreq[0].load(); }, "eq freq 1"},
        {26, 1.0f, 15, [](auto& e) { return e.eqGain[0].load(); }, "eq gain 1"},
        {27, 1.0f, 0.2f, [](auto& e) { return e.eqWidth[0].load(); }, "shelf width"},
        {30, 1.0f, 3.1f, [](auto& e) { return e.eqWidth[1].load(); }, "peak width"},
        {37, 1.0f, 1, [](auto& e) { return float(e.reverse.load()); }, "reverse"},
        {38, 3.0f, 3, [](auto& e) { return float(e.inputPin[0].load()); }, "input pin"},
        {44, 5.0f, 5, [](auto& e) { return float(e.outputPin[4].load()); }, "output pin"},
        {45, 1.0f, 512, [](auto& e) { return float(e.numRays.load()); }, "rays 1"},
        {45, 0.0f, 16, [](auto& e) { return float(e.numRays.load()); }, "rays 0"},
        {45, 0.5f, 264, [](auto& e) { return float(e.numRays.load()); }, "rays 0.5"},
        {46, 2.0f, 2, [](auto& e) { return float(e.outputsChoice.load()); }, "outputs choice"},
        {75, 1.0f, 1, [](auto& e) { return e.mirrorDrawing.load(); }, "mirror"},
    };
    auto e = makeEngine();
    for (const Case& c : cases) {
        e->applyParameter(c.index, c.value);
        EXPECT_NEAR(c.field(*e), c.expected, 1e-5f * std::max(1.0f, std::fabs(c.expected))) << c.what;
        if (c.index < kNumProgramParameters) {
            EXPECT_EQ(e->program().slot[kParameterSlot[c.index]], c.value) << c.what << " slot";
        }
    }
    e->applyParameter(16, 0.5f);
    EXPECT_NEAR(e->headSin, 0.0f, 1e-6f);
}

TEST(ParameterApplication, RetraceRuleFollowsTheRoom) {
    auto e = makeEngine();
    const std::pair<int, bool> cases[] = {
        {0, true}, {1, false}, {2, true}, {8, true}, {14, true}, {17, false}, {18, false},
        {19, false}, {20, false}, {21, true}, {22, false}, {23, false}, {25, false}, {36, false},
        {37, true}, {38, true}, {46, true}, {65, false}, {70, false}, {75, false}, {76, true},
        {78, false}, {100, true}, {-3, true},
    };
    for (auto [index, retraces] : cases) {
        int before = e->roomSerial;
        e->applyParameter(index, 0.5f);
        EXPECT_EQ(e->roomSerial != before, retraces) << "index " << index;
    }
}

TEST(ParameterApplication, TableRebuildingIndicesRetraceTwice) {
    auto e = makeEngine();
    for (int index : {24, 45}) {
        int before = e->roomSerial;
        e->applyParameter(index, 1.0f);
        e->trace(-1);  // the next trace call rebuilds the table, tracing nothing
        EXPECT_EQ(e->roomSerial, before + 2) << index;
    }
    e->applyParameter(45, 0.0f);
    e->trace(-1);
    EXPECT_EQ(e->numTaps, 16);
}

TEST(ParameterApplication, SpeakerMinusOneKeepsSlotAndPinButRetraces) {
    auto e = makeEngine();
    e->applyParameter(40, 2.0f);
    int before = e->roomSerial;
    e->applyParameter(40, -1.0f);
    EXPECT_EQ(e->outputPin[0], 2);
    EXPECT_EQ(e->program().slot[parSpeakerOut1], 2.0f);
    EXPECT_NE(e->roomSerial, before);
}

TEST(ParameterApplication, StereoOnAMonoHostInputStoresZero) {
    auto e = makeEngine();
    int dummy;
    e->inputArrangement = reinterpret_cast<VstSpeakerArrangement*>(&dummy);
    e->numInputs = 1;
    e->applyParameter(24, 1.0f);
    EXPECT_EQ(e->program().slot[parStereoOnOff], 0.0f);
    EXPECT_EQ(e->stereoSources, 0);
    e->inputArrangement = nullptr;
}

TEST(ParameterApplication, EqFrequencyLimitsAtTwoRates) {
    for (float rate : {44100.0f, 22050.0f}) {
        auto e = makeEngine(rate);
        e->applyParameter(25, 1.0f);
        float stored = rate == 44100.0f ? 16000.0f : 11025.0f;
        float designed = rate == 44100.0f ? 16000.0f : 9922.5f;
        EXPECT_FLOAT_EQ(e->eqFreq[0], stored);
        EQfilter reference(5, e->eqGain[0], designed, rate, e->eqWidth[0], true);
        EXPECT_FLOAT_EQ(e->eqDisplayFilters[0]->b0, reference.b0) << rate;
        EXPECT_FLOAT_EQ(e->eqDisplayFilters[0]->a1, reference.a1) << rate;
    }
}

TEST(ParameterApplication, UnusableValuesChangeNothing) {
    auto e = makeEngine();
    e->applyParameter(0, 0.5f);
    int serial = e->roomSerial;
    for (float bad : {NAN, INFINITY, -INFINITY, 1e30f}) {
        for (int index = 0; index < 80; ++index) e->applyParameter(index, bad);
        EXPECT_EQ(e->wetGain, 0.25f);
        EXPECT_EQ(e->program().slot[parGain], 0.5f);
        EXPECT_EQ(e->roomSerial, serial);
    }
    // Large but finite values are taken as they are, and no filter design turns to NaN.
    e->applyParameter(26, 900.0f);
    EXPECT_TRUE(std::isfinite(e->eqDisplayFilters[0]->b0));
    e->applyParameter(45, 900.0f);
    EXPECT_EQ(e->numRays, 512);
    e->applyParameter(45, -900.0f);
    EXPECT_EQ(e->numRays, 16);
}

TEST(ParameterApplication, SurroundGains) {
    struct G { int outputs; float panX, panY; float gains[5]; };
    const G cases[] = {
        {2, 25, 25, {1, 1, 1, 1, 0}},
        {2, 2, 25, {2, 0, 2, 0, 0}},
        {4, 48, 2, {0, 4, 0, 0, 0}},
        {4, 25, 25, {1, 1, 1, 1, 0}},
        {5, 25, 25, {1, 1, 1, 1, 1}},
        {5, 2, 48, {0, 0, 4, 0, 0}},
    };
    auto e = makeEngine();
    for (const G& c : cases) {
        e->numOutputs = c.outputs;
        e->outputGain[4] = 0;
        e->panX = c.panX, e->panY = c.panY;
        e->updateSurroundGains();
        for (int k = 0; k < 5; ++k)
            EXPECT_NEAR(e->outputGain[k], c.gains[k], 1e-5f) << c.outputs << " outputs, k=" << k;
    }
    e->numOutputs = 2;
    e->applyParameter(22, 0.0f);
    EXPECT_NEAR(e->outputGain[0], 2 * 1.0434783f, 1e-5f) << "no clamping at the edge";
    EXPECT_LT(e->outputGain[1], 0.0f);
}

TEST(ParameterApplication, ReadBack) {
    auto e = makeEngine();
    e->applyParameter(3, 0.7f);
    EXPECT_EQ(e->parameterValue(3), 0.7f);
    EXPECT_EQ(e->readbackValue, 0.7f);
    EXPECT_EQ(e->parameterValue(69), 0.7f) << "69 answers the last value";
    e->applyParameter(75, 1.0f);
    EXPECT_EQ(e->parameterValue(75), 1.0f);
    EXPECT_EQ(e->parameterValue(60), 0.0f);
}
