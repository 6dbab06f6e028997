// Settings files in the platform's INI format: "[section]" lines and
// "key=value" lines; sections and keys compare without regard to letter
// case, blanks around keys and values are dropped and a value in double
// quotes loses them. On Windows the system's profile functions read and
// write the file; elsewhere it is UTF-8 text read and written here.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

struct IniValue {
    std::u16string section;
    std::u16string key;
    std::u16string value;
};

class IniFile {
public:
    // A missing or unreadable file reads as empty.
    explicit IniFile(std::filesystem::path file);
    // nullopt when the key is missing.
    std::optional<std::u16string> value(std::u16string_view section, std::u16string_view key) const;

private:
    std::filesystem::path file_;
    std::vector<IniValue> values_;  // read once, where the platform does not read the file itself
};

// Sets the values in this order, keeping every other section and key of the
// file; the file is replaced whole or not at all. False on failure.
bool writeIniValues(const std::filesystem::path& file, const std::vector<IniValue>& values);

// The text form, exposed for the tests: the values of a file's text, and the
// text with `values` set in it.
std::vector<IniValue> parseIniText(std::string_view text);
std::string setIniValues(std::string_view text, const std::vector<IniValue>& values);
std::optional<std::u16string> findIniValue(const std::vector<IniValue>& values, std::u16string_view section,
                                           std::u16string_view key);

}  // namespace velmora
