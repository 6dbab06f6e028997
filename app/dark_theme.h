// The dark look of the tool ("Windows10 Dark"): the Fusion style with a dark
// palette.
#pragma once

class QApplication;
class QFont;

namespace velmora {

// False when the style is not available; the standard look stays then.
bool applyDarkTheme(QApplication& application);

// The window is designed in Tahoma: the Tahoma-metric face of the Wine fonts
// is loaded when installed; where no Tahoma is found, a proportional Japanese
// Gothic of similar width stands in (before any wide fallback).
void substituteWindowFont();

// Tahoma for Latin text, the proportional Japanese Gothic for the rest.
QFont windowFont(int points);

}  // namespace velmora
