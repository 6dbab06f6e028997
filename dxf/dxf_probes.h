// Looks at a DXF file before it is read: its first bytes (to refuse binary
// drawing files and binary DXF) and the version its header names (to choose
// the text encoding of the real read).
#pragma once

#include <filesystem>
#include <string>

namespace velmora {

// The first six bytes of the file up to the first zero byte, in the ANSI code
// page; empty when fewer than six bytes could be read or the file does not
// exist. False when the file exists but cannot be opened or read.
bool readFileSignature(const std::filesystem::path& fileName, std::u16string& signature);

// The value of $ACADVER from the HEADER section, scanning pairs of lines up
// to the first BLOCKS or ENTITIES section or the first code line that is no
// integer. Empty when there is none or the file does not exist. False when
// the file exists but cannot be read.
bool readAcadVersion(const std::filesystem::path& fileName, std::u16string& version);

}  // namespace velmora
