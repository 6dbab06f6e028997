// The file operations the tool needs from the platform.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// True for an existing file that is not a folder (as the platform's test).
bool fileExists(const std::filesystem::path& file);

// Removes a file (not a folder); true when it was removed.
bool deleteFile(const std::filesystem::path& file);

// Creates the folder and every missing parent; true when the folder exists
// afterwards.
bool forceDirectories(const std::filesystem::path& folder);

// Up to `count` bytes from the start of the file; nullopt when it cannot be
// opened or read.
std::optional<std::string> readFirstBytes(const std::filesystem::path& file, std::size_t count);

// The whole file; nullopt when it cannot be opened or read. Other readers of
// the file are not locked out.
std::optional<std::string> readWholeFile(const std::filesystem::path& file);

// Why a file could not be read to its end: it could not be opened, it is
// busy (the system says a resource is in use, or another program changed it
// while it was read), or reading it failed part-way (an input/output error).
enum class FileReadFailure { None, CannotOpen, Busy, InputOutput };

// Reads the file in blocks of up to `blockBytes`, calling consume(block) for
// each in order; consume returns false to stop early. The failure says why
// the file could not be read to its end (None when it was, or when consume
// stopped it). Only a regular file is read: anything else (a FIFO, a device,
// a folder) cannot be opened, at once and without blocking. A file read to its
// end whose size or modification time changed meanwhile is Busy.
FileReadFailure readFileBlocks(const std::filesystem::path& file, std::size_t blockBytes,
                               const std::function<bool(std::string_view)>& consume);

// Writes the file through a temporary file beside it and a rename, so a
// failure never leaves half a file; false (and the old file untouched) on
// failure. Only a regular file is replaced, its permissions kept; a symbolic
// link to one is written through (the link stays); any other existing thing
// (a device, a FIFO, a folder, a link to nothing) is refused.
bool writeFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// The full file name of the running executable.
std::filesystem::path executableFile();
// The folder of the running executable, with a closing separator.
std::filesystem::path executableFolder();

}  // namespace velmora
