#include "dxf/dxf_reader.h"

#include <exception>
#include <optional>
#include <unordered_map>

#include "dxf/entity_groups.h"
#include "dxf/line_pairs.h"
#include "dxf/text_escapes.h"
#include "platform/files.h"
#include "platform/locale_numbers.h"
#include "platform/text_fields.h"
#include "platform/text_file.h"
#include "platform/utf.h"

namespace velmora {
namespace {

constexpr int kNotACode = -999;
constexpr SmallInt kByLayer = 256;
constexpr int kProgressMaximum = 50;

enum class Kind { None, Line, Circle, Arc, LwPolyline, Polyline, Text, Insert, Ellipse, Solid, Face, Leader, Spline, Dimension };

// The entity being read: its kind, its space and its row.
struct EntityRef {
    Kind kind = Kind::None;
    bool inBlock = false;
    std::size_t block = 0;  // the blocks row of an INSERT read in a block body
    std::size_t row = 0;
};

// A pair the loop could not process ends the read with a line report.
struct PairFailure {};

int codeNumber(std::u16string_view code) {
    if (!code.empty() && code.size() <= 9) {
        int value = 0;
        bool digits = true;
        for (char16_t c : code) {
            digits = digits && c >= u'0' && c <= u'9';
            if (!digits) break;
            value = value * 10 + (c - u'0');
        }
        if (digits) return value;
    }
    return tryStrToInt(code).value_or(kNotACode);
}

std::u16string number(long long n) { return utf8ToUtf16(std::to_string(n)); }

class DxfReader {
public:
    DxfReader(DrawingStore& store, DxfProgress* progress, std::size_t fileSize)
        : store_(store), progress_(progress), progressStep_(static_cast<long long>(fileSize) * 65 / 1024 / 50 + 1) {}

    // One line of the file; every second line completes a pair.
    void line(std::u16string_view text) {
        if (lines_.take(text)) guardedPair(lines_.value());
    }

    // A code line without its value line at the end pairs with an empty one.
    void finish() {
        if (lines_.finish()) guardedPair(lines_.value());
    }

    const std::u16string& version() const { return version_; }
    long long pairCount() const { return pairCount_; }
    const std::u16string& codeLine() const { return lines_.code(); }
    const std::u16string& valueLine() const { return valueLine_; }

private:
    void guardedPair(std::u16string_view value) {
        try {
            pair(value);
        } catch (const std::exception&) {
            valueLine_.assign(value);
            throw PairFailure{};
        }
    }

    void pair(std::u16string_view value) {
        ++pairCount_;
        if (progress_ && pairCount_ % progressStep_ == 0) progress_->setPosition(progress_->position() + 1);
        const int n = codeNumber(lines_.code());
        const GroupValue v{value};
        header(n, value);
        layerTable(n, v);
        viewTable(n, v);
        if (tableNamePending_ && n == 2) {
            if (value == u"LAYER") inLayerTable_ = true;
            else if (value == u"VIEW") inViewTable_ = true;
        }
        if (n == 0) sectionMarkers(value);
        if (inBlockHeader_ && inBlocks_) blockHeader(n, v);
        if (inBlockBody_ || inEntities_) entities(n, v);
        if (inBlocks_ && n == 0 && value == u"BLOCK") {
            store_.blocks.emplace_back();
            inBlockHeader_ = true;
        }
        if (!inBlocks_ && n == 2 && value == u"BLOCKS") {
            inBlocks_ = true;
            inBlockHeader_ = false;
        } else if (!inEntities_ && n == 2 && value == u"ENTITIES") {
            inEntities_ = true;
        }
    }

    void header(int n, std::u16string_view value) {
        if (n == 2 && value == u"HEADER") inHeader_ = true;
        if (!inHeader_) return;
        if (version_.empty()) {
            if (sawAcadVer_ && n == 1) version_ = value;
            else if (n == 9 && value == u"$ACADVER") sawAcadVer_ = true;
        }
        if (store_.dwgCodePage.empty()) {
            if (sawCodePage_ && n == 3) store_.dwgCodePage = value;
            else if (n == 9 && value == u"$DWGCODEPAGE") sawCodePage_ = true;
        }
    }

    void layerTable(int n, const GroupValue& v) {
        if (!inLayerTable_) return;
        if (inLayerRow_) {
            if (n == 0) inLayerRow_ = false;
            else if (layerRowGroups().apply(n, store_.layers[layerRow_], v)) ++layerEdits_;
        }
        if (n == 0 && v.text == u"ENDTAB") inLayerTable_ = inLayerRow_ = tableNamePending_ = false;
        if (n == 0 && v.text == u"LAYER") {
            layerRow_ = store_.layers.size();
            store_.layers.push_back(newLayerRow());
            inLayerRow_ = true;
            ++layerEdits_;
        }
    }

    void viewTable(int n, const GroupValue& v) {
        if (!inViewTable_) return;
        if (n == 0 && v.text == u"VIEW") {
            store_.views.emplace_back();
            inViewRow_ = true;
        } else if (inViewRow_) {
            viewRowGroups().apply(n, store_.views.back(), v);
        }
    }

    void sectionMarkers(std::u16string_view value) {
        if (value == u"TABLE") {
            tableNamePending_ = true;
        } else if (value == u"ENDBLK") {
            complete(value);
            inBlockBody_ = false;
        } else if (value == u"ENDSEC") {
            complete(value);
            inBlocks_ = inViewRow_ = inBlockBody_ = inEntities_ = false;
        }
    }

    // Between 0 / BLOCK and the next group-0 line, which opens the body.
    void blockHeader(int n, const GroupValue& v) {
        if (n == 0) {
            inBlockHeader_ = false;
            inBlockBody_ = true;
            return;
        }
        blockHeaderGroups().apply(n, store_.blocks.back(), v);
        if (n == 2) currentBlockName_.assign(v.text);
    }

    void entities(int n, const GroupValue& v) {
        if (current_.kind != Kind::None) {
            if (n == 0) complete(v.text);
            else take(n, v);
        }
        if (vertexMode_) polylineVertex(n, v);
        if (n == 0) start(v.text);
    }

    // ---- Entity start ----

    template <class Row>
    std::size_t append(std::vector<Row>& table, Row row) {
        table.push_back(std::move(row));
        return table.size() - 1;
    }

    template <class Row>
    std::size_t appendInSpace(std::vector<Row>& blockTable, std::vector<Row>& modelTable, Row row, bool inBlock) {
        if (!inBlock) return append(modelTable, std::move(row));
        if constexpr (requires { row.bname; }) row.bname = store_.blocks.back().name;
        return append(blockTable, std::move(row));
    }

    void start(std::u16string_view value) {
        DrawingStore& s = store_;
        const bool b = inBlockBody_;
        EntityRef e{Kind::None, b, 0, 0};
        if (value == u"LINE") {
            e = {Kind::Line, b, 0, appendInSpace(s.blockLines, s.modelLines, newLine(), b)};
        } else if (value == u"CIRCLE") {
            e = {Kind::Circle, b, 0, appendInSpace(s.blockCircles, s.modelCircles, newCircle(), b)};
        } else if (value == u"ARC") {
            e = {Kind::Arc, b, 0, appendInSpace(s.blockArcs, s.modelArcs, newArc(), b)};
        } else if (value == u"LWPOLYLINE" || value == u"POLYLINE") {
            std::vector<TLwpBlk>& table = b ? s.blockLwps : s.modelLwps;
            const Kind kind = value == u"POLYLINE" ? Kind::Polyline : Kind::LwPolyline;
            e = {kind, b, 0, appendInSpace(s.blockLwps, s.modelLwps, newPolyline(static_cast<Integer>(table.size())), b)};
            vertexRowValid_ = false;
        } else if (value == u"TEXT" || value == u"ATTRIB" || value == u"MTEXT") {
            TTextBlk row = newText(value == u"MTEXT", value == u"ATTRIB");
            e = {Kind::Text, b, 0, appendInSpace(s.blockTexts, s.modelTexts, std::move(row), b)};
        } else if (value == u"INSERT") {
            TInsertBlk row = newInsert();
            row.dimBlkName = currentBlockName_;
            if (b) {
                const std::size_t block = s.blocks.size() - 1;
                e = {Kind::Insert, true, block, append(s.blocks[block].InsertAry, std::move(row))};
            } else {
                e = {Kind::Insert, false, 0, append(s.modelInserts, std::move(row))};
            }
        } else if (value == u"ELLIPSE") {
            e = {Kind::Ellipse, b, 0, append(b ? s.blockEllipses : s.modelEllipses, newEllipse())};
        } else if (value == u"SOLID") {
            e = {Kind::Solid, b, 0, appendInSpace(s.blockSolids, s.modelSolids, newSolid(), b)};
        } else if (!b && value == u"3DFACE") {
            e = {Kind::Face, false, 0, append(s.faces, newFace())};
        } else if (!b && value == u"LEADER") {
            e = {Kind::Leader, false, 0, append(s.leaders, newLeader())};
            leaderVertex_ = -1;
            leaderVertexOpen_ = false;
        } else if (!b && value == u"SPLINE") {
            e = {Kind::Spline, false, 0, append(s.splines, newSpline())};
        } else if (!b && value == u"DIMENSION") {
            e = {Kind::Dimension, false, 0, append(s.dimensions, newDimension())};
        }
        current_ = e;
    }

    // ---- Groups of the current entity ----

    template <class Row>
    Row& rowOf(std::vector<Row>& blockTable, std::vector<Row>& modelTable) {
        return (current_.inBlock ? blockTable : modelTable)[current_.row];
    }

    void take(int n, const GroupValue& v) {
        DrawingStore& s = store_;
        switch (current_.kind) {
            case Kind::Line: lineGroups().apply(n, rowOf(s.blockLines, s.modelLines), v); break;
            case Kind::Circle: circleGroups().apply(n, rowOf(s.blockCircles, s.modelCircles), v); break;
            case Kind::Arc: arcGroups().apply(n, rowOf(s.blockArcs, s.modelArcs), v); break;
            case Kind::LwPolyline: lightweightPolyline(n, v); break;
            case Kind::Polyline: polylineGroups().apply(n, rowOf(s.blockLwps, s.modelLwps), v); break;
            case Kind::Text: textGroups().apply(n, rowOf(s.blockTexts, s.modelTexts), v); break;
            case Kind::Insert: insertGroups().apply(n, insertRow(), v); break;
            case Kind::Ellipse: ellipseGroups().apply(n, rowOf(s.blockEllipses, s.modelEllipses), v); break;
            case Kind::Solid: solidGroups().apply(n, rowOf(s.blockSolids, s.modelSolids), v); break;
            case Kind::Face: faceGroups().apply(n, s.faces[current_.row], v); break;
            case Kind::Leader: leader(n, v); break;
            case Kind::Spline: splineGroups().apply(n, s.splines[current_.row], v); break;
            case Kind::Dimension: dimensionGroups().apply(n, s.dimensions[current_.row], v); break;
            case Kind::None: break;
        }
    }

    TInsertBlk& insertRow() {
        return current_.inBlock ? store_.blocks[current_.block].InsertAry[current_.row]
                                : store_.modelInserts[current_.row];
    }

    std::vector<TLwpVer>& vertexTable(bool inBlock) {
        return inBlock ? store_.blockLwpVertices : store_.modelLwpVertices;
    }

    // LWPOLYLINE: each group 10 settles the colour and starts a vertex at
    // the elevation; 20 and 42 fill the last one.
    void lightweightPolyline(int n, const GroupValue& v) {
        TLwpBlk& row = rowOf(store_.blockLwps, store_.modelLwps);
        std::vector<TLwpVer>& vertices = vertexTable(current_.inBlock);
        if (n == 10) {
            settleColour(row, current_.inBlock);
            vertices.push_back(TLwpVer{row.ihand, TAcadPoint{v.toExtended(), 0, row.code38}, 0});
            vertexRowValid_ = true;
        } else if (n == 20 || n == 42) {
            if (!vertexRowValid_) return;
            if (n == 20) vertices.back().code10.y = v.toExtended();
            else vertices.back().code42 = v.toDouble();
        } else {
            polylineGroups().apply(n, row, v);
        }
    }

    // POLYLINE in vertex mode: VERTEX entities give the vertices, SEQEND ends.
    void polylineVertex(int n, const GroupValue& v) {
        std::vector<TLwpVer>& vertices = vertexTable(vertexPolyline_.inBlock);
        if (n == 10) {
            const TLwpBlk& polyline = (vertexPolyline_.inBlock ? store_.blockLwps : store_.modelLwps)[vertexPolyline_.row];
            vertices.push_back(TLwpVer{polyline.ihand, TAcadPoint{v.toExtended(), 0, 0}, 0});
            vertexRowValid_ = true;
        } else if ((n == 20 || n == 30 || n == 42) && vertexRowValid_) {
            TLwpVer& vertex = vertices.back();
            if (n == 20) vertex.code10.y = v.toExtended();
            else if (n == 30) vertex.code10.z = v.toExtended();
            else vertex.code42 = v.toDouble();
        } else if (n == 0 && v.text == u"SEQEND") {
            vertexMode_ = false;
        }
    }

    // LEADER: group 76 starts the vertex count; a vertex's group 30 ends it.
    void leader(int n, const GroupValue& v) {
        TLeaderBlk& row = store_.leaders[current_.row];
        if (n == 10 || n == 20 || n == 30) {
            // A vertex ends with its 30; in a file that leaves 30 out (2-D
            // leaders) the next vertex's 10 ends it.
            if (n == 10 && leaderVertexOpen_ && leaderVertex_ >= 0 && leaderVertex_ < 3) ++leaderVertex_;
            if (leaderVertex_ >= 0 && leaderVertex_ < row.code76 && leaderVertex_ < 3) {
                TAcadPoint& p = leaderVertex_ == 0 ? row.p1 : leaderVertex_ == 1 ? row.p2 : row.p3;
                (n == 10 ? p.x : n == 20 ? p.y : p.z) = v.toExtended();
            }
            leaderVertexOpen_ = n != 30;
            if (n == 30 && leaderVertex_ < 3) ++leaderVertex_;
            return;
        }
        leaderGroups().apply(n, row, v);
        if (n == 76) {
            leaderVertex_ = 0;
            leaderVertexOpen_ = false;
        }
    }

    // ---- Entity completion ----

    template <class Row>
    void settleColour(Row& row, bool inBlock) {
        if (row.color == kByLayer) row.color = colourOfLayer(row.layer);
        if (inBlock && (row.layer == u"0" || row.color == 0)) row.color = colourOfLayer(row.layer);
    }

    // layerColor through an index of every name's first row, made anew once
    // the LAYER table has changed (a row appended or a field set), so that
    // entities on many layers do not walk the layer table one by one.
    SmallInt colourOfLayer(const std::u16string& name) {
        if (memoEdits_ != layerEdits_ || !indexed_) {
            firstLayerRow_.clear();
            firstLayerRow_.reserve(store_.layers.size());
            for (std::size_t i = 0; i < store_.layers.size(); ++i) firstLayerRow_.emplace(store_.layers[i].Name, i);
            memoEdits_ = layerEdits_;
            indexed_ = true;
        }
        if (auto it = firstLayerRow_.find(name); it != firstLayerRow_.end()) return store_.layers[it->second].color;
        // Missing: layerColor appends its row, which the index takes as it is.
        firstLayerRow_.emplace(name, store_.layers.size());
        store_.layers.push_back(defaultLayer(name));
        return store_.layers.back().color;
    }

    void complete(std::u16string_view value) {
        DrawingStore& s = store_;
        const bool b = current_.inBlock;
        switch (current_.kind) {
            case Kind::Line: settleColour(rowOf(s.blockLines, s.modelLines), b); break;
            case Kind::Circle: settleColour(rowOf(s.blockCircles, s.modelCircles), b); break;
            case Kind::Arc: settleColour(rowOf(s.blockArcs, s.modelArcs), b); break;
            case Kind::LwPolyline: break;  // settled at its vertices
            case Kind::Polyline:
                settleColour(rowOf(s.blockLwps, s.modelLwps), b);
                if (value == u"VERTEX") {
                    vertexMode_ = true;
                    vertexPolyline_ = current_;
                    vertexRowValid_ = false;
                }
                break;
            case Kind::Text: {
                std::vector<TTextBlk>& table = b ? s.blockTexts : s.modelTexts;
                if (table[current_.row].str.empty()) table.pop_back();  // a text without text is not kept
                else settleColour(table[current_.row], b);
                break;
            }
            case Kind::Insert: settleColour(insertRow(), b); break;
            case Kind::Ellipse: settleColour(rowOf(s.blockEllipses, s.modelEllipses), b); break;
            case Kind::Solid: settleColour(rowOf(s.blockSolids, s.modelSolids), b); break;
            case Kind::Face: settleColour(s.faces[current_.row], b); break;
            case Kind::Leader: settleColour(s.leaders[current_.row], b); break;
            case Kind::Spline: settleColour(s.splines[current_.row], b); break;
            case Kind::Dimension: settleColour(s.dimensions[current_.row], b); break;
            case Kind::None: break;
        }
        current_ = EntityRef{};
    }

    DrawingStore& store_;
    DxfProgress* progress_;
    long long progressStep_;
    long long pairCount_ = 0;
    DxfLinePairs lines_;
    std::u16string valueLine_;  // of a pair that failed

    bool inHeader_ = false, sawAcadVer_ = false, sawCodePage_ = false;
    std::u16string version_;
    bool tableNamePending_ = false, inLayerTable_ = false, inLayerRow_ = false;
    bool inViewTable_ = false, inViewRow_ = false;
    std::size_t layerRow_ = 0;
    bool inBlocks_ = false, inEntities_ = false, inBlockHeader_ = false, inBlockBody_ = false;
    std::u16string currentBlockName_;

    EntityRef current_;
    bool vertexMode_ = false;
    EntityRef vertexPolyline_;
    bool vertexRowValid_ = false;  // the current polyline has a vertex row to fill
    int leaderVertex_ = -1;
    bool leaderVertexOpen_ = false;  // the current leader vertex has a 10 or 20 but no 30 yet

    std::unordered_map<std::u16string, std::size_t> firstLayerRow_;
    unsigned long long layerEdits_ = 0, memoEdits_ = 0;
    bool indexed_ = false;
};

void endRead(DrawingStore& store, std::u16string& version, const std::u16string& collected) {
    if (store.layers.empty()) {
        store.layers.push_back(newLayerRow());
        store.layers.back().Name = u"0";
    }
    if (!store.blockTexts.empty()) decodeBlockTexts(store);
    if (!store.modelTexts.empty()) decodeModelTexts(store);
    version = collected;
}

// A line as a report quotes it: a long one (a whole file of one line, say)
// only by its start.
std::u16string reportedLine(std::u16string_view line) {
    constexpr std::size_t kQuotedLength = 200;
    if (line.size() <= kQuotedLength) return std::u16string(line);
    return std::u16string(line.substr(0, kQuotedLength)) + u"…";
}

std::u16string lineReport(const std::filesystem::path& file, const DxfReader& reader, bool forStatus) {
    const long long codeLine = reader.pairCount() * 2 - 1;
    const std::u16string code = reportedLine(reader.codeLine()), value = reportedLine(reader.valueLine());
    if (forStatus) return number(codeLine) + u":" + code + u"/" + number(codeLine + 1) + u":" + value;
    return utf8ToUtf16(file.filename().string()) + u"\n" + number(codeLine) + u" 行=" + code + u"\n" +
           number(codeLine + 1) + u" 行=" + value;
}

}  // namespace

void readDxfFile(DrawingStore& store, const std::filesystem::path& fileName, DxfProgress* progressBar,
                 DxfMessages* ownerWindow, std::u16string& status, DxfEncoding encoding, std::u16string& version) {
    status.clear();
    store.dwgCodePage.clear();
    clearTables(store);
    std::u16string collected;
    if (!fileExists(fileName)) {
        endRead(store, version, collected);
        return;
    }
    try {
        if (progressBar) {
            progressBar->setPosition(0);
            progressBar->setMaximum(kProgressMaximum);
        }
        std::error_code sizeError;
        const auto size = std::filesystem::file_size(fileName, sizeError);
        DxfReader reader(store, progressBar, sizeError ? 0 : static_cast<std::size_t>(size));
        FileReadFailure failure = FileReadFailure::None;
        try {
            failure = forEachFileText(
                fileName, encoding == DxfEncoding::Utf8 ? TextEncoding::Utf8 : TextEncoding::Ansi,
                [&](std::u16string_view text) { forEachLineIn(text, [&](std::u16string_view line) { reader.line(line); }); },
                ByteOrderMarks::SkipUtf8);
            if (failure == FileReadFailure::None) reader.finish();
        } catch (const PairFailure&) {
            status = lineReport(fileName, reader, true);
            if (ownerWindow) ownerWindow->show(lineReport(fileName, reader, false));
        }
        if (failure == FileReadFailure::Busy || failure == FileReadFailure::InputOutput) {
            status = u"busy";
            if (ownerWindow) ownerWindow->show(std::u16string(kDxfBusyMessage));
        } else if (failure == FileReadFailure::CannotOpen) {
            status = u"error";
            if (ownerWindow) ownerWindow->show(std::u16string(kDxfErrorMessage));
        }
        collected = reader.version();
    } catch (const std::exception&) {
        status = u"error";
        if (ownerWindow) ownerWindow->show(std::u16string(kDxfErrorMessage));
    }
    endRead(store, version, collected);
}

}  // namespace velmora
