// The frame inside a host-like parent X11 window: a click sent by xdotool
// reaches a control, and the window shows what the headless frame renders.
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "editor/custom_controls.h"
#include "support.h"

// After the test framework: Xlib's macros would clash with its names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef None
#undef Bool

namespace {

bool haveXdotool() { return std::system("command -v xdotool >/dev/null 2>&1") == 0; }

// The same views on any frame, so a window and an image can be compared.
void populate(CFrame* frame, CControlListener* listener, COnOffButton*& stereo, CTextEdit*& name) {
    CBitmap* panel = new CBitmap(152);
    frame->setBackground(panel);
    panel->forget();
    CBitmap* b = new CBitmap(103);
    stereo = new COnOffButton(CRect(431, 336, 489, 352), listener, 24, b);
    frame->addView(stereo);
    b->forget();
    CBitmap* strip = new CBitmap(162);
    CAnimKnob* knob = new CAnimKnob(CRect(440, 41, 482, 78), listener, 2, 64, 37, strip);
    knob->setValue(0.6f);
    frame->addView(knob);
    strip->forget();
    CBitmap* toggle = new CBitmap(125);
    frame->addView(new CInstSelect(CRect(328, 512, 416, 528), listener, 65, 4, 16, toggle));
    toggle->forget();
    name = new CTextEdit(CRect(68, 536, 268, 552), listener, 49, "Large Cathedral");
    name->setFont(kNormalFontSmall);
    name->setFontColor(MakeCColor(192, 192, 192));
    name->setBackColor(MakeCColor(88, 105, 125));
    name->setFrameColor(MakeCColor(88, 105, 125));
    frame->addView(name);
}

class X11Window : public ::testing::Test {
protected:
    void SetUp() override {
        display = XOpenDisplay(nullptr);
        if (!display) GTEST_SKIP() << "no X display (run under xvfb-run)";
        const int screen = DefaultScreen(display);
        XSetWindowAttributes attributes;
        attributes.override_redirect = True;
        attributes.background_pixel = BlackPixel(display, screen);
        // The host's window: bigger than the editor, at the screen's corner.
        parent = XCreateWindow(display, RootWindow(display, screen), 0, 0, 800, 640, 0, CopyFromParent, InputOutput,
                               CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
        XMapWindow(display, parent);
        XSync(display, False);
        frame = new CFrame(CRect(0, 0, 704, 560), (void*)(uintptr_t)parent, &editor);
    }
    void TearDown() override {
        if (frame) frame->forget();
        if (display) {
            XDestroyWindow(display, parent);
            XCloseDisplay(display);
        }
    }
    // Idles the frame as a host's timer would until done() or a timeout.
    template <class F>
    bool idleUntil(F done, int ms = 5000) {
        for (int t = 0; t < ms; t += 10) {
            frame->idle();
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    std::string xdotool(const std::string& args) {
        return "xdotool " + args + " --window " + std::to_string(frame->getNativeWindow()) + " ";
    }

    Display* display = nullptr;
    Window parent = 0;
    RecordingEditor editor;
    RecordingListener listener;
    CFrame* frame = nullptr;
};

TEST_F(X11Window, ClickReachesControlAndWindowMatchesHeadlessImage) {
    if (!haveXdotool()) GTEST_SKIP() << "xdotool missing";
    ASSERT_TRUE(frame->hasWindow());
    COnOffButton* stereo = nullptr;
    CTextEdit* name = nullptr;
    populate(frame, &listener, stereo, name);
    idleUntil([] { return false; }, 300); // mapped and drawn once

    const std::string click = "xdotool mousemove --window " + std::to_string(frame->getNativeWindow()) +
                              " 450 344 click 1";
    ASSERT_EQ(std::system(click.c_str()), 0);
    ASSERT_TRUE(idleUntil([&] { return !listener.heard.empty(); })) << "no click arrived";
    EXPECT_EQ(listener.heard[0].tag, 24);
    EXPECT_EQ(stereo->getValue(), 1.f);
    idleUntil([] { return false; }, 200);

    // What the window shows, read back from the server.
    XSync(display, False);
    XImage* shot = XGetImage(display, (Window)frame->getNativeWindow(), 0, 0, 704, 560, AllPlanes, ZPixmap);
    ASSERT_NE(shot, nullptr);

    // The same views with the same state, rendered without a window.
    CFrame* headless = new CFrame(CRect(0, 0, 704, 560), nullptr, nullptr);
    COnOffButton* otherStereo = nullptr;
    CTextEdit* otherName = nullptr;
    RecordingListener quiet;
    populate(headless, &quiet, otherStereo, otherName);
    otherStereo->setValue(1.f);
    headless->idle();

    long differing = 0;
    for (long y = 0; y < 560; ++y)
        for (long x = 0; x < 704; ++x)
            if ((XGetPixel(shot, x, y) & 0xFFFFFF) != pixelAt(headless->getImage(), x, y)) ++differing;
    EXPECT_EQ(differing, 0);
    XDestroyImage(shot);
    headless->forget();
}

TEST_F(X11Window, TypingIntoTheNameField) {
    if (!haveXdotool()) GTEST_SKIP() << "xdotool missing";
    COnOffButton* stereo = nullptr;
    CTextEdit* name = nullptr;
    populate(frame, &listener, stereo, name);
    idleUntil([] { return false; }, 300);
    const std::string window = std::to_string(frame->getNativeWindow());
    ASSERT_EQ(std::system(("xdotool mousemove --window " + window + " 150 544 click 1").c_str()), 0);
    ASSERT_TRUE(idleUntil([&] { return name->isEditing(); }));
    ASSERT_EQ(std::system(("xdotool type --window " + window + " ' II'").c_str()), 0);
    ASSERT_EQ(std::system(("xdotool key --window " + window + " Return").c_str()), 0);
    ASSERT_TRUE(idleUntil([&] { return !listener.heard.empty(); }));
    EXPECT_EQ(name->getText(), "Large Cathedral II");
}

TEST(X11Frame, ParentThatIsNoWindowGivesAHeadlessFrame) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) GTEST_SKIP() << "no X display";
    XCloseDisplay(display);
    CFrame* frame = new CFrame(CRect(0, 0, 100, 100), (void*)(uintptr_t)0x7ffffff0, nullptr);
    EXPECT_FALSE(frame->hasWindow());
    frame->idle();
    frame->forget();
}

} // namespace
