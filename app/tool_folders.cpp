#include "app/tool_folders.h"

#include "platform/utf.h"

namespace velmora {

std::filesystem::path wblockFolder(std::u16string_view documentFullName) {
    const std::filesystem::path drawing(utf16ToUtf8(documentFullName));
    if (!drawing.is_absolute() || !drawing.has_filename()) return {};
    return drawing.parent_path() / "WBLOCK";
}

}  // namespace velmora
