// varnox_shots FOLDER [DPI]: shows each of the application's windows, copies what the screen
// shows of it, and writes FOLDER\<name>.png (with a DPI: laid out as on a
// monitor of that DPI, FOLDER\<name>-<DPI>dpi.png). Run under a display
// (scripts/shots).
#include "AuxShots.h"
#include "MainWindowShot.h"
#include "WipeShots.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Form.h"
#include "ui/toolkit/Gdi.h"
#include <objbase.h>
#include <shellapi.h>
#include <wincodec.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using namespace tk;

namespace {

template <typename T>
class ComPtr {
public:
    ~ComPtr()
    {
        if (object_ != nullptr)
            object_->Release();
    }
    T** operator&() { return &object_; }
    T* operator->() const { return object_; }
    T* Get() const { return object_; }

private:
    T* object_ = nullptr;
};

bool WritePng(const std::wstring& path, int width, int height, const std::vector<BYTE>& pixels)
{
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    UINT stride = static_cast<UINT>(width) * 4;
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
           SUCCEEDED(factory->CreateStream(&stream)) &&
           SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
           SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
           SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) &&
           SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
           SUCCEEDED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))) &&
           SUCCEEDED(frame->SetPixelFormat(&format)) &&
           SUCCEEDED(frame->WritePixels(static_cast<UINT>(height), stride, stride * static_cast<UINT>(height),
                                        const_cast<BYTE*>(pixels.data()))) &&
           SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

// Lets the form paint itself completely before it is captured.
void Settle(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 700) {
        Application::Instance().ProcessMessages();
        Sleep(20);
    }
}

// Copies the window as the screen shows it, frame and caption included. A
// window that does not lie wholly on the screen is moved so that it does; one
// larger than the screen is moved piece by piece under the screen's origin
// and copied in tiles (Wine's PrintWindow draws no child windows, so asking
// the window to print itself is no way out).
bool Capture(HWND window, const std::wstring& path)
{
    RECT rect;
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    bool onScreen = rect.left >= 0 && rect.top >= 0 && rect.right <= screenWidth && rect.bottom <= screenHeight;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;   // top-down rows, as the encoder takes them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    GdiObject<HBITMAP> bitmap(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bool copied = static_cast<bool>(bitmap);
    if (copied) {
        MemoryDC memory(screen);
        memory.Select(bitmap.Get());
        for (int top = 0; copied && top < height; top += screenHeight) {
            for (int left = 0; copied && left < width; left += screenWidth) {
                POINT origin{rect.left, rect.top};
                if (!onScreen) {
                    origin = POINT{-left, -top};
                    SetWindowPos(window, nullptr, origin.x, origin.y, 0, 0,
                                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                }
                Settle(window);
                int tileWidth = std::min(width - left, screenWidth);
                int tileHeight = std::min(height - top, screenHeight);
                copied = BitBlt(memory.Get(), left, top, tileWidth, tileHeight, screen, origin.x + left,
                                origin.y + top, SRCCOPY | CAPTUREBLT);
            }
        }
        GdiFlush();
    }
    ReleaseDC(nullptr, screen);
    if (!onScreen)
        SetWindowPos(window, nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!copied) {
        fwprintf(stderr, L"could not capture %ls\n", path.c_str());
        return false;
    }
    std::vector<BYTE> pixels(static_cast<BYTE*>(bits), static_cast<BYTE*>(bits) + width * height * 4);
    for (size_t alpha = 3; alpha < pixels.size(); alpha += 4)
        pixels[alpha] = 255;
    return WritePng(path, width, height, pixels);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int argumentCount = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &argumentCount);
    std::wstring folder = argumentCount > 1 ? arguments[1] : L".";
    int dpi = argumentCount > 2 ? _wtoi(arguments[2]) : 0;
    LocalFree(arguments);
    std::wstring suffix = dpi > 0 ? L"-" + std::to_wstring(dpi) + L"dpi.png" : L".png";
    SetDpiOverride(dpi);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    Application& application = Application::Instance();
    application.SetTitle(L"Varnox");
    // The first form is the application's main form; the windows shot below
    // are dialogs of their own.
    Form anchor;
    application.CreateForm(anchor);

    int failures = 0;
    failures += ShootMainWindow(Capture, folder, suffix);
    failures += ShootAuxiliaryWindows([&](HWND window, const std::wstring& name) {
        return Capture(window, folder + L"\\" + name + suffix);
    });
    failures += ShootWipeWindows(folder, suffix, Capture);
    anchor.DestroyHandle();
    CoUninitialize();
    return failures;
}
