// What the window tests share on every toolkit: the application, a tool
// folder in a temporary place (so nothing is written beside the real
// executable) and message boxes answered by the test.
#pragma once

#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/Unit73.h"
#include "ui/dialogs.h"
#include "ui/test_driver.h"

namespace velmora::test {

struct DialogCall {
    enum Kind { Question, Information, Error } kind;
    std::u16string caption;
    std::u16string text;
};

// Records every box; questions take the queued answers, then `defaultAnswer`.
class ScriptedDialogs : public Dialogs {
public:
    struct Log {
        std::vector<DialogCall> calls;
        std::deque<bool> answers;
        bool defaultAnswer = false;
    };
    explicit ScriptedDialogs(std::shared_ptr<Log> log) : log_(std::move(log)) {}
    bool askYesNo(const std::u16string& caption, const std::u16string& text) override;
    void inform(const std::u16string& caption, const std::u16string& text) override;
    void showError(const std::u16string& text) override;

private:
    std::shared_ptr<Log> log_;
};

// A private folder standing for the folder of the executable (its name holds
// Japanese), with the listing script copied into it; removed at the end.
class ToolDir {
public:
    ToolDir();
    ~ToolDir();
    ToolDir(const ToolDir&) = delete;
    ToolDir& operator=(const ToolDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    ToolFolders folders() const { return {path_ / "velmora"}; }

private:
    std::filesystem::path path_;
};

// The platform's window functions, where no window of a host is found unless
// a test starts one (on Linux: a window registry private to `dir`).
std::unique_ptr<WindowFunctions> testWindowFunctions(const ToolDir& dir);

// A window over `dir`, answering its boxes through `log`, finding the host
// with `windows` (null: testWindowFunctions(dir)) and obtaining its
// application through `obtainApplication` (null: the platform's host link).
std::unique_ptr<TForm73> makeForm(const ToolDir& dir, std::shared_ptr<ScriptedDialogs::Log> log,
                                  std::unique_ptr<WindowFunctions> windows = nullptr,
                                  HostLink::ApplicationFactory obtainApplication = {});

std::string readFile(const std::filesystem::path& file);
void touch(const std::filesystem::path& file);
// A 120 x 100 thumbnail in the BMP folder of `dir` with one white pixel at (3, 4).
void writeThumbnail(const ToolDir& dir, const std::u16string& name);

}  // namespace velmora::test
