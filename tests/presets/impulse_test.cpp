// Every factory program, heard through the engine: an impulse rings out and decays.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "engine/engine.h"
#include "engine/params.h"
#include "presets/factory.h"

using namespace kelvoran;

TEST(FactorySound, EveryProgramRingsOutAndDecays) {
    auto e = std::make_unique<ReverbEngine>(fillFactoryBank);
    // Rendered in half-second windows until the level is 30 dB below its loudest window;
    // the history holds 23.8 s, so a tail must get there within 20 s.
    const int rate = 44100, block = 490, window = rate / 2, maxWindows = 40;
    std::vector<float> in(block), l(block), r(block);
    for (int p = 0; p < kNumPrograms; ++p) {
        e->setProgramAndRate(p, float(rate));
        e->loadRoom(p);
        for (int i : kProgramApplyOrder)
            if (i != kDryGainParameter) e->applyParameter(i, e->programs[p].slot[kParameterSlot[i]]);
        e->applyParameter(kDryGainParameter, 0.0f);  // the wet signal alone
        e->restart();
        float peak = 0;
        bool finite = true;
        double loudest = 0, last = 0;
        int windows = 0;
        for (; windows < maxWindows; ++windows) {
            double energy = 0;
            for (int pos = 0; pos < window; pos += block) {
                std::fill(in.begin(), in.end(), 0.0f);
                if (windows == 0 && pos == 0) in[0] = 1.0f;
                float* ins[2] = {in.data(), in.data()};
                float* outs[6] = {l.data(), r.data(), l.data(), r.data(), l.data(), r.data()};
                e->processBlock(ins, outs, block);
                for (int j = 0; j < block; ++j) {
                    float x = 0.5f * (l[j] + r[j]);
                    finite &= std::isfinite(x);
                    peak = std::max(peak, std::fabs(x));
                    energy += double(x) * x;
                }
            }
            loudest = std::max(loudest, energy);
            last = energy;
            if (windows > 0 && last < loudest * 1e-3) break;
        }
        const char* name = e->programs[p].name;
        EXPECT_TRUE(finite) << p << " " << name;
        EXPECT_GT(peak, 1e-3f) << p << " " << name << ": audible";
        EXPECT_LT(peak, 4.0f) << p << " " << name << ": no explosion";
        EXPECT_LT(windows, maxWindows) << p << " " << name << ": rings out within 20 s";
        EXPECT_GT(e->reverseBase, -kHistoryLength) << p << " " << name;
    }
}
