// The incremental ray tracer: rays from the sources through the working room become
// delay taps. Every draw of the generator follows an explicit seed, so a room traces the
// same whatever the block sizes that spread the work.
#include <cmath>

#include "dsp/diffuser.h"
#include "engine/engine.h"
#include "engine/random.h"

namespace kelvoran {

namespace {
constexpr float kTwoPi = 6.2831855f;
constexpr float kHalfPi = 1.5707964f;
constexpr float kHistoryLimit = -1048576.0f;

void setPathStart(RayPath& path, float x, float y, float dx, float dy) {
    path.numSegments = 0;
    path.point[0][0] = x, path.point[0][1] = y;
    path.direction[0][0] = dx, path.direction[0][1] = dy;
    path.length[0] = 0;
}
}  // namespace

void ReverbEngine::buildRayTable() {
    ++roomSerial;
    seedRandom(6413237);
    int n = numRays;
    n = n < 2 ? 2 : n > kMaxTaps ? kMaxTaps : n;
    bool stereo = stereoSources != 0;
    int perAngle = stereo ? 2 : 1;
    for (int i = 0; i + perAngle <= n; i += perAngle) {
        float angle = float(i) / float(n) * kTwoPi;
        float step = float(drawRandom()) * 3.0517577e-9f + 0.00005f;
        for (int k = 0; k < perAngle; ++k) {
            RayTap& t = taps[i + k];
            t.rayIndex = float(i);
            t.source = k == 0 ? &source1X : &source2X;
            t.newHistory = k == 0 ? history1 : history2;
            t.emitDirX = std::sin(angle);
            t.emitDirY = std::cos(angle);
            t.fadeStep = step;
        }
    }
    float spacing = kTwoPi * float(perAngle) / float(n);
    rayStepSin = std::sin(spacing);
    rayStepCos = std::cos(spacing);
    for (int i = 0; i < n; ++i) {
        RayTap& t = taps[i];
        t.amplitude = t.hiCut = 1;
        t.posX = t.source[0], t.posY = t.source[1];
        t.dirX = t.emitDirX, t.dirY = t.emitDirY;
        t.traceSerial = -1;
        t.inFlight = 0;
        t.hasFirstHit = t.newHasFirstHit = 0;
        t.curHistory = t.newHistory;
        t.curLowpassState = t.newLowpassState = kDenormal;
        for (float& g : t.newGain) g = 0;
        t.newHiCut = t.newLowpassCoef = 0;
        t.fade = 1;
        t.seed = drawRandom();
        t.pending.store(1, std::memory_order_release);
        setPathStart(rayPaths[i], t.posX, t.posY, t.emitDirX, t.emitDirY);
    }
    numTaps = n;
    seedRandom(141);
}

void ReverbEngine::takeTableRebuild() {
    if (tableRebuildRequested.exchange(0)) buildRayTable();
}

void ReverbEngine::commitTaps() {
    takeTableRebuild();
    int n = numTaps;
    for (int i = 0; i < n; ++i) {
        RayTap& t = taps[i];
        if (t.pending.load(std::memory_order_acquire)) commitTap(t);
    }
}

void ReverbEngine::finishRay(RayTap& t, bool audible) {
    if (!audible) {
        for (float& g : t.newGain) g = 0;
        t.newHiCut = t.newLowpassCoef = 0;
    }
    t.freshForDisplay.store(1, std::memory_order_relaxed);
    t.fade = 1;
    t.newLowpassState = kDenormal;
    t.inFlight = 0;
    t.pending.store(1, std::memory_order_release);
}

void ReverbEngine::raySegment(RayTap& t, RayPath& path, const Room& room, float preDelaySamples) {
    const float px = t.posX, py = t.posY;
    float ux = t.dirX, uy = t.dirY;
    const float probeX = 80.0f * ux, probeY = 80.0f * uy;

    // Nearest wall along the probe; the first of equal distances wins.
    float best = 1e11f;
    int hitWall = -1;
    float hitX = 0, hitY = 0;
    for (int i = 0; i < room.numWalls; ++i) {
        if (i == t.lastWall) continue;
        const Wall& w = room.walls[i];
        float denom = w.dx * probeY - w.dy * probeX;
        if (std::fabs(denom) < 1e-10f) continue;
        float qx = w.x1 - px, qy = w.y1 - py;
        float s = (qy * probeX - qx * probeY) / denom;
        float tt = (qy * w.dx - qx * w.dy) / denom;
        if (!(s >= 0 && s <= 1 && tt >= 0 && tt <= 1)) continue;
        float ox = tt * probeX, oy = tt * probeY;
        float d2 = ox * ox + oy * oy;
        if (d2 > 0 && d2 < best) best = d2, hitWall = i, hitX = px + ox, hitY = py + oy;
    }

    // Listener test: is the point of the ray nearest the listener before the wall?
    const float ex = earsX, ey = earsY;
    float g = ux * (ex - px) + uy * (ey - py);
    if (g >= 0 && g * g < best) {
        t.pathLength = t.pathLength + g;
        float L = t.pathLength;
        float a = L - L * rayStepCos, b = L * rayStepSin;
        float radius = std::sqrt(a * a + b * b) + 0.1f;
        if (radius > 9.0f) radius = 9.0f;
        if (radius < 0.01f) radius = 0.01f;
        captureRadius = radius;
        float cx = ex - (px + g * ux), cy = ey - (py + g * uy);
        float off = std::sqrt(cx * cx + cy * cy);
        if (radius >= off) {
            t.amplitude *= std::pow(float(airAbsorb), L);
            t.hiCut *= std::pow(float(airHiCut), L);
            t.pathLength *= scale;
            float delay = -(t.pathLength * samplesPerMetre) - preDelaySamples;
            if (delay <= kHistoryLimit || (reverse == 0 && delay > 0)) return finishRay(t, false);
            t.newDelay = int32_t(delay);
            float hc = headCos, hs = headSin;
            float hx = ux * hc + uy * hs, hy = uy * hc - ux * hs;
            t.dirX = hx, t.dirY = hy;
            t.amplitude *= wetGain;
            if (path.numSegments < 63) {
                float lx = ex - px, ly = ey - py;
                path.length[path.numSegments++] = std::sqrt(lx * lx + ly * ly) * 8.0f;
            }
            float amp = t.amplitude, V = (hx + 1) * 0.5f, F = (hy + 1) * 0.5f;
            int outs = numOutputs;
            if (outs >= 5) {
                t.newGain[0] = amp * std::max(hx, 0.0f) * F;
                t.newGain[1] = amp * std::max(-hx, 0.0f) * F;
                t.newGain[2] = amp * V * (1 - F);
                t.newGain[3] = amp * (1 - V) * (1 - F);
                t.newGain[4] = amp * std::max(1 - std::fabs(hx), 0.0f) * F;
            } else if (outs == 4) {
                t.newGain[0] = amp * V * F;
                t.newGain[1] = amp * (1 - V) * F;
                t.newGain[2] = amp * V * (1 - F);
                t.newGain[3] = amp * (1 - V) * (1 - F);
            } else {
                t.newGain[0] = amp * V;
                t.newGain[1] = amp * (1 - V);
                t.newGain[2] = t.newGain[3] = 0;
            }
            if (t.hiCut < 0.0001f) t.hiCut = 0.0001f;
            t.newHiCut = t.hiCut;
            t.newHasFirstHit = t.hasFirstHit;
            t.newLowpassCoef = 1.0f - std::cos(t.hiCut * kHalfPi);
            return finishRay(t, true);
        }
    }

    if (hitWall < 0) {
        if (path.numSegments < kPathPoints) path.length[path.numSegments] = 1200.0f;
        return finishRay(t, false);
    }

    // Reflection: the height adds a seeded random length, the scatter a seeded turn.
    const Wall& w = room.walls[hitWall];
    float dist = std::sqrt(best);
    seedRandom(uint32_t(hitWall + 33) * uint32_t(t.seed));
    float r1 = float(drawRandom());
    t.pathLength = (dist + t.pathLength) + r1 * 0.000030518509f * height;
    t.amplitude *= wallAbsorb;
    t.hiCut *= wallHiCut;
    if (-(t.pathLength * samplesPerMetre) - preDelaySamples <= kHistoryLimit || t.amplitude < 0.01f)
        return finishRay(t, false);
    t.lastWall = hitWall;
    t.posX = hitX, t.posY = hitY;
    float k = w.nx * ux + w.ny * uy;
    ux = ux - 2 * k * w.nx;
    uy = uy - 2 * k * w.ny;
    float theta = scatter * (float(drawRandom()) * 0.000030518509f - 0.5f);
    // Scattering takes level out of the ray whichever way it turns; it never adds any.
    t.hiCut *= 1 - std::fabs(theta);
    t.amplitude *= 1 - std::fabs(theta);
    float c = std::cos(theta), s = std::sin(theta);
    float rx = ux * c - uy * s, ry = uy * c + ux * s;
    t.dirX = rx, t.dirY = ry;
    if (path.numSegments < 63) {
        path.length[path.numSegments] = dist * 8.0f;
        int n = ++path.numSegments;
        path.point[n][0] = hitX, path.point[n][1] = hitY;
        path.direction[n][0] = rx, path.direction[n][1] = ry;
        path.length[n] = 0;
    }
    if (!t.hasFirstHit) {
        t.firstHitGain = t.amplitude;
        t.firstHitX = hitX, t.firstHitY = hitY;
        t.firstDirX = 20.0f * rx, t.firstDirY = 20.0f * ry;
        t.hasFirstHit = 1;
    }
}

void ReverbEngine::trace(int budget) {
    takeTableRebuild();
    const Room& room = roomMailbox.take();
    tracedRoom = &room;
    float rate = sampleRate;
    samplesPerMetre = rate * 0.0029411765f;
    float preDelaySamples = rate * preDelayMs * 0.001f;
    int n = numTaps;
    int serial = roomSerial;
    long steps = budget == 0 ? 32 : long(budget) * 32;
    for (long step = 0; step < steps; ++step) {
        int m = rayCursor;
        if (m < 0 || m >= n) m = 0;
        rayCursor = m + 1 >= n ? 0 : m + 1;
        RayTap& t = taps[m];
        if (t.pending.load(std::memory_order_acquire)) continue;
        if (!t.inFlight) {
            if (t.traceSerial == serial) continue;
            t.traceSerial = serial;
            t.inFlight = 1;
            t.amplitude = t.hiCut = 1;
            t.posX = t.source[0], t.posY = t.source[1];
            t.dirX = t.emitDirX, t.dirY = t.emitDirY;
            t.pathLength = 0;
            t.lastWall = -1;
            t.hasFirstHit = 0;
            t.firstHitX = t.firstHitY = 0;
            setPathStart(rayPaths[m], t.posX, t.posY, t.emitDirX, t.emitDirY);
        }
        raySegment(t, rayPaths[m], room, preDelaySamples);
    }

    int base = 0;
    for (int i = 0; i < n; ++i) {
        const RayTap& t = taps[i];
        if (t.newGain[0] + t.newGain[1] + t.newGain[2] + t.newGain[3] > 0 && t.newDelay < base)
            base = t.newDelay;
    }
    if (reverse) base -= toInt(preDelaySamples);
    reverseBase = base;
    diffuser->configure(std::atan(2.0f * diffusionSize * float(base) / rate) * 0.6370253f,
                        diffusionGain, bend, diffusionMod);
}

bool ReverbEngine::idleTrace() {
    int seen = blockCounter.load();
    if (seen != idleSeenBlock) {
        idleSeenBlock = seen;
        return false;
    }
    if (!tapsLock.tryLock()) return false;
    commitTaps();
    trace(32);
    tapsLock.unlock();
    return true;
}

}  // namespace kelvoran
