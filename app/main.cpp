// Program entry of the tool: the application, its dark look, the one window
// and the message loop.
#include "app/Unit73.h"
#include "platform/files.h"
#include "platform/locale_numbers.h"
#include "ui/application.h"

int main(int argc, char* argv[]) {
    velmora::TApplication application(argc, argv);
    velmora::initDecimalSeparatorFromEnvironment();
    const bool themed = application.applyDarkTheme();  // before the window: its controls take the look
    velmora::FormEnvironment environment;
    environment.folders.executable = velmora::executableFile();
    velmora::TForm73 form(std::move(environment));
    if (!themed)
        velmora::MessageBoxDialogs(form).showError(u"The visual theme \"Windows10 Dark\" cannot be applied.");
    form.show();
    return velmora::runMessageLoop();
}
