// One ray tap into the outputs of a block: a delayed, low-passed read of its history,
// cross-faded from its current to its new values when the tracer re-traced it.
#include "engine/engine.h"

namespace kelvoran {

namespace {
inline int readBase(int writePos, int delay, bool reverse, int reverseBase) {
    return writePos + (reverse ? reverseBase - delay : delay);
}
}  // namespace

void ReverbEngine::renderTap(RayTap& t, float* const* outs, int numOuts, int count) {
    const bool rev = reverse != 0;
    const int rb = reverseBase;

    if (!t.pending.load(std::memory_order_acquire)) {
        bool audible = false;
        for (int k = 0; k < numOuts; ++k) audible |= t.curGain[k] > 0;
        if (!audible) return;
        float g[5];
        for (int k = 0; k < numOuts; ++k) g[k] = t.curGain[k] + kDenormal;
        const float* h = t.curHistory;
        const int base = readBase(writePos, t.curDelay, rev, rb);
        const float o = t.curLowpassCoef, o1 = 1.0f - o;
        float y = t.curLowpassState;
        for (int j = 0; j < count; ++j) {
            y = o * h[(base + j) & kHistoryMask] + o1 * y + kDenormal;
            for (int k = 0; k < numOuts; ++k) outs[k][j] += g[k] * y;
        }
        t.curLowpassState = y;
        return;
    }

    // New set over the whole block, rising to full level.
    {
        const float* h = t.newHistory;
        const int base = readBase(writePos, t.newDelay, rev, rb);
        const float o = t.newLowpassCoef, o1 = 1.0f - o, step = t.fadeStep;
        float y = t.newLowpassState, lambda = 1.0f - t.fade;
        for (int j = 0; j < count; ++j) {
            y = o * h[(base + j) & kHistoryMask] + o1 * y;
            if (lambda < 1.0f) {
                for (int k = 0; k < numOuts; ++k) outs[k][j] += t.newGain[k] * lambda * y;
                lambda += step;
            } else {
                for (int k = 0; k < numOuts; ++k) outs[k][j] += t.newGain[k] * y;
            }
        }
        t.newLowpassState = y;
    }
    // Current set while it is still audible.
    const float* h = t.curHistory;
    const int base = readBase(writePos, t.curDelay, rev, rb);
    const float o = t.curLowpassCoef, o1 = 1.0f - o, step = t.fadeStep;
    float y = t.curLowpassState, mu = t.fade;
    for (int j = 0; j < count && mu > kDenormal; ++j) {
        y = o * h[(base + j) & kHistoryMask] + o1 * y;
        for (int k = 0; k < numOuts; ++k) outs[k][j] += t.curGain[k] * mu * y;
        mu -= step;
    }
    t.curLowpassState = y;
    if (mu <= kDenormal) commitTap(t);
    else t.fade = mu;
}

}  // namespace kelvoran
