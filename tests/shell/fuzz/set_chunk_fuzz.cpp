// setChunk with arbitrary bytes and sizes, then audio through the loaded state.
//
// Input: byte 0 chooses the block, byte 1 the current program, the rest is payload.
//   kind % 8 = 0..3: a bank, program, legacy program or legacy bank of the exact size,
//     starting from the factory state with payload patches of 7 bytes each
//     (record, 16-bit word index, 32-bit value) - or, when kind has bit 3 set,
//     filled entirely with the payload repeated;
//   kind % 8 = 4..7: the payload itself as the block, of its own size, as a program
//     (odd kinds) or a bank.
// Afterwards every stored program must hold 0..256 walls and a terminated name, the
// answer must match the size, and one block of audio must run. Built with
// -DKELVORAN_FUZZ_FINITE it also demands finite output, which the engine does not
// promise yet for every stored value (wall hi-cut 2.0, for one, rings up to inf).
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "shell/effect_vst.h"

using namespace kelvoran;

namespace {

VstIntPtr VSTCALLBACK host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

struct Kind {
    VstInt32 size;
    bool preset;
    int records;
    int recordSize;
    int firstRecord;  // byte offset of record 0
};
const Kind kKinds[4] = {
    {kBankChunkSize, false, kNumPrograms, int(sizeof(KelvoranProgram)), 4},
    {kProgramChunkSize, true, 1, int(sizeof(KelvoranProgram)), 0},
    {kLegacyProgramChunkSize, true, 1, int(sizeof(LegacyProgram)), 0},
    {kLegacyBankChunkSize, false, kLegacyBankPrograms, int(sizeof(LegacyProgram)), 4},
};

bool accepted(size_t size, bool preset) {
    for (const Kind& k : kKinds)
        if (size == size_t(k.size) && preset == k.preset) return true;
    return false;
}

void check(bool ok) {
    if (!ok) __builtin_trap();
}

struct Fixture {
    EffectVST* effect = new EffectVST(host);
    std::unique_ptr<BankImage> factory = std::make_unique<BankImage>();
    std::vector<uint8_t> legacyTemplate = std::vector<uint8_t>(kLegacyBankChunkSize);
    Fixture() {
        check(effect->engine != nullptr);
        effect->setBlockSize(256);
        effect->resume();
        std::memcpy(factory.get(), &effect->engine->bank, sizeof(BankImage));
        // A plausible legacy record: the factory program's walls at the legacy offsets.
        for (int k = 0; k < kLegacyBankPrograms; ++k) {
            LegacyProgram l{};
            const KelvoranProgram& p = factory->programs[k];
            std::memcpy(l.slot, p.slot, sizeof l.slot);
            l.numWalls = p.numWalls;
            std::memcpy(l.walls, p.walls, sizeof l.walls);
            std::memcpy(l.name, p.name, sizeof l.name);
            std::memcpy(legacyTemplate.data() + 4 + k * sizeof(LegacyProgram), &l, sizeof l);
        }
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

std::vector<uint8_t> buildBlock(const Fixture& f, const Kind& kind, bool repeat, const uint8_t* payload,
                                size_t n, int current) {
    std::vector<uint8_t> block(kind.size);
    if (repeat) {
        for (size_t i = 0; i < block.size(); ++i) block[i] = n ? payload[i % n] : 0;
        return block;
    }
    const uint8_t* base = kind.size == kBankChunkSize ? reinterpret_cast<const uint8_t*>(f.factory.get())
                        : kind.size == kProgramChunkSize
                            ? reinterpret_cast<const uint8_t*>(&f.factory->programs[current])
                            : f.legacyTemplate.data() + (kind.size == kLegacyProgramChunkSize ? 4 : 0);
    std::memcpy(block.data(), base, block.size());
    for (size_t i = 0; i + 7 <= n; i += 7) {
        const int record = payload[i] % kind.records;
        const int word = (payload[i + 1] | payload[i + 2] << 8) % (kind.recordSize / 4);
        std::memcpy(block.data() + kind.firstRecord + record * kind.recordSize + word * 4, payload + i + 3, 4);
    }
    return block;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    Fixture& f = fixture();
    EffectVST& effect = *f.effect;
    ReverbEngine& engine = *effect.engine;
    // Every input starts from the factory bank on the program it names.
    std::memcpy(&engine.bank, f.factory.get(), sizeof(BankImage));
    const int current = data[1] % kNumPrograms;
    effect.setProgram(current);

    const uint8_t kind = data[0];
    const uint8_t* payload = data + 2;
    const size_t n = size - 2;
    std::vector<uint8_t> block;
    bool preset;
    if (kind % 8 < 4) {
        const Kind& k = kKinds[kind % 8];
        block = buildBlock(f, k, kind & 8, payload, n, current);
        preset = k.preset;
    } else {
        block.assign(payload, payload + n);
        preset = kind & 1;
    }
    std::vector<uint8_t> before(reinterpret_cast<uint8_t*>(&engine.bank),
                                reinterpret_cast<uint8_t*>(&engine.bank) + sizeof(BankImage));
    const VstInt32 answer = effect.setChunk(block.empty() ? nullptr : block.data(), VstInt32(block.size()), preset);
    check(answer == (accepted(block.size(), preset) ? 1 : 0));
    if (!answer) check(std::memcmp(before.data(), &engine.bank, sizeof(BankImage)) == 0);
    check(effect.getProgram() == current);
    for (const KelvoranProgram& p : engine.programs) {
        check(p.numWalls >= 0 && p.numWalls <= kMaxWalls);
        check(p.name[kNameSize - 1] == 0);
    }

    // One block with an impulse: the rebuild traces every ray through the loaded room.
    float in[256] = {1.0f}, out[6][256];
    float* ins[2] = {in, in};
    float* outs[6] = {out[0], out[1], out[2], out[3], out[4], out[5]};
    effect.processReplacing(ins, outs, 256);
    for (int i = 0; i < kNumProgramParameters; ++i) effect.getParameter(i);
#ifdef KELVORAN_FUZZ_FINITE
    for (auto& channel : out)
        for (float x : channel) check(std::isfinite(x));
#endif
    return 0;
}
