// The VST editor base of a toolkit editor: answers the host's editor
// opcodes, idles the frame and passes gestures on to the host.
#pragma once

#include "gui/frame.h"
#include "vst/aeffeditor.h"

class AEffGUIEditor : public AEffEditor, public VSTGUIEditorInterface {
public:
    explicit AEffGUIEditor(AudioEffect* effect);
    ~AEffGUIEditor() override;

    bool getRect(ERect** rect) override;
    // Subclasses create the frame (on the window passed here) and its views.
    bool open(void* ptr) override;
    void close() override;
    // Redraws the frame's dirty views and reads its window's events.
    void idle() override;
    bool onKeyDown(VstKeyCode& keyCode) override;
    bool onKeyUp(VstKeyCode& keyCode) override;
    bool setKnobMode(VstInt32 mode) override;

    // Parameter changes the effect passes on to its editor.
    virtual void setParameter(VstInt32 index, float value) {}

    void beginEdit(long index) override;
    void endEdit(long index) override;
    void doIdleStuff() override;

    // Milliseconds of a monotonic clock, wrapping at 2^32.
    static uint32_t getTicks();

protected:
    ERect rect = {0, 0, 0, 0};
    bool inIdle = false;
};
