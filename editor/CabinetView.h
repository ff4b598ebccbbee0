// The picture of the speaker cabinet: a background with four animation
// layers (horn, drum, microphone marks, microphone arc), each showing one
// frame of a vertical strip. A full draw composes them off-screen and copies
// the picture in one step; between full draws, an idle redraws only the
// layers whose frame changed.
#pragma once

#include "Control.h"
#include "EditorLayout.h"

class CabinetView : public Control {
public:
    static constexpr int kLayers = kCabinetLayerCount;

    // Loads its images at `scale` through `images`, the platform of the frame it goes in.
    CabinetView(Rect bounds, platform::Images& images, EditorScale scale);
    ~CabinetView() override;

    void draw(DrawContext* context) override;
    void update(DrawContext* context) override;

    // Frames for the rotor positions (turns, 0..1); dirty when one changes.
    void setRotorFrames(float hornPosition, float drumPosition);
    // Frames for the normalised separation; dirty when one changes.
    void setMicFrames(float separation);

    int currentFrame(int layer) const { return layers[layer].currentFrame; }

private:
    struct CabinetLayer {
        Bitmap* bitmap = nullptr;
        int frameHeight = 0;
        int frameCount = 0;
        int currentFrame = 0;
        int x = 0;
        int y = 0;
    };

    // Chooses the frame for v, each frame an equal share of 0..1, and marks
    // the layer changed when it is a new one.
    void setFrame(int layer, float v);
    // The layer's current frame at its place in the window.
    void drawLayer(DrawContext* context, int layer) const;
    Rect layerRect(int layer) const;

    CabinetLayer layers[kLayers];
    bool changed[kLayers] = {};  // since the last draw
    bool drawn = false;          // a full draw has been made
};
