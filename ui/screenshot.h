// Pictures of the window for the sample run and the screenshot test: what a
// form shows now, and a sheet of such pictures with the block thumbnails.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "render/canvas.h"
#include "ui/controls.h"

namespace velmora {

class FormPicture {
public:
    struct Native;
    explicit FormPicture(std::unique_ptr<Native> native);
    ~FormPicture();
    FormPicture(FormPicture&&) noexcept;
    FormPicture& operator=(FormPicture&&) noexcept;
    const Native& native() const { return *native_; }

private:
    std::unique_ptr<Native> native_;
};

// What the form shows now, frame left out.
FormPicture grabForm(TForm& form);

struct NamedThumbnail {
    std::u16string name;
    Canvas picture;
};

// The pictures side by side, each under `title`, then every thumbnail with
// its name below; written as a PNG. False when the file cannot be written.
bool writeScreenshotSheet(const std::vector<FormPicture>& pictures, const std::u16string& title,
                          const std::vector<NamedThumbnail>& thumbnails, const std::filesystem::path& out);

}  // namespace velmora
