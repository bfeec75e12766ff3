// The block entry: routing, input histories, diffusion, equaliser, taps and final mix.
#include <algorithm>
#include <cmath>

#include "dsp/diffuser.h"
#include "dsp/eq_filter.h"
#include "engine/engine.h"

namespace kelvoran {

void ReverbEngine::processBlock(float** inputs, float** outputs, int count, int hostInputs,
                                int hostOutputs) {
    inBlock.store(1);
    if (!ready.load()) {
        inBlock.store(0);
        return;
    }
    blockCounter.fetch_add(1);
    if (count < 0) count = 0;
    // Tracing on another thread (the editor's idle) never makes this block wait: a block
    // that finds the taps busy renders only the dry path and the histories.
    const bool held = tapsLock.tryLock();
    withoutTaps = !held;
    if (held && rebuildRequested.exchange(0)) {
        commitTaps();
        trace(4096);
        commitTaps();
    }

    auto in = [&](int pin) -> const float* {
        return inputs && pin >= 0 && pin < hostInputs && inputs[pin] ? inputs[pin] : silentInput;
    };
    auto out = [&](int pin) -> float* {
        return outputs && pin >= 0 && pin < hostOutputs && outputs[pin] ? outputs[pin] : discardOutput;
    };
    const float* in1 = in(inputPin[0]);
    const float* in2 = numInputs == 1 ? in1 : in(inputPin[1]);
    const int n = numOutputs;
    float* o[5];
    for (int k = 0; k < 5; ++k) o[k] = out(outputPin[k]);
    if (n == 1) o[1] = o[0];
    // No output in use: the histories still run, nothing reaches the host.
    if (n <= 0) std::fill(o, o + 5, discardOutput);

    // A block longer than announced is rendered in pieces that fit the dry buffers.
    // The scratch buffers stand in for missing channels and never advance.
    auto at = [&](auto* p, int done) {
        return p == discardOutput || p == silentInput ? p : p + done;
    };
    for (int done = 0; done < count;) {
        int c = std::min(count - done, dryCapacity);
        float* x[5];
        for (int k = 0; k < 5; ++k) x[k] = at(o[k], done);
        const float *a = at(in1, done), *b = at(in2, done);
        if (n >= 5) renderBlock5(a, b, x[0], x[1], x[2], x[3], x[4], c);
        else if (n == 4) renderBlock4(a, b, x[0], x[1], x[2], x[3], c);
        else renderBlock2(a, b, x[0], x[1], c);
        writePos = (writePos + c) & kHistoryMask;
        done += c;
    }
    if (held) {
        trace(count / 64);
        tapsLock.unlock();
    }
    withoutTaps = false;
    inBlock.store(0);
}

void ReverbEngine::renderBlock2(const float* in1, const float* in2, float* outL, float* outR,
                                int count) {
    float* outs[2] = {outL, outR};
    renderBlock(in1, in2, outs, 2, count);
}

void ReverbEngine::renderBlock4(const float* in1, const float* in2, float* outL, float* outR,
                                float* outLs, float* outRs, int count) {
    float* outs[4] = {outL, outR, outLs, outRs};
    renderBlock(in1, in2, outs, 4, count);
}

void ReverbEngine::renderBlock5(const float* in1, const float* in2, float* outL, float* outR,
                                float* outLs, float* outRs, float* outC, int count) {
    float* outs[5] = {outL, outR, outLs, outRs, outC};
    renderBlock(in1, in2, outs, 5, count);
}

void ReverbEngine::inputStage(const float* in1, const float* in2, int count) {
    // A host sample that is not a finite number would ring in the histories for ever.
    auto clean = [](float x) { return std::fabs(x) <= 3.0e38f ? x : 0.0f; };
    const int p = writePos;
    if (stereoSources) {
        for (int j = 0; j < count; ++j) {
            float a = clean(in1[j]) + kDenormal, b = clean(in2[j]) + kDenormal;
            history1[(p + j) & kHistoryMask] = dryBuffer1[j] = a;
            history2[(p + j) & kHistoryMask] = dryBuffer2[j] = b;
        }
    } else {
        for (int j = 0; j < count; ++j) {
            float a = clean(in1[j]), b = clean(in2[j]);
            history1[(p + j) & kHistoryMask] = a + b + kDenormal;
            dryBuffer1[j] = a + kDenormal;
            dryBuffer2[j] = b + kDenormal;
        }
    }
}

void ReverbEngine::takeEqCoefficients() {
    uint32_t s = eqMailbox.sequence.load(std::memory_order_acquire);
    if (s == eqMailbox.seen || (s & 1)) return;
    float c[4][5];
    for (int b = 0; b < 4; ++b)
        for (int k = 0; k < 5; ++k) c[b][k] = eqMailbox.coef[b][k];
    std::atomic_thread_fence(std::memory_order_acquire);
    if (eqMailbox.sequence.load(std::memory_order_relaxed) != s) return;  // try next block
    for (EQfilter** chain : {eqFilters1, eqFilters2})
        for (int b = 0; b < 4; ++b) {
            EQfilter& f = *chain[b];
            f.b0 = c[b][0], f.b1 = c[b][1], f.b2 = c[b][2], f.a1 = c[b][3], f.a2 = c[b][4];
        }
    eqMailbox.seen = s;
}

void ReverbEngine::applyEqChain(float* history, EQfilter* const* chain, int count) {
    EQfilter &f0 = *chain[0], &f1 = *chain[1], &f2 = *chain[2], &f3 = *chain[3];
    const int p = writePos;
    for (int j = 0; j < count; ++j) {
        float& s = history[(p + j) & kHistoryMask];
        s = f3.process(f2.process(f1.process(f0.process(s))));
    }
}

void ReverbEngine::finalMix(float* const* outs, int numOuts, int count) {
    float g[5];
    for (int k = 0; k < numOuts; ++k) g[k] = outputGain[k];
    const float dg = dryGain, w = width;
    float pk[5];
    for (int k = 0; k < numOuts; ++k) pk[k] = peak[k];
    // In place, sample by sample, so that outputs sharing one host buffer add up.
    for (int j = 0; j < count; ++j) {
        for (int k = 0; k < numOuts; ++k) outs[k][j] *= g[k];
        const float d1 = dryBuffer1[j] * dg, d2 = dryBuffer2[j] * dg;
        for (int pair = 0; pair + 1 < std::min(numOuts, 4); pair += 2) {
            float a = outs[pair][j], b = outs[pair + 1][j];
            float mid = (a + b) * 0.5f, side = (a - b) * w;
            outs[pair][j] = d1 + mid + side;
            outs[pair + 1][j] = d2 + mid - side;
        }
        if (numOuts >= 5) outs[4][j] = outs[4][j] + (dryBuffer1[j] + dryBuffer2[j]) * dg * 0.5f;
        for (int k = 0; k < numOuts; ++k) pk[k] = std::max(pk[k], std::fabs(outs[k][j]));
    }
    for (int k = 0; k < numOuts; ++k) peak[k] = pk[k];
}

void ReverbEngine::renderBlock(const float* in1, const float* in2, float* const* outs, int numOuts,
                               int count) {
    if (count <= 0) return;
    takeEqCoefficients();
    inputStage(in1, in2, count);
    const bool stereo = stereoSources != 0;
    if (!withoutTaps) diffuser->process(history1, stereo ? history2 : nullptr, writePos, count);
    applyEqChain(history1, eqFilters1, count);
    if (stereo) applyEqChain(history2, eqFilters2, count);
    for (int k = 0; k < numOuts; ++k) std::fill(outs[k], outs[k] + count, 0.0f);
    if (!withoutTaps) renderTaps(outs, numOuts, count);
    finalMix(outs, numOuts, count);
}

void ReverbEngine::resizeDryBuffers() {
    // Absurd announced sizes are held to a sane capacity; longer blocks come in pieces.
    int wanted = std::clamp<int>(blockSize, 1, 65536);
    if (wanted == dryCapacity) return;
    for (float** b : {&dryBuffer1, &dryBuffer2, &silentInput, &discardOutput}) {
        delete[] *b;
        *b = new float[wanted]();
    }
    dryCapacity = wanted;
}

void ReverbEngine::resetSignalPath() {
    pauseAudio();
    resizeDryBuffers();
    std::fill(history1, history1 + kHistoryLength, kDenormal);
    std::fill(history2, history2 + kHistoryLength, kDenormal);
    for (int b = 0; b < 4; ++b) {
        eqFilters1[b]->clearState();
        eqFilters2[b]->clearState();
    }
    diffuser->clear();
    // The taps' filters start from silence too, or a resumed host hears a click of the old tail.
    tapsLock.lock();
    for (RayTap& t : taps) t.curLowpassState = t.newLowpassState = kDenormal;
    tapsLock.unlock();
    ready.store(1);
}

}  // namespace kelvoran
