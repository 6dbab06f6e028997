#include "app/Unit73.h"

#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QTabWidget>
#include <system_error>

#include "app/block_file_names.h"
#include "app/dark_theme.h"
#include "app/file_list_box.h"
#include "app/form_settings.h"
#include "app/image_control.h"
#include "app/list_box.h"
#include "app/side_file.h"
#include "dxf/dxf_preview.h"
#include "host/block_item_list.h"
#include "platform/errors.h"
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
    explicit WindowDxfProgress(QProgressBar& bar) : bar_(bar) {}
    void setMaximum(int maximum) override { bar_.setMaximum(maximum); }
    void setPosition(int position) override { bar_.setValue(position); }
    int position() const override { return bar_.value(); }

private:
    QProgressBar& bar_;
};

// The reader's message boxes, captioned "DxfReport".
class WindowDxfMessages : public DxfMessages {
public:
    explicit WindowDxfMessages(Dialogs& dialogs) : dialogs_(dialogs) {}
    void show(const std::u16string& text) override {
        dialogs_.inform(QStringLiteral("DxfReport"), QString::fromStdU16String(text));
    }

private:
    Dialogs& dialogs_;
};


const QString kConfirmCaption = QStringLiteral("確認");
const QString kWriteBlockWarning = QStringLiteral(
    "図形数が制限数を超えています.\nWBLOCK コマンドの方が安全です.\n処理を続けますか？\n"
    "続ける場合は、原点 0,0 に図形が残ることがあります.");
constexpr int kDefaultEditLimit = 500;
constexpr int kListingTimeoutSeconds = 60;

QString qs(const std::u16string& text) { return QString::fromStdU16String(text); }
std::u16string pathText(const fs::path& path) { return utf8ToUtf16(path.string()); }

QFont tahoma(int points) { return windowFont(points); }


int editLimit(const QLineEdit* edit) {
    return tryStrToInt(edit->text().toStdU16String()).value_or(kDefaultEditLimit);
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    return button;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, QPoint position) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->move(position);
    label->adjustSize();
    return label;
}

// A read-only, centred text field that takes no tab stop.
QLineEdit* makeDisplayEdit(QWidget* parent, const char* name, QRect geometry) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(geometry);
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignCenter);
    edit->setFocusPolicy(Qt::ClickFocus);
    edit->setFont(tahoma(10));
    return edit;
}

// A centred field that takes digits only, with the input method off.
QLineEdit* makeLimitEdit(QWidget* parent, const char* name, QRect geometry) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(geometry);
    edit->setAlignment(Qt::AlignCenter);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit->setFont(tahoma(10));
    return edit;
}

QCheckBox* makeCheckBox(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(geometry);
    box->setChecked(true);
    return box;
}

TImage* makeImage(QWidget* parent, const char* name, QRect geometry) {
    auto* image = new TImage(parent);
    image->setObjectName(QLatin1String(name));
    image->setGeometry(geometry);
    return image;
}

HostLink makeHostLink(RegistryWindowFunctions& windows, const ToolFolders& folders,
                      HostLink::ApplicationFactory obtainApplication) {
    HostLink link = defaultHostLink(windows);
    link.programFolder = folders.folder() / "";
    if (obtainApplication) link.obtainApplication = std::move(obtainApplication);
    return link;
}

}  // namespace

TForm73::TForm73(FormEnvironment environment, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      folders_(std::move(environment.folders)),
      dialogs_(std::move(environment.dialogs)),
      windows_(std::move(environment.windowRegistry)),
      link_(makeHostLink(windows_, folders_, std::move(environment.obtainApplication))) {
    if (!dialogs_) dialogs_ = std::make_unique<MessageBoxDialogs>(this);
    windows_.setMessagePump([] { QCoreApplication::processEvents(); });
    windows_.setEscapeKeyState([this] { return escapeDown_; });
    qApp->installEventFilter(this);

    setObjectName(QStringLiteral("Form73"));
    setWindowTitle(QStringLiteral("Velmora 1.20 (2024/06/22)"));
    setFont(tahoma(8));
    setFixedSize(325, 295);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(0, height() - 13, width(), 13);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(0, 0, width(), height() - 13);
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet1, QStringLiteral("図面内のブロック"));
    PageControl1->addTab(TabSheet2, QStringLiteral("WBLOCK したブロック"));

    buildBlocksTab();
    buildLibraryTab();
    FormCreate();
    connectHandlers();
}

TForm73::~TForm73() {
    qApp->removeEventFilter(this);
    FormDestroy();
}

void TForm73::buildBlocksTab() {
    QWidget* tab = TabSheet1;
    Button2 = makeButton(tab, "Button2", QStringLiteral("nanoCAD からブロックを取得"), {6, 4, 175, 25});
    ListBox1 = new TListBox(tab);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(6, 30, 175, 194);
    ListBox1->setFont(tahoma(10));
    ListBox1->setToolTip(QStringLiteral("ダブルクリックでブロック挿入"));
    Label1 = makeLabel(tab, "Label1", QStringLiteral("図形数制限"), {187, 9});
    Edit3 = makeLimitEdit(tab, "Edit3", {253, 5, 58, 24});
    CheckBox3 = makeCheckBox(tab, "CheckBox3", QStringLiteral("BMPファイルを作成"), {187, 30, 124, 17});
    CheckBox4 = makeCheckBox(tab, "CheckBox4", QStringLiteral("EXEフォルダに書き出し"), {187, 49, 122, 17});
    Image1 = makeImage(tab, "Image1", {187, 70, 120, 100});
    Edit1 = makeDisplayEdit(tab, "Edit1", {187, 176, 125, 24});
    Edit2 = makeDisplayEdit(tab, "Edit2", {184, 202, 125, 24});
    Label2 = makeLabel(tab, "Label2", QStringLiteral("BMP"), {8, 236});
    Button3 = makeButton(tab, "Button3", QStringLiteral("削除"), {34, 230, 37, 25});
    Button4 = makeButton(tab, "Button4", QStringLiteral("すべて作成"), {74, 230, 67, 25});
    Button5 = makeButton(tab, "Button5", QStringLiteral("中止"), {139, 229, 42, 25});
    Button1 = makeButton(tab, "Button1", QStringLiteral("ブロック挿入"), {187, 228, 63, 25});
    Button6 = makeButton(tab, "Button6", QStringLiteral("WBLOCK"), {255, 228, 54, 25});
}

void TForm73::buildLibraryTab() {
    QWidget* tab = TabSheet2;
    Label4 = makeLabel(tab, "Label4", QStringLiteral("Mask"), {8, 12});
    Edit4 = new QLineEdit(tab);
    Edit4->setObjectName(QStringLiteral("Edit4"));
    Edit4->setGeometry(40, 8, 143, 22);
    Edit4->setFont(tahoma(9));
    Edit4->setPlaceholderText(QStringLiteral("Mask"));
    FileListBox1 = new TFileListBox(tab);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    FileListBox1->setGeometry(8, 31, 173, 220);
    FileListBox1->setFont(tahoma(9));
    FileListBox1->setUniformItemSizes(true);
    FileListBox1->setStyleSheet(QStringLiteral("QListWidget::item { height: 14px; }"));
    Label3 = makeLabel(tab, "Label3", QStringLiteral("図形数制限"), {189, 8});
    Edit7 = makeLimitEdit(tab, "Edit7", {253, 3, 58, 24});
    Image2 = makeImage(tab, "Image2", {191, 65, 120, 100});
    Edit5 = makeDisplayEdit(tab, "Edit5", {186, 175, 125, 24});
    Edit6 = makeDisplayEdit(tab, "Edit6", {187, 198, 125, 24});
    Button7 = makeButton(tab, "Button7", QStringLiteral("ブロック挿入"), {187, 228, 124, 25});
}

void TForm73::connectHandlers() {
    connect(Button2, &QPushButton::clicked, this, &TForm73::Button2Click);
    connect(ListBox1, &QListWidget::itemClicked, this, &TForm73::ListBox1Click);
    connect(ListBox1, &TListBox::clickedByKeyboard, this, &TForm73::ListBox1Click);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TForm73::Button1Click);
    connect(Image1, &TImage::clicked, this, &TForm73::Button1Click);
    connect(Button1, &QPushButton::clicked, this, &TForm73::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &TForm73::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm73::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TForm73::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TForm73::Button6Click);
    connect(PageControl1, &QTabWidget::currentChanged, this, &TForm73::PageControl1Change);
    connect(Edit4, &QLineEdit::textChanged, this, &TForm73::Edit4Change);
    connect(FileListBox1, &QListWidget::itemClicked, this, &TForm73::FileListBox1Click);
    connect(FileListBox1, &TListBox::clickedByKeyboard, this, &TForm73::FileListBox1Click);
    connect(FileListBox1, &QListWidget::itemDoubleClicked, this, &TForm73::Button7Click);
    connect(Image2, &TImage::clicked, this, &TForm73::Button7Click);
    connect(Button7, &QPushButton::clicked, this, &TForm73::Button7Click);
}

bool TForm73::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && !key->isAutoRepeat()) escapeDown_ = event->type() == QEvent::KeyPress;
    } else if (event->type() == QEvent::ApplicationDeactivate ||
               (event->type() == QEvent::ApplicationStateChange &&
                static_cast<QApplicationStateChangeEvent*>(event)->applicationState() != Qt::ApplicationActive)) {
        escapeDown_ = false;  // the key's release now goes to another program
    }
    return QWidget::eventFilter(watched, event);
}

// ---- creation and destruction ----

void TForm73::FormCreate() {
    Edit1->clear();
    Edit2->clear();
    Edit5->clear();
    Edit6->clear();
    previewFillRatio = kPreviewFillRatio;
    previewColorMode = kPreviewColorMode;
    PageControl1->setCurrentIndex(0);

    const FormSettings settings = loadFormSettings(QString::fromStdString(folders_.settingsFile().string()));
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(width(), height());
    move(placeWindow(settings.left, settings.top, frameGeometry().size(), screenSize));
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
    settings.checkBox3 = CheckBox3->isChecked();
    settings.checkBox4 = CheckBox4->isChecked();
    saveFormSettings(QString::fromStdString(folders_.settingsFile().string()), settings, pos());
}

// ---- shared steps ----

// The error box's text: what failed, in Japanese, then the detail.
static QString failureText(const std::exception& error) {
    QString headline = QStringLiteral("サムネイルの作成に失敗しました。");
    if (dynamic_cast<const BmpError*>(&error)) headline = QStringLiteral("サムネイル画像を読み込めません。");
    else if (dynamic_cast<const SideFileError*>(&error)) headline = QStringLiteral("サイドファイルを更新できません。");
    else if (dynamic_cast<const FileError*>(&error) || dynamic_cast<const fs::filesystem_error*>(&error))
        headline = QStringLiteral("ファイルを読み書きできません。");
    else if (dynamic_cast<const HostError*>(&error)) headline = QStringLiteral("nanoCAD との通信に失敗しました。");
    else if (dynamic_cast<const FloatingPointError*>(&error))
        headline = QStringLiteral("図形の計算でエラーが発生しました。");
    else if (dynamic_cast<const std::bad_alloc*>(&error)) headline = QStringLiteral("メモリが足りません。");
    return headline + QStringLiteral("\n") + QString::fromUtf8(error.what());
}

void TForm73::reportFailures(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& error) {
        dialogs_->showError(failureText(error));
    }
}

std::optional<std::u16string> TForm73::selectedBlockName() const {
    const QListWidgetItem* item = ListBox1->currentItem();
    if (!item || !item->isSelected()) return std::nullopt;
    return item->text().toStdU16String();
}

bool TForm73::acceptBlockFileName(const std::u16string& name, const char* extension) {
    const std::u16string problem = blockFileNameProblem(name, extension);
    if (problem.empty()) return true;
    dialogs_->inform(kConfirmCaption, qs(problem));
    return false;
}

void TForm73::setProgress(int position) {
    ProgressBar1->setMaximum(100);
    ProgressBar1->setValue(position);
}

void TForm73::restoreWindowState() { setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized)); }

int TForm73::displayedItemCount(const QString& text, int limit) {
    const std::u16string s = text.toStdU16String();
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
    try {
        std::unique_ptr<HostDocument> document = application->currentDocument();
        importHostLayers(store_, *document);
        ListBox1->setUpdatesEnabled(false);
        listHostBlocks(*document, [this](const std::u16string& name) {
            const QString text = qs(name);
            int row = ListBox1->count();
            while (row > 0 && QString::compare(ListBox1->item(row - 1)->text(), text, Qt::CaseInsensitive) > 0) --row;
            ListBox1->insertItem(row, text);
        });
        ListBox1->setUpdatesEnabled(true);
    } catch (const std::exception&) {
        // A host failure ends the action silently; the names read so far stay.
        ListBox1->setUpdatesEnabled(true);
        return;
    }
    if (ListBox1->count() > 0) {
        ListBox1->setCurrentRow(0);
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
            Edit1->setText(qs(row.sizeText));
            Edit2->setText(qs(countText(row.attributeCount, row.entityCount)));
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
    Edit1->setText(qs(thumbnail.sizeText));
    Edit2->setText(qs(made.countText));
    setProgress(100);

    if (!runFlag) return;  // aborted while the listing ran
    Image1->setPicture(thumbnail.bitmap);
    if (CheckBox3->isChecked()) {
        // The row first: a name the side file cannot hold is refused before
        // any file is written.
        storeSideFileRow(folders_.sideFile(), name, counts.items, counts.attributes, thumbnail.sizeText);
        saveBmpFile(thumbnail.bitmap, bmpFile);
    }
}

void TForm73::Button4Click() {
    HostAction action(hostActionRunning_);
    if (action.refused() || ListBox1->count() == 0) return;
    runFlag = true;
    reportFailures([this] {
        for (int row = 0; row < ListBox1->count(); ++row) {
            ListBox1->setCurrentRow(row);
            showSelectedThumbnail();
            if (!runFlag) break;
        }
    });
}

void TForm73::Button5Click() {
    runFlag = false;
    QCoreApplication::processEvents();
}

void TForm73::insertIntoHost(const std::optional<std::u16string>& name, const QString& countText,
                             const QLineEdit* limitEdit) {
    std::unique_ptr<InanoCADApplication> application = connectHost(link_, true);
    if (!application) return;
    try {
        std::unique_ptr<HostDocument> document = application->currentDocument();
        if (name) {
            const int limit = editLimit(limitEdit);
            const int n = displayedItemCount(countText, limit);
            if (n <= entCntLimit && n <= limit)
                insertBlockByClipboard(windows_, *application, *document, *name);
            else
                insertBlockByCommand(*document, *name);
        }
    } catch (const std::exception&) {
        // host failures end the insertion silently
    }
    restoreWindowState();
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
    try {
        std::unique_ptr<HostDocument> document = application->currentDocument();
        const fs::path folder =
            CheckBox4->isChecked() ? folders_.dwgFolder() : wblockFolder(document->documentFullName());
        if (folder.empty()) {
            dialogs_->inform(kConfirmCaption,
                             QStringLiteral("図面が保存されていないため, WBLOCK フォルダを決められません."));
            return;
        }
        std::error_code ec;
        fs::create_directories(folder, ec);
        if (ec) return;
        writeBlockFile(windows_, *document, *name, pathText(folder / ""));
    } catch (const std::exception&) {
        // host failures end the action silently
    }
}

void TForm73::Button3Click() {
    if (ListBox1->count() == 0) {
        dialogs_->inform(kConfirmCaption, QStringLiteral("ファイルリストが作成されていません."));
        return;
    }
    if (!dialogs_->askYesNo(kConfirmCaption, QStringLiteral("BMP ファイルを削除しますか？"))) return;
    reportFailures([this] {
        std::error_code ignored;
        fs::create_directories(folders_.bmpFolder(), ignored);
        QStringList refused;
        for (int row = 0; row < ListBox1->count(); ++row) {
            const std::u16string name = ListBox1->item(row)->text().toStdU16String();
            if (!blockFileNameProblem(name, ".bmp").empty()) {
                refused.push_back(qs(name));
                continue;
            }
            const fs::path bmpFile = blockFilePath(folders_.bmpFolder(), name, ".bmp");
            if (fs::exists(bmpFile)) fs::remove(bmpFile);
            removeSideFileRow(folders_.sideFile(), name);
        }
        if (!refused.isEmpty())
            dialogs_->inform(kConfirmCaption, QStringLiteral("ファイル名に使えないブロック名は処理しませんでした:\n") +
                                                  refused.join(QLatin1Char('\n')));
    });
}

// ---- library tab ----

void TForm73::PageControl1Change() {
    if (PageControl1->currentIndex() != 1) return;
    FileListBox1Click();
    const QString kept = Edit4->text();
    Edit4->setText(QStringLiteral(" "));
    Edit4->setText(kept);
}

void TForm73::Edit4Change() { FileListBox1->setMask(QStringLiteral("*") + Edit4->text() + QStringLiteral("*.dwg")); }

void TForm73::FileListBox1Click() {
    reportFailures([this] {
        Image2->clearPicture();
        Edit5->clear();
        Edit6->clear();
        QString fileName = FileListBox1->fileName();
        if (fileName.isEmpty()) {
            if (FileListBox1->count() == 0) return;
            FileListBox1->setCurrentRow(0);
            fileName = FileListBox1->item(0)->text();
        }
        const fs::path file(fileName.toStdString());
        const fs::path bmpFile = folders_.bmpFolder() / fs::path(file).replace_extension(".bmp");
        if (fs::exists(bmpFile)) Image2->setPicture(loadBmpFile(bmpFile));
        const SideFileRow row = findSideFileRow(folders_.sideFile(), pathText(file.stem()));
        if (row.index >= 0) {
            Edit5->setText(qs(row.sizeText));
            Edit6->setText(qs(countText(row.attributeCount, row.entityCount)));
        }
    });
}

void TForm73::Button7Click() {
    HostAction action(hostActionRunning_);
    if (action.refused()) return;
    const QString fileName = FileListBox1->fileName();
    std::optional<std::u16string> fullName;
    if (!fileName.isEmpty()) fullName = pathText(folders_.dwgFolder() / fileName.toStdString());
    insertIntoHost(fullName, Edit6->text(), Edit7);
}

// ---- DXF preview ----

void TForm73::drawDxfImage(const QString& dxfName, TImage* img) {
    WindowDxfProgress progress(*ProgressBar1);
    WindowDxfMessages messages(*dialogs_);
    DxfPreviewHooks hooks;
    hooks.progressBar = &progress;
    hooks.ownerWindow = &messages;
    hooks.processMessages = [] { QCoreApplication::processEvents(); };
    Canvas bitmap(img->width(), img->height());
    DxfPreviewView view;
    if (drawDxfPreview(store_, std::filesystem::path(dxfName.toStdString()), bitmap, hooks, view)) {
        previewWidth = view.previewWidth;
        previewHeight = view.previewHeight;
        previewCenter = view.previewCenter;
    }
    img->setPicture(std::move(bitmap));
}

}  // namespace velmora
