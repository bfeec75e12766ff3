// Program files: one program record behind the 60-byte header of a VST opaque-chunk
// program file (".fxp"), which hosts can read as well.
#pragma once
#include <cstdint>
#include <string>

#include "engine/program.h"

namespace kelvoran {

constexpr int kFxpHeaderSize = 60;
constexpr int kFxpFileSize = kFxpHeaderSize + int(sizeof(KelvoranProgram));  // 9,496
// The effect's unique identifier, in file order.

// A chosen path without its extension: the last four characters go when the path is
// longer than four and the fourth from the end is a dot (room.wav -> room, a.fx stays).
std::string cutExtension(const std::string& path);
// The file a chosen path names: its extension, if any, becomes ".fxp".
std::string fxpPath(const std::string& chosen);

// The whole file image of a program: header (big-endian fields) and the record.
void buildFxpImage(const KelvoranProgram& program, unsigned char (&image)[kFxpFileSize]);

// Writes the program to fxpPath(chosen). False when the file cannot be created or
// fully written; a partly written file is removed. The program is never changed.
bool saveProgramFile(const KelvoranProgram& program, const std::string& chosen);

// Reads fxpPath(chosen) over the program: the header is skipped unexamined, and a short
// file replaces only the bytes it holds. The wall count is then held within 0..256 and
// the name terminated, so the record stays safe to use. False, with the program
// unchanged, when the file cannot be opened or read or holds no byte past the header.
// On success the caller reloads the current program (setParameter (47, 0) on the
// effect), so that the engine and the editor take the loaded values.
bool loadProgramFile(KelvoranProgram& program, const std::string& chosen);

}  // namespace kelvoran
