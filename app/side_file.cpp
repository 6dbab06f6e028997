#include "app/side_file.h"

#include <algorithm>
#include <optional>
#include <system_error>

#include "platform/utf.h"
#include "platform/file_lock.h"
#include "platform/files.h"
#include "platform/locale_numbers.h"
#include "platform/text_encoding.h"
#include "platform/text_fields.h"
#include "platform/text_file.h"

namespace velmora {
namespace {

bool keysMatch(std::u16string_view a, std::u16string_view b) { return sideFileKey(a) == sideFileKey(b); }

int countField(const std::u16string& field) { return tryStrToInt(field).value_or(0); }

std::u16string quoteField(std::u16string_view text) {
    std::u16string out = u"\"";
    for (char16_t c : text) {
        if (c == u'"') out += u'"';
        out += c;
    }
    return out + u"\"";
}

}  // namespace

std::u16string sideFileKey(std::u16string_view name) {
    std::u16string key(name);
    for (char16_t& c : key)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return key;
}

std::vector<std::u16string> splitSideFileFields(std::u16string_view row) { return splitDelimited(row, u'\t'); }

std::u16string makeSideFileRow(std::u16string_view name, int entityCount, int attributeCount,
                               std::u16string_view sizeText) {
    std::u16string key = sideFileKey(name);
    if (key.find_first_of(u"\r\n") != std::u16string::npos)
        throw SideFileError("a block name with a line break cannot be kept in the side file");
    if (!key.empty() && (key.front() == u'"' || key.find(u'\t') != std::u16string::npos)) key = quoteField(key);
    auto number = [](int n) {
        const std::string digits = std::to_string(n);
        return std::u16string(digits.begin(), digits.end());
    };
    return key + u'\t' + number(entityCount) + u'\t' + number(attributeCount) + u'\t' + std::u16string(sizeText);
}

SideFileRow findRowIn(const std::vector<std::u16string>& rows, std::u16string_view name) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto fields = splitSideFileFields(rows[i]);
        if (fields.size() >= 4 && keysMatch(fields[0], name))
            return {static_cast<int>(i), countField(fields[1]), countField(fields[2]), fields[3]};
    }
    return {};
}

namespace {

std::vector<std::u16string>::iterator firstMatch(std::vector<std::u16string>& rows, std::u16string_view name) {
    for (auto it = rows.begin(); it != rows.end(); ++it) {
        const auto fields = splitSideFileFields(*it);
        if (!fields.empty() && keysMatch(fields[0], name)) return it;
    }
    return rows.end();
}

}  // namespace

void storeRowIn(std::vector<std::u16string>& rows, std::u16string_view name, std::u16string row) {
    const auto it = firstMatch(rows, name);
    if (it != rows.end())
        *it = std::move(row);
    else
        rows.push_back(std::move(row));
}

bool removeRowIn(std::vector<std::u16string>& rows, std::u16string_view name) {
    const auto it = firstMatch(rows, name);
    if (it == rows.end()) return false;
    rows.erase(it);
    return true;
}

namespace {

// The name as the ANSI side file holds it; nullopt when the code page has no
// character for some of it, so the row could never be found again (and two
// such names would share one row).
std::optional<std::u16string> ansiName(std::u16string_view name) {
    std::u16string back = decodeText(encodeAnsi(name), TextEncoding::Ansi);
    if (std::count(back.begin(), back.end(), u'?') != std::count(name.begin(), name.end(), u'?')) return std::nullopt;
    return back;
}

// The side file's rows, each as its bytes (kept as they are, so that storing
// one row never rewrites another) and as text (to find rows by name).
struct SideFileLines {
    std::vector<std::string> bytes;
    std::vector<std::u16string> text;
};

// Lines end at CR LF, LF or CR, as the text readers split them.
std::vector<std::string> splitByteLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) break;
        lines.emplace_back(bytes.substr(start, end - start));
        start = end + (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1);
    }
    if (start < bytes.size()) lines.emplace_back(bytes.substr(start));
    return lines;
}

SideFileLines readLines(const std::filesystem::path& sideFile) {
    std::optional<std::string> bytes = readWholeFile(sideFile);
    if (!bytes) throw SideFileError("cannot read the side file " + utf16ToUtf8(sideFile.u16string()));
    SideFileLines lines;
    if (detectByteOrderMark(*bytes)) {
        // Not this tool's format: its rows are rewritten in the code page.
        lines.text = decodeTextLines(*bytes, TextEncoding::Ansi);
        for (const std::u16string& row : lines.text) lines.bytes.push_back(encodeAnsi(row));
        return lines;
    }
    lines.bytes = splitByteLines(*bytes);
    for (const std::string& row : lines.bytes) lines.text.push_back(decodeText(row, TextEncoding::Ansi));
    return lines;
}

// The file a symbolic link points to is the one rewritten, so the link stays.
std::filesystem::path writtenFile(const std::filesystem::path& sideFile) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(sideFile, ec)) return sideFile;
    std::filesystem::path target = std::filesystem::weakly_canonical(sideFile, ec);
    return ec ? sideFile : target;
}

// Temporary files a writer killed mid-write left beside `file`: the name of
// the file, ".tmp-" and digits, as writeFileAtomically makes them.
void removeStaleTemporaries(const std::filesystem::path& file) {
    // Names through UTF-16: elsewhere than here they would pass the ANSI code page.
    const std::u16string prefix = file.filename().u16string() + u".tmp-";
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(file.parent_path(), ec)) {
        const std::u16string name = entry.path().filename().u16string();
        if (!name.starts_with(prefix) || name.size() == prefix.size() ||
            name.find_first_not_of(u"0123456789", prefix.size()) != std::u16string::npos)
            continue;
        std::error_code entryError;
        if (entry.is_regular_file(entryError) && !entry.is_symlink(entryError))
            std::filesystem::remove(entry.path(), entryError);
    }
}

// Long enough for another copy's read-modify-write; never a window that
// waits for good on a lock some other program keeps.
constexpr std::chrono::milliseconds kLockPatience{3000};

// Read, change and write under the lock every copy of the tool takes, so two
// copies writing at once cannot lose each other's rows. `change` returns
// false when there is nothing to write.
template <class Change>
void updateSideFile(const std::filesystem::path& sideFile, Change&& change) {
    std::optional<FileLock> lock;
    try {
        lock.emplace(std::filesystem::path(sideFile) += ".lock", kLockPatience);
    } catch (const std::system_error& e) {
        throw SideFileError(std::string("cannot lock the side file: ") + e.what());
    }
    const std::filesystem::path file = writtenFile(sideFile);
    removeStaleTemporaries(file);
    SideFileLines lines;
    if (fileExists(file)) lines = readLines(file);
    if (!change(lines)) return;
    std::string bytes;
    for (const std::string& row : lines.bytes) bytes += row + "\r\n";
    if (!writeFileAtomically(file, bytes))
        throw SideFileError("cannot write the side file " + utf16ToUtf8(sideFile.u16string()));
}

}  // namespace

bool sideFileCanHold(std::u16string_view name) { return ansiName(name).has_value(); }

SideFileRow findSideFileRow(const std::filesystem::path& sideFile, std::u16string_view name) {
    const auto key = ansiName(name);
    if (!key || !fileExists(sideFile)) return {};
    return findRowIn(readLines(sideFile).text, *key);
}

void storeSideFileRow(const std::filesystem::path& sideFile, std::u16string_view name, int entityCount,
                      int attributeCount, std::u16string_view sizeText) {
    const auto key = ansiName(name);
    if (!key) throw SideFileError("the block name cannot be written in the side file's code page");
    std::string row = encodeAnsi(makeSideFileRow(*key, entityCount, attributeCount, sizeText));
    updateSideFile(sideFile, [&](SideFileLines& lines) {
        const auto it = firstMatch(lines.text, *key);
        if (it == lines.text.end())
            lines.bytes.push_back(std::move(row));
        else
            lines.bytes[static_cast<std::size_t>(it - lines.text.begin())] = std::move(row);
        return true;
    });
}

void removeSideFileRow(const std::filesystem::path& sideFile, std::u16string_view name) {
    const auto key = ansiName(name);
    if (!key || !fileExists(sideFile)) return;
    updateSideFile(sideFile, [&](SideFileLines& lines) {
        const auto it = firstMatch(lines.text, *key);
        if (it == lines.text.end()) return false;
        lines.bytes.erase(lines.bytes.begin() + (it - lines.text.begin()));
        return true;
    });
}

}  // namespace velmora
