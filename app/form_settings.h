// The settings file beside the executable (INI format): window position,
// entity limits and the two options of the blocks tab.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "ui/controls.h"

namespace velmora {

struct FormSettings {
    std::optional<int> left;  // missing or not a usable position: centred on the screen
    std::optional<int> top;
    std::u16string maxcnt = u"5000";   // text of Edit3
    std::u16string maxcnt2 = u"5000";  // text of Edit7
    int cntLimit = 5000;               // entCntLimit
    bool checkBox3 = true;
    bool checkBox4 = true;
};

// A missing file, key or unreadable value gives the default; nothing is
// reported. The limits are texts of digits-only fields: a text with anything
// but digits is not valid. An edge beyond any screen coordinate (more than
// 32000 pixels from the origin) is not valid either.
FormSettings loadFormSettings(const std::filesystem::path& iniFile);
// Writes the keys in the order Form/Left, Form/Top, Ent/maxcnt, Ent/maxcnt2,
// Ent/cntLimit, CheckBox3/Checked, CheckBox4/Checked; integers in decimal,
// Booleans as 1 or 0. False when the file cannot be written.
bool saveFormSettings(const std::filesystem::path& iniFile, const FormSettings& settings, Position position);

// The window's position: a missing edge is centred on the screen; a window
// that would stick out past the right or bottom edge is moved back flush with
// it. Positions left of or above the screen are kept (another monitor may be
// there).
Position placeWindow(std::optional<int> left, std::optional<int> top, Extent window, Extent screen);

}  // namespace velmora
