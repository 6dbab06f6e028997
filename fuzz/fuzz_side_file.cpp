// The side file lies in a folder others can write to: any bytes must read as
// rows without a crash, and storing and removing rows must keep them whole.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/side_file.h"
#include "platform/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::u16string> rows = decodeTextLines(bytes, TextEncoding::Ansi);
    const std::u16string name = rows.empty() ? std::u16string(u"DOOR") : splitSideFileFields(rows.front()).empty()
                                                                            ? std::u16string()
                                                                            : splitSideFileFields(rows.front())[0];
    const SideFileRow found = findRowIn(rows, name);
    if (found.index >= static_cast<int>(rows.size())) __builtin_trap();
    const std::size_t before = rows.size();
    try {
        storeRowIn(rows, name, makeSideFileRow(name, 1, 2, u"3.00 x 4.00"));
    } catch (const SideFileError&) {
        return 0;  // a name with a line break is refused
    }
    const SideFileRow stored = findRowIn(rows, name);
    if (stored.index < 0 || stored.entityCount != 1 || stored.attributeCount != 2) __builtin_trap();
    if (rows.size() < before || rows.size() > before + 1) __builtin_trap();
    if (!removeRowIn(rows, name)) __builtin_trap();
    return 0;
}
