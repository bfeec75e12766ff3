// Exporter: writes the impulse response of the current room to audio files, rendered
// offline through the engine's own block routines, for use in convolution reverbs.
#pragma once
#include <string>
#include <vector>

#include "engine/engine.h"

namespace kelvoran {

struct ExportFile;  // one output file of an export

enum ExportFormat : int {
    exportWav16 = 0,     // 16-bit integer WAV
    exportWavFloat = 1,  // 32-bit float WAV
    exportRawFloat = 2,  // headerless 32-bit float
};

enum class ExportResult {
    written,
    silentProgram,  // wet level 0: nothing to write, no file created
    cannotCreate,   // a file could not be created; the engine was not touched
    writeFailed,    // a file could not be written in full; the engine is restored
    badRate,        // not a usable sample rate; nothing happened
};

class Exporter {
   public:
    static constexpr int kBlock = 1024;
    // A response is measured for at most the history's length: no tap reaches further
    // back, so only the diffusion tail or a channel that is never heard would go on.
    static constexpr int kMaxBlocks = kHistoryLength / kBlock;
    static constexpr float kAudible = 0.000025f;

    explicit Exporter(ReverbEngine* engine) : engine(engine) {}

    // Runs the whole export on the calling thread (the editor's). Block rendering stops
    // for its duration; the engine then has the current program's taps re-traced for
    // its own rate, silent histories, and its other state as before. A file that
    // cannot be created or written sets the engine's message code 1 for the banner.
    // Formats other than 1 and 2 write 16-bit WAV.
    ExportResult exportImpulse(int format, float sampleRate, int stereoFiles, int normalise,
                               const std::string& path);

    // The files an export with these settings writes, in order.
    static std::vector<std::string> fileNames(int numOutputs, int stereoFiles, int format,
                                              const std::string& path);

   private:
    ReverbEngine* engine;
    float input[2][kBlock] = {};
    float output[5][kBlock] = {};
    unsigned char frames[kBlock * 2 * 4] = {};  // one block of a file, as stored

    void renderOneBlock(int channels);
    void startPass(int channels);
    void measure(int channels, bool normalise, int blocks[5], float& peak);
    bool writeAll(int channels, ExportFile* files, int numFiles, int format, float divisor);
    bool writeBlock(ExportFile& file, int format, float divisor);
    void retraceTaps();
};

}  // namespace kelvoran
