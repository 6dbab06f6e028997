// The dark look of the tool ("Windows10 Dark"): the Fusion style with a dark
// palette.
#pragma once

class QApplication;

namespace velmora {

// False when the style is not available; the standard look stays then.
bool applyDarkTheme(QApplication& application);

// The window is designed in Tahoma; where it is missing, a proportional
// Japanese Gothic of similar width stands in (before any wide fallback).
void substituteWindowFont();

}  // namespace velmora
