#include "app/block_file_names.h"

#include <array>

#include "platform/utf.h"

namespace velmora {
namespace {

constexpr std::size_t kMaxFileNameLength = 255;
// ".tmp-" and two random numbers of up to 10 digits: the temporary name an
// atomic write gives the file beside its final name.
constexpr std::size_t kTemporarySuffixLength = 25;

bool isControl(char16_t c) { return c < 0x20 || c == 0x7F; }

bool isDeviceName(std::u16string_view name) {
    std::u16string base(name.substr(0, name.find(u'.')));
    while (!base.empty() && base.back() == u' ') base.pop_back();
    for (char16_t& c : base)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    static constexpr std::array<std::u16string_view, 4> fixed{u"CON", u"PRN", u"AUX", u"NUL"};
    for (std::u16string_view device : fixed)
        if (base == device) return true;
    return base.size() == 4 && (base.starts_with(u"COM") || base.starts_with(u"LPT")) && base[3] >= u'1' &&
           base[3] <= u'9';
}

}  // namespace

std::u16string blockFileNameProblem(std::u16string_view name, std::string_view extension) {
    if (name.empty()) return u"ブロック名が空です.";
    if (name == u"." || name == u"..") return u"ブロック名 \"" + std::u16string(name) + u"\" はファイル名に使えません.";
    for (char16_t c : name) {
        if (c == u'/' || c == u'\\')
            return u"ブロック名にフォルダの区切り文字 (/ または \\) が含まれているため, ファイル名に使えません.";
        if (isControl(c)) return u"ブロック名に制御文字が含まれているため, ファイル名に使えません.";
        if (std::u16string_view(u"<>:\"|?*").find(c) != std::u16string_view::npos)
            return u"ブロック名にファイル名に使えない文字 (< > : \" | ? *) が含まれているため, ファイル名に使えません.";
    }
    if (name.back() == u'.' || name.back() == u' ')
        return u"ブロック名の末尾がピリオドまたは空白のため, ファイル名に使えません.";
    if (isDeviceName(name))
        return u"ブロック名 \"" + std::u16string(name) + u"\" は装置名のため, ファイル名に使えません.";
    const std::size_t suffix = extension.size() + kTemporarySuffixLength;
    if (utf16ToUtf8(name).size() + suffix > kMaxFileNameLength || name.size() + suffix > kMaxFileNameLength)
        return u"ブロック名が長すぎるため, ファイル名に使えません.";
    return {};
}

std::filesystem::path blockFilePath(const std::filesystem::path& folder, std::u16string_view name,
                                    std::string_view extension) {
    return folder / (std::u16string(name) + std::u16string(extension.begin(), extension.end()));
}

}  // namespace velmora
