// The composite operations of the tool on the host's objects: layers, block
// names, inserting a block and writing one out.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/host_objects.h"
#include "store/drawing_store.h"

namespace velmora {

// True when `text` holds what the host's command line takes as a control
// key rather than text: a character below 32 (CR, LF, TAB, ESC, ...), DEL, or
// a caret before a letter (^C cancels, ^M is Enter).
bool hasControlCharacter(const std::u16string& text);

// Replaces store.layers by the document's layers.
void importHostLayers(DrawingStore& store, HostDocument& document);

// Block names in collection order, without those beginning with "*" or "_".
std::vector<std::u16string> listHostBlocks(HostDocument& document);
// The same names handed to `add` one by one as they are read, so that a
// failure part-way leaves the caller with the names before it.
void listHostBlocks(HostDocument& document, const std::function<void(std::u16string)>& add);

// The block and file names below are refused with HostError before anything
// is sent when they hold a control character, so that a name can never type
// further commands into the host.
void insertBlockByCommand(HostDocument& document, const std::u16string& name);
void insertBlockByClipboard(WindowFunctions& windows, InanoCADApplication& application,
                            HostDocument& document, const std::u16string& name);
// At most 600 polls 100 ms apart; ends early on Escape or when the host is ready.
void waitForHostReady(WindowFunctions& windows, InanoCADApplication& application);
// `folder` ends with a separator; the file is folder + name + ".dwg".
void writeBlockFile(WindowFunctions& windows, HostDocument& document, const std::u16string& name,
                    const std::u16string& folder);

}  // namespace velmora
