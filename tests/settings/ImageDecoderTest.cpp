#include <gtest/gtest.h>

#include <wincodec.h>

#include <algorithm>
#include <string>
#include <vector>

#include "settings/Imagedecoder.h"

namespace {

// Captures what the code under test sends to the debugger output.
std::string debugOutput;
LONG CALLBACK CaptureDebugOutput(EXCEPTION_POINTERS* pointers)
{
    const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2)
        debugOutput.append(reinterpret_cast<const char*>(record->ExceptionInformation[1]));
    return EXCEPTION_CONTINUE_SEARCH;
}

class ImageDecoderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        handler = AddVectoredExceptionHandler(1, CaptureDebugOutput);
        debugOutput.clear();
    }
    void TearDown() override
    {
        RemoveVectoredExceptionHandler(handler);
        CoUninitialize();
    }

    // An image file of the given container made by the system's encoder: a
    // red left half and a blue right half.
    static std::string Encode(const GUID& container, UINT width, UINT height)
    {
        IWICImagingFactory* factory = nullptr;
        IStream* stream = nullptr;
        IWICBitmapEncoder* encoder = nullptr;
        IWICBitmapFrameEncode* frame = nullptr;
        std::string bytes;
        // GIF holds palette images only: index 0 red, 1 blue.
        const bool indexed = container == GUID_ContainerFormatGif;
        const UINT depth = indexed ? 1 : 3;
        std::vector<uint8_t> pixels(width * height * depth);
        for (UINT y = 0; y < height; ++y)
            for (UINT x = 0; x < width; ++x)
                if (indexed)
                    pixels[y * width + x] = x < width / 2 ? 0 : 1;
                else
                    pixels[(y * width + x) * 3 + (x < width / 2 ? 2 : 0)] = 255;
        WICPixelFormatGUID format = indexed ? GUID_WICPixelFormat8bppIndexed : GUID_WICPixelFormat24bppBGR;
        IWICPalette* palette = nullptr;
        WICColor colours[] = {0xFFFF0000, 0xFF0000FF};
        if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                       reinterpret_cast<void**>(&factory))) &&
            SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) &&
            SUCCEEDED(factory->CreateEncoder(container, nullptr, &encoder)) &&
            SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
            SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
            SUCCEEDED(frame->SetSize(width, height)) && SUCCEEDED(frame->SetPixelFormat(&format)) &&
            (!indexed || (SUCCEEDED(factory->CreatePalette(&palette)) &&
                          SUCCEEDED(palette->InitializeCustom(colours, 2)) && SUCCEEDED(frame->SetPalette(palette)))) &&
            SUCCEEDED(frame->WritePixels(height, width * depth, static_cast<UINT>(pixels.size()), pixels.data())) &&
            SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit())) {
            HGLOBAL memory = nullptr;
            GetHGlobalFromStream(stream, &memory);
            STATSTG stat{};
            stream->Stat(&stat, STATFLAG_NONAME);
            bytes.assign(static_cast<const char*>(GlobalLock(memory)), static_cast<size_t>(stat.cbSize.QuadPart));
            GlobalUnlock(memory);
        }
        for (IUnknown* object : std::initializer_list<IUnknown*>{palette, frame, encoder, stream, factory})
            if (object)
                object->Release();
        return bytes;
    }

    static void ExpectBitmap(HBITMAP bitmap, LONG width, LONG height, uint32_t leftPixel, uint32_t rightPixel)
    {
        ASSERT_NE(bitmap, nullptr);
        DIBSECTION section{};
        ASSERT_EQ(GetObjectW(bitmap, sizeof(section), &section), static_cast<int>(sizeof(section)));
        EXPECT_EQ(section.dsBm.bmWidth, width);
        EXPECT_EQ(section.dsBm.bmHeight, height);
        EXPECT_EQ(section.dsBm.bmBitsPixel, 32);
        auto* pixels = static_cast<const uint32_t*>(section.dsBm.bmBits);
        EXPECT_EQ(pixels[0], leftPixel);
        EXPECT_EQ(pixels[width * height - 1], rightPixel);
        DeleteObject(bitmap);
    }

    PVOID handler = nullptr;
};

const uint32_t Red = 0xFFFF0000, Blue = 0xFF0000FF;

TEST_F(ImageDecoderTest, SystemFormatsDecodeToTheirSize)
{
    const struct {
        const char* name;
        GUID container;
        bool lossy;
    } formats[] = {{"BMP", GUID_ContainerFormatBmp, false},
                   {"PNG", GUID_ContainerFormatPng, false},
                   {"JPEG", GUID_ContainerFormatJpeg, true},
                   {"TIFF", GUID_ContainerFormatTiff, false},
                   {"GIF", GUID_ContainerFormatGif, false}};
    for (const auto& format : formats) {
        SCOPED_TRACE(format.name);
        std::string file = Encode(format.container, 40, 24);
        ASSERT_FALSE(file.empty());
        HBITMAP bitmap = DecodeImage(reinterpret_cast<const uint8_t*>(file.data()), file.size());
        EXPECT_EQ(debugOutput, "");
        if (format.lossy) {
            ASSERT_NE(bitmap, nullptr);
            BITMAP info{};
            GetObjectW(bitmap, sizeof(info), &info);
            EXPECT_EQ(info.bmWidth, 40);
            EXPECT_EQ(info.bmHeight, 24);
            DeleteObject(bitmap);
        } else {
            ExpectBitmap(bitmap, 40, 24, Red, Blue);
        }
    }
}

// A PCX file: 8 bits in `planes` planes, rows of run-length-coded bytes.
std::string Pcx(uint16_t width, uint16_t height, uint8_t bits, uint8_t planes, const std::vector<uint8_t>& rows)
{
    std::string header(128, '\0');
    uint16_t lineBytes = static_cast<uint16_t>((width * bits + 15) / 16 * 2);
    header[0] = 0x0A, header[1] = 5, header[2] = 1, header[3] = static_cast<char>(bits);
    header[8] = static_cast<char>((width - 1) & 0xFF), header[9] = static_cast<char>((width - 1) >> 8);
    header[10] = static_cast<char>((height - 1) & 0xFF), header[11] = static_cast<char>((height - 1) >> 8);
    header[65] = static_cast<char>(planes);
    header[66] = static_cast<char>(lineBytes & 0xFF), header[67] = static_cast<char>(lineBytes >> 8);
    return header + std::string(rows.begin(), rows.end());
}

TEST_F(ImageDecoderTest, PcxTrueColourAndPaletteImagesDecode)
{
    // 4x2, 24-bit: each line red plane, green plane, blue plane, runs coded.
    std::vector<uint8_t> rgb;
    for (int y = 0; y < 2; ++y) {
        uint8_t r[] = {0xC2, 255, 0xC2, 0}, g[] = {0xC4, 0}, b[] = {0xC2, 0, 0xC2, 255};
        rgb.insert(rgb.end(), std::begin(r), std::end(r));
        rgb.insert(rgb.end(), std::begin(g), std::end(g));
        rgb.insert(rgb.end(), std::begin(b), std::end(b));
    }
    std::string file = Pcx(4, 2, 8, 3, rgb);
    ExpectBitmap(DecodeImage(reinterpret_cast<const uint8_t*>(file.data()), file.size()), 4, 2, Red, Blue);

    // 3x1, 256 colours: indexes 1, 1, 2 and a palette at the end.
    std::vector<uint8_t> indexed{0xC2, 1, 2, 0};
    std::string palette(769, '\0');
    palette[0] = 0x0C;
    palette[1 + 3] = static_cast<char>(255);      // 1: red
    palette[1 + 6 + 2] = static_cast<char>(255);  // 2: blue
    file = Pcx(3, 1, 8, 1, indexed) + palette;
    ExpectBitmap(DecodeImage(reinterpret_cast<const uint8_t*>(file.data()), file.size()), 3, 1, Red, Blue);

    // A header that claims a huge picture over a few bytes: no picture, and
    // nothing allocated for it.
    file = Pcx(8000, 8000, 8, 3, std::vector<uint8_t>(64, 0xFF));
    EXPECT_EQ(DecodeImage(reinterpret_cast<const uint8_t*>(file.data()), file.size()), nullptr);
    file[66] = file[67] = static_cast<char>(0xFF);
    EXPECT_EQ(DecodeImage(reinterpret_cast<const uint8_t*>(file.data()), file.size()), nullptr);

    // Data that ends before the last line: no picture.
    file = Pcx(4, 2, 8, 3, std::vector<uint8_t>(rgb.begin(), rgb.begin() + 10));
    EXPECT_EQ(DecodeImage(reinterpret_cast<const uint8_t*>(file.data()), file.size()), nullptr);
    EXPECT_NE(debugOutput.find("PCX"), std::string::npos) << debugOutput;
}

TEST_F(ImageDecoderTest, SystemHasTheDecodersWeRelyOn)
{
    IWICImagingFactory* factory = nullptr;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                              IID_IWICImagingFactory, reinterpret_cast<void**>(&factory)));
    IEnumUnknown* components = nullptr;
    ASSERT_HRESULT_SUCCEEDED(factory->CreateComponentEnumerator(WICDecoder, WICComponentEnumerateDefault, &components));
    std::wstring names;
    std::vector<GUID> containers;
    IUnknown* component = nullptr;
    while (components->Next(1, &component, nullptr) == S_OK) {
        IWICBitmapDecoderInfo* info = nullptr;
        if (SUCCEEDED(component->QueryInterface(IID_IWICBitmapDecoderInfo, reinterpret_cast<void**>(&info)))) {
            wchar_t name[128] = {};
            UINT length = 0;
            info->GetFriendlyName(128, name, &length);
            GUID container{};
            info->GetContainerFormat(&container);
            containers.push_back(container);
            names += std::wstring(name) + L"; ";
            info->Release();
        }
        component->Release();
    }
    components->Release();
    factory->Release();
    RecordProperty("decoders", std::string(names.begin(), names.end()));
    for (const GUID& wanted : {GUID_ContainerFormatBmp, GUID_ContainerFormatPng, GUID_ContainerFormatJpeg,
                               GUID_ContainerFormatGif, GUID_ContainerFormatTiff})
        EXPECT_NE(std::find(containers.begin(), containers.end(), wanted), containers.end())
            << std::string(names.begin(), names.end());
}

TEST_F(ImageDecoderTest, NonImagesYieldNothingAndAReport)
{
    const std::string text = "This is a text file, not a picture.";
    EXPECT_EQ(DecodeImage(reinterpret_cast<const uint8_t*>(text.data()), text.size()), nullptr);
    EXPECT_NE(debugOutput.find("No image decoder"), std::string::npos) << debugOutput;
    EXPECT_EQ(DecodeImage(nullptr, 0), nullptr);

    std::string png = Encode(GUID_ContainerFormatPng, 16, 16);
    ASSERT_GT(png.size(), 60u);
    png.resize(png.size() / 2);
    debugOutput.clear();
    EXPECT_EQ(DecodeImage(reinterpret_cast<const uint8_t*>(png.data()), png.size()), nullptr);
    EXPECT_FALSE(debugOutput.empty());
}

}  // namespace
