#include "window_test_support.h"

#include "app/dark_theme.h"
#include "app/translations.h"

#include <QtGlobal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <fstream>
#include <iterator>
#include <random>

namespace velmora::test {
namespace fs = std::filesystem;

QApplication& testApplication() {
    auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!application) std::abort();  // main() below makes it
    return *application;
}

bool ScriptedDialogs::askYesNo(const QString& caption, const QString& text) {
    log_->calls.push_back({DialogCall::Question, caption, text});
    if (log_->answers.empty()) return log_->defaultAnswer;
    const bool answer = log_->answers.front();
    log_->answers.pop_front();
    return answer;
}

void ScriptedDialogs::inform(const QString& caption, const QString& text) {
    log_->calls.push_back({DialogCall::Information, caption, text});
}

void ScriptedDialogs::showError(const QString& text) { log_->calls.push_back({DialogCall::Error, {}, text}); }

ToolDir::ToolDir() {
    std::random_device random;
    path_ = fs::temp_directory_path() / ("velmora-app-" + std::to_string(random()));
    fs::create_directories(path_);
    const fs::path script = fs::path(VELMORA_BIN_DIR) / "Velmora.lsp";
    if (fs::exists(script)) fs::copy_file(script, path_ / "Velmora.lsp");
}

ToolDir::~ToolDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::unique_ptr<TForm73> makeForm(const ToolDir& dir, std::shared_ptr<ScriptedDialogs::Log> log,
                                  const fs::path& registry, HostLink::ApplicationFactory obtainApplication) {
    testApplication();
    FormEnvironment environment;
    environment.folders = dir.folders();
    environment.windowRegistry = registry;
    environment.obtainApplication = std::move(obtainApplication);
    environment.dialogs = std::make_unique<ScriptedDialogs>(std::move(log));
    return std::make_unique<TForm73>(std::move(environment));
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace velmora::test

// The application lives in main so that it ends before the test library's
// own static objects do.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    velmora::installJapaneseTranslations(application);
    velmora::substituteWindowFont();  // the fonts and look of the real window
    velmora::applyDarkTheme(application);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
