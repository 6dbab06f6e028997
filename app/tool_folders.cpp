#include "app/tool_folders.h"


namespace velmora {

std::filesystem::path wblockFolder(std::u16string_view documentFullName) {
    const std::filesystem::path drawing{std::u16string(documentFullName)};
    if (!drawing.is_absolute() || !drawing.has_filename()) return {};
    return drawing.parent_path() / "WBLOCK";
}

}  // namespace velmora
