#include "dxf/dxf_probes.h"

#include <optional>

#include "platform/files.h"
#include "platform/locale_numbers.h"
#include "platform/text_encoding.h"
#include "dxf/line_pairs.h"
#include "platform/text_file.h"

namespace velmora {
namespace {

constexpr std::size_t kSignatureBytes = 6;

// Stops the line scan of readAcadVersion.
struct ScanDone {};

}  // namespace

bool readFileSignature(const std::filesystem::path& fileName, std::u16string& signature) {
    signature.clear();
    if (!fileExists(fileName)) return true;
    std::optional<std::string> bytes = readFirstBytes(fileName, kSignatureBytes + 1);
    if (!bytes) return false;
    if (bytes->size() < kSignatureBytes) return true;
    std::string_view first(bytes->data(), kSignatureBytes);
    first = first.substr(0, first.find('\0'));
    signature = decodeText(first, TextEncoding::Ansi);
    return true;
}

bool readAcadVersion(const std::filesystem::path& fileName, std::u16string& version) {
    version.clear();
    if (!fileExists(fileName)) return true;
    DxfLinePairs pairs;
    bool inHeader = false, versionNext = false;
    auto pair = [&](std::u16string_view code, std::u16string_view value) {
        const std::optional<std::int32_t> n = tryStrToInt(code);
        if (!n) throw ScanDone{};
        if (versionNext) {
            if (*n == 1) version = value;
            throw ScanDone{};
        }
        if (*n == 2 && value == u"HEADER") inHeader = true;
        if (inHeader && value == u"$ACADVER") versionNext = true;
        if (*n == 2 && (value == u"ENTITIES" || value == u"BLOCKS")) throw ScanDone{};
    };
    try {
        const FileReadFailure failure = forEachFileLine(fileName, TextEncoding::Ansi, [&](std::u16string_view line) {
            if (pairs.take(line)) pair(pairs.code(), pairs.value());
        }, ByteOrderMarks::SkipUtf8);
        if (failure != FileReadFailure::None) return false;
        if (pairs.finish()) pair(pairs.code(), pairs.value());
    } catch (const ScanDone&) {
    }
    return true;
}

}  // namespace velmora
