// Block names become parts of file names (the thumbnail, the written block)
// and keys of the side file. A name that would lead outside the tool's folders
// or that the file system or the side file cannot hold is refused up front.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace velmora {

// Why `name` cannot be used as a file name; empty when it can. Refused: the
// empty name, "." and "..", path separators ("/" and "\"), control characters
// (they would also break the side file's TAB and line structure), and names
// whose file name with `extension` exceeds the file system's 255 bytes.
std::u16string blockFileNameProblem(std::u16string_view name, std::string_view extension);

// folder / (name + extension). Only for names blockFileNameProblem accepts.
std::filesystem::path blockFilePath(const std::filesystem::path& folder, std::u16string_view name,
                                    std::string_view extension);

}  // namespace velmora
