// halvern-artwork: draws the editor's images at one of the editor's sizes
// and writes them as 24-bit BMP files, deterministically (no randomness
// beyond a fixed hash), into the folder given (editor/images in the source
// tree for 100 %). Every length is the layout's scaled the way the editor
// scales it, so each size is drawn sharp, never enlarged from another.
//
// The panel is dark walnut with cream captions and gold pin-stripes; the
// knobs are drawn frame by frame at the angles the knob control uses, so the
// pointer sits under the mouse in circular mode. Everything that the editor
// copies opaquely over the panel (knobs, switch, LEDs, menu field) and over
// the cabinet (the four animation layers) carries the exact backdrop of the
// place it is shown, so no seams appear.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "EditorLayout.h"
#include "RasterImage.h"
#include "RasterText.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

Color rgb(int r, int g, int b) {
    auto c = [](int v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); };
    return {c(r), c(g), c(b), 0};
}

Color mix(Color a, Color b, double t) {
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return rgb(static_cast<int>(a.red + (b.red - a.red) * t + 0.5), static_cast<int>(a.green + (b.green - a.green) * t + 0.5),
               static_cast<int>(a.blue + (b.blue - a.blue) * t + 0.5));
}

// A fixed hash for wood grain and brushed metal: the same picture every run.
double hashNoise(int a, int b) {
    uint32_t h = static_cast<uint32_t>(a) * 374761393u + static_cast<uint32_t>(b) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
}

// --- Drawing with antialiased edges --------------------------------------------------

void blend(RasterImage& image, int x, int y, Color c, double coverage) {
    image.blendPixel(x, y, c, static_cast<int>(coverage * 255 + 0.5));
}

void fillRect(RasterImage& image, int left, int top, int right, int bottom, Color c) {
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) image.setPixel(x, y, c);
}

// A disc shaded by `shade(dx, dy)` for the offset from the centre (in radii).
template <typename Shade>
void fillDisc(RasterImage& image, double cx, double cy, double r, Shade shade) {
    for (int y = static_cast<int>(cy - r - 1); y <= static_cast<int>(cy + r + 1); ++y)
        for (int x = static_cast<int>(cx - r - 1); x <= static_cast<int>(cx + r + 1); ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            const double coverage = r + 0.5 - std::sqrt(dx * dx + dy * dy);
            if (coverage > 0) blend(image, x, y, shade(dx / r, dy / r), coverage > 1 ? 1 : coverage);
        }
}

void fillDisc(RasterImage& image, double cx, double cy, double r, Color c) {
    fillDisc(image, cx, cy, r, [c](double, double) { return c; });
}

void line(RasterImage& image, double x0, double y0, double x1, double y1, double width, Color c) {
    const double minX = std::fmin(x0, x1) - width, maxX = std::fmax(x0, x1) + width;
    const double minY = std::fmin(y0, y1) - width, maxY = std::fmax(y0, y1) + width;
    const double vx = x1 - x0, vy = y1 - y0, length2 = vx * vx + vy * vy;
    for (int y = static_cast<int>(minY); y <= static_cast<int>(maxY); ++y)
        for (int x = static_cast<int>(minX); x <= static_cast<int>(maxX); ++x) {
            const double px = x + 0.5 - x0, py = y + 0.5 - y0;
            double t = length2 > 0 ? (px * vx + py * vy) / length2 : 0;
            t = t < 0 ? 0 : (t > 1 ? 1 : t);
            const double dx = px - t * vx, dy = py - t * vy;
            const double coverage = width * 0.5 + 0.5 - std::sqrt(dx * dx + dy * dy);
            if (coverage > 0) blend(image, x, y, c, coverage > 1 ? 1 : coverage);
        }
}

std::string upperCase(const char* s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// One line of text, centred on centreX, its top at `top`, `size` pixels high.
void text(RasterImage& image, const char* s, int centreX, int top, int size, bool bold, Color c) {
    const FontSpec font{"Arial", size, bold, false, false, false};
    const TextMetrics metrics = RasterText::measure(font, s);
    RasterText::draw(image, font, s, centreX - metrics.width / 2, top, c, {0, 0, image.width(), image.height()});
}

void copyRegion(const RasterImage& from, int fx, int fy, RasterImage& to, int tx, int ty, int w, int h) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) to.setPixel(tx + x, ty + y, from.pixel(fx + x, fy + y));
}

// The strip of image `id`, each frame drawn by drawFrame(image, frame) over
// the backdrop's area at `corner`: the place the strip is shown at, so its
// frames fit in without seams.
template <typename DrawFrame>
RasterImage stripOver(const RasterImage& backdrop, const EditorScale& scale, Point corner, int id,
                      DrawFrame drawFrame) {
    const ImageStrip layout = scale.strip(editorImage(id));
    const Point at = scale.point(corner);
    const int x = at.x, y = at.y, w = layout.width, h = layout.frameHeight;
    RasterImage strip(w, layout.height());
    for (int frame = 0; frame < layout.frames; ++frame) {
        RasterImage one(w, h);
        copyRegion(backdrop, x, y, one, 0, 0, w, h);
        drawFrame(one, frame);
        copyRegion(one, 0, 0, strip, 0, frame * h, w, h);
    }
    return strip;
}

// --- The panel -------------------------------------------------------------------------

const Color kCream = rgb(236, 224, 196);
const Color kGold = rgb(196, 156, 84);
const Color kWalnutDark = kPanelColour;
const Color kWalnut = rgb(74, 50, 34);

// The fixed hash between whole rows, so grain drawn larger stays smooth.
double rowNoise(double row, int seed) {
    const double whole = std::floor(row);
    const double a = hashNoise(static_cast<int>(whole), seed), b = hashNoise(static_cast<int>(whole) + 1, seed);
    return a + (b - a) * (row - whole);
}

// Walnut whose grain runs across: every row is one colour, so whatever is
// copied from one knob place fits every other place on the same rows. `row`
// is in the layout's pixels.
Color walnutRow(double row) {
    const double grain = 0.5 + 0.5 * std::sin(row * 0.9 + 3.0 * std::sin(row * 0.13)) * rowNoise(row, 7);
    const double depth = 0.35 + 0.25 * std::sin(row * kPi / 277.0);
    return mix(kWalnutDark, kWalnut, depth * (0.75 + 0.25 * grain));
}

void fillRect(RasterImage& image, Rect r, Color c) { fillRect(image, r.left, r.top, r.right, r.bottom, c); }

// What both panels share: the walnut with its cheeks, and the header with
// the product's name over `subtitle`; the vendor at the foot.
RasterImage drawPanelFrame(const EditorScale& scale, const char* subtitle) {
    const Rect window = editorRect(scale);
    const int width = window.width(), height = window.height();
    const double f = scale.factor();
    RasterImage panel(width, height);
    for (int y = 0; y < height; ++y) fillRect(panel, 0, y, width, y + 1, walnutRow(y / f));
    // Side cheeks of darker wood.
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double u = x / f;
            const double edge = u < 5 ? 5 - u : (u > 240 ? u - 240 : 0);
            if (edge > 0) panel.setPixel(x, y, mix(walnutRow(y / f), kWalnutDark, 0.25 * edge));
        }
    // Header: the product name on a black band with gold rules.
    fillRect(panel, scale.rect({5, 6, 241, 44}), rgb(18, 14, 12));
    fillRect(panel, scale.rect({5, 6, 241, 7}), kGold);
    fillRect(panel, scale.rect({5, 43, 241, 44}), kGold);
    text(panel, "HALVERN", scale.length(123), scale.length(9), scale.length(20), true, kCream);
    text(panel, subtitle, scale.length(123), scale.length(31), scale.length(9), false, kGold);
    text(panel, "Tessmark Professional", scale.length(123), scale.length(264), scale.length(8), false, kGold);
    return panel;
}

RasterImage drawPanel(const EditorScale& scale) {
    RasterImage panel = drawPanelFrame(scale, "ROTATING SPEAKER SIMULATOR");
    // Section rules.
    constexpr int kRuleLeft = 10, kRuleRight = 236;
    for (int y : {52, 124, 163}) fillRect(panel, scale.rect({kRuleLeft, y, kRuleRight, y + 1}), kGold);
    // Captions, centred over their controls: each knob's (a two-line one a
    // pixel lower, so both lines fit above the knob), the switch's and the menu's.
    struct Caption {
        const char* text;
        int centre;
        int top;
    };
    std::vector<Caption> captions;
    for (const KnobPlace& place : kKnobPlaces) {
        const int centre = place.x + editorImage(place.bitmap).width / 2;
        if (place.captionAbove) {
            captions.push_back({place.captionAbove, centre, place.y - 23});
            captions.push_back({place.caption, centre, place.y - 13});
        } else {
            captions.push_back({place.caption, centre, place.y - 14});
        }
    }
    const Rect speedSwitch = switchRect(), speedKeyMenu = menuRect();
    const int controlCaptionTop = speedSwitch.top - 6;
    captions.push_back({"SPEED", (speedSwitch.left + speedSwitch.right) / 2, controlCaptionTop});
    captions.push_back({"SPEED HOTKEY", (speedKeyMenu.left + speedKeyMenu.right) / 2, controlCaptionTop});
    // A caption too wide to stand centred over its control ends with the rule.
    const int captionSize = scale.length(9), ruleRight = scale.length(kRuleRight);
    for (const Caption& c : captions) {
        const int half = RasterText::measure({"Arial", captionSize, true, false, false, false}, c.text).width / 2;
        const int centre = scale.length(c.centre);
        text(panel, c.text, centre + half > ruleRight ? ruleRight - half : centre, scale.length(c.top), captionSize,
             true, kCream);
    }
    // The speed's names under the LEDs.
    const ParameterInfo& speed = kCabinetParameters[kSpeedToggle];
    for (int i = 0; i < 2; ++i) {
        const Rect led = ledRect(i, scale);
        text(panel, upperCase(speed.names[i]).c_str(), (led.left + led.right) / 2, led.bottom + scale.length(1),
             scale.length(8), false, kGold);
    }
    // The two rotors, named below the separation knob's field, with leaders
    // to the middle of each rotor's layer in the cabinet.
    const KnobPlace& separation = kKnobPlaces[kKnobCount - 1];
    const Rect separationKnob = knobRect(separation, scale);
    const int namesCentre = (separationKnob.left + separationKnob.right) / 2;
    const int namesTop = valueFieldRect(separation, scale).bottom + scale.length(4);
    text(panel, "HORN (HF)", namesCentre, namesTop, scale.length(8), true, kCream);
    text(panel, "ROTOR (LF)", namesCentre, namesTop + scale.length(10), scale.length(8), true, kCream);
    const Rect cabinet = cabinetRect(scale);
    const double leaderEnd = cabinet.left + scale.at(8);
    auto layerMiddle = [&](int layer) {
        const CabinetLayerPlace& place = kCabinetLayers[layer];
        return cabinet.top + scale.length(place.y) + scale.strip(editorImage(place.bitmap)).frameHeight / 2 +
               scale.at(0.5);
    };
    const double hornY = layerMiddle(0), drumY = layerMiddle(1);
    const double hornLeaderY = namesTop + scale.at(4.5), drumLeaderY = namesTop + scale.at(14.5);
    const double hairline = scale.at(1.0);
    line(panel, scale.at(118), hornLeaderY, scale.at(136), hornLeaderY, hairline, kGold);
    line(panel, scale.at(136), hornLeaderY, scale.at(136), hornY, hairline, kGold);
    line(panel, scale.at(136), hornY, leaderEnd, hornY, hairline, kGold);
    line(panel, scale.at(120), drumLeaderY, scale.at(139), drumLeaderY, hairline, kGold);
    line(panel, scale.at(139), drumLeaderY, scale.at(139), drumY, hairline, kGold);
    line(panel, scale.at(139), drumY, leaderEnd, drumY, hairline, kGold);
    // Value windows: a gold hairline under each field keeps them in line.
    for (const KnobPlace& place : kKnobPlaces) {
        const Rect field = valueFieldRect(place, scale);
        fillRect(panel, field.left, field.bottom + scale.length(1), field.right, field.bottom + scale.length(2),
                 rgb(120, 96, 52));
    }
    return panel;
}

// The rear panel: the extended cabinet's controls on a plain plate, in
// sections, each knob under its caption with a value window below it.
RasterImage drawRearPanel(const EditorScale& scale) {
    RasterImage panel = drawPanelFrame(scale, "CABINET");
    fillRect(panel, scale.rect(kRearPlate), kRearPlateColour);
    const int sectionSize = scale.length(8), captionSize = scale.length(9);
    for (const SectionPlace& section : kRearSections) {
        const FontSpec font{"Arial", sectionSize, true, false, false, false};
        const int left = scale.length(section.left), top = scale.length(section.top);
        RasterText::draw(panel, font, section.name, left, top, kGold, {0, 0, panel.width(), panel.height()});
        const int ruleLeft = left + RasterText::measure(font, section.name).width + scale.length(4);
        const int ruleY = top + scale.length(4);
        fillRect(panel, ruleLeft, ruleY, scale.length(section.right), ruleY + scale.length(1), kGold);
    }
    for (const KnobPlace& place : kRearKnobPlaces) {
        const Rect knob = knobRect(place, scale);
        text(panel, place.caption, (knob.left + knob.right) / 2, knob.top - scale.length(kRearCaptionRise),
             captionSize, true, kCream);
        const Rect field = valueFieldRect(place, scale);
        fillRect(panel, field.left, field.bottom + scale.length(1), field.right, field.bottom + scale.length(2),
                 rgb(120, 96, 52));
    }
    const Rect drive = driveMenuRect(scale);
    text(panel, "DRIVE", (drive.left + drive.right) / 2, drive.top - scale.length(kRearCaptionRise + 1), captionSize,
         true, kCream);
    // The brake's states beside its lamp.
    const Rect lamp = brakeLampRect(scale);
    const ParameterInfo& brake = kCabinetParameters[kBrake];
    text(panel, upperCase(brake.names[kBrakeOn]).c_str(), (lamp.left + lamp.right) / 2, lamp.bottom + scale.length(1),
         scale.length(8), false, kGold);
    return panel;
}

// --- Knobs ---------------------------------------------------------------------------------

struct KnobStyle {
    Color capDark;
    Color capLight;
    Color pointer;
};
const KnobStyle kBlackCap{rgb(20, 20, 22), rgb(90, 90, 96), kCream};

// 37 frames of 34 pixels (at 100 %). The knob turns around (22, 22), the
// point the control measures angles from: 225 degrees at frame 0, clockwise
// through the top to -45 degrees at frame 36.
// Drawn over the first knob of `places` that shows this strip.
template <size_t count>
RasterImage drawKnobStrip(const RasterImage& panel, const EditorScale& scale, const KnobPlace (&places)[count], int id,
                          const KnobStyle& style) {
    const KnobPlace* place = places;
    while (place->bitmap != id) ++place;
    const double cx = scale.at(22.0), cy = scale.at(22.0);
    return stripOver(panel, scale, {place->x, place->y}, id, [&](RasterImage& knob, int frame) {
        // Scale: eleven dots along the travel, the ends a little larger.
        // The ring is small enough that the end dots, low at either side,
        // stay whole inside the 34-pixel frame.
        for (int i = 0; i <= 10; ++i) {
            const double a = (225.0 - 27.0 * i) * kPi / 180.0;
            const double r = scale.at((i == 0 || i == 10) ? 1.3 : 0.9);
            fillDisc(knob, cx + std::cos(a) * scale.at(13.5), cy - std::sin(a) * scale.at(13.5), r,
                     i == 5 ? kCream : kGold);
        }
        // Shadow, knurled skirt, then the cap with light from the top left.
        fillDisc(knob, cx + scale.at(1.0), cy + scale.at(1.5), scale.at(11.5), rgb(10, 8, 6));
        fillDisc(knob, cx, cy, scale.at(11.5), [&](double dx, double dy) {
            const double ridge = 0.5 + 0.5 * std::cos(std::atan2(dy, dx) * 24);
            return mix(rgb(70, 70, 72), rgb(150, 150, 155), 0.35 + 0.4 * ridge - 0.3 * dy);
        });
        fillDisc(knob, cx, cy, scale.at(8.5), [&](double dx, double dy) {
            return mix(style.capLight, style.capDark, 0.5 + 0.5 * (dx + dy) * 0.7);
        });
        const double angle = (225.0 - 270.0 * frame / 36.0) * kPi / 180.0;
        const double ux = std::cos(angle), uy = -std::sin(angle);
        line(knob, cx + ux * scale.at(2.5), cy + uy * scale.at(2.5), cx + ux * scale.at(10.5),
             cy + uy * scale.at(10.5), scale.at(1.8), style.pointer);
    });
}

// --- Switch, LED, menu field ---------------------------------------------------------------------

// A chrome bat lever in a round nut: down for off (frame 0), up for on.
RasterImage drawSwitch(const RasterImage& panel, const EditorScale& scale, Point corner, int id) {
    return stripOver(panel, scale, corner, id, [&](RasterImage& one, int frame) {
        const double c = scale.at(10.5);
        fillDisc(one, c, c, scale.at(7.5), rgb(20, 16, 14));
        fillDisc(one, c, c, scale.at(6.0), [](double dx, double dy) {
            return mix(rgb(210, 210, 214), rgb(90, 90, 96), 0.5 + 0.5 * (dx + dy) * 0.7);
        });
        // Up for on stops short of the "SPEED" caption just above the switch.
        const double tipY = scale.at(frame == 0 ? 17.5 : 5.5);
        line(one, c, c, c, tipY, scale.at(3.2), rgb(120, 120, 126));
        line(one, scale.at(10.0), c, scale.at(10.0), tipY, scale.at(1.2), rgb(235, 235, 240));
        fillDisc(one, c, tipY, scale.at(2.4), rgb(225, 225, 230));
    });
}

RasterImage drawLed(const RasterImage& panel, const EditorScale& scale, Point corner, int id) {
    return stripOver(panel, scale, corner, id, [&](RasterImage& one, int frame) {
        const double c = scale.at(7);
        fillDisc(one, c, c, scale.at(6.0), rgb(150, 120, 64));  // the brass bezel
        fillDisc(one, c, c, scale.at(4.6), [frame](double dx, double dy) {
            const double light = 1.0 - std::sqrt(dx * dx + dy * dy);
            return frame == 0 ? mix(rgb(60, 10, 8), rgb(110, 30, 24), light - dy * 0.3)
                              : mix(rgb(230, 40, 20), rgb(255, 210, 170), light * light - dy * 0.2);
        });
    });
}

// The switch between the panels in the header's black band: a gold frame
// around the name of the panel it turns to.
RasterImage drawFlip(const RasterImage& panel, const EditorScale& scale) {
    return stripOver(panel, scale, kFlipCorner, kFlipBitmap, [&](RasterImage& one, int frame) {
        const int w = one.width(), h = one.height(), edge = scale.length(1);
        fillRect(one, 0, 0, w, edge, kGold);
        fillRect(one, 0, h - edge, w, h, kGold);
        fillRect(one, 0, 0, edge, h, kGold);
        fillRect(one, w - edge, 0, w, h, kGold);
        const char* name = frame == 0 ? "REAR" : "FRONT";
        const FontSpec font{"Arial", scale.length(8), true, false, false, false};
        const TextMetrics metrics = RasterText::measure(font, name);
        RasterText::draw(one, font, name, (w - metrics.width) / 2, (h - metrics.height) / 2, kCream, {0, 0, w, h});
    });
}

// A sunken black window with a small gold arrow at the right.
RasterImage drawMenuField(const EditorScale& scale) {
    const ImageStrip layout = scale.strip(editorImage(kMenuBitmap));
    RasterImage field(layout.width, layout.height(), rgb(8, 6, 6));
    fillRect(field, scale.rect({0, 0, 63, 1}), rgb(4, 3, 3));
    fillRect(field, scale.rect({0, 11, 63, 12}), rgb(120, 96, 52));
    fillRect(field, scale.rect({62, 0, 63, 12}), rgb(120, 96, 52));
    for (int row = 0; row < 3; ++row) fillRect(field, scale.rect({54 + row, 5 + row, 59 - row, 6 + row}), kGold);
    return field;
}

// --- Cabinet and its layers --------------------------------------------------------------------

// Where a layer of the cabinet animation is shown inside the cabinet picture.
Point layerCorner(int id) {
    const CabinetLayerPlace* place = kCabinetLayers;
    while (place->bitmap != id) ++place;
    return {place->x, place->y};
}

// The front of the cabinet: a walnut box with the horn louvres above and
// the drum grille below.
RasterImage drawCabinet(const EditorScale& scale) {
    const ImageStrip layout = scale.strip(editorImage(kCabinetBitmap));
    const double f = scale.factor();
    RasterImage cabinet(layout.width, layout.height());
    for (int y = 0; y < layout.height(); ++y)
        for (int x = 0; x < layout.width; ++x) {
            const double u = x / f, v = y / f;
            const double grain = hashNoise(static_cast<int>(u / 3), static_cast<int>(v)) * 0.15 +
                                 0.1 * std::sin(v * 0.7 + u * 0.05);
            cabinet.setPixel(x, y, mix(rgb(92, 60, 38), rgb(140, 96, 60), 0.45 + grain));
        }
    fillRect(cabinet, scale.rect({0, 0, 85, 2}), rgb(40, 26, 18));
    fillRect(cabinet, scale.rect({0, 93, 85, 95}), rgb(40, 26, 18));
    // Openings in dark cloth.
    fillRect(cabinet, scale.rect({16, 3, 69, 24}), rgb(26, 20, 18));
    fillRect(cabinet, scale.rect({14, 44, 71, 75}), rgb(26, 20, 18));
    fillRect(cabinet, scale.rect({8, 78, 77, 93}), rgb(52, 36, 26));
    return cabinet;
}

// The horn seen from the front, frame k turned by 5k degrees: two bells on
// one arm; the one facing the listener is large and bright.
RasterImage drawHorn(const RasterImage& cabinet, const EditorScale& scale) {
    return stripOver(cabinet, scale, layerCorner(kHornBitmap), kHornBitmap, [&](RasterImage& one, int frame) {
        // Louvres in front of the horn.
        for (int y = 1; y < 15; y += 3) line(one, 0, scale.at(y), scale.at(34), scale.at(y), scale.at(0.8), rgb(60, 46, 38));
        const double a = frame * 5.0 * kPi / 180.0;
        const double reach = std::cos(a) * scale.at(13.0), facing = std::sin(a);
        const double middle = scale.at(17), axis = scale.at(7.5);
        line(one, middle - reach, axis, middle + reach, axis, scale.at(2.2), rgb(150, 140, 120));
        for (int side : {1, -1}) {
            const double front = facing * side;  // > 0: this bell faces the listener
            const double r = scale.at(3.0 + 1.6 * front);
            fillDisc(one, middle + side * reach, axis, r, [front](double dx, double dy) {
                return mix(rgb(70, 60, 50), rgb(245, 225, 170), 0.5 + 0.5 * front - 0.3 * (dx + dy));
            });
        }
        fillDisc(one, middle, axis, scale.at(2.0), rgb(40, 36, 32));
    });
}

// The drum, frame k turned by 5k degrees: a cylinder of slats whose scoop
// opening comes round to the front and goes away again.
RasterImage drawDrum(const RasterImage& cabinet, const EditorScale& scale) {
    return stripOver(cabinet, scale, layerCorner(kDrumBitmap), kDrumBitmap, [&](RasterImage& one, int frame) {
        const double a = frame * 5.0 * kPi / 180.0;
        for (int x = scale.length(2); x < scale.length(35); ++x) {
            // Position on the cylinder's front face, -1..1, and the angle there.
            const double u = (x + 0.5 - scale.at(18.5)) / scale.at(16.5);
            const double theta = std::asin(u < -1 ? -1 : (u > 1 ? 1 : u));
            const double around = theta + a;
            const double slat = 0.5 + 0.5 * std::cos(around * 18.0);
            const double scoop = std::cos(around);  // the opening faces front at cos = 1
            Color c = mix(rgb(60, 44, 30), rgb(176, 140, 96), (0.55 + 0.45 * std::cos(theta)) * (0.7 + 0.3 * slat));
            if (scoop > 0.75) c = mix(c, rgb(16, 12, 10), (scoop - 0.75) * 4.0);
            for (int y = scale.length(3); y < scale.length(22); ++y) one.setPixel(x, y, c);
        }
        fillRect(one, scale.rect({1, 2, 36, 3}), rgb(30, 22, 16));
        fillRect(one, scale.rect({1, 22, 36, 23}), rgb(30, 22, 16));
    });
}

// Two microphone marks that move apart as the separation grows.
RasterImage drawMicMarks(const RasterImage& cabinet, const EditorScale& scale) {
    return stripOver(cabinet, scale, layerCorner(kMicMarksBitmap), kMicMarksBitmap, [&](RasterImage& one, int frame) {
        const double spread = 1.5 + 6.0 * frame / 36.0;
        for (int side : {-1, 1}) {
            const double x = scale.at(9 + side * spread);
            line(one, x, scale.at(10), x, scale.at(18), scale.at(1.2), rgb(30, 30, 32));
            fillDisc(one, x, scale.at(8), scale.at(2.3), [](double dx, double dy) {
                return mix(rgb(230, 230, 236), rgb(90, 90, 96), 0.5 + 0.5 * (dx + dy) * 0.7);
            });
        }
    });
}

// The pick-up arc of the two microphones, wider with the separation.
RasterImage drawMicArc(const RasterImage& cabinet, const EditorScale& scale) {
    return stripOver(cabinet, scale, layerCorner(kMicArcBitmap), kMicArcBitmap, [&](RasterImage& one, int frame) {
        const double half = (10.0 + 70.0 * frame / 36.0) * kPi / 180.0;
        const double cx = scale.at(32.5), cy = scale.at(33), r = scale.at(30);
        const int steps = 40;
        for (int i = 0; i < steps; ++i) {
            const double a0 = kPi / 2 - half + 2 * half * i / steps, a1 = kPi / 2 - half + 2 * half * (i + 1) / steps;
            line(one, cx + std::cos(a0) * r, cy - std::sin(a0) * r, cx + std::cos(a1) * r, cy - std::sin(a1) * r,
                 scale.at(1.6), mix(rgb(200, 160, 80), rgb(250, 220, 140), frame / 36.0));
        }
    });
}

// --- Output -----------------------------------------------------------------------------------

bool writeBmp(const RasterImage& image, const std::string& path) {
    const int stride = (image.width() * 3 + 3) & ~3;
    const uint32_t dataSize = static_cast<uint32_t>(stride * image.height());
    std::vector<uint8_t> file(54 + dataSize, 0);
    auto put = [&file](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, 54 + dataSize, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(image.width()), 4);
    put(22, static_cast<uint32_t>(image.height()), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, dataSize, 4);
    put(38, 2835, 4);
    put(42, 2835, 4);
    for (int y = 0; y < image.height(); ++y) {
        uint8_t* row = file.data() + 54 + static_cast<size_t>(stride) * (image.height() - 1 - y);
        for (int x = 0; x < image.width(); ++x) {
            const Color c = image.pixel(x, y);
            row[x * 3] = c.blue;
            row[x * 3 + 1] = c.green;
            row[x * 3 + 2] = c.red;
        }
    }
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    const int percent = argc == 3 ? std::atoi(argv[2]) : 100;
    if (argc < 2 || argc > 3 || !EditorScale{percent}.isDrawn()) {
        std::fprintf(stderr, "usage: halvern-artwork OUTPUT-FOLDER [PERCENT]\n"
                             "  PERCENT: the editor size to draw at, one of");
        for (int p : kEditorScales) std::fprintf(stderr, " %d", p);
        std::fprintf(stderr, " (100 when left out)\n");
        return 2;
    }
    const EditorScale scale{percent};
    const std::string folder = argv[1];
    if (RasterText::measure({"Arial", 12, false, false, false, false}, "x").height == 0) {
        std::fprintf(stderr, "halvern-artwork: no font for Arial (install fonts-liberation)\n");
        return 1;
    }
    const RasterImage panel = drawPanel(scale);
    const RasterImage rear = drawRearPanel(scale);
    const RasterImage cabinet = drawCabinet(scale);
    auto draw = [&](int id) -> RasterImage {
        switch (id) {
            case kBackgroundBitmap: return panel;
            case kSwitchBitmap: return drawSwitch(panel, scale, kSwitchCorner, id);
            case kKnobBitmap: return drawKnobStrip(panel, scale, kKnobPlaces, id, kBlackCap);
            case kBalanceKnobBitmap:
                return drawKnobStrip(panel, scale, kKnobPlaces, id,
                                     {rgb(150, 130, 100), rgb(240, 228, 200), rgb(60, 30, 20)});
            case kSeparationKnobBitmap:
                return drawKnobStrip(panel, scale, kKnobPlaces, id, {rgb(40, 60, 90), rgb(120, 150, 190), kCream});
            case kDistortionKnobBitmap:
                return drawKnobStrip(panel, scale, kKnobPlaces, id, {rgb(120, 20, 14), rgb(220, 80, 50), kCream});
            case kMenuBitmap: return drawMenuField(scale);
            case kLedBitmap: return drawLed(panel, scale, kLedCorners[0], id);
            case kRearBitmap: return rear;
            case kRearKnobBitmap: return drawKnobStrip(rear, scale, kRearKnobPlaces, id, kBlackCap);
            case kRearSwitchBitmap: return drawSwitch(rear, scale, kBrakeSwitchCorner, id);
            case kRearLedBitmap: return drawLed(rear, scale, kBrakeLampCorner, id);
            case kFlipBitmap: return drawFlip(panel, scale);
            case kCabinetBitmap: return cabinet;
            case kHornBitmap: return drawHorn(cabinet, scale);
            case kDrumBitmap: return drawDrum(cabinet, scale);
            case kMicMarksBitmap: return drawMicMarks(cabinet, scale);
            case kMicArcBitmap: return drawMicArc(cabinet, scale);
            default: return RasterImage();  // an image the generator does not know: refused below
        }
    };
    for (const ImageStrip& row : kEditorImages) {
        const ImageStrip layout = scale.strip(row);
        const RasterImage image = draw(row.id);
        const std::string path = folder + "/" + layout.file;
        if (image.width() != layout.width || image.height() != layout.height()) {
            std::fprintf(stderr, "halvern-artwork: %s drawn at %dx%d, the layout says %dx%d\n", layout.file,
                         image.width(), image.height(), layout.width, layout.height());
            return 1;
        }
        if (!writeBmp(image, path)) {
            std::fprintf(stderr, "halvern-artwork: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s %dx%d\n", path.c_str(), image.width(), image.height());
    }
    return 0;
}
