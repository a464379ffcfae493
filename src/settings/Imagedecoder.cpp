#include "settings/Imagedecoder.h"

#include <wincodec.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Bounds a picture to sizes a branding file can sensibly hold, so a damaged
// header cannot ask for gigabytes.
constexpr uint32_t MaxSide = 8192;
constexpr uint64_t MaxPixels = 16ull * 1024 * 1024;

void Report(const char* text, long code)
{
    char message[160];
    snprintf(message, sizeof(message), "%s%ld", text, code);
    OutputDebugStringA(message);
}

template <class T>
struct Com {
    T* p = nullptr;
    ~Com()
    {
        if (p)
            p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
};

// Balances a CoInitializeEx that this call made; a thread already in another
// apartment keeps it.
struct ComApartment {
    HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~ComApartment()
    {
        if (SUCCEEDED(result))
            CoUninitialize();
    }
};

HBITMAP CreateTopDownDib(uint32_t width, uint32_t height, void** bits)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

bool SizeAcceptable(uint32_t width, uint32_t height)
{
    return width > 0 && height > 0 && width <= MaxSide && height <= MaxSide &&
           static_cast<uint64_t>(width) * height <= MaxPixels;
}

HBITMAP DecodeWithWic(const uint8_t* data, size_t length)
{
    ComApartment apartment;
    Com<IWICImagingFactory> factory;
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                      reinterpret_cast<void**>(&factory));
    if (FAILED(result)) {
        Report("Image decoder init failed: HRESULT ", result);
        return nullptr;
    }
    Com<IWICStream> stream;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    result = factory->CreateStream(&stream);
    if (SUCCEEDED(result))
        result = stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(length));
    if (SUCCEEDED(result))
        result = factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnDemand, &decoder);
    if (FAILED(result)) {
        Report("No image decoder for the data: HRESULT ", result);
        return nullptr;
    }
    UINT width = 0, height = 0;
    result = decoder->GetFrame(0, &frame);
    if (SUCCEEDED(result))
        result = frame->GetSize(&width, &height);
    if (FAILED(result) || !SizeAcceptable(width, height)) {
        Report("Image decode failed: HRESULT ", result);
        return nullptr;
    }
    Com<IWICFormatConverter> converter;
    result = factory->CreateFormatConverter(&converter);
    if (SUCCEEDED(result))
        result = converter->Initialize(frame.p, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                       WICBitmapPaletteTypeCustom);
    void* bits = nullptr;
    HBITMAP bitmap = SUCCEEDED(result) ? CreateTopDownDib(width, height, &bits) : nullptr;
    if (bitmap)
        result = converter->CopyPixels(nullptr, width * 4, width * height * 4, static_cast<BYTE*>(bits));
    if (FAILED(result) || !bitmap) {
        Report("Image exec failed: HRESULT ", result);
        if (bitmap)
            DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

// ---- PCX -------------------------------------------------------------------

uint16_t U16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

bool LooksLikePcx(const uint8_t* data, size_t length)
{
    return length > 128 && data[0] == 0x0A && data[1] <= 5 && data[2] == 1;
}

// Run-length decoding of every scan line, all planes of a line together.
bool UnpackPcx(const uint8_t* data, size_t length, size_t total, std::vector<uint8_t>& out)
{
    out.clear();
    out.reserve(total);
    size_t at = 128;
    while (out.size() < total) {
        if (at >= length)
            return false;
        uint8_t byte = data[at++];
        size_t count = 1;
        if ((byte & 0xC0) == 0xC0) {
            if (at >= length)
                return false;
            count = byte & 0x3F;
            byte = data[at++];
        }
        count = std::min(count, total - out.size());
        out.insert(out.end(), count, byte);
    }
    return true;
}

}  // namespace

HBITMAP DecodePcx(const uint8_t* data, size_t length)
{
    if (!data || !LooksLikePcx(data, length))
        return nullptr;
    const uint32_t bits = data[3], planes = data[65], lineBytes = U16(data + 66);
    const int32_t xMax = U16(data + 8), yMax = U16(data + 10), xMin = U16(data + 4), yMin = U16(data + 6);
    if (xMax < xMin || yMax < yMin)
        return nullptr;
    const uint32_t width = xMax - xMin + 1, height = yMax - yMin + 1;
    const bool supported = (bits == 8 && (planes == 1 || planes == 3 || planes == 4)) ||
                           ((bits == 1 || bits == 2 || bits == 4) && planes == 1) || (bits == 1 && planes == 4);
    if (!supported || !SizeAcceptable(width, height) || lineBytes * 8ull < static_cast<uint64_t>(width) * bits ||
        lineBytes > (width * bits + 7) / 8 + 16)
        return nullptr;
    const size_t stride = static_cast<size_t>(lineBytes) * planes;
    // One run of two bytes makes at most 63: more than that cannot be there.
    if (stride * height > (length - 128) * 32)
        return nullptr;
    std::vector<uint8_t> pixels;
    if (!UnpackPcx(data, length, stride * height, pixels))
        return nullptr;

    // Colours: the 256-entry table at the end for 8-bit images, else the
    // 16-entry table in the header (black and white for 1-bit images).
    uint8_t palette[256][3] = {};
    if (bits == 8 && planes == 1) {
        bool tail = length >= 128 + 769 && data[length - 769] == 0x0C;
        for (int i = 0; i < 256; ++i)
            for (int c = 0; c < 3; ++c)
                palette[i][c] = tail ? data[length - 768 + i * 3 + c] : static_cast<uint8_t>(i);
    } else if (bits == 1 && planes == 1) {
        memset(palette[1], 255, 3);
    } else {
        memcpy(palette, data + 16, 48);
    }

    void* dibBits = nullptr;
    HBITMAP bitmap = CreateTopDownDib(width, height, &dibBits);
    if (!bitmap)
        return nullptr;
    auto* target = static_cast<uint8_t*>(dibBits);
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* line = pixels.data() + y * stride;
        for (uint32_t x = 0; x < width; ++x, target += 4) {
            uint8_t rgb[3];
            if (bits == 8 && planes >= 3) {
                for (int c = 0; c < 3; ++c)
                    rgb[c] = line[c * lineBytes + x];
            } else {
                uint32_t index = 0;
                for (uint32_t plane = 0; plane < planes; ++plane) {
                    uint32_t bit = x * bits;
                    uint32_t value = (line[plane * lineBytes + bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                    index |= value << (plane * bits);
                }
                memcpy(rgb, palette[index], 3);
            }
            target[0] = rgb[2];
            target[1] = rgb[1];
            target[2] = rgb[0];
            target[3] = 255;
        }
    }
    return bitmap;
}

HBITMAP DecodeImage(const uint8_t* data, size_t length)
{
    if (!data || length == 0 || length > 0xFFFFFFFFu) {
        Report("Image data empty or too large: length ", static_cast<long>(length > 0x7FFFFFFF ? -1 : length));
        return nullptr;
    }
    if (LooksLikePcx(data, length)) {
        HBITMAP bitmap = DecodePcx(data, length);
        if (!bitmap)
            Report("PCX decode failed: length ", static_cast<long>(std::min<size_t>(length, 0x7FFFFFFF)));
        return bitmap;
    }
    return DecodeWithWic(data, length);
}
