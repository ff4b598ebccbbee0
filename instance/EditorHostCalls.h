// What the plug-in instance asks of a format's adapter when the editor
// changes a value: to tell its host, in the host's own terms.
#pragma once

class EditorHostCalls {
public:
    // The value is already the instance's; the host hears of it as automation.
    virtual void announceChange(int index, float normalized) = 0;
    virtual void announceGesture(int index, bool begins) = 0;

protected:
    ~EditorHostCalls() = default;
};

// Told of every value change, from whichever thread made it.
class ValueObserver {
public:
    virtual void valueChanged(int index, float normalized) = 0;

protected:
    ~ValueObserver() = default;
};
