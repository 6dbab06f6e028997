#include "host/sim/sim_drawing.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <optional>
#include <set>

#include "platform/text_encoding.h"
#include "platform/utf.h"

namespace velmora::sim {
namespace {

struct RawPair {
    int code = 0;
    std::string value;  // bytes as in the file
    std::size_t line = 0;
};

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> splitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') continue;
        lines.push_back(bytes.substr(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < bytes.size()) lines.push_back(bytes.substr(start));
    return lines;
}

std::vector<RawPair> readPairs(std::string_view bytes) {
    std::vector<std::string_view> lines = splitLines(bytes);
    std::vector<RawPair> pairs;
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
        std::string_view codeText = trim(lines[i]);
        int code = 0;
        auto [end, error] = std::from_chars(codeText.data(), codeText.data() + codeText.size(), code);
        if (error != std::errc() || end != codeText.data() + codeText.size())
            throw DxfLoadError("line " + std::to_string(i + 1) + ": group code expected");
        std::string_view value = lines[i + 1];
        pairs.push_back({code, std::string(value), i + 2});
        if (code == 0 && trim(value) == "EOF") break;
    }
    return pairs;
}

bool isValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        auto c = static_cast<unsigned char>(bytes[i]);
        std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > bytes.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// \U+XXXX escapes as the CAD writes them for characters outside the code page.
std::string resolveUnicodeEscapes(const std::string& text) {
    if (text.find("\\U+") == std::string::npos) return text;
    std::u16string out;
    std::u16string wide = utf8ToUtf16(text);
    for (std::size_t i = 0; i < wide.size(); ++i) {
        if (wide[i] == u'\\' && i + 7 <= wide.size() && wide[i + 1] == u'U' &&
            wide[i + 2] == u'+') {
            int value = 0;
            bool ok = true;
            for (std::size_t k = 3; k < 7 && ok; ++k) {
                int d = wide[i + k] < 128 ? hexDigit(static_cast<char>(wide[i + k])) : -1;
                ok = d >= 0;
                value = value * 16 + d;
            }
            if (ok) {
                out.push_back(static_cast<char16_t>(value));
                i += 6;
                continue;
            }
        }
        out.push_back(wide[i]);
    }
    return utf16ToUtf8(out);
}

std::string toUtf8(const std::string& raw, bool utf8) {
    bool ascii = std::all_of(raw.begin(), raw.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    std::string text = ascii || utf8 ? raw : utf16ToUtf8(decodeText(raw, TextEncoding::Ansi));
    return resolveUnicodeEscapes(text);
}

bool isStructural(int code) { return code == 5 || code == 330 || code == 100 || code == 360 || code == 105; }

class DrawingParser {
public:
    DrawingParser(const std::vector<RawPair>& pairs, bool utf8, SimDrawing& drawing)
        : pairs_(pairs), utf8_(utf8), drawing_(drawing) {}

    void parse() {
        while (pos_ < pairs_.size()) {
            if (isZero("SECTION") && pos_ + 1 < pairs_.size() && pairs_[pos_ + 1].code == 2) {
                std::string name(trim(pairs_[pos_ + 1].value));
                pos_ += 2;
                if (name == "TABLES") parseTables();
                else if (name == "BLOCKS") parseBlocks();
                else if (name == "ENTITIES") entities_ = parseEntities("ENDSEC");
                else skipTo("ENDSEC");
            }
            ++pos_;
        }
    }

    std::vector<SimEntity> takeEntities() { return std::move(entities_); }

private:
    bool isZero(std::string_view value) const {
        return pos_ < pairs_.size() && pairs_[pos_].code == 0 && trim(pairs_[pos_].value) == value;
    }
    void skipTo(std::string_view value) {
        while (pos_ < pairs_.size() && !isZero(value)) ++pos_;
    }
    std::string text(const RawPair& pair) const { return toUtf8(pair.value, utf8_); }

    // The pairs of one record: from pos_ (its group 0) to the next group 0.
    std::vector<GroupPair> record() {
        std::vector<GroupPair> groups;
        groups.push_back({0, std::string(trim(pairs_[pos_].value))});
        ++pos_;
        while (pos_ < pairs_.size() && pairs_[pos_].code != 0) {
            const RawPair& pair = pairs_[pos_];
            if (pair.code == 102) {  // an application group {NAME ... } is not kept
                ++pos_;
                while (pos_ < pairs_.size() && pairs_[pos_].code != 102 && pairs_[pos_].code != 0) ++pos_;
                if (pos_ < pairs_.size() && pairs_[pos_].code == 102) ++pos_;
                continue;
            }
            if (!isStructural(pair.code)) {
                bool isText = (pair.code >= 1 && pair.code <= 9) || pair.code == 999 ||
                              (pair.code >= 300 && pair.code <= 309) || (pair.code >= 1000 && pair.code <= 1009);
                groups.push_back({pair.code, isText ? text(pair) : std::string(trim(pair.value))});
            }
            ++pos_;
        }
        return groups;
    }

    void parseTables() {
        while (pos_ < pairs_.size() && !isZero("ENDSEC")) {
            if (isZero("LAYER")) {
                auto groups = record();
                SimLayer layer;
                layer.handle = drawing_.newHandle();
                for (const auto& g : groups) {
                    if (g.code == 2) layer.name = g.value;
                    else if (g.code == 62) layer.color = std::atoi(g.value.c_str());
                    else if (g.code == 6) layer.linetype = g.value;
                    else if (g.code == 70) layer.flags = std::atoi(g.value.c_str());
                }
                drawing_.layers.push_back(std::move(layer));
                continue;
            }
            ++pos_;
        }
    }

    void parseBlocks() {
        while (pos_ < pairs_.size() && !isZero("ENDSEC")) {
            if (!isZero("BLOCK")) {
                ++pos_;
                continue;
            }
            auto groups = record();
            SimBlock block;
            block.handle = drawing_.newHandle();
            for (const auto& g : groups) {
                if (g.code == 2) block.name = g.value;
                else if (g.code >= 10 && g.code <= 30 && g.code % 10 == 0)
                    block.base[g.code / 10 - 1] = parseReal(g.value);
            }
            block.entities = parseEntities("ENDBLK");
            if (isZero("ENDBLK")) record();
            drawing_.blocks.push_back(std::move(block));
        }
    }

    std::vector<SimEntity> parseEntities(std::string_view end) {
        std::vector<SimEntity> entities;
        while (pos_ < pairs_.size() && !isZero(end) && !isZero("ENDSEC")) {
            if (pairs_[pos_].code != 0) {
                ++pos_;
                continue;
            }
            SimEntity entity;
            entity.handle = drawing_.newHandle();
            entity.groups = record();
            entities.push_back(std::move(entity));
        }
        return entities;
    }

    const std::vector<RawPair>& pairs_;
    bool utf8_;
    SimDrawing& drawing_;
    std::size_t pos_ = 0;
    std::vector<SimEntity> entities_;
};

std::string readFileBytes(const std::filesystem::path& file) {
    std::error_code ec;
    auto size = std::filesystem::file_size(file, ec);
    if (ec) throw DxfLoadError("cannot read " + file.string());
    if (size > kMaxDrawingBytes) throw DxfLoadError(file.string() + " is too large");
    std::ifstream in(file, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        throw DxfLoadError("cannot read " + file.string());
    return bytes;
}

void addMissingDefaults(SimDrawing& drawing) {
    bool hasLayer0 = std::any_of(drawing.layers.begin(), drawing.layers.end(),
                                 [](const SimLayer& l) { return l.name == "0"; });
    if (!hasLayer0) {
        SimLayer zero;
        zero.handle = drawing.newHandle();
        zero.name = "0";
        drawing.layers.insert(drawing.layers.begin(), zero);
    }
    for (const char* space : {"*Paper_Space", "*Model_Space"}) {
        if (drawing.findBlock(space)) continue;
        SimBlock block;
        block.handle = drawing.newHandle();
        block.name = space;
        drawing.blocks.insert(drawing.blocks.begin(), std::move(block));
    }
}

}  // namespace

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 32) : a[i];
        char y = b[i] >= 'a' && b[i] <= 'z' ? static_cast<char>(b[i] - 32) : b[i];
        if (x != y) return false;
    }
    return true;
}

std::string SimEntity::kind() const { return groups.empty() ? std::string() : groups.front().value; }

std::string SimEntity::value(int code, std::string_view fallback) const {
    for (std::size_t i = 1; i < groups.size(); ++i)
        if (groups[i].code == code) return groups[i].value;
    return std::string(fallback);
}

double SimEntity::number(int code, double fallback) const {
    for (std::size_t i = 1; i < groups.size(); ++i)
        if (groups[i].code == code) return parseReal(groups[i].value);
    return fallback;
}

void SimEntity::set(int code, std::string v) {
    for (std::size_t i = 1; i < groups.size(); ++i)
        if (groups[i].code == code) {
            groups[i].value = std::move(v);
            return;
        }
    groups.push_back({code, std::move(v)});
}

SimBlock* SimDrawing::findBlock(std::string_view name) {
    for (auto& block : blocks)
        if (equalsIgnoringAsciiCase(block.name, name)) return &block;
    return nullptr;
}

SimEntity* SimDrawing::findModelEntity(std::int64_t handle) {
    for (auto& entity : modelSpace)
        if (entity.handle == handle) return &entity;
    return nullptr;
}

SimDrawing parseDrawing(std::string_view bytes, std::string fullName) {
    SimDrawing drawing;
    drawing.fullName = std::move(fullName);
    std::vector<RawPair> pairs = readPairs(bytes);
    DrawingParser parser(pairs, isValidUtf8(bytes), drawing);
    parser.parse();
    drawing.modelSpace = parser.takeEntities();
    addMissingDefaults(drawing);
    return drawing;
}

SimDrawing loadDrawing(const std::filesystem::path& file) {
    return parseDrawing(readFileBytes(file), std::filesystem::absolute(file).string());
}

std::vector<SimEntity> loadFileEntities(const std::filesystem::path& file, SimDrawing& into) {
    SimDrawing other = parseDrawing(readFileBytes(file), file.string());
    std::vector<SimEntity> entities = std::move(other.modelSpace);
    for (auto& entity : entities) entity.handle = into.newHandle();
    return entities;
}

}  // namespace velmora::sim
