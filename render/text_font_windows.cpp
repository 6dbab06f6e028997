// The text step's font on the platform's own font functions: the font record
// made with CreateFontIndirectW, widths from GetTextExtentPoint32W, and the
// text written with ExtTextOutW on a monochrome DIB section whose ink is
// copied into the canvas in the text colour.
#include "render/text_font.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

namespace velmora {
namespace {

constexpr BYTE kDefaultCharacterSet = 1;

// The faces tried in turn: the Japanese user-interface Gothic of Windows,
// then the one Wine finds among the system fonts.
constexpr const wchar_t* kFaces[] = {L"MS UI Gothic", L"MS Gothic", L"IPAGothic", L"Meiryo"};

int CALLBACK noteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool faceExists(HDC dc, const wchar_t* face) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(query.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    ::EnumFontFamiliesExW(dc, &query, noteFace, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// A GDI object deleted on scope exit.
template <class Handle>
struct GdiObject {
    Handle handle = nullptr;
    ~GdiObject() { reset(nullptr); }
    void reset(Handle next) {
        if (handle) ::DeleteObject(handle);
        handle = next;
    }
};

}  // namespace

FontFile findTextFontFile() {
    HDC dc = ::CreateCompatibleDC(nullptr);
    if (!dc) return {};
    FontFile file;
    for (const wchar_t* face : kFaces) {
        if (faceExists(dc, face)) {
            file.faceName.assign(face, face + wcslen(face));
            break;
        }
    }
    ::DeleteDC(dc);
    return file;
}

struct TextFont::State {
    HDC dc = nullptr;
    std::wstring faceName;
    GdiObject<HFONT> font;
    HGDIOBJ firstFont = nullptr;
    int cellHeight = 0;
    int escapement = 0;
    double ascentShare = 0.855;
    ~State() {
        if (dc) {
            if (firstFont) ::SelectObject(dc, firstFont);
            ::DeleteDC(dc);
        }
    }
};

TextFont::TextFont(const FontFile& file) : state_(std::make_unique<State>()) {
    if (file.faceName.empty()) throw std::runtime_error("no text face");
    state_->dc = ::CreateCompatibleDC(nullptr);
    if (!state_->dc) throw std::runtime_error("cannot make a device context for text");
    state_->faceName.assign(file.faceName.begin(), file.faceName.end());
    ::SetMapMode(state_->dc, MM_TEXT);
}

TextFont::~TextFont() = default;

void TextFont::select(int cellHeight, int averageWidth, int escapement) {
    State& st = *state_;
    LOGFONTW record{};
    record.lfHeight = cellHeight;  // positive: the cell height
    record.lfWidth = averageWidth;
    record.lfEscapement = escapement;
    record.lfCharSet = kDefaultCharacterSet;
    wcsncpy(record.lfFaceName, st.faceName.c_str(), LF_FACESIZE - 1);
    HFONT font = ::CreateFontIndirectW(&record);
    if (!font) throw std::runtime_error("cannot make the text font");
    HGDIOBJ previous = ::SelectObject(st.dc, font);
    if (!st.firstFont) st.firstFont = previous;
    st.font.reset(font);
    st.cellHeight = cellHeight;
    st.escapement = escapement;
    TEXTMETRICW metrics{};
    if (::GetTextMetricsW(st.dc, &metrics) && metrics.tmAscent + metrics.tmDescent > 0)
        st.ascentShare = static_cast<double>(metrics.tmAscent) / (metrics.tmAscent + metrics.tmDescent);
}

double TextFont::ascentShare() const { return state_->ascentShare; }

int TextFont::textWidth(std::u16string_view text) {
    SIZE size{};
    if (text.empty() ||
        !::GetTextExtentPoint32W(state_->dc, reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()), &size))
        return 0;
    return size.cx;
}

void TextFont::write(Canvas& canvas, PixelPoint topLeft, std::u16string_view text, TColor color) {
    State& st = *state_;
    if (text.empty()) return;
    // The turned cell box of the whole line, widened by a cell for overhangs,
    // and cut to the canvas: the only part a monochrome bitmap is made for.
    const double width = textWidth(text), height = st.cellHeight;
    const double angle = st.escapement / 10.0 * std::numbers::pi / 180;
    const double c = std::cos(angle), s = std::sin(angle);
    const double xs[4] = {0, width * c, height * s, width * c + height * s};
    const double ys[4] = {0, -width * s, height * c, -width * s + height * c};
    const double margin = height + 2;
    const long left = std::max<long>(0, std::lround(topLeft.x + *std::min_element(xs, xs + 4) - margin));
    const long top = std::max<long>(0, std::lround(topLeft.y + *std::min_element(ys, ys + 4) - margin));
    const long right = std::min<long>(canvas.width(), std::lround(topLeft.x + *std::max_element(xs, xs + 4) + margin));
    const long bottom = std::min<long>(canvas.height(), std::lround(topLeft.y + *std::max_element(ys, ys + 4) + margin));
    if (right <= left || bottom <= top) return;
    const int w = static_cast<int>(right - left), h = static_cast<int>(bottom - top);

    struct MonochromeInfo {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = w;
    info.header.biHeight = -h;  // top-down rows
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    info.header.biCompression = BI_RGB;
    info.colours[1] = RGBQUAD{255, 255, 255, 0};
    void* bits = nullptr;
    GdiObject<HBITMAP> bitmap;
    bitmap.reset(::CreateDIBSection(st.dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap.handle || !bits) throw std::runtime_error("cannot make a bitmap for text");
    const int stride = ((w + 31) / 32) * 4;
    std::fill_n(static_cast<unsigned char*>(bits), static_cast<std::size_t>(stride) * h, 0);

    HGDIOBJ previous = ::SelectObject(st.dc, bitmap.handle);
    ::SetTextAlign(st.dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
    ::SetBkMode(st.dc, TRANSPARENT);
    ::SetTextColor(st.dc, RGB(255, 255, 255));
    ::ExtTextOutW(st.dc, static_cast<int>(topLeft.x - left), static_cast<int>(topLeft.y - top), 0, nullptr,
                  reinterpret_cast<const wchar_t*>(text.data()), static_cast<UINT>(text.size()), nullptr);
    ::GdiFlush();
    ::SelectObject(st.dc, previous);

    const std::uint8_t index = canvas.nearestIndex(color);
    const auto* rows = static_cast<const unsigned char*>(bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((rows[static_cast<std::size_t>(y) * stride + (x >> 3)] >> (7 - (x & 7))) & 1)
                canvas.setPixelIndex(static_cast<int>(left + x), static_cast<int>(top + y), index);
}

}  // namespace velmora
