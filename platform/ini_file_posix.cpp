#include "platform/files.h"
#include "platform/ini_file.h"

namespace velmora {

IniFile::IniFile(std::filesystem::path file) : file_(std::move(file)) {
    if (const auto text = readWholeFile(file_)) values_ = parseIniText(*text);
}

std::optional<std::u16string> IniFile::value(std::u16string_view section, std::u16string_view key) const {
    return findIniValue(values_, section, key);
}

bool writeIniValues(const std::filesystem::path& file, const std::vector<IniValue>& values) {
    const std::string old = readWholeFile(file).value_or(std::string());
    return writeFileAtomically(file, setIniValues(old, values));
}

}  // namespace velmora
