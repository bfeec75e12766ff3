// The impulse-response export of the tool: the plug-in's own exporter on its own engine.
#pragma once
#include <string>
#include <vector>

#include "tools/kelvoran/host.h"

namespace kelvoran::tools {

struct ExportSettings {
    int format = 1;  // 0 16-bit WAV, 1 float WAV, 2 raw float
    int rate = 44100;
    bool monoFiles = false;
    bool normalise = true;
    int outputs = 2;
};

bool parseExportFormat(const std::string& text, ExportSettings& s);

// Runs the export and lists the files it wrote; returns an error text or "".
std::string exportImpulse(PluginHost& host, const ExportSettings& s, const std::string& path,
                          std::vector<std::string>& written);

}  // namespace kelvoran::tools
