// The editor base the toolkit offers an effect: it attaches itself to the
// effect, answers the host's editor calls, owns the frame while the window
// is open, and runs the idle pump that keeps the window painted and the host
// alive while a control holds the mouse.
#pragma once

#include <cstdint>
#include <memory>

#include "AudioEffectX.h"
#include "EditorBase.h"
#include "Relaxed.h"
#include "platform/Platform.h"

class Frame;

class GuiEditor : public EditorBase {
public:
    // The editor draws through `platform`, which must outlive it, or through
    // an object of the build's default backend of its own when that is null.
    explicit GuiEditor(AudioEffect* effect, platform::Platform* platform = nullptr);
    ~GuiEditor() override;

    int getRect(ERect** out) override;
    int open(void* parent) override;
    void idle() override;
    int eventDescriptor() override;
    void setReadsOwnKeys(bool on) override;
    int setKnobMode(int mode) override;
    bool onWheel(float distance) override;

    // A key the editor's own window received; the same handling as a key the
    // host forwards (onKeyDown).
    int onWindowKey(VstKeyCode& key);
    // Whether a key forwarded by the host is one the window already gets
    // itself, because it has the keyboard focus (so no key acts twice).
    bool windowGetsItsOwnKeys() const;

    // Called after every parameter change; the controls follow at the next idle.
    virtual void setParameter(int index, float value);
    virtual void draw(ERect* rect);
    virtual void pumpIdle();

    Frame* getFrame() const { return frame; }
    platform::Platform& getPlatform() const { return *backend; }
    AudioEffectX* getEffectX() const { return static_cast<AudioEffectX*>(effect); }

    // The knob mode the host last set, shared by every editor of the library
    // (2: knobs follow linear drags).
    static int knobMode();

protected:
    bool windowKeyPending = false;  // onKeyDown runs for the window's own key
    std::unique_ptr<platform::Platform> ownBackend;
    platform::Platform* backend;
    ERect rect{0, 0, 0, 0};
    // Set and cleared on the user-interface thread; an effect may look at it
    // from the audio thread (whether a window is open to update).
    Relaxed<Frame*> frame{nullptr};
    uint32_t nextIdleTick;
    bool inIdle = false;
};
