#include "render/text_font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <cstdint>
#include <numbers>
#include <stdexcept>
#include <unordered_map>
#include <vector>

namespace velmora {
namespace {

constexpr std::size_t kMaxCachedAdvances = 1 << 16;
constexpr std::size_t kMaxGlyphBytes = std::size_t{64} << 20;

// fontconfig objects, released on scope exit.
struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct FontSetDeleter {
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
struct ObjectSetDeleter {
    void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

bool coversJapanese(FcPattern* font) {
    FcCharSet* chars = nullptr;
    return FcPatternGetCharSet(font, FC_CHARSET, 0, &chars) == FcResultMatch && FcCharSetHasChar(chars, 0x3042) &&
           FcCharSetHasChar(chars, 0x90E8);
}

FontFile fileOf(FcPattern* font) {
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) return {};
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    return FontFile{reinterpret_cast<const char*>(file), index, {}};
}

FontFile matchFamily(const char* family) {
    Pattern pattern(FcNameParse(reinterpret_cast<const FcChar8*>(family)));
    if (!pattern) return {};
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    Pattern font(FcFontMatch(nullptr, pattern.get(), &result));
    FcChar8* name = nullptr;
    if (!font || FcPatternGetString(font.get(), FC_FAMILY, 0, &name) != FcResultMatch) return {};
    if (std::string_view(reinterpret_cast<const char*>(name)) != family || !coversJapanese(font.get())) return {};
    return fileOf(font.get());
}

FontFile anyJapaneseFace() {
    Pattern pattern(FcNameParse(reinterpret_cast<const FcChar8*>(":lang=ja")));
    std::unique_ptr<FcObjectSet, ObjectSetDeleter> objects(FcObjectSetBuild(FC_FILE, FC_INDEX, FC_CHARSET, nullptr));
    if (!pattern || !objects) return {};
    std::unique_ptr<FcFontSet, FontSetDeleter> fonts(FcFontList(nullptr, pattern.get(), objects.get()));
    if (!fonts) return {};
    for (int i = 0; i < fonts->nfont; ++i)
        if (coversJapanese(fonts->fonts[i])) return fileOf(fonts->fonts[i]);
    return {};
}

// Text as code points: surrogate pairs joined, a lone surrogate as U+FFFD.
template <class Fn>
void forEachCodePoint(std::u16string_view text, Fn&& fn) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            fn(0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            fn(0xFFFD);
        } else {
            fn(c);
        }
    }
}

}  // namespace

FontFile findTextFontFile() {
    if (!FcInit()) return {};
    if (FontFile file = matchFamily("IPAGothic"); !file.path.empty()) return file;
    return anyJapaneseFace();
}

namespace {

// A rendered glyph of the current font record: a monochrome bitmap (one byte
// a pixel) placed from the pen position.
struct Glyph {
    int left = 0, top = 0, width = 0, rows = 0;
    std::vector<std::uint8_t> ink;
};

struct GlyphKey {
    char32_t code;
    long emWidth26, emHeight26;
    int escapement;
    friend bool operator==(const GlyphKey&, const GlyphKey&) = default;
};

struct GlyphKeyHash {
    std::size_t operator()(const GlyphKey& k) const {
        std::size_t h = k.code;
        for (long v : {k.emWidth26, k.emHeight26, static_cast<long>(k.escapement)})
            h = h * 0x9E3779B97F4A7C15ULL + static_cast<std::size_t>(v);
        return h;
    }
};

}  // namespace

struct TextFont::State {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    int cellHeight = 0;
    int escapement = 0;
    long emWidth26 = 0, emHeight26 = 0;  // the current em in 26.6 pixels
    // Advances and glyphs by size and angle, so that texts of a few sizes
    // and angles load and render each character once. A width needs only
    // the advances; the glyphs are kept up to kMaxGlyphBytes, since one
    // glyph of a huge text alone takes megabytes.
    std::unordered_map<GlyphKey, double, GlyphKeyHash> advances;  // pixels, unrotated
    std::unordered_map<GlyphKey, std::unique_ptr<Glyph>, GlyphKeyHash> glyphs;
    std::size_t glyphBytes = 0;
    ~State() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
    GlyphKey key(char32_t code) const { return GlyphKey{code, emWidth26, emHeight26, escapement}; }
    bool load(char32_t code);
    double advance(char32_t code);
    const Glyph& glyph(char32_t code);
};

TextFont::TextFont(const FontFile& file) : state_(std::make_unique<State>()) {
    if (FT_Init_FreeType(&state_->library) != 0) throw std::runtime_error("cannot start FreeType");
    if (file.path.empty() || FT_New_Face(state_->library, file.path.c_str(), file.index, &state_->face) != 0)
        throw std::runtime_error("cannot open the text face " + file.path.string());
}

TextFont::~TextFont() = default;

double TextFont::ascentShare() const {
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(state_->face, FT_SFNT_OS2));
    if (!os2 || os2->usWinAscent + os2->usWinDescent == 0)
        return static_cast<double>(state_->face->ascender) / (state_->face->ascender - state_->face->descender);
    return static_cast<double>(os2->usWinAscent) / (os2->usWinAscent + os2->usWinDescent);
}

void TextFont::select(int cellHeight, int averageWidth, int escapement) {
    State& st = *state_;
    FT_Face face = st.face;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const double unitsPerEm = face->units_per_EM ? face->units_per_EM : 1000;
    double cellUnits = face->ascender - face->descender;
    double averageUnits = unitsPerEm / 2;
    if (os2 && os2->usWinAscent + os2->usWinDescent > 0) cellUnits = os2->usWinAscent + os2->usWinDescent;
    if (os2 && os2->xAvgCharWidth > 0) averageUnits = os2->xAvgCharWidth;
    const long emHeight = std::lround(cellHeight * unitsPerEm / cellUnits * 64);
    const long emWidth = std::lround(averageWidth * unitsPerEm / averageUnits * 64);
    st.cellHeight = cellHeight;
    if (std::max(1L, emHeight) == st.emHeight26 && std::max(1L, emWidth) == st.emWidth26 && escapement == st.escapement)
        return;  // the face is set for this record already
    st.escapement = escapement;
    st.emHeight26 = std::max(1L, emHeight);
    st.emWidth26 = std::max(1L, emWidth);
    FT_Set_Char_Size(face, st.emWidth26, st.emHeight26, 72, 72);
    const double angle = escapement / 10.0 * std::numbers::pi / 180;
    FT_Matrix turn{std::lround(std::cos(angle) * 0x10000), std::lround(-std::sin(angle) * 0x10000),
                   std::lround(std::sin(angle) * 0x10000), std::lround(std::cos(angle) * 0x10000)};
    FT_Set_Transform(face, &turn, nullptr);
}

// Loads the character's outline into the face's slot and keeps its advance.
bool TextFont::State::load(char32_t code) {
    const bool loaded = FT_Load_Char(face, code, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO) == 0;
    if (advances.size() >= kMaxCachedAdvances) advances.clear();
    advances[key(code)] = loaded ? face->glyph->linearHoriAdvance / 65536.0 : 0;
    return loaded;
}

double TextFont::State::advance(char32_t code) {
    if (auto it = advances.find(key(code)); it != advances.end()) return it->second;
    load(code);
    return advances[key(code)];
}

const Glyph& TextFont::State::glyph(char32_t code) {
    const GlyphKey k = key(code);
    if (auto it = glyphs.find(k); it != glyphs.end()) return *it->second;
    auto g = std::make_unique<Glyph>();
    if (load(code) && FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO) == 0) {
        const FT_Bitmap& bitmap = face->glyph->bitmap;
        g->left = face->glyph->bitmap_left;
        g->top = face->glyph->bitmap_top;
        g->width = static_cast<int>(bitmap.width);
        g->rows = static_cast<int>(bitmap.rows);
        g->ink.resize(static_cast<std::size_t>(g->width) * static_cast<std::size_t>(g->rows));
        for (int y = 0; y < g->rows; ++y) {
            const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
            for (int x = 0; x < g->width; ++x)
                g->ink[static_cast<std::size_t>(y) * g->width + x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
        }
    }
    const std::size_t bytes = sizeof(Glyph) + g->ink.size();
    if (glyphBytes + bytes > kMaxGlyphBytes) {
        glyphs.clear();
        glyphBytes = 0;
    }
    glyphBytes += bytes;
    return *glyphs.emplace(k, std::move(g)).first->second;
}

int TextFont::textWidth(std::u16string_view text) {
    double width = 0;
    forEachCodePoint(text, [&](char32_t code) { width += state_->advance(code); });
    return static_cast<int>(std::lround(width));
}

void TextFont::write(Canvas& canvas, PixelPoint topLeft, std::u16string_view text, TColor color) {
    const std::uint8_t index = canvas.nearestIndex(color);
    const double angle = state_->escapement / 10.0 * std::numbers::pi / 180;
    const double along[2] = {std::cos(angle), -std::sin(angle)};  // the baseline on the canvas (y down)
    const double ascent = state_->cellHeight * ascentShare();
    // The baseline starts `ascent` below the cell's top-left corner, across the turned line.
    double penX = topLeft.x + ascent * std::sin(angle);
    double penY = topLeft.y + ascent * std::cos(angle);
    // Once the pen is past the canvas and moving away from it, nothing more
    // can show: the rest of a long line is left.
    const double margin = 2.0 * state_->cellHeight, w = canvas.width(), h = canvas.height();
    auto leaving = [&] {
        const bool outside = penX < -margin || penY < -margin || penX > w + margin || penY > h + margin;
        return outside && (w / 2 - penX) * along[0] + (h / 2 - penY) * along[1] < 0;
    };
    // A glyph's ink lies within its advance and the cell of the pen: one
    // farther off the canvas than both is not rendered at all.
    auto offCanvas = [&](double reach) {
        return penX < -reach || penY < -reach || penX > w + reach || penY > h + reach;
    };
    bool done = false;
    forEachCodePoint(text, [&](char32_t code) {
        if (done) return;
        const double advance = state_->advance(code);
        if (!offCanvas(2.0 * (std::fabs(advance) + state_->cellHeight))) {
            const Glyph& g = state_->glyph(code);
            const long x0 = std::lround(std::floor(penX)) + g.left;
            const long y0 = std::lround(std::floor(penY)) - g.top;
            if (x0 < canvas.width() && y0 < canvas.height() && x0 + g.width > 0 && y0 + g.rows > 0) {
                for (int y = 0; y < g.rows; ++y)
                    for (int x = 0; x < g.width; ++x)
                        if (g.ink[static_cast<std::size_t>(y) * g.width + x])
                            canvas.setPixelIndex(static_cast<int>(x0 + x), static_cast<int>(y0 + y), index);
            }
        }
        penX += advance * along[0];
        penY += advance * along[1];
        done = leaving();
    });
}

}  // namespace velmora
