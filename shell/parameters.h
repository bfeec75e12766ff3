// What the host sees of the 48 parameters, and the control commands the editor sends
// through the same setParameter path.
#pragma once
#include "engine/params.h"
#include "shell/formatters.h"

namespace kelvoran {

struct ReverbEngine;

// Commands handled by the effect itself (the engine's own controls are in engine/params.h).
enum EditorCommand : int {
    kEditorReloadProgram = 47,
    kEditorProgramName = 49,
    kEditorCategoryFirst = 51,  // + category 0..7; the value is the entry in the category
    kEditorPreviousProgram = 79,
    kEditorNextProgram = 80,
};

struct ParameterInfo {
    const char* name;   // shown to the host
    Formatter format;   // turns displayedValue into the host's value text
};

// Host parameter index 0..46.
constexpr ParameterInfo kParameterInfo[kNumProgramParameters] = {
    {"Wet gain", formatDecibels},          {"Dry gain", formatDecibels},
    {"Wall absorb", formatPercentHundredths}, {"Wall hi-cut", formatPercentHundredths},
    {"Wall scatter", formatPercentHundredths}, {"Wall height", formatMetres},
    {"Air absorb", formatPercentHundredths}, {"Air Hi-cut", formatPercentHundredths},
    {"Listener X", formatMetres},          {"Listener Y", formatMetres},
    {"Source 1 X", formatMetres},          {"Source 1 Y", formatMetres},
    {"Source 2 X", formatMetres},          {"Source 2 Y", formatMetres},
    {"DBT Pre-delay", formatMilliseconds}, {"DBT Scale", formatPercentRounded},
    {"DBT Head angle", formatInteger},     {"Diffusion Gain", formatDecibels},
    {"Diffusion Scale", formatPercentTruncated}, {"Diffusion Modulation", formatInteger},
    {"Diffusion Low-Pass", formatWidth},   {"Diffusion Bend", formatPercentRounded},
    {"Pan L-R", formatMetres},             {"Pan F-B", formatMetres},
    {"Stereo button", formatInteger},
    {"EQ 1 Freq", formatInteger}, {"EQ 1 Gain", formatDecibels}, {"EQ 1 Width", formatPercentRounded},
    {"EQ 2 Freq", formatInteger}, {"EQ 2 Gain", formatDecibels}, {"EQ 2 Width", formatPercentRounded},
    {"EQ 3 Freq", formatInteger}, {"EQ 3 Gain", formatDecibels}, {"EQ 3 Width", formatPercentRounded},
    {"EQ 4 Freq", formatInteger}, {"EQ 4 Gain", formatDecibels}, {"EQ 4 Width", formatPercentRounded},
    {"Reverse button", formatInteger},
    // Routing, ray count and outputs: the editor has its own controls for them.
    {" ", formatInteger}, {" ", formatInteger}, {" ", formatInteger}, {" ", formatInteger},
    {" ", formatInteger}, {" ", formatInteger}, {" ", formatInteger}, {" ", formatInteger},
    {" ", formatInteger},
};

const char* parameterName(int index);  // a single space outside 0..46
constexpr const char* kParameterLabel = "amount";

// The quantity a value display shows for host parameter index 0..46: the engine's
// physical value where the editor has a display for it, else the nearest plain figure.
float displayedValue(const ReverbEngine& engine, int index);

// Writes the value text of index 0..46 into text (kFormatSize bytes); false otherwise.
bool formatParameter(const ReverbEngine& engine, int index, char* text);

}  // namespace kelvoran
