// Impulse-response export: the files, their headers and samples, and the engine afterwards.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "presets/exporter.h"
#include "tests/engine/fixture.h"

using namespace kelvoran;
using namespace kelvoran::test;

namespace {

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}
uint16_t le16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }

// A WAV file as written: the header fields and the samples (16-bit ones as integers).
struct Wav {
    size_t fileSize = 0;
    uint32_t riffSize = 0, rate = 0, byteRate = 0, dataSize = 0;
    uint16_t format = 0, channels = 0, blockAlign = 0, bits = 0;
    std::vector<float> samples;
    std::vector<unsigned char> data;
};

Wav readWav(const std::string& path) {
    const auto b = readFile(path);
    Wav w;
    w.fileSize = b.size();
    if (b.size() < 44) {
        ADD_FAILURE() << path << ": " << b.size() << " bytes";
        return w;
    }
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(le32(&b[16]), 16u);
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    w.riffSize = le32(&b[4]);
    w.format = le16(&b[20]), w.channels = le16(&b[22]);
    w.rate = le32(&b[24]), w.byteRate = le32(&b[28]);
    w.blockAlign = le16(&b[32]), w.bits = le16(&b[34]);
    w.dataSize = le32(&b[40]);
    w.data.assign(b.begin() + 44, b.end());
    for (size_t i = 0; i + w.bits / 8 <= w.data.size(); i += w.bits / 8) {
        if (w.bits == 16) w.samples.push_back(float(int16_t(le16(&w.data[i]))));
        else {
            float x;
            std::memcpy(&x, &w.data[i], 4);
            w.samples.push_back(x);
        }
    }
    return w;
}

float largest(const std::vector<float>& v) {
    float m = 0;
    for (float x : v) m = std::max(m, std::fabs(x));
    return m;
}

// A small absorbing box, a listener near the source, 16 rays: short responses.
void setUpRoom(ReverbEngine& e, int outputs) {
    e.numOutputs = outputs;
    KelvoranProgram& p = e.programs[0];
    p.numWalls = 0;
    addBox(p, 18, 18, 32, 30);
    p.slot[parNumRays] = 0.0f;
    p.slot[parAbsorb] = 0.9f;
    p.slot[parDiffMod] = 0.0f;
    p.slot[parEarsX] = 0.52f, p.slot[parEarsY] = 0.5f;
    switchProgram(e, 0);
}

struct ExportFixture : ::testing::Test {
    std::string dir;
    std::unique_ptr<ReverbEngine> engine = std::make_unique<ReverbEngine>();
    Exporter exporter{engine.get()};

    void SetUp() override {
        char name[] = "/tmp/kelvoran-export-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
        setUpRoom(*engine, 2);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string at(const std::string& file) const { return dir + "/" + file; }
    std::set<std::string> files() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            names.insert(entry.path().filename().string());
        return names;
    }
    void clearDir() {
        for (const std::string& f : files()) std::filesystem::remove_all(at(f));
    }
    ExportResult run(int format, int stereo, int normalise, const std::string& name,
                     float rate = 44100.0f) {
        return exporter.exportImpulse(format, rate, stereo, normalise, at(name));
    }
};

struct ExpectedFile {
    const char* name;
    int channels;
};

}  // namespace

TEST_F(ExportFixture, FileTableAndWavHeaders) {
    const struct {
        int outputs, stereo, format;
        const char* path;
        float rate;
        std::vector<ExpectedFile> expected;
    } cases[] = {
        {2, 1, exportWavFloat, "ir.wav", 48000, {{"ir.wav", 2}}},
        {2, 0, exportWavFloat, "ir", 44100, {{"ir1.wav", 1}, {"ir2.wav", 1}}},
        {2, 1, exportWav16, "irx.a", 44100, {{"irx.a.wav", 2}}},
        {4, 1, exportWavFloat, "ir.wav", 44100, {{"ir1.wav", 2}, {"ir2.wav", 2}}},
        {4, 0, exportWav16, "ir.raw", 96000,
         {{"ir1.wav", 1}, {"ir2.wav", 1}, {"ir3.wav", 1}, {"ir4.wav", 1}}},
        {5, 1, exportWavFloat, "ir.wav", 44100, {{"ir1.wav", 2}, {"ir2.wav", 2}, {"ir3.wav", 1}}},
        {5, 0, exportWav16, "ir.wav", 48000,
         {{"ir1.wav", 1}, {"ir2.wav", 1}, {"ir3.wav", 1}, {"ir4.wav", 1}, {"ir5.wav", 1}}},
        {6, 1, exportWav16, "ir.wav", 44100, {{"ir1.wav", 2}, {"ir2.wav", 2}, {"ir3.wav", 1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.outputs << " outputs, " << c.path);
        clearDir();
        setUpRoom(*engine, c.outputs);
        ASSERT_EQ(run(c.format, c.stereo, 1, c.path, c.rate), ExportResult::written);
        std::set<std::string> names;
        for (const ExpectedFile& f : c.expected) names.insert(f.name);
        EXPECT_EQ(files(), names);
        const uint32_t bytes = c.format == exportWav16 ? 2 : 4;
        for (const ExpectedFile& f : c.expected) {
            SCOPED_TRACE(f.name);
            const Wav w = readWav(at(f.name));
            EXPECT_EQ(w.format, c.format == exportWav16 ? 1 : 3);
            EXPECT_EQ(w.channels, f.channels);
            EXPECT_EQ(w.rate, uint32_t(c.rate));
            EXPECT_EQ(w.byteRate, uint32_t(c.rate) * f.channels * bytes);
            EXPECT_EQ(w.blockAlign, f.channels * bytes);
            EXPECT_EQ(w.bits, 8 * bytes);
            EXPECT_EQ(w.dataSize, w.fileSize - 44);
            EXPECT_EQ(w.riffSize, w.dataSize + 36);
            EXPECT_GT(w.dataSize, 0u);
            EXPECT_EQ(w.dataSize % (Exporter::kBlock * w.blockAlign), 0u) << "whole blocks";
        }
    }
}

TEST_F(ExportFixture, PairAndCentreFilesHoldTheSameChannelsAsMonoFiles) {
    setUpRoom(*engine, 5);
    ASSERT_EQ(run(exportWavFloat, 0, 1, "mono.wav"), ExportResult::written);
    ASSERT_EQ(run(exportWavFloat, 1, 1, "pair.wav"), ExportResult::written);
    Wav mono[5];
    for (int k = 0; k < 5; ++k) mono[k] = readWav(at("mono" + std::to_string(k + 1) + ".wav"));
    for (int pair = 0; pair < 2; ++pair) {
        const Wav w = readWav(at("pair" + std::to_string(pair + 1) + ".wav"));
        const Wav &a = mono[2 * pair], &b = mono[2 * pair + 1];
        const size_t frames = std::max(a.samples.size(), b.samples.size());
        ASSERT_EQ(w.samples.size(), 2 * frames);
        for (size_t j = 0; j < frames; ++j) {
            const float left = j < a.samples.size() ? a.samples[j] : 0.0f;
            const float right = j < b.samples.size() ? b.samples[j] : 0.0f;
            ASSERT_EQ(w.samples[2 * j], left) << pair << " " << j;
            ASSERT_EQ(w.samples[2 * j + 1], right) << pair << " " << j;
        }
    }
    EXPECT_EQ(readWav(at("pair3.wav")).data, mono[4].data) << "the third file holds C";
    EXPECT_GT(largest(mono[4].samples), 0.1f);
}

TEST_F(ExportFixture, RawFilesHoldTheFloatSamplesWithoutHeader) {
    setUpRoom(*engine, 4);
    ASSERT_EQ(run(exportWavFloat, 1, 0, "ir.wav"), ExportResult::written);
    ASSERT_EQ(run(exportRawFloat, 1, 0, "ir.wav"), ExportResult::written);
    for (const char* n : {"ir1", "ir2"}) {
        const Wav w = readWav(at(std::string(n) + ".wav"));
        const auto raw = readFile(at(std::string(n) + ".raw"));
        EXPECT_EQ(raw.size(), 4 * w.samples.size()) << n;
        EXPECT_EQ(raw, w.data) << n;
    }
}

TEST_F(ExportFixture, NormalisedExportPeaksAtFullScale) {
    const struct {
        const char* what;
        float modulation, bend;
    } settings[] = {
        {"no modulation", 0.0f, 0.5f}, {"modulation", 0.6f, 0.5f}, {"bend", 0.0f, 0.8f}};
    for (const auto& s : settings) {
        SCOPED_TRACE(s.what);
        setSlot(*engine, parDiffMod, s.modulation);
        setSlot(*engine, parBend, s.bend);
        setSlot(*engine, parDiffusion, 1.0f);
        setSlot(*engine, parHiCut, 1.0f);  // taps with low-pass memory
        ASSERT_EQ(run(exportWavFloat, 1, 1, "f.wav"), ExportResult::written);
        ASSERT_EQ(run(exportWav16, 1, 1, "i.wav"), ExportResult::written);
        EXPECT_EQ(largest(readWav(at("f.wav")).samples), 1.0f);
        EXPECT_EQ(largest(readWav(at("i.wav")).samples), 32767.0f);
    }
}

TEST_F(ExportFixture, SixteenBitSamplesAreTruncatedAndClippedAtFullScale) {
    setSlot(*engine, parGain, 1.0f);
    setSlot(*engine, parEarsX, engine->programs[0].slot[parSource1X]);  // every ray heard at once
    for (Slot band : {parEQgain1, parEQgain2, parEQgain3, parEQgain4}) setSlot(*engine, band, 0.5f);
    ASSERT_EQ(run(exportWavFloat, 1, 0, "f.wav"), ExportResult::written);
    ASSERT_EQ(run(exportWav16, 1, 0, "i.wav"), ExportResult::written);
    const Wav f = readWav(at("f.wav")), i = readWav(at("i.wav"));
    ASSERT_EQ(f.samples.size(), i.samples.size());
    ASSERT_GT(largest(f.samples), 1.01f) << "needs samples beyond full scale";
    for (size_t j = 0; j < f.samples.size(); ++j) {
        const float scaled = f.samples[j] * 32767.9f;
        const float expected = std::clamp(std::trunc(scaled), -32768.0f, 32767.0f);
        ASSERT_EQ(i.samples[j], expected) << j << ": " << f.samples[j];
    }
}

TEST_F(ExportFixture, ResponseLengthEndsAfterTheFirstSilentBlock) {
    // Without normalising the impulse is 2.0: the float file is the response at that level.
    ASSERT_EQ(run(exportWavFloat, 0, 0, "ir.wav"), ExportResult::written);
    for (const char* n : {"ir1.wav", "ir2.wav"}) {
        const Wav w = readWav(at(n));
        const int blocks = int(w.samples.size()) / Exporter::kBlock;
        ASSERT_GE(blocks, 1) << n;
        const float* last = w.samples.data() + (blocks - 1) * Exporter::kBlock;
        float lastBlock = 0;
        for (int j = 0; j < Exporter::kBlock; ++j) lastBlock = std::max(lastBlock, std::fabs(last[j]));
        EXPECT_GT(lastBlock, Exporter::kAudible) << n << ": every written block is audible here";
        EXPECT_LT(blocks, 200) << n;
    }
}

TEST_F(ExportFixture, ExportEndsForOutputsThePannerMutes) {
    const struct {
        int outputs;
        std::vector<std::string> silent, sounding;
    } cases[] = {
        {2, {"m2.wav"}, {"m1.wav"}},
        {4, {"m2.wav", "m3.wav", "m4.wav"}, {"m1.wav"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.outputs);
        clearDir();
        setUpRoom(*engine, c.outputs);
        setSlot(*engine, parPanX, 0.04f);  // all the way to the left and the front
        setSlot(*engine, parPanY, 0.04f);
        setSlot(*engine, parDiffWidth, 0.5f);  // width 0.5 keeps a pair as it is
        ASSERT_EQ(run(exportWav16, 0, 1, "m.wav"), ExportResult::written);
        for (const std::string& f : c.silent) EXPECT_EQ(readWav(at(f)).dataSize, 0u) << f;
        for (const std::string& f : c.sounding) EXPECT_GT(readWav(at(f)).dataSize, 0u) << f;
    }
}

TEST_F(ExportFixture, WetGainZeroWritesNothing) {
    setSlot(*engine, parGain, 0.0f);
    engine->exportCountdown = 4;
    engine->messageCode = 7;
    EXPECT_EQ(run(exportWav16, 1, 1, "ir.wav"), ExportResult::silentProgram);
    EXPECT_TRUE(files().empty());
    EXPECT_EQ(engine->exportCountdown, 0);
    EXPECT_EQ(engine->messageCode, 7);
}

namespace {
// Two engines in the same state, fed the same noise; what one does to the engine between
// two stretches of audio must not show in the second stretch.
struct Twins {
    std::unique_ptr<ReverbEngine> a = std::make_unique<ReverbEngine>();
    std::unique_ptr<ReverbEngine> b = std::make_unique<ReverbEngine>();
    Twins(int outputs, int hostBlock) {
        for (ReverbEngine* e : {a.get(), b.get()}) {
            e->blockSize = hostBlock;
            setUpRoom(*e, outputs);
        }
    }
    void expectSameAudio(int samples, uint32_t seed, int block) {
        const auto in1 = noise(samples, seed), in2 = noise(samples, seed + 1);
        const Rendered x = render(*a, in1, in2, block), y = render(*b, in1, in2, block);
        for (int j = 0; j < samples; ++j) {
            ASSERT_EQ(x.left[j], y.left[j]) << j;
            ASSERT_EQ(x.right[j], y.right[j]) << j;
        }
        EXPECT_GT(largest(x.left), 1e-3f);
    }
};
}  // namespace

TEST_F(ExportFixture, FileThatCannotBeCreatedReportsAndLeavesTheEngineAsItWas) {
    ASSERT_EQ(mkdir(at("ir3.wav").c_str(), 0700), 0);  // the third of five files
    const struct {
        const char* path;
        std::set<std::string> left;
    } cases[] = {
        {"missing/ir.wav", {"ir3.wav"}},
        {"ir.wav", {"ir1.wav", "ir2.wav", "ir3.wav"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        Twins t(5, 512);
        t.expectSameAudio(22050, 5, 512);
        Exporter ex(t.a.get());
        t.a->exportCountdown = 4;
        EXPECT_EQ(ex.exportImpulse(exportWavFloat, 96000, 0, 0, at(c.path)),
                  ExportResult::cannotCreate);
        EXPECT_EQ(t.a->messageCode, 1);
        EXPECT_EQ(t.a->messageTicks, 100);
        EXPECT_EQ(t.a->exportCountdown, 0);
        EXPECT_EQ(files(), c.left);
        for (const char* made : {"ir1.wav", "ir2.wav"})
            if (c.left.count(made)) {
                EXPECT_EQ(readFile(at(made)).size(), 0u);
            }
        t.expectSameAudio(44100, 9, 512);  // the tail goes on as if nothing happened
        for (const char* made : {"ir1.wav", "ir2.wav"}) std::filesystem::remove(at(made));
    }
}

TEST_F(ExportFixture, AfterAnExportTheEngineRendersAsAFreshlyStartedOne) {
    // A short host block: the export renders in pieces the dry buffers hold.
    for (int hostBlock : {16384, 100}) {
        SCOPED_TRACE(hostBlock);
        Twins t(2, hostBlock);
        Exporter ex(t.a.get());
        setSlot(*t.a, parDiffMod, 0.6f), setSlot(*t.b, parDiffMod, 0.6f);
        ASSERT_EQ(ex.exportImpulse(exportWavFloat, 96000, 1, 1, at("ir.wav")),
                  ExportResult::written);
        EXPECT_EQ(t.a->sampleRate, 44100.0f);
        EXPECT_EQ(t.a->dryGain, t.b->dryGain);
        EXPECT_EQ(t.a->blockSize, hostBlock);
        EXPECT_EQ(t.a->dryCapacity, t.b->dryCapacity);
        EXPECT_EQ(t.a->ready, 1);
        EXPECT_EQ(t.a->messageCode, 0);
        t.expectSameAudio(44100, 3, 256);
        EXPECT_EQ(t.a->numTaps, t.b->numTaps);
    }
}

TEST_F(ExportFixture, FilesDoNotDependOnTheHostBlockSize) {
    ASSERT_EQ(run(exportWavFloat, 1, 1, "big.wav"), ExportResult::written);
    engine->blockSize = 100;
    engine->resetSignalPath();
    ASSERT_EQ(run(exportWavFloat, 1, 1, "small.wav"), ExportResult::written);
    EXPECT_EQ(readFile(at("big.wav")), readFile(at("small.wav")));
}

TEST_F(ExportFixture, WriteFailureIsReportedAndTheEngineRestored) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    ASSERT_EQ(symlink("/dev/full", at("ir.wav").c_str()), 0);
    EXPECT_EQ(run(exportWavFloat, 1, 1, "ir.wav"), ExportResult::writeFailed);
    EXPECT_EQ(engine->messageCode, 1);
    EXPECT_EQ(engine->ready, 1);
    EXPECT_EQ(engine->sampleRate, 44100.0f);
}

TEST_F(ExportFixture, UnusableRateChangesNothing) {
    for (float rate : {0.0f, -44100.0f, NAN, 1e12f}) {
        EXPECT_EQ(run(exportWav16, 1, 1, "ir.wav", rate), ExportResult::badRate);
        EXPECT_TRUE(files().empty());
        EXPECT_EQ(engine->sampleRate, 44100.0f);
    }
}

TEST_F(ExportFixture, AudioThreadRunningMeanwhileNeitherHangsNorChangesTheFiles) {
    ASSERT_EQ(run(exportWavFloat, 1, 1, "quiet.wav"), ExportResult::written);
    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0};
    std::thread audio([&] {
        const auto in = noise(256, 11);
        std::vector<float> l(256), r(256);
        while (!stop) {
            float* ins[2] = {const_cast<float*>(in.data()), const_cast<float*>(in.data())};
            float* outs[2] = {l.data(), r.data()};
            engine->processBlock(ins, outs, 256, 2, 2);
            ++blocks;
        }
    });
    while (blocks < 20) std::this_thread::yield();
    const ExportResult result = run(exportWavFloat, 1, 1, "busy.wav");
    const int before = blocks;
    while (blocks < before + 20) std::this_thread::yield();  // audio goes on afterwards
    stop = true;
    audio.join();
    ASSERT_EQ(result, ExportResult::written);
    EXPECT_EQ(readFile(at("busy.wav")), readFile(at("quiet.wav")));
    EXPECT_EQ(engine->ready, 1);
}
