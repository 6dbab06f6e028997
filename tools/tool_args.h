// Small option parsing shared by the velmora-tool subcommands.
#pragma once

#include <filesystem>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::tool {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ParsedArgs {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> options;  // --name value
    std::set<std::string> flags;                               // --name

    std::optional<std::string> option(const std::string& name) const;
    bool flag(const std::string& name) const { return flags.count(name) != 0; }
};

// `valued` lists the options that take a value, `switches` those that do not;
// anything else starting with "--" is a UsageError.
ParsedArgs parseArgs(const std::vector<std::string>& args, const std::set<std::string>& valued,
                     const std::set<std::string>& switches);

struct ImageSize {
    int width = 120;
    int height = 100;
};

// "WxH" with both sides 1..10000.
ImageSize parseSize(const std::string& text);

// Applies --decimal-separator C (a single character) to the process-wide setting.
void applyDecimalSeparator(const ParsedArgs& parsed);

// True when the input file `file` exists; otherwise "no WHAT FILE" on stderr
// and false (the command then exits with its failure code).
bool requireInputFile(const std::filesystem::path& file, const char* what);
// True when `output` is another file than `input`; otherwise a message on
// stderr and false, so that no command writes over what it reads.
bool requireOtherOutput(const std::filesystem::path& input, const std::filesystem::path& output);

}  // namespace velmora::tool
