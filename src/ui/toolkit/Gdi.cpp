#include "ui/toolkit/Gdi.h"
#include <map>
#include <tuple>

namespace tk {

FontSpec DefaultFont()
{
    // The message font is what the system's own dialogs use ("Tahoma" 8 pt on
    // classic systems, "Segoe UI" 9 pt later); never the bitmap System font.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    FontSpec font;
    font.Name = L"Tahoma";
    font.Size = 8;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        const LOGFONTW& log = metrics.lfMessageFont;
        if (log.lfFaceName[0] != 0)
            font.Name = log.lfFaceName;
        HDC screen = GetDC(nullptr);
        int dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        int height = log.lfHeight < 0 ? -log.lfHeight : log.lfHeight;
        if (height > 0)
            font.Size = MulDiv(height, 72, dpi);
        font.Charset = log.lfCharSet;
    }
    return font;
}

namespace {

struct FontKey {
    std::wstring name;
    int size, dpi;
    bool bold, italic, underline;
    BYTE charset;
    bool operator<(const FontKey& other) const
    {
        return std::tie(name, size, dpi, bold, italic, underline, charset) <
               std::tie(other.name, other.size, other.dpi, other.bold, other.italic, other.underline,
                        other.charset);
    }
};

class FontCache {
public:
    ~FontCache()
    {
        for (auto& entry : fonts_)
            DeleteObject(entry.second);
    }
    HFONT Get(const FontSpec& wanted, int dpi)
    {
        FontKey key{wanted.Name, wanted.Size, dpi, wanted.Bold, wanted.Italic, wanted.Underline, wanted.Charset};
        auto found = fonts_.find(key);
        if (found != fonts_.end())
            return found->second;
        LOGFONTW log{};
        log.lfHeight = -MulDiv(wanted.Size, dpi, 72);
        log.lfWeight = wanted.Bold ? FW_BOLD : FW_NORMAL;
        log.lfItalic = wanted.Italic;
        log.lfUnderline = wanted.Underline;
        log.lfCharSet = wanted.Charset;
        log.lfQuality = DEFAULT_QUALITY;
        lstrcpynW(log.lfFaceName, wanted.Name.c_str(), LF_FACESIZE);
        HFONT font = CreateFontIndirectW(&log);
        if (font == nullptr)
            font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        else
            fonts_.emplace(key, font);
        return font;
    }

private:
    std::map<FontKey, HFONT> fonts_;
};

}  // namespace

HFONT FontHandle(const FontSpec& font, int dpi)
{
    static FontCache cache;
    return cache.Get(font, dpi);
}

int FontLineHeight(HFONT font)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return metrics.tmHeight;
}

namespace {
int dpiOverride = 0;
}  // namespace

void SetDpiOverride(int dpi) { dpiOverride = dpi; }

int WindowDpi(HWND window)
{
    if (dpiOverride > 0)
        return dpiOverride;
    // GetDpiForWindow exists from Windows 10 1607 on; look it up at run time.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr && window != nullptr) {
        UINT dpi = getDpiForWindow(window);
        if (dpi != 0)
            return static_cast<int>(dpi);
    }
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int ScaleByDpi(int units, int dpi) { return MulDiv(units, dpi, USER_DEFAULT_SCREEN_DPI); }
int UnscaleByDpi(int pixels, int dpi) { return MulDiv(pixels, USER_DEFAULT_SCREEN_DPI, dpi); }

}  // namespace tk
