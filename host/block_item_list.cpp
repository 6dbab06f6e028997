#include "host/block_item_list.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <numbers>
#include <type_traits>

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/locale_numbers.h"
#include "platform/rounding.h"
#include "platform/text_fields.h"
#include "platform/text_file.h"
#include "platform/utf.h"

namespace velmora {
namespace {

constexpr long double kDegreesPerRadian = 180.0L / std::numbers::pi_v<long double>;
constexpr int kNotAGroupCode = -100;
// Zeroed vertex rows that announced but unfilled vertex counts may add, per
// character of the file: enough for any count a real list announces.
constexpr std::size_t kCharsPerZeroedVertex = 4;

enum class Kind { None, Line, Arc, Circle, Polyline };

long double number(std::u16string_view v) { return tryStrToFloat(v).value_or(0.0L); }

// Integer fields are SmallInt: wider values wrap, as the assignment does.
SmallInt smallInt(std::u16string_view v, std::int32_t fallback) {
    return static_cast<SmallInt>(tryStrToInt(v).value_or(fallback));
}

class ItemListReader {
public:
    ItemListReader(DrawingStore& store, BlockItemCounts& counts, std::size_t fileSize)
        : store_(store), counts_(counts), zeroedBudget_(fileSize / kCharsPerZeroedVertex) {}

    void process(int g, std::u16string_view v) {
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
    void startEntity(std::u16string_view v) {
        endVertexRun();  // no later group can reach the rows of the run
        kind_ = Kind::None;
        if (v == u"LINE") {
            ++counts_.lines;
            store_.modelLines.emplace_back();
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

    void lineGroup(int g, std::u16string_view v) {
        TAcadLineBlk& row = store_.modelLines.back();
        switch (g) {
            case 8: row.layer.assign(v); break;
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
    void curveGroup(Curve& row, int g, std::u16string_view v) {
        switch (g) {
            case 8: row.layer.assign(v); break;
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

    void polylineGroup(int g, std::u16string_view v) {
        TLwpBlk& row = store_.modelLwps.back();
        switch (g) {
            case 8: row.layer.assign(v); break;
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

    static double degrees(std::u16string_view v) {
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
    store.modelLines.clear();  // the lines are built as LINE items arrive
}

void normalizeItemLineInto(std::u16string_view line, std::u16string& out) {
    auto withoutFirstAndLast = [](std::u16string_view text) {
        return text.size() <= 2 ? std::u16string_view() : text.substr(1, text.size() - 2);
    };
    if (!line.empty() && line.front() == u'(') line = withoutFirstAndLast(line);
    out.clear();
    constexpr std::u16string_view kItemBreak = u") (";
    std::size_t start = 0;
    for (std::size_t pos; (pos = line.find(kItemBreak, start)) != std::u16string_view::npos;
         start = pos + kItemBreak.size()) {
        out.append(line.substr(start, pos - start));
        out.push_back(u'\t');
    }
    out.append(line.substr(start));
    if (!out.empty() && out.front() == u'(') {
        if (out.size() <= 2) {
            out.clear();
        } else {
            out.pop_back();
            out.erase(0, 1);
        }
    }
}

// Calls fn(group code, value) for each value of a coordinate list; value k
// gets code c + 10 k, or no group code when that leaves 32 bits.
template <class Fn>
void forEachCoordinate(std::u16string_view code, std::u16string_view values, std::u16string& scratch, Fn&& fn) {
    const long long c = tryStrToInt(code).value_or(10);
    long long k = 0;
    forEachDelimitedField(values, u' ', scratch, [&](std::u16string_view value) { fn(c + 10 * k++, value); });
}

// Calls fn(group code, value) for each pair of one item.
template <class Fn>
void forEachItemPair(std::u16string_view item, std::u16string& scratch, Fn&& fn) {
    if (std::size_t dot = item.find(u" . "); dot != std::u16string_view::npos)
        return fn(tryStrToInt(item.substr(0, dot)).value_or(kNotAGroupCode), item.substr(dot + 3));
    if (std::size_t space = item.find(u' '); space != std::u16string_view::npos)
        forEachCoordinate(item.substr(0, space), item.substr(space + 1), scratch, fn);
}

int groupCode(long long code) {
    return code < INT32_MIN || code > INT32_MAX ? kNotAGroupCode : static_cast<int>(code);
}

// One pass over the file: each line is normalised into a reused buffer and
// its fields and items are taken as views of it.
class ItemLineParser {
public:
    ItemLineParser(ItemListReader& reader, BlockItemCounts& counts) : reader_(reader), counts_(counts) {}

    void operator()(std::u16string_view line) {
        ++counts_.items;
        normalizeItemLineInto(line, normalized_);
        forEachDelimitedField(normalized_, u'\t', fieldScratch_, [&](std::u16string_view field) {
            forEachItemPair(field, valueScratch_,
                            [&](long long code, std::u16string_view value) { reader_.process(groupCode(code), value); });
        });
    }

private:
    ItemListReader& reader_;
    BlockItemCounts& counts_;
    std::u16string normalized_, fieldScratch_, valueScratch_;
};

}  // namespace

std::u16string normalizeItemLine(const std::u16string& line) {
    std::u16string out;
    normalizeItemLineInto(line, out);
    return out;
}

std::vector<ItemPair> splitItem(const std::u16string& item) {
    if (std::size_t dot = item.find(u" . "); dot != std::u16string::npos)
        return {ItemPair{item.substr(0, dot), item.substr(dot + 3)}};
    if (std::size_t space = item.find(u' '); space != std::u16string::npos)
        return expandCoordinateList(item.substr(0, space), item.substr(space + 1));
    return {};
}

std::vector<ItemPair> expandCoordinateList(const std::u16string& code, const std::u16string& values) {
    std::vector<ItemPair> pairs;
    std::u16string scratch;
    forEachCoordinate(code, values, scratch, [&](long long c, std::u16string_view value) {
        pairs.emplace_back(utf8ToUtf16(std::to_string(c)), std::u16string(value));
    });
    return pairs;
}

BlockItemCounts readBlockItemBytes(DrawingStore& store, std::string_view bytes) {
    BlockItemCounts counts;
    startRead(store);
    ItemListReader reader(store, counts, bytes.size());
    forEachTextLine(bytes, TextEncoding::Ansi, ItemLineParser(reader, counts));
    reader.finish();
    counts.result = counts.items > 0;
    return counts;
}

BlockItemCounts readBlockItemList(DrawingStore& store, const std::filesystem::path& file) {
    if (!fileExists(file)) {
        startRead(store);
        return {};
    }
    std::optional<std::string> bytes = readWholeFile(file);
    if (!bytes) {
        startRead(store);
        throw FileError("cannot read " + file.string());
    }
    return readBlockItemBytes(store, *bytes);
}

}  // namespace velmora
