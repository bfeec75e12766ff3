// Parameter names, values and texts as a host sees them, and the control commands
// that arrive through setParameter.
#include <gtest/gtest.h>

#include <cmath>

#include "host.h"

using namespace host;

namespace {
const char* const kNames[38] = {
    "Wet gain", "Dry gain", "Wall absorb", "Wall hi-cut", "Wall scatter", "Wall height",
    "Air absorb", "Air Hi-cut", "Listener X", "Listener Y", "Source 1 X", "Source 1 Y",
    "Source 2 X", "Source 2 Y", "DBT Pre-delay", "DBT Scale", "DBT Head angle", "Diffusion Gain",
    "Diffusion Scale", "Diffusion Modulation", "Diffusion Low-Pass", "Diffusion Bend", "Pan L-R",
    "Pan F-B", "Stereo button", "EQ 1 Freq", "EQ 1 Gain", "EQ 1 Width", "EQ 2 Freq", "EQ 2 Gain",
    "EQ 2 Width", "EQ 3 Freq", "EQ 3 Gain", "EQ 3 Width", "EQ 4 Freq", "EQ 4 Gain", "EQ 4 Width",
    "Reverse button",
};
}  // namespace

TEST(Parameters, NamesAndLabels) {
    Instance p;
    for (int i = 0; i < 38; ++i) EXPECT_EQ(p.text(effGetParamName, i), kNames[i]) << i;
    for (int i : {38, 40, 46, 47, 48, 100, -1}) EXPECT_EQ(p.text(effGetParamName, i), " ") << i;
    for (int i : {0, 24, 47, 100}) EXPECT_EQ(p.text(effGetParamLabel, i), "amount") << i;
}

TEST(Parameters, ValuesReadBackFromTheCurrentProgram) {
    Instance p;
    p.set(13, 0.25f);
    EXPECT_EQ(p.get(13), 0.25f);
    EXPECT_EQ(p.get(47), 0.0f);
    EXPECT_EQ(p.get(100), 0.0f);
    p.set(75, 1.0f);  // the mirror switch lives outside the program
    EXPECT_EQ(p.get(75), 1.0f);
    // Values no formula can use leave the stored one.
    for (float bad : {NAN, INFINITY, 1e30f}) {
        p.set(13, bad);
        EXPECT_EQ(p.get(13), 0.25f);
    }
    // A negative routing value keeps the routing and the stored channel.
    float routed = p.get(40);
    p.set(40, -1.0f);
    EXPECT_EQ(p.get(40), routed);
}

TEST(Parameters, DisplayTextFollowsTheEngineValue) {
    Instance p;
    struct Case {
        int index;
        float value;
        const char* text;
    } cases[] = {
        {1, 1.0f, "0 db"},    {1, 0.0f, "-inf."},  {0, 1.0f, "4.0db"},   {14, 0.5f, "0ms"},
        {14, 0.75f, "250ms"}, {5, 0.5f, "12.00m"}, {8, 0.5f, "25.00m"}, {16, 0.75f, "90"},
        {2, 0.0f, "0.00%"},   {15, 0.5f, "100%"},  {20, 0.5f, "OFF"}, {20, 0.0f, "mono"},  {45, 1.0f, "512"},
    };
    for (const Case& c : cases) {
        p.set(c.index, c.value);
        EXPECT_EQ(p.text(effGetParamDisplay, c.index), c.text) << c.index << " at " << c.value;
    }
}

TEST(Parameters, DisplayTextFitsTheHostsEightBytes) {
    Instance p;
    p.set(4, 1.0f);  // "50.00%" and the longest texts stop at seven characters
    p.set(6, 1.0f);
    for (int i = 0; i < 48; ++i) {
        char buffer[64];
        std::memset(buffer, 'x', sizeof buffer);
        p.dispatch(effGetParamDisplay, i, 0, buffer);
        const void* end = std::memchr(buffer, 0, 8);
        ASSERT_NE(end, nullptr) << i << ": terminated within 8 bytes";
        EXPECT_EQ(std::string(buffer + 8, 56), std::string(56, 'x')) << i;
    }
}

TEST(Parameters, EditorSendsAutomationOnlyThroughTheAutomatedPath) {
    Instance p;
    p.set(3, 0.5f);
    p.set(24, 1.0f);
    EXPECT_TRUE(requests().automated.empty()) << "plain setParameter reports nothing";
}

TEST(Commands, NextAndPreviousActOnRelease) {
    Instance p;
    p.set(80, 1.0f);
    EXPECT_EQ(p.program(), 0) << "press";
    p.set(80, 0.0f);
    EXPECT_EQ(p.program(), 1) << "release";
    p.selectProgram(89);
    p.set(80, 0.0f);
    EXPECT_EQ(p.program(), 0) << "wraps forward";
    p.set(79, 0.0f);
    EXPECT_EQ(p.program(), 89) << "wraps back";
    p.set(79, 0.5f);
    EXPECT_EQ(p.program(), 89);
}

TEST(Commands, CategoryChoosesAnEntryOfThatCategory) {
    struct Case {
        int index;
        float entry;
        int program;  // -1: nothing changes
    } cases[] = {
        {51, 0, 0},   {53, 2, 17},  {53, 2.9f, 17}, {54, 0, 26}, {58, 13, 89}, {52, 9, 14},
        {51, 5, -1},  {58, 14, -1}, {52, -1, -1},   {55, NAN, -1},
    };
    for (const Case& c : cases) {
        Instance p;
        p.selectProgram(40);
        p.set(c.index, c.entry);
        EXPECT_EQ(p.program(), c.program < 0 ? 40 : c.program) << c.index << " entry " << c.entry;
    }
}

TEST(Commands, CurrentProgramIsNotReloadedByItsOwnCategoryEntry) {
    Instance p;
    p.set(53, 2.0f);
    ASSERT_EQ(p.program(), 17);
    int shown = requests().updateDisplay;
    p.set(53, 2.0f);
    EXPECT_EQ(requests().updateDisplay, shown);
    // The reload command does reload, and the live edits of the program stay.
    p.set(11, 0.3f);
    p.set(47, 0.0f);
    EXPECT_EQ(requests().updateDisplay, shown + 1);
    EXPECT_EQ(p.get(11), 0.3f);
    EXPECT_EQ(p.program(), 17);
}
