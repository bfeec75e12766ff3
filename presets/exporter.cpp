#include "presets/exporter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "dsp/diffuser.h"
#include "dsp/eq_filter.h"
#include "engine/params.h"
#include "presets/fxp.h"

namespace kelvoran {

struct ExportFile {
    std::string path;
    int first = 0;     // first logical output it holds
    int channels = 1;  // 2 for a pair file
    int blocks = 0;    // blocks of kBlock frames to write
    FILE* handle = nullptr;
    bool failed = false;
};

namespace {

constexpr int kBandFrequencyParameters[4] = {25, 28, 31, 34};
constexpr int kTraceRounds = 32;  // of 4096 units each, while rays are still in flight

int channelCount(int numOutputs) { return numOutputs >= 5 ? 5 : numOutputs == 4 ? 4 : 2; }

void put16(unsigned char* at, uint32_t v) { at[0] = uint8_t(v), at[1] = uint8_t(v >> 8); }
void put32(unsigned char* at, uint32_t v) { put16(at, v), put16(at + 2, v >> 16); }

// Full scale is 32767.9; beyond it the sample is clipped, never wrapped.
int16_t toPcm16(float x) {
    float s = x * 32767.9f;
    if (!(s == s)) return 0;
    if (s >= 32767.0f) return 32767;
    if (s <= -32768.0f) return -32768;
    return int16_t(s);
}

uint32_t floatBits(float x) {
    uint32_t u;
    std::memcpy(&u, &x, 4);
    return u;
}

// The diffusion network's running oscillators and read positions; both passes start
// from the same motion, and the engine gets its own back afterwards.
struct LineMotion {
    int32_t writeIndex, readIndex, lfoCounter, lfoHalfPeriod, modOffset, bendPhase;
    float lfoValue, lfoStep, modWeightNext, modWeightThis;
};
struct DiffuserMotion {
    LineMotion lines[2 * kDiffusionNetworkLines];
    int32_t rotor;
};

DiffuserMotion saveMotion(const Diffuser& d) {
    DiffuserMotion m;
    for (int i = 0; i < 2 * kDiffusionNetworkLines; ++i) {
        const DiffusionLine& l = d.lines[i];
        m.lines[i] = {l.writeIndex, l.readIndex, l.lfoCounter, l.lfoHalfPeriod, l.modOffset,
                      l.bendPhase.load(), l.lfoValue, l.lfoStep, l.modWeightNext, l.modWeightThis};
    }
    m.rotor = d.rotor;
    return m;
}

void restoreMotion(Diffuser& d, const DiffuserMotion& m) {
    for (int i = 0; i < 2 * kDiffusionNetworkLines; ++i) {
        DiffusionLine& l = d.lines[i];
        const LineMotion& s = m.lines[i];
        l.writeIndex = s.writeIndex, l.readIndex = s.readIndex;
        l.lfoCounter = s.lfoCounter, l.lfoHalfPeriod = s.lfoHalfPeriod;
        l.modOffset = s.modOffset, l.bendPhase = s.bendPhase;
        l.lfoValue = s.lfoValue, l.lfoStep = s.lfoStep;
        l.modWeightNext = s.modWeightNext, l.modWeightThis = s.modWeightThis;
    }
    d.rotor = m.rotor;
}

bool raysInFlight(const ReverbEngine& e) {
    const int n = e.numTaps, serial = e.roomSerial;
    for (int i = 0; i < n; ++i)
        if (e.taps[i].inFlight || e.taps[i].traceSerial != serial) return true;
    return false;
}

// Every equaliser band designed anew for the engine's present rate.
void redesignBands(ReverbEngine& e) {
    for (int index : kBandFrequencyParameters)
        e.applyParameter(index, e.program().slot[kParameterSlot[index]]);
}

// Pairs L R, Ls Rs as two-channel files and C alone, or one file per output; a single
// file takes the base name, several are numbered from 1.
int planFiles(int channels, bool pairs, const std::string& base, const char* ext,
              ExportFile* files) {
    int count = 0;
    for (int k = 0; k < channels; ++count) {
        files[count].first = k;
        files[count].channels = pairs && k + 1 < channels ? 2 : 1;
        k += files[count].channels;
    }
    for (int i = 0; i < count; ++i)
        files[i].path = count == 1 ? base + ext : base + std::to_string(i + 1) + ext;
    return count;
}

void writeWavHeader(ExportFile& f, int format, float rate) {
    const uint32_t c = f.channels, b = format == exportWavFloat ? 4 : 2;
    const uint32_t data = uint32_t(f.blocks) * Exporter::kBlock * c * b;
    const uint32_t sampleRate = uint32_t(rate);
    unsigned char h[44];
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, data + 36);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16);
    put16(h + 20, format == exportWavFloat ? 3 : 1);
    put16(h + 22, c);
    put32(h + 24, sampleRate);
    put32(h + 28, sampleRate * c * b);
    put16(h + 32, c * b);
    put16(h + 34, 8 * b);
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, data);
    if (std::fwrite(h, 1, 44, f.handle) != 44) f.failed = true;
}

}  // namespace

void Exporter::renderOneBlock(int channels) {
    ReverbEngine& e = *engine;
    // The engine's dry buffers hold one host block; a shorter one is rendered in pieces.
    const int piece = std::min(kBlock, std::max(1, e.dryCapacity));
    float* o[5];
    for (int done = 0; done < kBlock; done += piece) {
        const int c = std::min(piece, kBlock - done);
        for (int k = 0; k < 5; ++k) o[k] = output[k] + done;
        const float *a = input[0] + done, *b = input[1] + done;
        if (channels == 5) e.renderBlock5(a, b, o[0], o[1], o[2], o[3], o[4], c);
        else if (channels == 4) e.renderBlock4(a, b, o[0], o[1], o[2], o[3], c);
        else e.renderBlock2(a, b, o[0], o[1], c);
        e.writePos = (e.writePos + c) & kHistoryMask;
    }
}

void Exporter::startPass(int channels) {
    ReverbEngine& e = *engine;
    std::fill(e.history1, e.history1 + kHistoryLength, 0.0f);
    std::fill(e.history2, e.history2 + kHistoryLength, 0.0f);
    e.diffuser->clear();
    for (int b = 0; b < 4; ++b) e.eqFilters1[b]->clearState(), e.eqFilters2[b]->clearState();
    // The taps' low-pass filters too, or the second pass would start from the first one's tail.
    const int n = e.numTaps;
    for (int i = 0; i < n; ++i) e.taps[i].curLowpassState = e.taps[i].newLowpassState = kDenormal;
    for (int k = 0; k < channels; ++k) std::fill(output[k], output[k] + kBlock, 0.0f);
    e.writePos = 0;
}

// Per channel, the blocks from the start up to the first silent block after the first
// audible one. A channel still sounding at the bound keeps what was measured; one never
// heard has nothing to write.
void Exporter::measure(int channels, bool normalise, int blocks[5], float& peak) {
    bool done[5] = {}, heard[5] = {};
    int finished = 0;
    peak = 0.0f;
    input[0][0] = input[1][0] = 2.0f;
    for (int b = 0; b < kMaxBlocks && finished < channels; ++b) {
        renderOneBlock(channels);
        input[0][0] = input[1][0] = 0.0f;
        for (int k = 0; k < channels; ++k) {
            if (done[k]) continue;
            float loudest = 0.0f;
            for (float x : output[k]) loudest = std::max(loudest, std::fabs(x));
            const bool audible = loudest > kAudible;
            if (!audible && heard[k]) {
                done[k] = true, ++finished;
                continue;
            }
            heard[k] = heard[k] || audible;
            if (normalise) peak = std::max(peak, loudest);
            ++blocks[k];
        }
    }
    for (int k = 0; k < channels; ++k)
        if (!heard[k]) blocks[k] = 0;
}

bool Exporter::writeBlock(ExportFile& f, int format, float divisor) {
    unsigned char* at = frames;
    for (int j = 0; j < kBlock; ++j)
        for (int c = 0; c < f.channels; ++c) {
            const float x = output[f.first + c][j] / divisor;
            if (format == exportWav16) put16(at, uint16_t(toPcm16(x))), at += 2;
            else put32(at, floatBits(x)), at += 4;
        }
    const size_t bytes = size_t(at - frames);
    return std::fwrite(frames, 1, bytes, f.handle) == bytes;
}

bool Exporter::writeAll(int channels, ExportFile* files, int numFiles, int format,
                        float divisor) {
    int total = 0;
    for (int i = 0; i < numFiles; ++i) total = std::max(total, files[i].blocks);
    for (int b = 0; b < total; ++b) {
        renderOneBlock(channels);
        input[0][0] = input[1][0] = 0.0f;
        for (int i = 0; i < numFiles; ++i)
            if (b < files[i].blocks && !files[i].failed && !writeBlock(files[i], format, divisor))
                files[i].failed = true;
    }
    bool ok = true;
    for (int i = 0; i < numFiles; ++i) ok = !files[i].failed && ok;
    return ok;
}

// A fresh ray table for the present rate, traced until no ray is left in flight (or
// the rounds run out) and made current at once, without cross-fades.
void Exporter::retraceTaps() {
    ReverbEngine& e = *engine;
    e.buildRayTable();
    e.commitTaps();
    for (int round = 0; round < kTraceRounds && raysInFlight(e); ++round) {
        e.trace(4096);
        e.commitTaps();
    }
    e.overlayTicks = 0;
}

std::vector<std::string> Exporter::fileNames(int numOutputs, int stereoFiles, int format,
                                             const std::string& path) {
    ExportFile files[5];
    int n = planFiles(channelCount(numOutputs), stereoFiles != 0, cutExtension(path),
                      format == exportRawFloat ? ".raw" : ".wav", files);
    std::vector<std::string> names;
    for (int i = 0; i < n; ++i) names.push_back(files[i].path);
    return names;
}

ExportResult Exporter::exportImpulse(int format, float rate, int stereoFiles, int normalise,
                                     const std::string& path) {
    ReverbEngine& e = *engine;
    e.exportCountdown = 0;
    if (!isUsableSampleRate(rate)) return ExportResult::badRate;
    if (e.program().slot[parGain] == 0.0f) return ExportResult::silentProgram;
    if (format != exportWavFloat && format != exportRawFloat) format = exportWav16;

    // Files first: a name that cannot be created leaves the engine and its audio alone.
    const int channels = channelCount(e.numOutputs);
    ExportFile files[5];
    const int numFiles = planFiles(channels, stereoFiles != 0, cutExtension(path),
                                   format == exportRawFloat ? ".raw" : ".wav", files);
    for (int i = 0; i < numFiles; ++i) {
        files[i].handle = std::fopen(files[i].path.c_str(), "wb");
        if (files[i].handle) continue;
        for (int j = 0; j < i; ++j) std::fclose(files[j].handle);
        e.messageCode = 1, e.messageTicks = 100;
        return ExportResult::cannotCreate;
    }
    e.messageCode = 0;

    // No block may run, and no other thread may trace, while the export uses the engine.
    const int wasReady = e.ready.load();
    e.pauseAudio();
    e.tapsLock.lock();
    const float hostRate = e.sampleRate, hostDry = e.dryGain;
    const int hostWritePos = e.writePos;
    float hostPeak[5];
    for (int k = 0; k < 5; ++k) hostPeak[k] = e.peak[k];
    const DiffuserMotion hostMotion = saveMotion(*e.diffuser);

    e.dryGain = 0.0f;  // the files hold the reverb alone
    e.sampleRate = rate;
    redesignBands(e);
    retraceTaps();
    for (auto& in : input) std::fill(in, in + kBlock, 0.0f);

    const DiffuserMotion passMotion = saveMotion(*e.diffuser);
    int blocks[5] = {};
    float peak = 0.0f;
    startPass(channels);
    measure(channels, normalise != 0, blocks, peak);
    // Both passes render the same impulse of 2.0 from the same state, so they agree bit
    // for bit; the level is set on the way out, where a division gives the peak exactly.
    const float divisor = normalise ? peak + 1e-20f : 1.0f;

    for (int i = 0; i < numFiles; ++i) {
        const ExportFile& f = files[i];
        files[i].blocks = f.channels == 2 ? std::max(blocks[f.first], blocks[f.first + 1])
                                          : blocks[f.first];
        if (format != exportRawFloat) writeWavHeader(files[i], format, rate);
    }
    restoreMotion(*e.diffuser, passMotion);
    startPass(channels);
    input[0][0] = input[1][0] = 2.0f;
    bool ok = writeAll(channels, files, numFiles, format, divisor);
    for (int i = 0; i < numFiles; ++i) ok = std::fclose(files[i].handle) == 0 && ok;

    // The engine as it was, for its own rate, with the export's sound gone.
    e.sampleRate = hostRate;
    e.dryGain = hostDry;
    redesignBands(e);
    retraceTaps();
    restoreMotion(*e.diffuser, hostMotion);
    e.writePos = hostWritePos;
    for (int k = 0; k < 5; ++k) e.peak[k] = hostPeak[k];
    std::fill(e.history1, e.history1 + kHistoryLength, kDenormal);
    std::fill(e.history2, e.history2 + kHistoryLength, kDenormal);
    for (int b = 0; b < 4; ++b) e.eqFilters1[b]->clearState(), e.eqFilters2[b]->clearState();
    e.diffuser->clear();
    e.tapsLock.unlock();
    e.ready.store(wasReady);
    e.exportCountdown = 0;
    if (ok) return ExportResult::written;
    e.messageCode = 1, e.messageTicks = 100;
    return ExportResult::writeFailed;
}

}  // namespace kelvoran
