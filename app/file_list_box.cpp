#include "app/file_list_box.h"

#include <QCollator>
#include <algorithm>
#include <system_error>

#include "platform/wildcard.h"

namespace velmora {

TFileListBox::TFileListBox(QWidget* parent) : TListBox(parent) {}

void TFileListBox::setDirectory(const std::filesystem::path& folder) {
    directory_ = folder;
    refresh();
}

void TFileListBox::setMask(const QString& mask) {
    if (mask == mask_) return;
    mask_ = mask;
    refresh();
}

void TFileListBox::refresh() {
    QStringList names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(directory_, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        const QString name = QString::fromStdString(it->path().filename().string());
        if (matchesWildcard(name.toStdU16String(), mask_.toStdU16String())) names.push_back(name);
    }
    QCollator order;
    order.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(names.begin(), names.end(), [&](const QString& a, const QString& b) { return order.compare(a, b) < 0; });
    clear();
    addItems(names);
}

QString TFileListBox::fileName() const {
    const QListWidgetItem* item = currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

}  // namespace velmora
