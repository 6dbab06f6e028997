// The composite host operations: connection, layers, block names, the two
// ways of inserting a block, the wait for the host, and writing a block.
#include <cstdint>
#include <exception>

#include "host/host_api.h"

namespace velmora {
namespace {

constexpr std::int32_t kMinimisedWindowState = 2;
constexpr std::int32_t kRestoredWindowState = 3;
constexpr int kReadyPolls = 600;
constexpr std::uint32_t kReadyPollMs = 100;
constexpr std::uint32_t kExplodeDelayMs = 500;

void refuseControlCharacters(const std::u16string& text, const char* what) {
    if (hasControlCharacter(text))
        throw HostError(std::string(what) + " holds a control character and is not sent to the host");
}

}  // namespace

bool hasControlCharacter(const std::u16string& text) {
    auto isAsciiLetter = [](char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 32 || c == 0x7F) return true;
        if (c == u'^' && i + 1 < text.size() && isAsciiLetter(text[i + 1])) return true;  // ^C, ^M, ...
    }
    return false;
}

std::unique_ptr<InanoCADApplication> connectHost(HostLink& link, bool bringToFront) {
    auto window = link.windows.findTopLevelWindow(link.title);
    if (!window) return nullptr;
    if (!link.windows.isWindowEnabled(*window)) return nullptr;
    try {
        if (!link.obtainApplication) return nullptr;
        auto application = link.obtainApplication(*window);
        if (!application) return nullptr;
        if (bringToFront) {
            if (application->getWindowState() == kMinimisedWindowState)
                application->setWindowState(kRestoredWindowState);
            link.windows.setForegroundWindow(application->getMainWindowHandle());
        }
        return application;
    } catch (const std::exception&) {
        return nullptr;  // any failure of these steps means "not connected"
    }
}

void importHostLayers(DrawingStore& store, HostDocument& document) {
    auto layers = document.layerCollection();
    std::int32_t n = layers->itemCount();
    store.layers.assign(static_cast<std::size_t>(n < 0 ? 0 : n), TLayer{});
    for (std::int32_t i = 0; i < n; ++i) {
        auto layer = queryInterface<HostLayer>(layers->item(HostValue{i}));
        TLayer& row = store.layers[static_cast<std::size_t>(i)];
        row.Name = layer->layerName();
        row.color = static_cast<SmallInt>(layer->colorIndex());
        row.ltype = layer->linetypeName();
        row.visible = !layer->hiddenStateA() && !layer->hiddenStateB();
    }
}

void listHostBlocks(HostDocument& document, const std::function<void(std::u16string)>& add) {
    auto blocks = document.blockCollection();
    std::int32_t n = blocks->itemCount();
    for (std::int32_t i = 0; i < n; ++i) {
        std::u16string name = queryInterface<HostBlock>(blocks->item(HostValue{i}))->blockName();
        if (!name.empty() && (name[0] == u'*' || name[0] == u'_')) continue;
        add(std::move(name));
    }
}

std::vector<std::u16string> listHostBlocks(HostDocument& document) {
    std::vector<std::u16string> names;
    listHostBlocks(document, [&](std::u16string name) { names.push_back(std::move(name)); });
    return names;
}

void insertBlockByCommand(HostDocument& document, const std::u16string& name) {
    refuseControlCharacters(name, "the block name");
    document.sendCommand(u"^C^C");
    document.sendCommand(u"-insert\r" + name + u"\r");
}

void insertBlockByClipboard(WindowFunctions& windows, InanoCADApplication& application, HostDocument& document,
                            const std::u16string& name) {
    refuseControlCharacters(name, "the block name");
    auto space = document.insertionSpace();
    auto reference = space->insertReference(HostValue{}, name, 1.0, 1.0, 1.0, 0.0, HostOmitted{});
    document.sendCommand(u"^C^C");
    document.sendCommand(u"copybase\rL\r\r0,0,0\r");
    reference->discardCopiedReference();
    document.sendCommand(u"pasteclip\r");
    waitForHostReady(windows, application);
}

void waitForHostReady(WindowFunctions& windows, InanoCADApplication& application) {
    for (int poll = 0; poll < kReadyPolls; ++poll) {
        windows.sleepMilliseconds(kReadyPollMs);
        windows.processMessages();
        if (windows.isEscapeKeyDown()) return;
        if (queryInterface<HostState>(application.getHostState())->isHostReady()) return;
    }
}

void writeBlockFile(WindowFunctions& windows, HostDocument& document, const std::u16string& name,
                    const std::u16string& folder) {
    refuseControlCharacters(name, "the block name");
    refuseControlCharacters(folder, "the folder name");
    HostPoint origin{0.0, 0.0, 0.0};
    auto space = document.insertionSpace();
    auto reference = space->insertReference(HostValue{origin}, name, 1.0, 1.0, 1.0, 0.0, HostOmitted{});
    windows.sleepMilliseconds(kExplodeDelayMs);
    HostValue exploded = reference->explodeReference();
    const auto* entities = std::get_if<HostEntityArray>(&exploded);
    if (!entities) throw HostError("the exploded reference gave no entity array");
    if (!entities->empty()) {
        auto selection = document.selectionObject();
        selection->clearSelection();
        for (const auto& entity : *entities) {
            selection->addToSelection(HostValue{entity});
            windows.processMessages();
        }
        try {
            document.writeBlock(folder + name + u".dwg", *selection);
        } catch (const HostError&) {
            // No file; the exploded entities are still removed below.
        }
        selection->eraseSelected();
        selection->clearSelection();
    }
    try {
        reference->deleteReference();
    } catch (const HostError&) {
        // The reference stays in the drawing.
    }
}

}  // namespace velmora
