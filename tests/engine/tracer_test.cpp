#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tests/engine/fixture.h"

using namespace kelvoran;
using namespace kelvoran::test;

namespace {
// The four walls and values of the factory bathroom.
void bathroom(KelvoranProgram& p) {
    const std::pair<Slot, float> values[] = {
        {parStereoOnOff, 1}, {parReverseOnOff, 0}, {parGain, 0.45f}, {parDryOut, 0.46f},
        {parAbsorb, 0.575f}, {parHiCut, 0.53f}, {parAbsorbAir, 0.3f}, {parHiCutAir, 0.245f},
        {parNumRays, 0.23f}, {parSpeakerIn1, 0}, {parSpeakerIn2, 1}, {parSpeakerOut1, 0},
        {parSpeakerOut2, 1}, {parSpeakerOut3, -1}, {parSpeakerOut4, -1}, {parSpeakerOut5, -1},
        {parEarsX, 0.5f}, {parEarsY, 0.5f}, {parSource1X, 0.48f}, {parSource1Y, 0.5f},
        {parSource2X, 0.52f}, {parSource2Y, 0.5f}, {parHeadAngle, 0.5f}, {parDiffusion, 0.658333f},
        {parScale, 0.5f}, {parPreDelay, 0.5f}, {parPanX, 0.5f}, {parPanY, 0.5f}, {parSurround, 0},
        {parDiffMod, 0.58f}, {parDiffSize, 0.625f}, {parDiffWidth, 0.5f}, {parBend, 0.5f},
        {parScatter, 0}, {parHeight, 0.06f}, {parEQfreq1, 0.1f}, {parEQgain1, 0.19f},
        {parEQwide1, 0.21f}, {parEQfreq2, 0.33f}, {parEQgain2, 0.5f}, {parEQwide2, 0.2f},
        {parEQfreq3, 0.66f}, {parEQgain3, 0.5f}, {parEQwide3, 0.3f}, {parEQfreq4, 0.5f},
        {parEQgain4, 0.575f}, {parEQwide4, 0.2f},
    };
    for (auto [slot, v] : values) p.slot[slot] = v;
    p.numWalls = 0;
    AddWall(p, 30, 28, 20, 28);
    AddWall(p, 30, 28, 30, 20);
    AddWall(p, 30, 20, 20, 20);
    AddWall(p, 20, 20, 20, 28);
    std::strcpy(p.name, "Production: Bathroom");
}

std::unique_ptr<ReverbEngine> bathroomEngine(float rate = 44100.0f) {
    auto e = std::make_unique<ReverbEngine>();
    bathroom(e->programs[3]);
    switchProgram(*e, 3, rate);
    return e;
}

// An empty room with one source and the listener; the ray table is rebuilt, committed,
// and the cursor is at ray 0, so tests can step rays one segment at a time.
std::unique_ptr<ReverbEngine> openField(float rays, float sx, float sy, float ex, float ey) {
    auto e = makeEngine();
    e->applyParameter(24, 0.0f);
    e->applyParameter(45, rays);
    e->applyParameter(10, sx), e->applyParameter(11, sy);
    e->applyParameter(8, ex), e->applyParameter(9, ey);
    e->applyParameter(4, 0.0f);  // no scatter
    e->applyParameter(5, 0.0f);  // no height
    e->trace(-1);
    e->commitTaps();
    e->rayCursor = 0;
    return e;
}

bool audible(const RayTap& t) { return t.newGain[0] + t.newGain[1] + t.newGain[2] + t.newGain[3] > 0; }
}  // namespace

TEST(RayTable, MonoAndStereoLayouts) {
    auto e = openField(0.0f, 0.5f, 0.4f, 0.5f, 0.5f);
    ASSERT_EQ(e->numTaps, 16);
    EXPECT_EQ(e->taps[0].emitDirX, 0.0f);
    EXPECT_EQ(e->taps[0].emitDirY, 1.0f);
    EXPECT_NEAR(e->taps[4].emitDirX, 1.0f, 1e-6f);
    EXPECT_NEAR(e->taps[4].emitDirY, 0.0f, 1e-6f);
    EXPECT_NEAR(std::atan2(e->taps[1].emitDirX, e->taps[1].emitDirY), M_PI / 8, 1e-6);
    EXPECT_NEAR(e->rayStepCos, std::cos(M_PI / 8), 1e-6);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(e->taps[i].newHistory, e->history1);
        EXPECT_GE(e->taps[i].fadeStep, 0.00005f);
        EXPECT_LE(e->taps[i].fadeStep, 0.00015f);
    }

    e->applyParameter(24, 1.0f);
    e->trace(-1);
    for (int i = 0; i < 16; i += 2) {
        const RayTap &a = e->taps[i], &b = e->taps[i + 1];
        EXPECT_EQ(a.rayIndex, float(i));
        EXPECT_EQ(b.rayIndex, float(i));
        EXPECT_EQ(a.emitDirX, b.emitDirX);
        EXPECT_EQ(a.fadeStep, b.fadeStep);
        EXPECT_EQ(a.newHistory, e->history1);
        EXPECT_EQ(b.newHistory, e->history2);
        EXPECT_EQ(a.source, &e->source1X);
        EXPECT_EQ(b.source, &e->source2X);
        EXPECT_NEAR(a.emitDirX, std::sin(i / 2 * M_PI / 4), 1e-6);
        EXPECT_NEAR(a.emitDirY, std::cos(i / 2 * M_PI / 4), 1e-6);
        EXPECT_EQ(a.pending, 1) << "the old taps fade out before the new table traces";
    }
    EXPECT_NEAR(e->rayStepCos, std::cos(M_PI / 4), 1e-6);
}

TEST(Tracer, DirectCaptureFiveMetresAway) {
    auto e = openField(0.0f, 0.5f, 0.4f, 0.5f, 0.5f);  // source (25, 20), listener (25, 25)
    e->trace(0);
    const RayTap& t = e->taps[0];
    ASSERT_EQ(t.pending, 1);
    ASSERT_TRUE(audible(t));
    float spm = 44100.0f * 0.0029411765f;
    float pre = 44100.0f * 0.0f * 0.001f;
    EXPECT_EQ(t.newDelay, -int(5.0f * 1.0f * spm + pre));
    EXPECT_EQ(t.hasFirstHit, 0);
    // The neighbours at 22.5 degrees pass 1.91 m off, just outside their capture radius of
    // 1.90 m; ray 15 is the last to compute it.
    float c = e->rayStepCos, s = e->rayStepSin;
    float L = e->taps[15].emitDirY * 5.0f + e->taps[15].emitDirX * 0.0f;
    float expected = std::sqrt((L - L * c) * (L - L * c) + (L * s) * (L * s)) + 0.1f;
    EXPECT_FLOAT_EQ(e->captureRadius, expected);
    EXPECT_FALSE(audible(e->taps[1]));
    EXPECT_FALSE(audible(e->taps[15]));
}

TEST(Tracer, SourceOnTheListenerGivesOnlyDirectTaps) {
    auto e = makeEngine();
    e->appendWall(10, 10, 40, 10), e->appendWall(40, 10, 40, 40);
    e->appendWall(40, 40, 10, 40), e->appendWall(10, 40, 10, 10);
    e->applyParameter(24, 0.0f);
    e->applyParameter(10, 0.5f), e->applyParameter(11, 0.5f);
    e->applyParameter(14, 0.6f);  // +100 ms
    e->trace(4096);
    e->commitTaps();
    e->trace(4096);
    int pre = int(44100.0f * 100.0f * 0.001f);
    for (int i = 0; i < e->numTaps; ++i) {
        const RayTap& t = e->taps[i];
        ASSERT_TRUE(audible(t)) << i;
        EXPECT_EQ(t.newDelay, -pre);
        EXPECT_EQ(t.hasFirstHit, 0);
    }
    e->applyParameter(14, 0.4f);  // negative pre-delay, reverse off: every ray ends silent
    e->trace(4096);
    e->commitTaps();
    e->trace(4096);
    for (int i = 0; i < e->numTaps; ++i) EXPECT_FALSE(audible(e->taps[i]));
}

TEST(Tracer, PreDelayZeroRemovesEveryTapBeforeHalfASecond) {
    auto count = [](float preDelay) {
        auto e = makeEngine();
        e->appendWall(10, 10, 40, 10), e->appendWall(40, 10, 40, 40);
        e->appendWall(40, 40, 10, 40), e->appendWall(10, 40, 10, 10);
        e->applyParameter(2, 0.0f);   // no wall absorption: long paths survive
        e->applyParameter(14, preDelay);
        e->trace(4096), e->commitTaps(), e->trace(30000);
        int n = 0;
        for (int i = 0; i < e->numTaps; ++i) {
            if (!audible(e->taps[i])) continue;
            EXPECT_LE(e->taps[i].newDelay, 0);
            ++n;
        }
        return n;
    };
    int normal = count(0.5f), early = count(0.0f);
    EXPECT_GT(normal, 0);
    EXPECT_LT(early, normal);
}

TEST(Tracer, AnUncaughtPassKeepsItsDistanceOnThePath) {
    // Ray 0 goes up from (25, 10) past the listener at (26, 20) and meets the wall y = 30.
    auto e = openField(1.0f, 0.5f, 0.2f, 0.52f, 0.4f);
    e->appendWall(0, 30, 50, 30);
    e->trace(0);
    const RayTap& t = e->taps[0];
    ASSERT_EQ(t.pending, 0);
    EXPECT_EQ(t.lastWall, 0);
    EXPECT_FLOAT_EQ(t.pathLength, 10.0f + 20.0f) << "g = 10 stays on top of the 20 m to the wall";
    EXPECT_EQ(t.posY, 30.0f);
    EXPECT_EQ(t.dirX, 0.0f) << "no scatter: exactly specular";
    EXPECT_EQ(t.dirY, -1.0f);
    EXPECT_EQ(t.amplitude, e->wallAbsorb) << "no scatter factor";
    EXPECT_EQ(t.firstHitY, 30.0f);
    EXPECT_EQ(t.firstDirY, -20.0f);
}

TEST(Tracer, ScatterTurnsAndHeightLengthensEveryReflection) {
    auto e = openField(1.0f, 0.5f, 0.2f, 0.9f, 0.9f);
    e->appendWall(0, 30, 50, 30);
    e->applyParameter(4, 1.0f);
    e->applyParameter(5, 1.0f);
    e->trace(-1), e->commitTaps(), e->trace(4096), e->commitTaps();
    e->rayCursor = 0;
    e->applyParameter(7, 0.0f);  // new serial: rays restart
    e->trace(0);
    const RayTap& t = e->taps[0];
    EXPECT_NE(t.dirX, 0.0f);
    EXPECT_GT(t.pathLength, 20.0f);
    EXPECT_LE(t.pathLength, 60.0f);
}

TEST(Tracer, FixedRoomGivesIdenticalTapsAndOutputForAnyBlockSize) {
    auto in1 = noise(12000, 11), in2 = noise(12000, 12);
    std::unique_ptr<ReverbEngine> reference;
    Rendered first;
    for (int block : {4096, 1, 37, 64, 512}) {
        auto e = bathroomEngine();
        Rendered r = render(*e, in1, in2, block);
        if (!reference) {
            first = r;
            reference = std::move(e);
            continue;
        }
        ASSERT_EQ(e->numTaps, reference->numTaps);
        for (int i = 0; i < e->numTaps; ++i) {
            const RayTap &a = e->taps[i], &b = reference->taps[i];
            ASSERT_EQ(a.curDelay, b.curDelay) << block << " tap " << i;
            ASSERT_EQ(std::memcmp(a.curGain, b.curGain, sizeof a.curGain), 0) << block;
            ASSERT_EQ(a.curLowpassCoef, b.curLowpassCoef) << block;
        }
        ASSERT_EQ(r.left, first.left) << "block " << block;
        ASSERT_EQ(r.right, first.right) << "block " << block;
    }
}

TEST(TapRenderer, CrossFadeFromTheExample) {
    auto e = bathroomEngine();
    auto in = noise(512);
    render(*e, in, in, 512);  // rebuild: everything committed and settled
    RayTap& t = e->taps[0];
    ASSERT_EQ(t.pending, 0);
    t.fadeStep = 0.0001f;
    t.fade = 1;
    t.newLowpassState = 1e-20f;
    t.pending = 1;
    render(*e, in, in, 512);
    EXPECT_NEAR(t.fade, 0.9488f, 1e-4f);
    int block = 1;
    while (t.pending && block < 40) render(*e, in, in, 512), ++block;
    EXPECT_EQ(block, 20);
}

TEST(TapRenderer, ReverseReadsMirroredAboutTheBase) {
    auto e = makeEngine();
    e->applyParameter(0, 0.0f), e->applyParameter(17, 0.0f), e->applyParameter(1, 0.0f);
    e->applyParameter(24, 0.0f);
    auto in = noise(4096);
    render(*e, in, in, 4096);
    e->applyParameter(37, 1.0f);
    RayTap& t = e->taps[0];
    t.pending = 0;
    t.curHistory = e->history1;
    t.curDelay = -100;
    t.curLowpassCoef = 1;
    for (float& g : t.curGain) g = 0;
    t.curGain[0] = t.curGain[1] = 1;
    e->reverseBase = -300;
    std::vector<float> zero(64, 0.0f);
    int p = e->writePos;
    Rendered r = render(*e, zero, zero, 64);
    for (int j = 0; j < 64; ++j)
        EXPECT_NEAR(r.left[j], e->history1[(p - 200 + j) & kHistoryMask], 1e-6f) << j;
}

TEST(Sound, BathroomImpulseStartsAtTheDirectPathAndDecays) {
    auto e = bathroomEngine();
    e->applyParameter(1, 0.0f);  // wet only
    const int n = 44100;
    std::vector<float> impulse(n, 0.0f);
    impulse[0] = 1.0f;
    Rendered r = render(*e, impulse, impulse, 512);
    int first = 0;
    while (first < n && std::fabs(r.left[first]) < 1e-4f) ++first;
    // Source 1 sits 1 m from the listener: 1 m * scale 1 at 340 m/s.
    int direct = int(44100.0f * 0.0029411765f);
    EXPECT_NEAR(first, direct, 2);
    auto rms = [&](int from, int len) {
        double s = 0;
        for (int j = from; j < from + len; ++j) s += double(r.left[j]) * r.left[j];
        return std::sqrt(s / len);
    };
    double early = rms(0, 2205), mid = rms(4410, 2205), late = rms(22050, 2205);
    EXPECT_GT(early, mid);
    EXPECT_GT(mid, late);
    EXPECT_GT(late, 0.0);
    EXPECT_GT(early, 20 * late);
    for (float x : r.left) ASSERT_TRUE(std::isfinite(x));
}

TEST(Sound, MovingAWallWhileASinePlaysCrossFadesWithoutAClick) {
    auto run = [](bool abrupt) {
        auto e = bathroomEngine();
        e->applyParameter(1, 0.0f);
        const int n = 44100 * 2, change = 44100;
        std::vector<float> sine(n);
        for (int j = 0; j < n; ++j) sine[j] = 0.5f * std::sin(2 * float(M_PI) * 220.0f * j / 44100.0f);
        std::vector<float> a(sine.begin(), sine.begin() + change), b(sine.begin() + change, sine.end());
        Rendered before = render(*e, a, a, 256);
        // The far wall moves 4 m outwards, as a finished drag in the room editor leaves it.
        e->removeWall(0);
        e->appendWall(30, 32, 20, 32);
        e->moveWallEnds(30, 28, 30, 32, true);
        e->moveWallEnds(20, 28, 20, 32, true);
        ++e->roomSerial;
        if (abrupt) {
            e->trace(4096);
            e->commitTaps();
        }
        Rendered after = render(*e, b, b, 256);
        auto maxStep = [](const std::vector<float>& v, int from, int to) {
            float m = 0;
            for (int j = std::max(from, 1); j < to; ++j) m = std::max(m, std::fabs(v[j] - v[j - 1]));
            return m;
        };
        float steady = maxStep(before.left, change / 2, change);
        float during = maxStep(after.left, 0, 22050);
        float changed = 0;
        for (int j = 0; j < 4410; ++j) changed = std::max(changed, std::fabs(after.left[22050 + j] - before.left[change - 4410 + j]));
        return std::tuple{steady, during, changed};
    };
    auto [steady, smooth, changed] = run(false);
    auto [steady2, abrupt, changed2] = run(true);
    EXPECT_GT(changed, 1e-3f) << "the room was heard to change";
    EXPECT_LT(smooth, 1.3f * steady) << "no sample step beyond what the steady room makes";
    EXPECT_GT(abrupt, smooth) << "an abrupt switch steps harder than the cross-fade";
}

TEST(TapRenderer, GroupedRenderingEqualsThePlainRendererBitForBit) {
    auto e = makeEngine();
    auto in = noise(kHistoryLength / 4);
    for (int i = 0; i < kHistoryLength; ++i) e->history1[i] = in[i % in.size()], e->history2[i] = -in[(i * 7) % in.size()];
    auto setTaps = [&] {
        uint32_t r = 9;
        auto rnd = [&] { return (r = r * 1103515245u + 12345u) >> 9; };
        e->numTaps = 300;
        for (int i = 0; i < 300; ++i) {
            RayTap& t = e->taps[i];
            t.curHistory = i % 3 ? e->history1 : e->history2;
            t.newHistory = e->history1;
            t.curDelay = -int(rnd() % 200000);
            t.newDelay = -int(rnd() % 200000);
            t.curLowpassCoef = float(rnd() % 1000) / 1000.0f + 0.001f;
            t.newLowpassCoef = 0.5f;
            t.curLowpassState = t.newLowpassState = 0.01f;
            for (int k = 0; k < 5; ++k) t.curGain[k] = i % 23 == 0 ? 0.0f : float(rnd() % 100) / 100.0f;
            for (int k = 0; k < 5; ++k) t.newGain[k] = 0.3f;
            t.fade = 0.7f, t.fadeStep = 0.0001f;
            t.pending = i % 41 == 5;
        }
    };
    for (int outputs : {2, 4, 5})
        for (int count : {1, 37, 512}) {
            for (int writePos : {1000, kHistoryLength - 20}) {
                std::vector<std::vector<float>> a(5, std::vector<float>(count, 0.0f)), b = a;
                float* oa[5] = {a[0].data(), a[1].data(), a[2].data(), a[3].data(), a[4].data()};
                float* ob[5] = {b[0].data(), b[1].data(), b[2].data(), b[3].data(), b[4].data()};
                e->writePos = writePos;
                setTaps();
                e->renderTaps(oa, outputs, count);
                std::vector<float> states;
                for (int i = 0; i < 300; ++i) states.push_back(e->taps[i].curLowpassState);
                setTaps();
                for (int i = 0; i < 300; ++i) e->renderTap(e->taps[i], ob, outputs, count);
                for (int k = 0; k < outputs; ++k) ASSERT_EQ(a[k], b[k]) << outputs << " " << count << " " << writePos;
                for (int i = 0; i < 300; ++i) ASSERT_EQ(states[i], e->taps[i].curLowpassState) << i;
            }
        }
}
