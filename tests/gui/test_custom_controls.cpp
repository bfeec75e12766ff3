#include "editor/custom_controls.h"

#include "support.h"

namespace {

class CustomControls : public HeadlessFrame {};

// ---- CInstSelect ---------------------------------------------------------------

TEST_F(CustomControls, InstSelectStepsThroughStatesAndShowsPressedImages) {
    CBitmap* strip = new CBitmap(130);
    const CRect rect(636, 496, 692, 512);
    CInstSelect* select = add(new CInstSelect(rect, &listener, 46, 6, 16, strip));
    strip->forget();
    frame->idle();
    EXPECT_EQ(differingPixels(frame->getImage(), rect, 130, CPoint(0, 0)), 0);

    const float states[] = {1, 2, 0};
    const long pressedImages[] = {1, 3, 5};
    for (int click = 0; click < 3; ++click) {
        press(650, 500);
        frame->idle();
        EXPECT_EQ(differingPixels(frame->getImage(), rect, 130, CPoint(0, 16 * pressedImages[click])), 0) << "click " << click;
        release(650, 500);
        frame->idle();
        EXPECT_EQ(select->getValue(), states[click]);
        EXPECT_EQ(differingPixels(frame->getImage(), rect, 130, CPoint(0, 32 * (long)states[click])), 0);
        ASSERT_EQ(listener.heard.size(), (size_t)click + 1);
        EXPECT_EQ(listener.heard.back().tag, 46);
        EXPECT_EQ(listener.heard.back().value, states[click]);
    }
}

TEST_F(CustomControls, InstSelectIgnoresOtherButtons) {
    CBitmap* strip = new CBitmap(125);
    CInstSelect* select = add(new CInstSelect(CRect(328, 512, 416, 528), &listener, 65, 4, 16, strip));
    strip->forget();
    press(340, 520, kRButton);
    release(340, 520);
    EXPECT_EQ(select->getValue(), 0.f);
    EXPECT_TRUE(listener.heard.empty());
}

// ---- CRotary -------------------------------------------------------------------

struct RotaryCase {
    const char* name;
    long mode;          // frame knob mode
    long extraButtons;  // Alt swaps the gesture
};
void PrintTo(const RotaryCase& c, std::ostream* os) { *os << c.name; }


class RotaryWrap : public HeadlessFrame, public ::testing::WithParamInterface<RotaryCase> {};

// Rotary at 535, 264 (44 x 43): radius 22, centre (557, 286).
TEST_P(RotaryWrap, WrapsPastTheLastStepBothWays) {
    const RotaryCase& c = GetParam();
    editor.setMode(c.mode);
    CRotary* rotary = add(new CRotary(CRect(535, 264, 579, 307), &listener, 16, nullptr));
    const bool circular = (c.mode == kLinearMode) == ((c.extraButtons & kAlt) != 0);
    const long b = kLButton | c.extraButtons;
    std::vector<float> seen;
    if (circular) {
        // Just right of the bottom is step 31, just left of it step 0.
        rotary->setValue(31.f / 32.f);
        press(557, 300, b);
        const long path[][2] = {{554, 306}, {563, 306}, {554, 306}};
        for (const auto& p : path) {
            move(p[0], p[1], b);
            seen.push_back(rotary->getValue());
        }
    } else {
        rotary->setValue(31.f / 32.f);
        press(557, 286, b);
        move(557, 279, b); // 7 up: 31/32 + 0.035 wraps to 0
        seen.push_back(rotary->getValue());
        move(557, 286, b);
        seen.push_back(rotary->getValue());
        move(557, 279, b);
        seen.push_back(rotary->getValue());
    }
    release(557, 286);
    const std::vector<float> expected = {0.f, 31.f / 32.f, 0.f};
    EXPECT_EQ(seen, expected);
    ASSERT_EQ(listener.heard.size(), 3u);
    EXPECT_EQ(editor.gestures, (std::vector<std::string>{"begin 16", "end 16"}));
}

INSTANTIATE_TEST_SUITE_P(Gestures, RotaryWrap,
                         ::testing::Values(RotaryCase{"linear", kLinearMode, 0},
                                           RotaryCase{"circularByAlt", kLinearMode, kAlt},
                                           RotaryCase{"circular", kRelativCircularMode, 0},
                                           RotaryCase{"linearByAlt", kRelativCircularMode, kAlt}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CustomControls, RotaryCircularPositionsMapToQuarterTurns) {
    editor.setMode(kRelativCircularMode);
    CRotary* rotary = add(new CRotary(CRect(535, 264, 579, 307), &listener, 16, nullptr));
    press(557, 300);
    const struct { long x, y; float value; } points[] = {
        {536, 284, 0.25f}, // just above the left
        {559, 265, 0.5f},  // just right of the top
        {554, 306, 0.f},   // just left of the bottom
    };
    for (const auto& p : points) {
        move(p.x, p.y);
        EXPECT_EQ(rotary->getValue(), p.value) << p.x << "," << p.y;
    }
}

TEST_F(CustomControls, RotaryLinearDragDownFromZeroWrapsToLastStep) {
    CRotary* rotary = add(new CRotary(CRect(535, 264, 579, 307), &listener, 16, nullptr));
    rotary->setValue(0);
    press(557, 286);
    move(557, 293); // 7 down
    EXPECT_EQ(rotary->getValue(), 31.f / 32.f);
    move(557, 286);
    EXPECT_EQ(rotary->getValue(), 0.f);
}

TEST(AnimRotary, SourceOffsetIsTheNextFrameBoundary) {
    CBitmap* strip = new CBitmap(163);
    CAnimRotary* rotary = new CAnimRotary(CRect(535, 264, 579, 307), nullptr, 16, 64, 43, strip);
    strip->forget();
    const struct { float value; long offset; } cases[] = {
        {-0.5f, 0}, {0.f, 0}, {0.0001f, 43}, {0.5f, 1376}, {1.f, 2709},
    };
    for (const auto& c : cases) {
        rotary->setValue(c.value);
        EXPECT_EQ(rotary->sourceOffset(), c.offset) << c.value;
    }
    rotary->forget();
}

// ---- CJogDial ------------------------------------------------------------------

struct JogCase {
    long buttons;
    long pixels;
    float value;
};
void PrintTo(const JogCase& c, std::ostream* os) { *os << c.pixels << " px, buttons " << c.buttons; }


class JogRange : public HeadlessFrame, public ::testing::WithParamInterface<JogCase> {};

TEST_P(JogRange, FullRangeNeeds500PixelsOr750WithShift) {
    const JogCase& c = GetParam();
    CJogDial* jog = add(new CJogDial(CRect(349, 536, 419, 551), &listener, 81, nullptr));
    press(360, 540, c.buttons);
    EXPECT_TRUE(jog->isDragging());
    move(360 + c.pixels, 540, c.buttons);
    EXPECT_NEAR(jog->getValue(), c.value, 1e-5);
    release(360 + c.pixels, 540);
    EXPECT_FALSE(jog->isDragging());
}

INSTANTIATE_TEST_SUITE_P(Ranges, JogRange,
                         ::testing::Values(JogCase{kLButton, 250, 0.5f}, JogCase{kLButton, 500, 1.f},
                                           JogCase{kLButton, 499, 0.998f}, JogCase{kLButton, 900, 1.f},
                                           JogCase{kLButton | kShift, 500, 2.f / 3.f},
                                           JogCase{kLButton | kShift, 750, 1.f}, JogCase{kLButton, -40, 0.f}));

TEST_F(CustomControls, JogUpwardsCountsLikeRightwards) {
    CJogDial* jog = add(new CJogDial(CRect(349, 536, 419, 551), &listener, 81, nullptr));
    press(360, 540);
    move(360 + 100, 540 - 150);
    EXPECT_NEAR(jog->getValue(), 0.5f, 1e-6);
}

TEST_F(CustomControls, JogRebasesWhenShiftChangesMidDrag) {
    CJogDial* jog = add(new CJogDial(CRect(349, 536, 419, 551), &listener, 81, nullptr));
    press(360, 540);
    move(610, 540); // 250 px: 0.5
    move(610, 540, kLButton | kShift);
    EXPECT_NEAR(jog->getValue(), 0.5f, 1e-6); // no jump
    move(685, 540, kLButton | kShift);       // 75 px more at 1/750
    EXPECT_NEAR(jog->getValue(), 0.6f, 1e-5);
}

TEST_F(CustomControls, JogSpringsBackByOneHundredthPerStepOnlyWhenReleased) {
    CJogDial* jog = add(new CJogDial(CRect(349, 536, 419, 551), &listener, 81, nullptr));
    press(360, 540);
    move(860, 540);
    jog->springBack();
    EXPECT_EQ(jog->getValue(), 1.f); // held
    release(860, 540);
    jog->springBack();
    EXPECT_NEAR(jog->getValue(), 0.99f, 1e-6);
    for (int i = 0; i < 49; ++i) jog->springBack();
    EXPECT_NEAR(jog->getValue(), 0.5f, 1e-4);
    for (int i = 0; i < 60; ++i) jog->springBack();
    EXPECT_EQ(jog->getValue(), 0.f);
    EXPECT_TRUE(jog->isDirty());
}

TEST_F(CustomControls, JogControlClickSetsDefault) {
    CJogDial* jog = add(new CJogDial(CRect(349, 536, 419, 551), &listener, 81, nullptr));
    jog->setDefaultValue(0.f);
    jog->setValue(0.7f);
    press(360, 540, kLButton | kControl);
    EXPECT_EQ(jog->getValue(), 0.f);
    EXPECT_FALSE(jog->isDragging());
    ASSERT_EQ(listener.heard.size(), 1u);
}

TEST(AnimJog, TurnsSixTimesOverTheRange) {
    CBitmap* strip = new CBitmap(161);
    CAnimJog* jog = new CAnimJog(CRect(349, 536, 419, 551), nullptr, 81, 64, 15, strip);
    strip->forget();
    const struct { float value; long frame; } cases[] = {
        {0.f, 0}, {1.f / 6.f, 0}, {1.f / 12.f, 31}, {0.16f, 60}, {2.f / 6.f + 0.01f, 3},
    };
    for (const auto& c : cases) {
        jog->setValue(c.value);
        EXPECT_EQ(jog->frameIndex(), c.frame) << c.value;
    }
    jog->forget();
}

// ---- KLFakeControl -------------------------------------------------------------

TEST_F(CustomControls, FakeControlNotifiesOncePerChangeFromTheNextRedraw) {
    KLFakeControl* fake = add(new KLFakeControl(CRect(0, 0, 3, 3), &listener, 8));
    frame->idle();
    ASSERT_EQ(listener.heard.size(), 1u); // the first draw reports the starting value
    fake->setAndNotify(0.f);              // unchanged
    frame->idle();
    EXPECT_EQ(listener.heard.size(), 1u);
    fake->setAndNotify(0.42f);
    EXPECT_EQ(listener.heard.size(), 1u); // not before the redraw
    frame->idle();
    frame->idle();
    ASSERT_EQ(listener.heard.size(), 2u);
    EXPECT_EQ(listener.heard.back().tag, 8);
    EXPECT_EQ(listener.heard.back().value, 0.42f);
    fake->setAndNotify(0.42f);
    frame->idle();
    EXPECT_EQ(listener.heard.size(), 2u);
}

TEST_F(CustomControls, MenuButtonPaintsNothingButOpensItsMenu) {
    CBitmap* panel = new CBitmap(152);
    frame->setBackground(panel);
    panel->forget();
    CMenuButton* menu = add(new CMenuButton(CRect(8, 536, 60, 552), &listener, 50, nullptr, nullptr, kPopupStyle));
    menu->addEntry("Load preset");
    menu->addEntry("Save preset");
    frame->idle();
    // The panel needs no black behind it: it is opaque.
    EXPECT_EQ(differingPixels(frame->getImage(), CRect(8, 536, 60, 552), 152, CPoint(8, 536)), 0) << "panel shows through";
    press(20, 540);
    EXPECT_TRUE(menu->isPopupOpen());
}

} // namespace
