#include "host/sim/sim_item_list.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>

namespace velmora::sim {
namespace {

enum class GroupType { Text, Real, Integer };

GroupType groupType(int code) {
    if ((code >= 10 && code <= 59) || (code >= 110 && code <= 149) || (code >= 210 && code <= 239) ||
        (code >= 460 && code <= 469) || (code >= 1010 && code <= 1059))
        return GroupType::Real;
    if ((code >= 60 && code <= 99) || (code >= 160 && code <= 179) || (code >= 270 && code <= 299) ||
        (code >= 370 && code <= 389) || (code >= 400 && code <= 409) || (code >= 420 && code <= 429) ||
        (code >= 440 && code <= 459) || (code >= 1060 && code <= 1071))
        return GroupType::Integer;
    return GroupType::Text;
}

bool isAngle(int code) { return code >= 50 && code <= 58; }
bool isPointStart(int code) { return (code >= 10 && code <= 18) || (code >= 1010 && code <= 1018); }

std::string real(const std::string& text, int code, char separator) {
    double value = parseReal(text);
    if (isAngle(code)) value = value * std::numbers::pi / 180.0;
    std::string formatted = formatReal(value);
    if (separator != '.')
        for (char& c : formatted)
            if (c == '.') c = separator;
    return formatted;
}

std::string valueText(const GroupPair& g, char separator) {
    switch (groupType(g.code)) {
        case GroupType::Real: return real(g.value, g.code, separator);
        case GroupType::Integer: return std::to_string(std::atoll(g.value.c_str()));
        case GroupType::Text: break;
    }
    return g.value;
}

bool hasExtrusion(const std::string& kind) {
    return kind == "LINE" || kind == "ARC" || kind == "CIRCLE" || kind == "LWPOLYLINE" || kind == "TEXT" ||
           kind == "ATTDEF" || kind == "INSERT";
}

}  // namespace

std::string entityDataList(const SimEntity& entity, char separator) {
    char name[64];
    std::snprintf(name, sizeof name, "(-1 . <Entity name: %llx>)", 0x7ff700000000ull + static_cast<unsigned long long>(entity.handle));
    std::string line = "(";
    line += name;
    line += " (0 . " + entity.kind() + ")";
    std::snprintf(name, sizeof name, " (5 . %llX)", static_cast<unsigned long long>(entity.handle));
    line += name;
    bool extrusion = false;
    const auto& groups = entity.groups;
    for (std::size_t i = 1; i < groups.size(); ++i) {
        const GroupPair& g = groups[i];
        if (isPointStart(g.code)) {
            line += " (" + std::to_string(g.code) + " " + real(g.value, g.code, separator);
            for (int k = 1; k <= 2 && i + 1 < groups.size() && groups[i + 1].code == g.code + 10 * k; ++k)
                line += " " + real(groups[++i].value, g.code, separator);
            line += ")";
            continue;
        }
        if (g.code == 210) {
            extrusion = true;
            line += " (210 " + real(g.value, 210, separator);
            for (int k = 1; k <= 2 && i + 1 < groups.size() && groups[i + 1].code == 210 + 10 * k; ++k)
                line += " " + real(groups[++i].value, 210, separator);
            line += ")";
            continue;
        }
        line += " (" + std::to_string(g.code) + " . " + valueText(g, separator) + ")";
    }
    if (!extrusion && hasExtrusion(entity.kind())) {
        std::string zero = real("0", 210, separator), one = real("1", 210, separator);
        line += " (210 " + zero + " " + zero + " " + one + ")";
    }
    line += ")";
    return line;
}

std::string blockItemListFile(const SimBlock& block, char separator) {
    std::string file = "\xEF\xBB\xBF";
    for (const auto& entity : block.entities) {
        file += entityDataList(entity, separator);
        file += "\r\n";
    }
    return file;
}

}  // namespace velmora::sim
