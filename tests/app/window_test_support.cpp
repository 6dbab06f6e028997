#include "window_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

#include "render/bmp_file.h"

namespace velmora::test {
namespace fs = std::filesystem;

bool ScriptedDialogs::askYesNo(const std::u16string& caption, const std::u16string& text) {
    log_->calls.push_back({DialogCall::Question, caption, text});
    if (log_->answers.empty()) return log_->defaultAnswer;
    const bool answer = log_->answers.front();
    log_->answers.pop_front();
    return answer;
}

void ScriptedDialogs::inform(const std::u16string& caption, const std::u16string& text) {
    log_->calls.push_back({DialogCall::Information, caption, text});
}

void ScriptedDialogs::showError(const std::u16string& text) { log_->calls.push_back({DialogCall::Error, {}, text}); }

ToolDir::ToolDir() {
    std::random_device random;
    // A Japanese folder name, so every path the window makes must keep it whole.
    const std::string digits = std::to_string(random());
    path_ = fs::temp_directory_path() / (u"velmora-ツール-" + std::u16string(digits.begin(), digits.end()));
    fs::create_directories(path_);
    const fs::path script = fs::path(VELMORA_BIN_DIR) / "Velmora.lsp";
    if (fs::exists(script)) fs::copy_file(script, path_ / "Velmora.lsp");
}

ToolDir::~ToolDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::unique_ptr<TForm73> makeForm(const ToolDir& dir, std::shared_ptr<ScriptedDialogs::Log> log,
                                  std::unique_ptr<WindowFunctions> windows,
                                  HostLink::ApplicationFactory obtainApplication) {
    FormEnvironment environment;
    environment.folders = dir.folders();
    environment.windows = windows ? std::move(windows) : testWindowFunctions(dir);
    environment.obtainApplication = std::move(obtainApplication);
    environment.dialogs = std::make_unique<ScriptedDialogs>(std::move(log));
    return std::make_unique<TForm73>(std::move(environment));
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void touch(const fs::path& file) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "x";
}

void writeThumbnail(const ToolDir& dir, const std::u16string& name) {
    Canvas canvas(120, 100);
    canvas.setPixel(3, 4, 0xFFFFFF);
    fs::create_directories(dir.folders().bmpFolder());
    saveBmpFile(canvas, dir.folders().bmpFolder() / (name + u".bmp"));
}

}  // namespace velmora::test

