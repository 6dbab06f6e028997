#include "tools/dxf_messages.h"

#include <cstdio>

#include "platform/text_fields.h"
#include "platform/utf.h"

namespace velmora::tool {

void StderrDxfMessages::show(const std::u16string& text) {
    std::u16string line = text;
    replaceAll(line, u"\n", u" / ");
    std::fprintf(stderr, "DxfReport: %s\n", utf16ToUtf8(line).c_str());
}

void printNotice(const std::string& text) { std::fprintf(stderr, "velmora-tool: %s\n", text.c_str()); }

}  // namespace velmora::tool
