// DXF files for the tests, written compactly: one pair per line as
// "code value" (the value may be empty or hold blanks), turned into the two
// lines a DXF file holds per pair.
#pragma once

#include <sstream>
#include <string>

namespace velmora::test {

inline std::string dxfText(const std::string& pairs, const char* lineEnd = "\r\n") {
    std::istringstream in(pairs);
    std::string out, line;
    while (std::getline(in, line)) {
        const auto first = line.find_first_not_of(' ');
        if (first == std::string::npos) continue;
        const auto space = line.find(' ', first);
        out += "  " + line.substr(first, space - first) + lineEnd;
        out += (space == std::string::npos ? "" : line.substr(space + 1)) + lineEnd;
    }
    return out;
}

}  // namespace velmora::test
