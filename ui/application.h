// The toolkit's application: made once by the program entry before any
// window, it sets up the toolkit (on Windows the common controls and COM's
// single-threaded apartment of the window thread) and applies the look.
#pragma once

#include <memory>

namespace velmora {

class TApplication {
public:
    TApplication(int& argc, char** argv);
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // The dark theme; false (and the standard look stays) when it cannot
    // be applied.
    bool applyDarkTheme();

    struct Native;

private:
    std::unique_ptr<Native> native_;
};

}  // namespace velmora
