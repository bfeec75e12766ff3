#include "dsp/eq_filter.h"

#include <cmath>

namespace kelvoran {

namespace {

struct Coefficients {
    double b0, b1, b2, a0, a1, a2;
};

// Raw cookbook coefficients; A is the gain as an amplitude ratio (10^(gain/20)).
bool design(int type, double A, double c, double alpha, double beta, Coefficients& k) {
    switch (type) {
        case kEqLowPass: k = {(1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha}; break;
        case kEqHighPass: k = {(1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha}; break;
        case kEqBandPass: k = {alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha}; break;
        case kEqNotch: k = {1, -2 * c, 1, 1 + alpha, -2 * c, 1 - alpha}; break;
        case kEqPeaking:
            k = {1 + alpha * A, -2 * c, 1 - alpha * A, 1 + alpha / A, -2 * c, 1 - alpha / A};
            break;
        case kEqLowShelf:
            k = {A * ((A + 1) - (A - 1) * c + beta), 2 * A * ((A - 1) - (A + 1) * c),
                 A * ((A + 1) - (A - 1) * c - beta), (A + 1) + (A - 1) * c + beta,
                 -2 * ((A - 1) + (A + 1) * c), (A + 1) + (A - 1) * c - beta};
            break;
        case kEqHighShelf:
            k = {A * ((A + 1) + (A - 1) * c + beta), -2 * A * ((A - 1) + (A + 1) * c),
                 A * ((A + 1) + (A - 1) * c - beta), (A + 1) - (A - 1) * c + beta,
                 2 * ((A - 1) - (A + 1) * c), (A + 1) - (A - 1) * c - beta};
            break;
        default: return false;
    }
    return true;
}

// Both poles strictly inside the unit circle.
bool isStable(float a1, float a2) { return std::fabs(a2) < 1.0f && std::fabs(a1) < 1.0f + a2; }

}  // namespace

EQfilter::EQfilter(int type, float gain, float frequency, float sampleRate, float width,
                   bool bandwidthMode) {
    setup(type, gain, frequency, sampleRate, width, bandwidthMode);
}

bool EQfilter::setup(int type, float gain, float frequency, float sampleRate, float width,
                     bool bandwidthMode) {
    const bool usable = sampleRate > 0.0f && std::isfinite(sampleRate) && frequency > 0.0f &&
                        frequency < 0.5f * sampleRate && width >= 0.0f &&
                        (bandwidthMode || width > 0.0f);
    if (!usable) return false;
    const double A = std::pow(10.0, 0.05 * gain);
    if (!(A > 0.0) || !std::isfinite(A)) return false;
    const double w = 2.0 * M_PI * frequency / sampleRate;
    const double s = std::sin(w), c = std::cos(w);
    const double alpha = bandwidthMode ? s * std::sinh(0.3465736 * width * w / s) : s / (2.0 * width);
    const double beta = bandwidthMode ? s * std::sqrt(A) / (width + 1e-9) : s * width;

    Coefficients k;
    if (!design(type, A, c, alpha, beta, k)) return false;
    const float nb0 = float(k.b0 / k.a0), nb1 = float(k.b1 / k.a0), nb2 = float(k.b2 / k.a0);
    const float na1 = float(k.a1 / k.a0), na2 = float(k.a2 / k.a0);
    if (!std::isfinite(nb0) || !std::isfinite(nb1) || !std::isfinite(nb2) || !std::isfinite(na1) ||
        !std::isfinite(na2) || !isStable(na1, na2))
        return false;
    b0 = nb0;
    b1 = nb1;
    b2 = nb2;
    a1 = na1;
    a2 = na2;
    return true;
}

}  // namespace kelvoran
