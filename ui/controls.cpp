// The parts of the controls every backend shares: the file list's folder
// reading and the image's picture.
#include "ui/controls.h"

#include <algorithm>
#include <system_error>

#include "platform/wildcard.h"

namespace velmora {

TFileListBox::TFileListBox(TControl& parent, std::string name, Bounds bounds)
    : TListBox(parent, std::move(name), bounds) {}

void TFileListBox::setDirectory(const std::filesystem::path& folder) {
    directory_ = folder;
    refresh();
}

void TFileListBox::setMask(const std::u16string& mask) {
    if (mask == mask_) return;
    mask_ = mask;
    refresh();
}

void TFileListBox::refresh() {
    std::vector<std::u16string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(directory_, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        std::u16string name = it->path().filename().u16string();
        if (matchesWildcard(name, mask_)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(),
              [](const std::u16string& a, const std::u16string& b) { return compareIgnoringCase(a, b) < 0; });
    setItems(names);
}

std::u16string TFileListBox::fileName() const { return selectedText().value_or(std::u16string()); }

void TImage::setPicture(Canvas canvas) {
    picture_ = std::move(canvas);
    showPicture();
}

void TImage::clearPicture() {
    picture_.reset();
    showPicture();
}

TPageControl::~TPageControl() {
    onChange = nullptr;  // removing the pages changes the page; nobody listens any more
    while (!pages_.empty()) pages_.pop_back();
}

TTabSheet& TPageControl::addPage(std::string name, const std::u16string& caption) {
    pages_.push_back(std::make_unique<TTabSheet>(*this, std::move(name), caption));
    return *pages_.back();
}

}  // namespace velmora
