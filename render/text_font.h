// The font record of the text step: a cell height Hpx (the face's Windows
// ascent plus descent scaled to Hpx pixels), an average character width Wpx
// (a horizontal scale that makes the face's average character width Wpx
// pixels) and an escapement (the whole line turned counter-clockwise by E
// tenths of a degree about the cell's top-left corner). Glyphs are written
// monochrome, in one colour, without background, clipped to the canvas.
// FreeType and fontconfig do it on Linux, the platform's font functions on
// Windows.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "render/canvas.h"

namespace velmora {

// Where the text face is: IPAGothic first, else any face with Japanese
// coverage. Empty when there is none. On Windows the face is named, not a
// file.
struct FontFile {
    std::filesystem::path path;
    int index = 0;
    std::u16string faceName;
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
    struct State;  // the face and its glyphs, as the platform keeps them
    std::unique_ptr<State> state_;
};

}  // namespace velmora
