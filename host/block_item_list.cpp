#include "host/block_item_list.h"
#include "host/item_line_scan.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <new>
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

// Item text comes as UTF-16 or, from pure ASCII blocks, as bytes that are
// the same code units; the reader takes either view.
template <class View>
long double number(View v) {
    return tryStrToFloat(v).value_or(0.0L);
}

// Hexadecimal, blanks and junk go to the platform's conversion; kept out of
// line so the common case below stays a small leaf its callers inline.
template <class View>
[[gnu::noinline]] std::optional<std::int32_t> unusualIntegerValue(View text) {
    return tryStrToInt(std::u16string(text.begin(), text.end()));
}

// An integer's text: the common plain digits directly, the rest by the
// platform's conversion.
template <class View>
inline std::optional<std::int32_t> integerValue(View text) {
    const std::size_t first = !text.empty() && text[0] == '-' ? 1 : 0;
    const std::size_t length = text.size() - first;
    if (length >= 1 && length <= 9) [[likely]] {
        std::int32_t value = 0;
        std::size_t i = first;
        for (; i < text.size(); ++i) {
            const unsigned d = static_cast<unsigned>(text[i]) - '0';
            if (d > 9) break;
            value = value * 10 + static_cast<std::int32_t>(d);
        }
        if (i == text.size()) [[likely]] return first ? -value : value;
    }
    return unusualIntegerValue(text);
}

// The first `c` at or after `from`, or npos; memchr for bytes.
template <class View>
std::size_t findUnit(View text, typename View::value_type c, std::size_t from = 0) {
    using Traits = typename View::traits_type;
    if (from >= text.size()) return View::npos;
    const auto* hit = Traits::find(text.data() + from, text.size() - from, c);
    return hit ? static_cast<std::size_t>(hit - text.data()) : View::npos;
}

// Integer fields are SmallInt: wider values wrap, as the assignment does.
template <class View>
SmallInt smallInt(View v, std::int32_t fallback) {
    return static_cast<SmallInt>(integerValue(v).value_or(fallback));
}

template <class View>
bool isKind(View v, std::string_view kind) {
    return std::equal(v.begin(), v.end(), kind.begin(), kind.end());
}

template <class View>
void assignText(std::u16string& field, View v) {
    field.assign(v.begin(), v.end());
}

class ItemListReader {
public:
    ItemListReader(DrawingStore& store, BlockItemCounts& counts, std::size_t fileSize)
        : store_(store), counts_(counts), zeroedBudget_(fileSize / kCharsPerZeroedVertex), fileSize_(fileSize) {}

    template <class View>
    void process(int g, View v) {
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

    // Once the first part of a large file is read, sizes the tables for the
    // whole file from the rows that part gave, with a tenth to spare, so
    // they seldom move again. Capacity never written stays untouched memory.
    void noteBytesRead(std::size_t bytes) {
        bytesRead_ += bytes;
        if (sized_ || fileSize_ < kSizingMinimumBytes || bytesRead_ < fileSize_ / kSizingShare) return;
        sized_ = true;
        const double scale = 1.1 * static_cast<double>(fileSize_) / static_cast<double>(bytesRead_);
        auto size = [&](auto& table, std::size_t fromFile) {
            try {
                table.reserve(table.size() + static_cast<std::size_t>(fromFile * (scale - 1)) + 16);
            } catch (const std::bad_alloc&) {
                // Only a hint: the table grows as it would have.
            }
        };
        size(store_.modelLines, store_.modelLines.size());
        size(store_.modelArcs, store_.modelArcs.size());
        size(store_.modelCircles, store_.modelCircles.size());
        size(store_.modelLwps, store_.modelLwps.size());
        // Zeroed rows of announced but absent vertices say nothing of the rest.
        size(store_.modelLwpVertices, store_.modelLwpVertices.size() - zeroedRows_);
    }

private:
    template <class View>
    void startEntity(View v) {
        endVertexRun();  // no later group can reach the rows of the run
        kind_ = Kind::None;
        if (isKind(v, "LINE")) {
            ++counts_.lines;
            store_.modelLines.emplace_back();
            kind_ = Kind::Line;
        } else if (isKind(v, "ARC")) {
            ++counts_.arcs;
            store_.modelArcs.emplace_back();
            kind_ = Kind::Arc;
        } else if (isKind(v, "CIRCLE")) {
            ++counts_.circles;
            store_.modelCircles.emplace_back();
            kind_ = Kind::Circle;
        } else if (isKind(v, "ATTDEF")) {
            ++counts_.attributes;
        } else if (isKind(v, "LWPOLYLINE")) {
            ++counts_.polylines;
            store_.modelLwps.emplace_back().ihand = counts_.polylines - 1;
            kind_ = Kind::Polyline;
        }
    }

    template <class View>
    void lineGroup(int g, View v) {
        TAcadLineBlk& row = store_.modelLines.back();
        switch (g) {
            case 8: assignText(row.layer, v); break;
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
    template <class Curve, class View>
    void curveGroup(Curve& row, int g, View v) {
        switch (g) {
            case 8: assignText(row.layer, v); break;
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

    template <class View>
    void polylineGroup(int g, View v) {
        TLwpBlk& row = store_.modelLwps.back();
        switch (g) {
            case 8: assignText(row.layer, v); break;
            case 62: row.color = smallInt(v, 7); break;
            case 70: row.code70 = smallInt(v, 0); break;
            case 90: beginVertexRun(integerValue(v).value_or(0)); break;
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
            zeroedRows_ += zeroed;
            appendVertexRows(zeroed);
        }
        runBegin_ = store_.modelLwpVertices.size();
        runLength_ = 0;
    }

    void appendVertexRows(std::size_t n) {
        std::vector<TLwpVer>& vertices = store_.modelLwpVertices;
        for (std::size_t i = 0; i < n; ++i) vertices.emplace_back().ihand = runIhand_;
    }

    // The vertex row at cursor - 1, when it is a row of the current run.
    TLwpVer* vertexAtCursor() {
        if (cursor_ == 0 || cursor_ - 1 < runBegin_ || cursor_ - 1 >= store_.modelLwpVertices.size())
            return nullptr;
        return &store_.modelLwpVertices[cursor_ - 1];
    }

    template <class View>
    static double degrees(View v) {
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
    static constexpr std::size_t kSizingMinimumBytes = 1 << 20, kSizingShare = 32;
    std::size_t fileSize_;
    std::size_t bytesRead_ = 0;
    std::size_t zeroedRows_ = 0;
    bool sized_ = false;
};

void startRead(DrawingStore& store) {
    store.modelCircles.clear();
    store.modelArcs.clear();
    store.modelLwps.clear();
    store.modelLwpVertices.clear();
    store.modelLines.clear();  // the lines are built as LINE items arrive
}

template <class CharT>
void normalizeItemLineInto(std::basic_string_view<CharT> line, std::basic_string<CharT>& out) {
    if (!line.empty() && line.front() == '(') line = line.size() <= 2 ? line.substr(0, 0) : line.substr(1, line.size() - 2);
    // ") (" becomes a TAB.
    out.clear();
    std::size_t start = 0;
    for (std::size_t i = line.find(')'); i < line.size(); i = line.find(')', i + 1)) {
        if (i + 2 < line.size() && line[i + 1] == ' ' && line[i + 2] == '(') {
            out.append(line.substr(start, i - start));
            out.push_back('\t');
            start = i + 3;
            i += 2;
        }
    }
    out.append(line.substr(start));
    if (!out.empty() && out.front() == '(') {
        if (out.size() <= 2) {
            out.clear();
        } else {
            out.pop_back();
            out.erase(0, 1);
        }
    }
}

// Calls fn(group code, value) for each value of a coordinate list; value k
// gets code c + 10 k.
template <class CharT, class Fn>
void forEachCoordinate(std::basic_string_view<CharT> code, std::basic_string_view<CharT> values,
                       std::basic_string<CharT>& scratch, Fn&& fn) {
    const long long c = integerValue(code).value_or(10);
    long long k = 0;
    forEachDelimitedField<CharT>(values, ' ', scratch,
                                 [&](std::basic_string_view<CharT> value) { fn(c + 10 * k++, value); });
}

// Calls fn(group code, value) for each pair of one item: a dotted pair at
// the first " . ", else a coordinate list after the first space. The spaces
// are found once; a long list or a quoted value takes the general split.
// `nextSpace(from)` gives the item's first space at or after `from`, or npos.
template <class CharT, class NextSpace, class Fn>
void forEachItemPair(std::basic_string_view<CharT> item, std::basic_string<CharT>& scratch, NextSpace&& nextSpace,
                     Fn&& fn) {
    using View = std::basic_string_view<CharT>;
    constexpr std::size_t kMaxSpaces = 16;
    std::size_t spaces[kMaxSpaces];
    std::size_t count = 0;
    bool simple = true;
    for (std::size_t i = nextSpace(0); i != View::npos; i = nextSpace(i + 1)) {
        if (i + 2 < item.size() && item[i + 1] == '.' && item[i + 2] == ' ')
            return fn(integerValue(item.substr(0, i)).value_or(kNotAGroupCode), item.substr(i + 3));
        if (count < kMaxSpaces) spaces[count++] = i;
        else simple = false;
        if (i + 1 < item.size() && item[i + 1] == '"') simple = false;
    }
    if (count == 0) return;
    View values = item.substr(spaces[0] + 1);
    if (!simple) return forEachCoordinate(item.substr(0, spaces[0]), values, scratch, fn);
    if (values.empty()) return;
    const long long c = integerValue(item.substr(0, spaces[0])).value_or(10);
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t end = k + 1 < count ? spaces[k + 1] : item.size();
        fn(c + 10 * static_cast<long long>(k), item.substr(spaces[k] + 1, end - spaces[k] - 1));
    }
}

// A code that leaves 32 bits is no group code.
int groupCode(long long code) {
    return code < INT32_MIN || code > INT32_MAX ? kNotAGroupCode : static_cast<int>(code);
}

// One line: normalised into a reused buffer, its fields and items taken as
// views of it.
template <class CharT>
class ItemLineParser {
public:
    using View = std::basic_string_view<CharT>;
    ItemLineParser(ItemListReader& reader, BlockItemCounts& counts) : reader_(reader), counts_(counts) {}

    void operator()(View line) {
        ++counts_.items;
        reader_.noteBytesRead(line.size() * sizeof(CharT) + 1);
        if (plainFields(line)) return;
        normalizeItemLineInto(line, normalized_);
        forEachDelimitedField<CharT>(normalized_, '\t', fieldScratch_, [&](View field) { readField(field); });
    }

private:
    void readField(View field) {
        forEachItemPair(
            field, valueScratch_, [&](std::size_t from) { return findUnit(field, CharT(' '), from); },
            [&](long long code, View value) { reader_.process(groupCode(code), value); });
    }

    // A field of the mapped line, at `offset` in it.
    void readMappedField(View field, std::size_t offset) {
        forEachItemPair(
            field, valueScratch_,
            [&](std::size_t from) {
                const std::size_t at = scan_.nextSpace(offset + from, offset + field.size());
                return at == View::npos ? at : at - offset;
            },
            [&](long long code, View value) { reader_.process(groupCode(code), value); });
    }

    // Finds the quotes, TABs and the next ')' of `t`: mapped at once for a
    // line of bytes, searched for otherwise.
    bool mapLine(View t) {
        if constexpr (std::is_same_v<CharT, char>) return scan_.map(t);
        return findUnit(t, CharT('"')) == View::npos && findUnit(t, CharT('\t')) == View::npos;
    }
    std::size_t nextClose(View t, std::size_t from) {
        if constexpr (std::is_same_v<CharT, char>) return scan_.nextClose(from, t.size());
        return findUnit(t, CharT(')'), from);
    }

    // The common line, without quotation marks or TABs: its fields are the
    // pieces between ") (" inside the outer parentheses, read in place with
    // the same result as normalising and splitting. False leaves the line to
    // that general way (a line ending in ") (" inside its second pair).
    bool plainFields(View line) {
        View t = line;
        if (!t.empty() && t.front() == '(') t = t.size() <= 2 ? View() : t.substr(1, t.size() - 2);
        if (t.size() != line.size() && (line.back() == '"' || line.back() == '\t')) return false;  // stripped off

        if (!mapLine(t)) return false;
        pieces_.clear();
        std::size_t start = 0;
        for (std::size_t i = nextClose(t, 0); i != View::npos; i = nextClose(t, i + 1)) {
            if (i + 2 < t.size() && t[i + 1] == ' ' && t[i + 2] == '(') {
                pieces_.emplace_back(start, i);
                start = i + 3;
                i += 2;
            }
        }
        pieces_.emplace_back(start, t.size());
        const std::size_t normalizedSize = t.size() - 2 * (pieces_.size() - 1);
        if (!t.empty() && t.front() == '(') {  // a second pair of parentheses around the items
            if (normalizedSize <= 2) return true;
            if (pieces_.back().first == pieces_.back().second) return false;
            ++pieces_.front().first;
            --pieces_.back().second;
        } else if (normalizedSize == 0) {
            return true;
        }
        for (const auto& [first, last] : pieces_) {
            if constexpr (std::is_same_v<CharT, char>) readMappedField(t.substr(first, last - first), first);
            else readField(t.substr(first, last - first));
        }
        return true;
    }

    ItemLineScan scan_;

    std::vector<std::pair<std::size_t, std::size_t>> pieces_;  // [first, last) of each field

    ItemListReader& reader_;
    BlockItemCounts& counts_;
    std::basic_string<CharT> normalized_, fieldScratch_, valueScratch_;
};

}  // namespace

std::u16string normalizeItemLine(const std::u16string& line) {
    std::u16string out;
    normalizeItemLineInto(std::u16string_view(line), out);
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
    forEachCoordinate<char16_t>(code, values, scratch, [&](long long c, std::u16string_view value) {
        pairs.emplace_back(utf8ToUtf16(std::to_string(c)), std::u16string(value));
    });
    return pairs;
}

BlockItemCounts readBlockItemBytes(DrawingStore& store, std::string_view bytes) {
    BlockItemCounts counts;
    startRead(store);
    ItemListReader reader(store, counts, bytes.size());
    forEachTextLine(bytes, TextEncoding::Ansi, ItemLineParser<char>(reader, counts),
                    ItemLineParser<char16_t>(reader, counts));
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
        throw FileError("cannot read " + utf16ToUtf8(file.u16string()));
    }
    return readBlockItemBytes(store, *bytes);
}

}  // namespace velmora
