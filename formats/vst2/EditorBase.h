// The editor interface the host dispatcher talks to: one object per effect,
// whose window exists between open() and close(). The plug-in's VST 2 editor
// derives from it; the effect owns the editor and deletes it with itself.
#pragma once

#include <atomic>

#include "VstInterface.h"

class AudioEffect;

class EditorBase {
public:
    explicit EditorBase(AudioEffect* effect) : effect(effect) {}
    virtual ~EditorBase() = default;

    // Stores a pointer to the editor's rectangle in *out; 1 when there is one.
    virtual int getRect(ERect** out) {
        *out = nullptr;
        return 0;
    }
    virtual int open(void* parent) {
        parentWindow = parent;
        return 0;
    }
    virtual void close() {}
    virtual void idle() {
        if (updatePending.exchange(0, std::memory_order_relaxed)) update();
    }
    virtual void update() {}
    // Called from any thread when a parameter changed; the redraw follows at idle.
    virtual void postUpdate() { updatePending.store(1, std::memory_order_relaxed); }
    virtual int onKeyDown(VstKeyCode&) { return -1; }
    virtual int onKeyUp(VstKeyCode&) { return -1; }
    virtual int setKnobMode(int) { return 0; }
    virtual bool onWheel(float) { return false; }

protected:
    AudioEffect* effect;
    void* parentWindow = nullptr;
    std::atomic<int> updatePending{0};
};
