// Where the tool keeps its files: everything lies beside its executable, except
// the write-block target beside the drawing when the user chooses it.
#pragma once

#include <filesystem>
#include <string_view>

namespace velmora {

struct ToolFolders {
    std::filesystem::path executable;  // full file name of the executable

    std::filesystem::path folder() const { return executable.parent_path(); }
    // The executable's name with its extension replaced.
    std::filesystem::path settingsFile() const { return sibling(".ini"); }
    std::filesystem::path sideFile() const { return sibling(".csv"); }
    std::filesystem::path bmpFolder() const { return folder() / "BMP"; }
    std::filesystem::path dwgFolder() const { return folder() / "DWG"; }

private:
    std::filesystem::path sibling(const char* extension) const {
        return std::filesystem::path(executable).replace_extension(extension);
    }
};

// The folder part of the drawing's full file name + "WBLOCK". Empty when the
// name has no absolute folder part (a drawing that was never saved), so that
// nothing is written relative to whatever the current folder happens to be.
std::filesystem::path wblockFolder(std::u16string_view documentFullName);

}  // namespace velmora
