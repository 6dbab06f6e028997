#include "app/side_file.h"

#include <algorithm>
#include <optional>

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

std::vector<std::u16string> readRows(const std::filesystem::path& sideFile) {
    auto rows = readTextFileLines(sideFile, TextEncoding::Ansi);
    if (!rows) throw SideFileError("cannot read the side file " + sideFile.string());
    return std::move(*rows);
}

void writeRows(const std::filesystem::path& sideFile, const std::vector<std::u16string>& rows) {
    std::string bytes;
    for (const std::u16string& row : rows) bytes += encodeAnsi(row) + "\r\n";
    if (!writeFileAtomically(sideFile, bytes)) throw SideFileError("cannot write the side file " + sideFile.string());
}

}  // namespace

SideFileRow findSideFileRow(const std::filesystem::path& sideFile, std::u16string_view name) {
    const auto key = ansiName(name);
    if (!key || !fileExists(sideFile)) return {};
    return findRowIn(readRows(sideFile), *key);
}

void storeSideFileRow(const std::filesystem::path& sideFile, std::u16string_view name, int entityCount,
                      int attributeCount, std::u16string_view sizeText) {
    const auto key = ansiName(name);
    if (!key) throw SideFileError("the block name cannot be written in the side file's code page");
    std::u16string row = makeSideFileRow(*key, entityCount, attributeCount, sizeText);
    std::vector<std::u16string> rows;
    if (fileExists(sideFile)) rows = readRows(sideFile);
    storeRowIn(rows, *key, std::move(row));
    writeRows(sideFile, rows);
}

void removeSideFileRow(const std::filesystem::path& sideFile, std::u16string_view name) {
    const auto key = ansiName(name);
    if (!key || !fileExists(sideFile)) return;
    std::vector<std::u16string> rows = readRows(sideFile);
    if (removeRowIn(rows, *key)) writeRows(sideFile, rows);
}

}  // namespace velmora
