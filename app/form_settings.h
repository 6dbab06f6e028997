// The settings file beside the executable (INI format): window position,
// entity limits and the two options of the blocks tab.
#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <optional>

namespace velmora {

struct FormSettings {
    std::optional<int> left;  // missing or not an integer: centred on the screen
    std::optional<int> top;
    QString maxcnt = QStringLiteral("5000");   // text of Edit3
    QString maxcnt2 = QStringLiteral("5000");  // text of Edit7
    int cntLimit = 5000;                       // entCntLimit
    bool checkBox3 = true;
    bool checkBox4 = true;
};

// A missing file, key or unreadable value gives the default; nothing is reported.
FormSettings loadFormSettings(const QString& iniFile);
// Writes the keys in the order Form/Left, Form/Top, Ent/maxcnt, Ent/maxcnt2,
// Ent/cntLimit, CheckBox3/Checked, CheckBox4/Checked; integers in decimal,
// Booleans as 1 or 0.
void saveFormSettings(const QString& iniFile, const FormSettings& settings, QPoint position);

// The window's position: a missing edge is centred on the screen; a window
// that would stick out past the right or bottom edge is moved back flush with
// it. Positions left of or above the screen are kept.
QPoint placeWindow(std::optional<int> left, std::optional<int> top, QSize window, QSize screen);

}  // namespace velmora
