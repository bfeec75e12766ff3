// ReverbEngine: the bank, the working room, the derived quantities, the histories, the
// ray taps and the signal path of one plug-in instance.
#pragma once
#include <atomic>
#include <cstdint>

#include "engine/program.h"
#include "engine/shared.h"

struct VstSpeakerArrangement;

namespace kelvoran {

class Diffuser;
class EQfilter;

constexpr int kHistoryLength = 1 << 20;
constexpr int kHistoryMask = kHistoryLength - 1;
constexpr int kMaxTaps = 1024;
constexpr int kPathPoints = 64;
constexpr float kDenormal = 1e-20f;

struct RayTap {
    // current tap, played by the renderer
    float* curHistory;
    int32_t curDelay;
    float curLowpassState;
    float curGain[5];
    float curLowpassCoef;
    float curHiCut;
    // hand-over: the tracer sets it last, the renderer or commitTaps clears it last
    std::atomic<uint8_t> pending;
    float fade;
    float newLowpassState;
    float fadeStep;
    // tracing state
    int32_t traceSerial;
    int32_t inFlight;
    float rayIndex;
    float* newHistory;
    const Relaxed<float>* source;  // x, y pair in the engine
    float posX, posY;
    float dirX, dirY;
    float emitDirX, emitDirY;
    float firstHitX, firstHitY;
    float firstDirX, firstDirY;
    float firstHitGain;
    float pathLength;
    int32_t lastWall;
    // new tap, written by the tracer while pending is clear
    int32_t newDelay;
    float newGain[5];
    float newLowpassCoef;
    float newHiCut;
    float amplitude;
    float hiCut;
    int32_t hasFirstHit;
    int32_t newHasFirstHit;
    std::atomic<int32_t> freshForDisplay;
    int32_t seed;
};

struct RayPath {
    float point[kPathPoints][2];
    float direction[kPathPoints][2];
    float length[kPathPoints];
    int32_t numSegments;
};

// The walls as the tracer sees them. Room edits happen on the editor's or host's
// thread; each edit publishes a copy that the tracer picks up at its next call.
struct Room {
    int32_t numWalls;
    Wall walls[kMaxWalls];
};

// Single-writer, single-reader hand-over of the latest room without waiting.
struct RoomMailbox {
    Room buffers[3];
    std::atomic<int> latest{0};  // index, plus 4 when not yet taken
    int writerIndex = 1;
    int readerIndex = 2;
    void publish(int32_t numWalls, const Wall* walls);
    const Room& take();  // tracer side
};

// Equaliser coefficients on their way from the parameter thread to the audio chains.
struct EqMailbox {
    std::atomic<uint32_t> sequence{0};
    Relaxed<float> coef[4][5];  // b0 b1 b2 a1 a2 per band
    uint32_t seen = 0;          // audio side
};

// Fills the bank at construction; the factory programs live with the presets.
using BankFill = void (*)(BankImage&);

struct ReverbEngine {
    explicit ReverbEngine(BankFill fillBank = nullptr);
    ~ReverbEngine();
    ReverbEngine(const ReverbEngine&) = delete;
    ReverbEngine& operator=(const ReverbEngine&) = delete;

    // working room
    int32_t numWalls = 0;
    Wall walls[kMaxWalls] = {};
    Relaxed<float> source1X, source1Y;
    Relaxed<float> source2X, source2Y;
    Relaxed<float> earsX, earsY;
    Relaxed<float> captureRadius;
    int32_t rayCursor = 0;
    Relaxed<uint8_t> viewDirty;
    Relaxed<float> samplesPerMetre;
    std::atomic<int32_t> ready{0};
    Relaxed<int32_t> exportCountdown;
    std::atomic<uint8_t> rebuildRequested{0};
    Relaxed<uint8_t> programLoading;
    Relaxed<int32_t> displayMode;
    Relaxed<float> readbackValue;
    BankImage bank;  // header and programs as the bank chunk carries them
    BankHeader& bankHeader = bank.header;
    KelvoranProgram (&programs)[kNumPrograms] = bank.programs;
    float history1[kHistoryLength];
    float history2[kHistoryLength];
    RayTap taps[kMaxTaps];
    RayPath rayPaths[kMaxTaps];
    Diffuser* diffuser = nullptr;
    Relaxed<int32_t> categoryCount[8];
    int32_t writePos = 0;
    float rayStepCos = 1, rayStepSin = 0;
    Relaxed<int32_t> reverseBase;
    Relaxed<uint8_t> layoutChanged;
    Relaxed<uint8_t> refreshControls;
    Relaxed<uint8_t> programChanged;
    Relaxed<int32_t> roomSerial;
    VstSpeakerArrangement* inputArrangement = nullptr;
    VstSpeakerArrangement* outputArrangement = nullptr;
    Relaxed<int32_t> numOutputs;
    Relaxed<int32_t> numInputs;
    Relaxed<float> sampleRate;
    Relaxed<int32_t> currentProgram;
    Relaxed<float> wetGain, dryGain;
    Relaxed<int32_t> stereoSources;
    Relaxed<int32_t> reverse;
    Relaxed<float> wallHiCut, wallAbsorb;
    Relaxed<float> airHiCut, airAbsorb;
    Relaxed<int32_t> numTaps;
    Relaxed<int32_t> numRays;
    Relaxed<float> mirrorDrawing;
    Relaxed<int32_t> inputPin[2];
    Relaxed<int32_t> outputPin[5];
    Relaxed<int32_t> headAngleDegrees;
    Relaxed<float> headSin, headCos;
    Relaxed<float> diffusionGain, diffusionSize, diffusionMod, width;
    Relaxed<float> scale;
    Relaxed<float> preDelayMs;
    Relaxed<float> panX, panY;
    Relaxed<float> outputGain[5];
    Relaxed<int32_t> outputsChoice;
    Relaxed<float> bend, scatter, height;
    Relaxed<float> eqFreq[4], eqGain[4], eqWidth[4];
    Relaxed<float> peak[5];
    EQfilter* eqFilters1[4] = {};
    EQfilter* eqDisplayFilters[4] = {};
    EQfilter* eqFilters2[4] = {};
    Relaxed<int32_t> blockSize;
    int32_t dryCapacity = 0;
    float* dryBuffer1 = nullptr;
    float* dryBuffer2 = nullptr;
    Relaxed<int32_t> overlayMode, overlayTicks;
    std::atomic<int32_t> blockCounter{0};
    std::atomic<int32_t> inBlock{0};
    Relaxed<int32_t> idleSeenBlock;
    Relaxed<int32_t> messageCode, messageTicks;

    // Coordination beyond the stored fields.
    TryLock tapsLock;                      // tracing, commits and table rebuilds
    std::atomic<uint8_t> tableRebuildRequested{0};
    RoomMailbox roomMailbox;
    const Room* tracedRoom = nullptr;      // the tracer's copy of the room
    EqMailbox eqMailbox;
    float* silentInput = nullptr;          // for input pins the host does not have
    float* discardOutput = nullptr;        // for output pins the host does not have

    // Part of the program switch and the sample-rate set-up.
    void setProgramAndRate(int program, float rate);
    void restart();
    // Stops the block entry and waits for a running block to end (never on the audio
    // thread); returns what `ready` was.
    int32_t pauseAudio();

    // Room operations.
    void loadRoom(int program);
    bool appendWall(int x1, int y1, int x2, int y2);
    void removeWall(int index);
    bool removeWallAt(int x1, int y1, int x2, int y2);
    bool moveWallEnds(int fx, int fy, int tx, int ty, bool start);
    int findMarkedWall(int x, int y) const;
    int pickWall(int px, int py) const;
    void publishRoom();

    // Parameter path.
    void applyParameter(int index, float value);
    float parameterValue(int index);
    void updateSurroundGains();
    void setEqBand(int band, float gain, float frequency, float width);

    // Tracer and taps.
    void buildRayTable();
    void trace(int budget);
    void commitTaps();
    // The editor idle's share of tracing: returns true when it traced.
    bool idleTrace();

    // Signal path.
    void processBlock(float** inputs, float** outputs, int count, int hostInputs = 2,
                      int hostOutputs = 6);
    void renderBlock2(const float* in1, const float* in2, float* outL, float* outR, int count);
    void renderBlock4(const float* in1, const float* in2, float* outL, float* outR, float* outLs,
                      float* outRs, int count);
    void renderBlock5(const float* in1, const float* in2, float* outL, float* outR, float* outLs,
                      float* outRs, float* outC, int count);
    void resetSignalPath();
    // The plain renderer of one tap; renderTaps gives the same result for all of them faster.
    void renderTap(RayTap& tap, float* const* outs, int numOuts, int count);
    void renderTaps(float* const* outs, int numOuts, int count);

    KelvoranProgram& program() { return programs[currentProgram.load()]; }

   private:
    bool withoutTaps = false;  // this block found the taps busy on another thread
    void renderBlock(const float* in1, const float* in2, float* const* outs, int numOuts,
                     int count);
    void inputStage(const float* in1, const float* in2, int count);
    void applyEqChain(float* history, EQfilter* const* chain, int count);
    void takeEqCoefficients();
    void finalMix(float* const* outs, int numOuts, int count);
    void raySegment(RayTap& tap, RayPath& path, const Room& room, float preDelaySamples);
    void finishRay(RayTap& tap, bool audible);
    // A table rebuild asked for by the parameter path happens here, on the tracing thread.
    void takeTableRebuild();
    void resizeDryBuffers();
    bool renderSteadyGroup(RayTap* const* group, float* const* outs, int numOuts, int count);
};

// The new tap becomes the current one: at the end of a cross-fade or all at once.
inline void commitTap(RayTap& t) {
    t.curLowpassCoef = t.newLowpassCoef;
    t.curDelay = t.newDelay;
    for (int k = 0; k < 5; ++k) t.curGain[k] = t.newGain[k];
    t.curHistory = t.newHistory;
    t.curHiCut = t.newHiCut;
    t.curLowpassState = t.newLowpassState;
    t.pending.store(0, std::memory_order_release);
}

// Bounds of a sample rate the engine accepts; any other keeps the previous rate.
bool isUsableSampleRate(float rate);

}  // namespace kelvoran
