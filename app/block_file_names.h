// Block names become parts of file names (the thumbnail, the written block)
// and keys of the side file. A name that would lead outside the tool's folders
// or that the file system or the side file cannot hold is refused up front,
// by the rules of Windows file names on every platform, so that a drawing's
// blocks are treated alike wherever the tool runs.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace velmora {

// Why `name` cannot be used as a file name; empty when it can. Refused: the
// empty name, "." and "..", path separators ("/" and "\"), the other
// characters Windows file names cannot hold (< > : " | ? *, which also keeps
// a ":" from naming an alternate data stream), control characters (they
// would also break the side file's TAB and line structure), a trailing dot
// or blank, the device names (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to
// LPT9, with any extension), and names whose longest file name (with
// `extension` and the temporary suffix of an atomic write) exceeds 255 bytes
// or 255 UTF-16 units.
std::u16string blockFileNameProblem(std::u16string_view name, std::string_view extension);

// folder / (name + extension). Only for names blockFileNameProblem accepts.
std::filesystem::path blockFilePath(const std::filesystem::path& folder, std::u16string_view name,
                                    std::string_view extension);

}  // namespace velmora
