// The tool's one window: the blocks of the drawing open in the host with their
// thumbnails (first tab) and the library of written block files (second tab).
// Controls keep their designer names; the slots are the handlers.
#pragma once

#include <QString>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "app/dialogs.h"
#include "app/list_box.h"
#include "app/tool_folders.h"
#include "host/host_api.h"
#include "platform/window_functions.h"
#include "store/drawing_store.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTabWidget;

namespace velmora {

class TFileListBox;
class TImage;

// What the window is given from outside: the executable it lives beside (its
// settings, thumbnails and written blocks go there), the window registry the
// host is found in, how the host's application object is obtained once its
// window is found (null: the simulated host's client), and the message boxes
// (null: real ones).
struct FormEnvironment {
    ToolFolders folders;
    std::filesystem::path windowRegistry = defaultWindowRegistry();
    HostLink::ApplicationFactory obtainApplication;
    std::unique_ptr<Dialogs> dialogs;
};

class TForm73 : public QWidget {
    Q_OBJECT
public:
    explicit TForm73(FormEnvironment environment, QWidget* parent = nullptr);
    ~TForm73() override;  // FormDestroy

    // The entity count read back from a count text; limit + 1 when the text
    // holds none.
    static int displayedItemCount(const QString& text, int limit);
    // Previews a DXF file into `img`; for now it always draws the failure cross.
    void drawDxfImage(const QString& dxfName, TImage* img);

    const ToolFolders& folders() const { return folders_; }
    DrawingStore& store() { return store_; }

    // Controls.
    QProgressBar* ProgressBar1;
    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QPushButton* Button2;
    TListBox* ListBox1;
    QLabel* Label1;
    QLineEdit* Edit3;
    QCheckBox* CheckBox3;
    QCheckBox* CheckBox4;
    TImage* Image1;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QLabel* Label2;
    QPushButton* Button3;
    QPushButton* Button4;
    QPushButton* Button5;
    QPushButton* Button1;
    QPushButton* Button6;
    QLabel* Label4;
    QLineEdit* Edit4;
    TFileListBox* FileListBox1;
    QLabel* Label3;
    QLineEdit* Edit7;
    TImage* Image2;
    QLineEdit* Edit5;
    QLineEdit* Edit6;
    QPushButton* Button7;

    // Fields.
    bool runFlag = false;
    int entCntLimit = 5000;
    double previewWidth = 0;
    double previewHeight = 0;
    TAcadPoint previewCenter;
    double previewFillRatio = 0;
    int previewColorMode = 0;

public slots:
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

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
    void insertIntoHost(const std::optional<std::u16string>& name, const QString& countText,
                        const QLineEdit* limitEdit);
    // The selected block's name; nullopt when nothing is selected.
    std::optional<std::u16string> selectedBlockName() const;
    // Shows why a block name cannot become a file name; true when it can.
    bool acceptBlockFileName(const std::u16string& name, const char* extension);
    void setProgress(int position);
    void restoreWindowState();

    ToolFolders folders_;
    std::unique_ptr<Dialogs> dialogs_;
    RegistryWindowFunctions windows_;
    HostLink link_;
    DrawingStore store_;
    bool escapeDown_ = false;
};

}  // namespace velmora
