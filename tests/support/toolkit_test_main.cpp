// The entry of the tests that make windows: the toolkit's application, with
// the look of the real window, made before any window and ended after the last.
#include <gtest/gtest.h>

#include "ui/application.h"
#include "ui/test_driver.h"

// The application lives in main so that it ends before the test library's
// own static objects do.
int main(int argc, char** argv) {
    velmora::drive::prepareToolkitForTests();
    velmora::TApplication application(argc, argv);
    application.applyDarkTheme();  // the fonts and look of the real window
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
