#include "dsp/diffuser.h"

#include <cmath>
#include <cstring>
#include <thread>

#include "engine/random.h"

namespace kelvoran {

namespace {

constexpr uint32_t kDiffusionSeed = 70192012;
constexpr int kHistoryWrap = 0xFFFFF;
constexpr float kSqrt8 = 2.8284271f;
constexpr float kTwoSevenths = 0.2857143f;
// Half periods of the oscillators are kept within 1 .. 1e9 steps, so the step is at
// most 1 and the counter never overflows, whatever the rate.
constexpr float kMinHalfPeriod = 1.0f;
constexpr float kMaxHalfPeriod = 1e9f;
constexpr float kMaxBendRate = float(1 << 23);

void stepOscillator(DiffusionLine& line) {
    line.lfoValue += line.lfoStep;
    if (line.lfoCounter == 0) {
        line.lfoCounter = line.lfoHalfPeriod;
        line.lfoStep = -line.lfoStep;
    } else {
        line.lfoCounter -= 1;
    }
}

void updateModulatedRead(DiffusionLine& line, float depth) {
    // The oscillator stays within about 0..1 and the depth within 0..16384: a plain cast.
    float offset = line.lfoValue * depth;
    line.modOffset = int32_t(offset);
    line.modWeightNext = offset - float(line.modOffset);
    line.modWeightThis = 1.0f - line.modWeightNext;
}

// Wraps like two's complement without the undefined behaviour of signed overflow.
int32_t wrappingAdd(int32_t a, int32_t b) { return int32_t(uint32_t(a) + uint32_t(b)); }

}  // namespace

Diffuser::Diffuser(int) {}

void Diffuser::waitWhileProcessing() {
    while (processing.load()) std::this_thread::yield();
}

void Diffuser::zeroLines() {
    for (auto& line : lines) std::memset(line.buffer, 0, sizeof line.buffer);
}

void Diffuser::layoutLine(DiffusionLine& line, int i, float rate) {
    const float T = -141.0f / std::log10(0.75f);
    const float D = 47.0f / std::pow(2.0f, float(i) / 8.0f);
    line.decay = std::pow(10.0f, -3.0f * D / T);
    line.readIndex = drawRandom() & 0x1FF;
    // Only the length modulo the line matters; fmod keeps huge rates in int range.
    line.writeIndex = int32_t(std::fmod(std::trunc(D * 0.001f * rate), float(kDiffusionLineLength)));
    std::memset(line.buffer, 0, sizeof line.buffer);
    line.modOffset = 0;
    float h = rate / ((10.0f + 30.0f * float(drawRandom()) / 32768.0f) * 0.083333336f);
    h = std::fmin(std::fmax(h, kMinHalfPeriod), kMaxHalfPeriod);
    line.lfoHalfPeriod = line.lfoCounter = int32_t(h);
    line.lfoStep = 1.0f / h;
    line.lfoValue = 0.0f;
    const int n = drawRandom() & 0x7FFF;
    for (int s = 0; s < n; ++s) stepOscillator(line);
}

bool Diffuser::prepare(float rate) {
    if (!std::isfinite(rate) || rate <= 0.0f) return false;
    prepared.store(false);
    waitWhileProcessing();
    sampleRate = rate;
    seedRandom(kDiffusionSeed);
    for (int i = 0; i < kDiffusionNetworkLines; ++i) {
        layoutLine(lines[i], i, rate);
        layoutLine(lines[kDiffusionNetworkLines + i], i, rate);
    }
    rotor = 1;
    prepared.store(true);  // the lines were emptied as they were laid out
    return true;
}

void Diffuser::clear() {
    const bool wasPrepared = prepared.exchange(false);
    waitWhileProcessing();
    zeroLines();
    if (wasPrepared) prepared.store(true);
}

void Diffuser::configure(float size, float gain, float bend, float mod) {
    // A NaN size or gain counts as 0, a bend that is not finite as the centre, and the
    // loop gain stays below 1 at any rate.
    if (std::isnan(size)) size = 0.0f;
    size = std::fmin(std::fmax(size, -kMaxDiffusionLoopGain), kMaxDiffusionLoopGain);
    float gain3 = gain * gain * gain;
    if (!std::isfinite(gain3)) gain3 = 0.0f;
    const float feedback = size / kSqrt8;
    for (auto& line : lines) {
        line.feedback = feedback;
        line.outGain = line.decay * kTwoSevenths * gain3;
    }

    if (!std::isfinite(bend)) bend = 0.5f;
    if (bend == 0.5f) {
        bendActive = 0;
        for (auto& line : lines) {
            line.bendRate = 0;
            line.bendPhase = 0;
        }
    } else {
        // A whole line is 2^23 steps of the phase: larger rates only wrap around.
        float rate = std::trunc(44100.0f / sampleRate * (bend - 0.5f) * 60.0f);
        const int32_t r = toInt(std::fmin(std::fmax(rate, -kMaxBendRate), kMaxBendRate));
        for (int k = 0; k < 2 * kDiffusionNetworkLines; ++k) {
            const int32_t i = k % kDiffusionNetworkLines;
            lines[k].bendRate = r < 0 ? r - 3 * i : r + 3 * i;
        }
        bendActive = 1;
    }

    // Beyond a whole line the read only wraps around; NaN reads at the line's read index.
    float depth = 2.0f * mod;
    if (!(depth > 0.0f)) depth = 0.0f;
    modDepth = std::fmin(depth, float(kDiffusionLineLength));
}

// One sample of one network of eight lines; sample gets the network output added.
void Diffuser::processNetwork(DiffusionLine* net, const float* outGain, const float* feedback,
                              float& sample, bool bend) {
    float x = sample + 1e-20f;
    if (!std::isfinite(x)) x = 0.0f;  // a bad input must not stay in the loop for ever

    float v[8];
    float y = 0.0f;
    for (int k = 0; k < 8; ++k) {
        DiffusionLine& L = net[k];
        if (bend) {
            const int32_t phase = L.bendPhase.load();
            v[k] = L.buffer[(L.readIndex + (phase >> 9)) & kDiffusionLineMask];
            L.bendPhase = wrappingAdd(phase, L.bendRate.load());
            y += outGain[k] * v[k];
        } else {
            v[k] = L.buffer[L.readIndex];
            const int32_t m = L.readIndex + L.modOffset;
            const float read = L.modWeightThis * L.buffer[m & kDiffusionLineMask] +
                               L.modWeightNext * L.buffer[(m + 1) & kDiffusionLineMask];
            y += outGain[k] * read;
        }
        L.readIndex = (L.readIndex + 1) & kDiffusionLineMask;
    }

    // Sylvester-ordered Hadamard product from three stages of sums and differences.
    const float a0 = v[0] + v[1], a1 = v[0] - v[1], a2 = v[2] + v[3], a3 = v[2] - v[3];
    const float a4 = v[4] + v[5], a5 = v[4] - v[5], a6 = v[6] + v[7], a7 = v[6] - v[7];
    const float b0 = a0 + a2, b1 = a1 + a3, b2 = a0 - a2, b3 = a1 - a3;
    const float b4 = a4 + a6, b5 = a5 + a7, b6 = a4 - a6, b7 = a5 - a7;
    const float h[8] = {b0 + b4, b1 + b5, b2 + b6, b3 + b7, b0 - b4, b1 - b5, b2 - b6, b3 - b7};

    for (int k = 0; k < 8; ++k) {
        DiffusionLine& L = net[k];
        const float fed = feedback[k] * h[k];
        L.buffer[L.writeIndex] = (k & 1) ? fed - x : fed + x;
        L.writeIndex = (L.writeIndex + 1) & kDiffusionLineMask;
    }
    sample = sample + y;
}

// Four lines of each network step their oscillator per sample: each steps every second sample.
void Diffuser::stepOscillators(bool stereo) {
    const float depth = modDepth.load();
    for (int n = 0; n < 4; ++n) {
        const int j = rotor & 7;
        stepOscillator(lines[j]);
        updateModulatedRead(lines[j], depth);
        if (stereo) {
            stepOscillator(lines[kDiffusionNetworkLines + j]);
            updateModulatedRead(lines[kDiffusionNetworkLines + j], depth);
        }
        rotor = (rotor + 1) & 7;
    }
}

void Diffuser::process(float* historyA, float* historyB, int start, int count) {
    if (!historyA) return;
    processing.store(true);
    // Gains change only through configure, which never runs during a block.
    float outGain[2 * kDiffusionNetworkLines], feedback[2 * kDiffusionNetworkLines];
    for (int k = 0; k < 2 * kDiffusionNetworkLines; ++k)
        outGain[k] = lines[k].outGain.load(), feedback[k] = lines[k].feedback.load();
    for (int n = 0; n < count; ++n) {
        if (!prepared.load()) break;
        const bool bend = bendActive.load() != 0;
        const int p = int((uint32_t(start) + uint32_t(n)) & kHistoryWrap);
        processNetwork(lines, outGain, feedback, historyA[p], bend);
        if (historyB)
            processNetwork(lines + kDiffusionNetworkLines, outGain + kDiffusionNetworkLines,
                           feedback + kDiffusionNetworkLines, historyB[p], bend);
        if (!bend) stepOscillators(historyB != nullptr);
    }
    processing.store(false);
}

}  // namespace kelvoran
