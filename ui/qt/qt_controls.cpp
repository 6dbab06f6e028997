// The controls over Qt Widgets.
#include <QCheckBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>

#include "ui/qt/qt_native.h"

namespace velmora {
namespace {

QString qs(const std::u16string& text) { return QString::fromStdU16String(text); }

const char* const kControlProperty = "velmoraControl";

// Remembers which control a widget belongs to, names it and places it.
template <class W>
std::unique_ptr<TControl::Native> place(W* widget, const std::string& name, Bounds bounds) {
    widget->setObjectName(QString::fromStdString(name));
    widget->setGeometry(bounds.left, bounds.top, bounds.width, bounds.height);
    return std::make_unique<TControl::Native>(widget);
}

void remember(TControl& control) {
    control.native().widget->setProperty(kControlProperty,
                                         QVariant::fromValue(static_cast<void*>(&control)));
}

// A list whose keyboard moves of the current row count as clicks.
class ListWidget : public QListWidget {
public:
    using QListWidget::QListWidget;
    std::function<void()> movedByKeyboard;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const int before = currentRow();
        QListWidget::keyPressEvent(event);
        if (currentRow() != before && currentRow() >= 0 && movedByKeyboard) movedByKeyboard();
    }
};

// A picture at its top-left corner that reports left clicks released inside it.
class ImageLabel : public QLabel {
public:
    explicit ImageLabel(QWidget* parent) : QLabel(parent) { setAlignment(Qt::AlignLeft | Qt::AlignTop); }
    std::function<void()> clicked;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QLabel::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && clicked) clicked();
    }
};

QImage toQImage(const Canvas& canvas) {
    QImage image(canvas.width(), canvas.height(), QImage::Format_Indexed8);
    QList<QRgb> table;
    table.reserve(256);
    for (TColor c : canvas.palette()) table.push_back(qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
    image.setColorTable(table);
    const auto& pixels = canvas.pixels();
    for (int y = 0; y < canvas.height(); ++y)
        std::copy_n(pixels.data() + static_cast<std::size_t>(y) * canvas.width(), canvas.width(), image.scanLine(y));
    return image;
}

}  // namespace

QWidget* containerOf(TControl& control) { return control.native().widget.get(); }

TControl* controlOf(const QWidget* widget) {
    if (!widget) return nullptr;
    return static_cast<TControl*>(widget->property(kControlProperty).value<void*>());
}

QFont windowFont(int points) {
    QFont font(QStringLiteral("Tahoma"), points);
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("IPAPGothic")});
    return font;
}

TControl::TControl(std::string name, std::unique_ptr<Native> native)
    : name_(std::move(name)), native_(std::move(native)) {}
TControl::~TControl() = default;

Bounds TControl::bounds() const {
    const QRect r = native_->widget->geometry();
    return {r.x(), r.y(), r.width(), r.height()};
}
int TControl::fontPoints() const { return native_->widget->font().pointSize(); }
void TControl::setFontPoints(int points) { native_->widget->setFont(windowFont(points)); }
std::u16string TControl::hint() const { return native_->widget->toolTip().toStdU16String(); }
void TControl::setHint(const std::u16string& hint) { native_->widget->setToolTip(qs(hint)); }
bool TControl::takesTabStop() const { return native_->widget->focusPolicy() & Qt::TabFocus; }
void TControl::setFocus() { native_->widget->setFocus(Qt::OtherFocusReason); }

// ---- buttons, labels, check boxes ----

TButton::TButton(TControl& parent, std::string name, const std::u16string& caption, Bounds bounds)
    : TControl(name, place(new QPushButton(qs(caption), containerOf(parent)), name, bounds)) {
    remember(*this);
    QObject::connect(&native().as<QPushButton>(), &QPushButton::clicked, [this] {
        if (onClick) onClick();
    });
}
std::u16string TButton::caption() const { return native().as<QPushButton>().text().toStdU16String(); }

TLabel::TLabel(TControl& parent, std::string name, const std::u16string& caption, Position position)
    : TControl(name, place(new QLabel(qs(caption), containerOf(parent)), name, {position.x, position.y, 0, 0})) {
    remember(*this);
    native().widget->adjustSize();
}
std::u16string TLabel::caption() const { return native().as<QLabel>().text().toStdU16String(); }

TCheckBox::TCheckBox(TControl& parent, std::string name, const std::u16string& caption, Bounds bounds)
    : TControl(name, place(new QCheckBox(qs(caption), containerOf(parent)), name, bounds)) {
    remember(*this);
}
std::u16string TCheckBox::caption() const { return native().as<QCheckBox>().text().toStdU16String(); }
bool TCheckBox::checked() const { return native().as<QCheckBox>().isChecked(); }
void TCheckBox::setChecked(bool checked) { native().as<QCheckBox>().setChecked(checked); }

// ---- edits ----

TEdit::TEdit(TControl& parent, std::string name, Bounds bounds, const EditStyle& style)
    : TControl(name, place(new QLineEdit(containerOf(parent)), name, bounds)) {
    remember(*this);
    auto& edit = native().as<QLineEdit>();
    edit.setReadOnly(style.readOnly);
    if (style.centred) edit.setAlignment(Qt::AlignCenter);
    if (style.digitsOnly) {
        edit.setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), &edit));
        edit.setAttribute(Qt::WA_InputMethodEnabled, false);
    }
    if (!style.tabStop) edit.setFocusPolicy(Qt::ClickFocus);
    edit.setPlaceholderText(qs(style.textHint));
    QObject::connect(&edit, &QLineEdit::textChanged, [this] {
        if (onChange) onChange();
    });
}
std::u16string TEdit::text() const { return native().as<QLineEdit>().text().toStdU16String(); }
void TEdit::setText(const std::u16string& text) { native().as<QLineEdit>().setText(qs(text)); }
bool TEdit::readOnly() const { return native().as<QLineEdit>().isReadOnly(); }
bool TEdit::centred() const { return native().as<QLineEdit>().alignment() == Qt::AlignCenter; }
std::u16string TEdit::textHint() const { return native().as<QLineEdit>().placeholderText().toStdU16String(); }

// ---- lists ----

TListBox::TListBox(TControl& parent, std::string name, Bounds bounds)
    : TControl(name, place(new ListWidget(containerOf(parent)), name, bounds)) {
    remember(*this);
    auto& list = native().as<ListWidget>();
    auto click = [this] {
        if (onClick) onClick();
    };
    list.movedByKeyboard = click;
    QObject::connect(&list, &QListWidget::itemClicked, click);
    QObject::connect(&list, &QListWidget::itemDoubleClicked, [this] {
        if (onDblClick) onDblClick();
    });
}
int TListBox::count() const { return native().as<QListWidget>().count(); }
std::u16string TListBox::item(int row) const {
    const QListWidgetItem* it = native().as<QListWidget>().item(row);
    return it ? it->text().toStdU16String() : std::u16string();
}
void TListBox::addItem(const std::u16string& text) { native().as<QListWidget>().addItem(qs(text)); }
void TListBox::setItems(const std::vector<std::u16string>& items) {
    auto& list = native().as<QListWidget>();
    list.setUpdatesEnabled(false);
    list.clear();
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(items.size()));
    for (const auto& text : items) texts.push_back(qs(text));
    list.addItems(texts);
    list.setUpdatesEnabled(true);
}
void TListBox::clear() { native().as<QListWidget>().clear(); }
int TListBox::itemIndex() const {
    const auto& list = native().as<QListWidget>();
    const QListWidgetItem* current = list.currentItem();
    return current && current->isSelected() ? list.currentRow() : -1;
}
void TListBox::setItemIndex(int row) {
    auto& list = native().as<QListWidget>();
    if (row < 0) {
        list.clearSelection();
        list.setCurrentRow(-1);
    } else {
        list.setCurrentRow(row);
    }
}
std::optional<std::u16string> TListBox::selectedText() const {
    const int row = itemIndex();
    if (row < 0) return std::nullopt;
    return item(row);
}
int TListBox::indexOf(const std::u16string& text) const {
    const auto found = native().as<QListWidget>().findItems(qs(text), Qt::MatchExactly);
    return found.isEmpty() ? -1 : native().as<QListWidget>().row(found.front());
}

// ---- image, progress bar ----

TImage::TImage(TControl& parent, std::string name, Bounds bounds)
    : TControl(name, place(new ImageLabel(containerOf(parent)), name, bounds)) {
    remember(*this);
    native().as<ImageLabel>().clicked = [this] {
        if (onClick) onClick();
    };
}
void TImage::showPicture() {
    auto& label = native().as<ImageLabel>();
    if (picture_) {
        label.setPixmap(QPixmap::fromImage(toQImage(*picture_)));
        label.repaint();
    } else {
        label.clear();
    }
}

TProgressBar::TProgressBar(TControl& parent, std::string name, Bounds bounds)
    : TControl(name, place(new QProgressBar(containerOf(parent)), name, bounds)) {
    remember(*this);
    auto& bar = native().as<QProgressBar>();
    bar.setRange(0, 100);
    bar.setValue(0);
    bar.setTextVisible(false);
    QObject::connect(&bar, &QProgressBar::valueChanged, [this](int value) {
        if (onChange) onChange(value);
    });
}
int TProgressBar::maximum() const { return native().as<QProgressBar>().maximum(); }
void TProgressBar::setMaximum(int maximum) { native().as<QProgressBar>().setMaximum(maximum); }
int TProgressBar::position() const { return native().as<QProgressBar>().value(); }
void TProgressBar::setPosition(int position) { native().as<QProgressBar>().setValue(position); }

// ---- pages ----

TPageControl::TPageControl(TControl& parent, std::string name, Bounds bounds)
    : TControl(name, place(new QTabWidget(containerOf(parent)), name, bounds)) {
    remember(*this);
    QObject::connect(&native().as<QTabWidget>(), &QTabWidget::currentChanged, [this] {
        if (onChange) onChange();
    });
}
std::u16string TPageControl::pageCaption(int index) const {
    return native().as<QTabWidget>().tabText(index).toStdU16String();
}
int TPageControl::activePageIndex() const { return native().as<QTabWidget>().currentIndex(); }
void TPageControl::setActivePageIndex(int index) { native().as<QTabWidget>().setCurrentIndex(index); }

TTabSheet::TTabSheet(TPageControl& owner, std::string name, const std::u16string& caption)
    : TControl(name, std::make_unique<Native>(new QWidget)) {
    native().widget->setObjectName(QString::fromStdString(name));
    remember(*this);
    owner.native().as<QTabWidget>().addTab(native().widget.get(), qs(caption));
}

// ---- the form ----

TForm::TForm(std::string name, const FormStyle& style)
    : TControl(name, std::make_unique<Native>(new QWidget(nullptr, Qt::Window))) {
    QWidget& form = *native().widget;
    form.setObjectName(QString::fromStdString(name));
    remember(*this);
    Qt::WindowFlags flags = Qt::Window;
    if (style.stayOnTop)
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint;
    form.setWindowFlags(flags);
    form.setWindowTitle(qs(style.caption));
    form.setFont(windowFont(style.fontPoints));
    form.setFixedSize(style.clientSize.width, style.clientSize.height);
}
TForm::~TForm() {
    while (!owned_.empty()) owned_.pop_back();  // children before their parents
}
std::u16string TForm::caption() const { return native().widget->windowTitle().toStdU16String(); }
Extent TForm::clientSize() const { return {native().widget->width(), native().widget->height()}; }
Extent TForm::outerSize() const {
    const QSize s = native().widget->frameGeometry().size();
    return {s.width(), s.height()};
}
Position TForm::position() const { return {native().widget->pos().x(), native().widget->pos().y()}; }
void TForm::moveTo(Position position) { native().widget->move(position.x, position.y); }
void TForm::show() { native().widget->show(); }
bool TForm::visible() const { return native().widget->isVisible(); }
void TForm::restore() {
    QWidget& form = *native().widget;
    form.setWindowState(form.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
}
bool TForm::minimized() const { return native().widget->windowState() & Qt::WindowMinimized; }
void TForm::minimize() { native().widget->setWindowState(native().widget->windowState() | Qt::WindowMinimized); }
bool TForm::stayOnTop() const { return native().widget->windowFlags() & Qt::WindowStaysOnTopHint; }
bool TForm::hasMaximizeButton() const { return native().widget->windowFlags() & Qt::WindowMaximizeButtonHint; }
bool TForm::resizable() const { return native().widget->minimumSize() != native().widget->maximumSize(); }

}  // namespace velmora
