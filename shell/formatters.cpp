#include "shell/formatters.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/shared.h"

namespace kelvoran {

void formatInteger(float value, char* text) { std::snprintf(text, kFormatSize, "%d", toInt(value)); }

void formatPercentRounded(float value, char* text) {
    std::snprintf(text, kFormatSize, "%d%%", toInt(value * 100.0f + 0.5f));
}

void formatPercentTruncated(float value, char* text) {
    std::snprintf(text, kFormatSize, "%d%%", toInt(value * 100.0f));
}

void formatPercentHundredths(float value, char* text) {
    std::snprintf(text, kFormatSize, "%.2f%%", value * 100.0f);
}

void formatWidth(float value, char* text) {
    const float w = 2.0f * value;
    if (w == 1.0f)
        std::strcpy(text, "OFF");
    else if (w <= 0.009f)
        std::strcpy(text, "mono");
    else
        std::snprintf(text, kFormatSize, "%2.2f", w);
}

void formatDecibels(float value, char* text) {
    if (value <= 0.0f)
        std::strcpy(text, "-inf.");
    else if (value == 1.0f)
        std::strcpy(text, "0 db");
    else
        std::snprintf(text, kFormatSize, "%.1fdb", 20.0f * std::log10(value));
}

void formatMilliseconds(float value, char* text) {
    std::snprintf(text, kFormatSize, "%dms", toInt(value));
}

void formatMetres(float value, char* text) { std::snprintf(text, kFormatSize, "%.2fm", value); }

}  // namespace kelvoran
