// The settings file through the system's profile functions, which read and
// write it as the platform's own programs do.
#include <windows.h>

#include "platform/ini_file.h"

namespace velmora {
namespace {

const wchar_t* wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

}  // namespace

IniFile::IniFile(std::filesystem::path file) : file_(std::move(file)) {}

std::optional<std::u16string> IniFile::value(std::u16string_view section, std::u16string_view key) const {
    const std::u16string s(section), k(key);
    // A default no value can hold tells a missing key from an empty one.
    const wchar_t* const missing = L"\x1F\x1Fmissing";
    std::wstring buffer(256, L'\0');
    for (;;) {
        const DWORD n = ::GetPrivateProfileStringW(wide(s), wide(k), missing, buffer.data(),
                                                   static_cast<DWORD>(buffer.size()), file_.c_str());
        if (n + 1 < buffer.size() || buffer.size() >= (1u << 20)) {
            buffer.resize(n);
            break;
        }
        buffer.resize(buffer.size() * 4);
    }
    if (buffer == missing) return std::nullopt;
    return std::u16string(buffer.begin(), buffer.end());
}

bool writeIniValues(const std::filesystem::path& file, const std::vector<IniValue>& values) {
    for (const IniValue& v : values)
        if (!::WritePrivateProfileStringW(wide(v.section), wide(v.key), wide(v.value), file.c_str())) return false;
    return true;
}

}  // namespace velmora
