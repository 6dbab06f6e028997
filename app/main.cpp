// Program entry of the tool: the application, its dark look, the one window
// and the message loop.
#include <QApplication>
#include <QMessageBox>

#include "app/Unit73.h"
#include "app/dark_theme.h"
#include "app/translations.h"
#include "platform/locale_numbers.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    velmora::initDecimalSeparatorFromEnvironment();
    velmora::installJapaneseTranslations(application);
    velmora::substituteWindowFont();
    if (!velmora::applyDarkTheme(application))
        QMessageBox::critical(nullptr, QStringLiteral("Velmora"),
                              QStringLiteral("The visual theme \"Windows10 Dark\" cannot be applied."));

    velmora::FormEnvironment environment;
    environment.folders.executable = QCoreApplication::applicationFilePath().toStdString();
    velmora::TForm73 form(std::move(environment));
    form.show();
    return application.exec();
}
