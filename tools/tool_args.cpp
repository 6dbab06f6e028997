#include "tools/tool_args.h"

#include <charconv>
#include <cstdio>

#include "platform/files.h"
#include "platform/locale_numbers.h"
#include "platform/utf.h"

namespace velmora::tool {

std::optional<std::string> ParsedArgs::option(const std::string& name) const {
    for (const auto& [key, value] : options)
        if (key == name) return value;
    return std::nullopt;
}

ParsedArgs parseArgs(const std::vector<std::string>& args, const std::set<std::string>& valued,
                     const std::set<std::string>& switches) {
    ParsedArgs parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) != 0) {
            parsed.positional.push_back(a);
        } else if (valued.count(a)) {
            if (i + 1 >= args.size()) throw UsageError(a + " needs a value");
            parsed.options.emplace_back(a, args[++i]);
        } else if (switches.count(a)) {
            parsed.flags.insert(a);
        } else {
            throw UsageError("unknown option " + a);
        }
    }
    return parsed;
}

ImageSize parseSize(const std::string& text) {
    auto x = text.find('x');
    auto readSide = [&](std::string_view part) {
        int v = 0;
        auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), v);
        if (ec != std::errc() || end != part.data() + part.size() || v < 1 || v > 10000)
            throw UsageError("--size must be WxH with sides from 1 to 10000, not " + text);
        return v;
    };
    if (x == std::string::npos) throw UsageError("--size must be WxH, not " + text);
    std::string_view all(text);
    return ImageSize{readSide(all.substr(0, x)), readSide(all.substr(x + 1))};
}

void applyDecimalSeparator(const ParsedArgs& parsed) {
    if (auto sep = parsed.option("--decimal-separator")) {
        std::u16string s = utf8ToUtf16(*sep);
        if (s.size() != 1) throw UsageError("--decimal-separator takes a single character");
        setDecimalSeparator(s[0]);
    }
}

bool requireOtherOutput(const std::filesystem::path& input, const std::filesystem::path& output) {
    std::error_code ec;
    if (!std::filesystem::equivalent(input, output, ec) || ec) return true;
    std::fprintf(stderr, "velmora-tool: the output %s is the input file; nothing written\n",
                 utf16ToUtf8(output.u16string()).c_str());
    return false;
}

bool requireInputFile(const std::filesystem::path& file, const char* what) {
    if (fileExists(file)) return true;
    std::fprintf(stderr, "velmora-tool: no %s %s\n", what, utf16ToUtf8(file.u16string()).c_str());
    return false;
}

}  // namespace velmora::tool
