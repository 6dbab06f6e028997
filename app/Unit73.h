// The tool's one window: the blocks of the drawing open in the host with their
// thumbnails (first tab) and the library of written block files (second tab).
// Controls keep their designer names; the handlers keep theirs. It speaks
// only to the control layer of ui/, so the same window runs on every toolkit.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/tool_folders.h"
#include "host/host_api.h"
#include "store/drawing_store.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/toolkit_window_functions.h"

namespace velmora {

// What the window is given from outside: the executable it lives beside (its
// settings, thumbnails and written blocks go there), the window functions the
// host is found with (null: the platform's), how the host's application object
// is obtained once its window is found (null: the platform's host link), and
// the message boxes (null: real ones).
struct FormEnvironment {
    ToolFolders folders;
    std::unique_ptr<WindowFunctions> windows;
    HostLink::ApplicationFactory obtainApplication;
    std::unique_ptr<Dialogs> dialogs;
};

class TForm73 : public TForm {
public:
    explicit TForm73(FormEnvironment environment);
    ~TForm73() override;  // FormDestroy

    // The entity count read back from a count text; limit + 1 when the text
    // holds none.
    static int displayedItemCount(const std::u16string& text, int limit);
    // Previews an ASCII DXF file into `img`: the drawing fitted into it, or
    // the failure cross when the file cannot be read.
    void drawDxfImage(const std::filesystem::path& dxfName, TImage* img);

    const ToolFolders& folders() const { return folders_; }
    DrawingStore& store() { return store_; }

    // Controls, owned by the form.
    TProgressBar* ProgressBar1;
    TPageControl* PageControl1;
    TTabSheet* TabSheet1;
    TTabSheet* TabSheet2;
    TButton* Button2;
    TListBox* ListBox1;
    TLabel* Label1;
    TEdit* Edit3;
    TCheckBox* CheckBox3;
    TCheckBox* CheckBox4;
    TImage* Image1;
    TEdit* Edit1;
    TEdit* Edit2;
    TLabel* Label2;
    TButton* Button3;
    TButton* Button4;
    TButton* Button5;
    TButton* Button1;
    TButton* Button6;
    TLabel* Label4;
    TEdit* Edit4;
    TFileListBox* FileListBox1;
    TLabel* Label3;
    TEdit* Edit7;
    TImage* Image2;
    TEdit* Edit5;
    TEdit* Edit6;
    TButton* Button7;

    // Fields.
    bool runFlag = false;
    int entCntLimit = 5000;
    double previewWidth = 0;
    double previewHeight = 0;
    TAcadPoint previewCenter;
    double previewFillRatio = 0;
    int previewColorMode = 0;

    // Handlers.
    void FormCreate();
    void FormDestroy();
    void Button2Click();
    void ListBox1Click();
    void Button4Click();
    void Button5Click();
    void Button1Click();
    void Button6Click();
    void Button3Click();
    void PageControl1Change();
    void Edit4Change();
    void FileListBox1Click();
    void Button7Click();

private:
    void buildBlocksTab();
    void buildLibraryTab();
    void connectHandlers();
    // Runs `action`; a failure it raises reaches the standard error box.
    void reportFailures(const std::function<void()>& action);
    // The thumbnail of the selected block; failures propagate.
    // With mayAskHost false a missing thumbnail is not made (no listing run).
    void showSelectedThumbnail(bool mayAskHost = true);
    // True while a handler talks to the host: its waits process window
    // events, and a click that would start a second host action inside the
    // first is ignored then.
    bool hostActionRunning_ = false;
    class HostAction;
    void generateThumbnail(const std::u16string& name, const std::filesystem::path& bmpFile);
    // Inserts `name` (nullopt: nothing selected, only the window is restored).
    void insertIntoHost(const std::optional<std::u16string>& name, const std::u16string& countText,
                        const TEdit* limitEdit);
    // The selected block's name; nullopt when nothing is selected.
    std::optional<std::u16string> selectedBlockName() const;
    // Shows why a block name cannot become a file name; true when it can.
    bool acceptBlockFileName(const std::u16string& name, const char* extension);
    void setProgress(int position);

    ToolFolders folders_;
    std::unique_ptr<Dialogs> dialogs_;
    ToolkitWindowFunctions windows_;
    HostLink link_;
    DrawingStore store_;
};

}  // namespace velmora
