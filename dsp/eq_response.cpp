#include "dsp/eq_response.h"

#include <cmath>

#include "dsp/eq_filter.h"

namespace kelvoran {

EQResponse::EQResponse() = default;

void EQResponse::compute(EQfilter* f0, EQfilter* f1, EQfilter* f2, EQfilter* f3) {
    EQfilter* chain[4] = {f0, f1, f2, f3};
    for (EQfilter* f : chain)
        if (f) f->clearState();

    impulse[0] = 1.0f;
    for (int n = 1; n < kEqResponseLength; ++n) impulse[n] = 0.0f;
    for (int n = 0; n < kEqResponseLength; ++n) {
        float v = impulse[n];
        for (EQfilter* f : chain)
            if (f) v = f->process(v);
        impulse[n] = v;
    }

    fft.forward(impulse, spectrum);
    const int half = kEqResponseLength / 2;
    for (int k = 0; k <= half; ++k) {
        const float re = spectrum[k];
        const float im = (k == 0 || k == half) ? 0.0f : spectrum[half + k];
        const float magnitude = std::sqrt(re * re + im * im);
        spectrum[k] = 1.5f * std::log10(std::fmax(magnitude, kEqResponseFloor));
    }
}

}  // namespace kelvoran
