// The command-line tool's side of the process: its arguments and its
// standard output.
#pragma once

#include <string>
#include <vector>

namespace velmora {

// The arguments after the program name, in UTF-8 (on Windows read as UTF-16
// from the process's command line, so any file name comes through).
std::vector<std::string> commandLineArguments(int argc, char** argv);

// Bytes written to the standard output reach it unchanged: no line end is
// turned into CR LF (the Windows C library's text mode does that). A Windows
// console shows them as UTF-8 while the program runs.
void useBinaryStandardOutput();

}  // namespace velmora
