#include "engine/engine.h"

#include <cmath>
#include <cstring>
#include <thread>

#include "dsp/diffuser.h"
#include "dsp/eq_filter.h"
#include "engine/random.h"

namespace kelvoran {

void TryLock::lock() {
    while (!tryLock()) std::this_thread::yield();
}

bool isUsableSampleRate(float rate) { return rate >= 1000.0f && rate <= 1.0e6f; }

void RoomMailbox::publish(int32_t count, const Wall* source) {
    Room& room = buffers[writerIndex];
    room.numWalls = count < 0 ? 0 : count > kMaxWalls ? kMaxWalls : count;
    std::memcpy(room.walls, source, sizeof(Wall) * room.numWalls);
    writerIndex = latest.exchange(writerIndex | 4, std::memory_order_acq_rel) & 3;
}

const Room& RoomMailbox::take() {
    if (latest.load(std::memory_order_acquire) & 4)
        readerIndex = latest.exchange(readerIndex, std::memory_order_acq_rel) & 3;
    return buffers[readerIndex];
}

ReverbEngine::ReverbEngine(BankFill fillBank) {
    for (auto& p : programs) {
        std::memset(&p, 0, sizeof p);
        initProgram(p);
    }
    numRays = 256;
    numTaps = 256;
    inputPin[0] = 0, inputPin[1] = 1;
    for (int k = 0; k < 5; ++k) outputPin[k] = k;
    displayMode = 1;
    roomSerial = 23;
    blockSize = 16384;
    dryCapacity = 16384;
    dryBuffer1 = new float[dryCapacity]();
    dryBuffer2 = new float[dryCapacity]();
    silentInput = new float[dryCapacity]();
    discardOutput = new float[dryCapacity]();
    diffuser = new Diffuser(8);
    sampleRate = 44100.0f;
    for (int b = 0; b < 4; ++b) {
        eqFilters1[b] = new EQfilter(0, 0, 2500, sampleRate, 5, true);
        eqDisplayFilters[b] = new EQfilter(0, 0, 2500, sampleRate, 5, true);
        eqFilters2[b] = new EQfilter(0, 0, 2500, sampleRate, 5, true);
    }
    std::memset(history1, 0, sizeof history1);
    std::memset(history2, 0, sizeof history2);
    std::memset(rayPaths, 0, sizeof rayPaths);
    for (auto& t : taps) {
        t.curHistory = t.newHistory = history1;
        t.source = &source1X;
        t.traceSerial = -1;
    }
    refreshControls = 1;
    numOutputs = 2;
    viewDirty = 1;
    std::memset(&bank.header, 0, sizeof bank.header);
    if (fillBank) fillBank(bank);
    publishRoom();
    tracedRoom = &roomMailbox.take();
    buildRayTable();
    currentProgram = 0;
}

ReverbEngine::~ReverbEngine() {
    pauseAudio();
    for (int b = 0; b < 4; ++b) {
        delete eqFilters1[b];
        delete eqDisplayFilters[b];
        delete eqFilters2[b];
    }
    delete diffuser;
    delete[] dryBuffer1;
    delete[] dryBuffer2;
    delete[] silentInput;
    delete[] discardOutput;
}

int32_t ReverbEngine::pauseAudio() {
    int32_t was = ready.exchange(0);
    while (inBlock.load()) std::this_thread::yield();
    return was;
}

void ReverbEngine::setProgramAndRate(int program, float rate) {
    if (program >= 0 && program < kNumPrograms) currentProgram = program;
    if (isUsableSampleRate(rate)) sampleRate = rate;
    seedRandom(141);
    // The diffuser's lines are laid out anew: no block may run them and no tracer may
    // configure them meanwhile.
    int32_t wasReady = pauseAudio();
    tapsLock.lock();
    diffuser->prepare(sampleRate);
    tapsLock.unlock();
    ready.store(wasReady);
}

void ReverbEngine::restart() {
    viewDirty = 1;
    refreshControls = 1;
    programChanged = 1;
    programLoading = 0;
    resetSignalPath();
    ready.store(1);
    rebuildRequested.store(1);
}

// ---- room operations ----

void ReverbEngine::publishRoom() { roomMailbox.publish(numWalls, walls); }

void ReverbEngine::loadRoom(int index) {
    if (index < 0 || index >= kNumPrograms) return;
    currentProgram = index;
    programLoading = 1;
    const KelvoranProgram& p = programs[index];
    numWalls = p.numWalls < 0 ? 0 : p.numWalls > kMaxWalls ? kMaxWalls : p.numWalls;
    std::memcpy(walls, p.walls, sizeof(Wall) * numWalls);
    publishRoom();
}

bool ReverbEngine::appendWall(int x1, int y1, int x2, int y2) {
    KelvoranProgram& p = program();
    int k = numWalls;
    if (k >= kMaxWalls) return false;
    KelvoranProgram scratch;
    scratch.numWalls = 0;
    AddWall(scratch, x1, y1, x2, y2);
    walls[k] = scratch.walls[0];
    uint8_t keptMark = p.walls[k].dragMark;
    p.walls[k] = scratch.walls[0];
    p.walls[k].dragMark = keptMark;
    numWalls = k + 1;
    p.numWalls = k + 1;
    publishRoom();
    return true;
}

void ReverbEngine::removeWall(int i) {
    if (numWalls <= 0 || i < 0 || i >= numWalls) return;
    KelvoranProgram& p = program();
    for (int j = i + 1; j < numWalls; ++j) {
        walls[j - 1] = walls[j];
        p.walls[j - 1] = walls[j];
    }
    --numWalls;
    p.numWalls = numWalls;
    publishRoom();
}

bool ReverbEngine::removeWallAt(int x1, int y1, int x2, int y2) {
    bool removed = false;
    for (int i = 0; i < numWalls; ++i) {
        const Wall& w = walls[i];
        if (int(w.x1) == x1 && int(w.y1) == y1 && int(w.x2) == x2 && int(w.y2) == y2) {
            removeWall(i);
            removed = true;
        }
    }
    return removed;
}

bool ReverbEngine::moveWallEnds(int fx, int fy, int tx, int ty, bool start) {
    bool moved = false;
    for (int i = 0; i < numWalls; ++i) {
        Wall& w = walls[i];
        int a = int(w.x1), b = int(w.y1), c = int(w.x2), d = int(w.y2);
        if (a == fx && b == fy) {
            if (start) w.dragMark = 1;
            if (start || w.dragMark == 1) w.x1 = float(tx), w.y1 = float(ty), moved = true;
        }
        if (c == fx && d == fy) {
            if (start) w.dragMark = 2;
            if (start || w.dragMark == 2) w.x2 = float(tx), w.y2 = float(ty), moved = true;
        }
    }
    if (moved) publishRoom();
    return moved;
}

int ReverbEngine::findMarkedWall(int x, int y) const {
    for (int i = 0; i < numWalls; ++i) {
        const Wall& w = walls[i];
        if (w.dragMark == 0) continue;
        if ((int(w.x1) == x && int(w.y1) == y) || (int(w.x2) == x && int(w.y2) == y)) return i;
    }
    return -1;
}

int ReverbEngine::pickWall(int px, int py) const {
    for (int i = 0; i < numWalls; ++i) {
        const Wall& w = walls[i];
        int x1 = int(w.x1), y1 = int(w.y1), x2 = int(w.x2), y2 = int(w.y2);
        int dx = x2 - x1, dy = y2 - y1;
        int cross = std::abs((px - x1) * dy - (py - y1) * dx);
        int tolerance = std::max(std::abs(dx), std::abs(dy));
        if (!(cross < tolerance)) continue;
        if (x1 != x2 && (px < std::min(x1, x2) || px > std::max(x1, x2))) continue;
        if (y1 != y2 && (py < std::min(y1, y2) || py > std::max(y1, y2))) continue;
        return i;
    }
    return -1;
}

}  // namespace kelvoran
