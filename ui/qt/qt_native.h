// What the Qt backend keeps behind a control: its widget, owned by the
// control. Controls are destroyed before their parents (the form destroys
// them in reverse order of making), so a widget is deleted before the widget
// that holds it.
#pragma once

#include <QFont>
#include <QWidget>
#include <memory>

#include "ui/controls.h"

namespace velmora {

struct TControl::Native {
    explicit Native(QWidget* created) : widget(created) {}
    std::unique_ptr<QWidget> widget;
    template <class T>
    T& as() const {
        return static_cast<T&>(*widget);
    }
};

// The widget a control's children are placed in.
QWidget* containerOf(TControl& control);

// Tahoma for Latin text, the proportional Japanese Gothic for the rest.
QFont windowFont(int points);

// The control behind a widget, when it is one of ours.
TControl* controlOf(const QWidget* widget);

}  // namespace velmora
