// PNG files of previews and thumbnails, for users to open directly: the
// canvas's palette and 8-bit pixels as an indexed-colour PNG.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "render/canvas.h"

namespace velmora {

std::vector<std::uint8_t> encodePng(const Canvas& canvas);

// Writes through a temporary file and a rename; throws std::runtime_error on
// failure.
void savePngFile(const Canvas& canvas, const std::filesystem::path& file);

// A BMP or, when the name ends in ".png" (any letter case), a PNG.
void saveImageFile(const Canvas& canvas, const std::filesystem::path& file);

}  // namespace velmora
