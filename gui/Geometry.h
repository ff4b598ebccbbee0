// Points, rectangles and colours of the GUI toolkit, in window pixels.
#pragma once

#include <cstdint>

struct Point {
    int32_t x = 0;
    int32_t y = 0;
};

inline Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
inline Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
inline bool operator==(Point a, Point b) { return a.x == b.x && a.y == b.y; }

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    constexpr int32_t width() const { return right - left; }
    constexpr int32_t height() const { return bottom - top; }
    Point topLeft() const { return {left, top}; }
    // Hit testing counts both edges as inside.
    bool containsInclusive(Point p) const {
        return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
    }
};

inline bool operator==(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Only red, green and blue reach the screen; `extra` travels with the colour.
struct Color {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t extra = 0;
};

inline bool operator==(Color a, Color b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.extra == b.extra;
}
inline bool operator!=(Color a, Color b) { return !(a == b); }

constexpr Color kWhite{255, 255, 255, 0};
constexpr Color kBlack{0, 0, 0, 0};
constexpr Color kGrey{127, 127, 127, 0};
constexpr Color kRed{255, 0, 0, 0};
constexpr Color kGreen{0, 255, 0, 0};
constexpr Color kBlue{0, 0, 255, 0};
constexpr Color kYellow{255, 255, 0, 0};
constexpr Color kMagenta{255, 0, 255, 0};
constexpr Color kCyan{0, 255, 255, 0};
// The colour every bitmap treats as see-through when drawn colour-keyed.
constexpr Color kTransparentColor{255, 255, 255, 0};
