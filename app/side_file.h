// The side file beside the executable: one TAB-separated row per block with a
// thumbnail (upper-cased name, entity count, attribute count, size text), in
// the ANSI code page with CR LF line ends. It is rewritten whole on every
// change, through a temporary file and a rename, so a crash or a full disk
// never leaves half a file.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// A read or write of the side file failed; the text says which file and why.
class SideFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct SideFileRow {
    int index = -1;  // row of the file, -1 when there is none
    int entityCount = 0;
    int attributeCount = 0;
    std::u16string sizeText;
};

SideFileRow findSideFileRow(const std::filesystem::path& sideFile, std::u16string_view name);
// Whether a row for `name` can be stored: every character of it has one in
// the code page (otherwise storeSideFileRow refuses it).
bool sideFileCanHold(std::u16string_view name);
void storeSideFileRow(const std::filesystem::path& sideFile, std::u16string_view name, int entityCount,
                      int attributeCount, std::u16string_view sizeText);
void removeSideFileRow(const std::filesystem::path& sideFile, std::u16string_view name);

// Row-level steps, exposed for the fuzz target and the tests.

// The key of a name: the letters a to z in capitals, nothing else changed.
std::u16string sideFileKey(std::u16string_view name);
// Fields of a row: only TAB separates; a field that begins with a double
// quotation mark is quoted, its marks removed and doubled marks made single.
std::vector<std::u16string> splitSideFileFields(std::u16string_view row);
// The row for a block; a key that begins with a quotation mark is written
// quoted so that it reads back unchanged.
std::u16string makeSideFileRow(std::u16string_view name, int entityCount, int attributeCount,
                               std::u16string_view sizeText);
SideFileRow findRowIn(const std::vector<std::u16string>& rows, std::u16string_view name);
// Replaces the first row whose first field matches, or appends.
void storeRowIn(std::vector<std::u16string>& rows, std::u16string_view name, std::u16string row);
// Removes the first row whose first field matches; false when none does.
bool removeRowIn(std::vector<std::u16string>& rows, std::u16string_view name);

}  // namespace velmora
