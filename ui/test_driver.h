// Drives the controls as a user would, for the window tests: the same calls
// on every backend (QTest on Qt, window messages on Win32), so one set of
// window tests runs on both.
#pragma once

#include <string>

#include "ui/controls.h"

namespace velmora::drive {

enum class Key { Down, Up, Home, End, PageUp, PageDown, Escape, Tab };

void click(TControl& control);  // a button, a check box or an image
void clickItem(TListBox& list, int row);
void doubleClickItem(TListBox& list, int row);
void pressKey(TControl& control, Key key);  // down and up
void keyDown(TControl& control, Key key);   // held down
void typeText(TEdit& edit, const std::u16string& text);
void selectTab(TPageControl& pages, int index);
// The tool's windows lose the activation to another program.
void deactivateApplication();
// The control that has the keyboard focus; nullptr when none of `form` has it.
TControl* focusedControl(TForm& form);

// The width of a control's text in its font and the room the control gives
// it (frame, margins and a check box's box taken off).
struct TextRoom {
    int textWidth = 0;
    int room = 0;
};
TextRoom textRoom(const TControl& control, const std::u16string& text);

}  // namespace velmora::drive

namespace velmora::drive {
// Before the application is made: a toolkit that needs a display draws off
// screen unless the environment names one.
void prepareToolkitForTests();
}  // namespace velmora::drive
