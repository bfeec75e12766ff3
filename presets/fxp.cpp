#include "presets/fxp.h"

#include <cstdio>
#include <cstring>

namespace kelvoran {

namespace {

void putBigEndian(unsigned char* at, uint32_t value) {
    at[0] = uint8_t(value >> 24), at[1] = uint8_t(value >> 16);
    at[2] = uint8_t(value >> 8), at[3] = uint8_t(value);
}

}  // namespace

std::string cutExtension(const std::string& path) {
    const size_t n = path.size();
    if (n > 4 && path[n - 4] == '.') return path.substr(0, n - 4);
    return path;
}

std::string fxpPath(const std::string& chosen) { return cutExtension(chosen) + ".fxp"; }

void buildFxpImage(const KelvoranProgram& program, unsigned char (&image)[kFxpFileSize]) {
    std::memset(image, 0, kFxpHeaderSize);
    std::memcpy(image, "CcnK", 4);
    putBigEndian(image + 4, kFxpFileSize - 8);
    std::memcpy(image + 8, "FPCh", 4);
    putBigEndian(image + 12, 1);  // format version
    std::memcpy(image + 16, kEffectIdChars, 4);
    putBigEndian(image + 20, 1);  // effect version
    putBigEndian(image + 24, 1);  // parameter count field
    // The name as plain text, whatever characters it holds, at most 27 of them.
    std::memcpy(image + 28, program.name, strnlen(program.name, kNameSize - 1));
    putBigEndian(image + 56, sizeof(KelvoranProgram));
    std::memcpy(image + kFxpHeaderSize, &program, sizeof(KelvoranProgram));
}

bool saveProgramFile(const KelvoranProgram& program, const std::string& chosen) {
    unsigned char image[kFxpFileSize];
    buildFxpImage(program, image);
    const std::string path = fxpPath(chosen);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(image, 1, kFxpFileSize, f) == size_t(kFxpFileSize);
    const bool closed = std::fclose(f) == 0;
    if (written && closed) return true;
    std::remove(path.c_str());  // a cut-off file would load as a damaged program
    return false;
}

bool loadProgramFile(KelvoranProgram& program, const std::string& chosen) {
    FILE* f = std::fopen(fxpPath(chosen).c_str(), "rb");
    if (!f) return false;
    // Read whole before anything changes, so that a failing read leaves the program as it was.
    unsigned char image[kFxpFileSize];
    const size_t got = std::fread(image, 1, kFxpFileSize, f);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed || got <= size_t(kFxpHeaderSize)) return false;
    std::memcpy(&program, image + kFxpHeaderSize, got - kFxpHeaderSize);
    makeProgramSafe(program);
    return true;
}

}  // namespace kelvoran
