// A file list box: the names (with extension, without folder) of the regular
// files of one folder that match a wildcard mask, letter case ignored, sorted
// by name. The list is read anew when the folder or the mask changes.
#pragma once

#include "app/list_box.h"
#include <QString>
#include <filesystem>

namespace velmora {

class TFileListBox : public TListBox {
    Q_OBJECT
public:
    explicit TFileListBox(QWidget* parent = nullptr);

    const std::filesystem::path& directory() const { return directory_; }
    void setDirectory(const std::filesystem::path& folder);
    const QString& mask() const { return mask_; }
    void setMask(const QString& mask);
    // Reads the folder again.
    void refresh();
    // The selected file name; empty when nothing is selected.
    QString fileName() const;

private:
    std::filesystem::path directory_;
    QString mask_ = QStringLiteral("*");  // every file
};

}  // namespace velmora
