// The DXF file preview without the window: probes, the read in the encoding
// the version calls for, the normalisation with progress, extents, pens and
// the drawing into a bitmap of the image's size, or the failure cross.
#pragma once

#include <filesystem>
#include <functional>

#include "dxf/dxf_reader.h"
#include "render/canvas.h"
#include "store/drawing_store.h"

namespace velmora {

// The window's preview values the preview writes.
struct DxfPreviewView {
    double previewWidth = 0;
    double previewHeight = 0;
    TAcadPoint previewCenter;
};

struct DxfPreviewHooks {
    DxfProgress* progressBar = nullptr;    // moved through the read and the passes
    DxfMessages* ownerWindow = nullptr;    // where the reader's boxes go
    std::function<void()> processMessages;  // run after each progress change
    // Hears why a stage failed (the cross follows) or what a pass left out.
    std::function<void(const std::string&)> notice;
};

// True when the version's text is read as UTF-8 (AC1021 and later), false
// for the ANSI code page (earlier and empty versions).
bool dxfVersionIsUtf8(const std::u16string& version);

// True when the file is a binary drawing or binary DXF file by its first bytes.
bool isBinaryDrawingFile(const std::filesystem::path& dxfName);

// Previews the file into `image` (its size is the bitmap's) and returns true,
// or draws the failure cross into it and returns false.
bool drawDxfPreview(DrawingStore& store, const std::filesystem::path& dxfName, Canvas& image,
                    const DxfPreviewHooks& hooks, DxfPreviewView& view);

// The cross a failed preview shows: black, two cyan strokes over the middle third.
void drawFailureCross(Canvas& image);

}  // namespace velmora
