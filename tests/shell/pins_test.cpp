// Pin properties and the speaker-arrangement negotiation.
#include <gtest/gtest.h>

#include <cstdio>

#include "host.h"

using namespace host;

namespace {

VstPinProperties filled(VstInt32 flags = 0) {
    VstPinProperties p;
    std::memset(&p, 0xAB, sizeof p);
    p.flags = flags;
    return p;
}

VstSpeakerArrangement arrangement(VstInt32 type, VstInt32 channels) {
    VstSpeakerArrangement a{};
    a.type = type;
    a.numChannels = channels;
    for (int i = 0; i < channels && i < 8; ++i) {
        a.speakers[i].type = kSpeakerL + i;
        std::snprintf(a.speakers[i].name, sizeof a.speakers[i].name, "spk%d", i);
    }
    return a;
}

struct Arrangements {
    VstSpeakerArrangement* input = nullptr;
    VstSpeakerArrangement* output = nullptr;
};

Arrangements current(Instance& p) {
    Arrangements a;
    EXPECT_EQ(p.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&a.input), &a.output), 1);
    return a;
}

VstIntPtr offer(Instance& p, VstSpeakerArrangement* input, VstSpeakerArrangement* output) {
    return p.dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(input), output);
}

// Sample 0 of each output for a unit impulse on the given inputs, with the dry path at
// full level: no reflection arrives that early, so these are the dry signals alone.
std::pair<float, float> dryAtStart(Instance& p, float left, float right) {
    p.set(1, 1.0f);
    std::vector<float> l(64), r(64);
    l[0] = left, r[0] = right;
    Channels out = p.render(l, r, 64);
    return {out[0][0], out[1][0]};
}

}  // namespace

TEST(Pins, Inputs) {
    Instance p;
    for (int i = 0; i < 2; ++i) {
        VstPinProperties pin = filled();
        ASSERT_EQ(p.dispatch(effGetInputProperties, i, 0, &pin), 1);
        EXPECT_EQ(std::string(pin.label), "My " + std::to_string(i + 1) + " In");
        EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
        EXPECT_EQ(pin.arrangementType, kSpeakerArrStereo);
    }
    for (int i : {2, -1, 6}) {
        VstPinProperties pin = filled(), before = pin;
        EXPECT_EQ(p.dispatch(effGetInputProperties, i, 0, &pin), 0);
        EXPECT_EQ(std::memcmp(&pin, &before, sizeof pin), 0) << "input " << i << " untouched";
    }
}

TEST(Pins, Outputs) {
    Instance p;
    struct Case {
        const char* label;
        bool stereo;
    } cases[] = {{"5.1 Out", true}, {"5.1 Out", false}, {"Center", false},
                 {"LFE", false},    {"Stereo Back", true}, {"5.1 Out", false}};
    const VstInt32 hostFlag = 1 << 5;  // a flag the host already set stays set
    for (int i = 0; i < 6; ++i) {
        VstPinProperties pin = filled(hostFlag);
        ASSERT_EQ(p.dispatch(effGetOutputProperties, i, 0, &pin), 1);
        EXPECT_STREQ(pin.label, cases[i].label) << i;
        VstInt32 want = hostFlag | kVstPinIsActive | kVstPinUseSpeaker | (cases[i].stereo ? kVstPinIsStereo : 0);
        EXPECT_EQ(pin.flags, want) << i;
        EXPECT_EQ(pin.arrangementType, kSpeakerArr51);
    }
    for (int i : {6, -1}) {
        VstPinProperties pin = filled(), before = pin;
        EXPECT_EQ(p.dispatch(effGetOutputProperties, i, 0, &pin), 0);
        EXPECT_EQ(std::memcmp(&pin, &before, sizeof pin), 0);
    }
}

TEST(Speakers, StartsStereoInAndSixOut) {
    Instance p;
    Arrangements a = current(p);
    ASSERT_NE(a.input, nullptr);
    ASSERT_NE(a.output, nullptr);
    EXPECT_EQ(a.input->type, kSpeakerArrStereo);
    EXPECT_EQ(a.input->numChannels, 2);
    EXPECT_EQ(a.output->type, kSpeakerArr51);
    EXPECT_EQ(a.output->numChannels, 6);
}

TEST(Speakers, SevenInputChannelsAreRefusedAsSixChannelSurround) {
    Instance p;
    VstSpeakerArrangement in = arrangement(kSpeakerArr70Music, 7), out = arrangement(kSpeakerArr40Music, 4);
    EXPECT_EQ(offer(p, &in, &out), 0);
    Arrangements a = current(p);
    EXPECT_EQ(a.input->numChannels, 6);
    EXPECT_EQ(a.input->type, kSpeakerArr51);
    EXPECT_EQ(a.output->numChannels, 4) << "the output is taken anyway";
    EXPECT_EQ(a.output->type, kSpeakerArr40Music);
    EXPECT_STREQ(a.output->speakers[3].name, "spk3");
}

TEST(Speakers, CopiesAreTaken) {
    Instance p;
    VstSpeakerArrangement in = arrangement(kSpeakerArrStereo, 2), out = arrangement(kSpeakerArr50, 5);
    std::memset(in.speakers[1].name, 'x', sizeof in.speakers[1].name);  // no terminator
    in.speakers[0].azimuth = 0.5f;
    EXPECT_EQ(offer(p, &in, &out), 1);
    in.numChannels = 1;  // the host's records stay the host's
    Arrangements a = current(p);
    EXPECT_NE(a.input, &in);
    EXPECT_EQ(a.input->numChannels, 2);
    EXPECT_EQ(a.input->speakers[0].azimuth, 0.5f);
    EXPECT_EQ(std::string(a.input->speakers[1].name), std::string(63, 'x'));
    EXPECT_EQ(a.output->numChannels, 5);
    // Our own records handed back are accepted as they are.
    EXPECT_EQ(offer(p, a.input, a.output), 1);
    Arrangements again = current(p);
    EXPECT_EQ(again.input->numChannels, 2);
    EXPECT_EQ(again.output->speakers[4].type, kSpeakerL + 4);
}

TEST(Speakers, NullOrCorruptRecordsChangeNothing) {
    Instance p;
    VstSpeakerArrangement mono = arrangement(kSpeakerArrMono, 1), bad = arrangement(kSpeakerArrMono, -3);
    VstSpeakerArrangement huge = arrangement(kSpeakerArrMono, 1 << 30);
    EXPECT_EQ(offer(p, nullptr, &mono), 0);
    EXPECT_EQ(offer(p, &mono, nullptr), 0);
    EXPECT_EQ(offer(p, &bad, &mono), 0);
    EXPECT_EQ(offer(p, &mono, &huge), 0);
    Arrangements a = current(p);
    EXPECT_EQ(a.input->numChannels, 2);
    EXPECT_EQ(a.output->numChannels, 6);
}

TEST(Speakers, OneInputChannelMakesTheInputMono) {
    Instance p;
    auto [stereoL, stereoR] = dryAtStart(p, 0.0f, 1.0f);
    EXPECT_NEAR(stereoL, 0.0f, 1e-6f);
    EXPECT_NEAR(stereoR, 1.0f, 1e-6f);

    VstSpeakerArrangement in = arrangement(kSpeakerArrMono, 1), out = arrangement(kSpeakerArrStereo, 2);
    ASSERT_EQ(offer(p, &in, &out), 1);
    EXPECT_EQ(current(p).input->numChannels, 1);
    // The second host input is no longer heard; the first feeds both sides.
    auto [rightOnlyL, rightOnlyR] = dryAtStart(p, 0.0f, 1.0f);
    EXPECT_NEAR(rightOnlyL, 0.0f, 1e-6f);
    EXPECT_NEAR(rightOnlyR, 0.0f, 1e-6f);
    auto [leftOnlyL, leftOnlyR] = dryAtStart(p, 1.0f, 0.0f);
    EXPECT_NEAR(leftOnlyL, 1.0f, 1e-6f);
    EXPECT_NEAR(leftOnlyR, 1.0f, 1e-6f);
    // A stereo-sources request on a mono input is stored as off.
    p.set(24, 1.0f);
    EXPECT_EQ(p.get(24), 0.0f);
}
