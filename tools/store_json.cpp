#include "tools/store_json.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/utf.h"

namespace velmora {
namespace {

using Points = std::span<const TAcadPoint>;
using Reals = std::span<const double>;

// The field list of each record, in record order: visit(key, value).
template <class V> void fields(const TLayer& r, V& v) {
    v("Name", r.Name), v("color", r.color), v("code70", r.code70), v("ltype", r.ltype), v("visible", r.visible),
        v("Comment", r.Comment);
}
template <class V> void fields(const TViewTbl& r, V& v) {
    v("name", r.name), v("center", r.center), v("height", r.height), v("width", r.width), v("code70", r.code70);
}
template <class V> void fields(const TAcadLineBlk& r, V& v) {
    v("bname", r.bname), v("layer", r.layer), v("ltype", r.ltype), v("color", r.color), v("st", r.st), v("ed", r.ed),
        v("PenColor", r.PenColor), v("PenStyle", r.PenStyle), v("code67", r.code67), v("code210", r.code210),
        v("layindex", r.layindex), v("atsumi", r.atsumi), v("convtype", r.convtype), v("lwpflag", r.lwpflag),
        v("checked", r.checked), v("code60", r.code60);
}
template <class V> void fields(const TCircleBlk& r, V& v) {
    v("bname", r.bname), v("layer", r.layer), v("ltype", r.ltype), v("color", r.color), v("center", r.center),
        v("hankei", r.hankei), v("PenColor", r.PenColor), v("PenStyle", r.PenStyle), v("code67", r.code67),
        v("code210", r.code210), v("layindex", r.layindex), v("checked", r.checked), v("code60", r.code60);
}
template <class V> void fields(const TArcBlk& r, V& v) {
    v("bname", r.bname), v("layer", r.layer), v("ltype", r.ltype), v("color", r.color), v("center", r.center),
        v("hankei", r.hankei), v("st", r.st), v("ed", r.ed), v("PenColor", r.PenColor), v("PenStyle", r.PenStyle),
        v("code67", r.code67), v("code210", r.code210), v("layindex", r.layindex), v("atsumi", r.atsumi),
        v("lwpflag", r.lwpflag), v("checked", r.checked), v("code60", r.code60);
}
template <class V> void fields(const TInsertBlk& r, V& v) {
    v("name", r.name), v("layer", r.layer), v("ltype", r.ltype), v("base", r.base), v("scale", r.scale),
        v("color", r.color), v("rotate", r.rotate), v("code66", r.code66), v("PenColor", r.PenColor),
        v("PenStyle", r.PenStyle), v("code67", r.code67), v("code210", r.code210), v("layindex", r.layindex),
        v("dimBlkName", r.dimBlkName), v("code60", r.code60);
}
template <class V> void fields(const TBlockBlk& r, V& v) {
    v("name", r.name), v("layer", r.layer), v("ltype", r.ltype), v("base", r.base), v("layindex", r.layindex),
        v("InsertAry", r.InsertAry), v("code60", r.code60);
}
template <class V> void fields(const TLwpVer& r, V& v) {
    v("ihand", r.ihand), v("code10", r.code10), v("code42", r.code42);
}
template <class V> void fields(const TLwpBlk& r, V& v) {
    v("bname", r.bname), v("layer", r.layer), v("ltype", r.ltype), v("ihand", r.ihand), v("color", r.color),
        v("code38", r.code38), v("code67", r.code67), v("code70", r.code70), v("code71", r.code71),
        v("code72", r.code72), v("code73", r.code73), v("code74", r.code74), v("code210", r.code210),
        v("PenColor", r.PenColor), v("PenStyle", r.PenStyle), v("layindex", r.layindex), v("verAry", r.verAry),
        v("code60", r.code60);
}
template <class V> void fields(const TTextBlk& r, V& v) {
    v("bname", r.bname), v("layer", r.layer), v("color", r.color), v("pt10", r.pt10), v("pt11", r.pt11),
        v("code40", r.code40), v("code41", r.code41), v("code44", r.code44), v("code50", r.code50),
        v("code72", r.code72), v("code73", r.code73), v("code70", r.code70), v("code71", r.code71), v("str", r.str),
        v("mtflag", r.mtflag), v("atflag", r.atflag), v("PenColor", r.PenColor), v("code67", r.code67),
        v("code210", r.code210), v("layindex", r.layindex), v("checked", r.checked), v("code60", r.code60);
}
template <class V> void fields(const TFaceBlk& r, V& v) {
    v("bname", r.bname), v("layer", r.layer), v("ltype", r.ltype), v("color", r.color), v("pt", Points(r.pt)),
        v("PenColor", r.PenColor), v("PenStyle", r.PenStyle), v("code67", r.code67), v("code70", r.code70),
        v("count", r.count), v("layindex", r.layindex), v("code60", r.code60);
}
template <class V> void fields(const TEllipseBlk& r, V& v) {
    v("bname", r.bname), v("layer", r.layer), v("ltype", r.ltype), v("color", r.color), v("center", r.center),
        v("endpoint", r.endpoint), v("henpei", r.henpei), v("kaisi", r.kaisi), v("owari", r.owari),
        v("code210", r.code210), v("layindex", r.layindex), v("code60", r.code60);
}
template <class V> void fields(const TSolidBlk& r, V& v) {
    v("bname", r.bname), v("layer", r.layer), v("ltype", r.ltype), v("color", r.color), v("p1", r.p1),
        v("p2", r.p2), v("p3", r.p3), v("p4", r.p4), v("code60", r.code60);
}
template <class V> void fields(const TLeaderBlk& r, V& v) {
    v("bname", r.bname), v("layer", r.layer), v("ltype", r.ltype), v("color", r.color), v("code41", r.code41),
        v("code76", r.code76), v("p1", r.p1), v("p2", r.p2), v("p3", r.p3), v("code60", r.code60);
}
template <class V> void fields(const TDimensionBlk& r, V& v) {
    v("bname", r.bname), v("layer", r.layer), v("ltype", r.ltype), v("color", r.color),
        v("dimblkName", r.dimblkName), v("p0", r.p0), v("p1", r.p1), v("p2", r.p2), v("p3", r.p3), v("p4", r.p4),
        v("p5", r.p5), v("P6", r.P6), v("dimtype", r.dimtype), v("code40", r.code40), v("code50", r.code50),
        v("code51", r.code51), v("code210", r.code210), v("code60", r.code60);
}
template <class V> void fields(const TSplineBlk& r, V& v) {
    v("bname", r.bname), v("layer", r.layer), v("ltype", r.ltype), v("ihand", r.ihand), v("color", r.color),
        v("code70", r.code70), v("code71", r.code71), v("code72", r.code72), v("code73", r.code73),
        v("code74", r.code74), v("code210", r.code210), v("PenColor", r.PenColor), v("PenStyle", r.PenStyle),
        v("layindex", r.layindex), v("code10Ary", Points(r.code10Ary)), v("code40Ary", Reals(r.code40Ary)),
        v("code41Ary", Reals(r.code41Ary)), v("code60", r.code60);
}

// The store's members in output order.
template <class V> void tables(const DrawingStore& s, V& v) {
    const std::array<TAcadPoint, 2> extents{s.drawingExtents.min, s.drawingExtents.max};
    v("blocks", s.blocks), v("blockLines", s.blockLines), v("blockCircles", s.blockCircles),
        v("blockArcs", s.blockArcs), v("blockLwps", s.blockLwps), v("blockLwpVertices", s.blockLwpVertices),
        v("blockTexts", s.blockTexts), v("blockSolids", s.blockSolids), v("blockEllipses", s.blockEllipses),
        v("blockInserts", s.blockInserts), v("modelLines", s.modelLines), v("modelCircles", s.modelCircles),
        v("modelArcs", s.modelArcs), v("modelTexts", s.modelTexts), v("modelInserts", s.modelInserts),
        v("modelLwps", s.modelLwps), v("modelLwpVertices", s.modelLwpVertices), v("modelEllipses", s.modelEllipses),
        v("modelSolids", s.modelSolids), v("faces", s.faces), v("leaders", s.leaders), v("splines", s.splines),
        v("dimensions", s.dimensions), v("layers", s.layers), v("views", s.views), v("dwgCodePage", s.dwgCodePage),
        v("drawingExtents", Points(extents));
}

// A number as the dump writes it: a double, or nothing beyond the double range.
std::optional<double> dumpNumber(long double v) {
    if (!std::isfinite(v) || std::fabs(v) > DBL_MAX) return std::nullopt;
    return static_cast<double>(v);
}

// ---- The document ----

StoreJson toJson(const std::u16string& s) { return utf16ToUtf8(s); }
StoreJson toJson(long double v) {
    if (auto d = dumpNumber(v)) return *d;
    return nullptr;
}
StoreJson toJson(double v) { return toJson(static_cast<long double>(v)); }
StoreJson toJson(const TAcadPoint& p) { return StoreJson::array({toJson(p.x), toJson(p.y), toJson(p.z)}); }
template <class T>
    requires std::is_integral_v<T> || std::is_enum_v<T>
StoreJson toJson(T v) {
    return v;
}
StoreJson toJson(Points points) {
    StoreJson out = StoreJson::array();
    for (const TAcadPoint& p : points) out.push_back(toJson(p));
    return out;
}
StoreJson toJson(Reals reals) {
    StoreJson out = StoreJson::array();
    for (double r : reals) out.push_back(toJson(r));
    return out;
}
template <class Row>
StoreJson toJson(const std::vector<Row>& rows);

struct ObjectBuilder {
    StoreJson& object;
    template <class T>
    ObjectBuilder& operator()(const char* key, const T& value) {
        object[key] = toJson(value);
        return *this;
    }
};

template <class Row>
StoreJson toJson(const std::vector<Row>& rows) {
    StoreJson out = StoreJson::array();
    for (const Row& row : rows) {
        StoreJson object = StoreJson::object();
        ObjectBuilder builder{object};
        fields(row, builder);
        out.push_back(std::move(object));
    }
    return out;
}

// ---- The stream: the document's pretty-printed text, one value at a time ----

constexpr std::size_t kNumberRoom = 32;       // a double's shortest text, sign and exponent
constexpr std::size_t kPlainTextRoom = 1024;  // longer texts go through the document

// The text of recently written doubles. Normalised tables repeat values
// at short distance (a chord's end is the next chord's start), and a copy
// costs far less than finding the shortest digits again.
class RecentNumbers {
public:
    char* writeAt(char* p, double d) {
        const auto bits = std::bit_cast<std::uint64_t>(d);
        Entry& e = entries_[(bits * 0x9E3779B97F4A7C15ull) >> (64 - kIndexBits)];
        if (e.length != 0 && e.bits == bits) {
            std::memcpy(p, e.text, kNumberRoom);  // a fixed size; the room has it
            return p + e.length;
        }
        char* end = nlohmann::detail::to_chars(p, p + kNumberRoom, d);
        e.bits = bits;
        e.length = static_cast<std::uint8_t>(end - p);
        std::memcpy(e.text, p, e.length);
        return end;
    }

private:
    static constexpr int kIndexBits = 6;
    struct Entry {
        std::uint64_t bits = 0;
        std::uint8_t length = 0;  // 0: empty
        char text[kNumberRoom];
    };
    std::array<Entry, std::size_t{1} << kIndexBits> entries_{};
};

class JsonStream {
public:
    explicit JsonStream(std::ostream& out) : out_(out), buffer_(kFlushBytes + kSlack), pos_(buffer_.data()) {}
    ~JsonStream() { flush(); }
    JsonStream(const JsonStream&) = delete;
    JsonStream& operator=(const JsonStream&) = delete;

    void put(std::string_view text) {
        if (text.size() > kSlack) {
            flush();
            out_.write(text.data(), static_cast<std::streamsize>(text.size()));
            return;
        }
        if (text.size() <= kShortText) {
            // Most texts are a few bytes: copied in line, without a call.
            char* p = pos_;  // a local: stores through char* could change a member
            for (char c : text) *p++ = c;
            pos_ = p;
        } else {
            std::memcpy(pos_, text.data(), text.size());
            pos_ += text.size();
        }
        if (pos_ >= buffer_.data() + kFlushBytes) flush();
    }
    // Room for up to kSlack bytes written in place, then taken up to `end`.
    char* room() { return pos_; }
    char* roomEnd() { return pos_ + kSlack; }
    void advance(char* end) {
        pos_ = end;
        if (pos_ >= buffer_.data() + kFlushBytes) flush();
    }
    void put(char c) {
        *pos_++ = c;
        if (pos_ >= buffer_.data() + kFlushBytes) flush();
    }
    // A line end and the indentation of `level` (levels stay small).
    void newline(int level) { advance(lineAt(room(), level)); }
    // The same written at `p` in the room, for text composed in place.
    static char* lineAt(char* p, int level) {
        std::memcpy(p, kLineStart, kMaxLevel + 1);  // a fixed size: a few moves, no call
        return p + 1 + std::min(level, kMaxLevel);
    }
    void flush() {
        out_.write(buffer_.data(), pos_ - buffer_.data());
        pos_ = buffer_.data();
    }
    // A finite double's text written at `p` in the room; returns its end.
    char* numberAt(char* p, double d) { return recent_.writeAt(p, d); }
    // A member value from the document, indented to sit at `level`.
    void document(const StoreJson& value, int level) {
        for (char c : formatStoreJson(value)) {
            if (c == '\n') newline(level);  // its own indentation follows, from the document
            else put(c);
        }
    }

private:
    static constexpr std::size_t kFlushBytes = 1 << 16;
    static constexpr std::size_t kSlack = 4096;  // any one put up to this size fits
    static constexpr int kMaxLevel = 16;
    static constexpr std::size_t kShortText = 24;
    static constexpr const char* kLineStart = "\n                ";  // a line end and kMaxLevel spaces

    std::ostream& out_;
    std::vector<char> buffer_;
    char* pos_;
    RecentNumbers recent_;
};

void write(JsonStream& js, int level, const std::u16string& s);
void write(JsonStream& js, int level, long double v);
void write(JsonStream& js, int level, double v) { write(js, level, static_cast<long double>(v)); }
void write(JsonStream& js, int level, const TAcadPoint& p);
void write(JsonStream& js, int level, Points points);
void write(JsonStream& js, int level, Reals reals);
template <class T>
    requires std::is_integral_v<T> || std::is_enum_v<T>
void write(JsonStream& js, int, T v) {
    if constexpr (std::is_same_v<T, bool>) {
        js.put(v ? "true" : "false");
    } else {
        js.advance(std::to_chars(js.room(), js.roomEnd(), static_cast<long long>(v)).ptr);
    }
}
template <class Row>
void write(JsonStream& js, int level, const std::vector<Row>& rows);

struct MemberWriter {
    JsonStream& js;
    int level;  // of the object's braces
    bool first = true;
    // The separator, indentation and key are composed in place: keys are literals.
    template <std::size_t N, class T>
    MemberWriter& operator()(const char (&key)[N], const T& value) {
        char* p = js.room();
        *p = ',';
        p = JsonStream::lineAt(p + (first ? 0 : 1), level + 1);
        first = false;
        *p++ = '"';
        std::memcpy(p, key, N - 1);
        std::memcpy(p + N - 1, "\": ", 3);
        js.advance(p + N + 2);
        write(js, level + 1, value);
        return *this;
    }
};

// An array of `count` elements, each written by element(i, level).
template <class Element>
void writeArray(JsonStream& js, int level, std::size_t count, Element element) {
    if (count == 0) return js.put("[]");
    js.put("[");
    for (std::size_t i = 0; i < count; ++i) {
        char* p = js.room();
        *p = ',';
        js.advance(JsonStream::lineAt(p + (i ? 1 : 0), level + 1));
        element(i, level + 1);
    }
    js.newline(level);
    js.put("]");
}

template <class Row>
void write(JsonStream& js, int level, const std::vector<Row>& rows) {
    writeArray(js, level, rows.size(), [&](std::size_t i, int rowLevel) {
        js.put("{");
        MemberWriter members{js, rowLevel};
        fields(rows[i], members);
        char* p = JsonStream::lineAt(js.room(), rowLevel);
        *p = '}';
        js.advance(p + 1);
    });
}

// A number written at `p` in the room; returns its end.
char* numberAt(JsonStream& js, char* p, long double v) {
    std::optional<double> d = dumpNumber(v);
    if (!d) return std::copy_n("null", 4, p);
    return js.numberAt(p, *d);
}

void write(JsonStream& js, int, long double v) { js.advance(numberAt(js, js.room(), v)); }

// A point is composed in place: three numbers and their lines fit the room.
void write(JsonStream& js, int level, const TAcadPoint& p) {
    const long double xyz[] = {p.x, p.y, p.z};
    char* out = js.room();
    *out++ = '[';
    for (int i = 0; i < 3; ++i) {
        if (i) *out++ = ',';
        out = numberAt(js, JsonStream::lineAt(out, level + 1), xyz[i]);
    }
    out = JsonStream::lineAt(out, level);
    *out++ = ']';
    js.advance(out);
}

void write(JsonStream& js, int level, Points points) {
    writeArray(js, level, points.size(), [&](std::size_t i, int at) { write(js, at, points[i]); });
}

void write(JsonStream& js, int level, Reals reals) {
    writeArray(js, level, reals.size(), [&](std::size_t i, int) { write(js, 0, reals[i]); });
}

// Printable ASCII without quote or backslash is its own JSON text: written
// at `p` in quotes, or nullptr for any other text.
char* plainTextAt(char* p, std::u16string_view s) {
    *p++ = '"';
    for (char16_t c : s) {
        if (c < 0x20 || c > 0x7E || c == '"' || c == '\\') return nullptr;
        *p++ = static_cast<char>(c);
    }
    *p++ = '"';
    return p;
}

void write(JsonStream& js, int level, const std::u16string& s) {
    if (s.size() <= kPlainTextRoom)
        if (char* end = plainTextAt(js.room(), s)) return js.advance(end);
    js.document(StoreJson(utf16ToUtf8(s)), level);  // escapes, replacements, long texts
}

}  // namespace

StoreJson storeToJson(const DrawingStore& store) {
    StoreJson out = StoreJson::object();
    ObjectBuilder builder{out};
    tables(store, builder);
    return out;
}

std::string formatStoreJson(const StoreJson& json) {
    return json.dump(1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void writeStoreJson(std::ostream& out, const DrawingStore& store, const StoreJson& trailer) {
    JsonStream js(out);
    js.put("{");
    MemberWriter members{js, 0};
    tables(store, members);
    for (const auto& [key, value] : trailer.items()) {
        js.put(",");
        js.newline(1);
        js.document(StoreJson(key), 1);
        js.put(": ");
        js.document(value, 1);
    }
    js.newline(0);
    js.put("}\n");
}

}  // namespace velmora
