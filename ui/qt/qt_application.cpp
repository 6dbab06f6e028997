// The Qt application: translations, fonts, the dark look, the message pump,
// the Escape key's state and the message boxes.
#include <QApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPalette>
#include <QPointer>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleFactory>
#include <QTranslator>

#include "ui/application.h"
#include "ui/dialogs.h"
#include "ui/qt/qt_native.h"
#include "ui/theme.h"

namespace velmora {
namespace {

QString qs(const std::u16string& text) { return QString::fromStdU16String(text); }
QColor qc(ThemeColor c) { return QColor(c.red, c.green, c.blue); }

// Fusion with the check box indicator and spacing of the classic controls the
// window was laid out for, so a label fills its box as designed.
class WindowStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        switch (metric) {
            case PM_IndicatorWidth:
            case PM_IndicatorHeight:
                return 13;
            case PM_CheckBoxLabelSpacing:
                return 3;
            default:
                break;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// Follows the Escape key across the application; a key released while
// another program is active never reaches it, so losing the activation
// counts as a release.
class EscapeWatcher : public QObject {
public:
    using QObject::QObject;
    bool down = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape && !key->isAutoRepeat()) down = event->type() == QEvent::KeyPress;
        } else if (event->type() == QEvent::ApplicationDeactivate ||
                   (event->type() == QEvent::ApplicationStateChange &&
                    static_cast<QApplicationStateChangeEvent*>(event)->applicationState() != Qt::ApplicationActive)) {
            down = false;
        }
        return QObject::eventFilter(watched, event);
    }
};

QPointer<EscapeWatcher>& escapeWatcher() {
    static QPointer<EscapeWatcher> watcher;
    return watcher;
}

bool installJapaneseTranslations(QApplication& application) {
    auto translator = std::make_unique<QTranslator>(&application);
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QApplication::installTranslator(translator.release());  // the application owns it
}

// The window is designed in Tahoma: the Tahoma-metric face of the Wine fonts
// is loaded when installed; where no Tahoma is found, a proportional Japanese
// Gothic of similar width stands in (before any wide fallback).
void substituteWindowFont() {
    for (const char* file : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"})
        QFontDatabase::addApplicationFont(QString::fromLatin1(file));
    QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("DejaVu Sans Condensed")});
}

}  // namespace

struct TApplication::Native {
    Native(int& argc, char** argv) : application(argc, argv) {}
    QApplication application;
};

TApplication::TApplication(int& argc, char** argv) : native_(std::make_unique<Native>(argc, argv)) {
    installJapaneseTranslations(native_->application);
    substituteWindowFont();
    auto* watcher = new EscapeWatcher(&native_->application);  // owned by the application
    native_->application.installEventFilter(watcher);
    escapeWatcher() = watcher;
}

TApplication::~TApplication() = default;

bool TApplication::applyDarkTheme() {
    QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"));
    if (!fusion) return false;
    QApplication::setStyle(new WindowStyle(fusion));  // the application owns the style

    const ThemeColors& t = kDarkTheme;
    QPalette p;
    p.setColor(QPalette::Window, qc(t.window));
    p.setColor(QPalette::WindowText, qc(t.text));
    p.setColor(QPalette::Base, qc(t.base));
    p.setColor(QPalette::AlternateBase, qc(t.window));
    p.setColor(QPalette::ToolTipBase, qc(t.base));
    p.setColor(QPalette::ToolTipText, qc(t.text));
    p.setColor(QPalette::PlaceholderText, qc(t.disabledText));
    p.setColor(QPalette::Text, qc(t.text));
    p.setColor(QPalette::Button, qc(t.button));
    p.setColor(QPalette::ButtonText, qc(t.text));
    p.setColor(QPalette::BrightText, Qt::red);
    p.setColor(QPalette::Link, qc(t.highlight));
    p.setColor(QPalette::Highlight, qc(t.highlight));
    p.setColor(QPalette::HighlightedText, qc(t.highlightedText));
    p.setColor(QPalette::Light, qc(t.light));
    p.setColor(QPalette::Midlight, qc(t.midlight));
    p.setColor(QPalette::Mid, qc(t.mid));
    p.setColor(QPalette::Dark, qc(t.dark));
    p.setColor(QPalette::Shadow, qc(t.shadow));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, qc(t.disabledText));
    QApplication::setPalette(p);
    return true;
}

void processMessages() { QCoreApplication::processEvents(); }
int runMessageLoop() { return QApplication::exec(); }
bool escapeKeyDown() { return escapeWatcher() && escapeWatcher()->down; }

Extent primaryScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    return {screen->geometry().width(), screen->geometry().height()};
}

int compareIgnoringCase(const std::u16string& a, const std::u16string& b) {
    return QString::compare(qs(a), qs(b), Qt::CaseInsensitive);
}

bool MessageBoxDialogs::askYesNo(const std::u16string& caption, const std::u16string& text) {
    return QMessageBox::question(containerOf(owner_), qs(caption), qs(text), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

void MessageBoxDialogs::inform(const std::u16string& caption, const std::u16string& text) {
    QMessageBox::information(containerOf(owner_), qs(caption), qs(text), QMessageBox::Ok);
}

void MessageBoxDialogs::showError(const std::u16string& text) {
    QMessageBox::critical(containerOf(owner_), QApplication::applicationDisplayName(), qs(text), QMessageBox::Ok);
}

}  // namespace velmora
