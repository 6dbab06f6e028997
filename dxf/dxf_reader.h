// Reading an ASCII DXF file into the drawing store: one pass over its lines,
// two at a time (a group code line and a value line), driven by flags for
// the open section, table, block header or body and the current entity. The
// group tables of dxf/entity_groups.h say which pair fills which field.
#pragma once

#include <filesystem>
#include <string>

#include "store/drawing_store.h"

namespace velmora {

enum class DxfEncoding { Ansi, Utf8 };

// A progress bar the reader moves (the window's ProgressBar1, or nothing).
class DxfProgress {
public:
    virtual ~DxfProgress() = default;
    virtual void setMaximum(int maximum) = 0;
    virtual void setPosition(int position) = 0;
    virtual int position() const = 0;
};

// Where the reader's message boxes go, captioned "DxfReport".
class DxfMessages {
public:
    virtual ~DxfMessages() = default;
    virtual void show(const std::u16string& text) = 0;
};

// The messages of a failed read.
inline constexpr std::u16string_view kDxfBusyMessage = u"DXFファイルは使用中です．";
inline constexpr std::u16string_view kDxfErrorMessage = u"DXFファイル読み込み失敗．";

// Empties the store and reads the file into it. `status` is empty when the
// file was read to its end (or does not exist), "busy" or "error" when it
// could not be read, or "<line>:<code line>/<line>:<value line>" for a pair
// that could not be processed; what was read before stays. `version` is the
// header's $ACADVER. Both progress and ownerWindow may be null; without an
// owner the busy and error boxes are not shown (the line report always goes
// to the owner when there is one).
void readDxfFile(DrawingStore& store, const std::filesystem::path& fileName, DxfProgress* progressBar,
                 DxfMessages* ownerWindow, std::u16string& status, DxfEncoding encoding, std::u16string& version);

}  // namespace velmora
