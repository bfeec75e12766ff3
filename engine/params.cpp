#include <algorithm>
#include <cmath>

#include "dsp/eq_filter.h"
#include "engine/engine.h"
#include "engine/params.h"

namespace kelvoran {

namespace {
// Whole metres on the grid, as the tracer and the editor use positions.
float gridPosition(float x) { return std::trunc(50.0f * x + 0.5f); }

float eqFrequency(float x, float rate) {
    float f = 20.0f + 15980.0f * std::pow(x, 3.75f);
    return f > 0.5f * rate ? 0.5f * rate : f;
}
float eqGainDb(float x) { return 30.0f * (x - 0.5f); }
float shelfWidth(float x) { return 0.2f + 0.8f * (1.0f - x); }
float peakWidth(float x) { return 0.1f + 3.0f * x; }

// Loss factors per reflection or per metre: values beyond 0..1 would make rays gain level
// at every bounce (or, for the air, take powers of negative numbers).
float lossFactor(float f) { return f < 0.0f ? 0.0f : f > 1.0f ? 1.0f : f; }

// Indices that change nothing the tracer uses.
bool keepsRoom(int index) {
    switch (index) {
        case 1: case 17: case 18: case 19: case 20: case 22: case 23:
        case 65: case 66: case 68: case 70: case 71: case 72: case 73: case 74: case 75: case 78:
            return true;
        default:
            return index >= 25 && index <= 36;
    }
}
}  // namespace

void ReverbEngine::applyParameter(int index, float x) {
    // Hosts and files may carry anything; a value no formula can use changes nothing.
    if (!std::isfinite(x) || std::fabs(x) > 1000.0f) return;
    KelvoranProgram& p = program();
    bool overlay = !programLoading;
    if (index >= 0 && index < kNumProgramParameters && index != 24 && (index < 38 || index > 44))
        p.slot[kParameterSlot[index]] = x;

    switch (index) {
        case 0: wetGain = x * x; break;
        case 1: dryGain = x * x; break;
        case 2: wallAbsorb = lossFactor(1.0f - 0.7f * x * x * x); break;
        case 3: wallHiCut = lossFactor(1.0f - 0.7f * x * x * x); break;
        case 4:
            scatter = 0.5f * std::clamp(x, 0.0f, 1.0f);  // at most a quarter radian either way
            if (overlay) overlayMode = 1, overlayTicks = 10;
            break;
        case 5: height = 40.0f * x; break;
        case 6: airAbsorb = lossFactor(1.0f - 0.005f * x * x * x); break;
        case 7: airHiCut = lossFactor(1.0f - 0.005f * x * x * x); break;
        case 8: earsX = gridPosition(x); break;
        case 9: earsY = gridPosition(x); break;
        case 10: source1X = gridPosition(x); break;
        case 11: source1Y = gridPosition(x); break;
        case 12: source2X = gridPosition(x); break;
        case 13: source2Y = gridPosition(x); break;
        case 14: preDelayMs = 1000.0f * x - 500.0f; break;
        case 15: scale = 2.0f * x < 0.1f ? 0.1f : 2.0f * x; break;
        case 16: {
            int degrees = toInt(360.0f * x) - 180;
            headAngleDegrees = degrees < 0 ? degrees + 360 : degrees;
            headSin = std::sin((x + 0.5f) * 6.2831855f);
            headCos = std::cos((x + 0.5f) * 6.2831855f);
            break;
        }
        case 17: diffusionGain = 1.58489f * x; break;
        case 18: diffusionSize = x >= 0.5f ? 8.0f * x * x * x : 2.0f * x; break;
        case 19: diffusionMod = 300.0f * x * x; break;
        case 20: width = 2.0f * x * x; break;
        case 21: bend = x; break;
        case 22: panX = gridPosition(x); updateSurroundGains(); break;
        case 23: panY = gridPosition(x); updateSurroundGains(); break;
        case 24: {
            if (inputArrangement && numInputs == 1) x = 0;
            p.slot[parStereoOnOff] = x;
            stereoSources = toInt(x);
            // The table is rebuilt by whichever thread traces next, never under a running trace.
            tableRebuildRequested.store(1);
            break;
        }
        case 37: reverse = toInt(x); break;
        case 38: case 39:
            if (x >= 0) p.slot[kParameterSlot[index]] = x, inputPin[index - 38] = toInt(x);
            break;
        case 40: case 41: case 42: case 43: case 44:
            if (x >= 0) p.slot[kParameterSlot[index]] = x, outputPin[index - 40] = toInt(x);
            break;
        case 45: {
            int steps = toInt(248.0f * x);
            steps = steps < 0 ? 0 : steps > 248 ? 248 : steps;
            numRays = 2 * (8 + steps);
            tableRebuildRequested.store(1);
            if (overlay) overlayMode = 2, overlayTicks = 10;
            break;
        }
        case 46:
            outputsChoice = toInt(x);
            refreshControls = 1;
            break;
        case ctlMirror: mirrorDrawing = x; break;
        case ctlRedraw:
            if (x <= 0.5f) viewDirty = 1;
            break;
        default:
            if (index >= 25 && index <= 36) {
                int band = (index - 25) / 3, which = (index - 25) % 3;
                bool shelf = band == 0 || band == 3;
                if (which == 0) eqFreq[band] = eqFrequency(x, sampleRate);
                if (which == 1) eqGain[band] = eqGainDb(x);
                if (which == 2) eqWidth[band] = shelf ? shelfWidth(x) : peakWidth(x);
                setEqBand(band, eqGain[band], eqFreq[band], eqWidth[band]);
            }
            break;
    }
    if (!keepsRoom(index)) ++roomSerial;
}

float ReverbEngine::parameterValue(int index) {
    float v = 0;
    if (index >= 0 && index < kNumProgramParameters) v = program().slot[kParameterSlot[index]];
    else if (index == ctlMirror) v = mirrorDrawing;
    else if (index == ctlReadback) v = readbackValue;
    readbackValue = v;
    return readbackValue;
}

void ReverbEngine::updateSurroundGains() {
    float b = 1.0f - (panX - 2.0f) * 0.02173913f;
    float d = 1.0f - (panY - 2.0f) * 0.02173913f;
    int n = numOutputs;
    if (n >= 4) {
        outputGain[0] = 4 * b * d;
        outputGain[1] = 4 * (1 - b) * d;
        outputGain[2] = 4 * b * (1 - d);
        outputGain[3] = 4 * (1 - b) * (1 - d);
        if (n >= 5) outputGain[4] = 2 * d;
    } else {
        outputGain[0] = 2 * b;
        outputGain[1] = 2 * (1 - b);
        outputGain[2] = 2 * b;
        outputGain[3] = 2 * (1 - b);
    }
}

void ReverbEngine::setEqBand(int band, float gain, float frequency, float bandWidth) {
    if (band < 0 || band > 3) return;
    int type = band == 0 ? 5 : band == 3 ? 6 : 4;
    float rate = sampleRate;
    if (frequency >= 0.45f * rate) frequency = 0.45f * rate;
    EQfilter* display = eqDisplayFilters[band];
    EQfilter before = *display;
    display->setup(type, gain, frequency, rate, bandWidth, true);
    if (!(std::isfinite(display->b0) && std::isfinite(display->b1) && std::isfinite(display->b2) &&
          std::isfinite(display->a1) && std::isfinite(display->a2))) {
        *display = before;  // a design no filter can run keeps the band as it was
        return;
    }
    // The audio chains take the coefficients at their next block (see takeEqCoefficients).
    uint32_t s = eqMailbox.sequence.load(std::memory_order_relaxed);
    eqMailbox.sequence.store(s + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    float* c[5] = {&display->b0, &display->b1, &display->b2, &display->a1, &display->a2};
    for (int k = 0; k < 5; ++k) eqMailbox.coef[band][k] = *c[k];
    eqMailbox.sequence.store(s + 2, std::memory_order_release);
    viewDirty = 1;
    if (!programLoading) overlayMode = 3, overlayTicks = 30;
}

}  // namespace kelvoran
