// The toolkit's font table: eight fonts by id, each a face and a default
// pixel size. Id 0 is always bold; id 7 is the decorative symbol font.
#pragma once

struct FontEntry {
    const char* face;
    int defaultSize;  // pixels
};

constexpr int kFontCount = 8;

constexpr FontEntry kFontTable[kFontCount] = {
    {"Arial", 12},   // 0: always bold
    {"Arial", 18},   // 1
    {"Arial", 14},   // 2
    {"Arial", 12},   // 3
    {"Arial", 11},   // 4
    {"Arial", 10},   // 5
    {"Arial", 9},    // 6
    {"Symbol", 13},  // 7: decorative family
};

// Style bits of DrawContext::setFont.
enum FontStyle : int { kBoldFace = 1, kItalicFace = 2, kUnderlineFace = 4 };

// A font as the platform creates it.
struct FontSpec {
    const char* face;
    int pixelSize;  // character height
    bool bold;
    bool italic;
    bool underline;
    bool decorative;  // the symbol font's family
};
