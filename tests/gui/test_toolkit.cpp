#include <filesystem>
#include <fstream>

#include "support.h"

namespace fs = std::filesystem;

namespace {

// ---- drawing -----------------------------------------------------------------

class Drawing : public ::testing::Test {
protected:
    void SetUp() override {
        image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 64, 64);
        c = new CDrawContext(image);
        c->setFillColor(kBlackCColor);
        c->drawRect(CRect(0, 0, 64, 64), kDrawFilled);
    }
    void TearDown() override {
        c->forget();
        cairo_surface_destroy(image);
    }
    long count(uint32_t colour, const CRect& r = CRect(0, 0, 64, 64)) {
        long n = 0;
        for (long y = r.top; y < r.bottom; ++y)
            for (long x = r.left; x < r.right; ++x) n += pixelAt(image, x, y) == colour;
        return n;
    }
    cairo_surface_t* image = nullptr;
    CDrawContext* c = nullptr;
};

TEST_F(Drawing, FramedRectangleOutlinesInsideItsEdges) {
    c->setFrameColor(kWhiteCColor);
    c->drawRect(CRect(10, 10, 20, 15), kDrawStroked);
    EXPECT_EQ(pixelAt(image, 10, 10), 0xFFFFFFu);
    EXPECT_EQ(pixelAt(image, 19, 14), 0xFFFFFFu);
    EXPECT_EQ(pixelAt(image, 20, 15), 0u);
    EXPECT_EQ(pixelAt(image, 15, 12), 0u);
    EXPECT_EQ(count(0xFFFFFF), 2 * 10 + 2 * 3);
}

TEST_F(Drawing, FilledRectangleCoversExactlyItsPixels) {
    c->setFillColor(MakeCColor(88, 105, 125));
    c->drawRect(CRect(5, 6, 9, 8), kDrawFilled);
    EXPECT_EQ(count(0x58697D), 4 * 2);
}

TEST_F(Drawing, ClippingKeepsDrawingInside) {
    c->setClipRect(CRect(0, 0, 32, 64));
    c->setFillColor(kWhiteCColor);
    c->drawRect(CRect(0, 0, 64, 64), kDrawFilled);
    EXPECT_EQ(count(0xFFFFFF), 32 * 64);
    c->resetClipRect();
    c->drawRect(CRect(0, 0, 64, 64), kDrawFilled);
    EXPECT_EQ(count(0xFFFFFF), 64 * 64);
}

TEST_F(Drawing, DashedLineLeavesGaps) {
    c->setDrawMode(kCopyMode);
    c->setFrameColor(kWhiteCColor);
    c->setLineStyle(kLineOnOffDash);
    c->drawLine(CPoint(2, 20), CPoint(60, 20));
    const long dashed = count(0xFFFFFF, CRect(0, 20, 64, 21));
    c->setLineStyle(kLineSolid);
    c->drawLine(CPoint(2, 30), CPoint(60, 30));
    const long solid = count(0xFFFFFF, CRect(0, 30, 64, 31));
    EXPECT_GT(dashed, solid / 3);
    EXPECT_LT(dashed, solid * 2 / 3);
}

TEST_F(Drawing, PolygonAndEllipseFill) {
    c->setDrawMode(kCopyMode);
    c->setFillColor(kWhiteCColor);
    const CPoint triangle[3] = {CPoint(0, 0), CPoint(20, 0), CPoint(0, 20)};
    c->drawPolygon(triangle, 3, kDrawFilled);
    EXPECT_EQ(pixelAt(image, 3, 3), 0xFFFFFFu);
    EXPECT_EQ(pixelAt(image, 18, 18), 0u);
    c->drawEllipse(CRect(30, 30, 50, 50), kDrawFilled);
    EXPECT_EQ(pixelAt(image, 40, 40), 0xFFFFFFu);
    EXPECT_EQ(pixelAt(image, 31, 31), 0u);
}

TEST_F(Drawing, TextIsAlignedInItsRectangle) {
    c->setFont(kNormalFont);
    c->setFontColor(kWhiteCColor);
    auto inkSpan = [&](CHoriTxtAlign align) {
        c->setFillColor(kBlackCColor);
        c->drawRect(CRect(0, 0, 64, 64), kDrawFilled);
        c->drawString("AB", CRect(0, 20, 64, 36), false, align);
        long first = 64, last = -1;
        for (long y = 0; y < 64; ++y)
            for (long x = 0; x < 64; ++x)
                if (pixelAt(image, x, y) & 0x800000) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                    EXPECT_GE(y, 20);
                    EXPECT_LT(y, 36);
                }
        return std::make_pair(first, last);
    };
    const auto left = inkSpan(kLeftText), centre = inkSpan(kCenterText), right = inkSpan(kRightText);
    EXPECT_LT(left.first, 3);
    EXPECT_GT(right.second, 60);
    EXPECT_NEAR((centre.first + centre.second) / 2.0, 32, 3);
}

TEST(Offscreen, CopiesItsImageFromAnOffset) {
    COffscreenContext off(nullptr, 20, 20, MakeCColor(10, 20, 30));
    off.setFillColor(kWhiteCColor);
    off.drawRect(CRect(10, 10, 20, 20), kDrawFilled);
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 40, 40);
    CDrawContext* target = new CDrawContext(image);
    off.copyFrom(target, CRect(5, 5, 15, 15), CPoint(10, 10));
    EXPECT_EQ(pixelAt(image, 5, 5), 0xFFFFFFu);
    EXPECT_EQ(pixelAt(image, 14, 14), 0xFFFFFFu);
    EXPECT_EQ(pixelAt(image, 15, 15), 0u);
    off.copyFrom(target, CRect(20, 20, 40, 40));
    EXPECT_EQ(pixelAt(image, 20, 20), 0x0A141Eu);
    target->forget();
    cairo_surface_destroy(image);
}

// ---- frame, dirty tracking -----------------------------------------------------

class Frame : public HeadlessFrame {};

TEST_F(Frame, RedrawsOnlyControlsWhoseValueChangedSinceDrawn) {
    CBitmap* strip = new CBitmap(162);
    CAnimKnob* knob = add(new CAnimKnob(CRect(440, 41, 482, 78), &listener, 2, 64, 37, strip));
    strip->forget();
    frame->idle();
    EXPECT_FALSE(knob->isDirty());
    knob->setValue(0.f);
    EXPECT_FALSE(knob->isDirty());
    knob->setValue(1.f);
    EXPECT_TRUE(knob->isDirty());
    frame->idle();
    EXPECT_FALSE(knob->isDirty());
    EXPECT_EQ(differingPixels(frame->getImage(), CRect(440, 41, 482, 78), 162, CPoint(0, 63 * 37)), 0);
}

struct GestureView : CView {
    std::vector<std::string> events;
    GestureView() : CView(CRect(10, 10, 100, 100)) {}
    CMouseEventResult onMouseDown(CPoint&, const long& b) override { return log("down", b); }
    CMouseEventResult onMouseMoved(CPoint&, const long& b) override { return log("moved", b); }
    CMouseEventResult onMouseUp(CPoint&, const long& b) override { return log("up", b); }
    CMouseEventResult log(const char* what, long b) {
        events.push_back(std::string(what) + " " + std::to_string(b));
        return kMouseEventHandled;
    }
};

TEST_F(Frame, GestureStaysWithThePressedViewUntilTheLastButtonIsUp) {
    GestureView* v = add(new GestureView);
    press(20, 20, kLButton);
    move(200, 200, kLButton);               // outside the view, still its gesture
    press(200, 200, kLButton | kRButton);   // second button
    release(200, 200, kLButton);            // one button left
    release(200, 200, 0);
    move(30, 30, 0);                        // no gesture any more
    const std::vector<std::string> expected = {"down 1", "moved 1", "moved 5", "moved 1", "up 0"};
    EXPECT_EQ(v->events, expected);
}

TEST_F(Frame, RendersToPng) {
    const fs::path out = fs::temp_directory_path() / "kelvoran-frame-test.png";
    CBitmap* panel = new CBitmap(152);
    frame->setBackground(panel);
    panel->forget();
    ASSERT_TRUE(frame->renderToPNG(out.c_str()));
    cairo_surface_t* back = cairo_image_surface_create_from_png(out.c_str());
    EXPECT_EQ(cairo_image_surface_get_width(back), 704);
    EXPECT_EQ(cairo_image_surface_get_height(back), 560);
    EXPECT_EQ(pixelAt(back, 300, 20), pixelAt(frame->getImage(), 300, 20));
    cairo_surface_destroy(back);
    fs::remove(out);
}

// ---- knobs ---------------------------------------------------------------------

struct KnobDrag {
    const char* name;
    long mode;
    long buttons;
    long dx, dy;
    float expected;
};
void PrintTo(const KnobDrag& d, std::ostream* os) { *os << d.name; }


class KnobModes : public HeadlessFrame, public ::testing::WithParamInterface<KnobDrag> {};

// Knob at 440, 41 (42 x 37): radius 21, centre (461, 62).
TEST_P(KnobModes, DragChangesValue) {
    const KnobDrag& d = GetParam();
    editor.setMode(d.mode);
    CKnob* knob = add(new CKnob(CRect(440, 41, 482, 78), &listener, 5, nullptr, nullptr));
    knob->setValue(0.5f);
    // Circular drags start at the top of the knob (value 0.5 on the arc).
    const bool circular = (d.mode == kLinearMode) == ((d.buttons & kAlt) != 0);
    const long x0 = 461, y0 = circular ? 41 : 62;
    press(x0, y0, d.buttons);
    move(x0 + d.dx, y0 + d.dy, d.buttons);
    release(x0 + d.dx, y0 + d.dy);
    EXPECT_NEAR(knob->getValue(), d.expected, 1e-3);
    EXPECT_FALSE(listener.heard.empty());
    EXPECT_EQ(editor.gestures, (std::vector<std::string>{"begin 5", "end 5"}));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, KnobModes,
    ::testing::Values(KnobDrag{"linearUp", kLinearMode, kLButton, 0, -40, 0.7f},
                      KnobDrag{"linearRight", kLinearMode, kLButton, 40, 0, 0.7f},
                      KnobDrag{"linearFine", kLinearMode, kLButton | kShift, 0, -60, 0.7f},
                      KnobDrag{"linearClamps", kLinearMode, kLButton, 0, -400, 1.f},
                      // a quarter turn clockwise, from the top to the right edge: +1/3 of the range
                      KnobDrag{"relativeCircular", kRelativCircularMode, kLButton, 21, 21, 0.5f + 1.f / 3.f},
                      KnobDrag{"circularByAltInLinearMode", kLinearMode, kLButton | kAlt, 21, 21, 0.5f + 1.f / 3.f}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Frame, KnobControlClickSetsDefaultValue) {
    CKnob* knob = add(new CKnob(CRect(440, 41, 482, 78), &listener, 5, nullptr, nullptr));
    knob->setDefaultValue(0.25f);
    knob->setValue(0.9f);
    press(461, 62, kLButton | kControl);
    EXPECT_EQ(knob->getValue(), 0.25f);
    ASSERT_EQ(listener.heard.size(), 1u);
}

TEST_F(Frame, KickButtonReportsPressAndRelease) {
    CBitmap* b = new CBitmap(105);
    add(new CKickButton(CRect(216, 512, 260, 528), &listener, 77, 16, b));
    b->forget();
    press(220, 520);
    release(220, 520);
    ASSERT_EQ(listener.heard.size(), 2u);
    EXPECT_EQ(listener.heard[0].value, 1.f);
    EXPECT_EQ(listener.heard[1].value, 0.f);
}

TEST_F(Frame, OnOffButtonToggles) {
    CBitmap* b = new CBitmap(103);
    COnOffButton* button = add(new COnOffButton(CRect(431, 336, 489, 352), &listener, 24, b));
    b->forget();
    press(440, 340);
    EXPECT_EQ(button->getValue(), 1.f);
    press(440, 340);
    EXPECT_EQ(button->getValue(), 0.f);
    EXPECT_EQ(listener.heard.size(), 2u);
}

TEST_F(Frame, SliderHandleTravelsBetweenItsPositions) {
    CBitmap* back = new CBitmap(131);
    CBitmap* handle = new CBitmap(166);
    CHorizontalSlider* slider =
        add(new CHorizontalSlider(CRect(438, 503, 578, 521), &listener, 21, 438, 568, handle, back, CPoint(0, 0), kLeft));
    back->forget();
    handle->forget();
    slider->setValue(0.f);
    EXPECT_EQ(slider->handleLeft(), 438);
    slider->setValue(1.f);
    EXPECT_EQ(slider->handleLeft(), 568);
    press(438 + 5 + 65, 510); // the handle's middle on the middle of its travel
    EXPECT_NEAR(slider->getValue(), 0.5f, 1e-6);
    move(700, 510);
    EXPECT_EQ(slider->getValue(), 1.f);
}

TEST_F(Frame, ParamDisplayShowsConvertedText) {
    CParamDisplay* display = add(new CParamDisplay(CRect(442, 85, 480, 96), nullptr, 1));
    display->setStringConvert([](float v, char* s) { std::snprintf(s, 32, "%.2f%%", v * 100); });
    display->setValue(0.125f);
    EXPECT_EQ(display->displayText(), "12.50%");
}

// ---- option menu -----------------------------------------------------------------

class Menu : public HeadlessFrame {
protected:
    void SetUp() override {
        HeadlessFrame::SetUp();
        // The sub-menu shares the rectangle; the main menu lies on top.
        sub = add(new COptionMenu(CRect(8, 100, 60, 116), &listener, 53, nullptr, nullptr, kPopupStyle | kCheckStyle));
        menu = add(new COptionMenu(CRect(8, 100, 60, 116), &listener, 50, nullptr, nullptr, kPopupStyle));
        menu->addEntry("Load preset");
        menu->addEntry("Save preset");
        menu->addEntry("Reset current");
        menu->addEntry("-");
        for (const char* n : {"Snare Room", "Big Kit", "Ambience"}) sub->addEntry(n);
        menu->addEntry(sub, "Drums:");
    }
    void clickIn(const CRect& r) {
        ASSERT_FALSE(r.isEmpty());
        move(r.left + 5, r.top + 5, 0);
        press(r.left + 5, r.top + 5);
        release(r.left + 5, r.top + 5);
    }
    COptionMenu* menu = nullptr;
    COptionMenu* sub = nullptr;
};

TEST_F(Menu, ChoosingASubMenuEntryTellsTheSubMenusListenerItsIndex) {
    press(20, 105);
    release(20, 105);
    ASSERT_TRUE(menu->isPopupOpen());
    frame->idle();
    move(menu->popupEntryRect(0, 4).left + 5, menu->popupEntryRect(0, 4).top + 5, 0);
    const CRect entry = menu->popupEntryRect(1, 1);
    ASSERT_FALSE(entry.isEmpty()) << "sub-menu opened on hover";
    clickIn(entry);
    EXPECT_FALSE(menu->isPopupOpen());
    ASSERT_EQ(listener.heard.size(), 1u);
    EXPECT_EQ(listener.heard[0].control, sub);
    EXPECT_EQ(listener.heard[0].tag, 53);
    EXPECT_EQ(listener.heard[0].value, 1.f);
    long index = -1;
    EXPECT_EQ(menu->getLastItemMenu(index), sub);
    EXPECT_EQ(index, 1);
}

TEST_F(Menu, PlainEntryAndSeparator) {
    press(20, 105);
    release(20, 105);
    clickIn(menu->popupEntryRect(0, 3)); // the separator does nothing
    EXPECT_TRUE(menu->isPopupOpen());
    clickIn(menu->popupEntryRect(0, 2));
    ASSERT_EQ(listener.heard.size(), 1u);
    EXPECT_EQ(listener.heard[0].control, menu);
    EXPECT_EQ(listener.heard[0].value, 2.f);
}

TEST_F(Menu, KeyboardWalksPastSeparatorsIntoSubMenus) {
    press(20, 105);
    release(20, 105);
    for (int i = 0; i < 4; ++i) key(0, VKEY_DOWN); // Load, Save, Reset, Drums
    key(0, VKEY_RIGHT);
    key(0, VKEY_DOWN); // Big Kit
    key(0, VKEY_RETURN);
    ASSERT_EQ(listener.heard.size(), 1u);
    EXPECT_EQ(listener.heard[0].control, sub);
    EXPECT_EQ(listener.heard[0].value, 1.f);
}

TEST_F(Menu, EscapeOrClickOutsideChangesNothing) {
    menu->setValue(1);
    press(20, 105);
    release(20, 105);
    key(0, VKEY_ESCAPE);
    EXPECT_FALSE(menu->isPopupOpen());
    press(20, 105);
    release(20, 105);
    press(600, 500);
    EXPECT_FALSE(menu->isPopupOpen());
    EXPECT_TRUE(listener.heard.empty());
    EXPECT_EQ(menu->getValue(), 1.f);
}

TEST_F(Menu, OpenPopupIsDrawnAboveEverything) {
    CBitmap* panel = new CBitmap(152);
    frame->setBackground(panel);
    panel->forget();
    frame->idle();
    const CRect entry(8, 116, 60, 130);
    const uint32_t before = pixelAt(frame->getImage(), 30, 120);
    press(20, 105);
    release(20, 105);
    frame->idle();
    EXPECT_NE(pixelAt(frame->getImage(), 30, 120), before);
    key(0, VKEY_ESCAPE);
    frame->idle();
    EXPECT_EQ(pixelAt(frame->getImage(), 30, 120), before);
}

// ---- text edit -------------------------------------------------------------------

class TextEdit : public HeadlessFrame {
protected:
    void SetUp() override {
        HeadlessFrame::SetUp();
        edit = add(new CTextEdit(CRect(68, 536, 268, 552), &listener, 49, "Hall"));
    }
    CTextEdit* edit = nullptr;
};

TEST_F(TextEdit, TypeAndEnterReportsTheText) {
    press(100, 540);
    ASSERT_TRUE(edit->isEditing());
    key(0, VKEY_BACK);
    type("l Two");
    key(0, VKEY_RETURN);
    EXPECT_FALSE(edit->isEditing());
    EXPECT_EQ(edit->getText(), "Hall Two");
    ASSERT_EQ(listener.heard.size(), 1u);
    char text[256];
    static_cast<CTextEdit*>(listener.heard[0].control)->getText(text);
    EXPECT_STREQ(text, "Hall Two");
}

TEST_F(TextEdit, EscapeRestoresTheText) {
    press(100, 540);
    type("xyz");
    key(0, VKEY_ESCAPE);
    EXPECT_EQ(edit->getText(), "Hall");
    EXPECT_TRUE(listener.heard.empty());
}

TEST_F(TextEdit, ClickElsewhereKeepsTheText) {
    press(100, 540);
    type("s");
    press(400, 300);
    EXPECT_FALSE(edit->isEditing());
    EXPECT_EQ(edit->getText(), "Halls");
    EXPECT_EQ(listener.heard.size(), 1u);
}

TEST_F(TextEdit, KeysReachNothingWhenNotEditing) {
    key('a');
    EXPECT_EQ(edit->getText(), "Hall");
}

// ---- file selector -----------------------------------------------------------------

class FileDialog : public HeadlessFrame {
protected:
    void SetUp() override {
        HeadlessFrame::SetUp();
        folder = fs::temp_directory_path() / ("kelvoran-dialog-" + std::to_string(::getpid()));
        fs::create_directories(folder / "Sub");
        for (const char* f : {"room.fxp", "notes.txt", "Sub/inner.fxp"}) std::ofstream(folder / f) << "data";
        request.initialPath = folder.string();
        request.extensions = {"fxp"};
        request.filterName = "VST Effect FXP";
    }
    void TearDown() override {
        fs::remove_all(folder);
        HeadlessFrame::TearDown();
    }
    static CFileDialogView* dialogOf(CFrame* f) { return dynamic_cast<CFileDialogView*>(f->getModalView()); }
    static void clickAt(CFrame* f, const CRect& r) {
        CPoint p(r.left + 4, r.top + 4);
        f->onMouseDown(p, kLButton);
        f->onMouseUp(p, 0);
    }
    fs::path folder;
    FileSelectRequest request;
};

TEST_F(FileDialog, ChoosingAFileReturnsItsPath) {
    std::vector<std::string> shown;
    frame->modalHook = [&](CFrame* f) {
        CFileDialogView* d = dialogOf(f);
        ASSERT_NE(d, nullptr);
        for (const auto& item : d->items()) shown.push_back(item.name);
        clickAt(f, d->rowRect(d->rowOf("room.fxp")));
        clickAt(f, d->okButton());
    };
    CFileSelector selector(frame);
    EXPECT_EQ(selector.run(request), 1);
    EXPECT_EQ(fs::path(request.returnPath), folder / "room.fxp");
    EXPECT_EQ(shown, (std::vector<std::string>{"..", "Sub", "room.fxp"})); // the filter hides notes.txt
    EXPECT_EQ(frame->getModalView(), nullptr);
}

TEST_F(FileDialog, FoldersOpenAndSaveTakesATypedName) {
    request.save = true;
    frame->modalHook = [&](CFrame* f) {
        CFileDialogView* d = dialogOf(f);
        clickAt(f, d->rowRect(d->rowOf("Sub")));
        for (char ch : std::string("new.fxp")) {
            CKeyCode k;
            k.character = ch;
            f->onKeyDown(k);
        }
        CKeyCode enter;
        enter.virt = VKEY_RETURN;
        f->onKeyDown(enter);
    };
    CFileSelector selector(frame);
    EXPECT_EQ(selector.run(request), 1);
    EXPECT_EQ(fs::path(request.returnPath), folder / "Sub" / "new.fxp");
}

TEST_F(FileDialog, LoadRefusesAMissingFile) {
    int calls = 0;
    frame->modalHook = [&](CFrame* f) {
        CFileDialogView* d = dialogOf(f);
        if (++calls == 1) {
            for (char ch : std::string("missing.fxp")) {
                CKeyCode k;
                k.character = ch;
                f->onKeyDown(k);
            }
            clickAt(f, d->okButton());
        } else {
            EXPECT_FALSE(d->isDone());
            clickAt(f, d->cancelButton());
        }
    };
    CFileSelector selector(frame);
    EXPECT_EQ(selector.run(request), 0);
    EXPECT_EQ(calls, 2);
}

TEST_F(FileDialog, CancelChangesNothing) {
    request.returnPath = "previous.fxp";
    frame->modalHook = [&](CFrame* f) {
        CFileDialogView* d = dialogOf(f);
        clickAt(f, d->rowRect(d->rowOf("room.fxp")));
        clickAt(f, d->cancelButton());
    };
    CFileSelector selector(frame);
    EXPECT_EQ(selector.run(request), 0);
    EXPECT_EQ(request.returnPath, "previous.fxp");
    EXPECT_TRUE(fs::exists(folder / "room.fxp"));
}

struct FakeHost : CFileSelectorHost {
    int answer;
    int asked = 0;
    explicit FakeHost(int a) : answer(a) {}
    int hostSelectFile(FileSelectRequest& r) override {
        ++asked;
        if (answer == 1) r.returnPath = "/host/chosen.fxp";
        return answer;
    }
};

TEST_F(FileDialog, HostDialogComesFirstAndOwnDialogOnlyWithoutOne) {
    int dialogs = 0;
    frame->modalHook = [&](CFrame* f) {
        ++dialogs;
        clickAt(f, dialogOf(f)->cancelButton());
    };
    FakeHost chooses(1), cancels(0), hasNone(-1);
    EXPECT_EQ(CFileSelector(frame, &chooses).run(request), 1);
    EXPECT_EQ(request.returnPath, "/host/chosen.fxp");
    EXPECT_EQ(CFileSelector(frame, &cancels).run(request), 0);
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(CFileSelector(frame, &hasNone).run(request), 0);
    EXPECT_EQ(dialogs, 1);
}

TEST_F(FileDialog, WithoutEventsTheDialogGivesUp) {
    CFileSelector selector(frame);
    EXPECT_EQ(selector.run(request), 0);
}

} // namespace
