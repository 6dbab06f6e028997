#include "app/translations.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace velmora {

bool installJapaneseTranslations(QApplication& application) {
    // The application owns the translator for its whole life.
    auto* translator = new QTranslator(&application);
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QApplication::installTranslator(translator);
}

}  // namespace velmora
