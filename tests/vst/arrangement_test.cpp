// Variable-length speaker arrangements: allocation, copies from host blocks
// of any channel count, release.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "vst/audioeffectx.h"

namespace {

struct Effect : AudioEffectX {
    Effect() : AudioEffectX(nullptr, 1, 1) {}
    void processReplacing(float**, float**, VstInt32) override {}
};

// A host-built arrangement of n channels in one block, as hosts pass them.
struct HostArrangement {
    explicit HostArrangement(VstInt32 n)
        : bytes(offsetof(VstSpeakerArrangement, speakers) + n * sizeof(VstSpeakerProperties), 0xAB) {
        get()->type = kSpeakerArrUserDefined;
        get()->numChannels = n;
        for (VstInt32 i = 0; i < n; ++i) {
            VstSpeakerProperties& s = get()->speakers[i];
            s.azimuth = 0.1f * i;
            s.elevation = -0.2f * i;
            s.radius = 1.0f + i;
            s.reserved = 0;
            std::snprintf(s.name, sizeof s.name, "speaker %d", i);
            s.type = kSpeakerL + i;
        }
    }
    VstSpeakerArrangement* get() { return reinterpret_cast<VstSpeakerArrangement*>(bytes.data()); }
    std::vector<unsigned char> bytes;
};

bool allZero(const void* p, size_t n) {
    auto* b = static_cast<const unsigned char*>(p);
    for (size_t i = 0; i < n; ++i)
        if (b[i]) return false;
    return true;
}

TEST(Arrangement, AllocateGivesAZeroedBlockWithTheChannelCount) {
    Effect effect;
    for (VstInt32 n : {0, 1, 2, 6, 8, 12, 128}) {
        SCOPED_TRACE(n);
        VstSpeakerArrangement* a = nullptr;
        ASSERT_TRUE(effect.allocateArrangement(&a, n));
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->type, 0);
        EXPECT_EQ(a->numChannels, n);
        EXPECT_TRUE(allZero(a->speakers, n * sizeof(VstSpeakerProperties)));
        EXPECT_TRUE(effect.deallocateArrangement(&a));
        EXPECT_EQ(a, nullptr);
    }
}

TEST(Arrangement, AllocateReplacesWhatWasThere) {
    Effect effect;
    VstSpeakerArrangement* a = nullptr;
    ASSERT_TRUE(effect.allocateArrangement(&a, 6));
    a->type = kSpeakerArr51;
    ASSERT_TRUE(effect.allocateArrangement(&a, 2));  // the 6-channel block is released
    EXPECT_EQ(a->numChannels, 2);
    EXPECT_EQ(a->type, 0);
    effect.deallocateArrangement(&a);
}

TEST(Arrangement, ImpossibleCountsAreRefusedAndChangeNothing) {
    Effect effect;
    VstSpeakerArrangement* a = nullptr;
    ASSERT_TRUE(effect.allocateArrangement(&a, 2));
    VstSpeakerArrangement* before = a;
    for (VstInt32 n : {-1, 129, INT32_MAX}) {
        EXPECT_FALSE(effect.allocateArrangement(&a, n)) << n;
        EXPECT_EQ(a, before);
        EXPECT_EQ(a->numChannels, 2);
    }
    EXPECT_FALSE(effect.allocateArrangement(nullptr, 2));
    effect.deallocateArrangement(&a);
    EXPECT_TRUE(effect.deallocateArrangement(&a)) << "releasing an empty slot is harmless";
    EXPECT_FALSE(effect.deallocateArrangement(nullptr));
}

TEST(Arrangement, MatchCopiesEverySpeakerOfAnyCount) {
    Effect effect;
    for (VstInt32 n : {1, 2, 6, 7, 12}) {
        SCOPED_TRACE(n);
        HostArrangement from(n);
        VstSpeakerArrangement* to = nullptr;
        ASSERT_TRUE(effect.allocateArrangement(&to, 3));
        ASSERT_TRUE(effect.matchArrangement(&to, from.get()));
        EXPECT_EQ(to->type, kSpeakerArrUserDefined);
        ASSERT_EQ(to->numChannels, n);
        for (VstInt32 i = 0; i < n; ++i) {
            const VstSpeakerProperties& s = to->speakers[i];
            const VstSpeakerProperties& h = from.get()->speakers[i];
            EXPECT_EQ(s.azimuth, h.azimuth);
            EXPECT_EQ(s.elevation, h.elevation);
            EXPECT_EQ(s.radius, h.radius);
            EXPECT_STREQ(s.name, h.name);
            EXPECT_EQ(s.type, h.type);
            EXPECT_TRUE(allZero(s.future, sizeof s.future)) << "host's spare bytes are not copied";
        }
        effect.deallocateArrangement(&to);
    }
}

TEST(Arrangement, MatchCutsAnUnterminatedNameTo63Characters) {
    Effect effect;
    HostArrangement from(1);
    std::memset(from.get()->speakers[0].name, 'n', kVstMaxNameLen);
    VstSpeakerArrangement* to = nullptr;
    ASSERT_TRUE(effect.matchArrangement(&to, from.get()));
    EXPECT_EQ(std::strlen(to->speakers[0].name), 63u);
    effect.deallocateArrangement(&to);
}

TEST(Arrangement, MatchRefusalsKeepTheTarget) {
    Effect effect;
    VstSpeakerArrangement* to = nullptr;
    ASSERT_TRUE(effect.allocateArrangement(&to, 2));
    to->type = kSpeakerArrStereo;
    VstSpeakerArrangement* before = to;

    EXPECT_FALSE(effect.matchArrangement(&to, nullptr));
    VstSpeakerArrangement corrupt{};
    corrupt.numChannels = -3;
    EXPECT_FALSE(effect.matchArrangement(&to, &corrupt));
    EXPECT_EQ(to, before);
    EXPECT_EQ(to->type, kSpeakerArrStereo);

    EXPECT_TRUE(effect.matchArrangement(&to, to)) << "matching itself keeps it";
    EXPECT_EQ(to, before);
    EXPECT_EQ(to->numChannels, 2);
    effect.deallocateArrangement(&to);
}

}  // namespace
