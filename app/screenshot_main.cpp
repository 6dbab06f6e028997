// velmora-screenshot OUT.png: drives the tool's window the way a user would
// on a running host (get the blocks, make all thumbnails, write a few blocks
// into the DWG folder, look at the library tab) and writes both tabs side by
// side into a PNG. It lives beside velmora and uses its folder, so what it
// makes is what velmora shows afterwards.
#include <cstdio>
#include <vector>

#include "app/Unit73.h"
#include "app/block_file_names.h"
#include "platform/files.h"
#include "platform/locale_numbers.h"
#include "platform/utf.h"
#include "render/bmp_file.h"
#include "ui/application.h"
#include "ui/screenshot.h"

namespace {

using namespace velmora;

// Answers every question with Yes and prints what the window says.
class AnsweringDialogs : public Dialogs {
public:
    bool askYesNo(const std::u16string& caption, const std::u16string& text) override {
        std::fprintf(stderr, "[%s] %s -> Yes\n", utf16ToUtf8(caption).c_str(), utf16ToUtf8(text).c_str());
        return true;
    }
    void inform(const std::u16string& caption, const std::u16string& text) override {
        std::fprintf(stderr, "[%s] %s\n", utf16ToUtf8(caption).c_str(), utf16ToUtf8(text).c_str());
    }
    void showError(const std::u16string& text) override {
        std::fprintf(stderr, "error: %s\n", utf16ToUtf8(text).c_str());
    }
};

// Every block's stored thumbnail, in list order.
std::vector<NamedThumbnail> storedThumbnails(const TForm73& form) {
    std::vector<NamedThumbnail> thumbnails;
    for (int row = 0; row < form.ListBox1->count(); ++row) {
        const std::u16string name = form.ListBox1->item(row);
        if (!blockFileNameProblem(name, ".bmp").empty()) continue;
        try {
            thumbnails.push_back({name, loadBmpFile(blockFilePath(form.folders().bmpFolder(), name, ".bmp"))});
        } catch (const std::exception&) {
            // no thumbnail kept for this block
        }
    }
    return thumbnails;
}

int run(const std::filesystem::path& out) {
    FormEnvironment environment;
    environment.folders.executable = executableFile().parent_path() / "velmora";
    environment.dialogs = std::make_unique<AnsweringDialogs>();
    TForm73 form(std::move(environment));
    form.show();
    processMessages();

    form.Button2Click();
    const int blocks = form.ListBox1->count();
    if (blocks == 0) {
        std::fputs("velmora-screenshot: no host window \"nanoCAD 5\" answered; start velmora-hostsim first\n", stderr);
        return 1;
    }
    form.Button4Click();
    for (int row = 0; row < blocks && row < 3; ++row) {
        form.ListBox1->setItemIndex(row);
        form.ListBox1Click();
        form.Button6Click();
    }
    form.ListBox1->setItemIndex(blocks > 1 ? 1 : 0);
    form.ListBox1Click();
    processMessages();
    std::vector<FormPicture> tabs;
    tabs.push_back(grabForm(form));

    form.PageControl1->setActivePageIndex(1);
    if (form.FileListBox1->count() > 0) {
        form.FileListBox1->setItemIndex(0);
        form.FileListBox1Click();
    }
    processMessages();
    tabs.push_back(grabForm(form));

    if (!writeScreenshotSheet(tabs, form.caption(), storedThumbnails(form), out)) {
        std::fprintf(stderr, "velmora-screenshot: cannot write %s\n", out.string().c_str());
        return 1;
    }
    std::printf("%d blocks listed, thumbnails in %s, written blocks in %s\n", blocks,
                form.folders().bmpFolder().string().c_str(), form.folders().dwgFolder().string().c_str());
    std::printf("screenshot: %s\n", out.string().c_str());
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    TApplication application(argc, argv);
    if (argc != 2) {
        std::fputs("usage: velmora-screenshot OUT.png\n", stderr);
        return 2;
    }
    initDecimalSeparatorFromEnvironment();
    application.applyDarkTheme();
    return run(pathFromUtf8(argv[1]));
}
