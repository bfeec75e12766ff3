// Base of a plug-in editor: the effect owns one and forwards the editor
// opcodes (get rect, open, close, idle, keys) to it.
#pragma once

#include "vst/aeffect.h"

class AudioEffect;

class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* owner) : effect(owner) {}
    virtual ~AEffEditor() {}

    // The host asks for the window size before open; a null rect means "no size".
    virtual bool getRect(ERect** rect) { *rect = nullptr; return false; }
    // ptr is the host's parent window (an X11 Window id on Linux). The base
    // records it and marks the editor open; a derived editor calls this first,
    // builds its window and answers true.
    virtual bool open(void* ptr) { systemWindow = ptr; openFlag = true; return false; }
    virtual void close() { openFlag = false; systemWindow = nullptr; }
    virtual void idle() {}
    virtual bool isOpen() { return openFlag; }

    // Keys typed while the editor has focus; true when the editor used the key.
    virtual bool onKeyDown(VstKeyCode& /*keyCode*/) { return false; }
    virtual bool onKeyUp(VstKeyCode& /*keyCode*/) { return false; }
    // Host's preferred knob behaviour (0 circular, 1 relative circular, 2 linear).
    virtual bool setKnobMode(VstInt32 /*val*/) { return false; }

    AudioEffect* getEffect() { return effect; }

protected:
    AudioEffect* effect = nullptr;
    void* systemWindow = nullptr;
    bool openFlag = false;
};
