// What the window tests share: the application on the offscreen platform, a
// tool folder in a temporary place (so nothing is written beside the real
// executable), and message boxes answered by the test.
#pragma once

#include <QApplication>
#include <QString>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/Unit73.h"
#include "app/dialogs.h"

namespace velmora::test {

// The application main() made, on the offscreen platform unless the
// environment names another.
QApplication& testApplication();

struct DialogCall {
    enum Kind { Question, Information, Error } kind;
    QString caption;
    QString text;
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
    bool askYesNo(const QString& caption, const QString& text) override;
    void inform(const QString& caption, const QString& text) override;
    void showError(const QString& text) override;

private:
    std::shared_ptr<Log> log_;
};

// A private folder standing for the folder of the executable, with the
// listing script copied into it; removed at the end.
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

// A window over `dir`, answering its boxes through `log`, finding the host in
// `registry` and obtaining its application through `obtainApplication` (null:
// the simulated host's client).
std::unique_ptr<TForm73> makeForm(const ToolDir& dir, std::shared_ptr<ScriptedDialogs::Log> log,
                                  const std::filesystem::path& registry,
                                  HostLink::ApplicationFactory obtainApplication = {});

std::string readFile(const std::filesystem::path& file);

}  // namespace velmora::test
