// The font record of the text step on FreeType: a cell height Hpx (the face's
// Windows ascent plus descent scaled to Hpx pixels), an average character
// width Wpx (a horizontal scale that makes the face's average character width
// Wpx pixels) and an escapement (the whole line turned counter-clockwise by E
// tenths of a degree about the cell's top-left corner). Glyphs are written
// monochrome, in one colour, without background, clipped to the canvas.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "render/canvas.h"

namespace velmora {

// Where the text face is: IPAGothic first, else any face with Japanese
// coverage, found by fontconfig. Empty when there is none.
struct FontFile {
    std::filesystem::path path;
    int index = 0;
};
FontFile findTextFontFile();

class TextFont {
public:
    // Opens the face; throws std::runtime_error when it cannot.
    explicit TextFont(const FontFile& file);
    ~TextFont();
    TextFont(const TextFont&) = delete;
    TextFont& operator=(const TextFont&) = delete;

    // Makes the font record current. Sizes must be positive.
    void select(int cellHeight, int averageWidth, int escapement);
    // Width in pixels of the text in the current font, along its baseline.
    int textWidth(std::u16string_view text);
    // Writes the text with the top-left corner of its first cell at `topLeft`.
    void write(Canvas& canvas, PixelPoint topLeft, std::u16string_view text, TColor color);

    // The face's Windows ascent as a share of ascent plus descent: where the
    // baseline lies in the cell.
    double ascentShare() const;

private:
    struct Glyph;
    struct Face;
    const Glyph& glyph(char32_t code);

    std::unique_ptr<Face> face_;
    int cellHeight_ = 0;
    int escapement_ = 0;
    long emWidth26_ = 0, emHeight26_ = 0;  // the current em in 26.6 pixels
    struct GlyphKey {
        char32_t code;
        long emWidth26, emHeight26;
        int escapement;
        friend bool operator==(const GlyphKey&, const GlyphKey&) = default;
    };
    struct GlyphKeyHash {
        std::size_t operator()(const GlyphKey& k) const;
    };
    // Glyphs by size and angle, so that texts of a few sizes and angles
    // render each character once.
    std::unordered_map<GlyphKey, std::unique_ptr<Glyph>, GlyphKeyHash> glyphs_;
};

}  // namespace velmora
