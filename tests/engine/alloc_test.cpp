// processBlock must not allocate: every global allocation is counted while armed.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "tests/engine/fixture.h"

namespace {
std::atomic<bool> armed{false};
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t n) {
    if (armed) ++allocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

using namespace kelvoran;
using namespace kelvoran::test;

TEST(Allocation, ProcessBlockAllocatesNothing) {
    auto e = makeEngine();
    e->appendWall(10, 10, 40, 10), e->appendWall(40, 10, 40, 40);
    e->appendWall(40, 40, 10, 40), e->appendWall(10, 40, 10, 10);
    auto in = noise(4096);
    std::vector<std::vector<float>> out(6, std::vector<float>(4096));
    float* ins[2] = {in.data(), in.data()};
    float* outs[6];
    for (int k = 0; k < 6; ++k) outs[k] = out[k].data();
    for (int outputs : {2, 4, 5}) {
        e->numOutputs = outputs;
        e->applyParameter(24, outputs == 4 ? 0.0f : 1.0f);  // table rebuild inside the block
        e->applyParameter(8, 0.3f + 0.1f * outputs);        // re-trace inside the block
        e->restart();                                       // the rebuild block
        armed = true;
        for (int i = 0; i < 50; ++i) e->processBlock(ins, outs, 1 + (i * 97) % 4096);
        armed = false;
        EXPECT_EQ(allocations, 0) << outputs << " outputs";
    }
}
