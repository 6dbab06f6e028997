// The dark look of the tool ("Windows10 Dark"): the Fusion style with a dark
// palette.
#pragma once

class QApplication;

namespace velmora {

// False when the style is not available; the standard look stays then.
bool applyDarkTheme(QApplication& application);

}  // namespace velmora
