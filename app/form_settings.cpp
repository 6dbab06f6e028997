#include "app/form_settings.h"

#include <QSettings>

#include "platform/locale_numbers.h"

namespace velmora {
namespace {

// The text of a key, or nullopt when it is missing.
std::optional<QString> readText(const QSettings& ini, const QString& key) {
    const QVariant value = ini.value(key);
    if (!value.isValid()) return std::nullopt;
    // A value with commas reads as a list; keep it as the text it was.
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

std::optional<int> readInteger(const QSettings& ini, const QString& key) {
    const auto text = readText(ini, key);
    if (!text) return std::nullopt;
    return tryStrToInt(text->toStdU16String());
}

bool readBool(const QSettings& ini, const QString& key, bool fallback) {
    const auto value = readInteger(ini, key);
    return value ? *value != 0 : fallback;
}

}  // namespace

FormSettings loadFormSettings(const QString& iniFile) {
    const QSettings ini(iniFile, QSettings::IniFormat);
    FormSettings s;
    s.left = readInteger(ini, QStringLiteral("Form/Left"));
    s.top = readInteger(ini, QStringLiteral("Form/Top"));
    s.maxcnt = readText(ini, QStringLiteral("Ent/maxcnt")).value_or(s.maxcnt);
    s.maxcnt2 = readText(ini, QStringLiteral("Ent/maxcnt2")).value_or(s.maxcnt2);
    s.cntLimit = readInteger(ini, QStringLiteral("Ent/cntLimit")).value_or(s.cntLimit);
    s.checkBox3 = readBool(ini, QStringLiteral("CheckBox3/Checked"), s.checkBox3);
    s.checkBox4 = readBool(ini, QStringLiteral("CheckBox4/Checked"), s.checkBox4);
    return s;
}

void saveFormSettings(const QString& iniFile, const FormSettings& s, QPoint position) {
    QSettings ini(iniFile, QSettings::IniFormat);
    ini.setValue(QStringLiteral("Form/Left"), position.x());
    ini.setValue(QStringLiteral("Form/Top"), position.y());
    ini.setValue(QStringLiteral("Ent/maxcnt"), s.maxcnt);
    ini.setValue(QStringLiteral("Ent/maxcnt2"), s.maxcnt2);
    ini.setValue(QStringLiteral("Ent/cntLimit"), s.cntLimit);
    ini.setValue(QStringLiteral("CheckBox3/Checked"), s.checkBox3 ? 1 : 0);
    ini.setValue(QStringLiteral("CheckBox4/Checked"), s.checkBox4 ? 1 : 0);
    ini.sync();
}

QPoint placeWindow(std::optional<int> left, std::optional<int> top, QSize window, QSize screen) {
    int x = left.value_or((screen.width() - window.width()) / 2);
    int y = top.value_or((screen.height() - window.height()) / 2);
    if (x + window.width() > screen.width()) x = screen.width() - window.width();
    if (y + window.height() > screen.height()) y = screen.height() - window.height();
    return {x, y};
}

}  // namespace velmora
