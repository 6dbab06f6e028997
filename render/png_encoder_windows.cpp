// PNG files through the platform's imaging component (WIC): the canvas's
// palette and 8-bit pixels as an indexed-colour PNG.
#include "render/png_file.h"

#include <windows.h>
#include <wincodec.h>

#include <stdexcept>
#include <string>

namespace velmora {
namespace {

// A COM interface pointer released on scope exit.
template <class T>
struct Com {
    T* p = nullptr;
    ~Com() {
        if (p) p->Release();
    }
    T* operator->() const { return p; }
    T** out() { return &p; }
};

void check(HRESULT result, const char* what) {
    if (FAILED(result)) throw std::runtime_error(std::string("PNG encoding failed: ") + what);
}

// COM for this thread for as long as the encoding runs.
struct ComScope {
    HRESULT result = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~ComScope() {
        if (SUCCEEDED(result)) ::CoUninitialize();
    }
};

}  // namespace

std::vector<std::uint8_t> encodePng(const Canvas& canvas) {
    ComScope com;
    Com<IWICImagingFactory> factory;
    check(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.out())),
          "no imaging component");
    Com<IStream> stream;
    check(::CreateStreamOnHGlobal(nullptr, TRUE, stream.out()), "stream");
    Com<IWICBitmapEncoder> encoder;
    check(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.out()), "encoder");
    check(encoder->Initialize(stream.p, WICBitmapEncoderNoCache), "encoder");
    Com<IWICBitmapFrameEncode> frame;
    check(encoder->CreateNewFrame(frame.out(), nullptr), "frame");
    check(frame->Initialize(nullptr), "frame");
    const UINT width = static_cast<UINT>(canvas.width()), height = static_cast<UINT>(canvas.height());
    check(frame->SetSize(width, height), "size");
    WICPixelFormatGUID format = GUID_WICPixelFormat8bppIndexed;
    check(frame->SetPixelFormat(&format), "pixel format");
    if (format != GUID_WICPixelFormat8bppIndexed) throw std::runtime_error("PNG encoding failed: no indexed colour");

    Com<IWICPalette> palette;
    check(factory->CreatePalette(palette.out()), "palette");
    std::vector<WICColor> colours;
    for (const TColor c : canvas.palette())  // 0x00BBGGRR
        colours.push_back(0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF));
    check(palette->InitializeCustom(colours.data(), static_cast<UINT>(colours.size())), "palette");
    check(frame->SetPalette(palette.p), "palette");

    std::vector<BYTE> pixels(static_cast<std::size_t>(width) * height);
    for (UINT y = 0; y < height; ++y)
        for (UINT x = 0; x < width; ++x) pixels[y * width + x] = canvas.pixelIndex(static_cast<int>(x), static_cast<int>(y));
    check(frame->WritePixels(height, width, static_cast<UINT>(pixels.size()), pixels.data()), "pixels");
    check(frame->Commit(), "frame");
    check(encoder->Commit(), "encoder");

    HGLOBAL memory = nullptr;
    check(::GetHGlobalFromStream(stream.p, &memory), "stream");
    STATSTG stat{};
    check(stream->Stat(&stat, STATFLAG_NONAME), "stream");
    const auto* data = static_cast<const std::uint8_t*>(::GlobalLock(memory));
    std::vector<std::uint8_t> bytes(data, data + stat.cbSize.QuadPart);
    ::GlobalUnlock(memory);
    return bytes;
}

}  // namespace velmora
