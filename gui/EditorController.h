// What an editor needs of the effect it shows, in no plug-in format's terms:
// the parameters (normalised, 0..1) to read and change, the gestures that
// bracket a drag, and a way to let the host run while a control holds the
// mouse. Each format's adapter implements it with its own host calls.
#pragma once

class EditorController {
public:
    virtual float parameter(int index) = 0;
    // A change the user made; the host is told of it as automation.
    virtual void changeParameter(int index, float normalized) = 0;
    virtual void beginGesture(int index) = 0;
    virtual void endGesture(int index) = 0;
    // Called from inside a control's mouse-tracking loop.
    virtual void hostIdle() {}

protected:
    ~EditorController() = default;
};
