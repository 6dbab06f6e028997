#include "app/block_file_names.h"

#include "platform/utf.h"

namespace velmora {
namespace {

constexpr std::size_t kMaxFileNameBytes = 255;

bool isControl(char16_t c) { return c < 0x20 || c == 0x7F; }

}  // namespace

std::u16string blockFileNameProblem(std::u16string_view name, std::string_view extension) {
    if (name.empty()) return u"ブロック名が空です.";
    if (name == u"." || name == u"..") return u"ブロック名 \"" + std::u16string(name) + u"\" はファイル名に使えません.";
    for (char16_t c : name) {
        if (c == u'/' || c == u'\\')
            return u"ブロック名にフォルダの区切り文字 (/ または \\) が含まれているため, ファイル名に使えません.";
        if (isControl(c)) return u"ブロック名に制御文字が含まれているため, ファイル名に使えません.";
    }
    if (utf16ToUtf8(name).size() + extension.size() > kMaxFileNameBytes)
        return u"ブロック名が長すぎるため, ファイル名に使えません.";
    return {};
}

std::filesystem::path blockFilePath(const std::filesystem::path& folder, std::u16string_view name,
                                    std::string_view extension) {
    return folder / (utf16ToUtf8(name) + std::string(extension));
}

}  // namespace velmora
