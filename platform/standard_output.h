// The standard output of the command-line tool.
#pragma once

namespace velmora {

// Bytes written to the standard output reach it unchanged: no line end is
// turned into CR LF (the Windows C library's text mode does that).
void useBinaryStandardOutput();

}  // namespace velmora
