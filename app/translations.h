// The texts Qt itself shows (the standard buttons of message boxes: はい,
// いいえ, OK) in Japanese, as on the users' systems.
#pragma once

#include <QApplication>

namespace velmora {

// Loads Qt's own Japanese translation (qtbase_ja.qm) into the application;
// false when it is not installed, and the buttons stay in English.
bool installJapaneseTranslations(QApplication& application);

}  // namespace velmora
