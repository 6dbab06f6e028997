// Writing the simulated host's drawing as ASCII DXF (AC1015).
#include <charconv>
#include <cstdio>
#include <map>
#include <set>

#include "host/sim/sim_drawing.h"
#include "platform/text_encoding.h"
#include "platform/utf.h"

namespace velmora::sim {
namespace {

bool isTextCode(int code) {
    return (code >= 1 && code <= 9) || (code >= 300 && code <= 309) || (code >= 1000 && code <= 1009) || code == 999;
}

// Code page 932 bytes; characters it cannot hold become \U+XXXX.
std::string encodeText(const std::string& utf8) {
    bool ascii = true;
    for (char c : utf8) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return utf8;
    std::string out;
    for (char16_t c : utf8ToUtf16(utf8)) {
        std::u16string one(1, c);
        std::string bytes = c < 0x80 ? std::string(1, static_cast<char>(c)) : encodeAnsi(one);
        if (bytes == "?" && c != u'?') {
            char escape[16];
            std::snprintf(escape, sizeof escape, "\\U+%04X", static_cast<unsigned>(c));
            bytes = escape;
        }
        out += bytes;
    }
    return out;
}

// Where the subclass markers go: the groups of an entity before its second
// marker, for the kinds that have two.
struct Subclasses {
    const char* first;
    const char* second = nullptr;
    std::set<int> secondCodes;
};

Subclasses subclassesOf(const std::string& kind) {
    if (kind == "LINE") return {"AcDbLine", nullptr, {}};
    if (kind == "CIRCLE") return {"AcDbCircle", nullptr, {}};
    if (kind == "ARC") return {"AcDbCircle", "AcDbArc", {50, 51}};
    if (kind == "LWPOLYLINE") return {"AcDbPolyline", nullptr, {}};
    if (kind == "TEXT") return {"AcDbText", "AcDbText", {73}};
    if (kind == "ATTDEF") return {"AcDbText", "AcDbAttributeDefinition", {2, 3, 70, 73, 74, 280}};
    if (kind == "INSERT") return {"AcDbBlockReference", nullptr, {}};
    if (kind == "POINT") return {"AcDbPoint", nullptr, {}};
    if (kind == "ELLIPSE") return {"AcDbEllipse", nullptr, {}};
    return {nullptr, nullptr, {}};
}

bool isCommonEntityCode(int code) {
    return code == 8 || code == 6 || code == 62 || code == 67 || code == 370 || code == 48 || code == 60;
}

class DxfWriter {
public:
    explicit DxfWriter(const SimDrawing& drawing) : drawing_(drawing) {}

    std::string write() {
        reserveHandles();
        header();
        pair(0, "SECTION"), pair(2, "CLASSES"), pair(0, "ENDSEC");
        tables();
        blocks();
        pair(0, "SECTION"), pair(2, "ENTITIES");
        for (const auto& entity : drawing_.modelSpace) writeEntity(entity, modelRecord_, false);
        pair(0, "ENDSEC");
        objects();
        pair(0, "EOF");
        return std::move(out_);
    }

private:
    std::string hex(std::int64_t handle) {
        char text[24];
        std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(handle));
        return text;
    }
    std::int64_t take() { return next_++; }
    void pair(int code, const std::string& value) {
        out_ += std::to_string(code);
        out_ += "\r\n";
        out_ += isTextCode(code) ? encodeText(value) : value;
        out_ += "\r\n";
    }
    void handle(int code, std::int64_t h) { pair(code, hex(h)); }

    void reserveHandles() {
        // Fixed objects first; the block records get theirs in drawing order.
        rootDictionary_ = take();
        groupDictionary_ = take();
        for (const auto& block : drawing_.blocks) {
            std::int64_t record = take();
            blockRecords_[block.name] = record;
            if (block.name == "*Model_Space") modelRecord_ = record;
        }
    }

    void header() {
        pair(0, "SECTION"), pair(2, "HEADER");
        pair(9, "$ACADVER"), pair(1, "AC1015");
        pair(9, "$DWGCODEPAGE"), pair(3, "ANSI_932");
        pair(9, "$INSBASE"), pair(10, "0.0"), pair(20, "0.0"), pair(30, "0.0");
        pair(9, "$HANDSEED"), pair(5, hex(0xFFFFF));
        pair(0, "ENDSEC");
    }

    void tableStart(const char* name, std::int64_t h, std::size_t count) {
        pair(0, "TABLE"), pair(2, name), handle(5, h), pair(330, "0");
        pair(100, "AcDbSymbolTable"), pair(70, std::to_string(count));
    }
    void recordStart(const char* kind, std::int64_t owner, const char* subclass, int handleCode = 5) {
        pair(0, kind), handle(handleCode, take()), handle(330, owner);
        pair(100, "AcDbSymbolTableRecord"), pair(100, subclass);
    }

    void tables() {
        pair(0, "SECTION"), pair(2, "TABLES");
        std::int64_t t = take();
        tableStart("VPORT", t, 1);
        recordStart("VPORT", t, "AcDbViewportTableRecord");
        pair(2, "*Active"), pair(70, "0");
        pair(10, "0.0"), pair(20, "0.0"), pair(11, "1.0"), pair(21, "1.0"), pair(12, "0.0"), pair(22, "0.0");
        pair(13, "0.0"), pair(23, "0.0"), pair(14, "10.0"), pair(24, "10.0"), pair(15, "10.0"), pair(25, "10.0");
        pair(16, "0.0"), pair(26, "0.0"), pair(36, "1.0"), pair(17, "0.0"), pair(27, "0.0"), pair(37, "0.0");
        pair(40, "100.0"), pair(41, "1.2"), pair(42, "50.0"), pair(43, "0.0"), pair(44, "0.0");
        pair(50, "0.0"), pair(51, "0.0"), pair(71, "0"), pair(72, "100"), pair(73, "1"), pair(74, "3");
        pair(75, "0"), pair(76, "0"), pair(77, "0"), pair(78, "0");
        pair(0, "ENDTAB");

        t = take();
        std::set<std::string> linetypes = {"Continuous"};
        for (const auto& layer : drawing_.layers) linetypes.insert(layer.linetype);
        tableStart("LTYPE", t, linetypes.size() + 2);
        for (const char* name : {"ByBlock", "ByLayer"}) {
            recordStart("LTYPE", t, "AcDbLinetypeTableRecord");
            pair(2, name), pair(70, "0"), pair(3, ""), pair(72, "65"), pair(73, "0"), pair(40, "0.0");
        }
        for (const auto& name : linetypes) {
            recordStart("LTYPE", t, "AcDbLinetypeTableRecord");
            pair(2, name), pair(70, "0"), pair(3, name == "Continuous" ? "Solid line" : "");
            pair(72, "65"), pair(73, "0"), pair(40, "0.0");
        }
        pair(0, "ENDTAB");

        t = take();
        tableStart("LAYER", t, drawing_.layers.size());
        for (const auto& layer : drawing_.layers) {
            recordStart("LAYER", t, "AcDbLayerTableRecord");
            pair(2, layer.name), pair(70, std::to_string(layer.flags)), pair(62, std::to_string(layer.color));
            pair(6, layer.linetype), pair(370, "-3");
        }
        pair(0, "ENDTAB");

        t = take();
        tableStart("STYLE", t, 1);
        recordStart("STYLE", t, "AcDbTextStyleTableRecord");
        pair(2, "Standard"), pair(70, "0"), pair(40, "0.0"), pair(41, "1.0"), pair(50, "0.0"), pair(71, "0");
        pair(42, "2.5"), pair(3, "txt"), pair(4, "");
        pair(0, "ENDTAB");

        for (const char* name : {"VIEW", "UCS"}) {
            tableStart(name, take(), 0);
            pair(0, "ENDTAB");
        }

        t = take();
        tableStart("APPID", t, 1);
        recordStart("APPID", t, "AcDbRegAppTableRecord");
        pair(2, "ACAD"), pair(70, "0");
        pair(0, "ENDTAB");

        t = take();
        tableStart("DIMSTYLE", t, 1);
        pair(100, "AcDbDimStyleTable");
        recordStart("DIMSTYLE", t, "AcDbDimStyleTableRecord", 105);
        pair(2, "Standard"), pair(70, "0");
        pair(0, "ENDTAB");

        t = take();
        tableStart("BLOCK_RECORD", t, drawing_.blocks.size());
        for (const auto& block : drawing_.blocks) {
            pair(0, "BLOCK_RECORD"), handle(5, blockRecords_[block.name]), handle(330, t);
            pair(100, "AcDbSymbolTableRecord"), pair(100, "AcDbBlockTableRecord"), pair(2, block.name);
        }
        pair(0, "ENDTAB");
        pair(0, "ENDSEC");
    }

    void blocks() {
        pair(0, "SECTION"), pair(2, "BLOCKS");
        for (const auto& block : drawing_.blocks) {
            std::int64_t record = blockRecords_[block.name];
            bool paper = block.name == "*Paper_Space";
            pair(0, "BLOCK"), handle(5, take()), handle(330, record), pair(100, "AcDbEntity");
            if (paper) pair(67, "1");
            pair(8, "0"), pair(100, "AcDbBlockBegin"), pair(2, block.name);
            pair(70, block.name.starts_with("*") && !block.name.starts_with("*Model") && !paper ? "1" : "0");
            pair(10, formatReal(block.base[0])), pair(20, formatReal(block.base[1])), pair(30, formatReal(block.base[2]));
            pair(3, block.name), pair(1, "");
            if (block.name != "*Model_Space")
                for (const auto& entity : block.entities) writeEntity(entity, record, paper);
            pair(0, "ENDBLK"), handle(5, take()), handle(330, record), pair(100, "AcDbEntity");
            if (paper) pair(67, "1");
            pair(8, "0"), pair(100, "AcDbBlockEnd");
        }
        pair(0, "ENDSEC");
    }

    void writeEntity(const SimEntity& entity, std::int64_t owner, bool paper) {
        std::string kind = entity.kind();
        pair(0, kind), handle(5, take()), handle(330, owner), pair(100, "AcDbEntity");
        if (paper) pair(67, "1");
        bool hasLayer = false;
        for (std::size_t i = 1; i < entity.groups.size(); ++i) {
            const GroupPair& g = entity.groups[i];
            if (!isCommonEntityCode(g.code) || (paper && g.code == 67)) continue;
            pair(g.code, g.value);
            hasLayer = hasLayer || g.code == 8;
        }
        if (!hasLayer) pair(8, "0");
        Subclasses sub = subclassesOf(kind);
        if (sub.first) pair(100, sub.first);
        for (int part = 0; part < 2; ++part) {
            if (part == 1) {
                if (!sub.second) break;
                pair(100, sub.second);
            }
            for (std::size_t i = 1; i < entity.groups.size(); ++i) {
                const GroupPair& g = entity.groups[i];
                if (isCommonEntityCode(g.code)) continue;
                bool inSecond = sub.second && sub.secondCodes.count(g.code);
                if (inSecond == (part == 1)) pair(g.code, g.value);
            }
        }
    }

    void objects() {
        pair(0, "SECTION"), pair(2, "OBJECTS");
        pair(0, "DICTIONARY"), handle(5, rootDictionary_), pair(330, "0"), pair(100, "AcDbDictionary");
        pair(281, "1"), pair(3, "ACAD_GROUP"), handle(350, groupDictionary_);
        pair(0, "DICTIONARY"), handle(5, groupDictionary_), handle(330, rootDictionary_);
        pair(100, "AcDbDictionary"), pair(281, "1");
        pair(0, "ENDSEC");
    }

    const SimDrawing& drawing_;
    std::string out_;
    std::int64_t next_ = 0x10;
    std::int64_t rootDictionary_ = 0;
    std::int64_t groupDictionary_ = 0;
    std::int64_t modelRecord_ = 0;
    std::map<std::string, std::int64_t> blockRecords_;
};

void collectBlocks(const SimDrawing& source, const SimEntity& entity, std::set<std::string>& names,
                   std::vector<const SimBlock*>& order, int depth) {
    if (entity.kind() != "INSERT" || depth > 64) return;
    std::string name = entity.value(2);
    auto* block = const_cast<SimDrawing&>(source).findBlock(name);
    if (!block || !names.insert(block->name).second) return;
    for (const auto& inner : block->entities) collectBlocks(source, inner, names, order, depth + 1);
    order.push_back(block);
}

}  // namespace

double parseReal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) ++i;
    if (i < text.size() && text[i] == '+') ++i;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data() + i, text.data() + text.size(), value);
    (void)end;
    return error == std::errc() ? value : 0;
}

std::string formatReal(double value) {
    char text[64];
    auto [end, error] = std::to_chars(text, text + sizeof text, value);
    std::string result(text, error == std::errc() ? end : text);
    if (result.find_first_of(".eEn") == std::string::npos) result += ".0";
    return result;
}

SimDrawing extractDrawing(const SimDrawing& source, const std::vector<const SimEntity*>& entities) {
    SimDrawing out;
    std::set<std::string> layerNames = {"0"};
    std::set<std::string> blockNames;
    std::vector<const SimBlock*> blocks;
    for (const SimEntity* entity : entities) {
        out.modelSpace.push_back(*entity);
        collectBlocks(source, *entity, blockNames, blocks, 0);
    }
    for (const SimBlock* block : blocks) out.blocks.push_back(*block);
    SimBlock model, paper;
    model.name = "*Model_Space";
    paper.name = "*Paper_Space";
    out.blocks.insert(out.blocks.begin(), {model, paper});
    auto addLayers = [&](const std::vector<SimEntity>& list) {
        for (const auto& e : list) layerNames.insert(e.value(8, "0"));
    };
    addLayers(out.modelSpace);
    for (const auto& block : out.blocks) addLayers(block.entities);
    for (const auto& layer : source.layers)
        if (layerNames.count(layer.name)) out.layers.push_back(layer);
    if (out.layers.empty() || out.layers.front().name != "0") {
        bool hasZero = false;
        for (const auto& layer : out.layers) hasZero = hasZero || layer.name == "0";
        if (!hasZero) out.layers.insert(out.layers.begin(), SimLayer{0, "0"});
    }
    return out;
}

std::string writeDxf(const SimDrawing& drawing) { return DxfWriter(drawing).write(); }

}  // namespace velmora::sim
