#include "tools/kelvoran/export_ir.h"

#include "presets/exporter.h"
#include "shell/effect_vst.h"

namespace kelvoran::tools {

bool parseExportFormat(const std::string& text, ExportSettings& s) {
    if (text == "wav16") s.format = exportWav16;
    else if (text == "wav32") s.format = exportWavFloat;
    else if (text == "raw") s.format = exportRawFloat;
    else return false;
    return true;
}

std::string exportImpulse(PluginHost& host, const ExportSettings& s, const std::string& path,
                          std::vector<std::string>& written) {
    auto* effect = static_cast<EffectVST*>(static_cast<AudioEffect*>(host.effect->object));
    Exporter exporter(effect->engine);
    const int outputs = effect->engine->numOutputs;
    switch (exporter.exportImpulse(s.format, float(s.rate), s.monoFiles ? 0 : 1, s.normalise ? 1 : 0, path)) {
        case ExportResult::written:
            written = Exporter::fileNames(outputs, s.monoFiles ? 0 : 1, s.format, path);
            return "";
        case ExportResult::silentProgram: return "the wet gain is 0: there is no impulse response to write";
        case ExportResult::cannotCreate: return "cannot create the files for " + path;
        case ExportResult::writeFailed: return "could not write all of the files for " + path;
        case ExportResult::badRate: return "cannot export at " + std::to_string(s.rate) + " Hz";
    }
    return "the export failed";
}

}  // namespace kelvoran::tools
