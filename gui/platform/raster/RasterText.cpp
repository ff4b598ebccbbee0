#include "RasterText.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <map>
#include <string>

namespace {

// Faces stay loaded for the life of the process, one per face, weight and slant.
class FaceCache {
public:
    FT_Face face(const FontSpec& font) {
        const std::string key = std::string(font.face) + (font.bold ? "/b" : "/r") + (font.italic ? "i" : "");
        auto found = faces.find(key);
        if (found != faces.end()) return found->second;
        FT_Face loaded = load(font);
        faces[key] = loaded;
        return loaded;
    }

private:
    FT_Face load(const FontSpec& font) {
        if (!library && FT_Init_FreeType(&library) != 0) return nullptr;
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(font.face));
        FcPatternAddInteger(pattern, FC_WEIGHT, font.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, font.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        FT_Face loaded = nullptr;
        FcChar8* file = nullptr;
        int index = 0;
        if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            if (FT_New_Face(library, reinterpret_cast<const char*>(file), index, &loaded) != 0) loaded = nullptr;
        }
        if (match) FcPatternDestroy(match);
        FcPatternDestroy(pattern);
        return loaded;
    }

    FT_Library library = nullptr;
    std::map<std::string, FT_Face> faces;
};

FT_Face sizedFace(const FontSpec& font) {
    static FaceCache cache;
    FT_Face face = cache.face(font);
    if (face) FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(font.pixelSize > 0 ? font.pixelSize : 1));
    return face;
}

int roundedPixels(FT_Pos value26_6) { return static_cast<int>((value26_6 + 32) >> 6); }

}  // namespace

TextMetrics RasterText::measure(const FontSpec& font, const char* text) {
    TextMetrics metrics;
    FT_Face face = sizedFace(font);
    if (!face) return metrics;
    metrics.ascent = roundedPixels(face->size->metrics.ascender);
    metrics.height = metrics.ascent + roundedPixels(-face->size->metrics.descender);
    for (const char* c = text; *c; ++c)
        if (FT_Load_Char(face, static_cast<unsigned char>(*c), FT_LOAD_DEFAULT) == 0)
            metrics.width += roundedPixels(face->glyph->advance.x);
    return metrics;
}

void RasterText::draw(RasterImage& image, const FontSpec& font, const char* text, int x, int y, Color color,
                      Rect clip) {
    FT_Face face = sizedFace(font);
    if (!face) return;
    const int baseline = y + roundedPixels(face->size->metrics.ascender);
    auto plot = [&](int px, int py, int coverage) {
        if (px >= clip.left && px < clip.right && py >= clip.top && py < clip.bottom)
            image.blendPixel(px, py, color, coverage);
    };
    int penX = x;
    for (const char* c = text; *c; ++c) {
        if (FT_Load_Char(face, static_cast<unsigned char>(*c), FT_LOAD_RENDER) != 0) continue;
        const FT_GlyphSlot glyph = face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        for (unsigned row = 0; row < bitmap.rows; ++row)
            for (unsigned column = 0; column < bitmap.width; ++column)
                plot(penX + glyph->bitmap_left + static_cast<int>(column), baseline - glyph->bitmap_top + static_cast<int>(row),
                     bitmap.buffer[row * bitmap.pitch + column]);
        penX += roundedPixels(glyph->advance.x);
    }
    if (font.underline)
        for (int px = x; px < penX; ++px) plot(px, baseline + 1, 255);
}
