// The listing script run: the host loads Velmora.lsp from the program folder
// and runs its command makeBlockItems, which writes the item list file and
// then sets USERI1 to 1.
#include <filesystem>
#include <system_error>

#include "host/block_item_list.h"
#include "host/host_api.h"
#include "platform/utf.h"

namespace velmora {
namespace {

constexpr std::uint32_t kFlagPollMs = 100;

std::u16string folderText(const std::filesystem::path& folder) {
    std::u16string text = folder.u16string();  // not through the ANSI code page
    if (!text.empty() && text.back() != u'/' && text.back() != u'\\') text += u'/';
    return text;
}

// The host reads USERS1 as a LISP string, where a backslash is doubled.
std::u16string doubleBackslashes(const std::u16string& text) {
    std::u16string doubled;
    for (char16_t c : text) {
        doubled += c;
        if (c == u'\\') doubled += c;
    }
    return doubled;
}

bool isFlagSet(const HostValue& value) {
    if (const auto* i = std::get_if<std::int32_t>(&value)) return *i == 1;
    return false;
}

}  // namespace

bool makeBlockItemList(HostLink& link, const std::u16string& name, int timeoutSeconds) {
    std::u16string folder = folderText(link.programFolder);
    if (hasControlCharacter(name)) throw HostError("the block name holds a control character and is not sent to the host");
    if (hasControlCharacter(folder)) throw HostError("the program folder holds a control character and is not sent to the host");

    auto application = connectHost(link, false);
    if (!application) return false;
    std::error_code ec;
    std::filesystem::remove(link.programFolder / kBlockItemListName, ec);

    auto document = application->currentDocument();
    document->setSystemVariable(u"USERS1", HostValue{doubleBackslashes(folder)});
    document->setSystemVariable(u"USERS2", HostValue{name});
    document->setSystemVariable(u"USERI1", HostValue{std::int32_t{0}});
    document->sendCommand(u"^C^C");
    document->sendCommand(u"LSP\rL\r" + folder + u"Velmora.lsp\r");
    document->sendCommand(u"makeBlockItems\r");

    WindowFunctions& windows = link.windows;
    const std::uint32_t start = windows.tickCount();
    const std::uint64_t limitMs = static_cast<std::uint64_t>(timeoutSeconds < 0 ? 0 : timeoutSeconds) * 1000;
    for (;;) {
        windows.sleepMilliseconds(kFlagPollMs);
        windows.processMessages();
        if (isFlagSet(document->getSystemVariable(u"USERI1"))) return true;
        if (static_cast<std::uint32_t>(windows.tickCount() - start) > limitMs) return false;
    }
}

}  // namespace velmora
