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

// The items the tool reads; the rest, texts above all, are left out so that
// nothing written raw can pose as an item.
bool isReadGroup(int code) {
    switch (code) {
        case 8: case 10: case 11: case 40: case 42: case 50: case 51: case 62: case 70: case 90: return true;
        default: return false;
    }
}

}  // namespace

std::string entityDataList(const SimEntity& entity, char separator) {
    std::string line = "((0 . " + entity.kind() + ")";
    const auto& groups = entity.groups;
    for (std::size_t i = 1; i < groups.size(); ++i) {
        const GroupPair& g = groups[i];
        if (!isReadGroup(g.code)) continue;
        if (isPointStart(g.code)) {
            line += " (" + std::to_string(g.code) + " " + real(g.value, g.code, separator);
            for (int k = 1; k <= 2 && i + 1 < groups.size() && groups[i + 1].code == g.code + 10 * k; ++k)
                line += " " + real(groups[++i].value, g.code, separator);
            line += ")";
            continue;
        }
        line += " (" + std::to_string(g.code) + " . " + valueText(g, separator) + ")";
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
