#include "host/block_item_list.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <type_traits>

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/locale_numbers.h"
#include "platform/rounding.h"
#include "platform/text_file.h"
#include "platform/utf.h"

namespace velmora {
namespace {

constexpr long double kDegreesPerRadian = 180.0L / std::numbers::pi_v<long double>;
constexpr std::size_t kLineTableStep = 500;
constexpr int kNotAGroupCode = -100;
// Zeroed vertex rows that announced but unfilled vertex counts may add, per
// character of the file: enough for any count a real list announces.
constexpr std::size_t kCharsPerZeroedVertex = 4;

enum class Kind { None, Line, Arc, Circle, Polyline };

// The platform's delimited-text split: only `delimiter` separates, a
// delimiter at the end adds an empty field, empty text gives no field, and a
// field that begins with a double quotation mark is read up to its closing
// mark ("" inside stands for one mark) and loses the marks.
std::vector<std::u16string> splitDelimited(std::u16string_view text, char16_t delimiter) {
    std::vector<std::u16string> fields;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == u'"') {
            std::u16string field;
            for (++i; i < text.size(); ++i) {
                if (text[i] != u'"') {
                    field.push_back(text[i]);
                } else if (i + 1 < text.size() && text[i + 1] == u'"') {
                    field.push_back(u'"');
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
            fields.push_back(std::move(field));
        } else {
            std::size_t end = std::min(text.find(delimiter, i), text.size());
            fields.emplace_back(text.substr(i, end - i));
            i = end;
        }
        if (i < text.size() && text[i] == delimiter && ++i == text.size()) fields.emplace_back();
    }
    return fields;
}

long double number(const std::u16string& v) { return tryStrToFloat(v).value_or(0.0L); }

// Integer fields are SmallInt: wider values wrap, as the assignment does.
SmallInt smallInt(const std::u16string& v, std::int32_t fallback) {
    return static_cast<SmallInt>(tryStrToInt(v).value_or(fallback));
}

class ItemListReader {
public:
    ItemListReader(DrawingStore& store, BlockItemCounts& counts, std::size_t totalChars)
        : store_(store), counts_(counts), zeroedBudget_(totalChars / kCharsPerZeroedVertex) {}

    void process(int g, const std::u16string& v) {
        if (g == 0) return startEntity(v);
        switch (kind_) {
            case Kind::Line: return lineGroup(g, v);
            case Kind::Arc: return curveGroup(store_.modelArcs.back(), g, v);
            case Kind::Circle: return curveGroup(store_.modelCircles.back(), g, v);
            case Kind::Polyline: return polylineGroup(g, v);
            case Kind::None: return;
        }
    }

    // Adds the rows the last group 90 announced that no group 10 reached.
    void finish() { endVertexRun(); }

private:
    void startEntity(const std::u16string& v) {
        endVertexRun();  // no later group can reach the rows of the run
        kind_ = Kind::None;
        if (v == u"LINE") {
            ++counts_.lines;
            auto lines = static_cast<std::size_t>(counts_.lines);
            if (lines >= store_.modelLines.size()) store_.modelLines.resize(lines + kLineTableStep);
            kind_ = Kind::Line;
        } else if (v == u"ARC") {
            ++counts_.arcs;
            store_.modelArcs.emplace_back();
            kind_ = Kind::Arc;
        } else if (v == u"CIRCLE") {
            ++counts_.circles;
            store_.modelCircles.emplace_back();
            kind_ = Kind::Circle;
        } else if (v == u"ATTDEF") {
            ++counts_.attributes;
        } else if (v == u"LWPOLYLINE") {
            ++counts_.polylines;
            store_.modelLwps.emplace_back().ihand = counts_.polylines - 1;
            kind_ = Kind::Polyline;
        }
    }

    void lineGroup(int g, const std::u16string& v) {
        TAcadLineBlk& row = store_.modelLines[static_cast<std::size_t>(counts_.lines) - 1];
        switch (g) {
            case 8: row.layer = v; break;
            case 62: row.color = smallInt(v, 7); break;
            case 10: row.st.x = number(v); break;
            case 20: row.st.y = number(v); break;
            case 30: row.st.z = number(v); break;
            case 11: row.ed.x = number(v); break;
            case 21: row.ed.y = number(v); break;
            case 31: row.ed.z = number(v); break;
            default: break;
        }
    }

    // Arcs and circles share their groups; only arcs have angles.
    template <class Curve>
    void curveGroup(Curve& row, int g, const std::u16string& v) {
        switch (g) {
            case 8: row.layer = v; break;
            case 62: row.color = smallInt(v, 7); break;
            case 10: row.center.x = number(v); break;
            case 20: row.center.y = number(v); break;
            case 30: row.center.z = number(v); break;
            case 40: row.hankei = roundToDouble(number(v)); break;
            case 50:
                if constexpr (std::is_same_v<Curve, TArcBlk>) row.st = degrees(v);
                break;
            case 51:
                if constexpr (std::is_same_v<Curve, TArcBlk>) row.ed = degrees(v);
                break;
            default: break;
        }
    }

    void polylineGroup(int g, const std::u16string& v) {
        TLwpBlk& row = store_.modelLwps.back();
        switch (g) {
            case 8: row.layer = v; break;
            case 62: row.color = smallInt(v, 7); break;
            case 70: row.code70 = smallInt(v, 0); break;
            case 90: beginVertexRun(tryStrToInt(v).value_or(0)); break;
            case 10:
                ++cursor_;
                if (cursor_ - 1 >= runBegin_ && cursor_ - 1 < runBegin_ + runLength_ &&
                    cursor_ > store_.modelLwpVertices.size())
                    appendVertexRows(cursor_ - store_.modelLwpVertices.size());
                if (TLwpVer* vertex = vertexAtCursor()) vertex->code10.x = number(v);
                break;
            case 20:
                if (TLwpVer* vertex = vertexAtCursor()) vertex->code10.y = number(v);
                break;
            case 42:
                if (TLwpVer* vertex = vertexAtCursor()) vertex->code42 = roundToDouble(number(v));
                break;
            default: break;
        }
    }

    // A group 90 reserves its rows after the existing ones. They are added
    // as its groups 10 reach them, and the rest, all the same zeroed vertex,
    // when the run ends: as many as announced while the file's budget lasts,
    // at least one, so an absurd count cannot exhaust memory and still
    // draws the same.
    void beginVertexRun(std::int32_t announced) {
        endVertexRun();
        cursor_ = runBegin_ = store_.modelLwpVertices.size();
        runLength_ = announced > 0 ? static_cast<std::size_t>(announced) : 0;
        runIhand_ = counts_.polylines - 1;
    }

    void endVertexRun() {
        std::size_t filled = store_.modelLwpVertices.size() - runBegin_;
        if (runLength_ > filled) {
            std::size_t zeroed = std::max<std::size_t>(1, std::min(runLength_ - filled, zeroedBudget_));
            zeroedBudget_ -= std::min(zeroed, zeroedBudget_);
            appendVertexRows(zeroed);
        }
        runBegin_ = store_.modelLwpVertices.size();
        runLength_ = 0;
    }

    void appendVertexRows(std::size_t n) {
        std::vector<TLwpVer>& vertices = store_.modelLwpVertices;
        vertices.resize(vertices.size() + n);
        for (std::size_t i = vertices.size() - n; i < vertices.size(); ++i) vertices[i].ihand = runIhand_;
    }

    // The vertex row at cursor - 1, when it is a row of the current run.
    TLwpVer* vertexAtCursor() {
        if (cursor_ == 0 || cursor_ - 1 < runBegin_ || cursor_ - 1 >= store_.modelLwpVertices.size())
            return nullptr;
        return &store_.modelLwpVertices[cursor_ - 1];
    }

    static double degrees(const std::u16string& v) {
        long double d = number(v) * kDegreesPerRadian;
        if (!std::isfinite(d)) throw FloatingPointError("floating point overflow");
        return roundToDouble(d);
    }

    DrawingStore& store_;
    BlockItemCounts& counts_;
    Kind kind_ = Kind::None;
    std::size_t cursor_ = 0;
    std::size_t runBegin_ = 0;   // first row of the current run of vertex rows
    std::size_t runLength_ = 0;  // rows its group 90 announced
    Integer runIhand_ = 0;
    std::size_t zeroedBudget_;
};

void startRead(DrawingStore& store) {
    store.modelCircles.clear();
    store.modelArcs.clear();
    store.modelLwps.clear();
    store.modelLwpVertices.clear();
    store.modelLines.assign(kLineTableStep, TAcadLineBlk{});
}

// Cuts modelLines back to the rows filled, also when the read ends by an
// exception.
class LineTableTrim {
public:
    LineTableTrim(std::vector<TAcadLineBlk>& table, const BlockItemCounts& counts) : table_(table), counts_(counts) {}
    ~LineTableTrim() { table_.resize(static_cast<std::size_t>(counts_.lines)); }
    LineTableTrim(const LineTableTrim&) = delete;
    LineTableTrim& operator=(const LineTableTrim&) = delete;

private:
    std::vector<TAcadLineBlk>& table_;
    const BlockItemCounts& counts_;
};

BlockItemCounts readItemLines(DrawingStore& store, std::vector<std::u16string> lines) {
    BlockItemCounts counts;
    startRead(store);
    LineTableTrim trim(store.modelLines, counts);
    counts.items = static_cast<int>(lines.size());

    std::size_t totalChars = 0;
    for (std::u16string& line : lines) {
        line = normalizeItemLine(line);
        totalChars += line.size() + 1;
    }

    ItemListReader reader(store, counts, totalChars);
    for (const std::u16string& line : lines)
        for (const std::u16string& field : splitDelimited(line, u'\t'))
            for (const auto& [code, value] : splitItem(field))
                reader.process(tryStrToInt(code).value_or(kNotAGroupCode), value);
    reader.finish();
    counts.result = counts.items > 0;
    return counts;
}

void replaceAll(std::u16string& text, std::u16string_view from, std::u16string_view to) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t pos; (pos = text.find(from, start)) != std::u16string::npos; start = pos + from.size()) {
        out.append(text, start, pos - start);
        out.append(to);
    }
    out.append(text, start);
    text = std::move(out);
}

std::u16string withoutFirstAndLast(const std::u16string& text) {
    return text.size() <= 2 ? std::u16string() : text.substr(1, text.size() - 2);
}

}  // namespace

std::u16string normalizeItemLine(const std::u16string& line) {
    std::u16string result = !line.empty() && line.front() == u'(' ? withoutFirstAndLast(line) : line;
    replaceAll(result, u") (", u"\t");
    if (!result.empty() && result.front() == u'(') result = withoutFirstAndLast(result);
    return result;
}

std::vector<ItemPair> splitItem(const std::u16string& item) {
    if (std::size_t dot = item.find(u" . "); dot != std::u16string::npos)
        return {ItemPair{item.substr(0, dot), item.substr(dot + 3)}};
    if (std::size_t space = item.find(u' '); space != std::u16string::npos)
        return expandCoordinateList(item.substr(0, space), item.substr(space + 1));
    return {};
}

std::vector<ItemPair> expandCoordinateList(const std::u16string& code, const std::u16string& values) {
    const long long c = tryStrToInt(code).value_or(10);
    std::vector<ItemPair> pairs;
    long long k = 0;
    for (std::u16string& value : splitDelimited(values, u' '))
        pairs.emplace_back(utf8ToUtf16(std::to_string(c + 10 * k++)), std::move(value));
    return pairs;
}

BlockItemCounts readBlockItemBytes(DrawingStore& store, std::string_view bytes) {
    return readItemLines(store, decodeTextLines(bytes, TextEncoding::Ansi));
}

BlockItemCounts readBlockItemList(DrawingStore& store, const std::filesystem::path& file) {
    if (!fileExists(file)) {
        startRead(store);
        store.modelLines.clear();
        return {};
    }
    std::optional<std::string> bytes = readWholeFile(file);
    if (!bytes) {
        startRead(store);
        store.modelLines.clear();
        throw FileError("cannot read " + file.string());
    }
    return readBlockItemBytes(store, *bytes);
}

}  // namespace velmora
