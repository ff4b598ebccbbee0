// A two-state switch drawn from a two-frame image (off above on). It acts
// on the press, not on the release.
#pragma once

#include "Control.h"

class OnOffButton : public Control {
public:
    using Control::Control;
    void draw(DrawContext* context) override;
    void mouse(DrawContext* context, Point& where) override;
};
