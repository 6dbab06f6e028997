#include "app/dark_theme.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QPalette>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleFactory>

namespace velmora {

namespace {

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

}  // namespace

bool applyDarkTheme(QApplication& application) {
    QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"));
    if (!fusion) return false;
    application.setStyle(new WindowStyle(fusion));  // the application owns the style

    const QColor window(43, 43, 43), base(30, 30, 30), text(240, 240, 240), disabled(128, 128, 128);
    const QColor button(51, 51, 51), highlight(0, 120, 215);
    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, disabled);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::red);
    p.setColor(QPalette::Link, highlight);
    p.setColor(QPalette::Highlight, highlight);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Light, QColor(70, 70, 70));
    p.setColor(QPalette::Midlight, QColor(60, 60, 60));
    p.setColor(QPalette::Mid, QColor(40, 40, 40));
    p.setColor(QPalette::Dark, QColor(25, 25, 25));
    p.setColor(QPalette::Shadow, Qt::black);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    application.setPalette(p);
    return true;
}

void substituteWindowFont() {
    for (const char* file : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"})
        QFontDatabase::addApplicationFont(QString::fromLatin1(file));
    QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("DejaVu Sans Condensed")});
}

QFont windowFont(int points) {
    QFont font(QStringLiteral("Tahoma"), points);
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("IPAPGothic")});
    return font;
}

}  // namespace velmora
