#include "app/form_settings.h"

#include <algorithm>
#include <cstdlib>

#include "platform/ini_file.h"
#include "platform/locale_numbers.h"

namespace velmora {
namespace {

constexpr int kFarthestEdge = 32000;  // window coordinates are 16-bit on some systems

std::optional<int> readInteger(const IniFile& ini, std::u16string_view section, std::u16string_view key) {
    const auto text = ini.value(section, key);
    if (!text) return std::nullopt;
    return tryStrToInt(*text);
}

std::optional<int> readEdge(const IniFile& ini, std::u16string_view key) {
    const auto edge = readInteger(ini, u"Form", key);
    if (!edge || std::abs(static_cast<long long>(*edge)) > kFarthestEdge) return std::nullopt;
    return edge;
}

std::u16string readDigits(const IniFile& ini, std::u16string_view key, const std::u16string& fallback) {
    const auto text = ini.value(u"Ent", key);
    if (!text || !std::all_of(text->begin(), text->end(), [](char16_t c) { return c >= u'0' && c <= u'9'; }))
        return fallback;
    return *text;
}

bool readBool(const IniFile& ini, std::u16string_view section, bool fallback) {
    const auto value = readInteger(ini, section, u"Checked");
    return value ? *value != 0 : fallback;
}

std::u16string decimal(int value) {
    const std::string text = std::to_string(value);
    return std::u16string(text.begin(), text.end());
}

}  // namespace

FormSettings loadFormSettings(const std::filesystem::path& iniFile) {
    const IniFile ini(iniFile);
    FormSettings s;
    s.left = readEdge(ini, u"Left");
    s.top = readEdge(ini, u"Top");
    s.maxcnt = readDigits(ini, u"maxcnt", s.maxcnt);
    s.maxcnt2 = readDigits(ini, u"maxcnt2", s.maxcnt2);
    s.cntLimit = readInteger(ini, u"Ent", u"cntLimit").value_or(s.cntLimit);
    s.checkBox3 = readBool(ini, u"CheckBox3", s.checkBox3);
    s.checkBox4 = readBool(ini, u"CheckBox4", s.checkBox4);
    return s;
}

bool saveFormSettings(const std::filesystem::path& iniFile, const FormSettings& s, Position position) {
    return writeIniValues(iniFile, {{u"Form", u"Left", decimal(position.x)},
                                    {u"Form", u"Top", decimal(position.y)},
                                    {u"Ent", u"maxcnt", s.maxcnt},
                                    {u"Ent", u"maxcnt2", s.maxcnt2},
                                    {u"Ent", u"cntLimit", decimal(s.cntLimit)},
                                    {u"CheckBox3", u"Checked", s.checkBox3 ? u"1" : u"0"},
                                    {u"CheckBox4", u"Checked", s.checkBox4 ? u"1" : u"0"}});
}

Position placeWindow(std::optional<int> left, std::optional<int> top, Extent window, Extent screen) {
    int x = left.value_or((screen.width - window.width) / 2);
    int y = top.value_or((screen.height - window.height) / 2);
    if (x + window.width > screen.width) x = screen.width - window.width;
    if (y + window.height > screen.height) y = screen.height - window.height;
    return {x, y};
}

}  // namespace velmora
