// An editor controller that holds parameter values and records what the
// toolkit asks of it, for the toolkit's tests.
#pragma once

#include <functional>
#include <vector>

#include "EditorController.h"

class RecordingController : public EditorController {
public:
    struct Gesture {
        int index;
        bool begins;
    };

    float parameter(int index) override {
        return index >= 0 && index < static_cast<int>(sizeof values / sizeof values[0]) ? values[index] : 0.0f;
    }
    void changeParameter(int index, float normalized) override {
        changes.push_back(index);
        if (index >= 0 && index < static_cast<int>(sizeof values / sizeof values[0])) values[index] = normalized;
    }
    void beginGesture(int index) override { gestures.push_back({index, true}); }
    void endGesture(int index) override { gestures.push_back({index, false}); }
    void hostIdle() override {
        ++hostIdles;
        if (onHostIdle) onHostIdle();
    }

    size_t gestureCount(bool begins) const {
        size_t count = 0;
        for (const Gesture& g : gestures) count += g.begins == begins;
        return count;
    }

    float values[16] = {};
    std::vector<int> changes;
    std::vector<Gesture> gestures;
    int hostIdles = 0;
    std::function<void()> onHostIdle;
};
