// One ray tap into the outputs of a block: a delayed, low-passed read of its history,
// cross-faded from its current to its new values when the tracer re-traced it.
#include <emmintrin.h>

#include "engine/engine.h"

namespace kelvoran {

namespace {
inline int readBase(int writePos, int delay, bool reverse, int reverseBase) {
    return writePos + (reverse ? reverseBase - delay : delay);
}
constexpr int kGroup = 16;  // taps whose recursions run side by side

inline bool steadyAndAudible(const RayTap& t, int numOuts) {
    if (t.pending.load(std::memory_order_acquire)) return false;
    for (int k = 0; k < numOuts; ++k)
        if (t.curGain[k] > 0) return true;
    return false;
}
}  // namespace

void ReverbEngine::renderTaps(float* const* outs, int numOuts, int count) {
    const int n = numTaps;
    RayTap* group[kGroup];
    int grouped = 0;
    // Taps reach the outputs in index order: a waiting group goes before any other tap.
    auto flush = [&] {
        if (grouped == kGroup && renderSteadyGroup(group, outs, numOuts, count)) {
            grouped = 0;
            return;
        }
        for (int i = 0; i < grouped; ++i) renderTap(*group[i], outs, numOuts, count);
        grouped = 0;
    };
    for (int i = 0; i < n; ++i) {
        RayTap& t = taps[i];
        if (steadyAndAudible(t, numOuts)) {
            group[grouped++] = &t;
            if (grouped == kGroup) flush();
            continue;
        }
        if (grouped) flush();
        renderTap(t, outs, numOuts, count);
    }
    flush();
}

// Steady taps side by side. A tap alone is limited by its low-pass recursion, so sixteen
// recursions run together, four taps per SSE vector; four samples of each tap are read
// at once and transposed. Each tap's contribution is still added to every output sample
// in tap order with the same operations as renderTap, so the result is bit-identical to
// rendering the taps one after the other.
bool ReverbEngine::renderSteadyGroup(RayTap* const* group, float* const* outs, int numOuts,
                                     int count) {
    const bool rev = reverse != 0;
    const int rb = reverseBase;
    const float* x[kGroup];
    alignas(16) float o[kGroup], o1[kGroup], y[kGroup];
    for (int i = 0; i < kGroup; ++i) {
        const RayTap& t = *group[i];
        int start = readBase(writePos, t.curDelay, rev, rb) & kHistoryMask;
        if (start + count > kHistoryLength) return false;  // this block wraps: plain path
        x[i] = t.curHistory + start;
        o[i] = t.curLowpassCoef, o1[i] = 1.0f - o[i], y[i] = t.curLowpassState;
    }
    constexpr int V = kGroup / 4;
    __m128 O[V], O1[V], Y[V];
    for (int v = 0; v < V; ++v)
        O[v] = _mm_load_ps(o + 4 * v), O1[v] = _mm_load_ps(o1 + 4 * v), Y[v] = _mm_load_ps(y + 4 * v);
    alignas(16) float gains[5][kGroup][4];  // each gain broadcast once
    for (int k = 0; k < numOuts; ++k)
        for (int i = 0; i < kGroup; ++i)
            for (float& g : gains[k][i]) g = group[i]->curGain[k] + kDenormal;
    const __m128 D = _mm_set1_ps(kDenormal);
    auto step = [&](__m128& y, int v, __m128 x) {
        y = _mm_add_ps(_mm_add_ps(_mm_mul_ps(O[v], x), D), _mm_mul_ps(O1[v], y));
        return y;
    };
    int j = 0;
    for (; j + 4 <= count; j += 4) {
        __m128 rows[kGroup];  // rows[i]: tap i at samples j .. j + 3
        for (int v = 0; v < V; ++v) {
            const int i = 4 * v;
            __m128 a = _mm_loadu_ps(x[i] + j), b = _mm_loadu_ps(x[i + 1] + j);
            __m128 c = _mm_loadu_ps(x[i + 2] + j), d = _mm_loadu_ps(x[i + 3] + j);
            _MM_TRANSPOSE4_PS(a, b, c, d);  // now one sample of four taps each
            a = step(Y[v], v, a), b = step(Y[v], v, b), c = step(Y[v], v, c), d = step(Y[v], v, d);
            _MM_TRANSPOSE4_PS(a, b, c, d);  // back to four samples of one tap each
            rows[i] = a, rows[i + 1] = b, rows[i + 2] = c, rows[i + 3] = d;
        }
        for (int k = 0; k < numOuts; ++k) {
            __m128 acc = _mm_loadu_ps(outs[k] + j);
            for (int i = 0; i < kGroup; ++i)
                acc = _mm_add_ps(acc, _mm_mul_ps(_mm_load_ps(gains[k][i]), rows[i]));
            _mm_storeu_ps(outs[k] + j, acc);
        }
    }
    for (int v = 0; v < V; ++v) _mm_store_ps(y + 4 * v, Y[v]);
    for (; j < count; ++j)  // the last samples of a block that is not a multiple of four
        for (int i = 0; i < kGroup; ++i) {
            y[i] = (o[i] * x[i][j] + kDenormal) + o1[i] * y[i];
            for (int k = 0; k < numOuts; ++k) outs[k][j] += gains[k][i][0] * y[i];
        }
    for (int i = 0; i < kGroup; ++i) group[i]->curLowpassState = y[i];
    return true;
}

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
            y = (o * h[(base + j) & kHistoryMask] + kDenormal) + o1 * y;
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
