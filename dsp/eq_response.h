// EQResponse: the equaliser curve drawn by the editor, from the impulse response of
// the display chain.
#pragma once
#include "dsp/real_fft.h"

namespace kelvoran {

class EQfilter;

constexpr int kEqResponseLength = 8192;

class EQResponse {
   public:
    EQResponse();

    // Fills spectrum[0..4096] with 1.5 * log10 of the chain's magnitude per bin
    // (bin k at k * sampleRate / 8192 Hz). Null filters are skipped.
    void compute(EQfilter* f0, EQfilter* f1, EQfilter* f2, EQfilter* f3);

    float spectrum[kEqResponseLength] = {};
    RealFFT fft{kEqResponseLength};
    float impulse[kEqResponseLength] = {};
};

// Floor of the magnitude on the curve, so a zero of the response stays finite.
constexpr float kEqResponseFloor = 1e-20f;

}  // namespace kelvoran
