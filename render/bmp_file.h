// BMP files of the thumbnails: 8 bits per pixel, uncompressed, a 256-entry
// colour table, rows bottom-up. Thumbnails are read back from a folder anyone
// can write to, so the reader trusts nothing: every header field and size is
// checked against the bytes actually present before any pixel is read.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <vector>

#include "render/canvas.h"

namespace velmora {

// A file that is not a BMP this program reads, or that contradicts itself.
class BmpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Largest side accepted by the reader, and so the largest file it reads.
inline constexpr int kMaxBmpSide = 10000;

std::vector<std::uint8_t> encodeBmp(const Canvas& canvas);
// Accepts uncompressed 8-bit files with a header of 40, 108 or 124 bytes,
// bottom-up or top-down, and a colour table of up to 256 entries (missing
// entries read as black). Throws BmpError for anything else.
Canvas decodeBmp(std::span<const std::uint8_t> bytes);

// Writes through a temporary file beside `file` and a rename, so a failure
// never leaves half a file. Throws std::runtime_error on I/O failure.
void saveBmpFile(const Canvas& canvas, const std::filesystem::path& file);
// Throws BmpError for a missing, unreadable, non-regular or malformed file.
Canvas loadBmpFile(const std::filesystem::path& file);

}  // namespace velmora
