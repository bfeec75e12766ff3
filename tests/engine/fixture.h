// Small helpers shared by the engine tests.
#pragma once
#include <memory>
#include <vector>

#include "engine/engine.h"
#include "engine/params.h"

namespace kelvoran::test {

// What a program switch does to the engine, without the effect around it.
inline void switchProgram(ReverbEngine& e, int index, float rate = 44100.0f) {
    e.setProgramAndRate(index, rate);
    e.loadRoom(index);
    for (int i : kProgramApplyOrder) e.applyParameter(i, e.programs[index].slot[kParameterSlot[i]]);
    e.restart();
}

inline std::unique_ptr<ReverbEngine> makeEngine(float rate = 44100.0f) {
    auto e = std::make_unique<ReverbEngine>();
    switchProgram(*e, 0, rate);
    return e;
}

// A closed rectangular room in program `index`.
inline void addBox(KelvoranProgram& p, int x1, int y1, int x2, int y2) {
    AddWall(p, x1, y1, x2, y1);
    AddWall(p, x2, y1, x2, y2);
    AddWall(p, x2, y2, x1, y2);
    AddWall(p, x1, y2, x1, y1);
}

inline void setSlot(ReverbEngine& e, Slot slot, float value) {
    e.applyParameter(parameterOfSlot(slot), value);
}

// Deterministic white noise in -1..1.
inline std::vector<float> noise(int n, uint32_t seed = 1) {
    std::vector<float> v(n);
    for (float& x : v) {
        seed = seed * 1664525u + 1013904223u;
        x = float(int32_t(seed)) / 2147483648.0f;
    }
    return v;
}

// Runs a stereo signal through processBlock in blocks of `block` samples; 2 host outputs.
struct Rendered {
    std::vector<float> left, right;
};
inline Rendered render(ReverbEngine& e, const std::vector<float>& in1, const std::vector<float>& in2,
                       int block, int outputs = 6) {
    int n = int(in1.size());
    std::vector<std::vector<float>> out(outputs, std::vector<float>(n));
    for (int pos = 0; pos < n; pos += block) {
        int c = std::min(block, n - pos);
        float* ins[2] = {const_cast<float*>(in1.data()) + pos, const_cast<float*>(in2.data()) + pos};
        float* outs[6];
        for (int k = 0; k < outputs; ++k) outs[k] = out[k].data() + pos;
        e.processBlock(ins, outs, c, 2, outputs);
    }
    return {out[0], out[1]};
}

}  // namespace kelvoran::test
