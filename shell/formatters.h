// Value-to-text conversions of the value displays: each writes one short text for an
// engine quantity (not the normalised parameter).
#pragma once
#include <cstddef>

namespace kelvoran {

// Every formatter writes at most this many bytes, terminator included.
constexpr size_t kFormatSize = 32;
using Formatter = void (*)(float value, char* text);

void formatInteger(float value, char* text);            // "%d", truncated toward zero
void formatPercentRounded(float value, char* text);     // "13%" for 0.125
void formatPercentTruncated(float value, char* text);   // "12%" for 0.125
void formatPercentHundredths(float value, char* text);  // "12.50%" for 0.125
void formatWidth(float value, char* text);              // "OFF", "mono" or "%2.2f" of 2 x value
void formatDecibels(float value, char* text);           // "-inf.", "0 db" or "%.1fdb"
void formatMilliseconds(float value, char* text);       // "%dms"
void formatMetres(float value, char* text);             // "%.2fm"

}  // namespace kelvoran
