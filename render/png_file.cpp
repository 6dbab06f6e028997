// PNG and BMP files from a canvas; the PNG encoder is the platform's.
#include "render/png_file.h"

#include <cctype>
#include <stdexcept>
#include <string>

#include "platform/files.h"
#include "render/bmp_file.h"

namespace velmora {

void savePngFile(const Canvas& canvas, const std::filesystem::path& file) {
    const std::vector<std::uint8_t> bytes = encodePng(canvas);
    if (!writeFileAtomically(file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
        throw std::runtime_error("cannot write " + file.string());
}

void saveImageFile(const Canvas& canvas, const std::filesystem::path& file) {
    std::string ext = file.extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".png") savePngFile(canvas, file);
    else saveBmpFile(canvas, file);
}

}  // namespace velmora
