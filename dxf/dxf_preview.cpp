#include "dxf/dxf_preview.h"

#include <exception>
#include <new>

#include "dxf/dxf_probes.h"
#include "geometry/normalization_sequence.h"
#include "platform/files.h"
#include "platform/rounding.h"
#include "platform/utf.h"
#include "render/extents.h"
#include "render/pen_resolution.h"
#include "render/renderer.h"

namespace velmora {
namespace {

constexpr TColor kCrossColor = 0x00FFFF00;
constexpr int kPassesMaximum = 100;
constexpr double kFillRatio = 0.9;
constexpr int kColorMode = 1;

std::u16string upperExtension(const std::filesystem::path& file) {
    std::u16string ext = utf8ToUtf16(file.extension().string());
    for (char16_t& c : ext)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return ext;
}

class PreviewProgress {
public:
    explicit PreviewProgress(const DxfPreviewHooks& hooks) : hooks_(hooks) {}
    void setMaximum(int maximum) {
        if (hooks_.progressBar) hooks_.progressBar->setMaximum(maximum);
    }
    void setPosition(int position) {
        if (hooks_.progressBar) hooks_.progressBar->setPosition(position);
        if (hooks_.processMessages) hooks_.processMessages();
    }

private:
    const DxfPreviewHooks& hooks_;
};

// Reads the file when the probes let it be read; false otherwise.
bool readForPreview(DrawingStore& store, const std::filesystem::path& dxfName, const DxfPreviewHooks& hooks) {
    if (!fileExists(dxfName) || upperExtension(dxfName) != u".DXF" || isBinaryDrawingFile(dxfName)) return false;
    std::u16string version;
    if (!readAcadVersion(dxfName, version)) return false;
    const DxfEncoding encoding = dxfVersionIsUtf8(version) ? DxfEncoding::Utf8 : DxfEncoding::Ansi;
    std::u16string status, unused;
    readDxfFile(store, dxfName, hooks.progressBar, hooks.ownerWindow, status, encoding, unused);
    return status.empty();
}

Canvas renderPreview(DrawingStore& store, int width, int height, const DxfPreviewHooks& hooks,
                     PreviewProgress& progress, DxfPreviewView& view) {
    progress.setMaximum(kPassesMaximum);
    normalizeDrawingForPreview(store, [&](int position) { progress.setPosition(position); }, hooks.notice);
    computeExtents(store);
    resolvePens(store);
    const DrawingExtents& e = store.drawingExtents;
    view.previewWidth = roundToDouble(e.max.x - e.min.x);
    view.previewHeight = roundToDouble(e.max.y - e.min.y);
    view.previewCenter = TAcadPoint{(e.max.x + e.min.x) / 2, (e.max.y + e.min.y) / 2, 0};
    Canvas bitmap(width, height);
    clearCanvas(bitmap, width, height, 0);
    renderDrawing(store, bitmap,
                  fittedView(view.previewCenter, view.previewWidth, view.previewHeight, bitmap, kFillRatio, kColorMode));
    return bitmap;
}

}  // namespace

bool dxfVersionIsUtf8(const std::u16string& version) { return version >= std::u16string(u"AC1021"); }

bool isBinaryDrawingFile(const std::filesystem::path& dxfName) {
    std::u16string signature;
    if (!readFileSignature(dxfName, signature)) return false;
    return (signature.size() == 6 && signature.starts_with(u"AC1")) || signature.find(u"Auto") != std::u16string::npos;
}

bool drawDxfPreview(DrawingStore& store, const std::filesystem::path& dxfName, Canvas& image,
                    const DxfPreviewHooks& hooks, DxfPreviewView& view) {
    PreviewProgress progress(hooks);
    try {
        if (readForPreview(store, dxfName, hooks)) {
            Canvas bitmap = renderPreview(store, image.width(), image.height(), hooks, progress, view);
            progress.setPosition(0);
            image = std::move(bitmap);
            return true;
        }
    } catch (const std::bad_alloc&) {
        progress.setPosition(0);
        if (hooks.notice) hooks.notice("preview failed: out of memory");
    } catch (const std::exception& e) {
        progress.setPosition(0);
        if (hooks.notice) hooks.notice(std::string("preview failed: ") + e.what());
    }
    drawFailureCross(image);
    return false;
}

void drawFailureCross(Canvas& image) {
    const int w = image.width(), h = image.height();
    clearCanvas(image, w, h, 0);
    image.setPenColor(kCrossColor);
    image.moveTo(w / 3, h / 3);
    image.lineTo(2 * (w / 3) - 1, 2 * (h / 3) - 1);
    image.moveTo(2 * (w / 3) - 1, h / 3);
    image.lineTo(w / 3, 2 * (h / 3) - 1);
}

}  // namespace velmora
