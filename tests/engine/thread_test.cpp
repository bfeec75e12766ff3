// The audio thread renders while another thread changes parameters, the room and programs,
// and a third traces as the editor's idle does. Built with ThreadSanitizer in CI.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include "tests/engine/fixture.h"

using namespace kelvoran;
using namespace kelvoran::test;

TEST(Threads, RenderingParametersRoomAndIdleTracingTogether) {
    auto e = makeEngine();
    for (int p = 0; p < 3; ++p) addBox(e->programs[p], 5 + p, 5, 40, 30 + p);
    switchProgram(*e, 0);
    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0}, idleTraces{0};
    std::atomic<bool> finite{true};

    std::thread audio([&] {
        auto in = noise(256);
        std::vector<std::vector<float>> out(6, std::vector<float>(256));
        float* ins[2] = {in.data(), in.data()};
        float* outs[6];
        for (int k = 0; k < 6; ++k) outs[k] = out[k].data();
        while (!stop) {
            e->processBlock(ins, outs, 256);
            for (int k = 0; k < 2; ++k)
                for (float x : out[k])
                    if (!std::isfinite(x)) finite = false;
            ++blocks;
        }
    });
    std::thread idle([&] {
        while (!stop) {
            if (e->tapsLock.tryLock()) {
                e->commitTaps();
                e->trace(32);
                e->tapsLock.unlock();
                ++idleTraces;
            }
            std::this_thread::yield();
        }
    });

    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    uint32_t r = 5;
    auto rnd = [&] { return (r = r * 1103515245u + 12345u) >> 8; };
    for (int i = 0; std::chrono::steady_clock::now() < end; ++i) {
        int index = int(rnd() % 47);
        e->applyParameter(index, float(rnd() % 1000) / 1000.0f);
        if (i % 7 == 0) e->applyParameter(24, float(rnd() % 2));
        if (i % 11 == 0) e->applyParameter(45, float(rnd() % 100) / 100.0f);
        if (i % 5 == 0) e->appendWall(int(rnd() % 50), int(rnd() % 50), int(rnd() % 50), int(rnd() % 50));
        if (i % 5 == 2 && e->numWalls > 4) e->removeWall(int(rnd() % e->numWalls));
        if (i % 13 == 0) e->moveWallEnds(5, 5, 6, 6, true);
        if (i % 997 == 0) switchProgram(*e, int(rnd() % 3));
        if (i % 3 == 0) std::this_thread::yield();
    }
    stop = true;
    audio.join();
    idle.join();
    EXPECT_TRUE(finite);
    EXPECT_GT(blocks, 10);
    EXPECT_GT(idleTraces, 0);
}
