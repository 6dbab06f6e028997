// The PNG encoder on libpng.
#include "render/png_file.h"

#include <png.h>

#include <cctype>
#include <csetjmp>
#include <new>
#include <stdexcept>
#include <string>

namespace velmora {
namespace {

constexpr const char* kOutOfMemory = "out of memory";

// No exception may cross libpng's frames: a failed append becomes a libpng
// error, which writeRows sees as out of memory.
void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    try {
        out->insert(out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        png_error(png, kOutOfMemory);
    }
}

// libpng's errors end the encoding; the message says whether memory ran out.
void recordError(png_structp png, png_const_charp message) {
    auto* failure = static_cast<std::string*>(png_get_error_ptr(png));
    if (failure) *failure = message ? message : "";
    png_longjmp(png, 1);
}

void noFlush(png_structp) {}

// Owns libpng's write structures.
class PngWriter {
public:
    explicit PngWriter(std::string& failure)
        : png_(png_create_write_struct(PNG_LIBPNG_VER_STRING, &failure, recordError, nullptr)) {
        if (!png_) throw std::runtime_error("cannot start a PNG file");
        info_ = png_create_info_struct(png_);
        if (!info_) {
            png_destroy_write_struct(&png_, nullptr);
            throw std::runtime_error("cannot start a PNG file");
        }
    }
    ~PngWriter() { png_destroy_write_struct(&png_, &info_); }
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

private:
    png_structp png_;
    png_infop info_ = nullptr;
};

// The libpng calls; a libpng error returns here by longjmp, so nothing in
// this function may own a resource.
bool writeRows(png_structp png, png_infop info, const Canvas& canvas, std::vector<png_color>& palette,
               std::vector<png_bytep>& rows, std::vector<std::uint8_t>& out) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, &out, appendBytes, noFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(canvas.width()), static_cast<png_uint_32>(canvas.height()), 8,
                 PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

std::vector<std::uint8_t> encodePng(const Canvas& canvas) {
    std::vector<png_color> palette;
    for (TColor c : canvas.palette())
        palette.push_back(png_color{static_cast<png_byte>(c & 0xFF), static_cast<png_byte>((c >> 8) & 0xFF),
                                    static_cast<png_byte>((c >> 16) & 0xFF)});
    std::vector<std::uint8_t> pixels = canvas.pixels();
    std::vector<png_bytep> rows;
    for (int y = 0; y < canvas.height(); ++y)
        rows.push_back(pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(canvas.width()));
    std::vector<std::uint8_t> out;
    std::string failure;
    PngWriter writer(failure);
    if (!writeRows(writer.png(), writer.info(), canvas, palette, rows, out)) {
        // libpng says "Out of Memory" or "Insufficient memory" when its own allocations fail.
        for (char& c : failure) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (failure.find("memory") != std::string::npos) throw std::bad_alloc();
        throw std::runtime_error("cannot encode the PNG image");
    }
    return out;
}

}  // namespace velmora
