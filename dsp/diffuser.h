// Diffuser: two feedback delay networks of eight lines coupled by an 8 x 8 Hadamard
// matrix. They work inside the input histories and add a dense tail to every sample.
#pragma once
#include <atomic>
#include <cstdint>

#include "engine/shared.h"

namespace kelvoran {

constexpr int kDiffusionLineLength = 16384;
constexpr int kDiffusionLineMask = kDiffusionLineLength - 1;
constexpr int kDiffusionNetworkLines = 8;

struct DiffusionLine {
    float buffer[kDiffusionLineLength] = {};
    int32_t writeIndex = 0;  // kept within 0..0x3FFF
    int32_t readIndex = 0;   // kept within 0..0x3FFF; (writeIndex - readIndex) & 0x3FFF is the delay
    Relaxed<float> decay;
    Relaxed<float> outGain;
    Relaxed<float> feedback;
    float lfoValue = 0;
    float lfoStep = 0;
    int32_t lfoCounter = 0;
    int32_t lfoHalfPeriod = 0;
    float modWeightNext = 0, modWeightThis = 1;
    int32_t modOffset = 0;
    Relaxed<int32_t> bendPhase;  // read offset in 1/512 sample, wraps modulo 2^32
    Relaxed<int32_t> bendRate;
};

// prepare and clear may run on any thread: they wait for a running process call to
// end. configure may run on any thread: the settings it writes are relaxed atomics.
class Diffuser {
   public:
    // The network is wired for eight lines; other counts are taken as eight.
    explicit Diffuser(int numLines = kDiffusionNetworkLines);

    // Lays out all lines for the rate. A rate that is not finite and above 0 is
    // refused: the previous layout (or the unprepared state) stays, and false is returned.
    bool prepare(float sampleRate);
    void clear();
    void configure(float size, float gain, float bend, float mod);
    // historyA/historyB: 2^20-sample circular histories; historyB is nullptr in mono.
    void process(float* historyA, float* historyB, int start, int count);

    int32_t rotor = 1;  // kept within 0..7
    DiffusionLine lines[2 * kDiffusionNetworkLines];
    int32_t numLines = kDiffusionNetworkLines;
    Relaxed<float> modDepth;
    std::atomic<bool> prepared{false};
    Relaxed<float> sampleRate{44100.0f};
    Relaxed<int32_t> bendActive;

   private:
    std::atomic<bool> processing{false};
    void waitWhileProcessing();
    void zeroLines();
    void layoutLine(DiffusionLine& line, int i, float rate);
    void processNetwork(DiffusionLine* net, const float* outGain, const float* feedback,
                        float& sample, bool bend);
    void stepOscillators(bool stereo);
};

// Largest loop gain the feedback may reach; |size| is limited to it.
constexpr float kMaxDiffusionLoopGain = 0.9999f;

}  // namespace kelvoran
