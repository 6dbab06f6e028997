#include "render/bmp_file.h"

#include <fstream>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace velmora {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::size_t kPaletteEntries = 256;
constexpr std::uint32_t kBiRgb = 0;

std::size_t rowStride(int width) { return (static_cast<std::size_t>(width) + 3) & ~std::size_t{3}; }

// The largest file the reader accepts: a full-size image with the largest
// header and colour table.
constexpr std::size_t kMaxFileSize = kFileHeaderSize + 124 + 4 * kPaletteEntries +
                                     static_cast<std::size_t>(kMaxBmpSide) * kMaxBmpSide;

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// Little-endian fields of a byte range whose length has been checked.
class FieldReader {
public:
    explicit FieldReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint16_t u16(std::size_t at) const {
        return static_cast<std::uint16_t>(bytes_[at] | (bytes_[at + 1] << 8));
    }
    std::uint32_t u32(std::size_t at) const {
        return static_cast<std::uint32_t>(bytes_[at]) | (static_cast<std::uint32_t>(bytes_[at + 1]) << 8) |
               (static_cast<std::uint32_t>(bytes_[at + 2]) << 16) |
               (static_cast<std::uint32_t>(bytes_[at + 3]) << 24);
    }
    std::int32_t i32(std::size_t at) const { return static_cast<std::int32_t>(u32(at)); }

private:
    std::span<const std::uint8_t> bytes_;
};

[[noreturn]] void refuse(const std::string& why) { throw BmpError("not a usable BMP file: " + why); }

std::string num(long long v) { return std::to_string(v); }

}  // namespace

std::vector<std::uint8_t> encodeBmp(const Canvas& canvas) {
    const std::size_t stride = rowStride(canvas.width());
    const std::size_t imageSize = stride * canvas.height();
    const std::size_t offBits = kFileHeaderSize + kInfoHeaderSize + 4 * kPaletteEntries;
    std::vector<std::uint8_t> out;
    out.reserve(offBits + imageSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, static_cast<std::uint32_t>(offBits + imageSize));
    put16(out, 0);
    put16(out, 0);
    put32(out, static_cast<std::uint32_t>(offBits));
    put32(out, kInfoHeaderSize);
    put32(out, static_cast<std::uint32_t>(canvas.width()));
    put32(out, static_cast<std::uint32_t>(canvas.height()));  // positive: rows bottom-up
    put16(out, 1);                                            // planes
    put16(out, 8);                                            // bits per pixel
    put32(out, kBiRgb);
    put32(out, static_cast<std::uint32_t>(imageSize));
    put32(out, 0);  // pixels per metre, x and y: unspecified
    put32(out, 0);
    put32(out, kPaletteEntries);
    put32(out, 0);  // all colours important
    for (TColor c : canvas.palette()) {
        out.push_back(static_cast<std::uint8_t>(c >> 16));  // blue
        out.push_back(static_cast<std::uint8_t>(c >> 8));   // green
        out.push_back(static_cast<std::uint8_t>(c));        // red
        out.push_back(0);
    }
    const auto& pixels = canvas.pixels();
    for (int y = canvas.height() - 1; y >= 0; --y) {
        const auto row = pixels.begin() + static_cast<std::ptrdiff_t>(y) * canvas.width();
        out.insert(out.end(), row, row + canvas.width());
        out.insert(out.end(), stride - canvas.width(), 0);
    }
    return out;
}

Canvas decodeBmp(std::span<const std::uint8_t> bytes) {
    const std::size_t size = bytes.size();
    if (size < kFileHeaderSize + kInfoHeaderSize) refuse("only " + num(size) + " bytes, too short for the headers");
    const FieldReader f(bytes);
    if (bytes[0] != 'B' || bytes[1] != 'M') refuse("it does not begin with BM");
    if (f.u32(2) != size) refuse("the header gives " + num(f.u32(2)) + " bytes, the file has " + num(size));
    if (f.u16(6) != 0 || f.u16(8) != 0) refuse("reserved header fields are not zero");
    const std::uint32_t offBits = f.u32(10);

    const std::uint32_t infoSize = f.u32(14);
    if (infoSize != 40 && infoSize != 108 && infoSize != 124)
        refuse("unsupported info header of " + num(infoSize) + " bytes");
    if (kFileHeaderSize + infoSize > size) refuse("the info header runs past the end of the file");
    const std::int32_t width = f.i32(18);
    const std::int32_t rawHeight = f.i32(22);
    if (width < 1 || width > kMaxBmpSide) refuse("width " + num(width) + " is outside 1 to " + num(kMaxBmpSide));
    if (rawHeight == 0 || rawHeight < -kMaxBmpSide || rawHeight > kMaxBmpSide)
        refuse("height " + num(rawHeight) + " is outside 1 to " + num(kMaxBmpSide));
    const bool topDown = rawHeight < 0;
    const int height = topDown ? -rawHeight : rawHeight;
    if (f.u16(26) != 1) refuse(num(f.u16(26)) + " colour planes");
    if (f.u16(28) != 8) refuse(num(f.u16(28)) + " bits per pixel; only 8-bit palette images are read");
    if (f.u32(30) != kBiRgb) refuse("compression " + num(f.u32(30)) + "; only uncompressed images are read");
    const std::size_t stride = rowStride(width);
    const std::size_t imageSize = stride * static_cast<std::size_t>(height);
    const std::uint32_t declaredImage = f.u32(34);
    if (declaredImage != 0 && declaredImage != imageSize)
        refuse("the header gives " + num(declaredImage) + " image bytes, " + num(width) + " x " +
               num(height) + " needs " + num(imageSize));
    const std::uint32_t clrUsed = f.u32(46);
    if (clrUsed > kPaletteEntries) refuse(num(clrUsed) + " palette entries, more than 256");
    const std::size_t colours = clrUsed == 0 ? kPaletteEntries : clrUsed;
    if (f.u32(50) > colours) refuse("more important colours than palette entries");

    const std::size_t paletteAt = kFileHeaderSize + infoSize;
    if (offBits < paletteAt + 4 * colours) refuse("the pixels would overlap the headers or colour table");
    if (offBits > size || size - offBits != imageSize)
        refuse("the pixel data takes " + num(size > offBits ? size - offBits : 0) + " bytes, " +
               num(width) + " x " + num(height) + " needs " + num(imageSize));

    Palette palette{};
    for (std::size_t i = 0; i < colours; ++i) {
        const std::size_t at = paletteAt + 4 * i;
        palette[i] = static_cast<TColor>(bytes[at + 2]) | (static_cast<TColor>(bytes[at + 1]) << 8) |
                     (static_cast<TColor>(bytes[at]) << 16);
    }
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height);
    for (int row = 0; row < height; ++row) {
        const std::size_t source = offBits + stride * static_cast<std::size_t>(row);
        const int y = topDown ? row : height - 1 - row;
        for (int x = 0; x < width; ++x) {
            const std::uint8_t index = bytes[source + x];
            if (index >= colours)
                refuse("pixel (" + num(x) + ", " + num(y) + ") uses colour " + num(index) + " of " + num(colours));
            pixels[static_cast<std::size_t>(y) * width + x] = index;
        }
    }
    return Canvas(width, height, palette, std::move(pixels));
}

void saveBmpFile(const Canvas& canvas, const std::filesystem::path& file) {
    const std::vector<std::uint8_t> bytes = encodeBmp(canvas);
    const std::string_view view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!writeFileAtomically(file, view)) throw std::runtime_error("cannot write " + file.string());
}

Canvas loadBmpFile(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) throw BmpError(file.string() + ": no such BMP file");
    std::ifstream in(file, std::ios::binary);
    if (!in) throw BmpError(file.string() + ": cannot be opened");
    std::vector<std::uint8_t> bytes;
    constexpr std::size_t kChunk = 1 << 16;
    while (in && bytes.size() <= kMaxFileSize) {
        const std::size_t at = bytes.size();
        bytes.resize(at + kChunk);
        in.read(reinterpret_cast<char*>(bytes.data() + at), kChunk);
        bytes.resize(at + static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) throw BmpError(file.string() + ": read error");
    if (bytes.size() > kMaxFileSize) throw BmpError(file.string() + ": larger than any thumbnail this program reads");
    try {
        return decodeBmp(bytes);
    } catch (const BmpError& e) {
        throw BmpError(file.string() + ": " + e.what());
    }
}

}  // namespace velmora
