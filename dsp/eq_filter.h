// EQfilter: one second-order equaliser band (Audio EQ Cookbook designs).
#pragma once

namespace kelvoran {

enum EqFilterType {
    kEqLowPass = 0,
    kEqHighPass = 1,
    kEqBandPass = 2,
    kEqNotch = 3,
    kEqPeaking = 4,
    kEqLowShelf = 5,
    kEqHighShelf = 6,
};

class EQfilter {
   public:
    // Starts as a pass-through with a cleared state, then designs with setup.
    EQfilter(int type, float gain, float frequency, float sampleRate, float width,
             bool bandwidthMode);
    virtual ~EQfilter() = default;

    // New coefficients; the state stays. A design outside 0 < frequency < rate / 2,
    // width >= 0 (> 0 as a Q), a finite positive rate, or whose result is not finite
    // or not stable (unknown type, NaN, gains beyond hundreds of dB ...) is refused:
    // the previous coefficients stay and false is returned.
    bool setup(int type, float gain, float frequency, float sampleRate, float width,
               bool bandwidthMode);
    void clearState() { x1 = x2 = y1 = y2 = 0.0f; }

    float process(float x) {
        float out = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = out + 1e-20f;
        y = out;
        return out;
    }

    float b0 = 1, b1 = 0, b2 = 0;
    float a1 = 0, a2 = 0;
    float x1 = 0, x2 = 0;
    float y1 = 0, y2 = 0;
    float y = 0;
};

}  // namespace kelvoran
