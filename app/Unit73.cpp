#include "app/Unit73.h"

#include <algorithm>
#include <system_error>

#include "app/block_file_names.h"
#include "app/form_settings.h"
#include "app/side_file.h"
#include "dxf/dxf_preview.h"
#include "host/block_item_list.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/locale_numbers.h"
#include "platform/text_fields.h"
#include "platform/utf.h"
#include "render/bmp_file.h"
#include "render/renderer.h"
#include "render/thumbnail.h"
#include "tools/block_thumbnail.h"

namespace velmora {
namespace fs = std::filesystem;
namespace {

// ProgressBar1 as the DXF reader's progress bar.
class WindowDxfProgress : public DxfProgress {
public:
    explicit WindowDxfProgress(TProgressBar& bar) : bar_(bar) {}
    void setMaximum(int maximum) override { bar_.setMaximum(maximum); }
    void setPosition(int position) override { bar_.setPosition(position); }
    int position() const override { return bar_.position(); }

private:
    TProgressBar& bar_;
};

// The reader's message boxes, captioned "DxfReport".
class WindowDxfMessages : public DxfMessages {
public:
    explicit WindowDxfMessages(Dialogs& dialogs) : dialogs_(dialogs) {}
    void show(const std::u16string& text) override { dialogs_.inform(u"DxfReport", text); }

private:
    Dialogs& dialogs_;
};

const std::u16string kConfirmCaption = u"確認";
const std::u16string kWriteBlockWarning =
    u"図形数が制限数を超えています.\nWBLOCK コマンドの方が安全です.\n処理を続けますか？\n"
    u"続ける場合は、原点 0,0 に図形が残ることがあります.";
constexpr int kDefaultEditLimit = 500;
constexpr int kListingTimeoutSeconds = 60;
constexpr int kClientWidth = 325;
constexpr int kClientHeight = 295;
constexpr int kProgressHeight = 13;

int editLimit(const TEdit* edit) { return tryStrToInt(edit->text()).value_or(kDefaultEditLimit); }

// A read-only, centred text field that takes no tab stop.
EditStyle displayStyle() {
    EditStyle style;
    style.readOnly = true;
    style.centred = true;
    style.tabStop = false;
    return style;
}
// A centred field that takes digits only, with the input method off.
EditStyle limitStyle() {
    EditStyle style;
    style.centred = true;
    style.digitsOnly = true;
    return style;
}

HostLink makeHostLink(ToolkitWindowFunctions& windows, const ToolFolders& folders,
                      HostLink::ApplicationFactory obtainApplication) {
    HostLink platform = platformHostLink(windows.platform());
    return HostLink{windows, platform.title,
                    obtainApplication ? std::move(obtainApplication) : std::move(platform.obtainApplication),
                    folders.folder() / ""};
}

std::unique_ptr<WindowFunctions> orPlatformWindows(std::unique_ptr<WindowFunctions> windows) {
    return windows ? std::move(windows) : makePlatformWindowFunctions();
}

// The error box's text: what failed, in Japanese, then the detail.
std::u16string failureText(const std::exception& error) {
    std::u16string headline = u"サムネイルの作成に失敗しました。";
    if (dynamic_cast<const BmpError*>(&error)) headline = u"サムネイル画像を読み込めません。";
    else if (dynamic_cast<const SideFileError*>(&error)) headline = u"サイドファイルを更新できません。";
    else if (dynamic_cast<const FileError*>(&error) || dynamic_cast<const fs::filesystem_error*>(&error))
        headline = u"ファイルを読み書きできません。";
    else if (dynamic_cast<const HostError*>(&error)) headline = u"nanoCAD との通信に失敗しました。";
    else if (dynamic_cast<const FloatingPointError*>(&error)) headline = u"図形の計算でエラーが発生しました。";
    else if (dynamic_cast<const std::bad_alloc*>(&error)) headline = u"メモリが足りません。";
    return headline + u"\n" + utf8ToUtf16(error.what());
}

}  // namespace

TForm73::TForm73(FormEnvironment environment)
    : TForm("Form73", FormStyle{u"Velmora 1.20 (2024/06/22)", {kClientWidth, kClientHeight}, 8, true}),
      folders_(std::move(environment.folders)),
      dialogs_(std::move(environment.dialogs)),
      windows_(orPlatformWindows(std::move(environment.windows))),
      link_(makeHostLink(windows_, folders_, std::move(environment.obtainApplication))) {
    if (!dialogs_) dialogs_ = std::make_unique<MessageBoxDialogs>(*this);

    ProgressBar1 = make<TProgressBar>(*this, "ProgressBar1",
                                      Bounds{0, kClientHeight - kProgressHeight, kClientWidth, kProgressHeight});
    PageControl1 = make<TPageControl>(*this, "PageControl1", Bounds{0, 0, kClientWidth, kClientHeight - kProgressHeight});
    TabSheet1 = &PageControl1->addPage("TabSheet1", u"図面内のブロック");
    TabSheet2 = &PageControl1->addPage("TabSheet2", u"WBLOCK したブロック");

    buildBlocksTab();
    buildLibraryTab();
    FormCreate();
    connectHandlers();
}

TForm73::~TForm73() { FormDestroy(); }

void TForm73::buildBlocksTab() {
    TTabSheet& tab = *TabSheet1;
    Button2 = make<TButton>(tab, "Button2", u"nanoCAD からブロックを取得", Bounds{6, 4, 175, 25});
    ListBox1 = make<TListBox>(tab, "ListBox1", Bounds{6, 30, 175, 194});
    ListBox1->setFontPoints(10);
    ListBox1->setHint(u"ダブルクリックでブロック挿入");
    Label1 = make<TLabel>(tab, "Label1", u"図形数制限", Position{187, 9});
    Edit3 = make<TEdit>(tab, "Edit3", Bounds{253, 5, 58, 24}, limitStyle());
    Edit3->setFontPoints(10);
    CheckBox3 = make<TCheckBox>(tab, "CheckBox3", u"BMPファイルを作成", Bounds{187, 30, 124, 17});
    CheckBox4 = make<TCheckBox>(tab, "CheckBox4", u"EXEフォルダに書き出し", Bounds{187, 49, 122, 17});
    CheckBox3->setChecked(true);
    CheckBox4->setChecked(true);
    Image1 = make<TImage>(tab, "Image1", Bounds{187, 70, 120, 100});
    Edit1 = make<TEdit>(tab, "Edit1", Bounds{187, 176, 125, 24}, displayStyle());
    Edit2 = make<TEdit>(tab, "Edit2", Bounds{184, 202, 125, 24}, displayStyle());
    Edit1->setFontPoints(10);
    Edit2->setFontPoints(10);
    Label2 = make<TLabel>(tab, "Label2", u"BMP", Position{8, 236});
    Button3 = make<TButton>(tab, "Button3", u"削除", Bounds{34, 230, 37, 25});
    Button4 = make<TButton>(tab, "Button4", u"すべて作成", Bounds{74, 230, 67, 25});
    Button5 = make<TButton>(tab, "Button5", u"中止", Bounds{139, 229, 42, 25});
    Button1 = make<TButton>(tab, "Button1", u"ブロック挿入", Bounds{187, 228, 63, 25});
    Button6 = make<TButton>(tab, "Button6", u"WBLOCK", Bounds{255, 228, 54, 25});
}

void TForm73::buildLibraryTab() {
    TTabSheet& tab = *TabSheet2;
    Label4 = make<TLabel>(tab, "Label4", u"Mask", Position{8, 12});
    Edit4 = make<TEdit>(tab, "Edit4", Bounds{40, 8, 143, 22}, EditStyle{false, false, false, true, u"Mask"});
    Edit4->setFontPoints(9);
    FileListBox1 = make<TFileListBox>(tab, "FileListBox1", Bounds{8, 31, 173, 220});
    FileListBox1->setFontPoints(9);
    Label3 = make<TLabel>(tab, "Label3", u"図形数制限", Position{189, 8});
    Edit7 = make<TEdit>(tab, "Edit7", Bounds{253, 3, 58, 24}, limitStyle());
    Edit7->setFontPoints(10);
    Image2 = make<TImage>(tab, "Image2", Bounds{191, 65, 120, 100});
    Edit5 = make<TEdit>(tab, "Edit5", Bounds{186, 175, 125, 24}, displayStyle());
    Edit6 = make<TEdit>(tab, "Edit6", Bounds{187, 198, 125, 24}, displayStyle());
    Edit5->setFontPoints(10);
    Edit6->setFontPoints(10);
    Button7 = make<TButton>(tab, "Button7", u"ブロック挿入", Bounds{187, 228, 124, 25});
}

void TForm73::connectHandlers() {
    Button2->onClick = [this] { Button2Click(); };
    ListBox1->onClick = [this] { ListBox1Click(); };
    ListBox1->onDblClick = [this] { Button1Click(); };
    Image1->onClick = [this] { Button1Click(); };
    Button1->onClick = [this] { Button1Click(); };
    Button3->onClick = [this] { Button3Click(); };
    Button4->onClick = [this] { Button4Click(); };
    Button5->onClick = [this] { Button5Click(); };
    Button6->onClick = [this] { Button6Click(); };
    PageControl1->onChange = [this] { PageControl1Change(); };
    Edit4->onChange = [this] { Edit4Change(); };
    FileListBox1->onClick = [this] { FileListBox1Click(); };
    FileListBox1->onDblClick = [this] { Button7Click(); };
    Image2->onClick = [this] { Button7Click(); };
    Button7->onClick = [this] { Button7Click(); };
}

// ---- creation and destruction ----

void TForm73::FormCreate() {
    Edit1->clear();
    Edit2->clear();
    Edit5->clear();
    Edit6->clear();
    previewFillRatio = kPreviewFillRatio;
    previewColorMode = kPreviewColorMode;
    PageControl1->setActivePageIndex(0);

    const FormSettings settings = loadFormSettings(folders_.settingsFile());
    const Extent screen = primaryScreenSize();
    moveTo(placeWindow(settings.left, settings.top, outerSize(), screen.width > 0 ? screen : outerSize()));
    Edit3->setText(settings.maxcnt);
    Edit7->setText(settings.maxcnt2);
    entCntLimit = settings.cntLimit;
    CheckBox3->setChecked(settings.checkBox3);
    CheckBox4->setChecked(settings.checkBox4);

    std::error_code ignored;
    fs::create_directories(folders_.dwgFolder(), ignored);
    FileListBox1->setDirectory(folders_.dwgFolder());
}

void TForm73::FormDestroy() {
    FormSettings settings;
    settings.maxcnt = Edit3->text();
    settings.maxcnt2 = Edit7->text();
    settings.cntLimit = entCntLimit;
    settings.checkBox3 = CheckBox3->checked();
    settings.checkBox4 = CheckBox4->checked();
    saveFormSettings(folders_.settingsFile(), settings, position());
}

// ---- shared steps ----

void TForm73::reportFailures(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& error) {
        dialogs_->showError(failureText(error));
    }
}

std::optional<std::u16string> TForm73::selectedBlockName() const { return ListBox1->selectedText(); }

bool TForm73::acceptBlockFileName(const std::u16string& name, const char* extension) {
    const std::u16string problem = blockFileNameProblem(name, extension);
    if (problem.empty()) return true;
    dialogs_->inform(kConfirmCaption, problem);
    return false;
}

void TForm73::setProgress(int position) {
    ProgressBar1->setMaximum(100);
    ProgressBar1->setPosition(position);
}

int TForm73::displayedItemCount(const std::u16string& s, int limit) {
    const auto slash = s.find(u'/');
    if (slash != std::u16string::npos) return tryStrToInt(trimmedBlanks(s.substr(slash + 1))).value_or(0);
    const auto equals = s.find(u'=');
    const std::u16string rest = equals == std::u16string::npos ? s : s.substr(equals + 1);
    return tryStrToInt(trimmedBlanks(rest)).value_or(limit + 1);
}

// ---- blocks tab ----

// Marks a host action as running for its scope. One started while another
// runs (a click processed during the first one's wait) is refused.
class TForm73::HostAction {
public:
    explicit HostAction(bool& running) : running_(running), owner_(!running) { running_ = true; }
    ~HostAction() {
        if (owner_) running_ = false;
    }
    HostAction(const HostAction&) = delete;
    HostAction& operator=(const HostAction&) = delete;
    bool refused() const { return !owner_; }

private:
    bool& running_;
    bool owner_;
};

void TForm73::Button2Click() {
    HostAction action(hostActionRunning_);
    if (action.refused()) return;
    ListBox1->clear();
    std::unique_ptr<InanoCADApplication> application = connectHost(link_, false);
    if (!application) return;
    std::vector<std::u16string> names;
    bool listed = false;
    reportFailures([&] {
        try {
            std::unique_ptr<HostDocument> document = application->currentDocument();
            importHostLayers(store_, *document);
            listHostBlocks(*document, [&](std::u16string name) { names.push_back(std::move(name)); });
            listed = true;
        } catch (const HostError&) {
            // A host failure ends the action silently; the names read so far stay.
        }
        // Sorted once, in the order a sorted list box keeps: equal names as they came.
        std::stable_sort(names.begin(), names.end(),
                         [](const std::u16string& a, const std::u16string& b) { return compareIgnoringCase(a, b) < 0; });
        ListBox1->setItems(names);
    });
    if (listed && ListBox1->count() > 0) {
        ListBox1->setItemIndex(0);
        reportFailures([this] { showSelectedThumbnail(); });  // part of this action: may list the block
    }
}

void TForm73::ListBox1Click() {
    // During another host action a stored thumbnail is still shown, but none is made.
    HostAction action(hostActionRunning_);
    reportFailures([this, &action] { showSelectedThumbnail(!action.refused()); });
}

void TForm73::showSelectedThumbnail(bool mayAskHost) {
    const std::optional<std::u16string> name = selectedBlockName();
    if (!name) return;  // nothing selected: nothing to show
    Edit1->clear();
    Edit2->clear();
    Image1->clearPicture();
    runFlag = true;
    if (!acceptBlockFileName(*name, ".bmp")) return;

    std::error_code ignored;
    fs::create_directories(folders_.bmpFolder(), ignored);
    const fs::path bmpFile = blockFilePath(folders_.bmpFolder(), *name, ".bmp");
    setProgress(50);
    if (fs::exists(bmpFile)) {
        Image1->setPicture(loadBmpFile(bmpFile));
        const SideFileRow row = findSideFileRow(folders_.sideFile(), *name);
        if (row.index >= 0) {
            Edit1->setText(row.sizeText);
            Edit2->setText(countText(row.attributeCount, row.entityCount));
        }
    } else if (mayAskHost) {
        generateThumbnail(*name, bmpFile);
    }
    setProgress(0);
}

void TForm73::generateThumbnail(const std::u16string& name, const fs::path& bmpFile) {
    if (!makeBlockItemList(link_, name, kListingTimeoutSeconds)) return;
    setProgress(80);
    BlockThumbnail made = thumbnailFromItemList(store_, folders_.folder() / kBlockItemListName, Image1->width(),
                                                Image1->height(), previewFillRatio, previewColorMode);
    if (!made.thumbnail) return;
    setProgress(80);
    const BlockItemCounts& counts = made.counts;
    Thumbnail& thumbnail = *made.thumbnail;
    previewWidth = thumbnail.previewWidth;
    previewHeight = thumbnail.previewHeight;
    previewCenter = thumbnail.previewCenter;
    Edit1->setText(thumbnail.sizeText);
    Edit2->setText(made.countText);
    setProgress(100);

    if (!runFlag) return;  // aborted while the listing ran
    Image1->setPicture(thumbnail.bitmap);
    if (CheckBox3->checked()) {
        // A name the side file cannot hold is refused before any file is
        // written, and a row is stored only once its thumbnail is.
        if (!sideFileCanHold(name)) throw SideFileError("the block name cannot be written in the side file's code page");
        saveBmpFile(thumbnail.bitmap, bmpFile);
        try {
            storeSideFileRow(folders_.sideFile(), name, counts.items, counts.attributes, thumbnail.sizeText);
        } catch (const SideFileError&) {
            std::error_code ignored;
            fs::remove(bmpFile, ignored);  // made anew next time, with its row
            throw;
        }
    }
}

void TForm73::Button4Click() {
    HostAction action(hostActionRunning_);
    if (action.refused() || ListBox1->count() == 0) return;
    runFlag = true;
    reportFailures([this] {
        for (int row = 0; row < ListBox1->count(); ++row) {
            ListBox1->setItemIndex(row);
            showSelectedThumbnail();
            if (!runFlag) break;
        }
    });
}

void TForm73::Button5Click() {
    runFlag = false;
    processMessages();
}

void TForm73::insertIntoHost(const std::optional<std::u16string>& name, const std::u16string& countText,
                             const TEdit* limitEdit) {
    std::unique_ptr<InanoCADApplication> application = connectHost(link_, true);
    if (!application) return;
    reportFailures([&] {
        try {
            std::unique_ptr<HostDocument> document = application->currentDocument();
            if (!name) return;
            const int limit = editLimit(limitEdit);
            const int n = displayedItemCount(countText, limit);
            if (n <= entCntLimit && n <= limit)
                insertBlockByClipboard(windows_, *application, *document, *name);
            else
                insertBlockByCommand(*document, *name);
        } catch (const HostError&) {
            // host failures end the insertion silently
        }
    });
    restore();
}

void TForm73::Button1Click() {
    HostAction action(hostActionRunning_);
    if (!action.refused()) insertIntoHost(selectedBlockName(), Edit2->text(), Edit3);
}

void TForm73::Button6Click() {
    HostAction action(hostActionRunning_);
    if (action.refused()) return;
    std::unique_ptr<InanoCADApplication> application = connectHost(link_, false);
    if (!application) return;
    const std::optional<std::u16string> name = selectedBlockName();
    if (!name || !acceptBlockFileName(*name, ".dwg")) return;
    const int limit = editLimit(Edit3);
    if (displayedItemCount(Edit2->text(), limit) > limit && !dialogs_->askYesNo(kConfirmCaption, kWriteBlockWarning))
        return;
    reportFailures([&] {
        try {
            std::unique_ptr<HostDocument> document = application->currentDocument();
            const fs::path folder =
                CheckBox4->checked() ? folders_.dwgFolder() : wblockFolder(document->documentFullName());
            if (folder.empty()) {
                dialogs_->inform(kConfirmCaption, u"図面が保存されていないため, WBLOCK フォルダを決められません.");
                return;
            }
            std::error_code ec;
            fs::create_directories(folder, ec);
            if (ec) return;
            writeBlockFile(windows_, *document, *name, (folder / "").u16string());
        } catch (const HostError&) {
            // host failures end the action silently
        }
    });
}

void TForm73::Button3Click() {
    if (ListBox1->count() == 0) {
        dialogs_->inform(kConfirmCaption, u"ファイルリストが作成されていません.");
        return;
    }
    if (!dialogs_->askYesNo(kConfirmCaption, u"BMP ファイルを削除しますか？")) return;
    reportFailures([this] {
        std::error_code ignored;
        fs::create_directories(folders_.bmpFolder(), ignored);
        std::u16string refused;
        for (int row = 0; row < ListBox1->count(); ++row) {
            const std::u16string name = ListBox1->item(row);
            if (!blockFileNameProblem(name, ".bmp").empty()) {
                refused += u"\n" + name;
                continue;
            }
            const fs::path bmpFile = blockFilePath(folders_.bmpFolder(), name, ".bmp");
            if (fs::exists(bmpFile)) fs::remove(bmpFile);
            removeSideFileRow(folders_.sideFile(), name);
        }
        if (!refused.empty())
            dialogs_->inform(kConfirmCaption, u"ファイル名に使えないブロック名は処理しませんでした:" + refused);
    });
}

// ---- library tab ----

void TForm73::PageControl1Change() {
    if (PageControl1->activePageIndex() != 1) return;
    FileListBox1Click();
    const std::u16string kept = Edit4->text();
    Edit4->setText(u" ");
    Edit4->setText(kept);
}

void TForm73::Edit4Change() { FileListBox1->setMask(u"*" + Edit4->text() + u"*.dwg"); }

void TForm73::FileListBox1Click() {
    reportFailures([this] {
        Image2->clearPicture();
        Edit5->clear();
        Edit6->clear();
        std::u16string fileName = FileListBox1->fileName();
        if (fileName.empty()) {
            if (FileListBox1->count() == 0) return;
            FileListBox1->setItemIndex(0);
            fileName = FileListBox1->item(0);
        }
        const fs::path file(fileName);
        const fs::path bmpFile = folders_.bmpFolder() / fs::path(file).replace_extension(".bmp");
        if (fs::exists(bmpFile)) Image2->setPicture(loadBmpFile(bmpFile));
        const SideFileRow row = findSideFileRow(folders_.sideFile(), file.stem().u16string());
        if (row.index >= 0) {
            Edit5->setText(row.sizeText);
            Edit6->setText(countText(row.attributeCount, row.entityCount));
        }
    });
}

void TForm73::Button7Click() {
    HostAction action(hostActionRunning_);
    if (action.refused()) return;
    const std::u16string fileName = FileListBox1->fileName();
    std::optional<std::u16string> fullName;
    if (!fileName.empty()) fullName = (folders_.dwgFolder() / fs::path(fileName)).u16string();
    insertIntoHost(fullName, Edit6->text(), Edit7);
}

// ---- DXF preview ----

void TForm73::drawDxfImage(const fs::path& dxfName, TImage* img) {
    WindowDxfProgress progress(*ProgressBar1);
    WindowDxfMessages messages(*dialogs_);
    DxfPreviewHooks hooks;
    hooks.progressBar = &progress;
    hooks.ownerWindow = &messages;
    hooks.processMessages = [] { processMessages(); };
    Canvas bitmap(img->width(), img->height());
    DxfPreviewView view;
    if (drawDxfPreview(store_, dxfName, bitmap, hooks, view)) {
        previewWidth = view.previewWidth;
        previewHeight = view.previewHeight;
        previewCenter = view.previewCenter;
    }
    img->setPicture(std::move(bitmap));
}

}  // namespace velmora
